// What the screen shows after the program draws and repaints: the player's level meters fall
// when the music turns quiet, a maximised configuration window shows its panes whole and nothing
// stale below them, and the frame leaves no empty strip of the screen above it.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
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

std::string Show(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ") - (" +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

// ---- The player's meters ----

void PutLe(std::ofstream& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A 16-bit stereo WAV at 48 kHz: a full-scale square wave on both channels for `loud_s` seconds,
// then silence for `quiet_s` seconds.
void WriteLoudThenQuietWav(const std::string& path, int loud_s, int quiet_s) {
    constexpr std::uint32_t kRate = 48000;
    const std::uint32_t frames = kRate * static_cast<std::uint32_t>(loud_s + quiet_s);
    const std::uint32_t data_bytes = frames * 4;
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    PutLe(out, 36 + data_bytes, 4);
    out.write("WAVEfmt ", 8);
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);  // PCM
    PutLe(out, 2, 2);
    PutLe(out, kRate, 4);
    PutLe(out, kRate * 4, 4);
    PutLe(out, 4, 2);
    PutLe(out, 16, 2);
    out.write("data", 4);
    PutLe(out, data_bytes, 4);
    for (std::uint32_t n = 0; n < frames; ++n) {
        const bool loud = n < kRate * static_cast<std::uint32_t>(loud_s);
        const std::uint16_t v =
            !loud ? 0 : ((n / 24) % 2 ? 32000 : static_cast<std::uint16_t>(-32000));
        PutLe(out, v, 2);
        PutLe(out, v, 2);
    }
    ASSERT_TRUE(out.good()) << path;
}

// What the screen shows at a point of the client area of `hwnd`.
COLORREF ShownPixel(HWND hwnd, int x, int y) {
    RECT client{};
    platform::GetClientRect(hwnd, &client);
    const std::vector<COLORREF> pixels = screen::ShownClientPixels(hwnd, 1);
    const auto at = static_cast<std::size_t>(y) * static_cast<std::size_t>(client.right) +
                    static_cast<std::size_t>(x);
    return x >= 0 && y >= 0 && x < client.right && at < pixels.size() ? pixels[at]
                                                                      : platform::CLR_INVALID;
}

// The input bar `bar` (0-based) as the screen shows it 100 pixels above the meter's bottom: lit
// (a loud block's bar reaches there) or the dialog's colour (nothing but a quiet stub below).
enum class Bar { Lit, Empty, Other };
Bar InputBarAt100(HWND meter, int bar) {
    RECT client{};
    platform::GetClientRect(meter, &client);
    const COLORREF c = ShownPixel(meter, 4 + 8 * bar, client.bottom - 100);
    if (c == platform::GetSysColor(platform::COLOR_BTNFACE)) return Bar::Empty;
    return c == platform::CLR_INVALID ? Bar::Other : Bar::Lit;
}

class Repaint : public ProgramOnScreen {};

// A WAV loud for three seconds, then quiet: the bars of inputs 1 and 3 (the file's two channels)
// stand high while it is loud and fall to their stubs once it turns quiet, while it still plays.
TEST_F(Repaint, PlayerMetersFallWhenTheWavTurnsQuiet) {
    const std::string wav = (std::filesystem::current_path() / "loud then quiet.wav").string();
    ASSERT_NO_FATAL_FAILURE(WriteLoudThenQuietWav(wav, 3, 8));
    RunProgram([&](Driver& d) {
        PassFirstStartBox(d);
        const HWND player = OnUi([] { return shell::ComponentCADSelectionDialog; });
        ASSERT_TRUE(player);
        const HWND meter =
            OnUi([&] { return platform::GetDlgItem(player, engine::kInputMeterControl); });
        ASSERT_TRUE(meter);
        d.ClickControl(player, engine::kPlayWavFileCheck);
        d.ClickControl(player, shell::kPlayButton);
        ASSERT_TRUE(d.AnswerFileChooser(wav));
        const auto both = [&](Bar want) {
            return InputBarAt100(meter, 0) == want && InputBarAt100(meter, 2) == want;
        };
        EXPECT_TRUE(d.WaitFor([&] { return both(Bar::Lit); }, 10000))
            << "the loud part lights no bars; up: " << d.DescribeModal();
        d.Screenshot("player_meters_loud");
        bool playing = false;
        EXPECT_TRUE(d.WaitFor(
            [&] {
                playing = engine::CurrentPlayState() == engine::PlayState::Playing;
                return both(Bar::Empty);
            },
            10000))
            << "the bars stay up in the quiet part";
        EXPECT_TRUE(playing) << "the bars fell only when the playback ended";
        d.Screenshot("player_meters_quiet");
        d.ClickControl(player, engine::kStopCommand);
        EXPECT_TRUE(
            d.WaitFor([] { return engine::CurrentPlayState() == engine::PlayState::Stopped; }));
        EXPECT_TRUE(d.WaitFor([&] { return both(Bar::Empty); }, 3000)) << "after STOP";
        d.ClickControl(player, engine::kPlayWavFileCheck);
    });
}

// ---- The maximised Stereo window ----

// Compares what the screen shows in the bottom `rows` rows of the Stereo window's client area
// with what the windows there hold in their images (the pane, or the Stereo window between the
// panes); every second pixel each way, only where nothing else covers the window and not on the
// panes' client edges. The count of pixels that differ or that no image holds (a part of the
// Stereo window its image does not reach), and of those compared.
struct StripCheck {
    int compared = 0;
    int differing = 0;
};
StripCheck CompareBottomStrip(HWND stereo, int rows) {
    StripCheck check;
    RECT client{};
    if (!screen::ScreenClientRect(stereo, &client)) return check;
    const RECT strip{client.left, client.bottom - rows, client.right, client.bottom};
    const std::vector<COLORREF> shown = screen::ShownScreenPixels(strip);
    const int width = strip.right - strip.left;
    if (shown.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(rows))
        return check;
    for (int y = 0; y < rows; y += 2)
        for (int x = 0; x < width; x += 2) {
            const int sx = strip.left + x;
            const int sy = strip.top + y;
            const HWND under = screen::WindowAt(sx, sy);
            if (under != stereo && platform::GetParent(under) != stereo) continue;
            platform::POINT p{sx, sy};
            platform::ScreenToClient(under, &p);
            RECT own{};
            platform::GetClientRect(under, &own);
            const bool inside = p.x >= 0 && p.y >= 0 && p.x < own.right && p.y < own.bottom;
            if (under != stereo && !inside) continue;  // a pane's client edge
            const platform::HDC dc = platform::GetDC(under);
            const COLORREF held = platform::GetPixel(dc, p.x, p.y);
            platform::ReleaseDC(under, dc);
            ++check.compared;
            if (held == platform::CLR_INVALID ||
                held != shown[static_cast<std::size_t>(y * width + x)])
                ++check.differing;
        }
    return check;
}

// System Design -> Stereo 2 x 8 Way, then the Stereo window maximised with a double click on its
// title bar: its client area is all the MDI client shows, the two panes reach down to its bottom,
// and the bottom strip shows what the windows hold after a repaint of everything, nothing older.
TEST_F(Repaint, MaximisedStereoWindowShowsItsPanesWholeAndNothingStale) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        const HWND frame = OnUi([] { return shell::FrameWindow; });
        ASSERT_TRUE(d.ChooseMenu(frame, 1, shell::kCmdStereo8Way));
        DismissBoxes(d);
        ASSERT_TRUE(d.WaitFor([] { return shell::Splitter1Window.value != 0; }));
        const HWND stereo = OnUi([] { return shell::Splitter1Window; });
        d.SettledClientRect(stereo);
        d.Screenshot("stereo_8way");
        const RECT outer = d.WindowRect(stereo);
        d.Input().DoubleClick(outer.left + 60, outer.top + 10);  // its title bar
        const RECT area = d.ClientRect(OnUi([] { return shell::MdiClientWindow; }));
        ASSERT_TRUE(d.WaitFor(
            [&] {
                RECT now{};
                return screen::ScreenClientRect(stereo, &now) && now.top == area.top &&
                       now.bottom == area.bottom;
            },
            5000))
            << "the Stereo window was not maximised: " << Show(d.ClientRect(stereo))
            << " in the MDI client " << Show(area);
        const RECT shown = d.SettledClientRect(stereo);
        d.Screenshot("stereo_8way_maximised");
        // The window's own idea of its client area is what the screen shows of it.
        const RECT client = OnUi([&] {
            RECT r{};
            platform::GetClientRect(stereo, &r);
            return r;
        });
        EXPECT_EQ(client.right, shown.right - shown.left);
        EXPECT_EQ(client.bottom, shown.bottom - shown.top);
        for (int pane : {1, 3}) {
            const RECT p = d.ClientRect(OnUi([&] { return network::PaneWindows[pane - 1]; }));
            EXPECT_GE(p.bottom, shown.bottom - 5)
                << "pane " << pane << " " << Show(p) << " stops short of " << Show(shown);
        }
        // Everything repainted afresh, then the bottom strip compared with the images.
        OnUi([&] {
            platform::InvalidateRect(stereo, nullptr, platform::TRUE);
            for (int pane : {1, 3}) {
                const HWND h = network::PaneWindows[pane - 1];
                platform::InvalidateRect(h, nullptr, platform::TRUE);
                platform::UpdateWindow(h);
            }
            return platform::UpdateWindow(stereo);
        });
        StripCheck check;
        d.WaitFor(
            [&] {
                check = CompareBottomStrip(stereo, 60);
                return check.compared > 0 && check.differing == 0;
            },
            3000);
        EXPECT_GT(check.compared, 1000);
        EXPECT_EQ(check.differing, 0) << "of " << check.compared << " pixels of the bottom strip";
        // Restored, it has its caption and former size back.
        OnUi([&] {
            return platform::SendMessage(shell::MdiClientWindow, platform::WM_MDIRESTORE,
                                         static_cast<platform::WPARAM>(stereo.value), 0);
        });
        EXPECT_TRUE(d.WaitFor(
            [&] {
                RECT now{};
                return screen::ScreenClientRect(stereo, &now) && now.top > area.top;
            },
            3000));
    });
}

// ---- The frame at the top of the screen ----

// Between the top of the work area and the frame's menu bar lies the frame's caption: drawn by a
// window manager or, without one, by the frame itself; never the bare black screen.
TEST_F(Repaint, NoBlackStripAboveTheFrame) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        const HWND frame = OnUi([] { return shell::FrameWindow; });
        const RECT work = OnUi([] { return screen::WorkArea(); });
        d.WaitFor(
            [&] {
                RECT r{};
                return screen::ScreenWindowRect(frame, &r) && r.top >= work.top;
            },
            3000);
        const RECT client = d.SettledClientRect(frame);
        const int menu = OnUi([] { return platform::GetSystemMetrics(platform::SM_CYMENU); });
        const RECT strip{work.left, work.top, work.right, client.top - menu};
        ASSERT_GT(strip.bottom, strip.top) << "client " << Show(client);
        d.Screenshot("frame_top");
        const std::vector<COLORREF> pixels = OnUi([&] { return screen::ShownScreenPixels(strip); });
        ASSERT_FALSE(pixels.empty());
        std::size_t black = 0;
        for (COLORREF c : pixels) black += c == platform::RGB(0, 0, 0);
        EXPECT_LT(black * 10, pixels.size())
            << black << " of " << pixels.size() << " pixels above the frame's menu bar "
            << Show(strip) << " are black";
    });
}

}  // namespace
}  // namespace x11test
