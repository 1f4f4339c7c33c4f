// Helpers of the measurement tests: a fresh layer, the start-up buffers (allocated once per
// executable, they are large), the default settings and FrequencyGrid, a temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "driverdata/Globals.h"
#include "measurement/Globals.h"
#include "network/Globals.h"
#include "platform/audio/VirtualCard.h"
#include "platform/testing/Harness.h"
#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"
#include "solver/Globals.h"
#include "tests/FreshFolder.h"

namespace measurement::test {

// The state of every folder the measurement builds on (shell, network editor, solver, driver
// data) and its own back to their start values.
inline void ResetFolders() {
    shell::ResetGlobals();
    network::ResetGlobals();
    solver::ResetGlobals();
    driverdata::ResetGlobals();
    measurement::ResetGlobals();
}

using qvtest::MessageTexts;

class MeasurementTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = qvtest::FreshFolder("qv_measurement");
        qvtest::ResetLayerAndLogs();
        // The card's routes, loopbacks and injected faults are the defaults whatever ran before.
        ASSERT_TRUE(platform::VirtualCardReset()) << "a wave device was left open";
        if (shell::Preferences == nullptr) {
            ASSERT_EQ(shell::AllocMainBuffers(), 0);
            ASSERT_EQ(shell::AllocCurveBuffers(), 0);
            ASSERT_EQ(shell::AllocDspBuffers(), 0);
        }
        ResetFolders();
        std::memset(shell::MikeCalibrationCurve, 0, sizeof(shell::CalibrationCurve));
        std::memset(shell::PreampCalibrationCurve, 0, sizeof(shell::CalibrationCurve));
        shell::FftBitReverseTable[0] = 0;
        shell::BuildFrequencyGrids(shell::kDefaultPlotStartIndex, shell::kDefaultPlotStopIndex);
    }

    void TearDown() override {
        shell::FileWriteFaultAfterBytes = -1;
        platform::testing::ResetLayer();
        qvtest::RemoveFolder(dir_);
    }

    std::string PathOf(const char* name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
};

}  // namespace measurement::test
