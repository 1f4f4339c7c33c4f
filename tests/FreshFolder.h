// What the library fixtures share: a fresh temporary folder per test, the layer reset with its
// logs cleared, and the texts of the message boxes shown since.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/testing/Dialogs.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/MessageBoxLog.h"

namespace qvtest {

// An empty folder of its own under the test's temporary directory ("<prefix>_<pid>_<n>").
inline std::filesystem::path FreshFolder(const std::string& prefix) {
    static int counter = 0;
    const std::filesystem::path dir =
        std::filesystem::path(::testing::TempDir()) /
        (prefix + "_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

inline void RemoveFolder(const std::filesystem::path& dir) {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

// The layer as a fresh start finds it, with no message box, scripted dialog or file chooser
// left from before.
inline void ResetLayerAndLogs() {
    platform::testing::ResetLayer();
    platform::testing::ClearMessageBoxLog();
    platform::testing::ClearDialogScripts();
    platform::testing::ClearFileDialogLog();
}

inline std::vector<std::string> MessageTexts() {
    std::vector<std::string> texts;
    for (const auto& entry : platform::testing::MessageBoxLog()) texts.push_back(entry.text);
    return texts;
}

}  // namespace qvtest
