// Helpers of the measurement tests: a fresh layer, the start-up buffers (allocated once per
// executable, they are large), the default settings and FrequencyGrid, a temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "measurement/Globals.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/MessageBoxLog.h"
#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"

namespace measurement::test {

inline std::vector<std::string> MessageTexts() {
    std::vector<std::string> texts;
    for (const auto& entry : platform::testing::MessageBoxLog()) texts.push_back(entry.text);
    return texts;
}

class MeasurementTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static int counter = 0;
        dir_ = std::filesystem::path(::testing::TempDir()) /
               ("qv_measurement_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        platform::testing::ResetLayer();
        platform::testing::ClearMessageBoxLog();
        platform::testing::ClearDialogScripts();
        platform::testing::ClearFileDialogLog();
        if (shell::Preferences == nullptr) {
            ASSERT_EQ(shell::AllocMainBuffers(), 0);
            ASSERT_EQ(shell::AllocCurveBuffers(), 0);
            ASSERT_EQ(shell::AllocDspBuffers(), 0);
        }
        shell::ResetGlobals();
        measurement::ResetGlobals();
        std::memset(shell::MikeCalibrationCurve, 0, sizeof(shell::CalibrationCurve));
        std::memset(shell::PreampCalibrationCurve, 0, sizeof(shell::CalibrationCurve));
        shell::FftBitReverseTable[0] = 0;
        shell::BuildFrequencyGrids(shell::kDefaultPlotStartIndex, shell::kDefaultPlotStopIndex);
    }

    void TearDown() override {
        shell::FileWriteFaultAfterBytes = -1;
        platform::testing::ResetLayer();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    std::string PathOf(const char* name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
};

}  // namespace measurement::test
