// The MDI frame: children placed by rectangle, the window list, menus, and stale handles.

#include <cstdio>
#include <map>

#include "tests/platform/ui/UiTestSupport.h"

namespace platform::test {
namespace {

constexpr MenuItemTemplate kMenuItems[] = {
    {0, "&File", 0}, {1, "Open Project", 101}, {1, nullptr, 0}, {1, "**", 113},
    {1, "**", 114},  {1, "E&xit", 106},        {0, "&Help", 0}, {1, "Contents", 901},
    {1, "More", 0},  {2, "About", 902},
};
constexpr MenuTemplate kMenu = {"Test_Menu", kMenuItems, std::size(kMenuItems)};

HWND mdi_client;

LRESULT FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        CLIENTCREATESTRUCT ccs{GetSubMenu(GetMenu(hwnd), 0), 40};
        mdi_client = CreateWindow("MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0,
                                  0, 0, 0, hwnd, HMENU{}, HINSTANCE{}, &ccs);
    }
    Log().push_back(Received{hwnd, message, wParam, lParam});
    return DefFrameProc(hwnd, mdi_client, message, wParam, lParam);
}

// The placement bookkeeping of the configuration windows, from WM_MOVE and WM_SIZE.
struct Placement {
    int x = -1, y = -1, width = -1, height = -1;
};
std::map<std::uint32_t, Placement>& Placements() {
    static std::map<std::uint32_t, Placement> placements;
    return placements;
}

LRESULT ChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().push_back(Received{hwnd, message, wParam, lParam});
    Placement& p = Placements()[hwnd.value];
    switch (message) {
        case WM_MOVE:
            p.x = LOWORD(lParam) - GetSystemMetrics(SM_CXFRAME);
            p.y = HIWORD(lParam) - GetSystemMetrics(SM_CYCAPTION) - GetSystemMetrics(SM_CYFRAME);
            break;
        case WM_SIZE:
            p.width = LOWORD(lParam) + 2 * GetSystemMetrics(SM_CXFRAME);
            p.height =
                HIWORD(lParam) + GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME);
            break;
        default:
            break;
    }
    return DefMDIChildProc(hwnd, message, wParam, lParam);
}

class Mdi : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        Placements().clear();
        RegisterMenu(&kMenu);
        WNDCLASS wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &FrameProc;
        wc.lpszClassName = "Frame";
        ASSERT_TRUE(RegisterClass(&wc));
        wc.lpfnWndProc = &ChildProc;
        wc.cbWndExtra = 2;
        wc.lpszClassName = "Splitter1";
        ASSERT_TRUE(RegisterClass(&wc));
        menu_ = LoadMenu(HINSTANCE{}, "test_menu");
        ASSERT_TRUE(menu_);
        frame_ = CreateWindow("Frame", "Quorvex Equalizer V5.0 - MME, Velkor", WS_OVERLAPPEDWINDOW,
                              0, 0, 780, 560, HWND{}, menu_, HINSTANCE{}, nullptr);
        ASSERT_TRUE(frame_);
        ShowWindow(frame_, SW_SHOW);
        testing::PumpUntilIdle();
    }
    HWND NewChild(const char* title, int x, int y, int cx, int cy) {
        MDICREATESTRUCT mcs{"Splitter1", title, HINSTANCE{}, x, y, cx, cy, 0, 0};
        const HWND child = ParamToHandle(static_cast<std::uintptr_t>(
            SendMessage(mdi_client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs))));
        testing::PumpUntilIdle();
        return child;
    }
    HMENU menu_{};
    HWND frame_{};
};

TEST_F(Mdi, ChildrenComeBackWithTheirRectangleThroughTheSystemMetrics) {
    struct Case {
        int x, y, cx, cy;
    };
    const Case cases[] = {{0, 0, 400, 300}, {20, 35, 250, 180}, {100, 60, 333, 211}};
    for (const Case& c : cases) {
        const HWND child = NewChild("Stereo System Configuration", c.x, c.y, c.cx, c.cy);
        ASSERT_TRUE(child);
        const Placement& p = Placements()[child.value];
        EXPECT_EQ(p.x, c.x);
        EXPECT_EQ(p.y, c.y);
        EXPECT_EQ(p.width, c.cx);
        EXPECT_EQ(p.height, c.cy);
        // What Qt shows agrees with what the messages told.
        RECT shown{};
        ASSERT_TRUE(testing::ShownClientRect(child, &shown));
        RECT client{};
        GetClientRect(child, &client);
        EXPECT_EQ(shown.left, c.x + GetSystemMetrics(SM_CXFRAME));
        EXPECT_EQ(shown.top, c.y + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME));
        EXPECT_EQ(shown.right - shown.left, client.right);
        EXPECT_EQ(shown.bottom - shown.top, client.bottom);
        // Moving it reports the new place the same way.
        MoveWindow(child, c.x + 7, c.y + 9, c.cx, c.cy, TRUE);
        EXPECT_EQ(p.x, c.x + 7);
        EXPECT_EQ(p.y, c.y + 9);
        DestroyWindow(child);
    }
}

TEST_F(Mdi, WindowListItemsFrom40ActivateTheirChild) {
    const HMENU file = GetSubMenu(menu_, 0);
    const int base = GetMenuItemCount(file);
    const HWND a = NewChild("Alpha", 0, 0, 200, 150);
    const HWND b = NewChild("Beta", 10, 10, 200, 150);
    const HWND c = NewChild("Gamma", 20, 20, 200, 150);
    EXPECT_EQ(
        ParamToHandle(static_cast<std::uintptr_t>(SendMessage(mdi_client, WM_MDIGETACTIVE, 0, 0))),
        c);
    ASSERT_EQ(GetMenuItemCount(file), base + 4);  // separator and three children
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(GetMenuItemID(file, base + 1 + i), static_cast<UINT>(40 + i));
    char text[64];
    GetMenuString(file, 41, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&2 Beta");
    Log().clear();
    ASSERT_TRUE(testing::ChooseMenuItem(frame_, 41));
    EXPECT_EQ(
        ParamToHandle(static_cast<std::uintptr_t>(SendMessage(mdi_client, WM_MDIGETACTIVE, 0, 0))),
        b);
    std::vector<std::pair<HWND, LPARAM>> activations;
    for (const Received& r : Log())
        if (r.message == WM_MDIACTIVATE) activations.emplace_back(r.hwnd, r.lParam);
    EXPECT_EQ(activations,
              (std::vector<std::pair<HWND, LPARAM>>{{c, HandleToParam(b)}, {b, HandleToParam(b)}}));
    // Closing one renumbers the list.
    SendMessage(mdi_client, WM_MDIDESTROY, static_cast<WPARAM>(b.value), 0);
    ASSERT_EQ(GetMenuItemCount(file), base + 3);
    GetMenuString(file, 41, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&2 Gamma");
    // A title change shows in the list.
    SetWindowText(a, "Alpha 2");
    GetMenuString(file, 40, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&1 Alpha 2");
}

// A title set at every step of a long computation shows in the window list at once, and the
// menu bar on screen is built once for the whole burst, when the loop runs again.
TEST_F(Mdi, ATitleBurstBuildsTheMenuBarOnce) {
    const HMENU file = GetSubMenu(menu_, 0);
    const HWND plot = NewChild("Diffraction", 0, 0, 200, 150);
    testing::PumpUntilIdle();
    const int before = testing::MenuBarBuilds();
    const int lists_before = testing::WindowListBuilds();
    char title[64];
    char text[64];
    for (int k = 0; k < 2000; ++k) {
        std::snprintf(title, sizeof title, "Diffraction  Frequency = %d Hz", k);
        SetWindowText(plot, title);
    }
    EXPECT_EQ(testing::WindowListBuilds(), lists_before) << "a title set only keeps the text";
    GetMenuString(file, 40, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&1 Diffraction  Frequency = 1999 Hz");
    EXPECT_EQ(testing::WindowListBuilds(), lists_before + 1) << "the read builds the list once";
    EXPECT_EQ(testing::MenuBarBuilds(), before) << "built before the loop ran";
    testing::PumpUntilIdle();
    EXPECT_EQ(testing::MenuBarBuilds(), before + 1);
    EXPECT_EQ(testing::WindowListBuilds(), lists_before + 1);
    // The bar built shows the last title: its item activates the child.
    ASSERT_TRUE(testing::ChooseMenuItem(frame_, 40));
    // The same title again changes nothing on screen.
    SetWindowText(plot, title);
    testing::PumpUntilIdle();
    EXPECT_EQ(testing::MenuBarBuilds(), before + 1);
}

TEST_F(Mdi, MenuItemTextsChangeByCommand) {
    const HMENU file = GetSubMenu(menu_, 0);
    EXPECT_TRUE(ModifyMenu(menu_, 113, MF_BYCOMMAND | MF_STRING, 113, "C:\\drivers\\woofer.WFR"));
    char text[64];
    EXPECT_EQ(GetMenuString(file, 113, text, sizeof text, MF_BYCOMMAND), 21);
    EXPECT_STREQ(text, "C:\\drivers\\woofer.WFR");
    EXPECT_TRUE(ModifyMenu(menu_, 902, MF_BYCOMMAND | MF_STRING, 902, "About it"));  // nested
    GetMenuString(menu_, 902, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "About it");
    EXPECT_FALSE(ModifyMenu(menu_, 999, MF_BYCOMMAND | MF_STRING, 999, "none"));
    EXPECT_TRUE(DrawMenuBar(frame_));
    EXPECT_TRUE(testing::ChooseMenuItem(frame_, 106));
    bool exit_seen = false;
    for (const Received& r : Log())
        exit_seen |= r.hwnd == frame_ && r.message == WM_COMMAND && r.wParam == 106;
    EXPECT_TRUE(exit_seen);
    EXPECT_FALSE(testing::ChooseMenuItem(frame_, 4242));
}

TEST_F(Mdi, StaleHandlesOfDestroyedChildrenAreHarmlessInEveryCall) {
    const HWND child = NewChild("Gone", 0, 0, 200, 150);
    SetTimer(child, 1, 100);
    DestroyWindow(child);
    testing::PumpUntilIdle();
    const HMENU stale_menu = LoadMenu(HINSTANCE{}, "Test_Menu");
    DestroyMenu(stale_menu);
    for (const HWND h : {child, HWND{}}) {
        RECT r{1, 2, 3, 4};
        POINT pt{5, 6};
        char text[8] = "x";
        MSG msg{h, WM_USER, 0, 0, 0, POINT{0, 0}};
        PAINTSTRUCT ps{};
        EXPECT_FALSE(IsWindow(h));
        EXPECT_FALSE(IsWindowVisible(h));
        EXPECT_FALSE(DestroyWindow(h));
        EXPECT_FALSE(ShowWindow(h, SW_SHOW));
        EXPECT_FALSE(MoveWindow(h, 0, 0, 10, 10, TRUE));
        EXPECT_FALSE(SetWindowPos(h, HWND{}, 0, 0, 1, 1, 0));
        EXPECT_FALSE(GetClientRect(h, &r));
        EXPECT_FALSE(GetWindowRect(h, &r));
        EXPECT_FALSE(ClientToScreen(h, &pt));
        EXPECT_FALSE(SetWindowText(h, "t"));
        EXPECT_EQ(GetWindowText(h, text, sizeof text), 0);
        EXPECT_STREQ(text, "");
        EXPECT_EQ(SendMessage(h, WM_USER, 1, 2), 0);
        EXPECT_EQ(DispatchMessage(&msg), 0);
        EXPECT_FALSE(InvalidateRect(h, nullptr, TRUE));
        EXPECT_FALSE(UpdateWindow(h));
        EXPECT_FALSE(BeginPaint(h, &ps));
        EXPECT_FALSE(GetDC(h));
        EXPECT_EQ(ReleaseDC(h, HDC{}), 0);
        if (h) {
            EXPECT_EQ(SetTimer(h, 2, 10), 0u);
        }
        EXPECT_FALSE(KillTimer(h, 1));
        EXPECT_FALSE(EnableWindow(h, FALSE));
        EXPECT_FALSE(GetParent(h));
        EXPECT_FALSE(GetDlgItem(h, 1));
        EXPECT_FALSE(SetDlgItemText(h, 1, "t"));
        EXPECT_EQ(GetDlgItemText(h, 1, text, sizeof text), 0u);
        EXPECT_FALSE(CheckDlgButton(h, 1, BST_CHECKED));
        EXPECT_EQ(IsDlgButtonChecked(h, 1), 0u);
        EXPECT_EQ(SendDlgItemMessage(h, 1, LB_GETCOUNT, 0, 0), 0);
        EXPECT_EQ(SetScrollPos(h, SB_HORZ, 3, TRUE), 0);
        EXPECT_FALSE(SetScrollRange(h, SB_HORZ, 0, 5, TRUE));
        EXPECT_FALSE(EndDialog(h, 1));
        EXPECT_FALSE(IsDialogMessage(h, &msg));
        EXPECT_EQ(GetWindowLong(h, 0), 0);
        EXPECT_EQ(SetWindowWord(h, 0, 7), 0);
        EXPECT_FALSE(SetMenu(h, menu_));
        EXPECT_FALSE(DrawMenuBar(h));
        EXPECT_FALSE(BringWindowToTop(h));
        EXPECT_FALSE(SetCapture(h));
        SetFocus(h);
        if (h) {
            EXPECT_NE(GetFocus(), h);
        }
        EXPECT_FALSE(testing::ShownClientRect(h, &r));
        EXPECT_FALSE(testing::SaveWindowImage(h, "/tmp/never.png"));
        EXPECT_FALSE(CreateWindow("Splitter1", "orphan", WS_CHILD, 0, 0, 5, 5, h, HMENU{},
                                  HINSTANCE{}, nullptr));
        EXPECT_EQ(SendMessage(mdi_client, WM_MDIDESTROY, static_cast<WPARAM>(h.value), 0), 0);
        EXPECT_EQ(SendMessage(mdi_client, WM_MDIACTIVATE, static_cast<WPARAM>(h.value), 0), 0);
    }
    for (const HMENU m : {stale_menu, HMENU{}}) {
        char text[8];
        EXPECT_FALSE(IsMenu(m));
        EXPECT_FALSE(GetSubMenu(m, 0));
        EXPECT_EQ(GetMenuItemCount(m), -1);
        EXPECT_FALSE(ModifyMenu(m, 113, MF_BYCOMMAND, 113, "t"));
        EXPECT_EQ(GetMenuString(m, 113, text, sizeof text, MF_BYCOMMAND), 0);
        EXPECT_FALSE(AppendMenu(m, MF_STRING, 1, "t"));
        EXPECT_FALSE(DestroyMenu(m));
    }
    testing::AdvanceTime(1000);  // the dead child's timer never fires
    EXPECT_TRUE(IsWindow(frame_));
}

TEST_F(Mdi, AChildsOwnScrollBarSendsItsCodesToTheChild) {
    MDICREATESTRUCT mcs{
        "Splitter1", "MLS Impulse Response", HINSTANCE{}, 30, 20, 400, 300, WS_HSCROLL, 0};
    const HWND child = ParamToHandle(static_cast<std::uintptr_t>(
        SendMessage(mdi_client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs))));
    ASSERT_TRUE(child);
    RECT client{};
    GetClientRect(child, &client);
    EXPECT_EQ(client.bottom, 300 - GetSystemMetrics(SM_CYCAPTION) -
                                 2 * GetSystemMetrics(SM_CYFRAME) - GetSystemMetrics(SM_CYHSCROLL));
    RECT shown{};
    ASSERT_TRUE(testing::ShownClientRect(child, &shown));
    EXPECT_EQ(shown.bottom - shown.top, client.bottom);
    EXPECT_TRUE(SetScrollRange(child, SB_HORZ, 0, 20, TRUE));
    SetScrollPos(child, SB_HORZ, 20, TRUE);
    Log().clear();
    testing::Scroll(child, -1, SB_LINELEFT, 0, SB_HORZ);
    testing::Scroll(child, -1, SB_THUMBTRACK, 7, SB_HORZ);
    std::vector<std::pair<UINT, int>> codes;
    for (const Received& r : Log()) {
        if (r.hwnd != child || r.message != WM_HSCROLL) continue;
        EXPECT_EQ(r.lParam, 0) << "a window's own bar sends no control handle";
        codes.emplace_back(LOWORD(r.wParam), HIWORD(r.wParam));
    }
    ASSERT_EQ(codes.size(), 4u);
    EXPECT_EQ(codes[0].first, SB_LINELEFT);
    EXPECT_EQ(codes[1], (std::pair<UINT, int>{SB_THUMBTRACK, 7}));
    EXPECT_EQ(codes[2], (std::pair<UINT, int>{SB_THUMBPOSITION, 7}));
    EXPECT_EQ(codes[3].first, SB_ENDSCROLL);
    EXPECT_EQ(GetScrollPos(child, SB_HORZ), 20) << "the child did not move the bar";
}

TEST_F(Mdi, CursorsAreTheSystemsAndSetCursorReturnsThePreviousOne) {
    const HCURSOR arrow = LoadCursor(HINSTANCE{}, IDC_ARROW);
    const HCURSOR we = LoadCursor(HINSTANCE{}, IDC_SIZEWE);
    const HCURSOR ns = LoadCursor(HINSTANCE{}, IDC_SIZENS);
    const HCURSOR wait = LoadCursor(HINSTANCE{}, IDC_WAIT);
    for (const HCURSOR c : {arrow, we, ns, wait}) EXPECT_TRUE(c);
    EXPECT_FALSE(we == ns);
    EXPECT_FALSE(arrow == wait);
    SetCursor(arrow);
    EXPECT_EQ(SetCursor(we), arrow);
    EXPECT_EQ(GetCursor(), we);
    EXPECT_FALSE(LoadCursor(HINSTANCE{}, "#1"));
}

TEST_F(Mdi, WindowImageOfTheFrameShowsItsChildren) {
    const HWND child = NewChild("Painted", 10, 10, 200, 150);
    ASSERT_TRUE(child);
    const std::string path = ::testing::TempDir() + "frame.png";
    EXPECT_TRUE(testing::SaveWindowImage(frame_, path));
    EXPECT_TRUE(testing::SaveWindowImage(child, ::testing::TempDir() + "child.png"));
    RECT work{};
    EXPECT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_GT(work.right, work.left);
    EXPECT_GT(GetSystemMetrics(SM_CYMENU), 0);
}

}  // namespace
}  // namespace platform::test
