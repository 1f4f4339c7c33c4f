// Order of messages: creation, sent against posted, mouse input, painting, quitting.

#include <chrono>
#include <thread>

#include "platform/internal/Clock.h"
#include "tests/platform/ui/UiTestSupport.h"

namespace platform::test {
namespace {

using MessageOrder = UiTest;

TEST_F(MessageOrder, CreateIsSentInsideCreateWindowThenSizeAndMove) {
    int creation_data = 42;
    bool alive_in_create = false;
    void* seen_param = nullptr;
    Extra() = [&](HWND hwnd, UINT message, WPARAM, LPARAM lParam, bool*) -> LRESULT {
        if (message == WM_CREATE) {
            alive_in_create = IsWindow(hwnd) != FALSE;
            seen_param = reinterpret_cast<const CREATESTRUCT*>(lParam)->lpCreateParams;
        }
        return 0;
    };
    const HWND hwnd = CreateWindow("Recorder", "T", WS_OVERLAPPEDWINDOW, 30, 40, 320, 240, HWND{},
                                   HMENU{}, HINSTANCE{}, &creation_data);
    ASSERT_TRUE(hwnd);
    // Nothing was pumped: all of it happened inside CreateWindow.
    EXPECT_EQ(Messages(hwnd, {WM_CREATE, WM_SIZE, WM_MOVE}),
              (std::vector<UINT>{WM_CREATE, WM_SIZE, WM_MOVE}));
    EXPECT_TRUE(alive_in_create);
    EXPECT_EQ(seen_param, &creation_data);
    RECT client{};
    ASSERT_TRUE(GetClientRect(hwnd, &client));
    const int frame = GetSystemMetrics(SM_CXFRAME);
    const int caption = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    EXPECT_EQ(client.right, 320 - 2 * frame);
    EXPECT_EQ(client.bottom, 240 - caption - GetSystemMetrics(SM_CYFRAME));
    for (const Received& r : Log()) {
        if (r.message == WM_SIZE) {
            EXPECT_EQ(LOWORD(r.lParam), client.right);
            EXPECT_EQ(HIWORD(r.lParam), client.bottom);
        }
        if (r.message == WM_MOVE) {
            EXPECT_EQ(GET_X_LPARAM(r.lParam), 30 + frame);
            EXPECT_EQ(GET_Y_LPARAM(r.lParam), 40 + caption);
        }
    }
}

TEST_F(MessageOrder, CreateAnsweringMinusOneDestroysTheWindow) {
    Extra() = [](HWND, UINT message, WPARAM, LPARAM, bool* handled) -> LRESULT {
        *handled = message == WM_CREATE;
        return -1;
    };
    const HWND hwnd = CreateWindow("Recorder", "T", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, HWND{},
                                   HMENU{}, HINSTANCE{}, nullptr);
    EXPECT_FALSE(hwnd);
    EXPECT_EQ(Messages(HWND{}, {WM_CREATE, WM_DESTROY}),
              (std::vector<UINT>{WM_CREATE, WM_DESTROY}));
    EXPECT_FALSE(
        CreateWindow("NoSuchClass", "T", 0, 0, 0, 10, 10, HWND{}, HMENU{}, HINSTANCE{}, nullptr));
}

TEST_F(MessageOrder, SentRunsAtOncePostedWaitsForTheLoop) {
    const HWND hwnd = MakeWindow();
    Extra() = [](HWND h, UINT message, WPARAM, LPARAM, bool* handled) -> LRESULT {
        if (message == WM_USER + 1) {
            PostMessage(h, WM_USER + 2, 0, 0);
            const LRESULT r = SendMessage(h, WM_USER + 3, 0, 0);
            EXPECT_EQ(r, 99);
        }
        if (message == WM_USER + 3) {
            *handled = true;
            return 99;
        }
        return 0;
    };
    Log().clear();
    PostMessage(hwnd, WM_USER + 1, 0, 0);
    testing::PumpUntilIdle();
    EXPECT_EQ(Messages(hwnd, {WM_USER + 1, WM_USER + 2, WM_USER + 3}),
              (std::vector<UINT>{WM_USER + 1, WM_USER + 3, WM_USER + 2}));
}

TEST_F(MessageOrder, PostedComeBeforeTimersAndTimersBeforePaint) {
    const HWND hwnd = MakeWindow();
    Log().clear();
    InvalidateRect(hwnd, nullptr, TRUE);
    SetTimer(hwnd, 5, 10);
    testing::AdvanceTime(10);  // the timer is due now, the paint is pending
    Log().clear();
    InvalidateRect(hwnd, nullptr, FALSE);
    SetTimer(hwnd, 6, 1);
    internal::AdvanceVirtualTime(1);
    PostMessage(hwnd, WM_USER, 0, 0);
    MSG msg;
    std::vector<UINT> order;
    while (PeekMessage(&msg, HWND{}, 0, 0, PM_REMOVE)) {
        order.push_back(msg.message);
        if (msg.message == WM_TIMER) KillTimer(hwnd, msg.wParam);
        DispatchMessage(&msg);
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER, WM_TIMER, WM_PAINT}));
}

struct ClickCase {
    const char* cls;
    std::vector<UINT> expected;
};

TEST_F(MessageOrder, DoubleClickArrivesAsDownUpDblclkUp) {
    const ClickCase cases[] = {
        {"Recorder", {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
        {"PlainRecorder", {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}},
    };
    for (const ClickCase& c : cases) {
        const HWND hwnd = MakeWindow(300, 200, c.cls);
        Log().clear();
        testing::MouseDoubleClick(hwnd, 20, 30);
        EXPECT_EQ(Messages(hwnd, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK}), c.expected)
            << "class " << c.cls;
        for (const Received& r : Log()) {
            if (r.message < WM_LBUTTONDOWN || r.message > WM_LBUTTONDBLCLK) continue;
            EXPECT_EQ(GET_X_LPARAM(r.lParam), 20);
            EXPECT_EQ(GET_Y_LPARAM(r.lParam), 30);
            EXPECT_EQ(r.wParam & MK_LBUTTON, r.message == WM_LBUTTONUP ? 0u : MK_LBUTTON);
        }
        DestroyWindow(hwnd);
    }
}

TEST_F(MessageOrder, RightClickAndMovesCarryClientCoordinates) {
    const HWND hwnd = MakeWindow();
    Log().clear();
    testing::MouseMove(hwnd, 5, 6);
    testing::MouseClick(hwnd, 100, 50, testing::Button::Right);
    ASSERT_EQ(Messages(hwnd, {WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP}),
              (std::vector<UINT>{WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP}));
    for (const Received& r : Log()) {
        if (r.message == WM_MOUSEMOVE) {
            EXPECT_EQ(r.lParam, MAKELPARAM(5, 6));
        }
        if (r.message == WM_RBUTTONDOWN) {
            EXPECT_EQ(r.lParam, MAKELPARAM(100, 50));
        }
    }
}

TEST_F(MessageOrder, CaptureSendsTheMouseToTheCapturingWindow) {
    const HWND a = MakeWindow();
    const HWND b = CreateWindow("Recorder", "B", WS_CHILD | WS_VISIBLE, 50, 40, 100, 80, a, HMENU{},
                                HINSTANCE{}, nullptr);
    testing::PumpUntilIdle();
    SetCapture(a);
    EXPECT_EQ(GetCapture(), a);
    Log().clear();
    testing::MouseMove(b, 10, 10);
    ASSERT_EQ(Messages(HWND{}, {WM_MOUSEMOVE}).size(), 1u);
    EXPECT_EQ(Log().back().hwnd, a);
    EXPECT_EQ(Log().back().lParam, MAKELPARAM(60, 50));  // in a's client coordinates
    ReleaseCapture();
    EXPECT_FALSE(GetCapture());
    Log().clear();
    testing::MouseMove(b, 10, 10);
    ASSERT_FALSE(Log().empty());
    EXPECT_EQ(Log().back().hwnd, b);
}

TEST_F(MessageOrder, QuitEndsTheLoopWithItsCodeAfterWhatWasPosted) {
    const HWND hwnd = MakeWindow();
    Log().clear();
    PostMessage(hwnd, WM_USER, 1, 0);
    PostQuitMessage(7);
    PostMessage(hwnd, WM_USER, 2, 0);
    MSG msg;
    ASSERT_TRUE(GetMessage(&msg, HWND{}, 0, 0));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(GetMessage(&msg, HWND{}, 0, 0));
    EXPECT_EQ(msg.wParam, 2u);
    EXPECT_FALSE(GetMessage(&msg, HWND{}, 0, 0));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(MessageOrder, PostFromAnotherThreadWakesAWaitingLoop) {
    const HWND hwnd = MakeWindow();
    internal::UseVirtualClock(false);
    std::thread poster([hwnd] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        PostMessage(hwnd, WM_USER + 9, 3, 4);
    });
    MSG msg;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(GetMessage(&msg, HWND{}, WM_USER + 9, WM_USER + 9));
    poster.join();
    EXPECT_EQ(msg.message, WM_USER + 9);
    EXPECT_EQ(msg.hwnd, hwnd);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST_F(MessageOrder, InvalidatingInsidePaintBeforeBeginPaintWidensThePaint) {
    const HWND hwnd = MakeWindow(200, 100);
    RECT painted{};
    int paints = 0;
    Extra() = [&](HWND h, UINT message, WPARAM, LPARAM, bool* handled) -> LRESULT {
        if (message != WM_PAINT) return 0;
        *handled = true;
        ++paints;
        InvalidateRect(h, nullptr, TRUE);  // the whole window, like the plot windows do
        PAINTSTRUCT ps;
        BeginPaint(h, &ps);
        painted = ps.rcPaint;
        EndPaint(h, &ps);
        return 0;
    };
    testing::PumpUntilIdle();
    paints = 0;
    RECT small{10, 10, 20, 20};
    InvalidateRect(hwnd, &small, FALSE);
    testing::PumpUntilIdle();
    EXPECT_EQ(paints, 1);
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(painted.right, client.right);
    EXPECT_EQ(painted.bottom, client.bottom);
    // Hidden windows are not painted until shown.
    ShowWindow(hwnd, SW_HIDE);
    paints = 0;
    InvalidateRect(hwnd, nullptr, TRUE);
    testing::PumpUntilIdle();
    EXPECT_EQ(paints, 0);
    ShowWindow(hwnd, SW_SHOW);
    testing::PumpUntilIdle();
    EXPECT_EQ(paints, 1);
}

TEST_F(MessageOrder, UpdateWindowPaintsAtOnce) {
    const HWND hwnd = MakeWindow();
    testing::PumpUntilIdle();
    Log().clear();
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    EXPECT_EQ(Messages(hwnd, {WM_PAINT}).size(), 1u);
    UpdateWindow(hwnd);  // nothing invalid any more
    EXPECT_EQ(Messages(hwnd, {WM_PAINT}).size(), 1u);
}

}  // namespace
}  // namespace platform::test
