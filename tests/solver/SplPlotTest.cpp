// The SPL / phase plot painted into a memory device context, probed pixel by pixel against the
// mapping of the axes: 0 dB on row 4, d dB per row, 20 degrees per row around row 9.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/testing/DrawnTexts.h"
#include "shell/Globals.h"
#include "shell/PreferencesRecord.h"
#include "solver/SplPlot.h"
#include "tests/solver/SolverTestSupport.h"

namespace {

using namespace solver::test;
using platform::RGB;

constexpr int kW = 800;
constexpr int kH = 490;  // row step (490 - 40) / 18 = 25 pixels

class SplPlot : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetSolverWorld();
        hdc_ = platform::CreateCompatibleDC(platform::HDC{});
        bitmap_ = platform::CreateCompatibleBitmap(hdc_, kW, kH);
        old_ = platform::SelectObject(hdc_, bitmap_);
    }
    void TearDown() override {
        platform::SelectObject(hdc_, old_);
        platform::DeleteObject(bitmap_);
        platform::DeleteDC(hdc_);
    }
    // A visible curve of constant value with a solid 1-pixel pen.
    static void Curve(int block, float value, platform::COLORREF colour) {
        float* v = shell::SystemCurveTable[block]->v;
        for (int k = 0; k < 2000; ++k) v[k] = value;
        v[2000] = 1.0f;
        v[2001] = static_cast<float>(platform::GetRValue(colour));
        v[2002] = static_cast<float>(platform::GetGValue(colour));
        v[2003] = static_cast<float>(platform::GetBValue(colour));
        v[2004] = 1.0f;
        v[2005] = 1.0f;
    }
    platform::COLORREF Pixel(int x, int y) const { return platform::GetPixel(hdc_, x, y); }
    void Paint() { solver::DrawSplPhaseFrame(hdc_, kW, kH, platform::HWND{}); }

    platform::HDC hdc_{};
    platform::HBITMAP bitmap_{};
    platform::HBITMAP old_{};
};

constexpr platform::COLORREF kRed = RGB(255, 0, 0);
constexpr platform::COLORREF kBlue = RGB(0, 0, 255);
constexpr platform::COLORREF kMagenta = RGB(200, 0, 200);
constexpr platform::COLORREF kOrange = RGB(255, 128, 0);
constexpr platform::COLORREF kCyan = RGB(0, 255, 255);
constexpr int kProbeX = 60 + (1000 * (kW - 80)) / 2000;  // grid point 1000

TEST_F(SplPlot, CurvesLandOnTheirRows) {
    Curve(0, 0.0f, kRed);        // Filter 1 SPL, 0 dB: row 4, y = 20 + 4 x 25
    Curve(16, -6.0f, kBlue);     // Driver 1 SPL, -6 dB: 6 / 5 rows lower
    Curve(64, 90.0f, kMagenta);  // Filter 1 Phase, +90 degrees: 4.5 rows above row 9
    Curve(48, 25.0f, kOrange);   // Final 1 SPL, +25 dB: above the top, drawn on y = 19
    Curve(32, -500.0f, kCyan);   // HBT 1 SPL, far below: drawn on y = H - 21
    Paint();
    struct Probe {
        int y;
        platform::COLORREF colour;
        const char* what;
    };
    const Probe probes[] = {{120, kRed, "0 dB"},
                            {150, kBlue, "-6 dB"},
                            {132, kMagenta, "+90 degrees"},
                            {19, kOrange, "+25 dB clamped to the top"},
                            {kH - 21, kCyan, "-500 dB clamped to the bottom"}};
    for (const Probe& p : probes) {
        EXPECT_EQ(Pixel(kProbeX, p.y), p.colour) << p.what;
        EXPECT_NE(Pixel(kProbeX, p.y - 1), p.colour) << p.what << " one row up";
        EXPECT_NE(Pixel(kProbeX, p.y + 1), p.colour) << p.what << " one row down";
    }
}

// Legend rows stack from y = 25 down, 9 pixels apart, in each family's column: each text within
// its row, no two rows touch, and each row's line in its curve's colour runs beside its text.
TEST_F(SplPlot, LegendRowsStackWithoutTouching) {
    // The curves themselves far below, on the bottom edge, clear of the legends.
    for (int b = 0; b < 16; ++b) Curve(b, -500.0f, b % 2 == 0 ? kRed : kBlue);  // Filter 1..16
    Curve(64, -5000.0f, kCyan);    // Filter 1 Phase: second column
    Curve(65, -5000.0f, kCyan);    // Filter 2 Phase
    Curve(134, -500.0f, kOrange);  // HBT + Filter 2 SPL: left column, x 145 .. 169
    platform::testing::RecordDrawnTexts(true);
    Paint();
    platform::testing::RecordDrawnTexts(false);
    std::vector<platform::testing::DrawnText> legend;
    for (const auto& t : platform::testing::DrawnTexts())
        if (t.text.find("Filter") != std::string::npos) legend.push_back(t);
    ASSERT_EQ(legend.size(), 19u);
    for (std::size_t i = 0; i < legend.size(); ++i) {
        for (std::size_t j = i + 1; j < legend.size(); ++j) {
            const platform::RECT& a = legend[i].ink;
            const platform::RECT& b = legend[j].ink;
            // Antialiasing smudges a pixel beyond each edge of the ink: rows read apart with
            // at least three free pixels between their ink boxes.
            const bool apart = a.right + 3 <= b.left || b.right + 3 <= a.left ||
                               a.bottom + 3 <= b.top || b.bottom + 3 <= a.top;
            EXPECT_TRUE(apart) << legend[i].text << " touches " << legend[j].text;
        }
    }
    EXPECT_EQ(Pixel(kW - 40, 30), kRed) << "the first row stays at y = 25";
    for (int b = 0; b < 16; ++b) {
        const platform::RECT& ink = legend[static_cast<std::size_t>(b)].ink;
        EXPECT_EQ(legend[static_cast<std::size_t>(b)].text,
                  "Filter " + std::to_string(b + 1) + " SPL");
        EXPECT_GE(ink.top, 9 * b + 25) << "row " << b + 1 << " above its place";
        EXPECT_LE(ink.bottom, 9 * b + 34) << "row " << b + 1 << " below its place";
        bool line = false;
        for (int y = ink.top; y < ink.bottom; ++y)
            line = line || Pixel(kW - 40, y) == (b % 2 == 0 ? kRed : kBlue);
        EXPECT_TRUE(line) << "no legend line beside row " << b + 1;
    }
    EXPECT_EQ(Pixel(kW - 130, 30), kCyan);
    const platform::RECT& hbt = legend.back().ink;
    ASSERT_EQ(legend.back().text, "HBT + Filter 2 SPL");
    EXPECT_GT(hbt.top, legend[0].ink.bottom) << "HBT + Filter 2 is below the first row";
    bool orange = false;
    for (int y = hbt.top; y < hbt.bottom; ++y) orange = orange || Pixel(150, y) == kOrange;
    EXPECT_TRUE(orange) << "no legend line beside HBT + Filter 2 SPL";
}

TEST_F(SplPlot, InvisibleCurvesDrawNothing) {
    Curve(0, 0.0f, kRed);
    shell::SystemCurveTable[0]->v[2000] = 0.5f;  // only exactly 1.0 is visible
    Paint();
    for (int x = 60; x < kW - 20; x += 7) ASSERT_NE(Pixel(x, 120), kRed) << x;
}

TEST_F(SplPlot, FrameGridAndCentreLine) {
    Paint();
    const platform::COLORREF grey = RGB(212, 212, 212);
    const platform::COLORREF green = RGB(0, 128, 0);
    EXPECT_EQ(Pixel(65, 30), grey);
    // Row 1 at y = 45, dotted from x = 60 on even columns.
    EXPECT_EQ(Pixel(62, 45), green);
    EXPECT_EQ(Pixel(63, 45), grey);
    // The 100 Hz line: x = 720 / log10(5000) x 2 + 60 - 720 / log10(5000) = 254.6.
    EXPECT_EQ(Pixel(254, 31), green);
    EXPECT_EQ(Pixel(254, 32), grey);
    EXPECT_EQ(Pixel(255, 31), grey);
    // Centre line on row 9 (y = 245) in blue.
    EXPECT_EQ(Pixel(101, 245), RGB(0, 0, 192));
}

TEST_F(SplPlot, BadScaleStepAndPlotRangeFallBack) {
    std::strcpy(solver::SplScaleStepText, "0");
    EXPECT_EQ(solver::SplScaleStep(), 5);
    std::strcpy(solver::SplScaleStepText, "abc");
    EXPECT_EQ(solver::SplScaleStep(), 5);
    std::strcpy(solver::SplScaleStepText, "10");
    EXPECT_EQ(solver::SplScaleStep(), 10);
    std::strcpy(solver::SplScaleStepText, "0");
    shell::PlotStartFrequencyIndex = 12;
    shell::PlotStopFrequencyIndex = -1;
    EXPECT_EQ(solver::SplPlotStartFrequency(), 10.0);
    EXPECT_EQ(solver::SplPlotStopFrequency(), 50000.0);
    Curve(16, -6.0f, kBlue);
    Paint();
    EXPECT_EQ(Pixel(kProbeX, 150), kBlue) << "a step of 0 is taken as 5";
    EXPECT_EQ(Pixel(254, 31), RGB(0, 128, 0)) << "the grid falls back to 10 Hz .. 50 kHz";
}

// The channel name the plot writes under its curves, by the active pane; no pane, or a pane the
// program does not have, reads "No Channel Selected".
TEST_F(SplPlot, ChannelNamesByActivePane) {
    const char* const expected[] = {"No Channel Selected", "Front-Left", "Center",
                                    "Front-Right",         "Rear-Left",  "Subwoofer",
                                    "Rear-Right",          "Subwoofer 2"};
    for (int pane = 0; pane <= 7; ++pane) EXPECT_STREQ(solver::ChannelName(pane), expected[pane]);
    EXPECT_STREQ(solver::ChannelName(-1), "No Channel Selected");
    EXPECT_STREQ(solver::ChannelName(8), "No Channel Selected");
}

TEST_F(SplPlot, TitleFollowsTheOutputLayout) {
    shell::OutputLayout = 1;
    EXPECT_STREQ(solver::SplPlotTitle(), "Quorvex Equalizer Frequency Domain, 16 Outputs");
    shell::OutputLayout = 2;
    EXPECT_STREQ(solver::SplPlotTitle(), "Quorvex Equalizer Frequency Domain, 8 Outputs");
    shell::OutputLayout = 0;
    EXPECT_STREQ(solver::SplPlotTitle(), "Quorvex Equalizer Frequency Domain, 8 Outputs");
}

}  // namespace
