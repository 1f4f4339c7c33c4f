// The SPL / phase plot's legends on a real screen with every curve family shown (all twelve
// boxes of Curve Selection ticked for Front-Left): at the window's opening size (900 x 500) and
// at 900 x 700 every legend row stands at its place, 9 pixels a row, and no text of the plot
// meets another or is cut at the window's edge, except legend rows whose places lie below the
// plot's frame.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "network/EditorState.h"
#include "platform/testing/DrawnTexts.h"
#include "platform/testing/OnScreen.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/Curves.h"
#include "shell/FrameGlobals.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "shell/StartupAllocation.h"
#include "solver/PlotControlDialog.h"
#include "tests/solver/SplLegendRows.h"
#include "tests/x11/ProgramOnScreen.h"

namespace x11test {
namespace {

namespace screen = platform::testing;
using solver::test::LegendRow;

constexpr int kCurveSelectionButton = 4810;

std::string Show(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ") - (" +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

// Whether two ink boxes come closer than `gap` pixels (0: they overlap).
bool Meet(const RECT& a, const RECT& b, int gap) {
    return a.left < b.right + gap && b.left < a.right + gap && a.top < b.bottom + gap &&
           b.top < a.bottom + gap;
}

bool Inside(const RECT& ink, const RECT& client) {
    return ink.left >= client.left && ink.top >= client.top && ink.right <= client.right &&
           ink.bottom <= client.bottom;
}

// Repaints the plot while the drawing layer logs its texts, and says what is wrong: a family
// with no row shown, a legend row missing or away from its place, two texts whose ink meets
// (legend rows: touches), a text cut at or beyond the window's edge. A legend row whose place
// lies below the plot's frame (the Final rows of a window 500 pixels high) stands there by the
// plot's layout: it may reach past the window's edge and over the frequency labels, but never
// onto another legend row.
std::vector<std::string> LegendFaults(const std::string& name) {
    return OnUi([&] {
        const HWND plot = shell::SplPlottingWindow;
        screen::RecordDrawnTexts(true);
        platform::InvalidateRect(plot, nullptr, platform::TRUE);
        platform::UpdateWindow(plot);
        screen::RecordDrawnTexts(false);
        std::vector<std::string> faults;
        std::vector<screen::DrawnText> seen;
        for (const screen::DrawnText& t : screen::DrawnTexts()) {
            if (t.window != plot) continue;
            bool again = false;
            for (const screen::DrawnText& s : seen)
                again = again ||
                        (s.text == t.text && s.ink.left == t.ink.left && s.ink.top == t.ink.top);
            if (!again) seen.push_back(t);
        }
        if (seen.empty()) return std::vector<std::string>{name + ": no text drawn at all"};
        const RECT client = seen.front().client;
        const auto shown = [](int block) {
            return shell::SystemCurveTable[block]->v[shell::kCurveVisible] == 1.0f;
        };
        for (const solver::test::LegendFamily& f : solver::test::LegendFamilies()) {
            bool any = false;
            for (int b = f.first; b < f.first + f.count; ++b) any = any || shown(b);
            if (!any) faults.push_back(name + ": no " + f.name + " curve shown");
        }
        const std::vector<LegendRow> rows = solver::test::LegendRows(client.right, shown);
        std::vector<bool> legend(seen.size(), false);
        std::vector<bool> below_frame(seen.size(), false);
        for (const LegendRow& row : rows) {
            std::size_t i = 0;
            while (i < seen.size() && seen[i].text != row.text) ++i;
            if (i == seen.size()) {
                faults.push_back(name + ": \"" + row.text + "\" not drawn");
                continue;
            }
            legend[i] = true;
            below_frame[i] = row.y + 9 > client.bottom - 20;
            const RECT& ink = seen[i].ink;
            if (ink.left < row.x || ink.left > row.x + 2 || ink.top < row.y ||
                ink.bottom > row.y + 9)
                faults.push_back(name + ": \"" + row.text + "\" " + Show(ink) +
                                 " leaves its row at (" + std::to_string(row.x) + ", " +
                                 std::to_string(row.y) + ") - 9 pixels high");
        }
        for (std::size_t i = 0; i < seen.size(); ++i) {
            const screen::DrawnText& a = seen[i];
            if (!below_frame[i] && !Inside(a.ink, client))
                faults.push_back(name + ": \"" + a.text + "\" " + Show(a.ink) +
                                 " leaves its window " + Show(client));
            for (std::size_t j = i + 1; j < seen.size(); ++j) {
                const screen::DrawnText& b = seen[j];
                const bool legends = legend[i] && legend[j];
                if (!legends && (below_frame[i] || below_frame[j])) continue;
                if (Meet(a.ink, b.ink, legends ? 1 : 0))
                    faults.push_back(name + ": \"" + a.text + "\" " + Show(a.ink) + " and \"" +
                                     b.text + "\" " + Show(b.ink) + " meet");
            }
        }
        return faults;
    });
}

void ExpectLegendsApart(Driver& d, const std::string& name) {
    const std::vector<std::string> faults = LegendFaults(name);
    std::string all;
    for (std::size_t i = 0; i < faults.size() && i < 100; ++i) all += "\n  " + faults[i];
    if (faults.size() > 100) all += "\n  ... " + std::to_string(faults.size() - 100) + " more";
    EXPECT_TRUE(faults.empty()) << faults.size() << " legend faults" << all;
    d.WaitFor([] { return false; }, 100);
}

class Legends : public ProgramOnScreen {};

TEST_F(Legends, SplLegendsStandApartWithEveryFamilyShown) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        const HWND player = OnUi([] { return shell::ComponentCADSelectionDialog; });
        ASSERT_TRUE(player);
        d.ClickControl(player, shell::kFrontLeftButton);
        ASSERT_TRUE(d.WaitFor([] { return network::ActivePane == 1; }));

        // Curve Selection: every box ticked, then Done.
        d.ClickControl(player, kCurveSelectionButton);
        const HWND dialog = d.WaitForDialog(solver::kPlotControlTemplate);
        ASSERT_TRUE(dialog) << "Curve Selection opened nothing; up: " << d.DescribeModal();
        for (int id = 4800; id <= 4812; ++id) {
            if (solver::PlotFamilyOfControl(id) < 0) continue;
            if (OnUi([&] { return platform::IsDlgButtonChecked(dialog, id); }) == 0)
                d.ClickControl(dialog, id);
            EXPECT_TRUE(d.WaitFor([&] { return platform::IsDlgButtonChecked(dialog, id) != 0; }))
                << "box " << id << " stays clear";
        }
        d.ClickControl(dialog, platform::IDOK);
        DismissBoxes(d);
        ASSERT_TRUE(d.WaitNoModal()) << d.DescribeModal();
        const HWND plot = OnUi([] { return shell::SplPlottingWindow; });
        ASSERT_TRUE(plot);

        // 900 x 500, the size the window opens with, then taller.
        for (const int height : {500, 700}) {
            const std::string size = "900x" + std::to_string(height);
            OnUi([&] {
                platform::MoveWindow(plot, 0, 0, 900, height, platform::TRUE);
                platform::BringWindowToTop(plot);
            });
            d.SettledClientRect(plot);
            d.WaitFor([] { return false; }, 300);
            d.Screenshot("spl_legends_" + size);
            ExpectLegendsApart(d, "SPL plot at " + size);
        }
    });
}

}  // namespace
}  // namespace x11test
