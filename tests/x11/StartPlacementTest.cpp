// Where the program puts its windows on a real screen: at a first start every window lies inside
// the work area (the frame with the frame a window manager draws around it, the MDI children
// inside the frame's client area), and a later start puts them where the preferences keep them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "network/EditorState.h"
#include "network/Globals.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"
#include "tests/x11/ProgramOnScreen.h"

namespace x11test {
namespace {

namespace screen = platform::testing;

std::string Show(const RECT& r) {
    std::ostringstream out;
    out << "(" << r.left << ", " << r.top << ") - (" << r.right << ", " << r.bottom << ")";
    return out.str();
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom && inner.right > inner.left && inner.bottom > inner.top;
}

struct StartWindows {
    RECT work{}, frame{}, mdi{}, player{}, spl{}, stereo{}, left_pane{};
};

StartWindows ReadStartWindows() {
    return OnUi([] {
        StartWindows s;
        s.work = screen::WorkArea();
        screen::ScreenWindowRect(shell::FrameWindow, &s.frame);
        screen::ScreenClientRect(shell::MdiClientWindow, &s.mdi);
        screen::ScreenWindowRect(shell::ComponentCADSelectionDialog, &s.player);
        screen::ScreenWindowRect(shell::SplPlottingWindow, &s.spl);
        screen::ScreenWindowRect(shell::Splitter1Window, &s.stereo);
        screen::ScreenClientRect(network::PaneWindows[0], &s.left_pane);
        return s;
    });
}

class StartPlacement : public ProgramOnScreen {};

TEST_F(StartPlacement, EveryStartWindowLiesInsideTheWorkArea) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        ASSERT_TRUE(d.WaitFor([] {
            return shell::SplPlottingWindow && shell::Splitter1Window &&
                   platform::IsWindowVisible(shell::ComponentCADSelectionDialog);
        }));
        // A window manager may still be moving the windows into its frames: wait until the
        // frame has settled inside the screen, or time out and report where it is.
        d.WaitFor(
            [] {
                RECT frame{};
                return screen::ScreenWindowRect(shell::FrameWindow, &frame) &&
                       Inside(frame, screen::WorkArea());
            },
            3000);
        const StartWindows s = ReadStartWindows();
        SCOPED_TRACE("work area " + Show(s.work));
        EXPECT_TRUE(Inside(s.frame, s.work)) << "frame " << Show(s.frame);
        EXPECT_TRUE(Inside(s.player, s.work)) << "player dialog " << Show(s.player);
        EXPECT_TRUE(Inside(s.mdi, s.work)) << "frame client " << Show(s.mdi);
        EXPECT_TRUE(Inside(s.spl, s.mdi)) << "SPL plot " << Show(s.spl) << " in " << Show(s.mdi);
        EXPECT_TRUE(Inside(s.stereo, s.mdi))
            << "Stereo window " << Show(s.stereo) << " in " << Show(s.mdi);
        // The player dialog stands beside the Front-Left pane's input, not on it.
        int input_x = 0, input_y = 0;
        ASSERT_TRUE(OnUi([&] {
            const shell::PaneStore& store = shell::PaneStores[0];
            for (int e = 0; e < store.ElementCount && e < shell::kMaxElements; ++e) {
                const auto& g = store.ElementGeometry[e];
                if (g.kind != shell::kElementInputNode) continue;
                input_x = g.x1;
                input_y = g.y1;
                return true;
            }
            return false;
        }));
        input_x += s.left_pane.left;
        input_y += s.left_pane.top;
        EXPECT_FALSE(input_x >= s.player.left && input_x < s.player.right &&
                     input_y >= s.player.top && input_y < s.player.bottom)
            << "the player dialog " << Show(s.player) << " covers the Front-Left input at ("
            << input_x << ", " << input_y << ")";
        // With room on the screen, the player stands beside the Stereo window and Front-Right's
        // whole network shows in its pane.
        EXPECT_TRUE(s.player.left >= s.stereo.right || s.player.right <= s.stereo.left)
            << "the player dialog " << Show(s.player) << " covers the Stereo window "
            << Show(s.stereo);
        const int right_pane_width = OnUi([] {
            RECT r{};
            platform::GetClientRect(network::PaneWindows[2], &r);
            return static_cast<int>(r.right);
        });
        const int widest = OnUi([] {
            int most = 0;
            const shell::PaneStore& store = shell::PaneStores[2];
            for (int e = 0; e < store.ElementCount && e < shell::kMaxElements; ++e)
                most = std::max({most, store.ElementGeometry[e].x1, store.ElementGeometry[e].x2});
            return most;
        });
        EXPECT_LT(widest, right_pane_width) << "Front-Right's network is cut off";
    });
}

void WritePreferences(const std::function<void(shell::PreferencesRecord&)>& edit) {
    auto record = std::make_unique<shell::PreferencesRecord>();
    shell::InitPreferencesRecord(record.get());
    edit(*record);
    std::ofstream("QV_Preferences.pre", std::ios::binary)
        .write(reinterpret_cast<const char*>(record.get()), sizeof(shell::PreferencesRecord));
}

// Placements stored on a larger screen (or written by hand) that do not fit this one: every
// window still opens inside the work area.
TEST_F(StartPlacement, StoredPlacementsBeyondTheScreenAreFittedIn) {
    WritePreferences([](shell::PreferencesRecord& r) {
        r.WindowRects[10] = shell::WindowPlacement{1500, 900, 2400, 1800};  // Stereo
        r.WindowRects[7] = shell::WindowPlacement{3000, 20, 900, 500};      // SPL plot
        r.WindowRects[6] = shell::WindowPlacement{2500, 1700, 0, 0};        // player dialog
    });
    RunProgram([](Driver& d) {
        ASSERT_TRUE(d.WaitFor([] {
            return shell::SplPlottingWindow && shell::Splitter1Window &&
                   platform::IsWindowVisible(shell::ComponentCADSelectionDialog);
        })) << "the start windows did not open";
        d.WaitFor(
            [] {
                RECT player{};
                return screen::ScreenWindowRect(shell::ComponentCADSelectionDialog, &player) &&
                       Inside(player, screen::WorkArea());
            },
            3000);
        const StartWindows s = ReadStartWindows();
        SCOPED_TRACE("work area " + Show(s.work));
        EXPECT_TRUE(Inside(s.player, s.work)) << "player dialog " << Show(s.player);
        EXPECT_TRUE(Inside(s.spl, s.mdi)) << "SPL plot " << Show(s.spl) << " in " << Show(s.mdi);
        EXPECT_TRUE(Inside(s.stereo, s.mdi))
            << "Stereo window " << Show(s.stereo) << " in " << Show(s.mdi);
        // Shrunk with its proportions (4:3 as stored).
        const double stored = 2400.0 / 1800.0;
        const double shown = static_cast<double>(s.stereo.right - s.stereo.left) /
                             static_cast<double>(s.stereo.bottom - s.stereo.top);
        EXPECT_NEAR(shown, stored, 0.02) << "the Stereo window lost its proportions";
    });
}

// Placements stored by an earlier run are kept when they fit.
TEST_F(StartPlacement, ALaterStartKeepsTheStoredPlacements) {
    constexpr shell::WindowPlacement kStereo{40, 30, 620, 480};
    constexpr shell::WindowPlacement kSpl{300, 60, 500, 300};
    constexpr shell::WindowPlacement kPlayer{700, 80, 0, 0};
    WritePreferences([&](shell::PreferencesRecord& r) {
        r.WindowRects[10] = kStereo;
        r.WindowRects[7] = kSpl;
        r.WindowRects[6] = kPlayer;
    });
    RunProgram([&](Driver& d) {
        ASSERT_TRUE(d.WaitFor([] {
            return shell::SplPlottingWindow && shell::Splitter1Window &&
                   platform::IsWindowVisible(shell::ComponentCADSelectionDialog);
        })) << "the start windows did not open";
        struct Seen {
            RECT stereo{}, spl{}, player{};
        };
        const Seen seen = OnUi([] {
            Seen s;
            platform::GetWindowRect(shell::Splitter1Window, &s.stereo);
            platform::GetWindowRect(shell::SplPlottingWindow, &s.spl);
            platform::GetWindowRect(shell::ComponentCADSelectionDialog, &s.player);
            platform::POINT origin{0, 0};
            platform::ClientToScreen(shell::MdiClientWindow, &origin);
            for (RECT* r : {&s.stereo, &s.spl}) {
                r->left -= origin.x;
                r->right -= origin.x;
                r->top -= origin.y;
                r->bottom -= origin.y;
            }
            return s;
        });
        const auto expect_at = [](const RECT& r, const shell::WindowPlacement& p,
                                  const char* what) {
            EXPECT_EQ(r.left, p.X) << what;
            EXPECT_EQ(r.top, p.Y) << what;
            EXPECT_EQ(r.right - r.left, p.Width) << what;
            EXPECT_EQ(r.bottom - r.top, p.Height) << what;
        };
        expect_at(seen.stereo, kStereo, "Stereo window");
        expect_at(seen.spl, kSpl, "SPL plot window");
        // The player dialog keeps the position of its client area (a window manager's frame
        // around it may differ from the estimated one): what it stores back on every move is
        // what was stored, also once the frame is there.
        EXPECT_TRUE(d.WaitFor([] {
            RECT outer{}, client{};
            const HWND dialog = shell::ComponentCADSelectionDialog;
            return screen::ProgramAtRest() && screen::ScreenWindowRect(dialog, &outer) &&
                   screen::ScreenClientRect(dialog, &client) &&
                   (!x11test::Setup().window_manager || outer.top < client.top);
        })) << "the player dialog's frame did not come";
        const shell::WindowPlacement player = OnUi([] { return shell::WindowPlacements[6]; });
        EXPECT_EQ(player.X, kPlayer.X) << "player dialog";
        EXPECT_EQ(player.Y, kPlayer.Y) << "player dialog";
        EXPECT_NEAR(seen.player.left, kPlayer.X, 4) << "player dialog";
        EXPECT_NEAR(seen.player.top, kPlayer.Y, 4) << "player dialog";
    });
}

}  // namespace
}  // namespace x11test
