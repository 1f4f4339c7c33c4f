// Drawing into real windows: device contexts from GetDC and BeginPaint over the backing images,
// erasing, painting inside WM_PAINT, and window images composed for the clipboard.
#include <gtest/gtest.h>

#include "platform/gdi/Clipboard.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/WindowImage.h"
#include "platform/testing/Harness.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"

namespace {

using namespace platform;

constexpr COLORREF kBackground = RGB(255, 255, 255);
constexpr COLORREF kMeter = RGB(0, 164, 0);

struct PaintLog {
    int paints = 0;
    bool invalidate_inside_paint = false;
    RECT painted{};
    COLORREF fill = kBackground;  // what WM_PAINT fills its whole client with
};
PaintLog g_log;

// Fills the whole client area of `hwnd` through `hdc` with one colour.
void FillClient(HWND hwnd, HDC hdc, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all;
    GetClientRect(hwnd, &all);
    FillRect(hdc, &all, brush);
    DeleteObject(brush);
}

LRESULT TestWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        ++g_log.paints;
        if (g_log.invalidate_inside_paint) {
            const RECT more{50, 40, 60, 50};
            InvalidateRect(hwnd, &more, TRUE);
        }
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        g_log.painted = ps.rcPaint;
        if (g_log.fill != kBackground) FillClient(hwnd, hdc, g_log.fill);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

HWND g_mdi_client;

LRESULT TestFrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        // As the system's frame does: the MDI client is made on creation and sized by the
        // frame's default procedure when the size messages follow.
        CLIENTCREATESTRUCT ccs{HMENU{}, 40};
        g_mdi_client = CreateWindow("MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd,
                                    HMENU{}, HINSTANCE{}, &ccs);
        return 0;
    }
    return DefFrameProc(hwnd, g_mdi_client, message, wParam, lParam);
}

LRESULT TestChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        FillClient(hwnd, hdc, RGB(255, 0, 0));
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefMDIChildProc(hwnd, message, wParam, lParam);
}

class GdiWindowGui : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::testing::ResetLayer();
        g_log = PaintLog{};
        WNDCLASS wc{};
        wc.lpfnWndProc = TestWindowProc;
        wc.hbrBackground = GetStockObject(WHITE_BRUSH);
        wc.lpszClassName = "GdiTestWindow";
        ASSERT_NE(RegisterClass(&wc), 0);
    }
    void TearDown() override { platform::testing::ResetLayer(); }

    HWND MakeWindow(int x, int y, int w, int h, HWND owner = HWND{}) {
        HWND hwnd = CreateWindow("GdiTestWindow", "test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, w,
                                 h, owner, HMENU{}, HINSTANCE{}, nullptr);
        EXPECT_NE(hwnd, HWND{});
        UpdateWindow(hwnd);
        return hwnd;
    }

    // A pixel of what the window shows, read through its composed image.
    static COLORREF Shown(HWND hwnd, int x, int y) {
        HBITMAP image = CreateWindowImage(hwnd);
        if (!image) return CLR_INVALID;
        HDC reader = CreateCompatibleDC(HDC{});
        SelectObject(reader, image);
        const COLORREF c = GetPixel(reader, x, y);
        DeleteDC(reader);
        DeleteObject(image);
        return c;
    }
};

// A 5-pixel meter bar from (x, y0) to (x, y1) drawn straight into the window's context, outside
// any paint, as the meters draw.
void DrawMeterBar(HWND hwnd, int x, int y0, int y1) {
    HDC hdc = GetDC(hwnd);
    ASSERT_NE(hdc, HDC{});
    HPEN pen = CreatePen(PS_SOLID, 5, kMeter);
    HPEN old = SelectObject(hdc, pen);
    MoveToEx(hdc, x, y0, nullptr);
    LineTo(hdc, x, y1);
    SelectObject(hdc, old);
    ReleaseDC(hwnd, hdc);
    DeleteObject(pen);
}

TEST_F(GdiWindowGui, DrawingOutsidePaintShowsAndIsErasedByInvalidateAndUpdate) {
    HWND hwnd = MakeWindow(10, 10, 160, 120);
    platform::testing::PumpUntilIdle();
    ASSERT_EQ(Shown(hwnd, 30, 20), kBackground);

    // A meter bar drawn straight into the window's context, outside any paint.
    ASSERT_NO_FATAL_FAILURE(DrawMeterBar(hwnd, 30, 60, 20));
    EXPECT_EQ(Shown(hwnd, 30, 40), kMeter) << "what GetDC draws shows at once";
    EXPECT_EQ(Shown(hwnd, 40, 40), kBackground);

    // Nothing repaints by itself: the bar stays.
    platform::testing::PumpUntilIdle();
    EXPECT_EQ(Shown(hwnd, 30, 40), kMeter);

    InvalidateRect(hwnd, nullptr, TRUE);
    const int before = g_log.paints;
    UpdateWindow(hwnd);
    EXPECT_EQ(g_log.paints, before + 1) << "UpdateWindow paints at once";
    EXPECT_EQ(Shown(hwnd, 30, 40), kBackground) << "the erase wipes the bar";
    DestroyWindow(hwnd);
}

TEST_F(GdiWindowGui, MeterBarsInAStaticControlAreWipedByItsOwnPaint) {
    HWND parent = MakeWindow(10, 10, 200, 220);
    HWND meter = CreateWindow("STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 10, 120, 190,
                              parent, HMENU::FromIndex(10128), HINSTANCE{}, nullptr);
    ASSERT_NE(meter, HWND{});
    platform::testing::PumpUntilIdle();
    const COLORREF empty = Shown(meter, 20, 100);
    ASSERT_NE(empty, CLR_INVALID);
    ASSERT_NO_FATAL_FAILURE(DrawMeterBar(meter, 20, 188, 40));
    EXPECT_EQ(Shown(meter, 20, 100), kMeter) << "the bar shows at once";
    InvalidateRect(meter, nullptr, TRUE);
    UpdateWindow(meter);
    EXPECT_EQ(Shown(meter, 20, 100), empty) << "the control repaints itself empty";
    DestroyWindow(parent);
}

// A meter canvas (a static the program draws on) whose dialog was invalidated with erase: when
// the program draws before the erase has run, the erase comes first and the new bar stays.
TEST_F(GdiWindowGui, MeterCanvasErasedBeforeItsOwnerDrawsAgain) {
    HWND parent = MakeWindow(10, 10, 200, 240);
    HWND meter = CreateWindow("STATIC", "", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 10, 10, 120, 190,
                              parent, HMENU::FromIndex(10128), HINSTANCE{}, nullptr);
    platform::testing::PumpUntilIdle();
    ASSERT_NO_FATAL_FAILURE(DrawMeterBar(meter, 20, 188, 20));  // high
    InvalidateRect(parent, nullptr, TRUE);
    ASSERT_NO_FATAL_FAILURE(DrawMeterBar(meter, 20, 188, 160));  // low, before any paint
    platform::testing::PumpUntilIdle();
    EXPECT_EQ(Shown(meter, 20, 170), kMeter) << "the last bar shows";
    EXPECT_EQ(Shown(meter, 20, 60), kBackground) << "the high bar is gone";
    DestroyWindow(parent);
}

TEST_F(GdiWindowGui, PaintingIsClippedToTheInvalidRegion) {
    HWND hwnd = MakeWindow(10, 10, 160, 120);
    platform::testing::PumpUntilIdle();
    g_log.fill = RGB(255, 164, 0);
    const RECT part{10, 10, 20, 20};
    InvalidateRect(hwnd, &part, FALSE);
    UpdateWindow(hwnd);
    EXPECT_EQ(Shown(hwnd, 10, 10), RGB(255, 164, 0));
    EXPECT_EQ(Shown(hwnd, 19, 19), RGB(255, 164, 0));
    EXPECT_EQ(Shown(hwnd, 20, 15), kBackground) << "the fill of the whole client is clipped";
    EXPECT_EQ(Shown(hwnd, 50, 50), kBackground);
    DestroyWindow(hwnd);
}

TEST_F(GdiWindowGui, InvalidateInsidePaintWidensTheRegionInsteadOfLooping) {
    HWND hwnd = MakeWindow(10, 10, 160, 120);
    platform::testing::PumpUntilIdle();
    g_log.invalidate_inside_paint = true;
    g_log.paints = 0;
    const RECT first{10, 10, 20, 20};
    InvalidateRect(hwnd, &first, FALSE);
    UpdateWindow(hwnd);
    EXPECT_EQ(g_log.paints, 1);
    EXPECT_LE(g_log.painted.left, 10);
    EXPECT_LE(g_log.painted.top, 10);
    EXPECT_GE(g_log.painted.right, 60) << "the region painted takes in the later invalidation";
    EXPECT_GE(g_log.painted.bottom, 50);
    platform::testing::PumpUntilIdle();
    EXPECT_EQ(g_log.paints, 1) << "the paint must not schedule itself again";
    RECT left{};
    EXPECT_FALSE(GetUpdateRect(hwnd, &left, FALSE));
    DestroyWindow(hwnd);
}

TEST_F(GdiWindowGui, WindowImageShowsOwnedWindowsOverTheOwner) {
    HWND owner = MakeWindow(0, 0, 300, 200);
    g_log.fill = RGB(255, 0, 0);
    HWND owned = MakeWindow(100, 100, 120, 100, owner);
    platform::testing::PumpUntilIdle();
    RECT on_owner{}, on_owned{};
    POINT a{0, 0}, b{0, 0};
    ClientToScreen(owner, &a);
    ClientToScreen(owned, &b);
    GetClientRect(owned, &on_owned);
    GetClientRect(owner, &on_owner);
    const int dx = b.x - a.x;
    const int dy = b.y - a.y;
    ASSERT_GT(dx + 2, 0);
    ASSERT_LT(dx + 2, on_owner.right);
    ASSERT_LT(dy + 2, on_owner.bottom);
    EXPECT_EQ(Shown(owner, dx + 2, dy + 2), RGB(255, 0, 0)) << "the owned window shows";
    EXPECT_EQ(Shown(owner, 2, 2), kBackground);
    // A copy from the window's context copies the same picture (the clipboard copy does this).
    HDC window_dc = GetDC(owner);
    HDC memory = CreateCompatibleDC(window_dc);
    HBITMAP bitmap = CreateCompatibleBitmap(window_dc, on_owner.right, on_owner.bottom);
    HBITMAP previous = SelectObject(memory, bitmap);
    EXPECT_TRUE(BitBlt(memory, 0, 0, on_owner.right, on_owner.bottom, window_dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(memory, dx + 2, dy + 2), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(memory, 2, 2), kBackground);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(owner, window_dc);
    ShowWindow(owned, SW_HIDE);
    EXPECT_EQ(Shown(owner, dx + 2, dy + 2), kBackground) << "hidden windows do not show";
    DestroyWindow(owner);
}

TEST_F(GdiWindowGui, FrameImageShowsItsMdiChildren) {
    WNDCLASS frame_class{};
    frame_class.lpfnWndProc = TestFrameProc;
    frame_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    frame_class.lpszClassName = "GdiTestFrame";
    ASSERT_NE(RegisterClass(&frame_class), 0);
    WNDCLASS child_class{};
    child_class.lpfnWndProc = TestChildProc;
    child_class.hbrBackground = GetStockObject(WHITE_BRUSH);
    child_class.lpszClassName = "GdiTestChild";
    ASSERT_NE(RegisterClass(&child_class), 0);
    HWND frame = CreateWindow("GdiTestFrame", "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500,
                              400, HWND{}, HMENU{}, HINSTANCE{}, nullptr);
    ASSERT_NE(frame, HWND{});
    ASSERT_NE(g_mdi_client, HWND{});
    MDICREATESTRUCT mcs{"GdiTestChild", "child", HINSTANCE{}, 20, 30, 200, 150, 0, 0};
    const HWND child = ParamToHandle(static_cast<std::uintptr_t>(
        SendMessage(g_mdi_client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs))));
    ASSERT_NE(child, HWND{});
    platform::testing::PumpUntilIdle();
    POINT f{0, 0}, c{0, 0};
    ClientToScreen(frame, &f);
    ClientToScreen(child, &c);
    RECT child_client{};
    GetClientRect(child, &child_client);
    const int x = c.x - f.x + child_client.right / 2;
    const int y = c.y - f.y + child_client.bottom / 2;
    EXPECT_EQ(Shown(frame, x, y), RGB(255, 0, 0)) << "the MDI child shows in the frame's image";
    DestroyWindow(frame);
    g_mdi_client = HWND{};
}

TEST_F(GdiWindowGui, ClipboardHoldsTheWindowImage) {
    g_log.fill = RGB(0, 0, 192);
    HWND hwnd = MakeWindow(10, 10, 90, 70);
    platform::testing::PumpUntilIdle();
    HBITMAP image = CreateWindowImage(hwnd);
    ASSERT_NE(image, HBITMAP{});
    ASSERT_TRUE(OpenClipboard(hwnd));
    EmptyClipboard();
    EXPECT_EQ(SetClipboardData(CF_BITMAP, image), image);
    CloseClipboard();
    HBITMAP back = GetClipboardBitmap();
    ASSERT_NE(back, HBITMAP{});
    HDC reader = CreateCompatibleDC(HDC{});
    SelectObject(reader, back);
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(GetDeviceCaps(reader, HORZRES), client.right);
    EXPECT_EQ(GetDeviceCaps(reader, VERTRES), client.bottom);
    EXPECT_EQ(GetPixel(reader, client.right / 2, client.bottom / 2), RGB(0, 0, 192));
    DeleteDC(reader);
    DeleteObject(back);
    DestroyWindow(hwnd);
}

}  // namespace
