// The program wired as its entry wires it (the real pane editor, templates, SPL plot and player
// dialog): start-up windows, and a pane edit after a project load, done with the mouse.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/ProgramServices.h"
#include "engine/Engine.h"
#include "engine/Globals.h"
#include "engine/Ids.h"
#include "network/PaneEditor.h"
#include "platform/audio/VirtualCard.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "solver/SplPlot.h"
#include "tests/shell/FrameTestSupport.h"

namespace shell::test {
namespace {

namespace input = platform::testing;
using platform::HWND;

class FrameProgramTest : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        engine::ResetGlobals();
        network::ResetPaneDragState();
        ResetProgramServices();
        app::InstallProgramServices();
    }
};

TEST_F(FrameProgramTest, StartOpensThePlayerDialogAndTheStereoPanesGui) {
    ASSERT_EQ(Start(), kStarted);
    EXPECT_EQ(CountBoxes("Unable To OPEN Preferences File"), 1);
    ASSERT_TRUE(platform::IsWindow(ComponentCADSelectionDialog));
    platform::RECT r{};
    platform::GetWindowRect(ComponentCADSelectionDialog, &r);
    EXPECT_EQ(r.right - r.left, kPlayerDialogWidth);
    EXPECT_EQ(r.bottom - r.top, kPlayerDialogHeight);
    EXPECT_TRUE(platform::IsWindow(Splitter1Window));
    EXPECT_TRUE(platform::IsWindow(SplPlottingWindow));
    EXPECT_TRUE(platform::IsChild(Splitter1Window, network::PaneWindows[0]));
    EXPECT_TRUE(platform::IsChild(Splitter1Window, network::PaneWindows[2]));
    // The SPL plot window is painted by the solver's plot, which completes its title.
    platform::UpdateWindow(SplPlottingWindow);
    EXPECT_EQ(WindowTitle(SplPlottingWindow), solver::SplPlotTitle());
}

// Chooses the ground from the toolbox palette (fifth cell) and presses in the middle of the pane.
void PlaceGround(HWND pane) {
    platform::RECT client{};
    platform::GetClientRect(pane, &client);
    ASSERT_GT(client.right, 40);
    ASSERT_GT(client.bottom, 40);
    const int x = client.right / 2 / 10 * 10;
    const int y = client.bottom / 2 / 10 * 10;
    input::MouseClick(ComponentCADSelectionDialog, 20, 180);
    ASSERT_EQ(network::PendingElementKind, kElementGround);
    // Posted to the pane itself: on screen the player dialog may stand in front of it.
    platform::PostMessage(pane, platform::WM_LBUTTONDOWN, platform::MK_LBUTTON,
                          platform::MAKELPARAM(x, y));
    platform::PostMessage(pane, platform::WM_LBUTTONUP, 0, platform::MAKELPARAM(x, y));
    input::PumpUntilIdle();
}

TEST_F(FrameProgramTest, EditInThePreviouslyActivePaneLeavesTheLoadedNetworkGui) {
    ASSERT_EQ(Start(), kStarted);
    const std::string path = (dir_ / "stereo.HIF").string();
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdStereo4Way));
    input::ScriptFileDialogAnswers({path});
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdSaveProjectAs));
    auto saved_right = std::make_unique<PaneStore>(PaneStores[2]);

    // A 2-way design, and Front-Right activated through its channel button.
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdStereo2Way));
    input::Click(ComponentCADSelectionDialog, kFrontRightButton);
    ASSERT_EQ(network::ActivePane, 3);

    input::ScriptMessageBoxAnswers({platform::IDYES});
    input::ScriptFileDialogAnswers({path});
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdOpenProjectFile));
    EXPECT_EQ(network::ActivePane, 0);
    EXPECT_EQ(network::ToolMode, 1);
    ASSERT_EQ(PaneStores[2].ElementCount, saved_right->ElementCount);

    const HWND right_pane = network::PaneWindows[2];
    ASSERT_TRUE(platform::IsChild(Splitter1Window, right_pane));
    PlaceGround(right_pane);
    EXPECT_EQ(PaneStores[2].ElementCount, saved_right->ElementCount)
        << "the click in the formerly active pane did nothing";
    EXPECT_EQ(std::memcmp(&PaneStores[2].ElementParams, &saved_right->ElementParams,
                          sizeof saved_right->ElementParams),
              0);

    // Once activated, the same edit lands in the loaded network.
    input::Click(ComponentCADSelectionDialog, kFrontRightButton);
    ASSERT_EQ(network::ActivePane, 3);
    PlaceGround(right_pane);
    EXPECT_EQ(PaneStores[2].ElementCount, saved_right->ElementCount + 1);
    EXPECT_EQ(PaneStores[2].ElementGeometry[saved_right->ElementCount].kind, kElementGround);
}

// The remote's digit keys, as a person uses them while music plays: key 1 stops playback, loads
// profile 1, and the frame's chain activates the panes and starts playback again by itself.
TEST_F(FrameProgramTest, ProfileKeyLoadsTheProjectAndPlaysAgainGui) {
    platform::VirtualCardReset();
    platform::VirtualCardFollowLayerClock(true);
    ASSERT_EQ(Start(), kStarted);
    const std::string path = (dir_ / "profile one.HIF").string();
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdStereo3Way));
    input::ScriptFileDialogAnswers({path});
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdSaveProjectAs));
    auto saved_left = std::make_unique<PaneStore>(PaneStores[0]);
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdStereo2Way));
    std::strcpy(Preferences->ProfilePaths[0], path.c_str());

    input::Click(ComponentCADSelectionDialog, kPlayButton);
    input::AdvanceTime(2000);
    input::PumpUntilIdle(ComponentCADSelectionDialog);
    ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);

    input::PressKey(ComponentCADSelectionDialog, '1', ComponentCADSelectionDialog);
    EXPECT_NE(engine::CurrentPlayState(), engine::PlayState::Playing) << "the key did not stop";
    EXPECT_EQ(std::memcmp(&PaneStores[0], saved_left.get(), sizeof(PaneStore)), 0)
        << "profile 1 was not loaded into Front-Left";
    EXPECT_EQ(network::ActivePane, 0);
    for (int step = 0; step < 20 && engine::CurrentPlayState() != engine::PlayState::Playing;
         ++step) {
        input::AdvanceTime(500);
        input::PumpUntilIdle(ComponentCADSelectionDialog);
    }
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing)
        << "playback did not start again after the profile load";
    EXPECT_EQ(CountBoxes("Requested Profile Not Found"), 0);
    EXPECT_EQ(CountBoxes("This Project File Is Not recognized"), 0);
    input::Click(ComponentCADSelectionDialog, engine::kStopCommand);
    input::PumpUntilIdle(ComponentCADSelectionDialog);
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
    platform::VirtualCardFollowLayerClock(false);
}

}  // namespace
}  // namespace shell::test
