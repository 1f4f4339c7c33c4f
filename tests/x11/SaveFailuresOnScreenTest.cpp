// A person meets a save that fails and a profile key without a profile, on a real X server: the
// message says which file was not saved and why, Return closes it and the program takes input
// again; the profile key's message leaves the play, the configuration window and the last
// project as they were.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "engine/Engine.h"
#include "engine/Ids.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"
#include "tests/x11/ProgramOnScreen.h"

namespace x11test {
namespace {

namespace screen = platform::testing;

class SaveFailuresOnScreen : public ProgramOnScreen {
  protected:
    void TearDown() override {
        shell::FileWriteFaultAfterBytes = -1;
        ProgramOnScreen::TearDown();
    }
};

// The message box is up and has the keyboard, as a person finds it before pressing a key.
bool BoxHasKeyboard(Driver& d) {
    return d.WaitFor([] {
        screen::QtModal modal;
        return screen::ActiveQtModal(&modal) && modal.kind == "message box" && modal.active;
    });
}

// `window` has the keyboard as the layer and the X server see it, also a moment later.
bool KeyboardStaysOn(Driver& d, HWND window) {
    const auto holds = [&] {
        return platform::GetActiveWindow() == window && screen::HoldsKeyboard(window);
    };
    if (!d.WaitFor(holds)) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    return d.WaitFor(holds);
}

TEST_F(SaveFailuresOnScreen, FailedDriverSaveSaysWhyAndReturnClosesTheBox) {
    const std::string path = (std::filesystem::current_path() / "full disk.wfr").string();
    RunProgram([&](Driver& d) {
        PassFirstStartBox(d);
        const HWND frame = OnUi([] { return shell::FrameWindow; });
        // The disk takes no byte of this save.
        OnUi([] { return shell::FileWriteFaultAfterBytes = 0; });
        ASSERT_TRUE(d.ChooseMenu(frame, 0, shell::kCmdSaveDriverAs));
        ASSERT_TRUE(d.AnswerFileChooser(path)) << d.DescribeModal();
        ASSERT_TRUE(
            d.WaitForBox(path + "\n\nThe driver has not been saved: the disk refused the data."))
            << d.DescribeModal();
        d.Screenshot("driver_not_saved");
        ASSERT_TRUE(BoxHasKeyboard(d)) << "the box did not take the keyboard";
        d.Input().Key("Return");
        ASSERT_TRUE(d.WaitNoModal(3000)) << "Return did not close the box; " << d.DescribeModal();
        OnUi([] { return shell::FileWriteFaultAfterBytes = -1; });
        EXPECT_FALSE(std::filesystem::exists(path)) << "a file was left";
        EXPECT_TRUE(d.WaitFor([] { return screen::TakesInput(shell::FrameWindow); }, 3000));
        EXPECT_TRUE(OnUi([] { return screen::MenuBarTakesInput(shell::FrameWindow); }));
        // The same save with room on the disk is written.
        ASSERT_TRUE(d.ChooseMenu(frame, 0, shell::kCmdSaveDriverAs));
        ASSERT_TRUE(d.AnswerFileChooser(path)) << d.DescribeModal();
        EXPECT_TRUE(d.WaitFor([&] { return std::filesystem::exists(path); })) << d.DescribeModal();
    });
}

TEST_F(SaveFailuresOnScreen, ProfileKeyWithoutAProfileLeavesThePlayAndTheWindows) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        const HWND player = OnUi([] { return shell::ComponentCADSelectionDialog; });
        OnUi([] {
            std::strcpy(shell::Preferences->LastProjectPath, "/projects/last one.HIF");
            shell::Preferences->ProfilePaths[2][0] = 0;
            return 0;
        });
        d.ClickControl(player, shell::kPlayButton);
        ASSERT_TRUE(d.WaitFor([] {
            return engine::CurrentPlayState() == engine::PlayState::Playing;
        })) << d.DescribeModal();
        const HWND configuration = OnUi([] { return shell::Splitter1Window; });
        ASSERT_TRUE(configuration) << "no configuration window is open";
        OnUi([&] { return platform::SetFocus(player); });
        ASSERT_TRUE(KeyboardStaysOn(d, player));
        d.Input().Key("3");
        ASSERT_TRUE(d.WaitForBox("Requested Profile Not Found")) << d.DescribeModal();
        d.Screenshot("profile_not_found_while_playing");
        ASSERT_TRUE(BoxHasKeyboard(d)) << "the box did not take the keyboard";
        d.Input().Key("Return");
        ASSERT_TRUE(d.WaitNoModal(3000)) << "Return did not close the box; " << d.DescribeModal();
        EXPECT_TRUE(KeyboardStaysOn(d, player)) << "the player did not get the keyboard back";
        EXPECT_EQ(OnUi([] { return engine::CurrentPlayState(); }), engine::PlayState::Playing)
            << "the play stopped";
        EXPECT_TRUE(OnUi([&] {
            return platform::IsWindow(configuration) && shell::Splitter1Window == configuration;
        })) << "the configuration window was closed";
        EXPECT_EQ(OnUi([] { return std::string(shell::Preferences->LastProjectPath); }),
                  "/projects/last one.HIF");
        d.ClickControl(player, engine::kStopCommand);
        EXPECT_TRUE(
            d.WaitFor([] { return engine::CurrentPlayState() == engine::PlayState::Stopped; }));
    });
}

}  // namespace
}  // namespace x11test
