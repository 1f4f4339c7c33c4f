// The SPL / phase plot painted into a memory device context, probed pixel by pixel against the
// mapping of the axes: 0 dB on row 4, d dB per row, 20 degrees per row around row 9.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/testing/DrawnTexts.h"
#include "shell/Globals.h"
#include "shell/PreferencesRecord.h"
#include "solver/SplPlot.h"
#include "tests/solver/SolverTestSupport.h"
#include "tests/solver/SplLegendRows.h"

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

platform::COLORREF RowColour(const LegendRow& row) {
    const platform::COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 160, 0),
                                          RGB(200, 0, 200)};
    return colours[(row.block + row.block / 16) % 4];
}

// Ports 1..4 and 16 of every family and the system curves, in colours that differ from row to
// row; the curves far below the plot, on its bottom edge, clear of the legends. The rows the plot
// must draw for them, in drawing order.
std::vector<LegendRow> ShowEveryFamily(int w) {
    const std::vector<LegendRow> rows = LegendRows(w, [](int block) {
        const int port = block < 128 ? block % 16 : block < 133 ? 0 : (block - 133) % 16;
        return port < 4 || port == 15;
    });
    for (const LegendRow& row : rows) {
        float* v = shell::SystemCurveTable[row.block]->v;
        const bool phase = row.text.find("Phase") != std::string::npos;
        for (int k = 0; k < 2000; ++k) v[k] = phase ? -5000.0f : -500.0f;
        const platform::COLORREF colour = RowColour(row);
        v[2000] = 1.0f;
        v[2001] = static_cast<float>(platform::GetRValue(colour));
        v[2002] = static_cast<float>(platform::GetGValue(colour));
        v[2003] = static_cast<float>(platform::GetBValue(colour));
        v[2004] = 1.0f;
        v[2005] = 1.0f;
    }
    return rows;
}

bool Meet(const platform::RECT& a, const platform::RECT& b, int gap) {
    return a.left < b.right + gap && b.left < a.right + gap && a.top < b.bottom + gap &&
           b.top < a.bottom + gap;
}

// Every family shown, at the window's opening size and in a taller one: each legend row stands
// at its place, 9 pixels a row from y = 25 (the system rows at y = 619), its ink inside its
// 9-pixel band, with its line beside it in its curve's colour; no two rows meet or touch.
TEST_F(SplPlot, LegendRowsStandAtTheirPlacesNineApart) {
    for (const int h : {500, 700}) {
        SCOPED_TRACE("900 x " + std::to_string(h));
        ResetSolverWorld();
        const int w = 900;
        const platform::HDC hdc = platform::CreateCompatibleDC(platform::HDC{});
        const platform::HBITMAP bitmap = platform::CreateCompatibleBitmap(hdc, w, h);
        const platform::HBITMAP old = platform::SelectObject(hdc, bitmap);
        const std::vector<LegendRow> rows = ShowEveryFamily(w);
        platform::testing::RecordDrawnTexts(true);
        solver::DrawSplPhaseFrame(hdc, w, h, platform::HWND{});
        platform::testing::RecordDrawnTexts(false);
        std::vector<platform::testing::DrawnText> legend;
        for (const auto& t : platform::testing::DrawnTexts())
            if (t.text.find("SPL") != std::string::npos ||
                t.text.find("Phase") != std::string::npos)
                legend.push_back(t);
        legend.erase(legend.begin());  // the title, "SPL / Phase vs. Frequency"
        ASSERT_EQ(legend.size(), rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const LegendRow& row = rows[i];
            const platform::RECT& ink = legend[i].ink;
            EXPECT_EQ(legend[i].text, row.text);
            EXPECT_GE(ink.left, row.x) << row.text;
            EXPECT_LT(ink.left, row.x + 3) << row.text;
            EXPECT_GE(ink.top, row.y) << row.text << " above its row";
            EXPECT_LE(ink.bottom, row.y + 9) << row.text << " beyond its row";
            EXPECT_LE(ink.right, row.line_x) << row.text << " runs into its line";
            if (row.y + 5 < h) {
                EXPECT_EQ(platform::GetPixel(hdc, row.line_x + 5, row.y + 5), RowColour(row))
                    << "no legend line beside " << row.text;
            }
            for (std::size_t j = i + 1; j < rows.size(); ++j) {
                EXPECT_FALSE(Meet(ink, legend[j].ink, 1))
                    << row.text << " touches " << legend[j].text;
            }
        }
        platform::SelectObject(hdc, old);
        platform::DeleteObject(bitmap);
        platform::DeleteDC(hdc);
    }
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
