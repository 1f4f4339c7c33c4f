// Helpers of the driver-data tests: a fresh layer, the start-up records with their defaults, the
// default FrequencyGrid, and a temporary folder per test.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/testing/Dialogs.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/MessageBoxLog.h"
#include "resources/Resources.h"
#include "shell/FrameGlobals.h"
#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"

namespace driverdata::test {

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const void* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    WriteBytes(path, text.data(), text.size());
}

inline std::vector<std::string> MessageTexts() {
    std::vector<std::string> texts;
    for (const auto& entry : platform::testing::MessageBoxLog()) texts.push_back(entry.text);
    return texts;
}

class DriverDataTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static int counter = 0;
        dir_ = std::filesystem::path(::testing::TempDir()) /
               ("qv_driverdata_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        platform::testing::ResetLayer();
        platform::testing::ClearMessageBoxLog();
        platform::testing::ClearDialogScripts();
        platform::testing::ClearFileDialogLog();
        if (shell::Preferences == nullptr) {
            ASSERT_EQ(shell::AllocCurveBuffers(), 0);
        }
        shell::ResetGlobals();
        shell::ResetFrameGlobals();
        std::memset(shell::MikeCalibrationCurve, 0, sizeof(shell::CalibrationCurve));
        std::memset(shell::PreampCalibrationCurve, 0, sizeof(shell::CalibrationCurve));
        shell::FileWriteFaultAfterBytes = -1;
        shell::BuildFrequencyGrids(shell::kDefaultPlotStartIndex, shell::kDefaultPlotStopIndex);
        resources::RegisterAll();
    }

    void TearDown() override {
        shell::FileWriteFaultAfterBytes = -1;
        platform::testing::ResetLayer();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
};

}  // namespace driverdata::test
