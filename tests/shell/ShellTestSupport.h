// Helpers shared by the shell tests: a fresh temporary folder per test and the start-up blocks.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/testing/MessageBoxLog.h"
#include "shell/Globals.h"
#include "shell/StartupAllocation.h"

namespace shell::test {

// A new empty folder under the test temp dir; removed by the caller's fixture.
inline std::filesystem::path MakeTempFolder(const std::string& name) {
    static int counter = 0;
    std::filesystem::path dir =
        std::filesystem::path(::testing::TempDir()) /
        ("qv_" + name + "_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const void* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

inline int CountFiles(const std::filesystem::path& dir) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++count;
    return count;
}

// The curve blocks (preferences, driver record, calibration curves, baffle) for the tests that
// need them; allocated once per process.
inline void EnsureCurveBuffers() {
    if (Preferences == nullptr) {
        ASSERT_EQ(AllocCurveBuffers(), 0);
    }
}

}  // namespace shell::test
