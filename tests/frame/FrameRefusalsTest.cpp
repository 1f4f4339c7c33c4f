// What the running program does with input it cannot take whole, on the virtual card: a
// calibration file that lacks points and a preferences file cut short are refused or told; every
// writer that fails says which file was not saved and why and leaves what was there; a sound
// device the player or a measurement could not close is closed by whatever needs one next.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "driverdata/ExportFiles.h"
#include "engine/Engine.h"
#include "engine/Ids.h"
#include "frame/FrameCommands.h"
#include "measurement/Globals.h"
#include "measurement/Ids.h"
#include "measurement/MlsRun.h"
#include "measurement/MlsWindows.h"
#include "platform/audio/VirtualCard.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "shell/DevicesLeftOpen.h"
#include "shell/FrequencyGrid.h"
#include "shell/Ids.h"
#include "tests/ReadableNames.h"
#include "tests/frame/FrameTestSupport.h"

namespace shell::test {
using namespace frame;
namespace {

namespace input = platform::testing;
using platform::WaveCall;
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

struct Writer {
    const char* file;  // the name chosen in the save dialog
    const char* what;  // the file in the message's words
    int menu, button;  // the frame's menu command, or else the MLS page's button
};

const Writer kWriters[] = {
    {"design.HIF", "project", kCmdSaveProjectAs, 0},
    {"woofer.wfr", "driver", kCmdSaveDriverAs, 0},
    {"response.trg", "SPL/phase export", kCmdExportSplPhase, 0},
    {"capture.res", "capture", 0, measurement::kSaveIrButton},
    {"mike.trg", "calibration curve", 0, measurement::kExportCalButton},
};

using FrameSaveFailures = FrameTest;

// The MLS tool with one measurement taken and only the microphone calibration ticked, so that
// every writer has something to save.
TEST_F(FrameSaveFailures, EveryFailedSaveSaysWhatWasNotSavedAndWhyGui) {
    const double one = 1.0;
    ASSERT_TRUE(platform::VirtualCardSetLoopback(0, 0, &one, 1, 100));
    ASSERT_TRUE(platform::VirtualCardSetLoopback(1, 1, &one, 1, 150));
    ASSERT_EQ(Start(), kStarted);
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdDigitalMls));
    input::Select(measurement::MlsControlPage, measurement::kLengthCombo, 0);
    input::Click(measurement::MlsControlPage, measurement::kRunButton);
    for (int i = 0; i < 100 && measurement::MlsRunActive(); ++i) {
        platform::VirtualCardStep(8192, 48000);
        input::PumpUntilIdle();
    }
    ASSERT_EQ(measurement::MlsImpulseValid, 1);
    input::Click(measurement::MlsControlPage, measurement::kUsePreampBox);
    ASSERT_EQ(Mls.MlsUseMikeCal + Mls.MlsUsePreampCal, 1);

    for (const Writer& w : kWriters) {
        for (const bool full_disk : {true, false}) {
            const std::filesystem::path path =
                dir_ / ((full_disk ? "full " : "folder ") + std::string(w.file));
            SCOPED_TRACE(path.string());
            const std::vector<std::uint8_t> previous = {'o', 'l', 'd'};
            if (full_disk)
                WriteBytes(path, previous.data(), previous.size());
            else
                std::filesystem::create_directory(path);
            const std::string title = WindowTitle(FrameWindow);
            input::ClearMessageBoxLog();
            input::ScriptFileDialogAnswers({path.string()});
            input::ScriptMessageBoxAnswers({platform::IDYES});  // replace what has the name
            FileWriteFaultAfterBytes = full_disk ? 0 : -1;
            if (w.menu != 0)
                input::ChooseMenuItem(FrameWindow, w.menu);
            else
                input::Click(measurement::MlsControlPage, w.button);
            FileWriteFaultAfterBytes = -1;
            ASSERT_EQ(MessageBoxLog().size(), 2u);
            EXPECT_EQ(MessageBoxLog()[1].text,
                      path.string() + "\n\nThe " + w.what + " has not been saved: " +
                          (full_disk ? "the disk refused the data." : "it is not a regular file."));
            EXPECT_EQ(MessageBoxLog()[1].caption, "QV Message");
            EXPECT_TRUE(full_disk ? ReadBytes(path) == previous : std::filesystem::is_empty(path))
                << "what had the file's name changed";
            EXPECT_EQ(WindowTitle(FrameWindow), title) << "a save that failed was announced";
        }
    }
}

constexpr const char* kExitQuestion = "Last chance to save data !\n\nDO YOU WISH TO EXIT ?";

enum class Caller { StopAgain, RunMls, TestTones, Exit };
void PrintTo(Caller c, std::ostream* os) {
    static const char* const kNames[] = {"STOP again", "Run MLS", "Test Tones", "Exit"};
    *os << kNames[static_cast<int>(c)];
}

// What needs a sound device, done as a person does it. Returns whether it did its work (a
// measurement started, the dialog opened, the exit question was asked).
bool Act(Caller caller) {
    bool worked = true;
    switch (caller) {
        case Caller::StopAgain:
            input::Click(ComponentCADSelectionDialog, engine::kStopCommand);
            break;
        case Caller::RunMls:
            input::Click(measurement::MlsControlPage, measurement::kRunButton);
            worked = measurement::MlsRunActive();
            measurement::StopMlsRun();
            break;
        case Caller::TestTones:
            worked = false;
            input::OnModalDialog("QUORVEX_LINEARIZER_TEST_TONES", [&](platform::HWND d) {
                worked = true;
                platform::SendMessage(d, platform::WM_COMMAND, platform::IDCANCEL, 0);
            });
            input::Click(ComponentCADSelectionDialog, engine::kTestTonesButton);
            break;
        case Caller::Exit:
            input::ScriptMessageBoxAnswers({platform::IDNO, platform::IDNO});
            EXPECT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdExit));
            input::PumpUntilIdle();
            input::ScriptMessageBoxAnswers({});
            worked = CountBoxes(kExitQuestion) == 1;
            break;
    }
    input::PumpUntilIdle();
    return worked;
}

// Who left both devices open, and who needs one next.
struct LeftOpenCase {
    bool by_measurement;  // an MLS run ended with the tool; otherwise the player's STOP
    Caller caller;
};
void PrintTo(const LeftOpenCase& c, std::ostream* os) {
    *os << (c.by_measurement ? "measurement, " : "player, ");
    PrintTo(c.caller, os);
}

class DevicesLeftOpen : public FrameTest, public ::testing::WithParamInterface<LeftOpenCase> {};

TEST_P(DevicesLeftOpen, ClosedBeforeTheDeviceIsNeededAgainGui) {
    const Caller caller = GetParam().caller;
    ASSERT_EQ(Start(), kStarted);
    // The card refuses the reset and the close of both devices four times: the player's STOP (or
    // the run's end) and its second try, the caller's first try and its second.
    const auto refuse_closes = [] {
        for (WaveCall call :
             {WaveCall::InReset, WaveCall::InClose, WaveCall::OutReset, WaveCall::OutClose})
            platform::VirtualCardFailCall(call, platform::MMSYSERR_ERROR, 0, 4);
    };
    if (GetParam().by_measurement) {
        ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdDigitalMls));
        input::PumpUntilIdle();
        input::Select(measurement::MlsControlPage, measurement::kLengthCombo, 0);
        input::Click(measurement::MlsControlPage, measurement::kRunButton);
        ASSERT_TRUE(measurement::MlsRunActive());
        refuse_closes();
        input::CloseBox(MlsControlDialog);  // the run ends with the tool
        input::PumpUntilIdle();
        ASSERT_FALSE(measurement::MlsRunActive());
        ASSERT_TRUE(CreatePlayerDialog(FrameWindow));  // the tool closed the player
        input::PumpUntilIdle();
    } else {
        platform::VirtualCardFollowLayerClock(true);
        input::Click(ComponentCADSelectionDialog, kPlayButton);
        input::AdvanceTime(2000);
        input::PumpUntilIdle(ComponentCADSelectionDialog);
        platform::VirtualCardFollowLayerClock(false);
        ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
        refuse_closes();
        input::Click(ComponentCADSelectionDialog, engine::kStopCommand);
        input::PumpUntilIdle();
        ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
    }
    ASSERT_EQ(platform::OpenWaveDeviceCount(), 2);
    if (caller == Caller::RunMls) {
        ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdDigitalMls));
        input::PumpUntilIdle();
        input::Select(measurement::MlsControlPage, measurement::kLengthCombo, 0);
    }
    // Still refused: told once, the devices stay open, a measurement does not start, the rest goes
    // on. Then the card no longer refuses: the devices close quietly and the caller does its work.
    for (const bool refused : {true, false}) {
        SCOPED_TRACE(refused ? "still refused" : "closed");
        input::ClearMessageBoxLog();
        EXPECT_EQ(Act(caller), !refused || caller != Caller::RunMls);
        EXPECT_EQ(CountBoxes(kDeviceLeftOpenText), refused ? 1 : 0);
        EXPECT_EQ(MessageBoxLog().size() - CountBoxes(kExitQuestion), refused ? 1u : 0u);
        EXPECT_EQ(platform::OpenWaveDeviceCount(), refused ? 2 : 0);
    }
    EXPECT_EQ(AudioBusy, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Callers, DevicesLeftOpen,
    ::testing::Values(LeftOpenCase{false, Caller::StopAgain}, LeftOpenCase{false, Caller::RunMls},
                      LeftOpenCase{false, Caller::TestTones}, LeftOpenCase{false, Caller::Exit},
                      LeftOpenCase{true, Caller::StopAgain}, LeftOpenCase{true, Caller::TestTones},
                      LeftOpenCase{true, Caller::Exit}),
    qvtest::ReadableName());

}  // namespace
}  // namespace shell::test
