// Windows themselves: extra bytes, texts, geometry of child windows with edges, visibility,
// enabling, key translation, and window images as PNG files.

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

#include "tests/platform/ui/UiTestSupport.h"

namespace platform::uitest {
namespace {

using Windows = UiTest;

TEST_F(Windows, ExtraBytesHoldWordsAndLongsWithinTheClassSize) {
    const HWND hwnd = MakeWindow();  // class Recorder: 4 extra bytes
    EXPECT_EQ(SetWindowWord(hwnd, 0, 0x1234), 0);
    EXPECT_EQ(GetWindowWord(hwnd, 0), 0x1234);
    EXPECT_EQ(SetWindowWord(hwnd, 2, 0xBEEF), 0);
    EXPECT_EQ(GetWindowLong(hwnd, 0),
              static_cast<LONG_PTR>(static_cast<std::int32_t>(0xBEEF1234u)));
    EXPECT_EQ(SetWindowLong(hwnd, 0, 77),
              static_cast<LONG_PTR>(static_cast<std::int32_t>(0xBEEF1234u)));
    EXPECT_EQ(GetWindowLong(hwnd, 0), 77);
    // Outside the class's bytes nothing is read or written.
    EXPECT_EQ(SetWindowWord(hwnd, 3, 5), 0);
    EXPECT_EQ(GetWindowWord(hwnd, 3), 0);
    EXPECT_EQ(GetWindowLong(hwnd, 4), 0);
    EXPECT_EQ(GetWindowLong(hwnd, -4), 0);
    EXPECT_EQ(SetWindowLong(hwnd, GWL_USERDATA, 9), 0);
    EXPECT_EQ(GetWindowLong(hwnd, GWL_USERDATA), 9);
}

TEST_F(Windows, TextsRoundTripAsLatin1Bytes) {
    const HWND hwnd = MakeWindow();
    const char text[] =
        "Gr\xF6\xDF"
        "e \xB5s \xB0"
        "C";  // Latin-1 umlaut, sharp s, micro, degree
    EXPECT_TRUE(SetWindowText(hwnd, text));
    char back[32];
    EXPECT_EQ(GetWindowText(hwnd, back, sizeof back), static_cast<int>(std::strlen(text)));
    EXPECT_STREQ(back, text);
    EXPECT_EQ(GetWindowTextLength(hwnd), static_cast<int>(std::strlen(text)));
    char small[4];
    EXPECT_EQ(GetWindowText(hwnd, small, sizeof small), 3);
    EXPECT_EQ(std::string(small), std::string(text, 3));
}

TEST_F(Windows, ChildWindowsWithAClientEdgeKeepItOutsideTheirClientArea) {
    const HWND parent = MakeWindow(400, 300);
    const HWND pane = CreateWindowEx(WS_EX_CLIENTEDGE, "Recorder", "Child 1",
                                     WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                                     HMENU{}, HINSTANCE{}, nullptr);
    ASSERT_TRUE(pane);
    MoveWindow(pane, 1, 1, 198, 147, TRUE);
    RECT client{};
    GetClientRect(pane, &client);
    const int edge = GetSystemMetrics(SM_CXEDGE);
    EXPECT_EQ(client.right, 198 - 2 * edge);
    EXPECT_EQ(client.bottom, 147 - 2 * GetSystemMetrics(SM_CYEDGE));
    RECT shown{};
    ASSERT_TRUE(testing::ShownClientRect(pane, &shown));
    EXPECT_EQ(shown.left, 1 + edge);
    EXPECT_EQ(shown.top, 1 + GetSystemMetrics(SM_CYEDGE));
    POINT origin{0, 0};
    ClientToScreen(pane, &origin);
    POINT parent_origin{0, 0};
    ClientToScreen(parent, &parent_origin);
    EXPECT_EQ(origin.x - parent_origin.x, 1 + edge);
    POINT back = origin;
    ScreenToClient(pane, &back);
    EXPECT_EQ(back.x, 0);
    EXPECT_EQ(back.y, 0);
    EXPECT_TRUE(IsChild(parent, pane));
    EXPECT_FALSE(IsChild(pane, parent));
    // Mouse positions are client positions: the edge is not part of them.
    Log().clear();
    testing::MouseClick(pane, 0, 0);
    ASSERT_FALSE(Messages(pane, {WM_LBUTTONDOWN}).empty());
    for (const Received& r : Log()) {
        if (r.hwnd == pane && r.message == WM_LBUTTONDOWN) {
            EXPECT_EQ(r.lParam, MAKELPARAM(0, 0));
        }
    }
}

TEST_F(Windows, ShowEnableAndSetWindowPosReportWhatTheyChanged) {
    const HWND hwnd = CreateWindow("Recorder", "T", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, HWND{},
                                   HMENU{}, HINSTANCE{}, nullptr);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_FALSE(ShowWindow(hwnd, SW_SHOW)) << "it was hidden";
    EXPECT_TRUE(ShowWindow(hwnd, SW_SHOW)) << "it was visible";
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_FALSE(EnableWindow(hwnd, FALSE)) << "it was enabled";
    EXPECT_FALSE(IsWindowEnabled(hwnd));
    EXPECT_TRUE(EnableWindow(hwnd, TRUE)) << "it was disabled";
    Log().clear();
    EXPECT_TRUE(SetWindowPos(hwnd, HWND_TOP, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    EXPECT_EQ(Messages(hwnd, {WM_MOVE, WM_SIZE}), (std::vector<UINT>{WM_MOVE}));
    RECT r{};
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right - r.left, 200);
    Log().clear();
    EXPECT_TRUE(SetWindowPos(hwnd, HWND_TOP, 0, 0, 300, 150, SWP_NOMOVE | SWP_NOZORDER));
    EXPECT_EQ(Messages(hwnd, {WM_MOVE, WM_SIZE}), (std::vector<UINT>{WM_SIZE}));
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.bottom - r.top, 150);
}

// Sizes and positions from a damaged file must neither ask for a gigantic backing image nor
// overflow a right or bottom edge.
TEST_F(Windows, HugeSizesAndPositionsAreCutToTheLayersLimits) {
    struct Case {
        const char* what;
        int x, y, width, height;
    };
    const int big = std::numeric_limits<int>::max();
    const int small = std::numeric_limits<int>::min();
    const Case cases[] = {
        {"huge height", 0, 0, 900, 2000000000},
        {"x + width overflows", big - 10, 10, big - 10, 300},
        {"everything INT_MIN", small, small, small, small},
        {"everything INT_MAX", big, big, big, big},
    };
    for (const Case& c : cases) {
        for (int way = 0; way < 3; ++way) {
            HWND hwnd;
            if (way == 0) {
                hwnd = CreateWindow("Recorder", "T", WS_OVERLAPPEDWINDOW, c.x, c.y, c.width,
                                    c.height, HWND{}, HMENU{}, HINSTANCE{}, nullptr);
            } else {
                hwnd = CreateWindow("Recorder", "T", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, HWND{},
                                    HMENU{}, HINSTANCE{}, nullptr);
                if (way == 1) {
                    EXPECT_TRUE(MoveWindow(hwnd, c.x, c.y, c.width, c.height, TRUE));
                } else {
                    EXPECT_TRUE(
                        SetWindowPos(hwnd, HWND_TOP, c.x, c.y, c.width, c.height, SWP_NOZORDER));
                }
            }
            ASSERT_TRUE(hwnd) << c.what;
            RECT r{};
            ASSERT_TRUE(GetWindowRect(hwnd, &r)) << c.what;
            EXPECT_GE(r.right, r.left) << c.what << " way " << way;
            EXPECT_GE(r.bottom, r.top) << c.what << " way " << way;
            EXPECT_LE(r.right - r.left, kMaxWindowExtent) << c.what << " way " << way;
            EXPECT_LE(r.bottom - r.top, kMaxWindowExtent) << c.what << " way " << way;
            EXPECT_LE(std::abs(r.left), kMaxWindowCoordinate) << c.what;
            RECT client{};
            ASSERT_TRUE(GetClientRect(hwnd, &client));
            EXPECT_GE(client.right, 0);
            EXPECT_GE(client.bottom, 0);
            UpdateWindow(hwnd);  // paints into the backing image of that size
            DestroyWindow(hwnd);
        }
    }
}

TEST_F(Windows, TranslateMessagePostsTheCharacterOfAKey) {
    const HWND hwnd = MakeWindow();
    Log().clear();
    testing::PressKey(hwnd, 'A');
    EXPECT_EQ(Messages(hwnd, {WM_KEYDOWN, WM_CHAR, WM_KEYUP}),
              (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
    for (const Received& r : Log()) {
        if (r.message == WM_KEYDOWN) {
            EXPECT_EQ(r.wParam, static_cast<WPARAM>('A'));
        }
        if (r.message == WM_CHAR) {
            EXPECT_EQ(r.wParam, static_cast<WPARAM>('A'));
        }
    }
    Log().clear();
    testing::PressKey(hwnd, VK_PRIOR);
    EXPECT_EQ(Messages(hwnd, {WM_KEYDOWN, WM_CHAR, WM_KEYUP}),
              (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP}));
}

TEST_F(Windows, WindowImageIsSavedAsPng) {
    const HWND hwnd = MakeWindow(120, 80);
    const HDC dc = GetDC(hwnd);
    ASSERT_TRUE(dc);
    EXPECT_EQ(SetPixel(dc, 5, 5, RGB(255, 0, 0)), RGB(255, 0, 0));
    ReleaseDC(hwnd, dc);
    const std::string path = ::testing::TempDir() + "qv_window.png";
    std::filesystem::remove(path);
    ASSERT_TRUE(testing::SaveWindowImage(hwnd, path));
    std::ifstream in(path, std::ios::binary);
    char signature[8] = {};
    in.read(signature, 8);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    // What was drawn outside WM_PAINT stays until the next erase.
    testing::PumpUntilIdle();
    const HDC again = GetDC(hwnd);
    EXPECT_EQ(GetPixel(again, 5, 5), RGB(255, 0, 0));
    ReleaseDC(hwnd, again);
    InvalidateRect(hwnd, nullptr, TRUE);
    testing::PumpUntilIdle();
    const HDC erased = GetDC(hwnd);
    EXPECT_EQ(GetPixel(erased, 5, 5), RGB(255, 255, 255)) << "the class background is white";
    ReleaseDC(hwnd, erased);
}

// A window that does not clip its children paints under them, so what it invalidates is invalid
// in its children there too, down to a child that clips its own; a resized window is repainted
// whole, children included.
TEST_F(Windows, InvalidatingAWindowInvalidatesItsChildrenUnlessItClipsThem) {
    const HWND parent = MakeWindow(300, 200);
    const auto child = [](HWND in, DWORD style, int x, int y, int cx, int cy) {
        return CreateWindow("Recorder", "", WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, in,
                            HMENU{}, HINSTANCE{}, nullptr);
    };
    const HWND plot = child(parent, 0, 10, 10, 100, 50);  // (10,10)-(110,60)
    const HWND inner = child(plot, 0, 5, 5, 40, 20);      // (15,15)-(55,35) in the parent
    const HWND clipping = child(parent, WS_CLIPCHILDREN, 200, 10, 80, 50);
    const HWND clipped = child(clipping, 0, 0, 0, 80, 50);
    const HWND hidden = CreateWindow("Recorder", "", WS_CHILD, 0, 0, 300, 200, parent, HMENU{},
                                     HINSTANCE{}, nullptr);
    ASSERT_TRUE(plot && inner && clipping && clipped && hidden);
    constexpr RECT kNone{0, 0, 0, 0};
    struct Case {
        const char* what;
        HWND target;
        bool whole;
        RECT area;
        RECT plot, inner, clipping, clipped;  // the update rectangles afterwards
    };
    const Case cases[] = {
        {"a corner of the parent",
         parent,
         false,
         {0, 0, 50, 40},
         {0, 0, 40, 30},
         {0, 0, 35, 20},
         kNone,
         kNone},
        {"the whole parent",
         parent,
         true,
         {},
         {0, 0, 100, 50},
         {0, 0, 40, 20},
         {0, 0, 80, 50},
         kNone},
        {"beside every child", parent, false, {120, 80, 190, 150}, kNone, kNone, kNone, kNone},
        {"the plot's lower right",
         plot,
         false,
         {30, 20, 100, 50},
         {30, 20, 100, 50},
         {25, 15, 40, 20},
         kNone,
         kNone},
        {"the clipping child", clipping, true, {}, kNone, kNone, {0, 0, 80, 50}, kNone},
    };
    const auto update = [](HWND h) {
        RECT r{};
        GetUpdateRect(h, &r, FALSE);
        return std::vector<int>{r.left, r.top, r.right, r.bottom};
    };
    const auto v = [](const RECT& r) { return std::vector<int>{r.left, r.top, r.right, r.bottom}; };
    for (const Case& c : cases) {
        testing::PumpUntilIdle();
        ValidateRect(hidden, nullptr);  // never shown, never painted
        ASSERT_EQ(update(plot), v(kNone)) << c.what;
        InvalidateRect(c.target, c.whole ? nullptr : &c.area, TRUE);
        EXPECT_EQ(update(plot), v(c.plot)) << c.what;
        EXPECT_EQ(update(inner), v(c.inner)) << c.what;
        EXPECT_EQ(update(clipping), v(c.clipping)) << c.what;
        EXPECT_EQ(update(clipped), v(c.clipped)) << c.what;
        EXPECT_EQ(update(hidden), v(kNone)) << c.what << ": a hidden child has nothing to show";
    }
    // What was invalidated is painted: the innermost child gets its WM_PAINT.
    testing::PumpUntilIdle();
    Log().clear();
    InvalidateRect(parent, nullptr, FALSE);
    testing::PumpUntilIdle();
    EXPECT_EQ(Messages(inner, {WM_PAINT}).size(), 1u);
    // A resize repaints the window whole, and the children under it.
    Log().clear();
    SetWindowPos(parent, HWND{}, 0, 0, 360, 240, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(update(inner), v({0, 0, 40, 20}));
    testing::PumpUntilIdle();
    EXPECT_EQ(Messages(parent, {WM_PAINT}).size(), 1u);
    EXPECT_EQ(Messages(inner, {WM_PAINT}).size(), 1u);
}

}  // namespace
}  // namespace platform::uitest
