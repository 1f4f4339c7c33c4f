// The "System Design + Player" dialog driven through its controls: initialisation, tool buttons,
// palette, channel buttons (and their refusal while audio runs), check boxes, the volume bar and
// its read-out, the owner-drawn Play and STOP buttons, Clear Plots and closing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/Engine.h"
#include "engine/Globals.h"
#include "engine/Ids.h"
#include "engine/Meters.h"
#include "engine/PlayerDialog.h"
#include "network/EditorState.h"
#include "network/Ids.h"
#include "network/PaneDrawing.h"
#include "network/PaneEditor.h"
#include "network/Templates.h"
#include "network/WorkingNetwork.h"
#include "platform/gdi/Gdi.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"
#include "shell/FrameGlobals.h"
#include "shell/FrequencyGrid.h"
#include "shell/GdiObjects.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"
#include "solver/Globals.h"
#include "tests/engine/EngineTestSupport.h"

namespace engine {
namespace {

using platform::COLORREF;
using platform::HWND;
using platform::RGB;
using platform::testing::Click;

COLORREF PixelOf(HWND hwnd, int x, int y) {
    const platform::HDC hdc = platform::GetDC(hwnd);
    const COLORREF c = platform::GetPixel(hdc, x, y);
    platform::ReleaseDC(hwnd, hdc);
    return c;
}

int CountColour(HWND hwnd, int x0, int y0, int x1, int y1, COLORREF colour) {
    const platform::HDC hdc = platform::GetDC(hwnd);
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) count += platform::GetPixel(hdc, x, y) == colour;
    platform::ReleaseDC(hwnd, hdc);
    return count;
}

bool Checked(HWND dialog, int id) {
    return platform::IsDlgButtonChecked(dialog, id) == platform::BST_CHECKED;
}

class PlayerDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static bool allocated = false;
        if (!allocated) {
            ASSERT_EQ(shell::AllocMainBuffers(), 0);
            ASSERT_EQ(shell::AllocCurveBuffers(), 0);
            ASSERT_EQ(shell::AllocDspBuffers(), 0);
            allocated = true;
        }
        platform::testing::ResetLayer();
        platform::testing::ClearMessageBoxLog();
        engine::test::ResetFolders();
        network::ClearAllPaneStores();
        resources::RegisterAll();
        shell::DeleteGdiObjects();
        ASSERT_EQ(shell::CreateGdiObjects(), 0);
    }

    void TearDown() override {
        if (platform::IsWindow(dialog_)) platform::DestroyWindow(dialog_);
    }

    void Open() {
        dialog_ = platform::CreateDialog(platform::HINSTANCE{}, kPlayerDialogTemplate,
                                         platform::HWND{}, SystemDesignPlayerDlgProc);
        ASSERT_TRUE(dialog_);
        shell::ComponentCADSelectionDialog = dialog_;
        // The creator moves and shows it.
        platform::ShowWindow(dialog_, platform::SW_SHOW);
        platform::testing::PumpUntilIdle();
    }

    HWND MakePane(int pane) {
        network::RegisterPaneClasses(platform::HINSTANCE{});
        const std::string cls = "Pane " + std::to_string(pane);
        const HWND hwnd =
            platform::CreateWindow(cls.c_str(), "Child", platform::WS_VISIBLE, 0, 0, 300, 200,
                                   HWND{}, platform::HMENU{}, platform::HINSTANCE{}, nullptr);
        return hwnd;
    }

    HWND dialog_;
};

TEST_F(PlayerDialogTest, InitialisationReadsTheSettings) {
    shell::Preferences->BufferSizeIndex = 1;
    network::ShowNodes = 1;
    network::ShowRaster = 0;
    shell::Project.Settings.UseHbtData = 1;
    shell::Project.Settings.SplOnlyEq = 0;
    shell::WideWindow = 1;
    shell::Project.Settings.VolumeSliderPosition = 40;
    shell::Project.Settings.BbmLevel = 0.5f;
    network::CopySpeakerFlags[3] = 1;
    network::WorkingNetwork.ToolMode = network::kToolWipeComp;
    Open();
    EXPECT_EQ(shell::BlockFrames, 2048);
    EXPECT_EQ(shell::BlockFrames4, 8192);
    EXPECT_FLOAT_EQ(shell::FrequencyGrid[0], 10.0f);
    EXPECT_NEAR(shell::FrequencyGrid[1999], 49787.5f, 1.0f);
    EXPECT_TRUE(Checked(dialog_, network::kShowNodesCheck));
    EXPECT_FALSE(Checked(dialog_, network::kShowRasterCheck));
    EXPECT_TRUE(Checked(dialog_, 4900));
    EXPECT_FALSE(Checked(dialog_, 4910));
    EXPECT_TRUE(Checked(dialog_, 20011));
    EXPECT_TRUE(Checked(dialog_, network::kWipeCompButton));
    EXPECT_FALSE(Checked(dialog_, network::kDrawButton));
    EXPECT_EQ(platform::GetScrollPos(platform::GetDlgItem(dialog_, 5020), platform::SB_CTL), 40);
    EXPECT_FLOAT_EQ(MasterGain, static_cast<float>(std::pow(10.0, (40 - 51) * 0.05)));
    char title[64] = {};
    platform::GetWindowText(dialog_, title, sizeof title);
    EXPECT_STREQ(title, "BBM -6.0dB ");
    EXPECT_EQ(network::CopySpeakerFlags[0], 1);
    EXPECT_EQ(network::CopySpeakerFlags[9], 1);
    EXPECT_EQ(network::CopySpeakerFlags[3], 1) << "other flags keep their values";
}

TEST_F(PlayerDialogTest, FullBbmLevelGivesZeroDecibelsInTheTitle) {
    shell::Project.Settings.BbmLevel = 1.0f;
    Open();
    char title[64] = {};
    platform::GetWindowText(dialog_, title, sizeof title);
    EXPECT_STREQ(title, "BBM 0.0dB ");
}

// A tool button sets the tool everywhere; a channel button then restores the channel's store with
// the tool it was saved with (none for an empty one), and the ticked box follows it.
TEST_F(PlayerDialogTest, ToolButtonsSetTheToolEverywhere) {
    shell::PaneStores[0].ToolMode = network::kToolDraw;
    shell::PaneStores[3].ToolMode = network::kToolMove;
    Open();
    struct Case {
        int id, mode, channel, restored;
    };
    const Case cases[] = {{network::kMoveButton, 5, network::kFrontLeftButton, 1},
                          {network::kWipeCompButton, 6, network::kRearLeftButton, 5},
                          {network::kWipeWireButton, 8, network::kCentreButton, 0},
                          {network::kDrawButton, 1, network::kFrontLeftButton, 1}};
    const auto ticked = [&](int mode) {
        for (const auto& b : cases) EXPECT_EQ(Checked(dialog_, b.id), b.mode == mode) << b.id;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.id << " then " << c.channel);
        shell::WorkingNetwork.ElementGeometry[5].moveFlag = 1;
        shell::WorkingNetwork.Wire[7].moveMark = 3;
        Click(dialog_, c.id);
        EXPECT_EQ(network::ToolMode, c.mode);
        for (int k = 0; k < shell::kPaneCount; ++k) EXPECT_EQ(shell::PaneToolModes[k], c.mode);
        ticked(c.mode);
        const bool move = c.mode == network::kToolMove;
        EXPECT_EQ(shell::WorkingNetwork.ElementGeometry[5].moveFlag, move ? 0 : 1);
        EXPECT_EQ(shell::WorkingNetwork.Wire[7].moveMark, move ? 0 : 3);
        Click(dialog_, c.channel);
        EXPECT_EQ(network::ToolMode, c.restored);
        ticked(c.restored);
    }
    shell::AudioBusy = 1;
    Click(dialog_, network::kWipeWireButton);
    EXPECT_EQ(network::ToolMode, network::kToolDraw);
    EXPECT_TRUE(Checked(dialog_, network::kDrawButton));
}

TEST_F(PlayerDialogTest, PaletteKindsByBand) {
    struct Case {
        int x, y, kind;
    };
    const Case cases[] = {{20, 1, 1},   {20, 39, 1},  {20, 41, 2}, {1, 100, 3},  {39, 150, 4},
                          {20, 199, 5}, {20, 239, 6}, {20, 40, 0}, {20, 200, 0}, {0, 20, 0},
                          {40, 20, 0},  {20, 0, 0},   {20, 240, 0}};
    for (const auto& c : cases) EXPECT_EQ(PaletteKindAt(c.x, c.y), c.kind) << c.x << "," << c.y;
}

TEST_F(PlayerDialogTest, PaletteClickChoosesAndHighlightsTheCell) {
    Open();
    const HWND palette = platform::GetDlgItem(dialog_, network::kElementPalette);
    ASSERT_TRUE(palette);
    Click(dialog_, network::kMoveButton);
    platform::testing::MouseClick(dialog_, 20, 100);
    EXPECT_EQ(network::PendingElementKind, shell::kElementFilter);
    EXPECT_EQ(network::ElementPending, 1);
    EXPECT_EQ(network::WireDragActive, 0);
    EXPECT_EQ(network::ToolMode, network::kToolDraw);
    EXPECT_TRUE(Checked(dialog_, network::kDrawButton));
    const COLORREF cyan = RGB(0, 255, 255);
    EXPECT_EQ(PixelOf(palette, 3, 83), cyan) << "chosen cell filled";
    EXPECT_NE(PixelOf(palette, 3, 3), cyan) << "other cells not";
    // On a border the kind pending before stays, and Draw is still chosen.
    Click(dialog_, network::kWipeWireButton);
    network::ElementPending = 0;
    platform::testing::MouseClick(dialog_, 20, 40);
    EXPECT_EQ(network::PendingElementKind, shell::kElementFilter);
    EXPECT_EQ(network::ElementPending, 1);
    EXPECT_EQ(network::ToolMode, network::kToolDraw);
    // Outside the palette nothing happens; nor while audio runs.
    network::ElementPending = 0;
    platform::testing::MouseClick(dialog_, 100, 100);
    EXPECT_EQ(network::ElementPending, 0);
    shell::AudioBusy = 1;
    platform::testing::MouseClick(dialog_, 20, 220);
    EXPECT_EQ(network::ElementPending, 0);
    EXPECT_EQ(network::PendingElementKind, shell::kElementFilter);
}

TEST_F(PlayerDialogTest, ShowNodesAndRasterToggleAndRepaintThePanes) {
    Open();
    const HWND pane = MakePane(2);
    platform::testing::PumpUntilIdle();
    EXPECT_NE(PixelOf(pane, 10, 10), RGB(112, 112, 112));
    Click(dialog_, network::kShowRasterCheck);
    EXPECT_EQ(network::ShowRaster, 1);
    EXPECT_TRUE(Checked(dialog_, network::kShowRasterCheck));
    EXPECT_EQ(PixelOf(pane, 10, 10), RGB(112, 112, 112)) << "the pane was repainted";
    Click(dialog_, network::kShowNodesCheck);
    Click(dialog_, network::kShowNodesCheck);
    EXPECT_EQ(network::ShowNodes, 0);
    EXPECT_FALSE(Checked(dialog_, network::kShowNodesCheck));
    // While audio runs the editor's boxes refuse; Wide Window and Play WAV File do not.
    shell::AudioBusy = 1;
    const int use_hbt = shell::Project.Settings.UseHbtData;
    const int spl_only = shell::Project.Settings.SplOnlyEq;
    Click(dialog_, network::kShowNodesCheck);
    Click(dialog_, 4900);
    Click(dialog_, 20011);
    Click(dialog_, 4911);
    EXPECT_EQ(network::ShowNodes, 0);
    EXPECT_EQ(shell::Project.Settings.UseHbtData, use_hbt);
    EXPECT_EQ(shell::WideWindow, 1);
    EXPECT_EQ(PlayWavMode, 1);
    EXPECT_TRUE(Checked(dialog_, 20011));
    shell::AudioBusy = 0;
    Click(dialog_, 4900);
    Click(dialog_, 4910);
    EXPECT_EQ(shell::Project.Settings.UseHbtData, 1 - use_hbt);
    EXPECT_EQ(shell::Project.Settings.SplOnlyEq, 1 - spl_only);
    EXPECT_EQ(Checked(dialog_, 4900), use_hbt == 0);
    EXPECT_EQ(Checked(dialog_, 4910), spl_only == 0);
}

// A marker pixel on every pane: a repaint of the pane removes it.
constexpr COLORREF kMarker = RGB(255, 0, 255);
void MarkPanes(const HWND* panes) {
    for (int k = 0; k < 7; ++k) {
        const platform::HDC hdc = platform::GetDC(panes[k]);
        platform::SetPixel(hdc, 5, 5, kMarker);
        platform::ReleaseDC(panes[k], hdc);
    }
}

// A small network for pane `pane`: input port 1 -> Butterworth low pass -> output port `port`
// with its cold side on ground; node numbers and the painter's derived nodes written.
void StoreSimpleNetwork(int pane, float port) {
    network::ClearWorkingNetwork();
    shell::NetworkTables& net = shell::WorkingNetwork;
    const auto put = [&](int slot, int kind, int x1, int y1, int x2, int y2, int n1, int n2) {
        auto& g = net.ElementGeometry[slot];
        g.kind = kind;
        g.x1 = x1;
        g.y1 = y1;
        g.x2 = x2;
        g.y2 = y2;
        g.node1 = n1;
        g.node2 = n2;
    };
    put(0, shell::kElementInputNode, 20, 50, 20, 50, 0, 0);
    put(1, shell::kElementFilter, 40, 50, 80, 50, 0, 1);
    put(2, shell::kElementOutputPort, 120, 50, 120, 90, 1, 2);
    put(3, shell::kElementGround, 120, 120, 120, 120, 2, 2);
    net.ElementCount = 4;
    net.WMatrixOrder = 3;
    net.ElementParams[0][shell::kParamInputPort] = 1.0f;
    net.ElementParams[0][shell::kParamInputNodeNumber] = 0.0f;
    net.ElementParams[1][shell::kParamFamily] = 1.0f;
    net.ElementParams[1][shell::kParamSlope] = 1.0f;
    net.ElementParams[1][shell::kParamBypass] = 0.0f;
    net.ElementParams[2][shell::kParamOutputPort] = port;
    net.ElementParams[2][shell::kParamHotNode] = 1.0f;
    network::SavePaneStore(pane);
}

TEST_F(PlayerDialogTest, ChannelButtonsActivateRestoreSolveAndRepaint) {
    StoreSimpleNetwork(2, 3.0f);
    StoreSimpleNetwork(4, 4.0f);
    network::ClearWorkingNetwork();
    Open();
    HWND panes[7];
    for (int k = 1; k <= 7; ++k) panes[k - 1] = MakePane(k);
    platform::testing::PumpUntilIdle();
    platform::testing::ClearMessageBoxLog();

    MarkPanes(panes);
    shell::AudioBusy = 1;
    Click(dialog_, network::kCentreButton);
    EXPECT_EQ(network::ActivePane, 0) << "refused while audio runs";
    shell::AudioBusy = 0;

    Click(dialog_, network::kCentreButton);
    EXPECT_EQ(network::ActivePane, 2);

    EXPECT_EQ(shell::WorkingNetwork.ElementCount, 4);
    EXPECT_EQ(shell::WorkingNetwork.ElementParams[2][shell::kParamOutputPort], 3.0f);
    EXPECT_TRUE(platform::testing::MessageBoxLog().empty())
        << platform::testing::MessageBoxLog()[0].text;
    for (int k = 1; k <= 7; ++k) {
        EXPECT_EQ(PixelOf(panes[k - 1], 5, 5) != kMarker, k == 2) << "pane " << k << " repainted";
    }
    MarkPanes(panes);
    Click(dialog_, network::kRearLeftButton);
    EXPECT_EQ(network::ActivePane, 4);
    for (int k = 1; k <= 7; ++k) {
        EXPECT_NE(PixelOf(panes[k - 1], 5, 5), kMarker) << "pane " << k << " repainted";
    }
}

TEST_F(PlayerDialogTest, ARefusedNetworkStopsTheChannelButtonAfterTheCheck) {
    StoreSimpleNetwork(3, 0.0f);  // port 0 was never assigned: the check refuses it
    Open();
    const HWND pane = MakePane(3);
    platform::testing::PumpUntilIdle();
    platform::testing::ClearMessageBoxLog();
    const HWND panes[7] = {pane, pane, pane, pane, pane, pane, pane};
    MarkPanes(panes);
    Click(dialog_, network::kFrontRightButton);
    EXPECT_EQ(network::ActivePane, 3);
    EXPECT_FALSE(platform::testing::MessageBoxLog().empty());
    // Refused or not, the channel is the one in use now: its pane repaints its title red.
    EXPECT_NE(PixelOf(pane, 5, 5), kMarker) << "the pane in use is repainted";
}

TEST_F(PlayerDialogTest, VolumeBarSteps) {
    Open();
    struct Case {
        int start;
        platform::UINT code;
        int track;
        int expected;
    };
    const Case cases[] = {
        {0, platform::SB_LINELEFT, 0, 0},      {0, platform::SB_LINERIGHT, 0, 1},
        {65, platform::SB_PAGERIGHT, 0, 66},   {10, platform::SB_PAGELEFT, 0, 7},
        {30, platform::SB_LEFT, 0, 0},         {30, platform::SB_RIGHT, 0, 66},
        {30, platform::SB_THUMBTRACK, 51, 51}, {2, platform::SB_PAGELEFT, 0, 0},
    };
    for (const auto& c : cases) {
        SetVolumePosition(dialog_, c.start);
        platform::testing::Scroll(dialog_, 5020, c.code, c.track);
        const int position = shell::Project.Settings.VolumeSliderPosition;
        EXPECT_EQ(position, c.expected) << "from " << c.start << " code " << c.code;
        double gain = std::pow(10.0, (position - 51) * 0.05);
        if (gain < 0.003) gain = 0.0;
        EXPECT_FLOAT_EQ(MasterGain, static_cast<float>(gain));
        EXPECT_EQ(platform::GetScrollPos(platform::GetDlgItem(dialog_, 5020), platform::SB_CTL),
                  c.expected);
    }
    platform::testing::Scroll(dialog_, 5020, platform::SB_LEFT);
    EXPECT_EQ(MasterGain, 0.0f) << "position 0 mutes";
}

TEST_F(PlayerDialogTest, GainReadoutIsBlackOnYellowOverCyan) {
    Open();
    platform::testing::Scroll(dialog_, 5020, platform::SB_THUMBTRACK, 51);
    platform::testing::PumpUntilIdle();
    const HWND readout = platform::GetDlgItem(dialog_, 30);
    EXPECT_GT(CountColour(readout, 0, 0, 220, 19, RGB(255, 255, 0)), 50) << "yellow text cells";
    EXPECT_GT(CountColour(readout, 0, 0, 220, 19, RGB(0, 0, 0)), 20) << "black text";
    EXPECT_EQ(PixelOf(readout, 219, 18), RGB(0, 255, 255)) << "cyan background";
}

TEST_F(PlayerDialogTest, PlayAndStopButtonsAreOwnerDrawn) {
    Open();
    platform::InvalidateRect(dialog_, nullptr, 1);
    platform::testing::PumpUntilIdle();
    const HWND play = platform::GetDlgItem(dialog_, 5000);
    const HWND stop = platform::GetDlgItem(dialog_, 5010);
    EXPECT_EQ(PixelOf(play, 4, 30), RGB(255, 255, 0));
    EXPECT_EQ(PixelOf(stop, 4, 30), RGB(0, 255, 255));
    EXPECT_EQ(PixelOf(play, 20, 36), RGB(0, 0, 0)) << "shadow edge";
    EXPECT_EQ(PixelOf(play, 45, 20), RGB(0, 0, 0)) << "shadow edge";
    EXPECT_GT(CountColour(play, 8, 10, 40, 26, RGB(0, 0, 0)), 10) << "PLAY text";
}

// The texts of Play and STOP end inside the face, before the shadow edge at x = 45: in the
// button's font, and on the pixels (a column of bare face is left between text and edge).
TEST_F(PlayerDialogTest, PlayAndStopTextsShowWhole) {
    Open();
    platform::InvalidateRect(dialog_, nullptr, 1);
    platform::testing::PumpUntilIdle();
    struct Button {
        int id;
        const char* text;
        COLORREF face;
    };
    const Button buttons[] = {{5000, "PLAY", RGB(255, 255, 0)}, {5010, "STOP", RGB(0, 255, 255)}};
    for (const Button& b : buttons) {
        const HWND button = platform::GetDlgItem(dialog_, b.id);
        ASSERT_TRUE(button);
        const platform::HDC hdc = platform::GetDC(button);
        platform::SIZE extent{};
        platform::GetTextExtentPoint32(hdc, b.text, 4, &extent);
        EXPECT_LT(8 + extent.cx, 45) << b.text;
        int rightmost = -1;
        for (int y = 3; y < 34; ++y)
            for (int x = 0; x < 45; ++x)
                if (platform::GetPixel(hdc, x, y) != b.face) rightmost = std::max(rightmost, x);
        platform::ReleaseDC(button, hdc);
        EXPECT_GT(rightmost, 8) << b.text << " is drawn";
        EXPECT_LT(rightmost, 44) << b.text << " runs into the edge";
    }
}

TEST_F(PlayerDialogTest, ClearPlotsEmptiesCurvesAndSpectra) {
    Open();
    shell::CurveRecord* curve = shell::SystemCurveTable[5];
    curve->v[100] = 3.0f;
    curve->v[shell::kCurveVisible] = 1.0f;
    curve->v[shell::kCurvePenStyle] = 7.0f;
    shell::FirSpectrumTables[0][3][10] = shell::ComplexPoint{1.0f, 1.0f};
    shell::FirSpectrumTables[1][3][10] = shell::ComplexPoint{2.0f, 2.0f};
    shell::FirSpectrumTables[0][3][131072] = shell::ComplexPoint{5.0f, 5.0f};
    shell::AudioBusy = 1;
    Click(dialog_, network::kClearPlotsButton);
    EXPECT_EQ(curve->v[100], 3.0f) << "refused while audio runs";
    shell::AudioBusy = 0;
    Click(dialog_, network::kClearPlotsButton);
    EXPECT_EQ(curve->v[100], 0.0f);
    EXPECT_EQ(curve->v[shell::kCurveVisible], 0.0f);
    EXPECT_EQ(curve->v[shell::kCurvePenStyle], 7.0f) << "pen fields stay";
    EXPECT_EQ(shell::FirSpectrumTables[0][3][10].re, 0.0f);
    EXPECT_EQ(shell::FirSpectrumTables[1][3][10].re, 1e-7f);
    EXPECT_EQ(shell::FirSpectrumTables[1][3][10].im, 0.0f);
    EXPECT_EQ(shell::FirSpectrumTables[0][3][131072].re, 5.0f) << "only the first 131,072 points";
    EXPECT_FALSE(shell::SplPlottingWindow) << "no plot window is opened";
}

TEST_F(PlayerDialogTest, ClosingClearsTheHandle) {
    Open();
    platform::SendMessage(dialog_, platform::WM_CLOSE, 0, 0);
    platform::testing::PumpUntilIdle();
    EXPECT_FALSE(shell::ComponentCADSelectionDialog);
    EXPECT_FALSE(platform::IsWindow(dialog_));
}

TEST_F(PlayerDialogTest, CurveSelectionRechecksOnlyAfterDone) {
    StoreSimpleNetwork(1, 0.0f);  // an unassigned port: every check of it complains
    Open();
    int modal_during = -1;
    platform::testing::OnModalDialog("Quorvex_Linearizer_Plots", [&](HWND plots) {
        modal_during = shell::ModalDialogOpen;
        Click(plots, platform::IDCANCEL);
    });
    platform::testing::ClearMessageBoxLog();
    Click(dialog_, network::kCurveSelectionButton);
    EXPECT_EQ(modal_during, 1);
    EXPECT_EQ(shell::ModalDialogOpen, 0);
    EXPECT_TRUE(platform::testing::MessageBoxLog().empty()) << "Cancel recomputes nothing";
    // Before any channel button there is no channel to check.
    network::ActivePane = 0;
    platform::testing::OnModalDialog("Quorvex_Linearizer_Plots",
                                     [](HWND plots) { Click(plots, platform::IDOK); });
    Click(dialog_, network::kCurveSelectionButton);
    EXPECT_TRUE(platform::testing::MessageBoxLog().empty()) << "no channel on show";
    network::ActivePane = 1;
    platform::testing::OnModalDialog("Quorvex_Linearizer_Plots",
                                     [](HWND plots) { Click(plots, platform::IDOK); });
    Click(dialog_, network::kCurveSelectionButton);
    EXPECT_EQ(platform::testing::MessageBoxLog().size(), 1u) << "Done reruns the check";
    EXPECT_EQ(shell::ModalDialogOpen, 0);
    shell::AudioBusy = 1;
    Click(dialog_, network::kCurveSelectionButton);
    EXPECT_EQ(platform::testing::PendingModalActions(), 0u);
    EXPECT_EQ(platform::testing::MessageBoxLog().size(), 1u) << "refused while audio runs";
}

// After a load the panes are inactive, but the working tables still hold the channel last shown:
// Done checks it again and the plot shows the families just chosen.
TEST_F(PlayerDialogTest, CurveSelectionAfterALoadRebuildsTheVisibleCurves) {
    StoreSimpleNetwork(1, 2.0f);
    network::RestorePaneStore(1);
    network::ActivePane = 0;  // as a load leaves it
    for (std::int32_t& flag : shell::PlotFamilyFlags) flag = 0;
    Open();
    platform::testing::ClearMessageBoxLog();
    platform::testing::OnModalDialog("Quorvex_Linearizer_Plots", [](HWND plots) {
        Click(plots, 4800);  // "Measured Loudspeaker Driver ": flag 1, Driver SPL
        Click(plots, platform::IDOK);
    });
    Click(dialog_, network::kCurveSelectionButton);
    EXPECT_TRUE(platform::testing::MessageBoxLog().empty());
    EXPECT_EQ(shell::PlotFamilyFlags[1], 1);
    EXPECT_EQ(shell::SystemCurveTable[16 + 1]->v[shell::kCurveVisible], 1.0f)
        << "output 2's driver SPL is shown";
    EXPECT_EQ(shell::SystemCurveTable[0 + 1]->v[shell::kCurveVisible], 0.0f)
        << "its filter SPL is not";
}

TEST_F(PlayerDialogTest, TestTonesRunsModally) {
    Open();
    int modal_during = -1;
    platform::testing::OnModalDialog("QUORVEX_LINEARIZER_TEST_TONES", [&](HWND tones) {
        modal_during = shell::ModalDialogOpen;
        Click(tones, platform::IDOK);
    });
    Click(dialog_, 4811);
    EXPECT_EQ(modal_during, 1);
    EXPECT_EQ(shell::ModalDialogOpen, 0);
    EXPECT_EQ(platform::testing::PendingModalActions(), 0u);
}

TEST_F(PlayerDialogTest, MovingTheDialogKeepsItsPlacement) {
    Open();
    shell::FrameClientWidth = 800;
    shell::FrameClientHeight = 600;
    const int edge_x = platform::GetSystemMetrics(platform::SM_CXEDGE);
    const int edge_y = platform::GetSystemMetrics(platform::SM_CYEDGE);
    const int caption = platform::GetSystemMetrics(platform::SM_CYCAPTION);
    const shell::WindowPlacement& slot = shell::WindowPlacements[6];
    platform::SendMessage(dialog_, platform::WM_MOVE, 0, platform::MAKELPARAM(300, 200));
    EXPECT_EQ(slot.X, 300 - edge_x - 1);
    EXPECT_EQ(slot.Y, 200 - caption - edge_y - 1);
    platform::SendMessage(dialog_, platform::WM_MOVE, 0, platform::MAKELPARAM(900, 700));
    EXPECT_EQ(slot.X, 0) << "beyond the frame's client width";
    EXPECT_EQ(slot.Y, 0) << "beyond the frame's client height";
}

// The meters read true on the dialog's own controls: a full-scale input bar ends on the 0 dB
// line, each scale label stands where an input bar of its level ends (within 3 dB), and both clip
// marks show whole, as in a meter with room to spare.
TEST_F(PlayerDialogTest, MetersReadTrueOnTheDialogsControls) {
    Open();
    const HWND in = platform::GetDlgItem(dialog_, kInputMeterControl);
    const HWND out = platform::GetDlgItem(dialog_, kOutputMeterControl);
    const HWND roomy =
        platform::CreateWindow("STATIC", "", platform::WS_VISIBLE, 0, 0, 200, 300, HWND{},
                               platform::HMENU{}, platform::HINSTANCE{}, nullptr);
    ASSERT_TRUE(roomy);
    // Of bar 1's column: the first row in `colour` (-1 for none), and how many rows are.
    const auto rows_of = [](HWND meter, COLORREF colour, int* count) {
        platform::RECT c{};
        platform::GetClientRect(meter, &c);
        const platform::HDC dc = platform::GetDC(meter);
        int first = -1;
        *count = 0;
        for (int y = 0; y < c.bottom; ++y) {
            if (platform::GetPixel(dc, 4, y) != colour) continue;
            if (first < 0) first = y;
            ++*count;
        }
        platform::ReleaseDC(meter, dc);
        return first;
    };
    // Where input bar 1 ends at `db` dB of full scale, below the clip mark's level (the last
    // level wipes the meter first).
    const auto bar_end = [&](double db) {
        const double level = std::min(8388607.0 * std::pow(10.0, db / 20), 7853999.0);
        const float levels[8] = {static_cast<float>(level), 0, 0, 0, 0, 0, 0, -1.0f};
        DrawInputMeters(in, levels);
        int count = 0;
        return rows_of(in, RGB(0, 164, 0), &count);
    };
    const int full = bar_end(0.0);
    platform::RECT c{};
    platform::GetClientRect(in, &c);
    const platform::HDC dc = platform::GetDC(in);
    int line = -1;
    for (int y = 0; y < c.bottom && line < 0; ++y)
        if (platform::GetPixel(dc, c.right - 2, y) == RGB(0, 0, 0)) line = y;
    platform::ReleaseDC(in, dc);
    EXPECT_NEAR(full, line, 5) << "a full-scale bar ends on the 0 dB line";
    struct Label {
        int id;
        double db;
    };
    for (const Label& label : {Label{70, 0}, Label{120, -6}, Label{90, -12}, Label{100, -24},
                               Label{110, -36}, Label{80, -51}}) {
        platform::RECT r{};
        platform::GetWindowRect(platform::GetDlgItem(dialog_, label.id), &r);
        platform::POINT middle{0, (r.top + r.bottom) / 2};
        platform::ScreenToClient(in, &middle);
        EXPECT_GE(middle.y, bar_end(label.db + 3)) << label.db << " dB stands above its bar";
        EXPECT_LE(middle.y, bar_end(label.db - 3)) << label.db << " dB stands below its bar";
    }
    // The clip marks, in the dialog's meters and in the roomy one.
    const float loud_in[8] = {8388607.0f, 0, 0, 0, 0, 0, 0, -1.0f};
    float loud_out[16] = {2147483647.0f};
    loud_out[15] = -1.0f;
    int red = 0, whole = 0;
    DrawInputMeters(roomy, loud_in);
    rows_of(roomy, RGB(192, 0, 0), &whole);
    DrawInputMeters(in, loud_in);
    rows_of(in, RGB(192, 0, 0), &red);
    EXPECT_EQ(red, whole) << "the input's clip mark";
    DrawOutputMeters(roomy, loud_out);
    rows_of(roomy, RGB(192, 0, 0), &whole);
    DrawOutputMeters(out, loud_out);
    rows_of(out, RGB(192, 0, 0), &red);
    EXPECT_GT(whole, 7);
    EXPECT_EQ(red, whole) << "the output's clip mark";
    platform::DestroyWindow(roomy);
}

}  // namespace
}  // namespace engine
