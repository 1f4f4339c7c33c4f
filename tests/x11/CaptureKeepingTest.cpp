// The MLS capture on a real screen: Save IR writes the capture the views show, also after the
// MLS tool was closed by its close box and opened again and after the room equalizer was opened
// and cancelled; the saved file, loaded with "Use Saved Buffer", gives the same impulses.
#include <gtest/gtest.h>

#include <vector>

#include "measurement/Globals.h"
#include "measurement/Ids.h"
#include "measurement/MlsWindows.h"
#include "platform/audio/VirtualCard.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "shell/NetworkTables.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/x11/ProgramOnScreen.h"

namespace x11test {
namespace {

// The first samples of both impulses (the views show the first 2000).
std::vector<float> ShownImpulses() {
    return OnUi([] {
        std::vector<float> v(shell::MlsRefSamples, shell::MlsRefSamples + 2100);
        v.insert(v.end(), shell::MlsInSamples, shell::MlsInSamples + 2100);
        return v;
    });
}

// Digital - MLS from the Measure menu; the page once it is up.
HWND OpenMlsTool(Driver& d) {
    EXPECT_TRUE(d.ChooseMenu(OnUi([] { return shell::FrameWindow; }), 5, shell::kCmdDigitalMls));
    EXPECT_TRUE(d.WaitFor([] {
        return measurement::MlsControlPage && platform::IsWindowVisible(shell::MlsControlDialog);
    }));
    return OnUi([] { return measurement::MlsControlPage; });
}

class CaptureKeeping : public ProgramOnScreen {
  protected:
    // Save IR clicked on the page, the name typed into the chooser; the file's bytes.
    std::vector<std::uint8_t> SaveIr(Driver& d, HWND page, const char* name) {
        d.ClickControl(page, measurement::kSaveIrButton);
        EXPECT_TRUE(d.AnswerFileChooser((dir_ / name).string())) << d.DescribeModal();
        EXPECT_TRUE(d.WaitNoModal()) << d.DescribeModal();
        return shell::test::ReadBytes(dir_ / name);
    }
};

TEST_F(CaptureKeeping, SaveIrWritesTheShownCaptureAfterTheWindowsChanged) {
    RunProgram([&](Driver& d) {
        PassFirstStartBox(d);
        OnUi([] { platform::VirtualCardSetSpeakerLoopback(); });
        HWND page = OpenMlsTool(d);
        ASSERT_TRUE(MeasureShortestMls(d, page)) << "no impulse came back";
        const std::vector<float> measured = ShownImpulses();
        const std::vector<std::uint8_t> first = SaveIr(d, page, "first.res");
        ASSERT_EQ(first.size(), 2108007u);

        d.CloseBox(OnUi([] { return shell::MlsControlDialog; }));
        ASSERT_TRUE(d.WaitFor([] { return !shell::MlsControlDialog; }, 5000));
        page = OpenMlsTool(d);
        EXPECT_TRUE(SaveIr(d, page, "second.res") == first) << "after reopening the tool";

        // The room equalizer of Front-Left in a 5-way design, opened by a right click over the
        // tool and cancelled.
        ASSERT_TRUE(
            d.ChooseMenu(OnUi([] { return shell::FrameWindow; }), 1, shell::kCmdStereo5Way));
        DismissBoxes(d);
        int x = 0, y = 0;
        ASSERT_TRUE(ElementPoint(d, 1, shell::kElementRoomEq, &x, &y));
        d.Input().Click(x, y, 3);
        const HWND room_eq = d.WaitForDialog("Room_EQ");
        ASSERT_TRUE(room_eq) << "the room equalizer did not open: " << d.DescribeModal();
        d.ClickControl(room_eq, platform::IDCANCEL);
        ASSERT_TRUE(d.WaitNoModal()) << d.DescribeModal();
        EXPECT_TRUE(SaveIr(d, page, "third.res") == first) << "after the room equalizer";

        // "Use Saved Buffer" with that file gives the same impulses again.
        OnUi([] { measurement::MlsRefPeak = 0; });
        d.ClickControl(page, measurement::kSavedBufferBox);
        d.ClickControl(page, measurement::kRunButton);
        ASSERT_TRUE(d.AnswerFileChooser((dir_ / "third.res").string())) << d.DescribeModal();
        ASSERT_TRUE(d.WaitFor([] { return measurement::MlsRefPeak > 0; })) << d.DescribeModal();
        EXPECT_TRUE(ShownImpulses() == measured) << "the loaded impulses differ";
        OnUi([] { platform::BringWindowToTop(shell::MlsImpChildWindow); });
        d.WaitFor([] { return false; }, 300);
        d.Screenshot("capture_keeping_loaded");
    });
}

}  // namespace
}  // namespace x11test
