// The MLS capture on a real screen: Save IR writes the capture the views show, also after the
// MLS tool was closed by its close box and opened again and after the room equalizer was opened
// and cancelled; the saved file, loaded with "Use Saved Buffer", gives the same impulses. Before
// any measurement Save IR asks for no name and says "Please Generate Impulse Response First".
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "measurement/Globals.h"
#include "measurement/Ids.h"
#include "measurement/MlsRun.h"
#include "measurement/MlsWindows.h"
#include "network/EditorState.h"
#include "platform/audio/VirtualCard.h"
#include "platform/testing/FileDialogs.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "shell/NetworkTables.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"
#include "tests/x11/ProgramOnScreen.h"

namespace x11test {
namespace {

namespace screen = platform::testing;

constexpr int kCompared = 2100;  // impulse samples compared (the views show the first 2000)

std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Impulses {
    std::vector<float> ref;
    std::vector<float> in;
};

Impulses ShownImpulses() {
    return OnUi([] {
        return Impulses{{shell::MlsRefSamples, shell::MlsRefSamples + kCompared},
                        {shell::MlsInSamples, shell::MlsInSamples + kCompared}};
    });
}

bool NoModal() {
    screen::QtModal modal;
    return !screen::ActiveQtModal(&modal) && !screen::InnermostModalDialog();
}

// Save IR clicked on the page, the name typed into the chooser; the file's bytes once written.
std::vector<std::uint8_t> SaveIr(Driver& d, const std::filesystem::path& path) {
    const HWND page = OnUi([] { return measurement::MlsControlPage; });
    d.ClickControl(page, measurement::kSaveIrButton);
    EXPECT_TRUE(d.AnswerFileChooser(path.string())) << d.DescribeModal();
    EXPECT_TRUE(d.WaitFor(
        [&] {
            std::error_code ec;
            return NoModal() && std::filesystem::file_size(path, ec) == 2108007u;
        },
        10000))
        << path << " was not written; " << d.DescribeModal();
    return FileBytes(path);
}

// Digital - MLS from the Measure menu; the page once it is up.
HWND OpenMlsTool(Driver& d, HWND frame) {
    EXPECT_TRUE(d.ChooseMenu(frame, 5, shell::kCmdDigitalMls));
    EXPECT_TRUE(d.WaitFor([] {
        return shell::MlsControlDialog && measurement::MlsControlPage && shell::MlsImpChildWindow &&
               shell::MlsSplChildWindow && platform::IsWindowVisible(shell::MlsControlDialog);
    }));
    return OnUi([] { return measurement::MlsControlPage; });
}

// A right click on Front-Left's room-EQ element, where it shows on the screen (a click low in
// the pane first brings the pane to the top when another window covers the element).
bool RightClickRoomEqElement(Driver& d) {
    struct Found {
        bool ok = false;
        int x = 0, y = 0;
        HWND pane{};
    };
    const Found found = OnUi([] {
        Found f;
        const shell::PaneStore& store = shell::PaneStores[0];
        for (int e = 0; e < std::min<int>(store.ElementCount, shell::kMaxElements); ++e) {
            const shell::ElementGeometryRecord& g = store.ElementGeometry[e];
            if (g.kind != shell::kElementRoomEq) continue;
            f = Found{true, (g.x1 + g.x2) / 20 * 10, (g.y1 + g.y2) / 20 * 10,
                      network::PaneWindows[0]};
            break;
        }
        return f;
    });
    if (!found.ok || !found.pane) return false;
    const RECT client = d.SettledClientRect(found.pane);
    const int x = client.left + found.x, y = client.top + found.y;
    if (OnUi([&] { return screen::WindowAt(x, y) != found.pane; }))
        d.Input().Click(client.left + 20, client.bottom - 15, 3);
    if (!d.WaitFor([&] { return screen::WindowAt(x, y) == found.pane; }, 3000)) return false;
    d.Input().Click(x, y, 3);
    return true;
}

class CaptureKeeping : public ProgramOnScreen {};

TEST_F(CaptureKeeping, SaveIrWritesTheShownCaptureAfterTheWindowsChanged) {
    const std::filesystem::path dir = std::filesystem::current_path();
    RunProgram([&](Driver& d) {
        PassFirstStartBox(d);
        const HWND frame = OnUi([] { return shell::FrameWindow; });
        OnUi([] { platform::VirtualCardSetSpeakerLoopback(); });
        HWND page = OpenMlsTool(d, frame);
        ASSERT_TRUE(page);

        // Nothing measured yet: no chooser, no file, and the program says why.
        const std::size_t choosers = OnUi([] { return screen::FileDialogLog().size(); });
        d.ClickControl(page, measurement::kSaveIrButton);
        const bool said = d.WaitForBox("Please Generate Impulse Response First");
        EXPECT_TRUE(said) << "Save IR before any measurement said nothing; " << d.DescribeModal();
        if (said) {
            d.Screenshot("capture_keeping_nothing_held");
            EXPECT_TRUE(d.ClickQtModalButton("OK"));
        }
        ASSERT_TRUE(d.WaitNoModal()) << d.DescribeModal();
        EXPECT_EQ(OnUi([] { return screen::FileDialogLog().size(); }), choosers);

        // One run of the shortest sequence.
        OnUi([&] {
            measurement::MlsRefPeak = 0;
            platform::SendDlgItemMessage(page, measurement::kLengthCombo, platform::CB_SETCURSEL, 0,
                                         0);
            return platform::SendMessage(
                page, platform::WM_COMMAND,
                platform::MAKEWPARAM(measurement::kLengthCombo, platform::CBN_SELCHANGE), 0);
        });
        d.ClickControl(page, measurement::kRunButton);
        ASSERT_TRUE(d.WaitFor(
            [] {
                return measurement::MlsRefPeak > 0 && !measurement::MlsRunActive() &&
                       shell::AudioBusy == 0;
            },
            20000))
            << "no impulse came back";
        const Impulses measured = ShownImpulses();
        const std::vector<std::uint8_t> first = SaveIr(d, dir / "first.res");
        ASSERT_EQ(first.size(), 2108007u);
        EXPECT_EQ(first[2108003], '0') << "the length of the shortest sequence";

        // The tool closed by its close box and opened again: the views still show the
        // measurement, and Save IR writes the same file.
        d.CloseBox(OnUi([] { return shell::MlsControlDialog; }));
        ASSERT_TRUE(d.WaitFor([] { return !shell::MlsControlDialog; }, 5000));
        page = OpenMlsTool(d, frame);
        ASSERT_TRUE(page);
        d.WaitFor([] { return false; }, 300);
        d.Screenshot("capture_keeping_reopened");
        EXPECT_TRUE(SaveIr(d, dir / "second.res") == first)
            << "Save IR after reopening wrote another capture";

        // The room equalizer of a 5-way design opened and cancelled over the tool.
        ASSERT_TRUE(d.ChooseMenu(frame, 1, shell::kCmdStereo5Way));
        DismissBoxes(d);
        ASSERT_TRUE(d.WaitFor([] { return network::PaneWindows[0] != 0; }));
        ASSERT_TRUE(RightClickRoomEqElement(d)) << "Front-Left's room-EQ element is not reachable";
        const HWND room_eq = d.WaitForDialog("Room_EQ");
        ASSERT_TRUE(room_eq) << "the room equalizer did not open: " << d.DescribeModal();
        d.WaitFor([] { return false; }, 300);
        d.Screenshot("capture_keeping_room_equalizer");
        d.ClickControl(room_eq, platform::IDCANCEL);
        ASSERT_TRUE(d.WaitNoModal()) << d.DescribeModal();
        ASSERT_EQ(OnUi([] { return measurement::MlsControlPage; }), page) << "the tool closed";
        EXPECT_TRUE(SaveIr(d, dir / "third.res") == first)
            << "Save IR after the room equalizer wrote another capture";

        // "Use Saved Buffer" with the last file: the same impulses come back.
        OnUi([] {
            measurement::MlsRefPeak = 0;
            std::fill(shell::MlsRefSamples, shell::MlsRefSamples + kCompared, 0.0f);
            std::fill(shell::MlsInSamples, shell::MlsInSamples + kCompared, 0.0f);
        });
        d.ClickControl(page, measurement::kSavedBufferBox);
        ASSERT_TRUE(d.WaitFor([] { return shell::Mls.MlsUseSavedBuffer == 1; }));
        d.ClickControl(page, measurement::kRunButton);
        ASSERT_TRUE(d.AnswerFileChooser((dir / "third.res").string())) << d.DescribeModal();
        ASSERT_TRUE(d.WaitFor(
            [] { return NoModal() && shell::AudioBusy == 0 && measurement::MlsRefPeak > 0; },
            10000))
            << d.DescribeModal();
        EXPECT_EQ(OnUi([] { return measurement::MlsOrder; }), 13);
        const Impulses loaded = ShownImpulses();
        EXPECT_TRUE(loaded.ref == measured.ref) << "the loaded Ref impulse differs";
        EXPECT_TRUE(loaded.in == measured.in) << "the loaded In impulse differs";
        EXPECT_GT(std::abs(loaded.ref[60]), 1.0f) << "no Ref peak at sample 60";
        OnUi([] { platform::BringWindowToTop(shell::MlsImpChildWindow); });
        d.WaitFor([] { return false; }, 300);
        d.Screenshot("capture_keeping_loaded");

        d.CloseBox(OnUi([] { return shell::MlsControlDialog; }));
        EXPECT_TRUE(d.WaitFor(
            [] { return !shell::MlsControlDialog && platform::OpenWaveDeviceCount() == 0; }));
    });
}

}  // namespace
}  // namespace x11test
