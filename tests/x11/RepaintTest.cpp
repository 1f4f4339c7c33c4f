// What the screen shows after the program draws and repaints: the player's level meters fall
// when the music turns quiet, a maximised configuration window shows its panes whole and nothing
// stale below them, and the frame leaves no black strip of the screen above it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/Engine.h"
#include "engine/Ids.h"
#include "network/EditorState.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "tests/x11/ProgramOnScreen.h"

namespace x11test {
namespace {

namespace screen = platform::testing;
using platform::COLORREF;

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

class Repaint : public ProgramOnScreen {};

// The bars of inputs 1 and 3 (the file's two channels), probed on screen 100 pixels above the
// meter's bottom, stand high while the file is loud and fall to their stubs (the dialog's colour
// there) once it turns quiet, while it still plays.
TEST_F(Repaint, PlayerMetersFallWhenTheWavTurnsQuiet) {
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
            const std::vector<COLORREF> shown = screen::ShownClientPixels(meter, 1);
            const COLORREF face = platform::GetSysColor(platform::COLOR_BTNFACE);
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
    const std::vector<COLORREF> shown =
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
            const COLORREF held = platform::GetPixel(dc, p.x, p.y);
            platform::ReleaseDC(under, dc);
            if (held == platform::CLR_INVALID && under != stereo) continue;  // a pane's client edge
            ++compared;
            differing += held != shown[y * width + x];
        }
    return {compared, differing};
}

// System Design -> Stereo 2 x 8 Way, maximised with a double click on its title bar: after
// everything is repainted afresh, the bottom strip shows what the windows hold, nothing older.
TEST_F(Repaint, MaximisedStereoWindowShowsNothingStale) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
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

// Between the top of the work area and the frame's menu bar lies the frame's caption: drawn by a
// window manager or, without one, by the frame itself; never the bare black screen.
TEST_F(Repaint, NoBlackStripAboveTheFrame) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        const RECT work = OnUi([] { return screen::WorkArea(); });
        const RECT client = d.SettledClientRect(OnUi([] { return shell::FrameWindow; }));
        const int menu = OnUi([] { return platform::GetSystemMetrics(platform::SM_CYMENU); });
        const RECT strip{work.left, work.top, work.right, client.top - menu};
        ASSERT_GT(strip.bottom, strip.top);
        d.Screenshot("frame_top");
        const std::vector<COLORREF> pixels = OnUi([&] { return screen::ShownScreenPixels(strip); });
        ASSERT_FALSE(pixels.empty());
        const auto black = std::count(pixels.begin(), pixels.end(), platform::RGB(0, 0, 0));
        EXPECT_LT(black * 10, std::ssize(pixels)) << black << " black pixels above the menu bar";
    });
}

}  // namespace
}  // namespace x11test
