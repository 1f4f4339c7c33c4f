// The tool windows on a real screen: the HBT editor's and the diffraction calculator's dialogs
// open beside their plots where the screen has room, and once moved, closed and opened again
// come back where they were left; the MLS tool on the virtual card's loudspeaker loopback shows
// an impulse and a curve, its dialog clear of its views.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "frame/FrameCommands.h"
#include "measurement/Globals.h"
#include "measurement/MlsRun.h"
#include "measurement/MlsWindows.h"
#include "network/EditorState.h"
#include "platform/audio/VirtualCard.h"
#include "platform/gdi/Gdi.h"
#include "platform/testing/DrawnTexts.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "shell/NetworkTables.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"
#include "solver/Ids.h"
#include "solver/PlotControlDialog.h"
#include "tests/x11/ProgramOnScreen.h"

namespace x11test {
namespace {

namespace screen = platform::testing;

std::string Show(const RECT& r) {
    std::string text = "(";
    text += std::to_string(r.left) + ", " + std::to_string(r.top) + ") - (" +
            std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
    return text;
}

long long Overlap(const RECT& a, const RECT& b) {
    const long long w = std::min(a.right, b.right) - std::max(a.left, b.left);
    const long long h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

// Whether a dialog of this size fits the work area somewhere beside the plot (right, below,
// left or above it) without covering it.
bool RoomBeside(const RECT& plot, int width, int height, const RECT& work) {
    const bool tall = work.bottom - work.top >= height;
    const bool wide = work.right - work.left >= width;
    return (tall && work.right - plot.right >= width) ||
           (wide && work.bottom - plot.bottom >= height) ||
           (tall && plot.left - work.left >= width) || (wide && plot.top - work.top >= height);
}

// The window rectangle once it has stayed the same for a moment.
RECT SettledWindowRect(Driver& d, HWND hwnd) {
    RECT r = d.WindowRect(hwnd);
    for (int i = 0; i < 40; ++i) {
        d.WaitFor([] { return false; }, 50);
        const RECT now = d.WindowRect(hwnd);
        const bool same = now.left == r.left && now.top == r.top && now.right == r.right &&
                          now.bottom == r.bottom;
        r = now;
        if (same && i > 2) break;
    }
    return r;
}

struct Tool {
    const char* name;
    int menu;  // menu bar title
    platform::UINT command;
    std::function<HWND()> dialog;  // read on the UI thread
    std::function<HWND()> plot;
};

const Tool kTools[] = {
    {"hbt_editor", 2, shell::kCmdFileEditor, [] { return shell::TransferFunctionDialog; },
     [] { return shell::EditorChildWindow; }},
    {"diffraction", 2, shell::kCmdDiffractionModel,
     [] { return shell::DiffractionCalculatorDialog; },
     [] { return shell::DiffractionChildWindow; }},
};

class ToolWindows : public ProgramOnScreen {};

TEST_F(ToolWindows, DialogsOpenBesideTheirPlotsAndComeBackWhereTheyWereLeft) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        const HWND frame = OnUi([] { return shell::FrameWindow; });
        const RECT work = OnUi([] { return screen::WorkArea(); });
        for (const Tool& tool : kTools) {
            SCOPED_TRACE(tool.name);
            ASSERT_TRUE(d.ChooseMenu(frame, tool.menu, tool.command));
            ASSERT_TRUE(d.WaitFor([&] {
                return tool.dialog() && tool.plot() && platform::IsWindowVisible(tool.dialog());
            }));
            const HWND dialog = OnUi([&] { return tool.dialog(); });
            const HWND plot = OnUi([&] { return tool.plot(); });
            const RECT opened = SettledWindowRect(d, dialog);
            const RECT plot_rect = d.ClientRect(plot);
            const int width = opened.right - opened.left;
            const int height = opened.bottom - opened.top;
            d.Screenshot(std::string(tool.name) + "_opened");
            if (RoomBeside(plot_rect, width, height, work)) {
                EXPECT_EQ(Overlap(opened, plot_rect), 0)
                    << "the dialog " << Show(opened) << " covers its plot " << Show(plot_rect);
            } else {
                // No room: it covers as little of the plot as it can, a fiftieth at most here.
                EXPECT_LE(Overlap(opened, plot_rect) * 50,
                          static_cast<long long>(plot_rect.right - plot_rect.left) *
                              (plot_rect.bottom - plot_rect.top))
                    << "the dialog " << Show(opened) << " covers its plot " << Show(plot_rect);
            }

            // Moved somewhere on the screen it may stay: by its title bar with a window manager;
            // without one nothing on the screen can move it, so the program is asked to.
            const RECT client = d.ClientRect(dialog);
            const RECT plot_client = OnUi([&] {
                RECT r{};
                screen::ScreenClientRect(plot, &r);
                return r;
            });
            const int deltas[][2] = {{80, 0}, {-80, 0}, {0, 40}, {0, -40}, {30, 0}, {-30, 0}};
            int dx = 0, dy = 0;
            for (const auto& delta : deltas) {
                const RECT moved{opened.left + delta[0], opened.top + delta[1],
                                 opened.right + delta[0], opened.bottom + delta[1]};
                if (moved.left < work.left || moved.top < work.top || moved.right > work.right ||
                    moved.bottom > work.bottom)
                    continue;
                const platform::POINT kept = frame::PlaceToolDialog({moved.left, moved.top}, width,
                                                                    height, &plot_client, 1, work);
                if (kept.x != moved.left || kept.y != moved.top) continue;
                dx = delta[0];
                dy = delta[1];
                break;
            }
            ASSERT_TRUE(dx != 0 || dy != 0) << "no free place to move the dialog to";
            if (x11test::Setup().window_manager) {
                const int title_y = (opened.top + client.top) / 2;
                const int grab_x = opened.left + 60;
                d.Input().Drag(grab_x, title_y, grab_x + dx, title_y + dy);
            } else {
                OnUi([&] {
                    RECT now{};
                    platform::GetWindowRect(dialog, &now);
                    return platform::MoveWindow(dialog, now.left + dx, now.top + dy,
                                                now.right - now.left, now.bottom - now.top,
                                                platform::TRUE);
                });
            }
            ASSERT_TRUE(d.WaitFor(
                [&] {
                    RECT now{};
                    screen::ScreenWindowRect(dialog, &now);
                    return now.left == opened.left + dx && now.top == opened.top + dy;
                },
                5000))
                << "the dialog did not move by (" << dx << ", " << dy << ")";
            const RECT left_at = SettledWindowRect(d, dialog);

            d.CloseBox(dialog);
            ASSERT_TRUE(d.WaitFor([&] { return !tool.dialog(); }, 5000)) << "it did not close";
            ASSERT_TRUE(d.ChooseMenu(frame, tool.menu, tool.command));
            ASSERT_TRUE(d.WaitFor(
                [&] { return tool.dialog() && platform::IsWindowVisible(tool.dialog()); }));
            const RECT back = SettledWindowRect(d, OnUi([&] { return tool.dialog(); }));
            d.Screenshot(std::string(tool.name) + "_reopened");
            EXPECT_EQ(back.left, left_at.left) << Show(back) << " left at " << Show(left_at);
            EXPECT_EQ(back.top, left_at.top) << Show(back) << " left at " << Show(left_at);
        }
    });
}

// The MLS tool on the loudspeaker loopback: one run of the shortest sequence and Calculate SPL
// give an impulse and an SPL curve with the loudspeaker's bass roll-off; the dialog stands clear
// of the two views where the screen has room.
TEST_F(ToolWindows, MlsToolMeasuresTheLoopbackLoudspeaker) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        const HWND frame = OnUi([] { return shell::FrameWindow; });
        OnUi([] { platform::VirtualCardSetSpeakerLoopback(); });
        ASSERT_TRUE(d.ChooseMenu(frame, 5, shell::kCmdDigitalMls));
        ASSERT_TRUE(d.WaitFor([] {
            return shell::MlsControlDialog && measurement::MlsControlPage &&
                   shell::MlsImpChildWindow && shell::MlsSplChildWindow;
        }));
        const HWND dialog = OnUi([] { return shell::MlsControlDialog; });
        const HWND page = OnUi([] { return measurement::MlsControlPage; });
        const RECT opened = SettledWindowRect(d, dialog);
        const RECT work = OnUi([] { return screen::WorkArea(); });
        for (const HWND view : {OnUi([] { return shell::MlsImpChildWindow; }),
                                OnUi([] { return shell::MlsSplChildWindow; })}) {
            const RECT r = d.ClientRect(view);
            if (RoomBeside(r, opened.right - opened.left, opened.bottom - opened.top, work)) {
                EXPECT_EQ(Overlap(opened, r), 0)
                    << "the MLS dialog " << Show(opened) << " covers a view " << Show(r);
            }
        }
        OnUi([&] {
            measurement::MlsRefPeak = 0;
            platform::SendDlgItemMessage(page, measurement::kLengthCombo, platform::CB_SETCURSEL, 0,
                                         0);
            return platform::SendMessage(
                page, platform::WM_COMMAND,
                platform::MAKEWPARAM(measurement::kLengthCombo, platform::CBN_SELCHANGE), 0);
        });
        d.ClickControl(page, measurement::kRunButton);  // Run MLS
        ASSERT_TRUE(d.WaitFor(
            [] {
                return measurement::MlsRefPeak > 0 && !measurement::MlsRunActive() &&
                       shell::AudioBusy == 0;
            },
            20000))
            << "no impulse came back";
        EXPECT_EQ(OnUi([] { return measurement::MlsRefPeak; }),
                  100 + platform::kSpeakerReferenceLatency);
        EXPECT_GT(OnUi([] { return measurement::MlsInPeak; }),
                  OnUi([] { return measurement::MlsRefPeak; }));
        // A gate that fits the shortest sequence, typed as a person would.
        d.ReplaceEditText(page, measurement::kWindowWidthEdit, "4096");
        const HWND width =
            OnUi([&] { return platform::GetDlgItem(page, measurement::kWindowWidthEdit); });
        ASSERT_TRUE(d.WaitForText(width, "4096"))
            << "the gate width edit shows \"" << d.WindowText(width) << "\"";
        OnUi([] { measurement::MlsSplCalculated = 0; });
        d.ClickControl(page, measurement::kCalculateButton);  // Calculate SPL
        // Calculated (or refused with a box) once the click has been handled.
        screen::QtModal box;
        EXPECT_TRUE(d.WaitFor([&] {
            return measurement::MlsSplCalculated == 1 || screen::ActiveQtModal(&box);
        })) << "Calculate SPL did nothing";
        EXPECT_FALSE(OnUi([&] { return screen::ActiveQtModal(&box); })) << d.DescribeModal();
        const float bass_drop = OnUi([] {
            auto at = [](double hz) {
                int j = 0;
                while (j < shell::kGridPoints - 1 && shell::FrequencyGrid[j] < hz) ++j;
                return shell::CurrentDriverRecord->Spl[j];
            };
            return at(1000.0) - at(30.0);
        });
        EXPECT_GT(bass_drop, 8.0f) << "no bass roll-off in the measured curve";
        d.Screenshot("mls_loopback");
        d.CloseBox(dialog);
        EXPECT_TRUE(d.WaitFor(
            [] { return !shell::MlsControlDialog && platform::OpenWaveDeviceCount() == 0; }));
    });
}

// ---- Labels ----

// Repaints `windows` whole while the drawing layer logs the texts, and says what is wrong with
// the labels of every window that drew one: two texts whose ink meets, or a text whose ink leaves
// its window. The same text drawn twice in one place (a frame drawn again) counts once. With
// `below_frame`, texts reaching below the plot's frame (20 pixels above the window's bottom edge:
// legend rows whose places lie there) are left out.
std::vector<std::string> LabelFaults(const std::string& name, const std::vector<HWND>& windows,
                                     bool below_frame) {
    return OnUi([&] {
        screen::RecordDrawnTexts(true);
        for (const HWND w : windows) {
            platform::InvalidateRect(w, nullptr, platform::TRUE);
            platform::UpdateWindow(w);
        }
        screen::RecordDrawnTexts(false);
        std::vector<std::string> faults;
        std::vector<screen::DrawnText> seen;
        for (const screen::DrawnText& t : screen::DrawnTexts()) {
            bool again = false;
            for (const screen::DrawnText& s : seen)
                again = again || (s.window == t.window && s.text == t.text &&
                                  s.ink.left == t.ink.left && s.ink.top == t.ink.top);
            if (!again && !(below_frame && t.ink.bottom > t.client.bottom - 20)) seen.push_back(t);
        }
        for (std::size_t i = 0; i < seen.size(); ++i) {
            const screen::DrawnText& a = seen[i];
            if (a.ink.left < a.client.left || a.ink.top < a.client.top ||
                a.ink.right > a.client.right || a.ink.bottom > a.client.bottom)
                faults.push_back(name + ": \"" + a.text + "\" " + Show(a.ink) +
                                 " leaves its window " + Show(a.client));
            for (std::size_t j = i + 1; j < seen.size(); ++j) {
                const screen::DrawnText& b = seen[j];
                if (b.window == a.window && Overlap(a.ink, b.ink) > 0)
                    faults.push_back(name + ": \"" + a.text + "\" " + Show(a.ink) + " and \"" +
                                     b.text + "\" " + Show(b.ink) + " meet");
            }
        }
        if (seen.empty()) faults.push_back(name + ": no text drawn at all");
        return faults;
    });
}

struct ScreenText {
    std::string text;
    RECT ink;  // screen pixels
};

// The texts `windows` draw when repainted whole, where their ink lies on the screen.
std::vector<ScreenText> TextsOnScreen(const std::vector<HWND>& windows) {
    return OnUi([&] {
        screen::RecordDrawnTexts(true);
        for (const HWND w : windows) {
            platform::InvalidateRect(w, nullptr, platform::TRUE);
            platform::UpdateWindow(w);
        }
        screen::RecordDrawnTexts(false);
        std::vector<ScreenText> out;
        for (const screen::DrawnText& t : screen::DrawnTexts()) {
            if (!t.window) continue;
            platform::POINT corner{0, 0};
            platform::ClientToScreen(t.window, &corner);
            out.push_back({t.text, RECT{t.ink.left + corner.x, t.ink.top + corner.y,
                                        t.ink.right + corner.x, t.ink.bottom + corner.y}});
        }
        return out;
    });
}

void ExpectLabelsApart(Driver& d, const std::string& name, const std::vector<HWND>& windows,
                       bool below_frame = false) {
    const std::vector<std::string> faults = LabelFaults(name, windows, below_frame);
    std::string all;
    for (std::size_t i = 0; i < faults.size() && i < 200; ++i) all += "\n  " + faults[i];
    if (faults.size() > 200) all += "\n  ... " + std::to_string(faults.size() - 200) + " more";
    EXPECT_TRUE(faults.empty()) << faults.size() << " label faults" << all;
    d.WaitFor([] { return false; }, 100);
}

// Every plot and pane at the size it opens with on this screen: the SPL plot, the Stereo panes,
// the HBT editor, the diffraction plot, the MLS views (each page of the frequency
// view) and the room equalizer's three panes; last the SPL plot with every curve family ticked,
// at 900 x 500 and 900 x 700.
TEST_F(ToolWindows, NoLabelMeetsAnotherOrLeavesItsPane) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        const HWND frame = OnUi([] { return shell::FrameWindow; });
        const auto panes = [] {
            std::vector<HWND> out;
            for (const HWND p : network::PaneWindows)
                if (p && platform::IsWindowVisible(p)) out.push_back(p);
            return out;
        };
        ExpectLabelsApart(d, "SPL plot", {OnUi([] { return shell::SplPlottingWindow; })});
        ExpectLabelsApart(d, "Stereo panes", OnUi(panes));

        ASSERT_TRUE(d.ChooseMenu(frame, 0, shell::kCmdPreferences));
        ASSERT_TRUE(d.WaitFor([] { return shell::PreferencesChildWindow != 0; }));
        EXPECT_TRUE(d.WaitFor([] { return screen::ProgramAtRest(); }));
        d.Screenshot("preferences");
        ExpectLabelsApart(d, "preferences", {OnUi([] { return shell::PreferencesChildWindow; })});

        ASSERT_TRUE(d.ChooseMenu(frame, 2, shell::kCmdFileEditor));
        ASSERT_TRUE(d.WaitFor([] { return shell::EditorChildWindow != 0; }));
        ExpectLabelsApart(d, "HBT editor", {OnUi([] { return shell::EditorChildWindow; })});

        ASSERT_TRUE(d.ChooseMenu(frame, 2, shell::kCmdDiffractionModel));
        ASSERT_TRUE(d.WaitFor([] { return shell::DiffractionChildWindow != 0; }));
        ExpectLabelsApart(d, "diffraction plot",
                          {OnUi([] { return shell::DiffractionChildWindow; })});

        ASSERT_TRUE(d.ChooseMenu(frame, 5, shell::kCmdDigitalMls));
        ASSERT_TRUE(d.WaitFor([] {
            return shell::MlsImpChildWindow && shell::MlsSplChildWindow && measurement::MlsSplPage;
        }));
        ExpectLabelsApart(d, "MLS impulse view", {OnUi([] { return shell::MlsImpChildWindow; })});
        for (int page = 0; page < 3; ++page) {
            OnUi([page] { measurement::ShowMlsSplPage(page); });
            ASSERT_TRUE(d.WaitFor([page] {
                return measurement::MlsSplPage && measurement::MlsSplPageIndex == page &&
                       screen::ProgramAtRest();
            }));
            ExpectLabelsApart(d, "MLS frequency view, page " + std::to_string(page + 1),
                              {OnUi([] { return measurement::MlsSplPage; })});
        }
        d.CloseBox(OnUi([] { return shell::MlsControlDialog; }));
        ASSERT_TRUE(d.WaitFor([] { return !shell::MlsControlDialog; }));

        ASSERT_TRUE(d.ChooseMenu(frame, 1, shell::kCmdStereo5Way));
        DismissBoxes(d);
        d.Screenshot("five_way_panes");
        ExpectLabelsApart(d, "5-way panes", OnUi(panes));
        // Nor does the player dialog hide any of them.
        const RECT player = OnUi([] {
            RECT r{};
            screen::ScreenWindowRect(shell::ComponentCADSelectionDialog, &r);
            return r;
        });
        for (const ScreenText& t : TextsOnScreen(OnUi(panes))) {
            EXPECT_EQ(Overlap(t.ink, player), 0) << "the player dialog " << Show(player)
                                                 << " covers \"" << t.text << "\" " << Show(t.ink);
        }

        // The room equalizer of Front-Left's room-EQ element, opened by a right click on it.
        OnUi([] {
            const shell::PaneStore& store = shell::PaneStores[0];
            for (int e = 0; e < std::min<int>(store.ElementCount, shell::kMaxElements); ++e) {
                const shell::ElementGeometryRecord& g = store.ElementGeometry[e];
                if (g.kind != shell::kElementRoomEq) continue;
                const int x = (g.x1 + g.x2) / 20 * 10, y = (g.y1 + g.y2) / 20 * 10;
                platform::PostMessage(network::PaneWindows[0], platform::WM_RBUTTONDOWN, 0,
                                      platform::MAKELPARAM(x, y));
                platform::PostMessage(network::PaneWindows[0], platform::WM_RBUTTONUP, 0,
                                      platform::MAKELPARAM(x, y));
                break;
            }
        });
        const HWND room_eq = d.WaitForDialog("Room_EQ");
        ASSERT_TRUE(room_eq) << "the room equalizer did not open: " << d.DescribeModal();
        EXPECT_TRUE(d.WaitFor([] { return screen::ProgramAtRest(); }));
        d.Screenshot("room_equalizer_labels");
        ExpectLabelsApart(d, "room equalizer", {room_eq});
        d.ClickControl(room_eq, platform::IDCANCEL);
        ASSERT_TRUE(d.WaitNoModal());

        const HWND player_box = OnUi([] { return shell::ComponentCADSelectionDialog; });
        d.ClickControl(player_box, shell::kFrontLeftButton);
        d.ClickControl(player_box, 4810);  // Curve Selection
        const HWND curves = d.WaitForDialog(solver::kPlotControlTemplate);
        ASSERT_TRUE(curves) << d.DescribeModal();
        for (int id = solver::IDC_PLOT_DRIVER_SPL; id <= solver::IDC_PLOT_HBT_FILTER_PHASE; ++id) {
            if (solver::PlotFamilyOfControl(id) >= 0 &&
                !OnUi([&] { return platform::IsDlgButtonChecked(curves, id); }))
                d.ClickControl(curves, id);
        }
        ASSERT_TRUE(d.WaitFor([] {
            return std::count(shell::PlotFamilyFlags, shell::PlotFamilyFlags + 12, 1) == 12;
        })) << "a family stays clear";
        d.ClickControl(curves, platform::IDOK);
        DismissBoxes(d);
        ASSERT_TRUE(d.WaitNoModal()) << d.DescribeModal();
        const HWND spl = OnUi([] { return shell::SplPlottingWindow; });
        for (const int height : {500, 700}) {
            OnUi([&] { platform::MoveWindow(spl, 0, 0, 900, height, platform::TRUE); });
            d.SettledClientRect(spl);
            d.Screenshot("spl_legends_900x" + std::to_string(height));
            ExpectLabelsApart(d, "SPL plot at 900x" + std::to_string(height), {spl}, height == 500);
        }
    });
}

// The MLS tool left open while System Design brings up a 5-way network: the Stereo window opens
// under the MLS dialog, which then gives way to the networks (and its own views) where the screen
// has room beside them, and never stays over Front-Left's network. The same with the room
// equalizer of Front-Left opened on top.
TEST_F(ToolWindows, MlsDialogGivesWayToTheNetworksOfASystemDesign) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        const HWND frame = OnUi([] { return shell::FrameWindow; });
        ASSERT_TRUE(d.ChooseMenu(frame, 5, shell::kCmdDigitalMls));
        ASSERT_TRUE(d.WaitFor([] {
            return shell::MlsControlDialog && shell::MlsImpChildWindow &&
                   shell::MlsSplChildWindow && platform::IsWindowVisible(shell::MlsControlDialog);
        }));
        const HWND dialog = OnUi([] { return shell::MlsControlDialog; });
        SettledWindowRect(d, dialog);
        ASSERT_TRUE(d.ChooseMenu(frame, 1, shell::kCmdStereo5Way));
        DismissBoxes(d);
        ASSERT_TRUE(d.WaitFor([] {
            return shell::Splitter1Window && network::PaneWindows[0] && network::PaneWindows[2];
        }));
        ASSERT_EQ(OnUi([] { return shell::MlsControlDialog; }), dialog)
            << "the MLS tool was closed";
        const RECT at = SettledWindowRect(d, dialog);
        const RECT work = OnUi([] { return screen::WorkArea(); });
        d.Screenshot("mls_after_five_way");
        const std::vector<ScreenText> left =
            TextsOnScreen({OnUi([] { return network::PaneWindows[0]; })});
        const std::vector<ScreenText> right =
            TextsOnScreen({OnUi([] { return network::PaneWindows[2]; })});
        RECT networks = left.empty() ? RECT{} : left.front().ink;
        for (const auto* texts : {&left, &right}) {
            for (const ScreenText& t : *texts) {
                networks.left = std::min(networks.left, t.ink.left);
                networks.top = std::min(networks.top, t.ink.top);
                networks.right = std::max(networks.right, t.ink.right);
                networks.bottom = std::max(networks.bottom, t.ink.bottom);
            }
        }
        ASSERT_FALSE(left.empty() || right.empty()) << "the panes drew no labels";
        for (const ScreenText& t : left) {
            EXPECT_EQ(Overlap(t.ink, at), 0)
                << "the MLS dialog " << Show(at) << " covers Front-Left's \"" << t.text << "\"";
        }
        if (RoomBeside(networks, at.right - at.left, at.bottom - at.top, work)) {
            EXPECT_EQ(Overlap(networks, at), 0)
                << "the MLS dialog " << Show(at) << " covers the networks " << Show(networks);
            for (const HWND view : {OnUi([] { return shell::MlsImpChildWindow; }),
                                    OnUi([] { return shell::MlsSplChildWindow; })}) {
                const RECT r = d.ClientRect(view);
                if (RoomBeside(r, at.right - at.left, at.bottom - at.top, work)) {
                    EXPECT_EQ(Overlap(at, r), 0)
                        << "the MLS dialog " << Show(at) << " covers a view " << Show(r);
                }
            }
        }

        // The room equalizer of Front-Left, opened over all of it, leaves the dialog where it is.
        OnUi([] {
            const shell::PaneStore& store = shell::PaneStores[0];
            for (int e = 0; e < std::min<int>(store.ElementCount, shell::kMaxElements); ++e) {
                const shell::ElementGeometryRecord& g = store.ElementGeometry[e];
                if (g.kind != shell::kElementRoomEq) continue;
                const int x = (g.x1 + g.x2) / 20 * 10, y = (g.y1 + g.y2) / 20 * 10;
                platform::PostMessage(network::PaneWindows[0], platform::WM_RBUTTONDOWN, 0,
                                      platform::MAKELPARAM(x, y));
                platform::PostMessage(network::PaneWindows[0], platform::WM_RBUTTONUP, 0,
                                      platform::MAKELPARAM(x, y));
                break;
            }
        });
        const HWND room_eq = d.WaitForDialog("Room_EQ");
        ASSERT_TRUE(room_eq) << "the room equalizer did not open: " << d.DescribeModal();
        const RECT still = SettledWindowRect(d, dialog);
        d.Screenshot("mls_with_room_equalizer");
        EXPECT_EQ(still.left, at.left);
        EXPECT_EQ(still.top, at.top);
        for (const ScreenText& t : left) {
            EXPECT_EQ(Overlap(t.ink, still), 0)
                << "the MLS dialog " << Show(still) << " covers Front-Left's \"" << t.text << "\"";
        }
        d.ClickControl(room_eq, platform::IDCANCEL);
        ASSERT_TRUE(d.WaitNoModal());
        d.CloseBox(dialog);
        EXPECT_TRUE(d.WaitFor([] { return !shell::MlsControlDialog; }));
    });
}

// A message box with a short text keeps its caption whole: a click on the first node of the
// diffraction calculator's closed outline while adding nodes says "SLPG Closed" in a box
// captioned "QV Message" that is wide enough for the caption in a window manager's title bar.
TEST_F(ToolWindows, ShortMessageBoxKeepsItsCaptionWhole) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        const HWND frame = OnUi([] { return shell::FrameWindow; });
        ASSERT_TRUE(d.ChooseMenu(frame, 2, shell::kCmdDiffractionModel));
        ASSERT_TRUE(d.WaitFor([] {
            return shell::DiffractionCalculatorDialog &&
                   platform::IsWindowVisible(shell::DiffractionCalculatorDialog);
        }));
        const HWND dialog = OnUi([] { return shell::DiffractionCalculatorDialog; });
        d.ClickControl(dialog, 7003);  // Example 1: a closed square, adding nodes
        const RECT client = d.ClientRect(dialog);
        d.Input().Click(client.left + 5, client.top + 4 * 116 + 5);  // on node 0
        ASSERT_TRUE(d.WaitForBox("SLPG Closed"));
        // Read once it is shown and has the keyboard, as a person sees it.
        screen::QtModal box;
        ASSERT_TRUE(d.WaitFor([&] { return screen::ActiveQtModal(&box) && box.active; }));
        EXPECT_EQ(box.title, "QV Message");
        EXPECT_GE(box.frame.right - box.frame.left, 200) << "a box this narrow cuts its caption";
        d.Screenshot("short_message_box");
        ASSERT_TRUE(d.ClickQtModalButton("OK"));
        ASSERT_TRUE(d.WaitNoModal());
    });
}

}  // namespace
}  // namespace x11test
