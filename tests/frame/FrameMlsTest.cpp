// The MLS measurement tool in the running program on the virtual card (output 0 loops to input 0,
// output 1 reaches input 1 through a known response 50 frames later): Measure -> Digital-MLS,
// Run MLS by clicks, the impulses and read-outs, Calculate SPL, the views' pixels, scrolling and
// every client size, the device flow when the dialog closes or the page changes mid-run, the
// busy interplay with the player, the calibration commands with their dialog and files, and Save
// IR without a capture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "driverdata/ExportFiles.h"
#include "engine/Engine.h"
#include "engine/Globals.h"
#include "engine/Ids.h"
#include "frame/FrameCommands.h"
#include "measurement/Globals.h"
#include "measurement/MlsAcquire.h"
#include "measurement/MlsDeconvolution.h"
#include "measurement/MlsPlots.h"
#include "measurement/MlsRun.h"
#include "measurement/MlsSpl.h"
#include "measurement/MlsWindows.h"
#include "platform/audio/VirtualCard.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/WindowImage.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/DrawnTexts.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/DriverRecord.h"
#include "shell/FrequencyGrid.h"
#include "shell/Ids.h"
#include "shell/PlotFrame.h"
#include "tests/ReadableNames.h"
#include "tests/frame/FrameTestSupport.h"

namespace shell::test {
using namespace frame;
namespace {

namespace input = platform::testing;
using platform::HWND;

constexpr int kRefLatency = 100;
constexpr int kInLatency = 150;
const double kInTaps[2] = {0.5, 0.25};
using measurement::kCalculateButton;
using measurement::kRunButton;

class FrameMlsTest : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        platform::VirtualCardReset();
        const double one = 1.0;
        ASSERT_TRUE(platform::VirtualCardSetLoopback(0, 0, &one, 1, kRefLatency));
        ASSERT_TRUE(platform::VirtualCardSetLoopback(1, 1, kInTaps, 2, kInLatency));
        ASSERT_EQ(Start(), kStarted);
        OpenTool();
    }
    void TearDown() override {
        measurement::StopMlsRun();
        FrameTest::TearDown();
    }
    void OpenTool() {
        ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdDigitalMls));
        input::PumpUntilIdle();
        ASSERT_TRUE(platform::IsWindow(MlsControlDialog));
        ASSERT_TRUE(platform::IsWindow(measurement::MlsControlPage));
        // The shortest sequence keeps the runs short.
        input::Select(Page(), measurement::kLengthCombo, 0);
        ASSERT_EQ(measurement::MlsOrder, 13);
    }
    HWND Page() const { return measurement::MlsControlPage; }
    std::string PageText(int id) const {
        char shown[32] = {};
        platform::GetDlgItemText(Page(), id, shown, sizeof shown);
        return shown;
    }
    void StepCard(int steps) {
        for (int i = 0; i < steps && measurement::MlsRunActive(); ++i) {
            platform::VirtualCardStep(8192, 48000);
            input::PumpUntilIdle();
        }
        input::PumpUntilIdle();
    }
    void Measure() {
        input::Click(Page(), kRunButton);
        ASSERT_TRUE(measurement::MlsRunActive());
        EXPECT_EQ(AudioBusy, 1);
        StepCard(100);
        ASSERT_FALSE(measurement::MlsRunActive());
        EXPECT_EQ(AudioBusy, 0);
        EXPECT_EQ(platform::OpenWaveDeviceCount(), 0);
    }
    platform::COLORREF PixelOf(HWND window, int x, int y) {
        platform::UpdateWindow(window);
        const platform::HDC hdc = platform::GetDC(window);
        const platform::COLORREF c = platform::GetPixel(hdc, x, y);
        platform::ReleaseDC(window, hdc);
        return c;
    }
    // Opens the room equalizer of the first channel's room-EQ element (a design with one is open)
    // and runs `there` in it.
    void OnRoomEq(const std::function<void(HWND)>& there) {
        int room_eq = 0;
        while (PaneStores[0].ElementGeometry[room_eq].kind != kElementRoomEq) ++room_eq;
        const ElementGeometryRecord g = PaneStores[0].ElementGeometry[room_eq];
        input::OnModalDialog("Room_EQ", there);
        input::MouseClick(network::PaneWindows[0], (g.x1 + g.x2) / 20 * 10, (g.y1 + g.y2) / 20 * 10,
                          input::Button::Right);
        input::PumpUntilIdle();
        EXPECT_EQ(input::PendingModalActions(), 0u) << "the room equalizer did not open";
    }
    bool GridFinite() {
        for (float f : FrequencyGrid)
            if (!std::isfinite(f) || f <= 0.0f) return false;
        return true;
    }
};

platform::COLORREF SchemeColour(int row) {
    const ColourEntry& e = CurveColourScheme[row];
    return platform::RGB(e.Red, e.Green, e.Blue);
}

TEST_F(FrameMlsTest, RunMlsShowsAlignedImpulsesAndCalculateSplWritesTheDriverCurvesGui) {
    ASSERT_TRUE(platform::IsWindow(MlsSplChildWindow));
    ASSERT_TRUE(platform::IsWindow(MlsImpChildWindow));
    Measure();
    // The Ref peak lands at sample 60, the In response keeps its 50 frames of delay and its taps.
    const float ref = MlsRefSamples[60];
    ASSERT_GT(std::fabs(ref), 1.0f);
    EXPECT_NEAR(MlsInSamples[110] / ref, kInTaps[0], 0.01);
    EXPECT_NEAR(MlsInSamples[111] / ref, kInTaps[1], 0.01);
    EXPECT_GT(measurement::MlsRefPeak, 0);
    EXPECT_GT(measurement::MlsInPeak, 0);
    EXPECT_GT(measurement::MlsRefPeakLevel, 0.0f);
    EXPECT_NE(WindowTitle(MlsImpChildWindow).find("MLS Impulse Response  Ref="), std::string::npos);

    // The start bin by the keyboard: a click, then the arrows to 10 samples before the In arrival,
    // as the Ref gate starts 10 samples before the Ref peak.
    const int w = measurement::MlsImpClientWidth;
    ASSERT_GT(w, 80);
    input::MouseClick(MlsImpChildWindow, 60 + 100 * (w - 80) / 2000, 100);
    EXPECT_EQ(measurement::MlsImpulseStart,
              static_cast<int>(((100 * (w - 80) / 2000) * 2000) / static_cast<double>(w - 80)));
    while (measurement::MlsImpulseStart < 100)
        input::PressKey(MlsImpChildWindow, platform::VK_RIGHT);
    while (measurement::MlsImpulseStart > 100)
        input::PressKey(MlsImpChildWindow, platform::VK_LEFT);
    ASSERT_EQ(measurement::MlsImpulseStart, 100);

    input::Select(Page(), measurement::kWindowTypeCombo, 2);  // Rectangular
    input::TypeText(Page(), measurement::kWindowWidthEdit, "4096");
    input::Select(Page(), measurement::kSmoothingCombo, 5);  // no smoothing
    input::Click(Page(), kCalculateButton);
    EXPECT_EQ(measurement::MlsSplCalculated, 1);
    const auto H = [](double f) {
        return kInTaps[0] + kInTaps[1] * std::polar(1.0, -2.0 * M_PI * f / 48000.0);
    };
    int j1k = 0;
    while (FrequencyGrid[j1k] < 1000.0f) ++j1k;
    const double base =
        CurrentDriverRecord->Spl[j1k] - 20 * std::log10(std::abs(H(FrequencyGrid[j1k])));
    int checked = 0;
    for (int j = 0; j < kGridPoints; ++j) {
        const double f = FrequencyGrid[j];
        if (f < 200.0 || f > 10000.0) continue;
        EXPECT_NEAR(CurrentDriverRecord->Spl[j] - base, 20 * std::log10(std::abs(H(f))), 0.1) << f;
        EXPECT_NEAR(CurrentDriverRecord->Phase[j], std::arg(H(f)) * 57.288, 1.0) << f;
        ++checked;
    }
    EXPECT_GT(checked, 500);
    // The SPL view shows the new curve in the pen of "Filter SPL Curve".
    const CurveRecord* spl = MeasuredCurveTable[0];
    ASSERT_EQ(spl->v[kCurveVisible], 1.0f);
    const int wp = measurement::MlsSplPlotWidth;
    const int hp = measurement::MlsSplPlotHeight;
    const double g = (hp - 40) / 18.0;
    const int k = 1000;
    const int x = static_cast<int>(static_cast<float>(k * 0.0005 * (wp - 80) + 60.0));
    const int y = ClampedCurveY(20 + 7 * g + (g / 5.0) * (90 - 90 - spl->v[k]), hp);
    EXPECT_EQ(PixelOf(measurement::MlsSplPage, x, y), SchemeColour(1));
    // The impulse view draws the Ref peak (sample 60) in the pen of "MLS Ref".
    const int h = measurement::MlsImpClientHeight;
    const double gi = (h - 40) / 18.0;
    const int xi = static_cast<int>(static_cast<float>(60 * 0.0005 * (w - 80) + 60.0));
    const int yi = ClampedCurveY(20 + 4 * gi - 0.05 * gi * 0.01 * ref, h);
    EXPECT_EQ(PixelOf(MlsImpChildWindow, xi, yi), SchemeColour(18));
}

TEST_F(FrameMlsTest, ScrollBarMovesTheImpulseViewAndItsTitleGui) {
    input::Scroll(MlsImpChildWindow, -1, platform::SB_LINELEFT, 0, platform::SB_HORZ);
    EXPECT_EQ(measurement::MlsImpScrollPosition, 0);
    input::Scroll(MlsImpChildWindow, -1, platform::SB_LINERIGHT, 0, platform::SB_HORZ);
    EXPECT_EQ(measurement::MlsImpScrollPosition, 1);
    EXPECT_EQ(platform::GetScrollPos(MlsImpChildWindow, platform::SB_HORZ), 1);
    EXPECT_NE(WindowTitle(MlsImpChildWindow).find("[2000 - 4000]"), std::string::npos);
    input::Select(Page(), measurement::kTimeZoomCombo, 3);  // 8xTime: a span of 250
    input::Scroll(MlsImpChildWindow, -1, platform::SB_THUMBTRACK, 20, platform::SB_HORZ);
    EXPECT_EQ(measurement::MlsImpScrollPosition, 20);
    EXPECT_NE(WindowTitle(MlsImpChildWindow).find("[5000 - 5250]"), std::string::npos);
    input::Scroll(MlsImpChildWindow, -1, platform::SB_LINERIGHT, 0, platform::SB_HORZ);
    EXPECT_EQ(measurement::MlsImpScrollPosition, 20);
}

TEST_F(FrameMlsTest, EveryClientSizeDownToZeroLeavesTheGridFiniteGui) {
    Measure();
    for (int size : {0, 1, 20, 40, 79, 80, 81, 85, 86, 100, 300}) {
        platform::MoveWindow(MlsSplChildWindow, 0, 0, size, size, platform::TRUE);
        platform::MoveWindow(MlsImpChildWindow, 0, 0, size, size, platform::TRUE);
        input::PumpUntilIdle();
        if (measurement::MlsSplPage) platform::UpdateWindow(measurement::MlsSplPage);
        platform::UpdateWindow(MlsImpChildWindow);
        for (int x : {0, 59, 60, 61, size / 2, size - 19, size}) {
            input::MouseClick(MlsImpChildWindow, x, size / 2);
            if (measurement::MlsSplPage) input::MouseMove(measurement::MlsSplPage, x, size / 2);
        }
        EXPECT_TRUE(GridFinite()) << size;
        EXPECT_GE(measurement::MlsImpulseStart, 0) << size;
        EXPECT_LE(measurement::MlsImpulseStart, measurement::kMlsImpulseStartMax) << size;
    }
}

// Each time label of the impulse view starts on the grid line of the time it prints, at every
// width and at two time zooms (labels that would meet are left out).
TEST_F(FrameMlsTest, ImpulseTimeLabelsStandOnTheGridLinesOfTheirTimesGui) {
    Measure();
    const double fs = measurement::MeasuredSampleRate();
    for (const int zoom : {0, 1}) {
        input::Select(Page(), measurement::kTimeZoomCombo, zoom);
        const double z = 1 << zoom;
        for (const int outer : {520, 900, 1320, 1720}) {
            platform::MoveWindow(MlsImpChildWindow, 0, 0, outer, 400, platform::TRUE);
            input::PumpUntilIdle();
            const int w = measurement::MlsImpClientWidth;
            const int h = measurement::MlsImpClientHeight;
            SCOPED_TRACE(::testing::Message() << "zoom " << z << ", client width " << w);
            // The time the curves draw at each grid line (column j lies at screen point 50 j).
            std::map<std::string, int> line_of;
            for (int j = -3; j <= 39; ++j) {
                const double ms = (1000.0 / z) * (50 * j - 50 * z) / fs +
                                  2000.0 * measurement::MlsImpScrollPosition * (1000.0 / z) / fs;
                char text[32];
                std::snprintf(text, sizeof text, "%.1f", ms);
                line_of[text] = static_cast<int>(j * 0.025 * (w - 80) + 60);
            }
            input::RecordDrawnTexts(true);
            platform::InvalidateRect(MlsImpChildWindow, nullptr, platform::TRUE);
            platform::UpdateWindow(MlsImpChildWindow);
            int labels = 0;
            for (const auto& t : input::DrawnTexts()) {
                if (t.window != MlsImpChildWindow || t.ink.top < h - 20 ||
                    t.text.find('.') == std::string::npos)
                    continue;
                ++labels;
                const auto line = line_of.find(t.text);
                ASSERT_NE(line, line_of.end()) << t.text << " is the time of no grid line";
                EXPECT_GE(t.ink.left, line->second) << t.text;
                EXPECT_LE(t.ink.left, line->second + 2) << t.text;
            }
            input::RecordDrawnTexts(false);
            EXPECT_GE(labels, 5);
        }
    }
}

// After each time zoom and each scroll step the impulse view shows what it shows painted afresh:
// one row of time labels, those of the span shown, and axis texts not drawn over themselves.
TEST_F(FrameMlsTest, ZoomedOrScrolledImpulseViewShowsWhatAFreshPaintShowsGui) {
    Measure();
    const auto zoom = [this](int row) { input::Select(Page(), measurement::kTimeZoomCombo, row); };
    const auto scroll = [](platform::UINT code) {
        input::Scroll(MlsImpChildWindow, -1, code, 0, platform::SB_HORZ);
    };
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"2xTime", [&] { zoom(1); }},
        {"4xTime", [&] { zoom(2); }},
        {"8xTime", [&] { zoom(3); }},
        {"1xTime", [&] { zoom(0); }},
        {"one step right", [&] { scroll(platform::SB_LINERIGHT); }},
        {"one step back", [&] { scroll(platform::SB_LINELEFT); }},
    };
    for (const auto& [what, step] : steps) {
        SCOPED_TRACE(what);
        step();
        input::PumpUntilIdle();
        const std::vector<std::uint32_t> left = ShownPixels(MlsImpChildWindow);
        platform::InvalidateRect(MlsImpChildWindow, nullptr, platform::TRUE);
        input::PumpUntilIdle();
        const std::vector<std::uint32_t> fresh = ShownPixels(MlsImpChildWindow);
        ASSERT_EQ(left.size(), fresh.size());
        ASSERT_GT(fresh.size(), 100000u);
        std::size_t differing = 0;
        for (std::size_t i = 0; i < fresh.size(); ++i) differing += left[i] != fresh[i];
        EXPECT_EQ(differing, 0u) << "pixels differ from the view painted afresh";
    }
}

// After the frequency view is resized, each of its pages shows exactly what it shows when its tab
// is chosen afresh at that size: nothing drawn for the earlier size stays.
TEST_F(FrameMlsTest, ResizedFrequencyViewShowsWhatAFreshPageShowsGui) {
    Measure();
    const int sizes[][4] = {{560, 300, 1300, 620}, {1300, 620, 700, 340}};
    for (int tab = 0; tab < 3; ++tab) {
        for (const auto& [w0, h0, w1, h1] : sizes) {
            SCOPED_TRACE(::testing::Message()
                         << "tab " << tab << ", " << w0 << "x" << h0 << " to " << w1 << "x" << h1);
            input::SelectTab(MlsSplChildWindow, measurement::kMlsSplTabId, tab);
            for (const auto& [w, h] : {std::pair{w0, h0}, std::pair{w1, h1}}) {
                platform::MoveWindow(MlsSplChildWindow, 0, 0, w, h, platform::TRUE);
                input::PumpUntilIdle();
            }
            const std::vector<std::uint32_t> resized = ShownPixels(measurement::MlsSplPage);
            input::SelectTab(MlsSplChildWindow, measurement::kMlsSplTabId, (tab + 1) % 3);
            input::SelectTab(MlsSplChildWindow, measurement::kMlsSplTabId, tab);
            input::PumpUntilIdle();
            const std::vector<std::uint32_t> fresh = ShownPixels(measurement::MlsSplPage);
            ASSERT_EQ(resized.size(), fresh.size());
            ASSERT_GT(fresh.size(), 100000u);
            EXPECT_TRUE(resized == fresh) << "the page differs from the page shown afresh";
        }
    }
}

TEST_F(FrameMlsTest, ClosingOrSwitchingPagesMidRunLeavesNothingOpenGui) {
    input::Click(Page(), kRunButton);
    ASSERT_TRUE(measurement::MlsRunActive());
    platform::VirtualCardStep(8192, 48000);
    input::SelectTab(MlsControlDialog, measurement::kMlsControlTabId, 1);
    input::PumpUntilIdle();
    EXPECT_FALSE(measurement::MlsRunActive());
    EXPECT_EQ(AudioBusy, 0);
    EXPECT_EQ(platform::OpenWaveDeviceCount(), 0);
    EXPECT_EQ(measurement::MlsSplPageIndex, 2);
    input::SelectTab(MlsControlDialog, measurement::kMlsControlTabId, 0);
    input::PumpUntilIdle();
    ASSERT_TRUE(platform::IsWindow(Page()));
    EXPECT_EQ(measurement::MlsSplPageIndex, 0);

    input::Select(Page(), measurement::kLengthCombo, 0);
    input::Click(Page(), kRunButton);
    ASSERT_TRUE(measurement::MlsRunActive());
    input::CloseBox(MlsControlDialog);
    input::PumpUntilIdle();
    EXPECT_FALSE(platform::IsWindow(MlsControlDialog));
    EXPECT_FALSE(measurement::MlsRunActive());
    EXPECT_EQ(AudioBusy, 0);
    EXPECT_EQ(platform::OpenWaveDeviceCount(), 0);
    // The program stays usable: the tool opens again and measures.
    OpenTool();
    Measure();
}

// A play and a measurement refuse each other; the rate and the length chosen on the page while
// one runs are refused, and the boxes show the settings in use again. A play leaves the impulse
// view's gating window as the one Calculate SPL gates with.
TEST_F(FrameMlsTest, PlayIsRefusedWhileMeasuringAndTheReverseGui) {
    constexpr int kGateWindowCurve = 22;  // the impulse view's gating window
    const auto row = [&](int id) {
        return platform::SendDlgItemMessage(Page(), id, platform::CB_GETCURSEL, 0, 0);
    };
    const auto choices_refused = [&] {
        const int rate = Mls.MlsSampleRateIndex, length = Mls.MlsLengthIndex;
        input::Select(Page(), measurement::kRateCombo, 4);    // 44100
        input::Select(Page(), measurement::kLengthCombo, 3);  // 65535
        EXPECT_EQ(Mls.MlsSampleRateIndex, rate);
        EXPECT_EQ(Mls.MlsLengthIndex, length);
        EXPECT_EQ(row(measurement::kRateCombo), rate) << "Sampling shows the rate in use";
        EXPECT_EQ(row(measurement::kLengthCombo), length) << "MLS Length shows the length in use";
    };
    const auto gate_window = [] {
        input::Select(measurement::MlsControlPage, measurement::kTimeZoomCombo, 1);
        input::Select(measurement::MlsControlPage, measurement::kTimeZoomCombo, 0);
        const float* v = MeasuredCurveTable[kGateWindowCurve]->v;
        return std::vector<float>(v, v + kGridPoints);
    };
    // The tool closed the player dialog; the player is brought back beside it.
    ASSERT_TRUE(CreatePlayerDialog(FrameWindow));
    input::PumpUntilIdle();
    input::Click(Page(), kRunButton);
    ASSERT_TRUE(measurement::MlsRunActive());
    input::Click(ComponentCADSelectionDialog, engine::kPlayCommand);
    input::PumpUntilIdle();
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
    {
        SCOPED_TRACE("during Run MLS");
        choices_refused();
    }
    StepCard(100);
    ASSERT_FALSE(measurement::MlsRunActive());
    const std::vector<float> window = gate_window();
    ASSERT_GT(*std::max_element(window.begin(), window.end()), 100.0f);

    platform::VirtualCardFollowLayerClock(true);
    input::Click(ComponentCADSelectionDialog, engine::kPlayCommand);
    input::AdvanceTime(2000);
    input::PumpUntilIdle(ComponentCADSelectionDialog);
    ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
    input::Click(Page(), kRunButton);
    EXPECT_FALSE(measurement::MlsRunActive());
    {
        SCOPED_TRACE("during a play");
        choices_refused();
    }
    input::Click(ComponentCADSelectionDialog, engine::kStopCommand);
    input::PumpUntilIdle(ComponentCADSelectionDialog);
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
    platform::VirtualCardFollowLayerClock(false);
    EXPECT_TRUE(gate_window() == window) << "the view draws a gating window not in use";
}

TEST_F(FrameMlsTest, CalibrationCreateExportResetAndImportReadBackGui) {
    // Only the microphone calibration is ticked.
    input::Click(Page(), measurement::kUsePreampBox);
    ASSERT_EQ(Mls.MlsUseMikeCal, 1);
    ASSERT_EQ(Mls.MlsUsePreampCal, 0);
    input::OnModalDialog("EnterCreateCalibration", [](HWND dialog) {
        input::Select(dialog, measurement::kLpFamilyList, 3);  // Q-Parametric low-pass section
        input::TypeText(dialog, measurement::kLpFrequencyEdit, "1000");
        input::Click(dialog, 1);
    });
    input::Click(Page(), measurement::kCreateCalButton);
    EXPECT_EQ(input::PendingModalActions(), 0u);
    int j1k = 0;
    while (FrequencyGrid[j1k] < 1000.0f) ++j1k;
    EXPECT_NEAR(MikeCalibrationCurve[j1k].Db, -10.0, 0.3);
    EXPECT_EQ(CurrentDriverRecord->MikeCalibration[j1k].Db, MikeCalibrationCurve[j1k].Db);
    EXPECT_EQ(MeasuredCurveTable[25]->v[j1k], MikeCalibrationCurve[j1k].Db);
    EXPECT_EQ(measurement::MlsSplPageIndex, 1);
    // The calibration view shows the new curve in its own pen.
    {
        const CurveRecord* cal = MeasuredCurveTable[25];
        const int wp = measurement::MlsSplPlotWidth;
        const int hp = measurement::MlsSplPlotHeight;
        const double g = (hp - 40) / 18.0;
        const int x = static_cast<int>(static_cast<float>(j1k * 0.0005 * (wp - 80) + 60.0));
        const int y = ClampedCurveY(20 + 7 * g + (g / 5.0) * (90 - 90 - cal->v[j1k]), hp);
        EXPECT_EQ(PixelOf(measurement::MlsSplPage, x, y),
                  platform::RGB(static_cast<int>(cal->v[kCurvePenRed]),
                                static_cast<int>(cal->v[kCurvePenGreen]),
                                static_cast<int>(cal->v[kCurvePenBlue])));
    }
    CalibrationPoint created[kGridPoints];
    std::memcpy(created, MikeCalibrationCurve, sizeof created);

    const std::string path = (dir_ / "mike.cal").string();
    input::ScriptFileDialogAnswers({path});
    input::Click(Page(), measurement::kExportCalButton);
    ASSERT_TRUE(std::filesystem::exists(path));
    input::Click(Page(), measurement::kResetCalButton);  // Reset
    EXPECT_EQ(MikeCalibrationCurve[j1k].Db, 0.0f);
    EXPECT_EQ(MeasuredCurveTable[25]->v[j1k], 0.0f);
    input::ScriptFileDialogAnswers({path});
    input::Click(Page(), measurement::kImportMikeButton);  // Import the exported file
    // The reader moves the level to 0 dB at the first bin above 1 kHz; the shape is kept.
    const double shift = MikeCalibrationCurve[j1k].Db - created[j1k].Db;
    for (int j = 10; j < kGridPoints - 10; j += 97) {
        EXPECT_NEAR(MikeCalibrationCurve[j].Db - shift, created[j].Db, 0.05) << j;
        EXPECT_NEAR(MikeCalibrationCurve[j].Degrees, created[j].Degrees, 0.2) << j;
    }
    EXPECT_EQ(MeasuredCurveTable[25]->v[kCurveVisible], 1.0f);

    // Both boxes ticked: Create and Export refuse with their messages.
    input::Click(Page(), measurement::kUsePreampBox);
    input::Click(Page(), measurement::kCreateCalButton);
    input::Click(Page(), measurement::kExportCalButton);
    EXPECT_EQ(CountBoxes("Please Select Either Mike File Or Preamp File For Construction"), 1);
    EXPECT_EQ(CountBoxes("Please Select Either Mike File Or Preamp File For Saving"), 1);
}

}  // namespace
}  // namespace shell::test

namespace shell::test {
namespace {

// The impulse view's click and keys on a 10x-sized span: where the start bin goes.
struct ImpulseCase {
    int zoom;
    int scroll;
    int start;             // start bin before
    int x;                 // click x (0: no click)
    platform::WPARAM key;  // key after (0: none)
    int expected;
};

void PrintTo(const ImpulseCase& c, std::ostream* os) {
    *os << "zoom " << c.zoom << ", scroll " << c.scroll << ", start " << c.start << ", click x "
        << c.x << ", key " << c.key;
}

class FrameMlsImpulseTest : public FrameMlsTest,
                            public ::testing::WithParamInterface<ImpulseCase> {};

TEST_P(FrameMlsImpulseTest, ClickAndArrowKeysMoveTheStartBinGui) {
    const ImpulseCase c = GetParam();
    input::Select(Page(), measurement::kTimeZoomCombo, c.zoom);
    measurement::MlsImpScrollPosition = c.scroll;
    measurement::MlsImpulseStart = c.start;
    const int w = measurement::MlsImpClientWidth;
    if (c.x != 0) input::MouseClick(MlsImpChildWindow, c.x, 100);
    if (c.key != 0) input::PressKey(MlsImpChildWindow, c.key);
    const int span = 2000 >> c.zoom;
    int expected = c.expected;
    if (expected == -1)  // the click formula
        expected =
            static_cast<int>(span * c.scroll + static_cast<double>((c.x - 60) * span) / (w - 80));
    EXPECT_EQ(measurement::MlsImpulseStart, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FrameMlsImpulseTest,
    ::testing::Values(ImpulseCase{0, 0, 50, 60, 0, 0},    // x = 60: the span's first bin
                      ImpulseCase{3, 2, 77, 60, 0, 500},  // 8xTime, scroll 2
                      ImpulseCase{0, 0, 50, 59, 0, 50},   // left of the axis: nothing
                      ImpulseCase{0, 0, 50, 200, 0, -1},  // inside: the formula
                      ImpulseCase{0, 0, 0, 0, platform::VK_LEFT, 1999},   // wraps to the last
                      ImpulseCase{0, 0, 1999, 0, platform::VK_RIGHT, 0},  // wraps to the first
                      ImpulseCase{3, 0, 100, 0, platform::VK_RIGHT, 101},
                      ImpulseCase{0, 1, 50, 0, platform::VK_RIGHT, 50}),
    qvtest::ReadableName());  // outside the span

TEST_F(FrameMlsTest, CalculateSplBringsTheSplPageBackGui) {
    // A refused calculation leaves the view alone; a calculation shows its curve's page.
    input::SelectTab(MlsSplChildWindow, measurement::kMlsSplTabId, 1);
    input::PumpUntilIdle();
    ASSERT_EQ(measurement::MlsSplPageIndex, 1);
    input::Click(Page(), kCalculateButton);
    EXPECT_EQ(CountBoxes("Please Generate Impulse Response First"), 1);
    EXPECT_EQ(measurement::MlsSplPageIndex, 1);
    Measure();
    // A gate the order-13 sequence holds.
    input::TypeText(Page(), measurement::kWindowWidthEdit, "4096");
    input::Click(Page(), kCalculateButton);
    input::PumpUntilIdle();
    EXPECT_EQ(measurement::MlsSplCalculated, 1);
    EXPECT_EQ(measurement::MlsSplPageIndex, 0);
    EXPECT_EQ(platform::SendMessage(measurement::MlsSplTab, platform::TCM_GETCURSEL, 0, 0), 0);
}

// Export Cal. Files writes the calibration in use: one imported (a refused import after it changes
// nothing), or the one the preferences file kept from the last session.
TEST_F(FrameTest, CalibrationExportWritesTheCurveInUseGui) {
    // The microphone's (else the preamplifier's); kept (else imported); a refused import after.
    for (const auto& [mike, kept, refused] :
         {std::tuple{true, false, false}, {false, false, true}, {true, true, false}}) {
        SCOPED_TRACE(::testing::Message() << mike << kept << refused);
        TearDown();
        SetUp();
        std::vector<CalibrationPoint> curve(kGridPoints);
        for (int k = 0; k < kGridPoints; ++k)
            curve[k] = {k > 1500 ? 1.5f : 0.0f, static_cast<float>(20.0 * std::sin(k / 99.0))};
        if (kept) {
            WritePreferencesFile(dir_, [&](PreferencesRecord& p) {
                std::copy(curve.begin(), curve.end(), p.MikeCalibration);
            });
        }
        ASSERT_EQ(Start(), kStarted);
        ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdDigitalMls));
        input::PumpUntilIdle();
        const HWND page = measurement::MlsControlPage;
        input::Click(page, mike ? measurement::kUsePreampBox : measurement::kUseMikeBox);
        const int import = mike ? measurement::kImportMikeButton : measurement::kImportPreampButton;
        std::string text;  // on the grid the view drew
        for (int k = 0; k < kGridPoints; ++k)
            text += driverdata::CurveLine(FrequencyGrid[k], curve[k].Db, curve[k].Degrees);
        for (const bool good : {true, false}) {
            if (good ? kept : !refused) continue;
            WriteBytes(dir_ / "in.trg", good ? text.data() : "1000 0 0\n", good ? text.size() : 9);
            input::ScriptFileDialogAnswers({(dir_ / "in.trg").string()});
            input::Click(page, import);
        }
        const CalibrationPoint* live = mike ? MikeCalibrationCurve : PreampCalibrationCurve;
        ASSERT_NEAR(live[1600].Degrees, curve[1600].Degrees, 0.01) << "not the calibration in use";
        input::ScriptFileDialogAnswers({(dir_ / "out.trg").string()});
        input::Click(page, measurement::kExportCalButton);
        // Each line's level and phase (the frequency column follows the plot drawn last).
        const std::vector<std::uint8_t> bytes = ReadBytes(dir_ / "out.trg");
        std::istringstream lines(std::string(bytes.begin(), bytes.end()));
        std::string line;
        for (int k = 0; k < kGridPoints; ++k) {
            ASSERT_TRUE(std::getline(lines, line)) << "the export ends at line " << k;
            const std::string want = driverdata::CurveLine(0, live[k].Db, live[k].Degrees);
            ASSERT_EQ(line.substr(line.find(' ')) + '\n', want.substr(want.find(' '))) << k;
        }
    }
}

TEST_F(FrameMlsTest, MeterSegmentsAndTheLinkwitzRefusalsGui) {
    EXPECT_EQ(measurement::LitMeterSegments(-1.0f), 0);
    EXPECT_EQ(measurement::LitMeterSegments(0.0f), 1);
    EXPECT_EQ(measurement::LitMeterSegments(2.0f), 2);
    EXPECT_EQ(measurement::LitMeterSegments(35.0f), 18);
    // Every segment lit: the page's line stands above the top segment, which shows whole.
    const HWND meter = platform::GetDlgItem(Page(), measurement::kMeter);
    measurement::DrawInputLevelMeter(meter, 35.0f, 35.0f);
    int line = 0;
    while (line < 100 && PixelOf(meter, 1, line) != platform::RGB(0, 0, 0)) ++line;
    for (const int x : {5 + 6, 22 + 6}) {
        int top = 0;
        while (top < 100 && PixelOf(meter, x, top) != platform::RGB(128, 0, 0)) ++top;
        int rows = 0;
        while (PixelOf(meter, x, top + rows) == platform::RGB(128, 0, 0)) ++rows;
        EXPECT_LT(line, top) << "column at " << x;
        EXPECT_EQ(rows, 9) << "column at " << x;
    }
    input::Click(Page(), measurement::kUsePreampBox);  // only the microphone calibration
    input::OnModalDialog("EnterCreateCalibration", [](HWND dialog) {
        input::Select(dialog, measurement::kHpFamilyList, 2);  // Linkwitz high-pass
        input::Select(dialog, measurement::kHpSlopeList, 5);   // first order: refused
        input::Click(dialog, 1);
        input::Select(dialog, measurement::kHpFamilyList, 1);
        input::Select(dialog, measurement::kLpFamilyList, 2);  // Linkwitz low-pass
        input::Select(dialog, measurement::kLpSlopeList, 2);   // third order: refused
        input::Click(dialog, 1);
        input::Click(dialog, 2);
    });
    input::Click(Page(), measurement::kCreateCalButton);
    EXPECT_EQ(CountBoxes("HP Option NOT Applicable To Linkwitz Filters"), 1);
    EXPECT_EQ(CountBoxes("LP Option NOT Applicable To Linkwitz Filters"), 1);
    // Cancel keeps what was changed before it, and builds nothing.
    EXPECT_EQ(measurement::CalLpFamily, 2);
    EXPECT_EQ(MikeCalibrationCurve[1000].Db, 0.0f);
}

}  // namespace
}  // namespace shell::test

namespace shell::test {
namespace {

// The room equalizer sets the shared MLS settings (48000 Hz, 262143, the first window type, the
// measured phase shown) and they stay when it closes, by Done or Cancel: the MLS page open beside
// it, on either tab, then shows them.
TEST_F(FrameMlsTest, PageShowsTheSettingsTheRoomEqualizerLeftGui) {
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdStereo5Way));
    input::PumpUntilIdle();
    const auto row = [&](int id) {
        return platform::SendDlgItemMessage(Page(), id, platform::CB_GETCURSEL, 0, 0);
    };
    for (const auto& [button, tab] :
         {std::pair{platform::IDOK, 0}, {platform::IDCANCEL, 0}, {platform::IDCANCEL, 1}}) {
        SCOPED_TRACE(::testing::Message() << "button " << button << ", tab " << tab);
        input::SelectTab(MlsControlDialog, measurement::kMlsControlTabId, 0);
        input::Select(Page(), measurement::kRateCombo, 6);        // 96000
        input::Select(Page(), measurement::kLengthCombo, 3);      // 65535
        input::Select(Page(), measurement::kWindowTypeCombo, 3);  // not the room equalizer's
        if (Mls.MlsShowPhase == 1) input::Click(Page(), measurement::kShowPhaseBox);
        input::TypeText(Page(), measurement::kWindowWidthEdit, "4096");
        const std::string ms = PageText(measurement::kWindowMsEdit);  // at 96000 Hz
        input::SelectTab(MlsControlDialog, measurement::kMlsControlTabId, tab);
        OnRoomEq([button = button](HWND d) { input::Click(d, button); });
        ASSERT_EQ(Mls.MlsShowPhase, 1);
        EXPECT_EQ(platform::IsDlgButtonChecked(Page(), measurement::kShowPhaseBox),
                  platform::BST_CHECKED);
        if (tab == 1) continue;
        EXPECT_EQ(row(measurement::kRateCombo), Mls.MlsSampleRateIndex);
        EXPECT_EQ(row(measurement::kLengthCombo), Mls.MlsLengthIndex);
        EXPECT_EQ(row(measurement::kWindowTypeCombo), Mls.MlsWindowType);
        EXPECT_EQ(PageText(measurement::kWindowMsEdit), Mls.MlsWindowMsText);
        EXPECT_NE(PageText(measurement::kWindowMsEdit), ms) << "the width's time at 96000 Hz";
    }
}

// The gate-width boxes keep what was typed: opening the page, choosing a tab or a rate never
// changes Window Width, and Time [ms] shows it at the rate the next Calculate SPL gates with (the
// held capture's, or the chosen one when none is held), also right after a run.
TEST_F(FrameMlsTest, GateWidthBoxesKeepWhatWasTypedGui) {
    const auto rate = [&](int index) { input::Select(Page(), measurement::kRateCombo, index); };
    const auto reopen = [&] {
        input::SelectTab(MlsControlDialog, measurement::kMlsControlTabId, 1);
        input::SelectTab(MlsControlDialog, measurement::kMlsControlTabId, 0);
    };
    struct Row {
        const char* what;
        std::function<void()> steps;  // from 44100 Hz, Window Width 30000, nothing held
        const char* width;
        const char* ms;
    };
    const Row rows[] = {
        {"page opened ten times",
         [&] {
             for (int i = 0; i < 10; ++i) reopen();
         },
         "30000", "680.272"},
        {"48000 chosen", [&] { rate(5); }, "30000", "625.000"},
        {"run at 44100, then 48000 chosen", [&] { Measure(), rate(5); }, "30000", "680.272"},
        {"run at 44100, 48000 chosen, then a run", [&] { Measure(), rate(5), Measure(); }, "30000",
         "625.000"},
        {"500 ms typed at 48000",
         [&] { rate(5), input::TypeText(Page(), measurement::kWindowMsEdit, "500"); }, "24000.0",
         "500"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        measurement::MlsCaptureHeld = 0;  // nothing held
        reopen();
        input::Select(Page(), measurement::kLengthCombo, 0);
        rate(4);
        input::TypeText(Page(), measurement::kWindowWidthEdit, "30000");
        row.steps();
        EXPECT_EQ(PageText(measurement::kWindowWidthEdit), row.width);
        EXPECT_STREQ(Mls.MlsWindowWidthText, row.width);
        EXPECT_EQ(PageText(measurement::kWindowMsEdit), row.ms);
    }
}

// Calculate SPL refuses a gate of no samples with a message before it changes anything: the
// driver's curves and the measured curves stay as the last calculation left them.
TEST_F(FrameMlsTest, CalculateSplRefusesAGateOfNoSamplesGui) {
    Measure();
    input::TypeText(Page(), measurement::kWindowWidthEdit, "4096");
    input::Click(Page(), kCalculateButton);
    ASSERT_EQ(measurement::MlsSplCalculated, 1);
    const std::vector<float> spl(CurrentDriverRecord->Spl, CurrentDriverRecord->Spl + kGridPoints);
    const std::vector<float> phase(CurrentDriverRecord->Phase,
                                   CurrentDriverRecord->Phase + kGridPoints);
    const std::vector<float> shown(MeasuredCurveTable[0]->v,
                                   MeasuredCurveTable[0]->v + kCurveRecordFloats);
    for (const char* width : {"abc", "0", "-5", "0.5"}) {
        SCOPED_TRACE(std::string("width \"") + width + "\"");
        input::TypeText(Page(), measurement::kWindowWidthEdit, width);
        EXPECT_EQ(PageText(measurement::kWindowWidthEdit), width) << "typing stays as it is";
        input::ClearMessageBoxLog();
        input::Click(Page(), kCalculateButton);
        ASSERT_EQ(input::MessageBoxLog().size(), 1u);
        EXPECT_EQ(input::MessageBoxLog()[0].text, measurement::kMlsGateTooNarrow);
        EXPECT_TRUE(std::equal(spl.begin(), spl.end(), CurrentDriverRecord->Spl));
        EXPECT_TRUE(std::equal(phase.begin(), phase.end(), CurrentDriverRecord->Phase));
        EXPECT_TRUE(std::equal(shown.begin(), shown.end(), MeasuredCurveTable[0]->v));
    }
}

// Save IR writes the capture; with "Use Saved Buffer" Run MLS processes the stored capture
// again (no device opened) and gives the same impulses; a file that cannot be opened is named
// and then handled as a Cancel: the stale capture is not processed (Run MLS cleared the impulses
// before asking, as it does before a cancelled choice).
TEST_F(FrameMlsTest, SavedCaptureReloadsAndAMissingFileChangesNothingGui) {
    Measure();
    const float ref60 = MlsRefSamples[60];
    const float in110 = MlsInSamples[110];
    const std::string path = (dir_ / "capture.res").string();
    input::ScriptFileDialogAnswers({path});
    input::Click(Page(), measurement::kSaveIrButton);
    ASSERT_TRUE(std::filesystem::exists(path));
    input::Click(Page(), measurement::kSavedBufferBox);
    ASSERT_EQ(Mls.MlsUseSavedBuffer, 1);
    std::memset(MlsRefSamples, 0, sizeof(float) * 1000);
    input::ScriptFileDialogAnswers({path});
    input::Click(Page(), kRunButton);
    EXPECT_EQ(platform::OpenWaveDeviceCount(), 0);
    EXPECT_EQ(AudioBusy, 0);
    EXPECT_FLOAT_EQ(MlsRefSamples[60], ref60);
    EXPECT_FLOAT_EQ(MlsInSamples[110], in110);

    platform::testing::ClearMessageBoxLog();
    input::ScriptFileDialogAnswers({(dir_ / "missing.res").string()});
    input::Click(Page(), kRunButton);
    EXPECT_EQ(AudioBusy, 0);
    ASSERT_FALSE(platform::testing::MessageBoxLog().empty());
    EXPECT_EQ(platform::testing::MessageBoxLog().back().text, (dir_ / "missing.res").string());
    EXPECT_EQ(MlsRefSamples[60], 0.0f) << "the stale capture was processed";
}

// Without a capture held (nothing measured yet; a "Use Saved Buffer" run after a measurement,
// whose file choice was cancelled, cleared the views) Save IR asks for no name and says so, and
// Calculate SPL has no impulse to read either.
TEST_F(FrameMlsTest, SaveIrWithoutAHeldCaptureAsksForNoNameGui) {
    for (const bool measured : {false, true}) {
        SCOPED_TRACE(measured ? "views cleared by a later run" : "nothing measured");
        if (measured) {
            Measure();
            input::Click(Page(), measurement::kSavedBufferBox);
            input::ScriptFileDialogAnswers({""});
            input::Click(Page(), kRunButton);
        }
        platform::testing::ClearMessageBoxLog();
        const std::size_t choosers = input::FileDialogLog().size();
        input::Click(Page(), measurement::kSaveIrButton);
        EXPECT_EQ(input::FileDialogLog().size(), choosers) << "a name was asked for";
        EXPECT_EQ(CountBoxes("Please Generate Impulse Response First"), 1);
        input::Click(Page(), kCalculateButton);
        EXPECT_EQ(CountBoxes("Please Generate Impulse Response First"), 2)
            << "Calculate SPL read the cleared impulses";
    }
}

}  // namespace
}  // namespace shell::test

namespace shell::test {
namespace {

// What may come between a measurement and its Calculate SPL.
enum class AfterRun { PlayerBack, RoomEqCancelled, RoomEqRunCancelled, OtherRateChosen };
void PrintTo(AfterRun a, std::ostream* os) {
    static const char* const kNames[] = {"player dialog back", "room equalizer cancelled",
                                         "room-EQ run cancelled", "44100 and 262143 chosen"};
    *os << kNames[static_cast<int>(a)];
}

class MeasuredRateTest : public FrameMlsTest, public ::testing::WithParamInterface<AfterRun> {};

// A measurement of the loopback loudspeaker at 96 kHz with the 65535 sequence is read at the rate
// and length it was taken with: whatever sets the MLS settings or rebuilds the shared grid after
// it, Calculate SPL gives the same curve (the loudspeaker's), and the views keep its impulses.
TEST_P(MeasuredRateTest, CalculateSplReadsTheMeasurementAsTakenGui) {
    platform::VirtualCardReset();
    platform::VirtualCardSetSpeakerLoopback();
    // A 5-way design beside the tool (with a room-EQ element; it brings the player back, which
    // rebuilds the shared grid); the SPL view painted anew.
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdStereo5Way));
    input::PumpUntilIdle();
    for (int tab : {1, 0}) input::SelectTab(MlsSplChildWindow, measurement::kMlsSplTabId, tab);
    input::PumpUntilIdle();
    input::Select(Page(), measurement::kRateCombo, 6);        // 96000
    input::Select(Page(), measurement::kLengthCombo, 3);      // 65535
    input::Select(Page(), measurement::kWindowTypeCombo, 0);  // the room equalizer's window too
    input::Select(Page(), measurement::kSmoothingCombo, 5);   // none
    input::Click(Page(), kRunButton);
    for (int i = 0; i < 100 && measurement::MlsRunActive(); ++i) {
        platform::VirtualCardStep(8192, 96000);
        input::PumpUntilIdle();
    }
    ASSERT_FALSE(measurement::MlsRunActive());
    input::Click(Page(), kCalculateButton);
    input::PumpUntilIdle();
    const std::vector<float> spl(CurrentDriverRecord->Spl, CurrentDriverRecord->Spl + kGridPoints);
    const std::vector<float> ref(MlsRefSamples, MlsRefSamples + 4000);
    const std::vector<float> in(MlsInSamples, MlsInSamples + 4000);
    // The loudspeaker: its taps' response at 96 kHz, against the level at 1 kHz.
    const std::vector<double> taps = platform::SpeakerLoopbackResponse();
    const auto level = [&](double f) {
        std::complex<double> h;
        for (std::size_t t = 0; t < taps.size(); ++t)
            h += taps[t] * std::polar(1.0, -2.0 * M_PI * f * static_cast<double>(t) / 96000.0);
        return 20.0 * std::log10(std::abs(h));
    };
    int j1k = 0;
    while (FrequencyGrid[j1k] < 1000.0f) ++j1k;
    for (int j = 0; FrequencyGrid[j] < 500.0f; ++j) {
        if (FrequencyGrid[j] < 60.0f) continue;
        ASSERT_NEAR(spl[j] - spl[j1k], level(FrequencyGrid[j]) - level(FrequencyGrid[j1k]), 0.3)
            << FrequencyGrid[j] << " Hz";
    }

    switch (GetParam()) {
        case AfterRun::PlayerBack:  // it rebuilds the shared grid
            input::CloseBox(ComponentCADSelectionDialog);
            input::PumpUntilIdle();
            ASSERT_TRUE(CreatePlayerDialog(FrameWindow));
            input::PumpUntilIdle();
            break;
        case AfterRun::RoomEqCancelled:
            OnRoomEq([](HWND d) { input::Click(d, platform::IDCANCEL); });
            break;
        case AfterRun::RoomEqRunCancelled:
            input::TypeText(Page(), measurement::kPreEmphasisEdit, "1.0");
            OnRoomEq([](HWND d) {
                input::Click(d, measurement::kFirstLocation);
                EXPECT_TRUE(measurement::MlsRunActive());
                input::Click(d, platform::IDCANCEL);
            });
            break;
        case AfterRun::OtherRateChosen:
            input::Select(Page(), measurement::kRateCombo, 4);
            input::Select(Page(), measurement::kLengthCombo, 5);
            break;
    }
    ASSERT_EQ(platform::OpenWaveDeviceCount(), 0);
    EXPECT_TRUE(std::vector<float>(MlsRefSamples, MlsRefSamples + 4000) == ref &&
                std::vector<float>(MlsInSamples, MlsInSamples + 4000) == in)
        << "the views no longer show the measured impulses";
    input::Click(Page(), kCalculateButton);
    input::PumpUntilIdle();
    int differ = 0;
    for (int j = 0; j < kGridPoints; ++j) differ += CurrentDriverRecord->Spl[j] != spl[j];
    EXPECT_EQ(differ, 0) << "points of the curve changed";
}

INSTANTIATE_TEST_SUITE_P(Changes, MeasuredRateTest,
                         ::testing::Values(AfterRun::PlayerBack, AfterRun::RoomEqCancelled,
                                           AfterRun::RoomEqRunCancelled, AfterRun::OtherRateChosen),
                         qvtest::ReadableName());

}  // namespace
}  // namespace shell::test
