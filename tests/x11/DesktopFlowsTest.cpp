// A person at the program on a real X server: every modal dialog that the frame, a pane or the
// player opens, ended by Done, Cancel and the close box, gives every window back; file choosers
// take typed names; edits take Ctrl+A and typed text; digits typed into an edit load no profile;
// the player's meters fall when the music turns quiet; nothing stale stays on the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "driverdata/Ids.h"
#include "engine/Engine.h"
#include "engine/Ids.h"
#include "measurement/Globals.h"
#include "measurement/MlsPlots.h"
#include "measurement/MlsProcess.h"
#include "measurement/MlsRun.h"
#include "measurement/MlsWindows.h"
#include "measurement/RoomEqLocation.h"
#include "network/EditorState.h"
#include "network/Globals.h"
#include "platform/audio/VirtualCard.h"
#include "platform/gdi/Gdi.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/testing/PrintScript.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "shell/NetworkTables.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"
#include "solver/PlotControlDialog.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/x11/ProgramOnScreen.h"

namespace x11test {
namespace {

namespace screen = platform::testing;

enum class Ending { Done, Cancel, CloseBox };
const char* Name(Ending e) {
    return e == Ending::Done ? "Done" : e == Ending::Cancel ? "Cancel" : "close box";
}
constexpr Ending kEndings[] = {Ending::Done, Ending::Cancel, Ending::CloseBox};

// A point on element `kind` of pane `pane` (1-based), on screen: the middle of the element,
// on the 10-pixel grid the pane snaps clicks to, where no element before it lies.
bool ElementPoint(Driver& d, int pane, int kind, int* x, int* y) {
    struct Found {
        bool ok = false;
        int px = 0, py = 0;
        HWND window{};
    };
    const Found found = OnUi([&] {
        Found f;
        const shell::PaneStore& store = shell::PaneStores[pane - 1];
        const int count = std::min<int>(store.ElementCount, shell::kMaxElements);
        const auto hit = [&](int e, int px, int py) {
            const shell::ElementGeometryRecord& g = store.ElementGeometry[e];
            return (g.y1 == py && g.y2 == py && g.x1 <= px && px <= g.x2) ||
                   (g.x1 == px && g.x2 == px && g.y1 <= py && py <= g.y2);
        };
        for (int e = 0; e < count && !f.ok; ++e) {
            const shell::ElementGeometryRecord& g = store.ElementGeometry[e];
            if (g.kind != kind) continue;
            const int px = (g.x1 + g.x2) / 20 * 10;
            const int py = (g.y1 + g.y2) / 20 * 10;
            int first = -1;
            for (int o = 0; o < count && first < 0; ++o)
                if (hit(o, px, py)) first = o;
            if (first != e) continue;
            f = Found{true, px, py, network::PaneWindows[pane - 1]};
        }
        return f;
    });
    if (!found.ok || !found.window) return false;
    const RECT client = d.SettledClientRect(found.window);
    *x = client.left + found.px;
    *y = client.top + found.py;
    // Another window (the SPL plot comes to the top after a channel button) may cover the
    // element: a right click on a free spot low in the pane brings its window to the top first,
    // as a person would do it.
    const int px = *x, py = *y;
    if (OnUi([&] { return screen::WindowAt(px, py) != found.window; })) {
        const int free_x = client.left + 20;
        const int free_y = client.bottom - 15;
        EXPECT_TRUE(OnUi([&] { return screen::WindowAt(free_x, free_y) == found.window; }))
            << "the pane is covered even at its bottom";
        d.Input().Click(free_x, free_y, 3);
    }
    return d.WaitFor([&] { return screen::WindowAt(px, py) == found.window; }, 3000);
}

// Ends the dialog the way a person chooses.
void EndDialog(Driver& d, HWND dialog, Ending ending) {
    switch (ending) {
        case Ending::Done:
            d.ClickControl(dialog, platform::IDOK);
            break;
        case Ending::Cancel:
            d.ClickControl(dialog, platform::IDCANCEL);
            break;
        case Ending::CloseBox:
            d.CloseBox(dialog);
            break;
    }
}

// After a dialog ended: the frame, its menu bar, every pane and the player dialog take input, a
// click on PLAY starts playback on the virtual card (STOP stops it), and the channel buttons
// switch the active pane.
void ExpectEverythingWorks(Driver& d, const std::string& context) {
    SCOPED_TRACE(context);
    ASSERT_TRUE(d.WaitFor([] { return !screen::InnermostModalDialog(); }))
        << "the dialog did not end: " << d.DescribeModal();
    // What the program says right after a dialog ends (the network check after Curve Selection)
    // is answered as a person would; it comes up before the dialog's caller returns.
    screen::QtModal box;
    if (OnUi([&] { return screen::ActiveQtModal(&box) && box.kind == "message box"; })) {
        std::cout << "[ note     ] " << context << ": message box: " << box.text << std::endl;
        d.ClickQtModalButton("OK");
    }
    ASSERT_TRUE(d.WaitNoModal()) << "a modal window stayed up: " << d.DescribeModal();
    const HWND player = OnUi([] { return shell::ComponentCADSelectionDialog; });
    ASSERT_TRUE(player) << "the player dialog is gone";
    const bool frame_ok = d.WaitFor([] { return screen::TakesInput(shell::FrameWindow); }, 3000);
    EXPECT_TRUE(frame_ok) << "the frame stays disabled";
    EXPECT_TRUE(OnUi([] { return screen::MenuBarTakesInput(shell::FrameWindow); }))
        << "the menu bar stays disabled";
    EXPECT_TRUE(OnUi([&] { return screen::TakesInput(player); }))
        << "the player dialog stays disabled";
    for (int pane : {1, 3}) {
        EXPECT_TRUE(OnUi([&] { return screen::TakesInput(network::PaneWindows[pane - 1]); }))
            << "pane " << pane << " stays disabled";
    }
    // Each click acts: what it starts happens, or the program says why it cannot (the network
    // check after a copied speaker finds duplicated output ports), which is answered.
    const auto acts = [&](int id, const std::function<bool()>& done, const char* what) {
        d.ClickControl(player, id);
        EXPECT_TRUE(d.WaitFor(
            [&] { return done() || (screen::ActiveQtModal(&box) && box.kind == "message box"); },
            10000))
            << "a click on " << what << " did nothing";
        if (OnUi([&] { return screen::ActiveQtModal(&box) && box.kind == "message box"; })) {
            std::cout << "[ note     ] " << context << ", " << what << ": " << box.text
                      << std::endl;
            d.ClickQtModalButton("OK");
            EXPECT_TRUE(d.WaitNoModal()) << d.DescribeModal();
        }
    };
    acts(
        shell::kPlayButton, [] { return engine::CurrentPlayState() == engine::PlayState::Playing; },
        "PLAY");
    acts(
        engine::kStopCommand,
        [] { return engine::CurrentPlayState() == engine::PlayState::Stopped; }, "STOP");
    acts(
        shell::kFrontRightButton, [] { return network::ActivePane == 3; }, "Front Right");
    acts(
        shell::kFrontLeftButton, [] { return network::ActivePane == 1; }, "Front Left");
}

std::string LastChosenPath() {
    return OnUi([] {
        const auto& log = screen::FileDialogLog();
        return log.empty() || !log.back().chosen ? std::string() : log.back().path;
    });
}

int ChangedPixels(const std::vector<platform::COLORREF>& a,
                  const std::vector<platform::COLORREF>& b) {
    if (a.size() != b.size()) return -1;
    int changed = 0;
    for (std::size_t i = 0; i < a.size(); ++i) changed += a[i] != b[i];
    return changed;
}

// A window's client area as the screen shows it, once the program has painted all it was given.
std::vector<platform::COLORREF> SettledClientPixels(Driver& d, HWND window) {
    std::vector<platform::COLORREF> pixels, last;
    EXPECT_TRUE(d.WaitFor([&] {
        last = std::exchange(pixels, screen::ShownClientPixels(window, 2));
        return screen::ProgramAtRest() && !pixels.empty() && pixels == last;
    })) << "the window did not settle";
    return pixels;
}

class DesktopFlows : public ProgramOnScreen {};

TEST_F(DesktopFlows, FirstStartBoxTakesEnterAndTheStartWindowsShow) {
    RunProgram([](Driver& d) {
        ASSERT_TRUE(d.WaitForBox("Unable To OPEN Preferences File"));
        // A person reads the box first: by then it has the keyboard focus.
        EXPECT_TRUE(d.WaitFor([] {
            screen::QtModal modal;
            return screen::ActiveQtModal(&modal) && modal.active;
        })) << "the message box did not get the keyboard focus";
        d.Input().Key("Return");
        const bool gone = d.WaitFor([] { return shell::ComponentCADSelectionDialog != 0; }, 5000);
        EXPECT_TRUE(gone) << "Enter did not press OK";
        if (!gone) {
            d.ClickQtModalButton("OK");
            ASSERT_TRUE(d.WaitFor([] { return shell::ComponentCADSelectionDialog != 0; }));
        }
        // Every start window painted before the picture is taken.
        EXPECT_TRUE(d.WaitFor([] { return screen::ProgramAtRest(); }));
        d.Screenshot("start_windows");
        const HWND player = OnUi([] { return shell::ComponentCADSelectionDialog; });
        d.ClickControl(player, shell::kFrontLeftButton);
        EXPECT_TRUE(d.WaitFor([] { return network::ActivePane == 1 && screen::ProgramAtRest(); }));
        d.Screenshot("spl_plot");
        ExpectEverythingWorks(d, "after the start");
    });
}

// Right click on an element of the Front-Left pane opens its dialog.
struct PaneDialogCase {
    int kind;
    const char* name;
    const char* template_name;
};
const PaneDialogCase kPaneDialogs[] = {
    {shell::kElementInputNode, "input node", "EnterInputPort"},
    {shell::kElementFilter, "filter", "EnterBehringer"},
    {shell::kElementOutputPort, "output port", "EnterOutputPort"},
};

TEST_F(DesktopFlows, PaneElementDialogsGiveEverythingBack) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        for (const PaneDialogCase& c : kPaneDialogs) {
            for (Ending ending : kEndings) {
                const std::string context = std::string(c.name) + " dialog, " + Name(ending);
                int x = 0, y = 0;
                ASSERT_TRUE(ElementPoint(d, 1, c.kind, &x, &y)) << context;
                d.Input().Click(x, y, 3);
                const HWND dialog = d.WaitForDialog(c.template_name);
                ASSERT_TRUE(dialog)
                    << context << ": the right click opened nothing; up: " << d.DescribeModal();
                EndDialog(d, dialog, ending);
                ExpectEverythingWorks(d, context);
            }
        }
    });
}

// The player's buttons that open modal dialogs.
struct PlayerDialogCase {
    int button;
    const char* name;
    const char* template_name;
};
const PlayerDialogCase kPlayerDialogs[] = {
    {4810, "Curve Selection", solver::kPlotControlTemplate},
    {engine::kTestTonesButton, "Test Tones", "QUORVEX_LINEARIZER_TEST_TONES"},
    {1052, "Copy Speaker", "QUORVEX_LINEARIZER_COPY_SPEAKER"},
};

TEST_F(DesktopFlows, PlayerDialogsGiveEverythingBack) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        const HWND player = OnUi([] { return shell::ComponentCADSelectionDialog; });
        for (const PlayerDialogCase& c : kPlayerDialogs) {
            // Done last: Copy Speaker's Done changes the design.
            for (Ending ending : {Ending::Cancel, Ending::CloseBox, Ending::Done}) {
                const std::string context = std::string(c.name) + ", " + Name(ending);
                d.ClickControl(player, c.button);
                const HWND dialog = d.WaitForDialog(c.template_name);
                ASSERT_TRUE(dialog)
                    << context << ": the button opened nothing; up: " << d.DescribeModal();
                EndDialog(d, dialog, ending);
                ExpectEverythingWorks(d, context);
            }
        }
    });
}

// The frame's menu items that open modal dialogs.
struct FrameDialogCase {
    int menu;  // title index in the menu bar
    platform::UINT id;
    const char* name;
    const char* template_name;
};
const FrameDialogCase kFrameDialogs[] = {
    {1, shell::kCmdAssignProfiles, "Assign Profiles Remote", "ProjectFile"},
};

TEST_F(DesktopFlows, FrameMenuDialogsGiveEverythingBack) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        const HWND frame = OnUi([] { return shell::FrameWindow; });
        for (const FrameDialogCase& c : kFrameDialogs) {
            for (Ending ending : kEndings) {
                const std::string context = std::string(c.name) + ", " + Name(ending);
                ASSERT_TRUE(d.ChooseMenu(frame, c.menu, c.id)) << context;
                const HWND dialog = d.WaitForDialog(c.template_name);
                ASSERT_TRUE(dialog)
                    << context << ": the menu item opened nothing; up: " << d.DescribeModal();
                EndDialog(d, dialog, ending);
                ExpectEverythingWorks(d, context);
            }
        }
    });
}

// The MLS tool on the virtual card (output 0 looped back to input 0 and output 1 to input 1):
// opened from the Measure menu, one run with the shortest sequence clicked on its page, Save IR,
// and closed by its close box; the room equalizer of a 5-way design opened and cancelled; the tool
// opened again, where Save IR (its chooser offering the first file's name, typed over) writes the
// same capture, and closed by its close box in the middle of a run with the longest sequence. The
// devices end closed, the busy word clear, the frame and its menu take input; the saved file loaded
// by "Use Saved Buffer" gives the same impulses; System Design -> Stereo 2-Way then brings back a
// player and panes that work.
TEST_F(DesktopFlows, MlsToolMeasuresAndClosesEachWay) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        const HWND frame = OnUi([] { return shell::FrameWindow; });
        const auto impulses = [] {
            return OnUi([] {
                std::vector<float> v(shell::MlsRefSamples, shell::MlsRefSamples + 2100);
                v.insert(v.end(), shell::MlsInSamples, shell::MlsInSamples + 2100);
                return v;
            });
        };
        const auto save_ir = [&](HWND page, const char* name) {
            const std::filesystem::path path = std::filesystem::current_path() / name;
            d.ClickControl(page, measurement::kSaveIrButton);
            EXPECT_TRUE(d.AnswerFileChooser(path.string())) << d.DescribeModal();
            EXPECT_TRUE(d.WaitNoModal()) << d.DescribeModal();
            return shell::test::ReadBytes(path);
        };
        std::vector<float> measured;
        std::vector<std::uint8_t> saved;
        OnUi([] {
            const double one = 1.0;
            return platform::VirtualCardSetLoopback(0, 0, &one, 1, 64) &&
                   platform::VirtualCardSetLoopback(1, 1, &one, 1, 96);
        });
        for (int way = 0; way < 2; ++way) {
            const std::string context = way == 0 ? "MLS tool, after a run" : "MLS tool, mid-run";
            if (way == 1) {
                ASSERT_TRUE(d.ChooseMenu(frame, 1, shell::kCmdStereo5Way));
                DismissBoxes(d);
                int x = 0, y = 0;
                ASSERT_TRUE(ElementPoint(d, 1, shell::kElementRoomEq, &x, &y));
                d.Input().Click(x, y, 3);
                const HWND room_eq = d.WaitForDialog("Room_EQ");
                ASSERT_TRUE(room_eq) << "the room equalizer did not open: " << d.DescribeModal();
                d.ClickControl(room_eq, platform::IDCANCEL);
                ASSERT_TRUE(d.WaitNoModal()) << d.DescribeModal();
            }
            ASSERT_TRUE(d.ChooseMenu(frame, 5, shell::kCmdDigitalMls)) << context;
            ASSERT_TRUE(d.WaitFor([] {
                return shell::MlsControlDialog && measurement::MlsControlPage;
            })) << context;
            const HWND dialog = OnUi([] { return shell::MlsControlDialog; });
            const HWND page = OnUi([] { return measurement::MlsControlPage; });
            if (way == 1) {
                EXPECT_TRUE(save_ir(page, "again.res") == saved) << "not the capture shown";
            }
            const int length = way == 0 ? 0 : 5;
            OnUi([&] {
                measurement::MlsRefPeak = 0;
                platform::SendDlgItemMessage(page, measurement::kLengthCombo,
                                             platform::CB_SETCURSEL,
                                             static_cast<platform::WPARAM>(length), 0);
                return platform::SendMessage(
                    page, platform::WM_COMMAND,
                    platform::MAKEWPARAM(measurement::kLengthCombo, platform::CBN_SELCHANGE), 0);
            });
            d.ClickControl(page, measurement::kRunButton);
            if (way == 0) {
                EXPECT_TRUE(d.WaitFor([] { return measurement::MlsRefPeak > 0; }, 20000))
                    << context;
                EXPECT_TRUE(d.WaitFor([] {
                    return !measurement::MlsRunActive() && shell::AudioBusy == 0;
                })) << context;
                measured = impulses();
                saved = save_ir(page, "first.res");
                EXPECT_EQ(saved.size(), 2108007u);
                // One step right on the impulse view's scroll bar: the time axis shows the labels
                // of the new span alone, as the view painted afresh does.
                const HWND view = OnUi([] { return shell::MlsImpChildWindow; });
                const RECT client = d.SettledClientRect(view);
                const int bar =
                    OnUi([] { return platform::GetSystemMetrics(platform::SM_CYHSCROLL); });
                d.Input().Click(client.right - bar / 2 - 1, client.bottom + bar / 2);
                EXPECT_TRUE(d.WaitFor([] { return measurement::MlsImpScrollPosition == 1; }))
                    << context << ": the scroll bar's arrow did not scroll";
                const auto scrolled = SettledClientPixels(d, view);
                d.Screenshot("mls_impulse_scrolled");
                OnUi([view] {
                    platform::InvalidateRect(view, nullptr, platform::TRUE);
                    return platform::UpdateWindow(view);
                });
                const auto fresh = SettledClientPixels(d, view);
                EXPECT_EQ(ChangedPixels(scrolled, fresh), 0) << context << ": of " << fresh.size();
                d.CloseBox(dialog);
            } else {
                EXPECT_TRUE(d.WaitFor([] { return measurement::MlsRunActive(); }, 5000)) << context;
                d.CloseBox(dialog);
            }
            EXPECT_TRUE(d.WaitFor([] { return !shell::MlsControlDialog; }, 5000)) << context;
            EXPECT_TRUE(d.WaitFor([] {
                return platform::OpenWaveDeviceCount() == 0 && shell::AudioBusy == 0;
            })) << context;
            EXPECT_TRUE(d.WaitFor([] { return screen::TakesInput(shell::FrameWindow); }, 3000))
                << context;
            EXPECT_TRUE(OnUi([] { return screen::MenuBarTakesInput(shell::FrameWindow); }))
                << context;
        }
        ASSERT_TRUE(d.ChooseMenu(frame, 5, shell::kCmdDigitalMls));
        ASSERT_TRUE(d.WaitFor([] { return measurement::MlsControlPage.value != 0; }));
        const HWND page = OnUi([] { return measurement::MlsControlPage; });
        d.ClickControl(page, measurement::kSavedBufferBox);
        d.ClickControl(page, measurement::kRunButton);
        ASSERT_TRUE(d.AnswerFileChooser((std::filesystem::current_path() / "first.res").string()));
        EXPECT_TRUE(d.WaitFor([] { return measurement::MlsRefPeak > 0; })) << d.DescribeModal();
        EXPECT_TRUE(impulses() == measured) << "the loaded impulses differ";
        d.Screenshot("mls_saved_capture_loaded");
        d.CloseBox(OnUi([] { return shell::MlsControlDialog; }));
        ASSERT_TRUE(d.WaitFor([] { return !shell::MlsControlDialog; }, 5000));
        ASSERT_TRUE(d.ChooseMenu(frame, 1, shell::kCmdStereo2Way));
        DismissBoxes(d);
        ExpectEverythingWorks(d, "after the MLS tool");
    });
}

// The room equalizer of a 5-way design on the virtual card (outputs looped back): a right click
// on the room-EQ element of Front-Left opens it; two locations are measured by clicking their
// buttons; each ending gives everything back, and Done leaves the measured level behind.
TEST_F(DesktopFlows, RoomEqualizerMeasuresLocationsAndGivesEverythingBack) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        const HWND frame = OnUi([] { return shell::FrameWindow; });
        ASSERT_TRUE(d.ChooseMenu(frame, 1, shell::kCmdStereo5Way));
        DismissBoxes(d);
        OnUi([] {
            const double one = 1.0;
            return platform::VirtualCardSetLoopback(0, 0, &one, 1, 64) &&
                   platform::VirtualCardSetLoopback(1, 1, &one, 1, 96);
        });
        for (Ending ending : {Ending::Cancel, Ending::CloseBox, Ending::Done}) {
            const std::string context = std::string("room equalizer, ") + Name(ending);
            int x = 0, y = 0;
            ASSERT_TRUE(ElementPoint(d, 1, shell::kElementRoomEq, &x, &y)) << context;
            d.Input().Click(x, y, 3);
            const HWND dialog = d.WaitForDialog("Room_EQ");
            ASSERT_TRUE(dialog) << context
                                << ": the right click opened nothing; up: " << d.DescribeModal();
            if (ending == Ending::Done) {
                for (int location = 0; location < 2; ++location) {
                    OnUi([location] {
                        shell::RoomEQCurves[measurement::kRoomEqLevel + location]
                            ->v[shell::kCurveHoldsData] = 0.0f;
                        return 0;
                    });
                    d.ClickControl(dialog, measurement::kFirstLocation + location);
                    EXPECT_TRUE(d.WaitFor(
                        [location] {
                            return shell::AudioBusy == 0 &&
                                   shell::RoomEQCurves[measurement::kRoomEqLevel + location]
                                           ->v[shell::kCurveHoldsData] == 1.0f;
                        },
                        20000))
                        << context << ": location " << location + 1 << " was not measured";
                }
                EXPECT_TRUE(d.WaitFor([] { return screen::ProgramAtRest(); }));
                d.Screenshot("room_equalizer");
            }
            EndDialog(d, dialog, ending);
            ExpectEverythingWorks(d, context);
        }
        EXPECT_TRUE(OnUi([] {
            return shell::RoomEQCurves[measurement::kRoomEqLevel]->v[shell::kCurveHoldsData] ==
                   1.0f;
        }));
        // Play pressed while the room equalizer is open (as the auto-load chain presses it): the
        // start waits for it, the close box leaves it, then the play runs with Front-Left's own
        // network and STOP stops it.
        const auto front_left = [] {
            const shell::PaneStore& s = shell::PaneStores[0];
            return std::string(reinterpret_cast<const char*>(&s.ElementParams),
                               sizeof s.ElementParams);
        };
        const std::string kept = OnUi(front_left);
        int x = 0, y = 0;
        ASSERT_TRUE(ElementPoint(d, 1, shell::kElementRoomEq, &x, &y));
        d.Input().Click(x, y, 3);
        const HWND dialog = d.WaitForDialog("Room_EQ");
        ASSERT_TRUE(dialog) << d.DescribeModal();
        OnUi([] {
            shell::OutputLayout = 1;  // the 2 x 5-way design plays on outputs up to 10
            return platform::SendMessage(shell::ComponentCADSelectionDialog, platform::WM_COMMAND,
                                         shell::kPlayButton, 0);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
        EXPECT_EQ(OnUi([] { return engine::CurrentPlayState(); }), engine::PlayState::Starting)
            << "the play started under the room equalizer";
        EndDialog(d, dialog, Ending::CloseBox);
        EXPECT_TRUE(d.WaitFor(
            [] { return engine::CurrentPlayState() == engine::PlayState::Playing; }, 20000))
            << d.DescribeModal();
        EXPECT_EQ(OnUi(front_left), kept) << "Front-Left's network changed";
        ExpectEverythingWorks(d, "room equalizer opened while Play starts");
        // Another design chosen from the menu right after PLAY is refused, as while the play
        // runs: the play that starts is the design on screen.
        d.ClickControl(OnUi([] { return shell::ComponentCADSelectionDialog; }), shell::kPlayButton);
        ASSERT_TRUE(d.ChooseMenu(frame, 1, shell::kCmdStereo3Way));
        EXPECT_TRUE(d.WaitFor(
            [] { return engine::CurrentPlayState() == engine::PlayState::Playing; }, 20000))
            << d.DescribeModal();
        EXPECT_EQ(OnUi(front_left), kept) << "a design chosen while Play starts replaced the panes";
        d.ClickControl(OnUi([] { return shell::ComponentCADSelectionDialog; }),
                       engine::kStopCommand);
        EXPECT_TRUE(
            d.WaitFor([] { return engine::CurrentPlayState() == engine::PlayState::Stopped; }));
    });
}

// A menu opened with the mouse is worked with the keys: Up from the top wraps to the last item
// of "System Design" (Assign Profiles Remote), Enter chooses it.
TEST_F(DesktopFlows, OpenMenuTakesArrowKeysAndEnter) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        const HWND frame = OnUi([] { return shell::FrameWindow; });
        RECT title{};
        ASSERT_TRUE(OnUi([&] { return screen::MenuTitleRect(frame, 1, &title); }));
        d.ClickAt(title);
        ASSERT_TRUE(d.WaitFor([] { return screen::AnyMenuOpen(); }));
        d.Input().Key("Up");
        d.Input().Key("Return");
        const HWND dialog = d.WaitForDialog("ProjectFile");
        ASSERT_TRUE(dialog) << "Up and Enter in the open menu chose nothing; up: "
                            << d.DescribeModal();
        d.ClickControl(dialog, platform::IDCANCEL);
        ExpectEverythingWorks(d, "after a menu worked with the keys");
    });
}

// A file chooser opened from inside a modal dialog, answered by typing: the path reaches the
// dialog, and when the dialog ends everything works again.
TEST_F(DesktopFlows, NestedFileChooserInTheProfilesDialog) {
    const std::string path = (std::filesystem::current_path() / "profile one.HIF").string();
    std::ofstream(path) << "x";
    RunProgram([&](Driver& d) {
        PassFirstStartBox(d);
        const HWND frame = OnUi([] { return shell::FrameWindow; });
        ASSERT_TRUE(d.ChooseMenu(frame, 1, shell::kCmdAssignProfiles));
        const HWND dialog = d.WaitForDialog("ProjectFile");
        ASSERT_TRUE(dialog);
        d.ClickControl(dialog, 10510);  // Browse of profile 1
        ASSERT_TRUE(d.AnswerFileChooser(path));
        EXPECT_TRUE(d.WaitFor([&] {
            screen::QtModal modal;
            return !screen::ActiveQtModal(&modal);
        }));
        EXPECT_EQ(LastChosenPath(), path);
        const HWND edit = OnUi([&] { return platform::GetDlgItem(dialog, 10500); });
        EXPECT_TRUE(d.WaitFor([&] {
            char text[2048] = {};
            platform::GetWindowText(edit, text, sizeof text);
            return path == text;
        })) << "the chosen path did not reach the profile's edit";
        d.ClickControl(dialog, platform::IDOK);
        ExpectEverythingWorks(d, "profiles dialog after a nested file chooser");
    });
}

TEST_F(DesktopFlows, ProjectFileChoosersTakeTypedNames) {
    const std::string path = (std::filesystem::current_path() / "typed project.HIF").string();
    RunProgram([&](Driver& d) {
        PassFirstStartBox(d);
        const HWND frame = OnUi([] { return shell::FrameWindow; });
        ASSERT_TRUE(d.ChooseMenu(frame, 0, shell::kCmdSaveProjectAs));
        ASSERT_TRUE(d.AnswerFileChooser(path)) << d.DescribeModal();
        DismissBoxes(d);
        EXPECT_EQ(LastChosenPath(), path) << "Save Project As";
        EXPECT_TRUE(d.WaitFor([&] { return std::filesystem::exists(path); }))
            << "the project was not saved under the typed name";
        ASSERT_TRUE(d.ChooseMenu(frame, 0, shell::kCmdOpenProjectFile));
        // "Last chance to save current data ! ... DO YOU WISH TO LOAD NEW PROJECT ?"
        ASSERT_TRUE(d.WaitFor([] {
            screen::QtModal modal;
            return screen::ActiveQtModal(&modal) && modal.kind == "message box";
        })) << d.DescribeModal();
        ASSERT_TRUE(d.ClickQtModalButton("Yes"));
        ASSERT_TRUE(d.AnswerFileChooser(path)) << d.DescribeModal();
        DismissBoxes(d);
        EXPECT_EQ(LastChosenPath(), path) << "Open Project File";
        ExpectEverythingWorks(d, "after the project file choosers");
    });
}

TEST_F(DesktopFlows, WavAndDriverFileChoosersTakeTypedNames) {
    const std::string wav = (std::filesystem::current_path() / "typed tone.wav").string();
    const std::string driver = (std::filesystem::current_path() / "typed woofer.drv").string();
    std::ofstream(wav) << "RIFF";
    std::ofstream(driver) << "x";
    RunProgram([&](Driver& d) {
        PassFirstStartBox(d);
        const HWND player = OnUi([] { return shell::ComponentCADSelectionDialog; });
        d.ClickControl(player, 4911);  // Play WAV File
        d.ClickControl(player, shell::kPlayButton);
        ASSERT_TRUE(d.AnswerFileChooser(wav));
        // The file is no sound file: the player says so.
        ASSERT_TRUE(d.WaitFor([] {
            screen::QtModal modal;
            return screen::ActiveQtModal(&modal) && modal.kind == "message box";
        })) << d.DescribeModal();
        ASSERT_TRUE(d.ClickQtModalButton("OK"));
        EXPECT_EQ(LastChosenPath(), wav) << "WAV file";
        d.ClickControl(player, engine::kStopCommand);
        d.ClickControl(player, 4911);
        EXPECT_TRUE(d.WaitFor([&] { return !platform::IsDlgButtonChecked(player, 4911); }));

        int x = 0, y = 0;
        ASSERT_TRUE(ElementPoint(d, 1, shell::kElementOutputPort, &x, &y));
        d.Input().Click(x, y, 3);
        const HWND dialog = d.WaitForDialog("EnterOutputPort");
        ASSERT_TRUE(dialog);
        d.ClickControl(dialog, 1601);  // Browse
        ASSERT_TRUE(d.AnswerFileChooser(driver));
        // The file is no driver file: the program says so.
        ASSERT_TRUE(d.WaitForBox("This File Is Not Recognized As QV3 File")) << d.DescribeModal();
        ASSERT_TRUE(d.ClickQtModalButton("OK"));
        EXPECT_EQ(LastChosenPath(), driver) << "the output port's Browse";
        ASSERT_TRUE(d.WaitForDialog("EnterOutputPort"));
        d.ClickControl(dialog, platform::IDCANCEL);
        ExpectEverythingWorks(d, "after the WAV and driver file choosers");
    });
}

// Ctrl+A selects all of an edit and typed text replaces it; digits typed while the player dialog
// is up (its keyboard remote listens for digits) go into the edit and load no profile.
TEST_F(DesktopFlows, EditsTakeSelectAllAndDigitsLoadNoProfile) {
    RunProgram([&](Driver& d) {
        PassFirstStartBox(d);
        // A profile 1 that a load would try (and report as not found).
        OnUi([] {
            std::strcpy(shell::Preferences->ProfilePaths[0], "/nonexistent/profile one.HIF");
        });
        int x = 0, y = 0;
        ASSERT_TRUE(ElementPoint(d, 1, shell::kElementFilter, &x, &y));
        d.Input().Click(x, y, 3);
        const HWND dialog = d.WaitForDialog("EnterBehringer");
        ASSERT_TRUE(dialog);
        const HWND edit = OnUi([&] { return platform::GetDlgItem(dialog, 1506); });
        ASSERT_TRUE(edit);
        const std::string before = d.WindowText(edit);
        ASSERT_FALSE(before.empty());
        d.ReplaceEditText(dialog, 1506, "1234");
        EXPECT_TRUE(d.WaitForText(edit, "1234"))
            << "Ctrl+A and typing did not replace \"" << before << "\", the edit shows \""
            << d.WindowText(edit) << "\"";
        d.Input().Key("Home", platform::testing::XInput::kShift);
        d.Input().Type("56");
        EXPECT_TRUE(d.WaitForText(edit, "56"))
            << "Shift+Home did not select, the edit shows \"" << d.WindowText(edit) << "\"";
        // No profile load: no "Requested Profile Not Found" once the keys are handled, the
        // dialog is still up.
        screen::QtModal modal;
        EXPECT_TRUE(
            d.WaitFor([&] { return screen::ActiveQtModal(&modal) || screen::ProgramAtRest(); }));
        EXPECT_FALSE(OnUi([&] { return screen::ActiveQtModal(&modal); }))
            << "a message box came up: " << modal.text;
        EXPECT_TRUE(OnUi([&] {
            for (const auto& entry : screen::MessageBoxLog())
                if (entry.text.find("Profile") != std::string::npos) return false;
            return platform::IsWindow(dialog) != 0;
        })) << "a digit loaded a profile";
        d.ClickControl(dialog, platform::IDCANCEL);
        ExpectEverythingWorks(d, "after typing into the filter dialog");
    });
}

// The Qt modal window of this kind is up and has the keyboard.
bool QtModalHasKeyboard(Driver& d, const std::string& kind) {
    const bool has = d.WaitFor([&] {
        screen::QtModal modal;
        return screen::ActiveQtModal(&modal) && modal.kind == kind && modal.active;
    });
    EXPECT_EQ(OnUi([] { return screen::ModalKeyboardLosses(); }), 0)
        << "the " << kind << " let the keyboard go after taking it";
    return has;
}

// `window` has the keyboard as the layer and the X server see it, and still has it a moment
// later: a focus request still on its way (through a window manager) could otherwise move the
// keyboard between the check and the key.
bool KeyboardSettlesOn(Driver& d, HWND window) {
    const auto holds = [&] {
        return platform::GetActiveWindow() == window && screen::HoldsKeyboard(window);
    };
    if (!d.WaitFor(holds)) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    return d.WaitFor(holds);
}

// A save chooser shows the caller's name as it stands, selected: what is typed first replaces
// it and is written exactly; a name typed without extension gets the filter's ".wfr", and the
// Open chooser lists what was written.
TEST_F(DesktopFlows, SaveChoosersWriteExactlyTheTypedNames) {
    const std::filesystem::path dir = std::filesystem::current_path();
    RunProgram([&](Driver& d) {
        PassFirstStartBox(d);
        const HWND frame = OnUi([] { return shell::FrameWindow; });
        struct Row {
            std::string typed;
            std::string shown_first;  // what the name field shows when the chooser opens
            std::string written;
        };
        const Row rows[] = {
            {(dir / "mywoofer").string(), "", (dir / "mywoofer.wfr").string()},
            {"second.WFR", "mywoofer.wfr", (dir / "second.WFR").string()},
        };
        for (const Row& row : rows) {
            ASSERT_TRUE(d.ChooseMenu(frame, 0, shell::kCmdSaveDriverAs)) << row.typed;
            screen::NameField field;
            ASSERT_TRUE(d.WaitForFileChooser(&field))
                << row.typed << ": the chooser did not take the keyboard; " << d.DescribeModal();
            if (!row.shown_first.empty()) {
                EXPECT_EQ(field.text, row.shown_first);
                EXPECT_TRUE(field.all_selected) << "the offered name is not selected";
            }
            EXPECT_TRUE(d.AnswerFileChooser(row.typed));
            DismissBoxes(d);
            EXPECT_EQ(LastChosenPath(), row.written);
            EXPECT_TRUE(d.WaitFor([&] { return std::filesystem::exists(row.written); }))
                << row.written << " was not written";
        }
        // Nothing else was written under another spelling of these names.
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            if (name.find("woofer") != std::string::npos ||
                name.find("second") != std::string::npos)
                names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"mywoofer.wfr", "second.WFR"}));
        ASSERT_TRUE(d.ChooseMenu(frame, 0, shell::kCmdOpenDriverFile));
        // "Last chance to save current data ! ... DO YOU WISH TO LOAD NEW DRIVER ?": Return on
        // the box's first key answers Yes.
        ASSERT_TRUE(d.WaitFor([] {
            screen::QtModal modal;
            return screen::ActiveQtModal(&modal) && modal.active &&
                   modal.text.find("LOAD NEW DRIVER") != std::string::npos;
        })) << "the box did not come up or take the keyboard; "
            << d.DescribeModal();
        d.Input().Key("Return");
        ASSERT_TRUE(QtModalHasKeyboard(d, "file dialog")) << d.DescribeModal();
        EXPECT_TRUE(d.WaitFor([] {
            return screen::FileChooserLists("mywoofer.wfr") &&
                   screen::FileChooserLists("second.WFR");
        })) << "the Open chooser does not list the saved drivers";
        d.Screenshot("open_driver_chooser");
        d.Input().Key("Escape");
        ExpectEverythingWorks(d, "after the driver choosers");
    });
}

// A modal dialog opened with Space on the player's button takes the keys at once: Escape
// cancels it, and opened again, Return ends it.
TEST_F(DesktopFlows, DialogOpenedFromTheKeyboardTakesEscapeAndReturn) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        const HWND player = OnUi([] { return shell::ComponentCADSelectionDialog; });
        const HWND button =
            OnUi([&] { return platform::GetDlgItem(player, engine::kTestTonesButton); });
        for (const char* key : {"Escape", "Return"}) {
            OnUi([&] { return platform::SetFocus(button); });
            ASSERT_TRUE(d.WaitFor([&] { return platform::GetFocus() == button; }))
                << "the Test Tones button did not take the focus";
            ASSERT_TRUE(KeyboardSettlesOn(d, player)) << "the player did not take the keyboard";
            d.Input().Key("space");
            const HWND dialog = d.WaitForDialog("QUORVEX_LINEARIZER_TEST_TONES");
            ASSERT_TRUE(dialog) << "Space opened nothing; up: " << d.DescribeModal();
            EXPECT_TRUE(KeyboardSettlesOn(d, dialog)) << "Test Tones did not take the keyboard";
            d.Input().Key(key);
            EXPECT_TRUE(d.WaitFor([] { return !screen::InnermostModalDialog(); }, 3000))
                << key << " did not end Test Tones";
            ExpectEverythingWorks(d, std::string("Test Tones ended by ") + key);
        }
    });
}

// With no printer set up, Print in the diffraction calculator still prints: the Printout Control
// box takes Return on its first key, and the printer dialog offers the PDF output, which then
// holds the window's image.
TEST_F(DesktopFlows, DiffractionPrintsToAPdfWithoutAPrinter) {
    const std::string pdf = (std::filesystem::current_path() / "diffraction.pdf").string();
    RunProgram([&](Driver& d) {
        PassFirstStartBox(d);
        const HWND frame = OnUi([] { return shell::FrameWindow; });
        ASSERT_TRUE(d.ChooseMenu(frame, 2, shell::kCmdDiffractionModel));
        ASSERT_TRUE(d.WaitFor([] { return shell::DiffractionCalculatorDialog != 0; }));
        const HWND calculator = OnUi([] { return shell::DiffractionCalculatorDialog; });
        d.ClickControl(calculator, driverdata::kDiffPrint);
        const HWND scales = d.WaitForDialog("EnterScales");
        ASSERT_TRUE(scales) << d.DescribeModal();
        EXPECT_TRUE(KeyboardSettlesOn(d, scales)) << "Printout Control did not take the keyboard";
        d.Input().Key("Return");
        RECT field{};
        std::string text;
        ASSERT_TRUE(
            d.WaitFor([&] { return screen::QtModalEdit("filename", &field, &text); }, 15000))
            << "no PDF output offered; up: " << d.DescribeModal();
        d.Screenshot("print_dialog");
        d.ClickAt(field);
        d.Input().Key("a", platform::testing::XInput::kControl);
        d.Input().Type(pdf);
        ASSERT_TRUE(d.WaitFor([&] {
            return screen::QtModalEdit("filename", nullptr, &text) && text == pdf;
        })) << "the output file field shows \""
            << text << "\"";
        d.Input().Key("Return");
        EXPECT_TRUE(d.WaitNoModal()) << d.DescribeModal();
        platform::testing::PdfLayout layout;
        EXPECT_TRUE(d.WaitFor([&] { return platform::testing::ReadPdfLayout(pdf, &layout); }))
            << "no PDF written";
        EXPECT_EQ(layout.pages, 1);
        ASSERT_EQ(layout.images.size(), 1u) << "the page holds no window image";
        EXPECT_GT(layout.images[0].width, 100.0);
        EXPECT_GT(layout.images[0].height, 50.0);
        EXPECT_TRUE(OnUi([] {
            for (const auto& entry : screen::MessageBoxLog())
                if (entry.text.find("Print") != std::string::npos) return false;
            return true;
        })) << "the print job reported a failure";
        d.CloseBox(calculator);
        EXPECT_TRUE(d.WaitFor([] { return !shell::DiffractionCalculatorDialog; }));
        EXPECT_TRUE(d.WaitFor([] { return screen::TakesInput(shell::FrameWindow); }, 3000));
        EXPECT_TRUE(OnUi([] { return screen::MenuBarTakesInput(shell::FrameWindow); }));
    });
}

// A digit whose profile is missing says so; Return closes the box, the player has the keyboard
// again, and the next digit loads its profile.
TEST_F(DesktopFlows, MissingProfileKeyThenAPresentOneLoadsIt) {
    const std::string present = (std::filesystem::current_path() / "profile two.HIF").string();
    RunProgram([&](Driver& d) {
        PassFirstStartBox(d);
        const HWND player = OnUi([] { return shell::ComponentCADSelectionDialog; });
        ASSERT_EQ(OnUi([&] {
                      std::strcpy(shell::Preferences->ProfilePaths[0], "/nonexistent/one.HIF");
                      std::strcpy(shell::Preferences->ProfilePaths[1], present.c_str());
                      return shell::WriteProjectFile(shell::FrameWindow, present.c_str());
                  }),
                  1);
        OnUi([&] { return platform::SetFocus(player); });
        ASSERT_TRUE(KeyboardSettlesOn(d, player));
        const HWND configuration = OnUi([] { return shell::Splitter1Window; });
        d.Input().Key("1");
        ASSERT_TRUE(d.WaitForBox("Requested Profile Not Found"));
        EXPECT_TRUE(QtModalHasKeyboard(d, "message box")) << "the box did not take the keyboard";
        d.Input().Key("Return");
        ASSERT_TRUE(d.WaitNoModal(3000)) << "Return did not close the box; " << d.DescribeModal();
        EXPECT_TRUE(KeyboardSettlesOn(d, player)) << "the player did not get the keyboard back";
        EXPECT_TRUE(OnUi([&] { return configuration && platform::IsWindow(configuration); }))
            << "the configuration window was closed";
        d.Input().Key("2");
        EXPECT_TRUE(d.WaitFor([&] {
            char title[512] = {};
            platform::GetWindowText(shell::FrameWindow, title, sizeof title);
            return std::string(title).find("profile two.HIF") != std::string::npos;
        })) << "the present profile was not loaded; the frame reads \""
            << d.WindowText(OnUi([] { return shell::FrameWindow; })) << "\"";
        DismissBoxes(d);
        ExpectEverythingWorks(d, "after the profile keys");
    });
}

// The pixels of a window's image, every second one each way.
std::vector<platform::COLORREF> WindowPixels(HWND hwnd) {
    std::vector<platform::COLORREF> pixels;
    RECT client{};
    if (!platform::GetClientRect(hwnd, &client)) return pixels;
    const platform::HDC dc = platform::GetDC(hwnd);
    if (!dc) return pixels;
    for (int y = 0; y < client.bottom; y += 2)
        for (int x = 0; x < client.right; x += 2) pixels.push_back(platform::GetPixel(dc, x, y));
    platform::ReleaseDC(hwnd, dc);
    return pixels;
}

// The plot area of the Post Processing page (inside its frame, where the curves and legends
// are drawn), as its image holds it and as the screen shows it, side by side. The axis labels
// outside it are drawn again over themselves without an erase (the page does not erase its
// background) and are left out.
std::vector<platform::COLORREF> PlotPixels() {
    const HWND page = measurement::MlsSplPage;
    RECT client{};
    if (!platform::GetClientRect(page, &client)) return {};
    const std::vector<platform::COLORREF> image = WindowPixels(page);
    const std::vector<platform::COLORREF> shown = platform::testing::ShownClientPixels(page, 2);
    const int columns = (client.right + 1) / 2;
    std::vector<platform::COLORREF> pixels;
    for (const auto* source : {&image, &shown})
        for (std::size_t i = 0; i < source->size(); ++i) {
            const int x = 2 * (static_cast<int>(i) % columns);
            const int y = 2 * (static_cast<int>(i) / columns);
            if (x > 60 && x < client.right - 21 && y > 19 && y < client.bottom - 22)
                pixels.push_back((*source)[i]);
        }
    return pixels;
}

// The Processing page's buttons change what the MLS plot shows at once, without a tab switch:
// each row clicks its buttons and compares the plot area with the one before (or with the empty
// plot where the row takes every curve away again: no curve or legend may stay; the 0-degree
// line is part of the empty plot), on the window's image and on the screen.
TEST_F(DesktopFlows, ProcessingPlotRepaintsWhenItsDataChange) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        const HWND frame = OnUi([] { return shell::FrameWindow; });
        ASSERT_TRUE(d.ChooseMenu(frame, 5, shell::kCmdDigitalMls));
        ASSERT_TRUE(
            d.WaitFor([] { return shell::MlsControlDialog && measurement::MlsControlTab; }));
        OnUi([] {
            platform::SendMessage(measurement::MlsControlTab, platform::TCM_SETCURSEL, 1, 0);
            platform::NMHDR note{measurement::MlsControlTab, measurement::kMlsControlTabId,
                                 platform::TCN_SELCHANGE};
            return platform::SendMessage(shell::MlsControlDialog, platform::WM_NOTIFY,
                                         measurement::kMlsControlTabId,
                                         reinterpret_cast<platform::LPARAM>(&note));
        });
        ASSERT_TRUE(d.WaitFor([] {
            return measurement::MlsControlPage && measurement::MlsSplPage &&
                   measurement::MlsSplPageIndex == 2;
        })) << "the Processing page did not open";
        const HWND page = OnUi([] { return measurement::MlsControlPage; });
        // The plot once the program has painted all it was given and the screen shows it.
        const auto settled = [&] {
            std::vector<platform::COLORREF> pixels;
            EXPECT_TRUE(d.WaitFor([&] {
                pixels = PlotPixels();
                const auto half = pixels.begin() + std::ssize(pixels) / 2;
                return screen::ProgramAtRest() && !pixels.empty() &&
                       std::equal(pixels.begin(), half, half);
            })) << "the plot on screen differs from the page's image";
            return pixels;
        };
        const auto empty = settled();
        ASSERT_FALSE(empty.empty());
        struct Row {
            const char* what;
            std::vector<int> clicks;
            bool back_to_empty;  // the plot must then show exactly what it showed at first
            const char* screenshot;
        };
        using namespace measurement;
        const Row rows[] = {
            {"SPL -> Buffer 1, Show Curve 1",
             {kProcLoad1, kProcShow1},
             false,
             "processing_curve_1"},
            {"Show Curve 1 unticked", {kProcShow1}, true, "processing_unticked"},
            {"Show Master Buffer (unit-valued)", {kProcShowMaster}, false, "processing_master"},
            {"buffer 1 plus, Execute Above -> Master Buffer",
             {kProcPlus1, kProcSum},
             false,
             "processing_execute"},
            {"Show Master Buffer unticked", {kProcShowMaster}, true, "processing_master_off"},
        };
        auto before = empty;
        for (const Row& row : rows) {
            for (int id : row.clicks) d.ClickControl(page, id);
            int changed = 0;
            if (row.back_to_empty) {
                EXPECT_TRUE(d.WaitFor(
                    [&] {
                        changed = ChangedPixels(empty, PlotPixels());
                        return changed == 0;
                    },
                    3000))
                    << row.what << ": " << changed << " pixels differ from the empty plot";
            } else {
                EXPECT_TRUE(d.WaitFor(
                    [&] {
                        changed = ChangedPixels(before, PlotPixels());
                        return changed > 100;
                    },
                    3000))
                    << row.what << ": only " << changed << " pixels changed";
            }
            before = settled();
            d.Screenshot(row.screenshot);
        }
        d.CloseBox(OnUi([] { return shell::MlsControlDialog; }));
        EXPECT_TRUE(d.WaitFor([] { return !shell::MlsControlDialog; }));
    });
}

// The MLS frequency view resized by a drag of its corner with the mouse shows one clean plot:
// the page on screen is the page shown afresh at that size (another tab chosen and back).
TEST_F(DesktopFlows, MlsFrequencyViewDrawsWholeAfterItsCornerIsDragged) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        ASSERT_TRUE(
            d.ChooseMenu(OnUi([] { return shell::FrameWindow; }), 5, shell::kCmdDigitalMls));
        ASSERT_TRUE(d.WaitFor([] {
            return shell::MlsSplChildWindow && measurement::MlsSplPage &&
                   platform::IsWindowVisible(shell::MlsSplChildWindow);
        }));
        const HWND view = OnUi([] { return shell::MlsSplChildWindow; });
        const RECT before = d.SettledClientRect(view);
        const RECT outer = d.WindowRect(view);
        const RECT area = d.ClientRect(OnUi([] { return shell::MdiClientWindow; }));
        // Larger where the frame has room; narrower where it has none (lower, the axis labels of
        // this plot would meet).
        const int dx = area.right - outer.right > 220 ? 200 : -200;
        const int dy = area.bottom - outer.bottom > 140 ? 120 : 0;
        d.Input().Drag(outer.right - 3, outer.bottom - 3, outer.right - 3 + dx,
                       outer.bottom - 3 + dy);
        ASSERT_TRUE(d.WaitFor([&] {
            RECT now{};
            return screen::ScreenClientRect(view, &now) &&
                   std::abs(now.right - before.right - dx) < 20;
        })) << "the corner drag did not resize the view";
        const auto settled = [&] { return SettledClientPixels(d, measurement::MlsSplPage); };
        const auto resized = settled();
        d.Screenshot("mls_view_corner_dragged");
        OnUi([] {
            measurement::ShowMlsSplPage(1);
            measurement::ShowMlsSplPage(0);
        });
        ASSERT_TRUE(d.WaitFor([] { return measurement::MlsSplPageIndex == 0; }));
        const auto fresh = settled();
        EXPECT_EQ(ChangedPixels(resized, fresh), 0) << "of " << fresh.size() << " pixels";
        d.CloseBox(OnUi([] { return shell::MlsControlDialog; }));
        EXPECT_TRUE(d.WaitFor([] { return !shell::MlsControlDialog; }));
    });
}

// A 16-bit stereo WAV at 48 kHz: a full-scale square wave for four seconds, then twenty of
// silence (long enough that a loaded machine still sees both parts while it plays).
void WriteLoudThenQuietWav(const std::string& path) {
    constexpr std::uint32_t kRate = 48000, kLoud = 4 * kRate, kFrames = 24 * kRate;
    std::string file = "RIFF";
    const auto put = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) file.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    put(36 + 4 * kFrames);
    file += "WAVEfmt ";
    for (std::uint32_t v : {16u, 1u | (2u << 16), kRate, 4 * kRate, 4u | (16u << 16)}) put(v);
    file += "data";
    put(4 * kFrames);
    for (std::uint32_t n = 0; n < kFrames; ++n)  // both channels at +32000 and -32000, then 0
        put(n >= kLoud ? 0u : (n / 24) % 2 ? 0x7D007D00u : 0x83008300u);
    std::ofstream out(path, std::ios::binary);
    ASSERT_TRUE(out.write(file.data(), static_cast<std::streamsize>(file.size()))) << path;
}

// The bars of inputs 1 and 3 (the file's two channels), probed on screen 100 pixels above the
// meter's bottom, stand high while the file is loud and fall to their stubs (the dialog's colour
// there) once it turns quiet, while it still plays.
TEST_F(DesktopFlows, PlayerMetersFallWhenTheWavTurnsQuiet) {
    const std::string wav = (std::filesystem::current_path() / "loud then quiet.wav").string();
    ASSERT_NO_FATAL_FAILURE(WriteLoudThenQuietWav(wav));
    RunProgram([&](Driver& d) {
        PassFirstStartBox(d);
        const HWND player = OnUi([] { return shell::ComponentCADSelectionDialog; });
        const HWND meter =
            OnUi([&] { return platform::GetDlgItem(player, engine::kInputMeterControl); });
        ASSERT_TRUE(meter);
        const auto bars_lit = [&](bool lit) {
            RECT c{};
            platform::GetClientRect(meter, &c);
            const std::vector<platform::COLORREF> shown = screen::ShownClientPixels(meter, 1);
            const platform::COLORREF face = platform::GetSysColor(platform::COLOR_BTNFACE);
            for (int bar : {0, 2}) {
                const auto at = static_cast<std::size_t>((c.bottom - 100) * c.right + 4 + 8 * bar);
                if (at >= shown.size() || (shown[at] != face) != lit) return false;
            }
            return true;
        };
        d.ClickControl(player, engine::kPlayWavFileCheck);
        d.ClickControl(player, shell::kPlayButton);
        ASSERT_TRUE(d.AnswerFileChooser(wav));
        // While the play is still starting the canvas may not have been painted at all.
        EXPECT_TRUE(d.WaitFor(
            [&] {
                return engine::CurrentPlayState() == engine::PlayState::Playing && bars_lit(true);
            },
            20000))
            << "loud: " << d.DescribeModal();
        d.Screenshot("player_meters_loud");
        EXPECT_TRUE(d.WaitFor([&] { return bars_lit(false); }, 15000))
            << "the bars stay up when quiet";
        EXPECT_EQ(OnUi([] { return engine::CurrentPlayState(); }), engine::PlayState::Playing)
            << "the bars fell only when the playback ended";
        d.Screenshot("player_meters_quiet");
        d.ClickControl(player, engine::kStopCommand);
        EXPECT_TRUE(
            d.WaitFor([] { return engine::CurrentPlayState() == engine::PlayState::Stopped; }));
        d.ClickControl(player, engine::kPlayWavFileCheck);
    });
}

// Of the bottom `rows` rows of the Stereo window's client area on screen, every second pixel each
// way that shows the Stereo window or a pane's client area (not another window over them): how
// many, and how many differ from what that window holds in its image there (or lie beyond it).
std::pair<int, int> CompareBottomStrip(HWND stereo, int rows) {
    RECT c{};
    if (!screen::ScreenClientRect(stereo, &c)) return {0, 0};
    const int width = c.right - c.left;
    const std::vector<platform::COLORREF> shown =
        screen::ShownScreenPixels(RECT{c.left, c.bottom - rows, c.right, c.bottom});
    if (shown.size() != static_cast<std::size_t>(width * rows)) return {0, 0};
    int compared = 0, differing = 0;
    for (int y = 0; y < rows; y += 2)
        for (int x = 0; x < width; x += 2) {
            const HWND under = screen::WindowAt(c.left + x, c.bottom - rows + y);
            if (under != stereo && platform::GetParent(under) != stereo) continue;
            platform::POINT p{c.left + x, c.bottom - rows + y};
            platform::ScreenToClient(under, &p);
            const platform::HDC dc = platform::GetDC(under);
            const platform::COLORREF held = platform::GetPixel(dc, p.x, p.y);
            platform::ReleaseDC(under, dc);
            if (held == platform::CLR_INVALID && under != stereo) continue;  // a pane's client edge
            ++compared;
            differing += held != shown[y * width + x];
        }
    return {compared, differing};
}

// Between the top of the work area and the frame's menu bar lies the frame's caption, drawn by a
// window manager or, without one, by the frame itself: not the bare black screen. System Design
// -> Stereo 2 x 8 Way, maximised with a double click on its title bar: after everything is
// repainted afresh, the bottom strip shows what the windows hold, nothing older.
TEST_F(DesktopFlows, FrameCaptionAndMaximisedStereoWindowShowNothingStale) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        const RECT work = OnUi([] { return screen::WorkArea(); });
        const RECT client = d.SettledClientRect(OnUi([] { return shell::FrameWindow; }));
        const int menu = OnUi([] { return platform::GetSystemMetrics(platform::SM_CYMENU); });
        const std::vector<platform::COLORREF> top = OnUi([&] {
            return screen::ShownScreenPixels(
                RECT{work.left, work.top, work.right, client.top - menu});
        });
        ASSERT_FALSE(top.empty());
        d.Screenshot("frame_top");
        const auto black = std::count(top.begin(), top.end(), platform::RGB(0, 0, 0));
        EXPECT_LT(black * 10, std::ssize(top)) << black << " black pixels above the menu bar";
        ASSERT_TRUE(
            d.ChooseMenu(OnUi([] { return shell::FrameWindow; }), 1, shell::kCmdStereo8Way));
        DismissBoxes(d);
        ASSERT_TRUE(d.WaitFor([] { return shell::Splitter1Window.value != 0; }));
        const HWND stereo = OnUi([] { return shell::Splitter1Window; });
        d.SettledClientRect(stereo);
        const RECT outer = d.WindowRect(stereo);
        d.Input().DoubleClick(outer.left + 60, outer.top + 10);  // its title bar
        const RECT area = d.ClientRect(OnUi([] { return shell::MdiClientWindow; }));
        ASSERT_TRUE(d.WaitFor([&] {
            RECT now{};
            return screen::ScreenClientRect(stereo, &now) && now.top == area.top;
        })) << "the Stereo window was not maximised";
        d.Screenshot("stereo_8way_maximised");
        OnUi([&] {
            for (HWND h : {network::PaneWindows[0], network::PaneWindows[2], stereo}) {
                platform::InvalidateRect(h, nullptr, platform::TRUE);
                platform::UpdateWindow(h);
            }
        });
        std::pair<int, int> strip;
        d.WaitFor([&] { return (strip = CompareBottomStrip(stereo, 60)).second == 0; }, 3000);
        EXPECT_GT(strip.first, 1000) << "pixels compared";
        EXPECT_EQ(strip.second, 0) << "of " << strip.first << " pixels of the bottom strip differ";
    });
}

}  // namespace
}  // namespace x11test
