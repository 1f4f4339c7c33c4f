// The diffraction calculator as a person uses it: node editing by mouse, examples, the Plot
// sweep with its refusals, and what the canvas and the plot show.

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "driverdata/DiffractionCalculator.h"
#include "driverdata/DiffractionDrawing.h"
#include "driverdata/EdgeDiffraction.h"
#include "driverdata/HbtEditorPlot.h"
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
#include "shell/PlotFrame.h"
#include "tests/driverdata/DiffractionReference.h"
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
        driverdata::test::ResetDiffractionWorld();
        resources::RegisterAll();
        ASSERT_EQ(shell::CreateGdiObjects(), 0);
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
    EXPECT_EQ(platform::IsDlgButtonChecked(dialog, kDiffTwoDrivers), 1u)
        << "the box shows its tick";
    pt::Click(dialog, kDiffPlot);
    ASSERT_TRUE(pt::MessageBoxLog().empty()) << LastMessage();
    EXPECT_EQ(shell::DiffractionCurveTable[10]->v[shell::kCurveVisible], 1.0f);
    EXPECT_EQ(DiffractionPowerSlot, 1);
    for (int i = 0; i < 4; ++i) pt::Click(dialog, kDiffPlot);
    EXPECT_EQ(DiffractionSplSlot, 1) << "six plots wrap the ring of five";
    pt::Click(dialog, kDiffTwoDrivers);
    EXPECT_EQ(platform::IsDlgButtonChecked(dialog, kDiffTwoDrivers), 0u) << "back to one driver";
    EXPECT_EQ(shell::CurrentDriverRecord->DriversMode, 0);
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
        // The curve records outlive a test: a plot of an earlier test must not count here.
        shell::DiffractionCurveTable[0]->v[shell::kCurveVisible] = 0.0f;
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

// The label row at the right end of a W x H plot (below the plot area: labels and "Hz" only).
std::vector<platform::COLORREF> RightEndLabels(platform::HDC hdc, int w, int h) {
    std::vector<platform::COLORREF> pixels;
    for (int y = h - 16; y < h; ++y)
        for (int x = w - 60; x < w; ++x) pixels.push_back(platform::GetPixel(hdc, x, y));
    return pixels;
}

TEST_F(DiffractionCalculator, BothPlotsLabelTheirStopFrequency) {
    constexpr int w = 600, h = 400;
    const platform::HDC screen = platform::GetDC(dialog);
    const platform::HDC memory = platform::CreateCompatibleDC(screen);
    const platform::HBITMAP bitmap = platform::CreateCompatibleBitmap(screen, w, h);
    const platform::HBITMAP old = platform::SelectObject(memory, bitmap);
    const platform::HBRUSH white = platform::CreateSolidBrush(platform::RGB(255, 255, 255));
    const platform::RECT all{0, 0, w, h};
    const auto labels = [&](bool through_stop) {
        platform::FillRect(memory, &all, white);
        const platform::HFONT font = platform::SelectObject(memory, shell::SmallFont);
        platform::SetBkMode(memory, platform::TRANSPARENT);
        shell::DrawFrequencyLabels(memory, w, h, through_stop);
        platform::SelectObject(memory, font);
        return RightEndLabels(memory, w, h);
    };
    // 1k, 2k, 10k and 20k are labelled stop frequencies.
    for (int stop : {1, 2, 4, 5}) {
        SCOPED_TRACE(stop);
        shell::PlotStopFrequencyIndex = stop;
        const auto through = labels(true);
        ASSERT_NE(through, labels(false)) << "the stop frequency's label";
        for (int painter = 0; painter < 2; ++painter) {
            SCOPED_TRACE(painter == 0 ? "diffraction plot" : "HBT editor");
            platform::FillRect(memory, &all, white);
            if (painter == 0) {
                PaintDiffractionPlot(memory, w, h);
            } else {
                DrawHbtPlotFrame(memory, w, h);
            }
            EXPECT_EQ(RightEndLabels(memory, w, h), through);
        }
    }
    platform::DeleteObject(white);
    platform::SelectObject(memory, old);
    platform::DeleteObject(bitmap);
    platform::DeleteDC(memory);
    platform::ReleaseDC(dialog, screen);
}

TEST_F(DiffractionCalculator, PlotSumsPistonsAndDriversAsTheModelSays) {
    namespace ref = diffraction_reference;
    pt::Click(dialog, kDiffExample1);  // the 80 x 80 square, microphone at (40, 40)
    DiffractionListIndex = 2;          // list entry "3": a lattice of R / 2
    shell::Baffle->Points[0].x = 30.0f;
    shell::Baffle->Points[0].y = 45.0f;
    const std::vector<ref::Vec> outline = ref::RectanglePoints(80, 80);
    const std::vector<ref::Vec> offsets = ref::PistonOffsets(12.5, 2);
    ASSERT_EQ(offsets.size(), 13u);  // the centre, 4 at R / 2, 4 at R, 4 on the diagonals
    const ref::Settings settings;
    const auto f = [](int k) { return ref::SweepFrequency(k, 10.0, 50000.0); };
    const auto expect_point = [](const ref::Point& want, int slot, int k) {
        EXPECT_NEAR(shell::DiffractionCurveTable[slot]->v[k], want.spl, 2e-3) << "SPL at " << k;
        EXPECT_NEAR(ref::PhaseDifference(shell::DiffractionCurveTable[5 + slot]->v[k], want.phase),
                    0.0, 0.02)
            << "phase at " << k;
    };

    pt::Click(dialog, kDiffPlot);
    ASSERT_TRUE(pt::MessageBoxLog().empty()) << LastMessage();
    for (int k = 0; k < shell::kGridPoints; k += 222) {
        expect_point(
            ref::OneDriver(ref::DriverPressure(outline, {30.0, 45.0}, offsets, f(k), settings)), 0,
            k);
    }

    // Two drivers at (50, 55) and (45, 50), 7.07 cm apart, with their power response.
    pt::Click(dialog, kDiffTwoDrivers);
    pt::Click(dialog, kDiffPlot);
    ASSERT_TRUE(pt::MessageBoxLog().empty()) << LastMessage();
    const double spacing = std::sqrt(0.0001 * (5.0 * 5.0 + 5.0 * 5.0));
    for (int k = 0; k < shell::kGridPoints; k += 222) {
        const ref::Complex h1 = ref::DriverPressure(outline, {50.0, 55.0}, offsets, f(k), settings);
        const ref::Complex h2 = ref::DriverPressure(outline, {45.0, 50.0}, offsets, f(k), settings);
        expect_point(ref::TwoDrivers(h1, h2), 1, k);
        EXPECT_NEAR(shell::DiffractionCurveTable[10]->v[k], ref::PowerResponse(f(k), spacing), 2e-3)
            << "power at " << k;
    }
}

TEST_F(DiffractionCalculator, DriversModesTwoAndThreeFromADriverFile) {
    namespace ref = diffraction_reference;
    pt::Click(dialog, kDiffExample1);
    const ref::Vec drivers[4] = {{50.0, 55.0}, {45.0, 50.0}, {30.0, 45.0}, {60.0, 30.0}};
    for (int d = 0; d < 4; ++d) {
        shell::Baffle->Points[d].x = static_cast<float>(drivers[d].x);
        shell::Baffle->Points[d].y = static_cast<float>(drivers[d].y);
    }
    // Mode 2 is mode 1 throughout.
    for (int mode : {1, 2}) {
        shell::CurrentDriverRecord->DriversMode = mode;
        platform::SendMessage(dialog, platform::WM_INITDIALOG, 0, 0);
        EXPECT_EQ(platform::IsDlgButtonChecked(dialog, kDiffTwoDrivers), 1u) << mode;
        EXPECT_EQ(shell::Baffle->Points[1].flag, 1) << mode;
        EXPECT_EQ(shell::Baffle->Points[2].flag, 0) << mode;
        pt::Click(dialog, kDiffPlot);
        ASSERT_TRUE(pt::MessageBoxLog().empty()) << LastMessage();
    }
    for (int k = 0; k < shell::kGridPoints; k += 97) {
        ASSERT_EQ(shell::DiffractionCurveTable[0]->v[k], shell::DiffractionCurveTable[1]->v[k]);
        ASSERT_EQ(shell::DiffractionCurveTable[5]->v[k], shell::DiffractionCurveTable[6]->v[k]);
        ASSERT_EQ(shell::DiffractionCurveTable[10]->v[k], shell::DiffractionCurveTable[11]->v[k]);
    }

    // Mode 3: four drivers, each pair summed by power at half its pressure.
    shell::CurrentDriverRecord->DriversMode = 3;
    platform::SendMessage(dialog, platform::WM_INITDIALOG, 0, 0);
    EXPECT_EQ(platform::IsDlgButtonChecked(dialog, kDiffTwoDrivers), 1u) << "two drivers and more";
    for (int d = 0; d < 4; ++d) EXPECT_EQ(shell::Baffle->Points[d].flag, 1) << d;
    pt::Click(dialog, kDiffPlot);
    ASSERT_TRUE(pt::MessageBoxLog().empty()) << LastMessage();
    const std::vector<ref::Vec> outline = ref::RectanglePoints(80, 80);
    const std::vector<ref::Vec> offsets = ref::PistonOffsets(12.5, 0);
    for (int k = 0; k < shell::kGridPoints; k += 333) {
        double m[4];
        for (int d = 0; d < 4; ++d)
            m[d] = std::abs(ref::DriverPressure(outline, drivers[d], offsets,
                                                ref::SweepFrequency(k, 10.0, 50000.0), {}));
        const double m12 = std::hypot(0.5 * m[0], 0.5 * m[1]);
        const double m34 = std::hypot(0.5 * m[2], 0.5 * m[3]);
        EXPECT_NEAR(shell::DiffractionCurveTable[2]->v[k], 10.0 * std::log10(m12 * m12 + m34 * m34),
                    2e-3)
            << k;
    }
    // A third driver on the first one's place cannot be computed.
    shell::Baffle->Points[2] = shell::Baffle->Points[0];
    pt::Click(dialog, kDiffPlot);
    EXPECT_EQ(LastMessage(), "Driver's Distance Data Error");
}

}  // namespace
