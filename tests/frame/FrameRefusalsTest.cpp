// What the running program does with input it cannot take whole, on the virtual card: a
// calibration file that is no calibration, an export cut short and a preferences
// file cut short are refused or told; every writer that fails says which file was not saved and
// why and leaves what was there; a sound device the player or a measurement could not close is
// closed by whatever needs one next.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
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
    char first[64];
    std::snprintf(first, sizeof first, "%.2f %s -2.5\n", FrequencyGrid[0], level0);
    std::string text = first;
    for (int k = 1; k < points; ++k) {
        text += driverdata::CurveLine(FrequencyGrid[k], FrequencyGrid[k] > 5000 ? 9.9f : 0, -2.5f);
    }
    return text;
}

// A smooth calibration curve: dB and degrees at f Hz.
double SmoothDb(double f) { return 6.0 * std::sin(3.0 * std::log10(f)); }
double SmoothDegrees(double f) { return 80.0 * std::cos(2.0 * std::log10(f)); }

// The smooth curve at `frequencies`, one line each in `format` (the export's unless given).
std::string SmoothText(const std::vector<double>& frequencies,
                       const char* format = "%.2f    %.2f    %.2f  \r\n") {
    std::string text;
    for (const double f : frequencies) {
        char line[128];
        std::snprintf(line, sizeof line, format, f, SmoothDb(f), SmoothDegrees(f));
        text += line;
    }
    return text;
}

// How far the live curve lies from the smooth curve on `grid` (levels taken relative to the
// first point above 1000 Hz, or the last point; point 1999 as point 1998; beyond the file's first
// and last frequencies, their values; phase 0 for a file without a phase column), in dB or
// degrees.
double SmoothCurveError(const CalibrationPoint* live, const float* grid = FrequencyGrid,
                        double first = 0, double last = 1e9, bool phase = true) {
    const auto f = [&](int k) {
        return std::clamp<double>(grid[std::min(k, kGridPoints - 2)], first, last);
    };
    int reference = 0;
    while (reference < kGridPoints - 1 && grid[reference] <= 1000.0f) ++reference;
    double worst = 0.0;
    for (int k = 0; k < kGridPoints; ++k) {
        const double db = SmoothDb(f(k)) - SmoothDb(f(reference));
        const double degrees = phase ? SmoothDegrees(f(k)) : 0.0;
        worst = std::max({worst, std::fabs(live[k].Db - db), std::fabs(live[k].Degrees - degrees)});
    }
    return worst;
}

// A calibration file is read at the frequencies it holds, as microphones ship them (part of the
// range, a line of text, two columns), or refused with one message naming the file while the live
// curve and the file the page names stay as the last good import gave them.
TEST_F(FrameTest, CalibrationFileReadAsWrittenOrRefusedGui) {
    ASSERT_EQ(Start(), kStarted);
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdDigitalMls));
    input::PumpUntilIdle();
    const std::string path = (dir_ / "cal.trg").string();
    const std::vector<double> grid(FrequencyGrid, FrequencyGrid + kGridPoints);
    // The player's grid of the same plot range (10 Hz to 50 kHz), and 2400 points across the grid.
    std::vector<double> other_form(kGridPoints), denser(2400);
    for (int k = 0; k < kGridPoints; ++k) other_form[k] = 10.0 * std::pow(5000.0, k / 2000.0);
    for (int i = 0; i < 2400; ++i) denser[i] = grid[0] * std::pow(grid[1999] / grid[0], i / 2399.0);
    // A microphone's points: every 1/24 octave from 20 Hz to 20 kHz, and 200 uneven ones from
    // 10 Hz to 20 kHz.
    std::vector<double> octave_24ths, uneven(200);
    for (int i = 0; 20.0 * std::pow(2.0, i / 24.0) <= 20000.0; ++i)
        octave_24ths.push_back(20.0 * std::pow(2.0, i / 24.0));
    for (int i = 0; i < 200; ++i)
        uneven[i] = 10.0 * std::pow(2000.0, (i + 0.3 * std::sin(i)) / 199.0);
    const std::string two_columns = SmoothText(octave_24ths, "%.3f\t%.4f\n");
    std::string commas = SmoothText(grid, "%.2f;%.2f;%.2f\n");
    std::replace(commas.begin(), commas.end(), '.', ',');
    std::string export_text = CalibrationText(kGridPoints);
    for (int line = 0; line < 100; ++line) export_text.erase(0, export_text.find('\n') + 1);
    const std::string whole_export = CalibrationText(kGridPoints);
    const std::string last_line =
        whole_export.substr(whole_export.rfind('\n', whole_export.size() - 2) + 1);
    // Levels written with the Unicode minus sign (U+2212) on the lines that have one.
    std::string unicode_minus;
    for (const char c : two_columns)
        unicode_minus += c == '-' ? std::string("\xE2\x88\x92") : std::string(1, c);
    std::string remarked = SmoothText(octave_24ths, "%.3f %.4f %.2f\n");
    remarked.insert(remarked.find('\n', remarked.size() / 2), "  # fitted");
    const std::string layout = driverdata::CalibrationFileLayoutMessage(path.c_str());
    const std::string order = driverdata::CalibrationFileOrderMessage(path.c_str());
    struct Case {
        const char* name;
        std::string text;
        std::string message;           // empty: the smooth curve is read
        double first = 0, last = 1e9;  // the file's ends, beyond which their values are held
        bool phase = true;
    };
    const Case cases[] = {
        {"empty", "", layout},
        {"words", "Microphone calibration\nserial number on the box\n", layout},
        {"one point", "1000 0 0\n", layout},
        {"cut short", CalibrationText(kGridPoints - 1),
         driverdata::CalibrationFileShortMessage(path.c_str(), kGridPoints - 1)},
        {"cut at the start", export_text,
         driverdata::CalibrationFileShortMessage(path.c_str(), kGridPoints - 100)},
        {"level too large", CalibrationText(kGridPoints, "1E39"),
         driverdata::CalibrationFileShortMessage(path.c_str(), kGridPoints - 1)},
        {"lower-case exponents", SmoothText(grid, "%e  %e  %e\n"), ""},
        {"2400 points", SmoothText(denser), ""},
        {"exported on the other form", SmoothText(other_form), ""},
        {"decimal commas", commas, layout},
        {"decimal commas, whole frequencies", "20\t-0,85\n25\t-0,62\n31\t-0,40\n", layout},
        {"numeric header", "Mic serial 12345 sens -38.2 dBV\n" + SmoothText(grid), ""},
        {"sensitivity line, 1/24 octave 20 Hz-20 kHz, two columns",
         "\"Sens Factor =-1.378dB, SERNO: 7023290\"\r\n" + two_columns, "", octave_24ths.front(),
         octave_24ths.back(), false},
        {"byte-order mark, uneven 10 Hz-20 kHz", "\xEF\xBB\xBF" + SmoothText(uneven), "",
         uneven.front(), uneven.back()},
        {"header and comment, uneven 10 Hz-20 kHz",
         "Freq(Hz)\tSPL(dB)\tPhase(deg)\n* free field\n\n" + SmoothText(uneven, "%.2f %.3f %.2f\n"),
         "", uneven.front(), uneven.back()},
        {"two and three columns", two_columns + "20000 0 0\n", layout},
        {"falling frequencies", "100 0 0\n50 0 0\n200 0 0\n", order},
        {"repeated frequency", "100 0\n200 0\n200 1\n400 0\n", order},
        {"levels with the Unicode minus sign", unicode_minus, layout},
        {"a level that is not a number", SmoothText(uneven) + "20000 nan 0\n", layout},
        {"a comment after the numbers", remarked, layout},
        {"export, its last line again", whole_export + last_line, order},
        {"export, then a lower frequency", whole_export + "1000.00 0.00 0.00\n", order},
        {"a first line at 0 Hz, uneven 10 Hz-20 kHz", "0.0 -3.0 0.0\n" + SmoothText(uneven), "",
         uneven.front(), uneven.back()},
    };
    for (const bool mike : {true, false}) {
        const int button = mike ? measurement::kImportMikeButton : measurement::kImportPreampButton;
        CalibrationPoint* live = mike ? MikeCalibrationCurve : PreampCalibrationCurve;
        const char* setting = mike ? Preferences->MikeCalFilePath : Preferences->PreampCalFilePath;
        const std::string good = (dir_ / "good.trg").string();
        const std::string text = CalibrationText(kGridPoints);
        WriteBytes(good, text.data(), text.size());
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(mike ? "mike " : "preamp ") + c.name);
            input::ScriptFileDialogAnswers({good});
            input::Click(measurement::MlsControlPage, button);
            ASSERT_EQ(live[kGridPoints - 2].Db, 9.9f);
            const std::vector<CalibrationPoint> before(live, live + kGridPoints);
            WriteBytes(path, c.text.data(), c.text.size());
            input::ClearMessageBoxLog();
            input::ScriptFileDialogAnswers({path});
            input::Click(measurement::MlsControlPage, button);
            if (c.message.empty()) {
                EXPECT_TRUE(MessageBoxLog().empty());
                // Two decimals place a frequency within 0.005 Hz: a few hundredths at 10 Hz.
                EXPECT_LT(SmoothCurveError(live, FrequencyGrid, c.first, c.last, c.phase), 0.05)
                    << "the curve read is not the file's";
                EXPECT_EQ(std::string(setting), path);
                continue;
            }
            ASSERT_EQ(MessageBoxLog().size(), 1u);
            EXPECT_EQ(MessageBoxLog()[0].text, c.message);
            EXPECT_EQ(std::memcmp(live, before.data(), sizeof(CalibrationCurve)), 0);
            EXPECT_EQ(std::string(setting), good) << "the page names the file in use";
        }
    }
}

// The program reads back its own calibration export written on any of its grids: the one it
// builds for the plot range (0) or one a plot of that width rebuilt, for the same range or
// another, although at low ranges two decimals write neighbouring points as one frequency.
TEST_F(FrameTest, OwnCalibrationExportReadsBackOnEveryGridGui) {
    ASSERT_EQ(Start(), kStarted);
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdDigitalMls));
    input::PumpUntilIdle();
    input::Click(measurement::MlsControlPage, measurement::kUsePreampBox);  // the microphone's
    const auto build = [](int start, int stop, int grid) {
        BuildFrequencyGrids(PlotStartFrequencyIndex = start, PlotStopFrequencyIndex = stop);
        return grid == 0 || BuildPlotFrequencyGrid(grid);
    };
    // The plot range's indices and the grid, written on and read on.
    const int cases[][6] = {{0, 5, 0, 0, 5, 700}, {0, 5, 1163, 0, 5, 0}, {1, 4, 512, 1, 4, 1400},
                            {1, 4, 0, 1, 4, 95},  {0, 0, 300, 0, 0, 0},  {0, 5, 0, 1, 4, 700}};
    for (const auto& [start, stop, written, read_start, read_stop, read] : cases) {
        SCOPED_TRACE(::testing::Message() << start << "-" << stop << ", " << written << " read on "
                                          << read_start << "-" << read_stop << ", " << read);
        ASSERT_TRUE(build(start, stop, written));
        const float first = FrequencyGrid[0], last = FrequencyGrid[kGridPoints - 1];
        for (int k = 0; k < kGridPoints; ++k) {
            MikeCalibrationCurve[k] = {static_cast<float>(SmoothDb(FrequencyGrid[k])),
                                       static_cast<float>(SmoothDegrees(FrequencyGrid[k]))};
        }
        input::ScriptFileDialogAnswers({(dir_ / "mike.trg").string()});
        input::Click(measurement::MlsControlPage, measurement::kExportCalButton);
        ASSERT_TRUE(build(read_start, read_stop, read));
        // The grid the file is read on; the view draws its own once the import is shown.
        const std::vector<float> grid(FrequencyGrid, FrequencyGrid + kGridPoints);
        input::ClearMessageBoxLog();
        input::ScriptFileDialogAnswers({(dir_ / "mike.trg").string()});
        input::Click(measurement::MlsControlPage, measurement::kImportMikeButton);
        EXPECT_TRUE(MessageBoxLog().empty()) << MessageBoxLog()[0].text;
        EXPECT_LT(SmoothCurveError(MikeCalibrationCurve, grid.data(), first, last), 0.02);
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
