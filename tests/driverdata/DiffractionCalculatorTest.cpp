// The diffraction calculator as a person uses it: node editing by mouse, examples, the Plot
// sweep with its refusals, and what the canvas and the plot show.

#include <cmath>
#include <functional>
#include <string>

#include "driverdata/DiffractionCalculator.h"
#include "driverdata/DiffractionDrawing.h"
#include "driverdata/EdgeDiffraction.h"
#include "driverdata/Ids.h"
#include "platform/gdi/Gdi.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"
#include "shell/GdiObjects.h"
#include "shell/NumberText.h"
#include "tests/driverdata/DiffractionTestSupport.h"

namespace {

namespace pt = platform::testing;
using namespace driverdata;
using platform::HWND;

class DiffractionCalculator : public ::testing::Test {
  protected:
    HWND dialog{};
    void SetUp() override {
        pt::ResetLayer();
        driverdata_test::ResetDiffractionWorld();
        resources::RegisterAll();
        ASSERT_EQ(shell::CreateGdiObjects(), 0);
        ResetDiffractionCalculator();
        dialog = platform::CreateDialog(platform::HINSTANCE{}, kDiffractionCalculatorTemplate,
                                        HWND{}, &DiffractionCalculatorDlgProc);
        ASSERT_TRUE(dialog);
        platform::ShowWindow(dialog, platform::SW_SHOW);
        pt::PumpUntilIdle();
    }
    void TearDown() override {
        platform::DestroyWindow(dialog);
        shell::DeleteGdiObjects();
    }
    // A click on raster node (u, v) of the canvas.
    void ClickNode(int u, int v) { pt::MouseClick(dialog, 4 * u + 5, 4 * (116 - v) + 5); }
    std::string LastMessage() {
        const auto& log = pt::MessageBoxLog();
        return log.empty() ? "" : log.back().text;
    }
    platform::COLORREF CanvasPixel(int x, int y) {
        const HWND canvas = platform::GetDlgItem(dialog, kDiffCanvas);
        const platform::HDC hdc = platform::GetDC(canvas);
        const platform::COLORREF c = platform::GetPixel(hdc, x, y);
        platform::ReleaseDC(canvas, hdc);
        return c;
    }
};

TEST_F(DiffractionCalculator, NodesAreAddedClosedInsertedDeletedAndMovedByMouse) {
    pt::Click(dialog, kDiffExample2);  // an empty outline, Add mode
    for (auto [u, v] : {std::pair{10, 10}, {60, 10}, {60, 60}, {10, 60}}) ClickNode(u, v);
    EXPECT_EQ(shell::Baffle->NodeCount, 4);
    ClickNode(60, 60);
    EXPECT_EQ(LastMessage(), "SLPG Closed Incorrectly");
    ClickNode(10, 10);
    EXPECT_EQ(LastMessage(), "SLPG Closed");
    EXPECT_EQ(shell::Baffle->ClosedFlag, 2);
    EXPECT_EQ(shell::Baffle->NodeCount, 4);

    pt::TypeText(dialog, kDiffInsertIndex, "1");
    pt::Click(dialog, kDiffModeInsert);
    ClickNode(70, 35);
    ASSERT_EQ(shell::Baffle->NodeCount, 5);
    EXPECT_EQ(shell::Baffle->Nodes[2].x, 70);
    EXPECT_EQ(shell::Baffle->Nodes[3].x, 60);
    pt::TypeText(dialog, kDiffInsertIndex, "-1");
    ClickNode(30, 30);
    EXPECT_EQ(LastMessage(),
              "Unable To Execute\nRequested Insertion Point\nIs Beyond The End-Point");
    EXPECT_EQ(shell::Baffle->NodeCount, 5);

    pt::Click(dialog, kDiffModeDelete);
    ClickNode(70, 35);
    EXPECT_EQ(shell::Baffle->NodeCount, 4);
    EXPECT_EQ(shell::Baffle->Nodes[2].y, 60);

    pt::Click(dialog, kDiffModeMove);
    pt::MouseDown(dialog, 4 * 10 + 5, 4 * (116 - 10) + 5);
    pt::MouseMove(dialog, 4 * 14 + 5, 4 * (116 - 12) + 5, true);
    pt::MouseUp(dialog, 4 * 14 + 5, 4 * (116 - 12) + 5);
    EXPECT_EQ(shell::Baffle->Nodes[0].x, 14);
    EXPECT_EQ(shell::Baffle->Nodes[0].y, 12);
    // Driver 1 and the microphone share (40, 40): the tie goes to the driver ...
    pt::MouseDown(dialog, 4 * 40 + 5, 4 * (116 - 40) + 5);
    pt::MouseUp(dialog, 4 * 45 + 5, 4 * (116 - 33) + 5);
    EXPECT_FLOAT_EQ(shell::Baffle->Points[0].x, 45.0f);
    EXPECT_FLOAT_EQ(shell::Baffle->Points[shell::kBaffleMicrophone].x, 40.0f);
    // ... and the microphone follows once it is the nearest item.
    pt::MouseDown(dialog, 4 * 40 + 5, 4 * (116 - 40) + 5);
    pt::MouseUp(dialog, 4 * 45 + 5, 4 * (116 - 33) + 5);
    EXPECT_FLOAT_EQ(shell::Baffle->Points[shell::kBaffleMicrophone].x, 45.0f);
}

TEST_F(DiffractionCalculator, PlotFillsTheRingsAndTwoDriversAddThePowerCurve) {
    pt::Click(dialog, kDiffExample1);
    pt::Click(dialog, kDiffPlot);
    ASSERT_TRUE(pt::MessageBoxLog().empty()) << LastMessage();
    const shell::CurveRecord& spl = *shell::DiffractionCurveTable[0];
    EXPECT_EQ(spl.v[shell::kCurveVisible], 1.0f);
    EXPECT_EQ(shell::DiffractionCurveTable[5]->v[shell::kCurveVisible], 1.0f);
    EXPECT_NE(shell::DiffractionCurveTable[10]->v[shell::kCurveVisible], 1.0f);
    EXPECT_EQ(DiffractionSplSlot, 1);
    for (int k = 0; k < shell::kGridPoints; ++k) ASSERT_TRUE(std::isfinite(spl.v[k])) << k;
    // The baffle step of the 80 cm square: low frequencies about 6 dB below the high ones.
    EXPECT_GT(spl.v[1990] - spl.v[0], 4.0f);

    pt::Click(dialog, kDiffTwoDrivers);
    pt::Click(dialog, kDiffPlot);
    ASSERT_TRUE(pt::MessageBoxLog().empty()) << LastMessage();
    EXPECT_EQ(shell::DiffractionCurveTable[10]->v[shell::kCurveVisible], 1.0f);
    EXPECT_EQ(DiffractionPowerSlot, 1);
    for (int i = 0; i < 4; ++i) pt::Click(dialog, kDiffPlot);
    EXPECT_EQ(DiffractionSplSlot, 1) << "six plots wrap the ring of five";
    pt::Click(dialog, kDiffClear);
    for (const shell::CurveRecord* c : shell::DiffractionCurveTable)
        EXPECT_EQ(c->v[shell::kCurveVisible], 0.0f);
}

TEST_F(DiffractionCalculator, PlotRefusesWhatCannotBeComputed) {
    struct Case {
        const char* name;
        std::function<void(HWND)> setup;
        std::string message;
    };
    const Case cases[] = {
        {"no diameter", [](HWND d) { pt::TypeText(d, kDiffDiameter, "0"); },
         "Driver's Dia Data Error"},
        {"a diameter that is not a number", [](HWND d) { pt::TypeText(d, kDiffDiameter, "nan"); },
         "Driver's Dia Data Error"},
        {"an underflowing diameter", [](HWND d) { pt::TypeText(d, kDiffDiameter, "1e-30"); },
         "Driver's Dia Data Error"},
        {"a narrow enclosure",
         [](HWND) { shell::CopyTextSlot(shell::CurrentDriverRecord->EnclosureWidth, "3"); },
         "Enclosure Geometry Data Error"},
        {"driver at the edge", [](HWND) { shell::Baffle->Points[0].x = 1.0f; },
         "Driver 1 Geometry Data Error"},
        {"two drivers in one place",
         [](HWND d) {
             pt::Click(d, kDiffTwoDrivers);
             shell::Baffle->Points[1] = shell::Baffle->Points[0];
         },
         "Driver's Distance Data Error"},
        {"an open outline", [](HWND) { shell::Baffle->ClosedFlag = 0; },
         "Unable To Find Closed SPLG (Baffle)"},
    };
    for (const Case& c : cases) {
        SetUp();
        pt::Click(dialog, kDiffExample1);
        c.setup(dialog);
        pt::ClearMessageBoxLog();
        pt::Click(dialog, kDiffPlot);
        EXPECT_EQ(LastMessage(), c.message) << c.name;
        EXPECT_EQ(DiffractionSplSlot, 0) << c.name;
        EXPECT_NE(shell::DiffractionCurveTable[0]->v[shell::kCurveVisible], 1.0f) << c.name;
        TearDown();
    }
}

// A raster typed far out is kept within its bounds: the canvas draws (no position beyond an
// int) and a plot holds numbers only, whether the text was typed or came with the record.
TEST_F(DiffractionCalculator, RastersFarOutAreBoundedForTheCanvasAndThePlot) {
    struct Case {
        const char* typed;
        const char* stored;  // the record's text after typing
        double used;         // the raster length the calculator works with
    };
    const Case cases[] = {
        {"0.00001", "0.01", 0.01}, {"1e-30", "0.01", 0.01}, {"3.4e38", "1000", 1000.0},
        {"1e30", "1000", 1000.0},  {"0.5", "0.5", 0.5},     {"-5", "0.01", 0.01},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        pt::Click(dialog, kDiffExample1);
        pt::TypeText(dialog, kDiffRasterEdit, c.typed);
        EXPECT_STREQ(shell::Baffle->RasterText, c.stored);
        EXPECT_EQ(shell::BaffleRasterCm(*shell::Baffle), c.used);
        // The same text from a record, not through the edit.
        shell::CopyTextSlot(shell::Baffle->RasterText, c.typed);
        EXPECT_EQ(shell::BaffleRasterCm(*shell::Baffle), c.typed[0] == '-' ? 0.0 : c.used);
        platform::SendMessage(dialog, platform::WM_PAINT, 0, 0);
        pt::ClearMessageBoxLog();
        pt::Click(dialog, kDiffPlot);
        const shell::CurveRecord& spl = *shell::DiffractionCurveTable[0];
        if (pt::MessageBoxLog().empty()) {
            for (int k = 0; k < shell::kGridPoints; ++k) ASSERT_TRUE(std::isfinite(spl.v[k])) << k;
        }
        pt::Click(dialog, kDiffClear);
    }
}

TEST_F(DiffractionCalculator, TheCanvasShowsRasterNodesPistonsAndElements) {
    pt::Click(dialog, kDiffExample1);
    platform::SendMessage(dialog, platform::WM_PAINT, 0, 0);
    EXPECT_EQ(CanvasPixel(8, 8), platform::RGB(0, 0, 0)) << "a raster dot";
    EXPECT_EQ(CanvasPixel(4 * 80 + 4, 468), platform::RGB(255, 255, 0)) << "node 1's marker";
    // The five piston points of list entry 1: R = 12.5 cm drawn 3.8 pixels a unit.
    const int cx = 4 * 40 + 4, cy = 468 - 4 * 40;
    EXPECT_EQ(CanvasPixel(cx + 47, cy), platform::RGB(0, 32, 255)) << "a piston point";
    pt::Click(dialog, kDiffPlot);
    // (The first midpoint lies under node 0's number, which is drawn over it.)
    EXPECT_EQ(CanvasPixel(4 * 3 + 4, 467), platform::RGB(0, 228, 0)) << "a midpoint marker";
}

TEST_F(DiffractionCalculator, ThePlotDrawsItsFrameAndCurves) {
    pt::Click(dialog, kDiffExample1);
    pt::Click(dialog, kDiffPlot);
    const platform::HDC screen = platform::GetDC(dialog);
    const platform::HDC memory = platform::CreateCompatibleDC(screen);
    const platform::HBITMAP bitmap = platform::CreateCompatibleBitmap(screen, 600, 400);
    const platform::HBITMAP old = platform::SelectObject(memory, bitmap);
    for (int w : {80, 60}) PaintDiffractionPlot(memory, w, 400);  // an empty plot draws no grid
    PaintDiffractionPlot(memory, 600, 400);
    EXPECT_EQ(platform::GetPixel(memory, 61, 100), platform::RGB(212, 212, 212)) << "plot area";
    // The curve crosses the column of its 1000th point somewhere on the plot area.
    const int x = static_cast<int>(60 + 0.0005 * 520 * 1000);
    int drawn = 0;
    const shell::CurveRecord& spl = *shell::DiffractionCurveTable[0];
    const platform::COLORREF pen = platform::RGB(static_cast<int>(spl.v[shell::kCurvePenRed]),
                                                 static_cast<int>(spl.v[shell::kCurvePenGreen]),
                                                 static_cast<int>(spl.v[shell::kCurvePenBlue]));
    for (int y = 19; y <= 379; ++y) drawn += platform::GetPixel(memory, x, y) == pen;
    EXPECT_GT(drawn, 0);
    platform::SelectObject(memory, old);
    platform::DeleteObject(bitmap);
    platform::DeleteDC(memory);
    platform::ReleaseDC(dialog, screen);
}

}  // namespace
