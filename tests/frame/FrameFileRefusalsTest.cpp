// Files that hold less than their reader needs, through the program's pages: "Import Cal. Mike
// File" and "Import Cal. Preamp File" on a text that lacks points, and a preferences file cut short
// at start-up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "driverdata/ExportFiles.h"
#include "frame/FrameCommands.h"
#include "measurement/Ids.h"
#include "measurement/MlsWindows.h"
#include "platform/testing/Input.h"
#include "shell/FrequencyGrid.h"
#include "tests/frame/FrameTestSupport.h"

namespace shell::test {
using namespace frame;
namespace {

namespace input = platform::testing;
using platform::testing::MessageBoxLog;

std::string CalibrationText(int points, const char* level0 = "0") {
    std::string text = std::string("10 ") + level0 + " -2.5\n";
    for (int k = 1; k < points; ++k) {
        text += driverdata::CurveLine(FrequencyGrid[k], FrequencyGrid[k] > 5000 ? 9.9f : 0, -2.5f);
    }
    return text;
}

// A refused calibration text leaves the live curve and the file the page names as the last good
// import gave them, with one message naming the file and the points it holds.
TEST_F(FrameTest, IncompleteCalibrationFileChangesNothingGui) {
    ASSERT_EQ(Start(), kStarted);
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdDigitalMls));
    input::PumpUntilIdle();
    const std::pair<std::string, int> cases[] = {
        {"", 0},
        {"Microphone calibration\nserial number on the box\n", 0},
        {CalibrationText(kGridPoints - 1), kGridPoints - 1},
        {CalibrationText(kGridPoints, "1E39"), kGridPoints - 1},
    };
    for (const bool mike : {true, false}) {
        const std::string good = (dir_ / "good.trg").string();
        const std::string text = CalibrationText(kGridPoints);
        WriteBytes(good, text.data(), text.size());
        const int button = mike ? measurement::kImportMikeButton : measurement::kImportPreampButton;
        input::ScriptFileDialogAnswers({good});
        input::Click(measurement::MlsControlPage, button);
        CalibrationPoint* live = mike ? MikeCalibrationCurve : PreampCalibrationCurve;
        ASSERT_EQ(live[kGridPoints - 2].Db, 9.9f);
        const std::vector<CalibrationPoint> before(live, live + kGridPoints);
        const char* setting = mike ? Preferences->MikeCalFilePath : Preferences->PreampCalFilePath;
        for (const auto& [bad, held] : cases) {
            SCOPED_TRACE(std::string(mike ? "mike " : "preamp ") + std::to_string(bad.size()));
            const std::string path = (dir_ / "short.trg").string();
            WriteBytes(path, bad.data(), bad.size());
            input::ClearMessageBoxLog();
            input::ScriptFileDialogAnswers({path});
            input::Click(measurement::MlsControlPage, button);
            ASSERT_EQ(MessageBoxLog().size(), 1u);
            EXPECT_EQ(MessageBoxLog()[0].text,
                      driverdata::CalibrationFileShortMessage(path.c_str(), held));
            EXPECT_EQ(std::memcmp(live, before.data(), sizeof(CalibrationCurve)), 0);
            EXPECT_EQ(std::string(setting), good) << "the page names the file in use";
        }
    }
}

// The program starts on a preferences file cut anywhere, applies what it holds and says once
// which settings it lacked (the first named and how many), then what it held out of range.
TEST_F(FrameTest, ShortPreferencesFileSaysWhichSettingsTookTheirDefaultsGui) {
    auto full = std::make_unique<PreferencesRecord>();
    InitPreferencesRecord(full.get());
    full->PlotStopFrequencyIndex = 5;
    full->OutputLayout = 9;  // out of range: replaced and named in the same message
    for (int k = 0; k < kGridPoints; ++k) full->MikeCalibration[k] = {k > 1500 ? 9.9f : 0, 1};
    const std::tuple<std::size_t, std::string, long> cases[] = {
        {0, "plot frequency range", 19},
        {5, "plot frequency range (in part)", 19},
        {630, "MLS output delay and speed of sound", 14},
        {10000, "microphone calibration curve (in part)", 6},
        {63430, "", 0},  // only reserved bytes missing: only the value out of range is told
    };
    for (const auto& [length, first, named] : cases) {
        SCOPED_TRACE(length);
        TearDown();
        SetUp();
        WriteBytes(dir_ / "QV_Preferences.pre", full.get(), length);
        ASSERT_EQ(Start(), kStarted);
        ASSERT_EQ(MessageBoxLog().size(), 1u);
        const std::string& text = MessageBoxLog()[0].text;
        EXPECT_EQ(text.find("is short") != std::string::npos, named > 0);
        EXPECT_EQ(text.find("output layout") != std::string::npos, length >= 608);
        const std::size_t list = text.find("have their defaults:\n\n") + 22;
        const std::size_t end = std::min(text.find("\n\nSome settings"), text.size());
        if (named > 0) {
            EXPECT_EQ(text.substr(list, text.find('\n', list) - list), first);
            EXPECT_EQ(std::count(text.begin() + list, text.begin() + end, '\n') + 1, named);
        }
        EXPECT_EQ(PlotStopFrequencyIndex, length >= 5 ? 5 : 6);  // its low byte comes first
        EXPECT_EQ(MikeCalibrationCurve[1800].Db, length >= 22472 ? 9.9f : 0);
    }
}

}  // namespace
}  // namespace shell::test
