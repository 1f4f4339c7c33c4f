// The HBT editor as a person uses it: the program started, "File Editor" chosen, the SPL edited
// with the mouse and the arrow keys in the Editor_Child window, the dialog's settings, Calculate,
// the calibration commands, help, and the window sized to anything at all.
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "driverdata/DriverFiles.h"
#include "driverdata/Globals.h"
#include "driverdata/HbtEditor.h"
#include "driverdata/HbtEditorPlot.h"
#include "driverdata/HbtInput.h"
#include "driverdata/HilbertBode.h"
#include "driverdata/Ids.h"
#include "platform/gdi/Gdi.h"
#include "platform/testing/Input.h"
#include "platform/ui/Paint.h"
#include "resources/Resources.h"
#include "shell/DriverRecord.h"
#include "shell/FrequencyGrid.h"
#include "shell/NumberText.h"
#include "tests/driverdata/DriverDataTestSupport.h"
#include "tests/frame/FrameTestSupport.h"

namespace {

namespace pt = platform::testing;
using namespace driverdata;
using platform::HWND;
using pt::Button;

constexpr int kPoints = shell::kGridPoints;

class HbtEditorTest : public shell::test::FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        ASSERT_EQ(Start(), frame::kStarted);
        shell::InitDriverRecord(shell::CurrentDriverRecord);
        for (int k = 0; k < kPoints; ++k) {
            R().Spl[k] = 80.0f + 0.005f * k;
            R().Phase[k] = 30.0f;
        }
        ASSERT_TRUE(pt::ChooseMenuItem(shell::FrameWindow, shell::kCmdFileEditor));
        window = shell::EditorChildWindow;
        dialog = shell::TransferFunctionDialog;
        ASSERT_TRUE(platform::IsWindow(window));
        ASSERT_TRUE(platform::IsWindow(dialog));
        // The dialog out of the way of the plot (the mouse goes to whatever lies on top).
        platform::MoveWindow(dialog, 0, 480, 600, 242, platform::TRUE);
        SizeClient(700, 400);
        pt::ClearMessageBoxLog();
    }

    shell::DriverRecord& R() { return *shell::CurrentDriverRecord; }

    // Sizes the editor so that its client area is about width x height and paints it.
    void SizeClient(int width, int height) {
        const int fx = platform::GetSystemMetrics(platform::SM_CXFRAME);
        const int fy = platform::GetSystemMetrics(platform::SM_CYFRAME);
        const int cap = platform::GetSystemMetrics(platform::SM_CYCAPTION);
        platform::MoveWindow(window, 0, 0, width + 2 * fx, height + cap + 2 * fy, platform::TRUE);
        platform::UpdateWindow(window);
        pt::PumpUntilIdle();
        platform::RECT client{};
        platform::GetClientRect(window, &client);
        w = client.right;
        h = client.bottom;
    }
    HbtPlot Plot() const { return HbtPlotOf(w, h); }
    int BinAt(int x) const { return static_cast<int>((x - 60) * 2000.0 / (w - 80)); }
    float LevelAt(int y) const {
        const double d = (h - 40) / 18.0;
        return static_cast<float>(125.0 - 5.0 * (y - 20) / d);
    }
    std::string Caption() { return shell::test::WindowTitle(window); }
    std::string BinCaption(const char* what, int bin) {
        char text[160];
        std::snprintf(
            text, sizeof text, "HBT Editor Window  %s = %.2f dB, Freq = %.1f Hz, Bin = %d", what,
            static_cast<double>(R().Spl[bin]), static_cast<double>(shell::FrequencyGrid[bin]), bin);
        return text;
    }
    std::vector<float> Spl() const {
        return std::vector<float>(shell::CurrentDriverRecord->Spl,
                                  shell::CurrentDriverRecord->Spl + kPoints);
    }
    // Every bin but those listed keeps its value.
    void ExpectUnchangedBut(const std::vector<float>& before, std::vector<int> changed) {
        for (int k = 0; k < kPoints; ++k) {
            bool listed = false;
            for (int c : changed) listed = listed || c == k;
            if (!listed) {
                ASSERT_EQ(R().Spl[k], before[k]) << "bin " << k;
            }
        }
    }

    HWND window{};
    HWND dialog{};
    int w = 0;
    int h = 0;
};

TEST_F(HbtEditorTest, ClickAndDragSetTheBinsUnderTheMouseGui) {
    ASSERT_EQ(w, 700);
    const std::vector<float> before = Spl();
    pt::MouseClick(window, 300, 150);
    const int bin = BinAt(300);
    EXPECT_EQ(HbtCursorBin, bin);
    EXPECT_FLOAT_EQ(R().Spl[bin], LevelAt(150));
    ExpectUnchangedBut(before, {bin});

    // A drag sets each bin it passes over, and leaving the plot ends it.
    pt::MouseDown(window, 400, 200);
    pt::MouseMove(window, 420, 120, true);
    pt::MouseMove(window, 5, 120, true);
    pt::MouseMove(window, 440, 100, true);
    pt::MouseUp(window, 440, 100);
    EXPECT_FLOAT_EQ(R().Spl[BinAt(400)], LevelAt(200));
    EXPECT_FLOAT_EQ(R().Spl[BinAt(420)], LevelAt(120));
    ExpectUnchangedBut(before, {bin, BinAt(400), BinAt(420)});
    EXPECT_EQ(HbtLeftDrag, 0);
}

TEST_F(HbtEditorTest, TheRightEdgeOfThePlotEditsTheLastBinOnlyGui) {
    const std::vector<float> before = Spl();
    const float phase0 = R().Phase[0];
    pt::MouseClick(window, w - 20, 100);  // the last editable column lies on bin 2000
    EXPECT_EQ(HbtCursorBin, kPoints - 1);
    EXPECT_FLOAT_EQ(R().Spl[kPoints - 1], LevelAt(100));
    EXPECT_EQ(R().Phase[0], phase0);
    ExpectUnchangedBut(before, {kPoints - 1});
    for (auto [x, y] :
         {std::pair{59, 100}, std::pair{w - 19, 100}, std::pair{300, 19}, std::pair{300, h - 20}}) {
        pt::MouseClick(window, x, y);
        ExpectUnchangedBut(before, {kPoints - 1});
    }
}

TEST_F(HbtEditorTest, RightDragDrawsAStraightLineOnlyWhenReleasedOnThePlotGui) {
    const std::vector<float> before = Spl();
    const int start = BinAt(200);
    const int stop = BinAt(500);
    pt::MouseDown(window, 200, 300, Button::Right);
    EXPECT_FLOAT_EQ(R().Spl[start], LevelAt(300));
    EXPECT_EQ(Caption(), BinCaption("Amplitude Start", start));
    // While it moves the line is only a preview: moving on and back changes nothing.
    pt::MouseMove(window, 600, 100);
    pt::MouseMove(window, 500, 100);
    ExpectUnchangedBut(before, {start});
    pt::MouseUp(window, 500, 100, Button::Right);
    EXPECT_FLOAT_EQ(R().Spl[stop], LevelAt(100));
    const float slope = (R().Spl[stop] - R().Spl[start]) / static_cast<float>(stop - start);
    for (int u = start; u <= stop; u += 11) {
        ASSERT_NEAR(R().Spl[u], R().Spl[start] + (u - start) * slope, 1e-3) << u;
    }
    EXPECT_EQ(R().Spl[stop + 1], before[stop + 1]);
    EXPECT_EQ(R().Spl[start - 1], before[start - 1]);

    // Released off the plot, or not to the right of its start: only the start bin changes.
    for (auto [x_up, y_up] : {std::pair{w - 5, 100}, std::pair{150, 100}}) {
        const std::vector<float> now = Spl();
        pt::MouseDown(window, 300, 250, Button::Right);
        pt::MouseMove(window, 620, 150);
        pt::MouseUp(window, x_up, y_up, Button::Right);
        ExpectUnchangedBut(now, {BinAt(300)});
        EXPECT_FLOAT_EQ(R().Spl[BinAt(300)], LevelAt(250));
    }
    // Leaving the plot while drawing abandons the line.
    const std::vector<float> now = Spl();
    pt::MouseDown(window, 300, 250, Button::Right);
    pt::MouseMove(window, 620, 150);
    pt::MouseMove(window, 620, h - 2);
    pt::MouseUp(window, 620, 150, Button::Right);
    ExpectUnchangedBut(now, {BinAt(300)});
}

TEST_F(HbtEditorTest, ArrowKeysMoveTheCursorAndNudgeItsLevelGui) {
    const double d = (h - 40) / 18.0;
    pt::PressKey(window, platform::VK_LEFT);
    EXPECT_EQ(HbtCursorBin, kPoints - 1) << "left from bin 0 wraps";
    EXPECT_EQ(Caption(), BinCaption("Amplitude", kPoints - 1));
    pt::PressKey(window, platform::VK_RIGHT);
    pt::PressKey(window, platform::VK_RIGHT);
    EXPECT_EQ(HbtCursorBin, 1);
    EXPECT_FLOAT_EQ(HbtCursorX, static_cast<float>(1 * 0.0005 * (w - 80) + 60));
    struct Case {
        float level;
        platform::WPARAM key;
        float expected;
    };
    for (const Case& c :
         {Case{100.0f, platform::VK_UP, static_cast<float>(100.0 + 5.0 / d)},
          Case{100.0f, platform::VK_DOWN, static_cast<float>(100.0 - 5.0 / d)},
          Case{124.9f, platform::VK_UP, 124.75f}, Case{35.1f, platform::VK_DOWN, 35.0f}}) {
        R().Spl[1] = c.level;
        const std::vector<float> before = Spl();
        pt::PressKey(window, c.key);
        EXPECT_FLOAT_EQ(R().Spl[1], c.expected) << c.level;
        EXPECT_EQ(Caption(), BinCaption("Amplitude", 1));
        ExpectUnchangedBut(before, {1});
    }
}

TEST_F(HbtEditorTest, MouseReadOutShowsTheBinUnderTheMouseGui) {
    pt::MouseMove(window, 333, 150);
    EXPECT_EQ(Caption(), BinCaption("Amplitude", BinAt(333)));
    pt::MouseMove(window, 333, 10);
    EXPECT_EQ(Caption(), "HBT Editor Window");
    pt::MouseMove(window, 20, 150);
    EXPECT_EQ(Caption(), "HBT Editor Window");
}

TEST_F(HbtEditorTest, EveryWindowSizeKeepsTheGridFiniteAndEmptyPlotsIgnoreEditsGui) {
    for (auto [cw, ch] :
         {std::pair{700, 400}, std::pair{81, 41}, std::pair{80, 300}, std::pair{300, 40},
          std::pair{10, 10}, std::pair{1, 1}, std::pair{760, 440}, std::pair{1500, 900}}) {
        SCOPED_TRACE(std::to_string(cw) + " x " + std::to_string(ch));
        SizeClient(cw, ch);
        platform::InvalidateRect(window, nullptr, platform::TRUE);
        platform::UpdateWindow(window);
        for (int k = 0; k < kPoints; ++k) {
            ASSERT_TRUE(std::isfinite(shell::FrequencyGrid[k])) << k;
            if (k > 0) {
                ASSERT_GT(shell::FrequencyGrid[k], shell::FrequencyGrid[k - 1]) << k;
            }
        }
        const std::vector<float> before = Spl();
        if (Plot().Empty()) {
            for (int x : {0, 30, 60, 79}) pt::MouseClick(window, x, h / 2);
            pt::MouseDown(window, 5, 5, Button::Right);
            pt::MouseUp(window, 8, 8, Button::Right);
            pt::PressKey(window, platform::VK_UP);
            pt::PressKey(window, platform::VK_DOWN);
            ExpectUnchangedBut(before, {});
        } else {
            pt::MouseClick(window, 60, 20);
            EXPECT_FLOAT_EQ(R().Spl[0], LevelAt(20));
        }
    }
}

TEST_F(HbtEditorTest, ThePaintShowsTheCurvesOnTheFrameGui) {
    const platform::HDC screen = platform::GetDC(window);
    const platform::HDC memory = platform::CreateCompatibleDC(screen);
    const platform::HBITMAP bitmap = platform::CreateCompatibleBitmap(screen, 880, 400);
    const platform::HBITMAP old = platform::SelectObject(memory, bitmap);
    const HbtPlot plot = HbtPlotOf(880, 400);
    for (int k = 0; k < kPoints; ++k) R().Spl[k] = 90.0f;  // on the line y(90)
    R().Phase[kPoints / 2] = 0.0f;
    for (int k = 0; k < kPoints; ++k) R().HbtReal[k] = 0.0f, R().HbtImag[k] = 0.0f;
    PaintHbtEditor(memory, 880, 400);
    auto column_has = [&](int x, platform::COLORREF colour) {
        for (int y = 19; y < 380; ++y)
            if (platform::GetPixel(memory, x, y) == colour) return true;
        return false;
    };
    const int x = static_cast<int>(plot.PointX(1000));
    const int y90 = static_cast<int>(plot.LevelY(90.0));
    EXPECT_EQ(platform::GetPixel(memory, x, y90), platform::RGB(255, 0, 255)) << "the SPL";
    EXPECT_TRUE(column_has(x, platform::RGB(0, 164, 0))) << "the measured phase";
    // An HBT point of 0 has no level: its amplitude lies on the bottom edge.
    EXPECT_TRUE(column_has(x, platform::RGB(0, 0, 0)));
    ShowReferencePhase = 0;
    PaintHbtEditor(memory, 880, 400);
    EXPECT_FALSE(column_has(x, platform::RGB(0, 164, 0)));
    RedrawHbtCurves(memory, 880, 400);
    EXPECT_TRUE(column_has(x, platform::RGB(0, 164, 0))) << "Refresh shows the phase always";
    // The frame rebuilt FrequencyGrid from its pixels: point 214 of an 880 plot lies at 145.
    EXPECT_EQ(shell::FrequencyGridPixels[214], 145);
    platform::SelectObject(memory, old);
    platform::DeleteObject(bitmap);
    platform::DeleteDC(memory);
    platform::ReleaseDC(window, screen);
}

TEST_F(HbtEditorTest, DialogFieldsDistanceAndOptionsGui) {
    EXPECT_EQ(R().CurveKind, 0);
    pt::TypeText(dialog, kHbtHighPassStop, "33.5");
    EXPECT_STREQ(R().HighPassStop, "33.5");
    pt::TypeText(dialog, kHbtInputPower, "123456789012345");
    EXPECT_STREQ(R().InputPower, "1234567890") << "at most 10 characters";
    pt::TypeText(dialog, kHbtEfficiency, "88.5");
    EXPECT_STREQ(R().Efficiency, "88.5");

    struct Case {
        platform::UINT code;
        int position;
        float distance;
        const char* readout;
    };
    for (const Case& c :
         {Case{platform::SB_RIGHT, 10000, 10.0f, "Dist = 10.00000[m], Delay = 29.06977[ms]"},
          Case{platform::SB_LEFT, 0, 0.000001f, "Dist = 0.00000[m], Delay = 0.00000[ms]"},
          Case{platform::SB_LINERIGHT, 1, 0.001f, "Dist = 0.00100[m], Delay = 0.00291[ms]"},
          Case{platform::SB_PAGERIGHT, 11, 0.011f, "Dist = 0.01100[m], Delay = 0.03198[ms]"},
          Case{platform::SB_LINELEFT, 10, 0.01f, "Dist = 0.01000[m], Delay = 0.02907[ms]"}}) {
        pt::Scroll(dialog, kHbtDistanceScroll, c.code);
        EXPECT_EQ(HbtDistancePosition, c.position);
        EXPECT_FLOAT_EQ(R().Distance, c.distance);
        char text[96] = {};
        platform::GetDlgItemText(dialog, kHbtDistanceReadout, text, sizeof text);
        EXPECT_STREQ(text, c.readout);
    }
    pt::Click(dialog, kHbtDistanceInPhase);
    pt::Click(dialog, kHbtDistanceInAmplitude);
    EXPECT_EQ(R().DistanceInPhase, 1);
    EXPECT_EQ(R().DistanceInAmplitude, 1);
    EXPECT_EQ(platform::IsDlgButtonChecked(dialog, kHbtDistanceInPhase), 1u);
    pt::Click(dialog, kHbtShowReferencePhase);
    EXPECT_EQ(ShowReferencePhase, 0);

    // Opening again reloads every control from the record.
    shell::CopyTextSlot(R().LowPassStart, "12000");
    R().Distance = 2.5f;
    platform::SendMessage(dialog, platform::WM_INITDIALOG, 0, 0);
    char text[32] = {};
    platform::GetDlgItemText(dialog, kHbtLowPassStart, text, sizeof text);
    EXPECT_STREQ(text, "12000");
    EXPECT_EQ(HbtDistancePosition, 2500);
}

TEST_F(HbtEditorTest, CalculateComputesAndRefusesWithAMessageGui) {
    for (int k = 0; k < kPoints; ++k) R().Spl[k] = 90.0f;
    pt::TypeText(dialog, kHbtEfficiency, "90");
    pt::TypeText(dialog, kHbtHighPassSlope, "0");
    pt::TypeText(dialog, kHbtLowPassSlope, "0");
    pt::TypeText(dialog, kHbtInputPower, "0");
    pt::Click(dialog, kHbtCalculate);
    EXPECT_EQ(driverdata::test::MessageTexts(), std::vector<std::string>{"Input Power Error"});
    EXPECT_EQ(R().HbtValid, 0);
    pt::TypeText(dialog, kHbtInputPower, "1");
    pt::Click(dialog, kHbtCalculate);
    EXPECT_EQ(R().HbtValid, 1);
    EXPECT_EQ(R().HbtReal[777], 1.0f);
    EXPECT_EQ(R().HbtImag[777], 0.0f);
}

// Absurd settings are refused at Calculate with a message; the response, and with it the driver
// file saved afterwards, stays what it was.
TEST_F(HbtEditorTest, AbsurdSettingsChangeNothingAndTheDriverStillSavesGui) {
    struct Case {
        int field;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {kHbtEfficiency, "-700", "Efficiency Error"},
        {kHbtEfficiency, "50", "Efficiency Error"},
        {kHbtHighPassSlope, "-99999999", kHbtOutOfRange},
        {kHbtLowPassSlope, "-99999999", kHbtOutOfRange},
        {kHbtHighPassSlope, "-1e30", kHbtOutOfRange},
    };
    for (int k = 0; k < kPoints; ++k) R().Spl[k] = 90.0f;
    pt::TypeText(dialog, kHbtEfficiency, "90");
    pt::TypeText(dialog, kHbtHighPassSlope, "0");
    pt::TypeText(dialog, kHbtLowPassSlope, "0");
    pt::TypeText(dialog, kHbtInputPower, "1");
    pt::Click(dialog, kHbtCalculate);
    ASSERT_EQ(R().HbtValid, 1);
    const std::vector<float> response(R().HbtReal, R().HbtReal + kPoints);
    const std::string path = (dir_ / "kept.wfr").string();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        char before[shell::kTextSlot] = {};
        platform::GetDlgItemText(dialog, c.field, before, sizeof before);
        pt::TypeText(dialog, c.field, c.text);
        pt::ClearMessageBoxLog();
        pt::Click(dialog, kHbtCalculate);
        EXPECT_EQ(driverdata::test::MessageTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(std::vector<float>(R().HbtReal, R().HbtReal + kPoints), response);
        pt::ClearMessageBoxLog();
        ASSERT_EQ(driverdata::WriteDriverFile(shell::FrameWindow, path.c_str()), 1);
        const auto saved = std::make_unique<shell::DriverRecord>(R());
        ASSERT_EQ(driverdata::ReadDriverFile(shell::FrameWindow, path.c_str()), 1);
        EXPECT_EQ(std::memcmp(saved.get(), &R(), sizeof R()), 0);
        EXPECT_TRUE(driverdata::test::MessageTexts().empty());
        pt::TypeText(dialog, c.field, before);
    }
}

TEST_F(HbtEditorTest, UseAsCalFileWritesLevelAndPhaseOfTheHbtResponseGui) {
    const float values[][2] = {{1.0f, 0.0f}, {0.0f, 2.0f}, {0.0f, 0.0f}, {-0.5f, -0.5f}};
    for (int k = 0; k < kPoints; ++k) {
        R().HbtReal[k] = values[k % 4][0];
        R().HbtImag[k] = values[k % 4][1];
    }
    for (bool mike : {true, false}) {
        SCOPED_TRACE(mike ? "mike" : "preamp");
        pt::Click(dialog, mike ? kHbtUseAsMikeCal : kHbtUseAsPreampCal);
        const shell::CalibrationPoint* live =
            mike ? shell::MikeCalibrationCurve : shell::PreampCalibrationCurve;
        const shell::CalibrationPoint* copy = mike ? R().MikeCalibration : R().PreampCalibration;
        const shell::CurveRecord& levels = *shell::MeasuredCurveTable[mike ? 25 : 27];
        const shell::CurveRecord& phases = *shell::MeasuredCurveTable[mike ? 26 : 28];
        for (int k = 0; k < 8; ++k) {
            const double re = values[k % 4][0], im = values[k % 4][1];
            const double db = 10.0 * std::log10(static_cast<float>(re * re + im * im) + 1e-16);
            const double deg = std::atan2(im, re == 0.0 ? 1e-12 : re) * 57.288;
            EXPECT_NEAR(live[k].Db, db, 1e-4) << k;
            EXPECT_NEAR(live[k].Degrees, deg, 1e-4) << k;
            EXPECT_EQ(copy[k].Db, live[k].Db);
            EXPECT_EQ(copy[k].Degrees, live[k].Degrees);
            EXPECT_EQ(levels.v[k], live[k].Db);
            EXPECT_EQ(phases.v[k], live[k].Degrees);
        }
        EXPECT_EQ(live[0].Db, 0.0f);
        EXPECT_EQ(live[0].Degrees, 0.0f);
        EXPECT_NEAR(live[1].Db, 6.0206, 1e-4);
        EXPECT_NEAR(live[2].Db, -160.0, 1e-4);
    }
}

TEST_F(HbtEditorTest, UseAsCalFileRefusesLevelsNoCalibrationCanHoldGui) {
    // A response 700 dB up (an import with that scale) or not a number.
    for (float value : {3.16e35f, std::nanf(""), INFINITY}) {
        SCOPED_TRACE(value);
        for (int k = 0; k < kPoints; ++k) {
            R().HbtReal[k] = k == 1500 ? value : 1.0f;
            R().HbtImag[k] = 0.0f;
        }
        for (bool mike : {true, false}) {
            shell::CalibrationPoint* live =
                mike ? shell::MikeCalibrationCurve : shell::PreampCalibrationCurve;
            for (int k = 0; k < kPoints; ++k) live[k] = {0.5f, 1.5f};
            pt::ClearMessageBoxLog();
            pt::Click(dialog, mike ? kHbtUseAsMikeCal : kHbtUseAsPreampCal);
            EXPECT_EQ(driverdata::test::MessageTexts(),
                      std::vector<std::string>{kCalibrationOutOfRange});
            for (int k = 0; k < kPoints; ++k) {
                ASSERT_EQ(live[k].Db, 0.5f) << k;
                ASSERT_EQ(live[k].Degrees, 1.5f) << k;
            }
        }
    }
}

TEST_F(HbtEditorTest, HelpOpensTheHelpFileOrSaysItIsMissingGui) {
    pt::Click(dialog, kHbtHelp);
    ASSERT_EQ(driverdata::test::MessageTexts(), std::vector<std::string>{"HILBERT.CHM File"});
    EXPECT_EQ(pt::MessageBoxLog()[0].caption, "QV MEssage");
    EXPECT_EQ(pt::MessageBoxLog()[0].type, platform::MB_OK);
    pt::ClearMessageBoxLog();
    driverdata::test::WriteText(dir_ / "HILBERT.CHM", "help");
    pt::Click(dialog, kHbtHelp);
    EXPECT_TRUE(pt::MessageBoxLog().empty());
}

TEST_F(HbtEditorTest, CancelClosesTheDialogAndEditsStayGui) {
    pt::MouseClick(window, 300, 150);
    const float edited = R().Spl[BinAt(300)];
    pt::CloseBox(dialog);  // the title bar's close box sends IDCANCEL
    EXPECT_FALSE(shell::TransferFunctionDialog);
    EXPECT_FALSE(platform::IsWindow(dialog));
    EXPECT_EQ(R().Spl[BinAt(300)], edited);
    // The window stays; "File Editor" brings the dialog back.
    EXPECT_TRUE(platform::IsWindow(shell::EditorChildWindow));
    ASSERT_TRUE(pt::ChooseMenuItem(shell::FrameWindow, shell::kCmdFileEditor));
    EXPECT_TRUE(platform::IsWindow(shell::TransferFunctionDialog));
    // Closing the window forgets its handle; the placement keeps its size.
    platform::SendMessage(shell::MdiClientWindow, platform::WM_MDIDESTROY,
                          static_cast<platform::WPARAM>(shell::EditorChildWindow.value), 0);
    pt::PumpUntilIdle();
    EXPECT_FALSE(shell::EditorChildWindow);
    EXPECT_GT(shell::WindowPlacements[shell::kSlotEditorChild].Width, 0);
}

TEST_F(HbtEditorTest, LoadingADriverReloadsTheOpenEditorGui) {
    // A driver with its own tails, a 3 m distance and a gap in its SPL.
    auto record = std::make_unique<shell::DriverRecord>();
    shell::InitDriverRecord(record.get());
    shell::CopyTextSlot(record->HighPassStop, "55");
    shell::CopyTextSlot(record->Efficiency, "87.5");
    record->Distance = 3.0f;
    for (int k = 0; k < 100; ++k) record->Spl[k] = 0.0f;
    const std::string path = (dir_ / "mid.wfr").string();
    driverdata::test::WriteBytes(path, record.get(), sizeof *record);

    pt::TypeText(dialog, kHbtHighPassStop, "10");
    pt::ScriptMessageBoxAnswers({platform::IDYES});
    pt::ScriptFileDialogAnswers({path});
    ASSERT_TRUE(pt::ChooseMenuItem(shell::FrameWindow, shell::kCmdOpenDriverFile));
    EXPECT_EQ(shell::EditorChildWindow, window) << "the open windows stay";
    EXPECT_EQ(shell::TransferFunctionDialog, dialog);
    char text[32] = {};
    platform::GetDlgItemText(dialog, kHbtHighPassStop, text, sizeof text);
    EXPECT_STREQ(text, "55");
    EXPECT_STREQ(R().HighPassStop, "55");
    EXPECT_EQ(HbtDistancePosition, 3000);
    EXPECT_EQ(R().Spl[0], 90.0f) << "the gap was filled before the editor showed it";
}

// A picture of the editor with a two-way driver's response after Calculate, under the build
// directory next to the dialog pictures, for a person to look at.
TEST_F(HbtEditorTest, APictureOfTheEditorAfterCalculateGui) {
    using Complex = std::complex<double>;
    const Complex j(0.0, 1.0);
    for (int k = 0; k < kPoints; ++k) {
        const double f = shell::ExtendedFrequencyGrid[k + 350];
        const Complex s1 = j * f / 55.0;
        const Complex s2 = j * f / 3500.0;
        const Complex response = s1 * s1 / (s1 * s1 + 0.9 * s1 + 1.0) / (s2 * s2 + 1.2 * s2 + 1.0) *
                                 (1.0 + 0.25 * j * f / 900.0) / (1.0 + 0.18 * j * f / 900.0);
        R().Spl[k] = static_cast<float>(88.0 + 20.0 * std::log10(std::abs(response)));
        R().Phase[k] = static_cast<float>(std::arg(response) * 180.0 / 3.14159265358979);
    }
    pt::TypeText(dialog, kHbtHighPassStop, "30");
    pt::TypeText(dialog, kHbtHighPassSlope, "12");
    pt::TypeText(dialog, kHbtLowPassStart, "20000");
    pt::TypeText(dialog, kHbtLowPassSlope, "12");
    pt::TypeText(dialog, kHbtInputPower, "1");
    pt::TypeText(dialog, kHbtEfficiency, "88");
    pt::MouseDown(window, 420, 120, Button::Right);  // a straight line across the crossover
    pt::MouseUp(window, 470, 140, Button::Right);
    pt::Click(dialog, kHbtCalculate);
    ASSERT_EQ(R().HbtValid, 1);
    platform::UpdateWindow(window);
    pt::PumpUntilIdle();
    const std::filesystem::path folder = previous_dir_ / "dialog-pictures";
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(pt::SaveWindowImage(shell::FrameWindow, (folder / "HbtEditor.png").string()));
}

}  // namespace
