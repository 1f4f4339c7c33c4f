// The configuration windows' layout and bars, their placement bookkeeping, and the SPL plot
// window, driven with the mouse as a person would.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "frame/ConfigWindows.h"
#include "frame/FrameCommands.h"
#include "network/EditorState.h"
#include "network/ElementDialogs.h"
#include "network/PaneDrawing.h"
#include "platform/gdi/Gdi.h"
#include "platform/testing/DrawnTexts.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "solver/SplPlot.h"
#include "tests/frame/FrameTestSupport.h"

namespace shell::test {
using namespace frame;
namespace {

using platform::HWND;
namespace input = platform::testing;

// A pane's rectangle in its parent's client coordinates.
platform::RECT PaneRect(HWND pane) {
    platform::RECT r{};
    platform::GetWindowRect(pane, &r);
    platform::POINT top_left{r.left, r.top};
    platform::POINT bottom_right{r.right, r.bottom};
    platform::ScreenToClient(platform::GetParent(pane), &top_left);
    platform::ScreenToClient(platform::GetParent(pane), &bottom_right);
    return platform::RECT{top_left.x, top_left.y, bottom_right.x, bottom_right.y};
}

int ClientWidth(HWND window) {
    platform::RECT r{};
    platform::GetClientRect(window, &r);
    return r.right - r.left;
}

int ClientHeight(HWND window) {
    platform::RECT r{};
    platform::GetClientRect(window, &r);
    return r.bottom - r.top;
}

ConfigBars Bars(HWND window) {
    ConfigBars bars{};
    EXPECT_TRUE(CurrentConfigBars(window, &bars));
    return bars;
}

void Drag(HWND window, int from_x, int from_y, int to_x, int to_y) {
    input::MouseDown(window, from_x, from_y);
    input::MouseMove(window, to_x, to_y, true);
    input::MouseUp(window, to_x, to_y);
    input::PumpUntilIdle();
}

// Every pane of the window has a non-negative size and no two panes overlap.
void ExpectPanesApart(HWND window) {
    std::vector<platform::RECT> rects;
    for (HWND pane : network::PaneWindows) {
        if (!pane || platform::GetParent(pane) != window) continue;
        const platform::RECT r = PaneRect(pane);
        EXPECT_GE(r.right - r.left, 0);
        EXPECT_GE(r.bottom - r.top, 0);
        rects.push_back(r);
    }
    for (std::size_t i = 0; i < rects.size(); ++i) {
        for (std::size_t j = i + 1; j < rects.size(); ++j) {
            const platform::RECT& a = rects[i];
            const platform::RECT& b = rects[j];
            const bool overlap = a.left < b.right && b.left < a.right && a.top < b.bottom &&
                                 b.top < a.bottom && a.right > a.left && b.right > b.left;
            EXPECT_FALSE(overlap) << "panes " << i << " and " << j << " overlap";
        }
    }
}

// A right click on an output port in a pane of the Stereo window: the window opens the solver's
// output-port dialog, and what Done sets reaches the pane's store.
TEST_F(FrameTest, RightClickOnAnOutputPortOpensItsDialogFromTheWindowGui) {
    ASSERT_EQ(Start(), kStarted);
    const HWND pane = network::PaneWindows[0];
    ASSERT_TRUE(platform::IsWindow(pane));
    constexpr int kPortSlot = 6;  // an output port of the default network
    const ElementGeometryRecord g = PaneStores[0].ElementGeometry[kPortSlot];
    ASSERT_EQ(g.kind, kElementOutputPort);
    int open_during_dialog = -1;
    platform::testing::OnModalDialog("EnterOutputPort", [&](HWND dialog) {
        open_during_dialog = ModalDialogOpen;
        input::TypeText(dialog, network::kInputPortEdit, "12");
        input::Click(dialog, platform::IDOK);
    });
    input::MouseClick(pane, g.x1, (g.y1 + g.y2) / 2, input::Button::Right);
    input::PumpUntilIdle();
    EXPECT_EQ(open_during_dialog, 1) << "the dialog opened while the pane was busy with it";
    EXPECT_EQ(ModalDialogOpen, 0);
    EXPECT_EQ(network::SelectedElement, kPortSlot);
    EXPECT_EQ(PaneStores[0].ElementParams[kPortSlot][kParamOutputPort], 12.0f);
}

TEST_F(FrameTest, StereoBarDraggedTooFarLeftIsLaidOutAtFiftyGui) {
    ASSERT_EQ(Start(), kStarted);
    const HWND stereo = Splitter1Window;
    ASSERT_TRUE(stereo);
    const int bar = Bars(stereo).x1;
    ASSERT_GT(bar, 60);
    // The left pane ends two pixels before the bar, the right one starts one after it.
    EXPECT_EQ(PaneRect(network::PaneWindows[0]).right, bar - 1);
    EXPECT_EQ(PaneRect(network::PaneWindows[2]).left, bar + 1);

    Drag(stereo, bar, 40, 10, 40);
    EXPECT_EQ(Bars(stereo).x1, 50);
    EXPECT_EQ(WindowPlacements[kSlotStereoBars].X, 10) << "the slot keeps the dragged position";
    EXPECT_EQ(PaneRect(network::PaneWindows[0]).left, 1);
    EXPECT_EQ(PaneRect(network::PaneWindows[0]).right - 1, 48);
    EXPECT_EQ(PaneRect(network::PaneWindows[2]).left, 51);
    EXPECT_EQ(PaneRect(network::PaneWindows[2]).right, 51 + ClientWidth(stereo) - 50 - 3);
    EXPECT_EQ(PaneRect(network::PaneWindows[2]).bottom - 1, ClientHeight(stereo) - 3);

    // Reopened, the window lays the bar out at 50 again.
    platform::SendMessage(MdiClientWindow, platform::WM_MDIDESTROY,
                          static_cast<platform::WPARAM>(stereo.value), 0);
    ASSERT_FALSE(Splitter1Window);
    ASSERT_TRUE(OpenStereoConfig());
    input::PumpUntilIdle();
    EXPECT_EQ(Bars(Splitter1Window).x1, 50);
}

// A System Design network wider or taller than the Stereo panes: the window grows, inside the
// frame's client area, until each pane shows its network (or as far as the client area lets
// it); the bar moves with the left pane and is kept. A network that fits changes nothing.
TEST_F(FrameTest, StereoWindowGrowsUntilBothNetworksShowGui) {
    ASSERT_EQ(Start(), kStarted);
    const HWND stereo = Splitter1Window;
    ASSERT_TRUE(stereo);
    const auto fits = [] {
        bool all = true;
        for (int pane : {1, 3}) {
            const HWND window = network::PaneWindows[pane - 1];
            const platform::HDC dc = platform::GetDC(window);
            const platform::SIZE need = network::PaneNetworkExtent(pane, dc);
            platform::ReleaseDC(window, dc);
            platform::RECT client{};
            platform::GetClientRect(window, &client);
            all = all && client.right >= need.cx && client.bottom >= need.cy;
        }
        return all;
    };
    const auto inside_frame = [stereo] {
        platform::RECT r{}, room{};
        platform::GetWindowRect(stereo, &r);
        platform::GetClientRect(MdiClientWindow, &room);
        platform::POINT corner{r.left, r.top};
        platform::ScreenToClient(MdiClientWindow, &corner);
        // Only its left border may slip under the frame's edge, to make room for the player.
        const int frame = platform::GetSystemMetrics(platform::SM_CXFRAME);
        return corner.x >= -frame && corner.y >= 0 && corner.x + (r.right - r.left) <= room.right &&
               corner.y + (r.bottom - r.top) <= room.bottom;
    };
    // Room for any network: the Stereo window small in a corner of the frame's client area.
    platform::RECT room{};
    platform::GetClientRect(MdiClientWindow, &room);
    platform::MoveWindow(stereo, 0, 0, 500, 300, platform::TRUE);
    input::PumpUntilIdle();
    const int width_before = ClientWidth(stereo);
    const int left_before = PaneRect(network::PaneWindows[0]).right;

    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdStereo5Way));
    input::PumpUntilIdle();
    ASSERT_EQ(Splitter1Window, stereo);
    EXPECT_TRUE(inside_frame());
    EXPECT_GT(ClientWidth(stereo), width_before);
    EXPECT_GT(PaneRect(network::PaneWindows[0]).right, left_before);
    EXPECT_EQ(WindowPlacements[kSlotStereoBars].X, Bars(stereo).x1) << "the new bar is kept";
    EXPECT_EQ(PaneRect(network::PaneWindows[0]).right, Bars(stereo).x1 - 1);
    if (room.right >= 1100 && room.bottom >= 700) {
        EXPECT_TRUE(fits());
    } else {
        EXPECT_TRUE(fits() || ClientWidth(stereo) + 8 >= room.right ||
                    ClientHeight(stereo) + 30 >= room.bottom)
            << "short of room, the window takes what the frame's client area has";
    }

    // A smaller network fits the grown window: nothing changes.
    const int width_after = ClientWidth(stereo);
    const int bar_after = Bars(stereo).x1;
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdStereo4Way));
    input::PumpUntilIdle();
    if (Splitter1Window == stereo) {
        EXPECT_EQ(ClientWidth(stereo), width_after);
        EXPECT_EQ(Bars(stereo).x1, bar_after);
    }
}

TEST_F(FrameTest, ReleaseWithoutDragStillLaysThePanesOutGui) {
    ASSERT_EQ(Start(), kStarted);
    const HWND stereo = Splitter1Window;
    WindowPlacements[kSlotStereoBars].X = 5;  // as a preferences file might hold it
    platform::SendMessage(MdiClientWindow, platform::WM_MDIDESTROY,
                          static_cast<platform::WPARAM>(stereo.value), 0);
    ASSERT_TRUE(OpenStereoConfig());
    input::PumpUntilIdle();
    EXPECT_EQ(Bars(Splitter1Window).x1, 50);
    input::MouseUp(Splitter1Window, 50, 5);
    EXPECT_EQ(Bars(Splitter1Window).x1, 50);
    EXPECT_EQ(WindowPlacements[kSlotStereoBars].X, 5) << "no drag, nothing stored";
}

struct BarCase {
    const char* what;
    bool bar2;   // drag bar 2 (else bar 1)
    int target;  // mouse x where the drag ends
};

TEST_F(FrameTest, ThreeColumnBarsStayOrderedAndInsideGui) {
    const BarCase cases[] = {
        {"bar 1 past bar 2", false, 700},  {"bar 1 to the right edge", false, 2000},
        {"bar 2 past bar 1", true, 60},    {"bar 2 to the left edge", true, 0},
        {"bar 1 just inside", false, 120},
    };
    for (int system : {kSystemHomeTheatre, kSystemBbm}) {
        for (const BarCase& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (system == kSystemBbm ? " (BBM)" : " (HT)"));
            TearDown();
            SetUp();
            WritePreferencesFile(dir_, [](PreferencesRecord& r) { r.NoStartWindows = 1; });
            ASSERT_EQ(Start(), kStarted);
            WindowPlacements[kSlotHomeTheatreBars] = WindowPlacement{250, 200, 500, 0};
            WindowPlacements[kSlotBbmBars] = WindowPlacement{250, 200, 500, 0};
            WindowPlacements[kSlotHomeTheatre] = WindowPlacement{0, 0, 900, 600};
            WindowPlacements[kSlotBbm] = WindowPlacement{0, 0, 900, 600};
            const HWND window = OpenConfigurationWindow(system);
            ASSERT_TRUE(window);
            platform::MoveWindow(window, 0, 0, 900, 600, platform::TRUE);
            input::PumpUntilIdle();
            const int width = ClientWidth(window);
            ConfigBars bars = Bars(window);
            ASSERT_EQ(bars.x1, 250);
            ASSERT_EQ(bars.x2, 500);
            Drag(window, c.bar2 ? bars.x2 : bars.x1, 100, c.target, 100);
            bars = Bars(window);
            EXPECT_LE(bars.x1 + kMinBarGap, bars.x2) << "bar 1 stays left of bar 2";
            EXPECT_GE(bars.x1, kBarMargin);
            EXPECT_LE(bars.x2, width - kBarMargin);
            ExpectPanesApart(window);
            // The bar not dragged keeps its place unless the dragged one pushed it.
            if (c.bar2) {
                EXPECT_EQ(bars.x1, 250);
            } else {
                EXPECT_EQ(bars.x2, 500);
            }
        }
    }
}

TEST_F(FrameTest, CrossedBarsFromTheSlotAreOrderedGui) {
    WritePreferencesFile(dir_, [](PreferencesRecord& r) { r.NoStartWindows = 1; });
    ASSERT_EQ(Start(), kStarted);
    WindowPlacements[kSlotHomeTheatreBars] = WindowPlacement{600, 200, 300, 0};
    WindowPlacements[kSlotHomeTheatre] = WindowPlacement{0, 0, 900, 600};
    const HWND window = OpenHomeTheatreConfig();
    platform::MoveWindow(window, 0, 0, 900, 600, platform::TRUE);
    input::PumpUntilIdle();
    const ConfigBars bars = Bars(window);
    EXPECT_LE(bars.x1 + kMinBarGap, bars.x2);
    EXPECT_EQ(bars.x1, 600) << "bar 1 stays, bar 2 moves right of it";
    ExpectPanesApart(window);
    // Centre pane between them.
    const platform::RECT centre = PaneRect(network::PaneWindows[1]);
    EXPECT_EQ(centre.left, bars.x1 + 1);
    EXPECT_EQ(centre.right - centre.left, bars.x2 - bars.x1);
}

TEST_F(FrameTest, NarrowHomeTheatreWindowPutsBothBarsAtWidthLessFiftyGui) {
    WritePreferencesFile(dir_, [](PreferencesRecord& r) { r.NoStartWindows = 1; });
    ASSERT_EQ(Start(), kStarted);
    const HWND window = OpenHomeTheatreConfig();
    platform::MoveWindow(window, 0, 0, 90, 400, platform::TRUE);
    input::PumpUntilIdle();
    const int width = ClientWidth(window);
    ASSERT_LT(width, 100);
    const ConfigBars bars = Bars(window);
    EXPECT_EQ(bars.x1, width - 50);
    EXPECT_EQ(bars.x2, width - 50);
    for (HWND pane : network::PaneWindows) {
        if (!pane) continue;
        const platform::RECT r = PaneRect(pane);
        EXPECT_GE(r.right - r.left, 0);
    }
}

TEST_F(FrameTest, QuadroCrossingDragsBothBarsGui) {
    WritePreferencesFile(dir_, [](PreferencesRecord& r) { r.NoStartWindows = 1; });
    ASSERT_EQ(Start(), kStarted);
    WindowPlacements[kSlotQuadroBars] = WindowPlacement{300, 200, 0, 0};
    WindowPlacements[kSlotQuadro] = WindowPlacement{0, 0, 800, 600};
    const HWND window = OpenQuadroConfig();
    platform::MoveWindow(window, 0, 0, 800, 600, platform::TRUE);
    input::PumpUntilIdle();
    ASSERT_EQ(Bars(window).x1, 300);
    ASSERT_EQ(Bars(window).y, 200);
    Drag(window, 300, 200, 400, 250);
    EXPECT_EQ(Bars(window).x1, 400);
    EXPECT_EQ(Bars(window).y, 250);
    EXPECT_EQ(WindowPlacements[kSlotQuadroBars].X, 400);
    EXPECT_EQ(WindowPlacements[kSlotQuadroBars].Y, 250);
    // Bottom row: Rear-Left and Rear-Right below the bar.
    EXPECT_EQ(PaneRect(network::PaneWindows[3]).top, 252);
    EXPECT_EQ(PaneRect(network::PaneWindows[5]).left, 401);
    ExpectPanesApart(window);
}

TEST_F(FrameTest, BbmMiddleCellIsSharedBySubwoofersGui) {
    WritePreferencesFile(dir_, [](PreferencesRecord& r) { r.NoStartWindows = 1; });
    ASSERT_EQ(Start(), kStarted);
    WindowPlacements[kSlotBbmBars] = WindowPlacement{200, 250, 501, 0};
    WindowPlacements[kSlotBbm] = WindowPlacement{0, 0, 900, 600};  // opens at its full size
    const HWND window = OpenBbmConfig();
    platform::MoveWindow(window, 0, 0, 900, 600, platform::TRUE);
    input::PumpUntilIdle();
    const int half = (501 - 200) / 2;
    const platform::RECT sub1 = PaneRect(network::PaneWindows[4]);
    const platform::RECT sub2 = PaneRect(network::PaneWindows[6]);
    EXPECT_EQ(sub1.left, 201);
    EXPECT_EQ(sub1.right - sub1.left, half);
    EXPECT_EQ(sub2.left, 200 + half + 3);
    EXPECT_EQ(sub2.right - sub2.left, half - 2);
    EXPECT_EQ(sub1.top, 252);
    ExpectPanesApart(window);
}

TEST_F(FrameTest, CursorShowsWhichBarIsUnderTheMouseGui) {
    WritePreferencesFile(dir_, [](PreferencesRecord& r) { r.NoStartWindows = 1; });
    ASSERT_EQ(Start(), kStarted);
    WindowPlacements[kSlotQuadroBars] = WindowPlacement{300, 200, 0, 0};
    WindowPlacements[kSlotQuadro] = WindowPlacement{0, 0, 800, 600};
    const HWND window = OpenQuadroConfig();
    input::PumpUntilIdle();
    const platform::HCURSOR we = platform::LoadCursor(platform::HINSTANCE{}, platform::IDC_SIZEWE);
    const platform::HCURSOR ns = platform::LoadCursor(platform::HINSTANCE{}, platform::IDC_SIZENS);
    const platform::HCURSOR arrow =
        platform::LoadCursor(platform::HINSTANCE{}, platform::IDC_ARROW);
    struct CursorCase {
        int x;
        int y;
        platform::HCURSOR cursor;
    };
    // In order: the window sets the cursor only when it changes.
    const CursorCase cases[] = {
        {300, 100, we},     // on the vertical bar
        {150, 100, arrow},  // inside no bar
        {300, 200, we},     // the crossing: the vertical bar wins
        {150, 200, ns},     // on the horizontal bar
        {150, 100, arrow}, {299, 100, we},
        {150, 100, arrow}, {301, 100, we},  // strictly within two pixels
        {302, 100, arrow},                  // two pixels off is off the bar
    };
    for (const CursorCase& c : cases) {
        platform::PostMessage(window, platform::WM_MOUSEMOVE, 0, platform::MAKELPARAM(c.x, c.y));
        input::PumpUntilIdle();
        EXPECT_EQ(platform::GetCursor(), c.cursor) << c.x << ", " << c.y;
    }
}

TEST_F(FrameTest, ConfigurationWindowKeepsItsPlacementSlotGui) {
    ASSERT_EQ(Start(), kStarted);
    const HWND stereo = Splitter1Window;
    platform::MoveWindow(stereo, 30, 40, 500, 400, platform::TRUE);
    input::PumpUntilIdle();
    const WindowPlacement& slot = WindowPlacements[kSlotStereo];
    EXPECT_EQ(slot.X, 30);
    EXPECT_EQ(slot.Y, 40);
    EXPECT_EQ(slot.Width,
              ClientWidth(stereo) + 2 * platform::GetSystemMetrics(platform::SM_CXFRAME));
    EXPECT_EQ(slot.Height, ClientHeight(stereo) +
                               platform::GetSystemMetrics(platform::SM_CYCAPTION) +
                               2 * platform::GetSystemMetrics(platform::SM_CYFRAME));
    EXPECT_EQ(slot.Width, 500) << "the placement round-trips";
    EXPECT_EQ(slot.Height, 400);
}

TEST_F(FrameTest, PlacementBookkeepingResetsPositionsOutsideTheFrameGui) {
    ASSERT_EQ(Start(), kStarted);
    WindowPlacement slot{};
    const int frame = platform::GetSystemMetrics(platform::SM_CXFRAME);
    NotePlacementMove(slot, platform::MAKELPARAM(frame - 1, 5));
    EXPECT_EQ(slot.X, -1) << "a slightly negative x is kept until the next size";
    NotePlacementSize(slot, 100, 100);
    EXPECT_EQ(slot.X, 0);
    NotePlacementMove(slot, platform::MAKELPARAM(FrameClientWidth + frame + 1, 0));
    EXPECT_EQ(slot.X, 0);
    NotePlacementSize(slot, FrameClientWidth + 500, FrameClientHeight + 500);
    EXPECT_EQ(slot.Width, FrameClientWidth);
    EXPECT_EQ(slot.Height, FrameClientHeight);
}

// The SPL plot's heading as the solver's painter drew it into `window` last, or null.
const platform::testing::DrawnText* DrawnHeading(HWND window) {
    const platform::testing::DrawnText* found = nullptr;
    for (const auto& text : platform::testing::DrawnTexts()) {
        if (text.window == window && text.text == "SPL / Phase vs. Frequency") found = &text;
    }
    return found;
}

TEST_F(FrameTest, SplPlotWindowPaintsWithItsClientSizeGui) {
    platform::testing::RecordDrawnTexts(true);
    ASSERT_EQ(Start(), kStarted);
    ASSERT_TRUE(SplPlottingWindow);
    const platform::testing::DrawnText* heading = DrawnHeading(SplPlottingWindow);
    ASSERT_NE(heading, nullptr) << "the solver's painter drew the plot";
    // The painter centres the heading on the width it is given, 80 pixels left of the middle.
    const int width = ClientWidth(SplPlottingWindow);
    EXPECT_GE(heading->ink.left, width / 2 - 80);
    EXPECT_LT(heading->ink.left, width / 2 - 80 + 12);
    EXPECT_EQ(heading->client.right - heading->client.left, width);
    EXPECT_EQ(heading->client.bottom - heading->client.top, ClientHeight(SplPlottingWindow));
    EXPECT_EQ(WindowTitle(SplPlottingWindow), solver::SplPlotTitle()) << "the painter's title";
    platform::testing::RecordDrawnTexts(false);

    platform::MoveWindow(SplPlottingWindow, 10, 10, 640, 480, platform::TRUE);
    EXPECT_EQ(WindowTitle(SplPlottingWindow), "Quorvex Equalizer Frequency Domain");
    input::PumpUntilIdle();
    EXPECT_EQ(SplPlotWidth, ClientWidth(SplPlottingWindow));
    EXPECT_EQ(SplPlotHeight, ClientHeight(SplPlottingWindow));
    EXPECT_EQ(WindowPlacements[kSlotSplPlotting].Width, 640);
    // A move alone retitles it too.
    platform::SetWindowText(SplPlottingWindow, "painted");
    platform::SendMessage(SplPlottingWindow, platform::WM_MOVE, 0, platform::MAKELPARAM(30, 40));
    EXPECT_EQ(WindowTitle(SplPlottingWindow), "Quorvex Equalizer Frequency Domain");

    const HWND plot = SplPlottingWindow;
    platform::SendMessage(MdiClientWindow, platform::WM_MDIDESTROY,
                          static_cast<platform::WPARAM>(plot.value), 0);
    EXPECT_FALSE(SplPlottingWindow);
}

// With the diffraction plot open beside it, the SPL plot draws at its own size however the
// diffraction plot's window is sized: what it shows is what it showed before.
TEST_F(FrameTest, SplPlotDrawsAtItsOwnSizeBesideTheDiffractionPlotGui) {
    ASSERT_EQ(Start(), kStarted);
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdDiffractionModel));
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdStereo5Way));  // keeps the diffraction
    input::PumpUntilIdle();
    ASSERT_TRUE(platform::IsWindow(DiffractionChildWindow));
    input::Click(ComponentCADSelectionDialog, kFrontLeftButton);  // shows the SPL plot
    ASSERT_TRUE(platform::IsWindow(SplPlottingWindow));
    platform::MoveWindow(SplPlottingWindow, 0, 0, 900, 600, platform::TRUE);
    input::PumpUntilIdle();
    const std::vector<std::uint32_t> own = ShownPixels(SplPlottingWindow);
    ASSERT_GT(own.size(), 300000u);
    for (const auto& [w, h] : {std::pair{300, 220}, std::pair{1300, 760}}) {
        SCOPED_TRACE(::testing::Message() << "diffraction plot " << w << "x" << h);
        platform::MoveWindow(DiffractionChildWindow, 20, 20, w, h, platform::TRUE);
        input::PumpUntilIdle();
        platform::InvalidateRect(SplPlottingWindow, nullptr, platform::TRUE);
        input::PumpUntilIdle();
        const std::vector<std::uint32_t> shown = ShownPixels(SplPlottingWindow);
        ASSERT_EQ(shown.size(), own.size());
        std::size_t differing = 0;
        for (std::size_t i = 0; i < own.size(); ++i) differing += shown[i] != own[i];
        EXPECT_EQ(differing, 0u) << "pixels of the SPL plot drawn at another size";
    }
}

// Pixels of a channel title's colour in the title corner of a pane (its lower left).
int TitlePixels(HWND pane, platform::COLORREF colour) {
    platform::UpdateWindow(pane);
    platform::RECT c{};
    platform::GetClientRect(pane, &c);
    const platform::HDC dc = platform::GetDC(pane);
    int count = 0;
    for (int y = c.bottom - 32; y < c.bottom; ++y)
        for (int x = 0; x < 200; ++x) count += platform::GetPixel(dc, x, y) == colour;
    platform::ReleaseDC(pane, dc);
    return count;
}

// The channel the SPL plot names under its curves.
std::string PlottedChannelName() {
    platform::testing::RecordDrawnTexts(true);
    platform::InvalidateRect(SplPlottingWindow, nullptr, platform::TRUE);
    platform::UpdateWindow(SplPlottingWindow);
    std::string name;
    for (const auto& t : platform::testing::DrawnTexts())
        for (int pane = 0; pane <= 7 && t.window == SplPlottingWindow; ++pane)
            if (t.text == solver::ChannelName(pane)) name = t.text;
    platform::testing::RecordDrawnTexts(false);
    return name;
}

// One red channel title, the channel in use, whichever road made it the one in use and whether
// or not the check took its network; every other title is green. The SPL plot names the channel
// whose solve its curves show.
TEST_F(FrameTest, OnlyTheChannelInUseHasARedTitleGui) {
    ASSERT_EQ(Start(), kStarted);
    ASSERT_TRUE(platform::IsWindow(Splitter1Window));
    const HWND player = ComponentCADSelectionDialog;
    const HWND panes[2] = {network::PaneWindows[0], network::PaneWindows[2]};
    ASSERT_TRUE(platform::IsWindow(panes[0]) && platform::IsWindow(panes[1]));
    struct Step {
        const char* what;
        std::function<void()> act;
        int red;              // index into panes
        const char* plotted;  // the channel the SPL plot names
    };
    const Step steps[] = {
        {"Front Left", [&] { input::Click(player, kFrontLeftButton); }, 0, "Front-Left"},
        {"Front Right", [&] { input::Click(player, kFrontRightButton); }, 1, "Front-Right"},
        {"a right click in Front-Left",
         [&] {
             platform::BringWindowToTop(Splitter1Window);
             platform::RECT c{};
             platform::GetClientRect(panes[0], &c);
             input::MouseClick(panes[0], c.right - 10, c.bottom - 10, input::Button::Right);
         },
         0, "Front-Right"},
        {"Front Right, its network refused",
         [&] {
             // A terminal on no node: "Network Disjoined".
             PaneStores[2].ElementGeometry[1].node2 = -1;
             input::Click(player, kFrontRightButton);
             ASSERT_EQ(platform::testing::MessageBoxLog().size(), 1u) << "the check refused it";
         },
         1, "Front-Right"},
        {"Front Left again", [&] { input::Click(player, kFrontLeftButton); }, 0, "Front-Left"},
        {"Front Right refused again", [&] { input::Click(player, kFrontRightButton); }, 1,
         "Front-Left"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        platform::testing::ClearMessageBoxLog();
        step.act();
        input::PumpUntilIdle();
        for (int p = 0; p < 2; ++p) {
            const bool in_use = p == step.red;
            EXPECT_EQ(TitlePixels(panes[p], platform::RGB(228, 0, 0)) > 20, in_use) << "pane " << p;
            EXPECT_EQ(TitlePixels(panes[p], platform::RGB(0, 128, 0)) > 20, !in_use)
                << "pane " << p;
        }
        EXPECT_EQ(PlottedChannelName(), step.plotted);
    }
}

}  // namespace
}  // namespace shell::test

namespace shell::test {
namespace {

// A stored rectangle is fitted into the frame's client area when the window opens: one that
// fits stays, one too large shrinks with its proportions kept, one past the edges moves inside.
TEST_F(FrameTest, StoredRectanglesAreFittedIntoTheFrameClientGui) {
    ASSERT_EQ(Start(), kStarted);
    platform::RECT client{};
    ASSERT_TRUE(platform::GetClientRect(MdiClientWindow, &client));
    const int cw = client.right;
    const int ch = client.bottom;
    ASSERT_GT(cw, 200);
    ASSERT_GT(ch, 200);
    struct Case {
        const char* what;
        WindowPlacement stored;
        WindowPlacement expected;
    };
    const int w = cw / 2;
    const int h = ch / 2;
    const Case cases[] = {
        {"fits", {10, 20, w, h}, {10, 20, w, h}},
        {"past the right edge", {cw - w / 2, 5, w, h}, {cw - w, 5, w, h}},
        {"past the bottom edge", {5, ch - 10, w, h}, {5, ch - h, w, h}},
        {"twice as high as the client", {30, 0, h, 2 * ch}, {30, 0, h / 2, ch}},
        {"twice as wide as the client", {0, 40, 2 * cw, h}, {0, 40, cw, h / 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (Splitter1Window) platform::SendMessage(Splitter1Window, platform::WM_CLOSE, 0, 0);
        platform::testing::PumpUntilIdle();
        ASSERT_FALSE(platform::IsWindow(Splitter1Window));
        WindowPlacements[kSlotStereo] = c.stored;
        ASSERT_TRUE(OpenStereoConfig());
        platform::testing::PumpUntilIdle();
        platform::RECT r{};
        platform::GetWindowRect(Splitter1Window, &r);
        platform::POINT origin{0, 0};
        platform::ClientToScreen(MdiClientWindow, &origin);
        EXPECT_EQ(r.left - origin.x, c.expected.X);
        EXPECT_EQ(r.top - origin.y, c.expected.Y);
        EXPECT_NEAR(r.right - r.left, c.expected.Width, 1);
        EXPECT_NEAR(r.bottom - r.top, c.expected.Height, 1);
    }
}

}  // namespace
}  // namespace shell::test
