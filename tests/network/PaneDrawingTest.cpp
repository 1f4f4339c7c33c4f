// Pane painting: pixel probes that background, raster, wires, symbols, labels, node numbers and
// the title land where the painter puts them; the palette; the ghosts' inverting draw; the
// derived input and hot nodes; the tool buttons' check marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "EditorTestSupport.h"
#include "network/PaneDrawing.h"
#include "network/Topology.h"
#include "platform/testing/Input.h"

namespace network::test {
namespace {

using platform::COLORREF;
using platform::RGB;

constexpr COLORREF kBackground = RGB(234, 234, 220);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWireBlue = RGB(0, 0, 192);
constexpr COLORREF kCyan = RGB(0, 255, 255);
constexpr COLORREF kGrey = RGB(164, 164, 164);
constexpr COLORREF kNodeColour = RGB(128, 0, 0);
constexpr COLORREF kValueColour = RGB(0, 0, 128);

// Text is antialiased: its pixels are blends of the ink over the background. Counts the pixels of
// a rectangle that are such a blend with at least half ink.
int CountInk(platform::HWND hwnd, int x0, int y0, int x1, int y1, COLORREF ink) {
    const double bg[3] = {static_cast<double>(platform::GetRValue(kBackground)),
                          static_cast<double>(platform::GetGValue(kBackground)),
                          static_cast<double>(platform::GetBValue(kBackground))};
    const double in[3] = {static_cast<double>(platform::GetRValue(ink)),
                          static_cast<double>(platform::GetGValue(ink)),
                          static_cast<double>(platform::GetBValue(ink))};
    const platform::HDC hdc = platform::GetDC(hwnd);
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const COLORREF p = platform::GetPixel(hdc, x, y);
            const double px[3] = {static_cast<double>(platform::GetRValue(p)),
                                  static_cast<double>(platform::GetGValue(p)),
                                  static_cast<double>(platform::GetBValue(p))};
            double dot = 0, len = 0;
            for (int k = 0; k < 3; ++k) {
                dot += (px[k] - bg[k]) * (in[k] - bg[k]);
                len += (in[k] - bg[k]) * (in[k] - bg[k]);
            }
            const double t = dot / len;
            double off = 0;
            for (int k = 0; k < 3; ++k) {
                const double d = px[k] - (bg[k] + t * (in[k] - bg[k]));
                off += d * d;
            }
            if (t >= 0.5 && off <= 24.0 * 24.0) ++count;
        }
    }
    platform::ReleaseDC(hwnd, hdc);
    return count;
}

// Family and slope names for the label painter (test data).
const char* const kNames[22] = {"Fam0",   "Fam1",   "Fam2",   "Fam3",   "Fam4",   "Fam5",
                                "Fam6",   "Fam7",   "Fam8",   "Fam9",   "Fam10",  "Fam11",
                                "Slope0", "Slope1", "Slope2", "Slope3", "Slope4", "Slope5",
                                "Slope6", "Slope7", "Slope8", "Slope9"};

class PaneDrawingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FreshEditor();
        FilterTypeNames = kNames;
        pane_ = MakePane(2);
        ASSERT_TRUE(pane_);
    }
    void TearDown() override { FilterTypeNames = nullptr; }

    // The working network into store 2, then a full repaint of the pane.
    void Show() {
        SavePane2Store();
        platform::InvalidateRect(pane_, nullptr, 1);
        platform::UpdateWindow(pane_);
        platform::testing::PumpUntilIdle();
    }

    platform::HWND pane_;
};

TEST_F(PaneDrawingTest, EmptyStorePaintsBackgroundFrameAndTitleOnly) {
    Show();
    EXPECT_EQ(PixelAt(pane_, 0, 0), kBlack) << "frame";
    EXPECT_EQ(PixelAt(pane_, 300, 200), kBackground);
    EXPECT_EQ(PixelAt(pane_, 10, 10), kBackground) << "no raster while it is off";
    EXPECT_GT(CountColour(pane_, 0, 460, 200, 500, RGB(0, 128, 0)), 20) << "inactive title green";
    EXPECT_EQ(CountColour(pane_, 0, 460, 200, 500, RGB(228, 0, 0)), 0);
    EXPECT_EQ(CountColour(pane_, 20, 20, 580, 440, kBlack), 0) << "nothing else drawn";
}

TEST_F(PaneDrawingTest, RasterDotsWhenShown) {
    ShowRaster = 1;
    Show();
    EXPECT_EQ(PixelAt(pane_, 10, 10), RGB(112, 112, 112));
    EXPECT_EQ(PixelAt(pane_, 300, 200), RGB(112, 112, 112));
    EXPECT_EQ(PixelAt(pane_, 305, 200), kBackground);
    EXPECT_EQ(PixelAt(pane_, 0, 10), kBlack) << "no dot on the frame column";
}

TEST_F(PaneDrawingTest, ActivePaneTitleIsRed) {
    ActivePane = 2;
    Show();
    EXPECT_GT(CountColour(pane_, 0, 460, 200, 500, RGB(228, 0, 0)), 20);
    EXPECT_EQ(CountColour(pane_, 0, 460, 200, 500, RGB(0, 128, 0)), 0);
}

TEST_F(PaneDrawingTest, WiresRunAcrossThenDown) {
    WorkingNetwork.WireCount = 1;
    WorkingNetwork.Wire[0] = shell::WireRecord{50, 300, 150, 350, 0, 0};
    Show();
    EXPECT_EQ(PixelAt(pane_, 50, 300), kWireBlue);
    EXPECT_EQ(PixelAt(pane_, 100, 300), kWireBlue);
    EXPECT_EQ(PixelAt(pane_, 150, 300), kWireBlue);
    EXPECT_EQ(PixelAt(pane_, 150, 330), kWireBlue);
    EXPECT_EQ(PixelAt(pane_, 50, 330), kBackground) << "no vertical run at the start";
    EXPECT_EQ(PixelAt(pane_, 100, 301), kBackground);
}

TEST_F(PaneDrawingTest, SymbolsLandOnTheirTerminals) {
    PutElement(shell::kElementFilter, 200, 100);
    PutElement(shell::kElementInputNode, 100, 100);
    PutElement(shell::kElementOutputPort, 400, 100);
    PutElement(shell::kElementGround, 400, 250);
    WorkingNetwork.ElementParams[0][shell::kParamBypass] = 1.0f;  // a short label only
    Show();
    // Filter: leads and dots at both terminals, cyan box between.
    EXPECT_EQ(PixelAt(pane_, 204, 100), kBlack) << "filter's left lead";
    EXPECT_EQ(PixelAt(pane_, 237, 100), kBlack) << "filter's right lead";
    EXPECT_EQ(PixelAt(pane_, 240, 98), kBlack) << "dot on terminal 2";
    EXPECT_EQ(PixelAt(pane_, 240, 100), RGB(255, 255, 255))
        << "dots are filled with the default brush";
    EXPECT_EQ(PixelAt(pane_, 228, 113), kCyan) << "inside the filter box";
    EXPECT_EQ(PixelAt(pane_, 206 + 13, 100 - 17), kBlack) << "top of the filter box";
    // Input node: circle and lead to the second circle.
    EXPECT_EQ(PixelAt(pane_, 97, 100), kBlack);
    EXPECT_EQ(PixelAt(pane_, 95, 100), kBlack);
    EXPECT_EQ(PixelAt(pane_, 100, 97), kBlack) << "top of the circle";
    EXPECT_EQ(PixelAt(pane_, 100, 100), RGB(255, 255, 255)) << "filled with the default brush";
    // Output port: leads at top and bottom, cyan body, grey cone.
    EXPECT_EQ(PixelAt(pane_, 400, 105), kBlack);
    EXPECT_EQ(PixelAt(pane_, 400, 135), kBlack);
    EXPECT_EQ(PixelAt(pane_, 400, 138), kBlack) << "dot on terminal 2";
    EXPECT_EQ(PixelAt(pane_, 396, 120), kBlack) << "outline of the port body";
    EXPECT_EQ(PixelAt(pane_, 397, 120), kCyan) << "port body";
    EXPECT_EQ(PixelAt(pane_, 400, 120), kGrey) << "inner grey box";
    EXPECT_EQ(PixelAt(pane_, 408, 117), kGrey) << "upper cone half";
    // Ground: stem and bars.
    EXPECT_EQ(PixelAt(pane_, 400, 257), kBlack);
    EXPECT_EQ(PixelAt(pane_, 396, 263), kBlack);
    EXPECT_EQ(PixelAt(pane_, 398, 265), kBlack);
    EXPECT_EQ(PixelAt(pane_, 406, 263), kBackground);
}

TEST_F(PaneDrawingTest, ElementsFromXOneThousandOnAreNotDrawn) {
    WorkingNetwork.ElementCount = 1;
    auto& g = WorkingNetwork.ElementGeometry[0];
    g = shell::ElementGeometryRecord{};
    g.kind = shell::kElementJunction;
    g.x1 = g.x2 = 1000;
    g.y1 = g.y2 = 100;
    platform::DestroyWindow(pane_);
    pane_ = MakePane(2, 1100, 300);
    Show();
    EXPECT_EQ(PixelAt(pane_, 997, 100), kBackground);
}

// A store damaged elsewhere may hold positions near the ends of int: painting must not overflow
// on them (the sanitizer build aborts on an overflow), and the sound elements still show.
TEST_F(PaneDrawingTest, PositionsNearTheEndsOfIntArePassedOver) {
    const int big = 2147483647;
    const int far[][2] = {{big, -big}, {-big - 1, big}, {2147483600, 5}, {5, -2147483600}};
    for (const auto& at : far) {
        WorkingNetwork.ElementCount = 0;
        WorkingNetwork.WireCount = 0;
        PutElement(shell::kElementInputNode, 100, 100);
        for (const int kind :
             {shell::kElementOutputPort, shell::kElementFilter, shell::kElementRoomEq,
              shell::kElementGround, shell::kElementJunction}) {
            const int e = WorkingNetwork.ElementCount++;
            auto& g = WorkingNetwork.ElementGeometry[e];
            g = shell::ElementGeometryRecord{};
            g.kind = kind;
            g.x1 = g.x2 = at[0];
            g.y1 = g.y2 = at[1];
            g.node1 = g.node2 = 0;
        }
        auto& w = WorkingNetwork.Wire[WorkingNetwork.WireCount++];
        w = shell::WireRecord{at[0], 10, at[1], at[0], 0, 0};
        ShowNodes = 1;
        Show();
        EXPECT_EQ(PixelAt(pane_, 100, 97), kBlack) << "the sound input node, at " << at[0];
    }
    ShowNodes = 0;
}

TEST_F(PaneDrawingTest, NodeNumbersOnlyWhenShownAndNeverForMinusOne) {
    PutElement(shell::kElementJunction, 100, 100);
    PutElement(shell::kElementJunction, 300, 100);
    PutElement(shell::kElementJunction, 300, 300);
    PutWire(100, 100, 300, 100);
    RebuildNetworkNodes();
    Show();
    EXPECT_EQ(CountColour(pane_, 100, 100, 130, 120, kNodeColour), 0);
    ShowNodes = 1;
    Show();
    // Junction numbers at (x1 + 2, y1); the unwired junction (-1) shows none.
    EXPECT_GT(CountInk(pane_, 102, 100, 115, 115, kNodeColour), 3);
    EXPECT_GT(CountInk(pane_, 302, 100, 315, 115, kNodeColour), 3);
    EXPECT_EQ(CountColour(pane_, 302, 300, 315, 315, kNodeColour), 0);
}

TEST_F(PaneDrawingTest, FilterLabelsByFamilyAndNoSlopeTextOutsideTheTable) {
    struct Case {
        float family, slope;
        bool slope_text;
        int value_rows;
    };
    const Case cases[] = {
        {0.0f, 3.0f, true, 2},   {1.0f, 9.0f, true, 2},  {2.0f, 10.0f, false, 1},
        {0.0f, -1.0f, false, 1}, {1.0f, 1e9f, false, 1}, {3.0f, 0.0f, false, 3},
        {5.0f, 0.0f, false, 2},  {9.0f, 0.0f, false, 2}, {12.0f, 0.0f, false, 0},
    };
    for (const auto& c : cases) {
        ClearWorkingNetwork();
        PutElement(shell::kElementFilter, 200, 100);
        WorkingNetwork.ElementParams[0][shell::kParamBypass] = 0.0f;
        WorkingNetwork.ElementParams[0][shell::kParamFamily] = c.family;
        WorkingNetwork.ElementParams[0][shell::kParamSlope] = c.slope;
        Show();
        const int row30 = CountColour(pane_, 205, 130, 300, 138, kValueColour);
        const int row40 = CountColour(pane_, 205, 140, 300, 148, kValueColour);
        const int row50 = CountColour(pane_, 205, 150, 300, 158, kValueColour);
        const int rows = (row30 > 0) + (row40 > 0) + (row50 > 0);
        EXPECT_EQ(rows, c.value_rows) << "family " << c.family << " slope " << c.slope;
        if (c.family <= 2.0f) {
            EXPECT_EQ(row30 > 0, c.slope_text) << "family " << c.family << " slope " << c.slope;
        }
    }
}

TEST_F(PaneDrawingTest, ByPassedFilterShowsOnlyByPassed) {
    PutElement(shell::kElementFilter, 200, 100);
    WorkingNetwork.ElementParams[0][shell::kParamBypass] = 1.0f;
    Show();
    EXPECT_GT(CountColour(pane_, 190, 115, 260, 128, RGB(128, 0, 0)), 3);
    EXPECT_EQ(CountColour(pane_, 205, 130, 300, 160, kValueColour), 0);
}

TEST_F(PaneDrawingTest, PaintWritesInputNodeNumberAndHotNodeIntoTheStore) {
    // Input 0 -> filter -> node 1 -> port top; port bottom on node 2 with the ground.
    PutElement(shell::kElementInputNode, 50, 100);
    PutElement(shell::kElementFilter, 100, 100);
    PutElement(shell::kElementOutputPort, 200, 100);
    PutElement(shell::kElementGround, 200, 160);
    PutElement(shell::kElementOutputPort, 300, 100);  // no ground shares its nodes
    PutWire(50, 100, 100, 100);
    PutWire(140, 100, 200, 100);
    PutWire(200, 140, 200, 160);
    RebuildNetworkNodes();
    WorkingNetwork.ElementParams[4][shell::kParamHotNode] = 7.0f;
    SavePane2Store();
    EXPECT_EQ(shell::PaneStores[1].ElementParams[2][shell::kParamHotNode], 0.0f);
    Show();
    const auto& store = shell::PaneStores[1];
    EXPECT_EQ(store.ElementParams[0][shell::kParamInputNodeNumber], 0.0f);
    EXPECT_EQ(store.ElementParams[2][shell::kParamHotNode], 1.0f);
    EXPECT_EQ(store.ElementParams[4][shell::kParamHotNode], 7.0f) << "kept without a ground";
    // The port turned over: ground on its top terminal, so the bottom is hot.
    WorkingNetwork.Wire[1] = shell::WireRecord{140, 100, 200, 140, 0, 0};
    WorkingNetwork.Wire[2] = shell::WireRecord{200, 100, 200, 160, 0, 0};
    RebuildNetworkNodes();
    Show();
    EXPECT_EQ(store.ElementParams[2][shell::kParamHotNode],
              static_cast<float>(store.ElementGeometry[2].node2));
}

TEST_F(PaneDrawingTest, GhostsAreRemovedByDrawingThemTwice) {
    Show();
    const platform::HDC hdc = platform::GetDC(pane_);
    platform::SetROP2(hdc, platform::R2_NOTXORPEN);
    for (int kind = 1; kind <= 6; ++kind) {
        DrawElementGhost(kind, hdc, 200, 200);
        EXPECT_GT(110 * 110 - CountColour(pane_, 150, 150, 260, 260, kBackground), 10)
            << "kind " << kind;
        DrawElementGhost(kind, hdc, 200, 200);
        EXPECT_EQ(CountColour(pane_, 150, 150, 260, 260, kBackground), 110 * 110)
            << "kind " << kind;
    }
    DrawElementGhost(0, hdc, 200, 200);
    DrawElementGhost(7, hdc, 200, 200);
    DrawElementSymbol(9, hdc, 200, 200);
    platform::ReleaseDC(pane_, hdc);
    EXPECT_EQ(CountColour(pane_, 150, 150, 260, 260, kBackground), 110 * 110) << "unknown kinds";
}

TEST_F(PaneDrawingTest, PaletteCellsHoldTheirSymbols) {
    Show();
    const platform::HDC hdc = platform::GetDC(pane_);
    const platform::HBRUSH white = platform::CreateSolidBrush(RGB(255, 255, 255));
    const platform::RECT area{0, 0, 60, 260};
    platform::FillRect(hdc, &area, white);
    platform::DeleteObject(white);
    DrawElementPalette(hdc);
    platform::ReleaseDC(pane_, hdc);
    for (int i = 0; i <= 6; ++i)
        EXPECT_EQ(PixelAt(pane_, 30, 40 * i - (i == 6 ? 1 : 0)), kBlack) << i;
    EXPECT_EQ(PixelAt(pane_, 39, 20), kBlack) << "right edge of the squares";
    EXPECT_EQ(PixelAt(pane_, 17, 25), kCyan) << "output port body in cell 0";
    EXPECT_EQ(PixelAt(pane_, 17, 60), kBlack) << "input node circle in cell 1";
    EXPECT_EQ(PixelAt(pane_, 28, 113), kCyan) << "filter box in cell 2";
    EXPECT_EQ(PixelAt(pane_, 17, 140), kBlack) << "junction in cell 3";
    EXPECT_EQ(PixelAt(pane_, 20, 190), kBlack) << "ground stem in cell 4";
    EXPECT_EQ(PixelAt(pane_, 32, 233), kCyan) << "room EQ box in cell 5";
    EXPECT_EQ(PixelAt(pane_, 50, 100), RGB(255, 255, 255)) << "nothing right of the palette";
}

TEST_F(PaneDrawingTest, PaneTitlesFollowTheSubwooferMode) {
    EXPECT_STREQ(PaneTitle(1), "Front-Left");
    EXPECT_STREQ(PaneTitle(6), "Rear-Right");
    const char* const sub1[3] = {"Subwoofer 1", "Sub 1 BBM", "Sub 1 SUM"};
    const char* const sub2[3] = {"Subwoofer 2", "Sub 2 BBM", "Sub 2 SUM"};
    for (int mode = 0; mode < 3; ++mode) {
        shell::SubwooferMode = mode;
        EXPECT_STREQ(PaneTitle(5), sub1[mode]);
        EXPECT_STREQ(PaneTitle(7), sub2[mode]);
    }
    shell::SubwooferMode = 0;
}

TEST_F(PaneDrawingTest, NodeNumbersStandBesideEachTerminal) {
    // A filter and a port with both terminals wired, and a ground: numbers 0 .. 2.
    PutElement(shell::kElementFilter, 100, 200);
    PutElement(shell::kElementOutputPort, 300, 200);
    PutElement(shell::kElementGround, 450, 300);
    PutElement(shell::kElementJunction, 100, 100);
    PutWire(100, 100, 100, 200);  // node 0: junction - filter left
    PutWire(140, 200, 300, 200);  // node 1: filter right - port top
    PutWire(300, 240, 450, 300);  // node 2: port bottom - ground
    RebuildNetworkNodes();
    ShowNodes = 1;
    Show();
    struct Probe {
        int x, y;
        const char* what;
    };
    const Probe probes[] = {
        {100 - 8, 200 - 12, "filter node1 at (x1 - 8, y1 - 12)"},
        {140 - 5, 200 - 12, "filter node2 at (x2 - 5, y2 - 12)"},
        {300 + 4, 200 - 5, "port node1 at (x1 + 4, y1 - 5)"},
        {300 - 12, 240 - 6, "port node2 at (x2 - 12, y2 - 6)"},
        {450 - 12, 300, "ground node at (x1 - 12, y1)"},
        {100 + 2, 100, "junction node at (x1 + 2, y1)"},
    };
    for (const auto& p : probes) {
        EXPECT_GT(CountInk(pane_, p.x, p.y, p.x + 7, p.y + 11, kNodeColour), 2) << p.what;
    }
}

// The extent a pane needs for its network: everything the diagram and the labels draw lies
// inside it, a few pixels from its right and bottom edges; the channel title does not count;
// measuring draws nothing and leaves the store as it was.
TEST_F(PaneDrawingTest, NetworkExtentHoldsEverythingTheNetworkDraws) {
    struct Case {
        const char* what;
        std::function<void()> build;
    };
    const Case cases[] = {
        {"an output port with a two-digit port",
         [] {
             PutElement(shell::kElementOutputPort, 300, 100);
             WorkingNetwork.ElementParams[0][shell::kParamOutputPort] = 10.0f;
         }},
        {"an inverted port with a long band",
         [] {
             PutElement(shell::kElementOutputPort, 200, 300);
             WorkingNetwork.ElementParams[0][shell::kParamF2] = 10000.0f;
             WorkingNetwork.ElementParams[0][shell::kParamPolarity] = -1.0f;
         }},
        {"a by-passed filter and a ground",
         [] {
             PutElement(shell::kElementFilter, 400, 200);
             PutElement(shell::kElementGround, 100, 500);
             WorkingNetwork.ElementParams[0][shell::kParamBypass] = 1.0f;
         }},
        {"a wire alone", [] { PutWire(50, 60, 450, 420); }},
        {"the 5-way template", [] { BuildWayTemplate(5); }},
    };
    const platform::HWND pane = MakePane(3, 700, 700);
    ASSERT_TRUE(pane);
    // Pixels other than the background, the frame and the title (bottom left) left out.
    const auto drawn = [pane](int* right, int* bottom) {
        const platform::HDC hdc = platform::GetDC(pane);
        int count = 0;
        for (int y = 1; y < 640; ++y) {
            for (int x = 1; x < 699; ++x) {
                if (platform::GetPixel(hdc, x, y) == kBackground) continue;
                ++count;
                *right = std::max(*right, x + 1);
                *bottom = std::max(*bottom, y + 1);
            }
        }
        platform::ReleaseDC(pane, hdc);
        return count;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearWorkingNetwork();
        c.build();
        SavePane3Store();
        platform::InvalidateRect(pane, nullptr, 1);
        platform::UpdateWindow(pane);
        platform::testing::PumpUntilIdle();
        int right = 0, bottom = 0;
        const int painted = drawn(&right, &bottom);
        ASSERT_GT(painted, 0);
        float* derived = shell::PaneStores[2].ElementParams[0];
        derived[shell::kParamInputNodeNumber] = 42.0f;
        derived[shell::kParamHotNode] = 42.0f;
        const platform::HDC hdc = platform::GetDC(pane);
        const platform::SIZE extent = PaneNetworkExtent(3, hdc);
        platform::ReleaseDC(pane, hdc);
        EXPECT_GE(extent.cx, right);
        EXPECT_LE(extent.cx, right + 10);
        EXPECT_GE(extent.cy, bottom);
        EXPECT_LE(extent.cy, bottom + 18);
        int unused = 0;
        EXPECT_EQ(drawn(&unused, &unused), painted) << "measuring drew into the pane";
        EXPECT_EQ(derived[shell::kParamInputNodeNumber], 42.0f) << "only a paint writes it";
        EXPECT_EQ(derived[shell::kParamHotNode], 42.0f) << "only a paint writes it";
    }
    ClearWorkingNetwork();
    SavePane3Store();
    const platform::HDC hdc = platform::GetDC(pane);
    const platform::SIZE empty = PaneNetworkExtent(3, hdc);
    platform::ReleaseDC(pane, hdc);
    EXPECT_EQ(empty.cx, 0) << "the title is not part of the network";
    EXPECT_EQ(empty.cy, 0);
}

}  // namespace
}  // namespace network::test
