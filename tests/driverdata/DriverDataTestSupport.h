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

#include "driverdata/Globals.h"
#include "network/Globals.h"
#include "platform/testing/Harness.h"
#include "resources/Resources.h"
#include "shell/FrameGlobals.h"
#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"
#include "solver/Globals.h"
#include "tests/FreshFolder.h"

namespace driverdata::test {

// The state of the shell, the network editor, the solver and the driver data back to their
// start values.
inline void ResetFolders() {
    shell::ResetGlobals();
    network::ResetGlobals();
    solver::ResetGlobals();
    driverdata::ResetGlobals();
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

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    WriteBytes(path, text.data(), text.size());
}

using qvtest::MessageTexts;

class DriverDataTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = qvtest::FreshFolder("qv_driverdata");
        qvtest::ResetLayerAndLogs();
        if (shell::Preferences == nullptr) {
            ASSERT_EQ(shell::AllocCurveBuffers(), 0);
        }
        ResetFolders();
        std::memset(shell::MikeCalibrationCurve, 0, sizeof(shell::CalibrationCurve));
        std::memset(shell::PreampCalibrationCurve, 0, sizeof(shell::CalibrationCurve));
        shell::FileWriteFaultAfterBytes = -1;
        shell::BuildFrequencyGrids(shell::kDefaultPlotStartIndex, shell::kDefaultPlotStopIndex);
        resources::RegisterAll();
    }

    void TearDown() override {
        shell::FileWriteFaultAfterBytes = -1;
        platform::testing::ResetLayer();
        qvtest::RemoveFolder(dir_);
    }

    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
};

}  // namespace driverdata::test
