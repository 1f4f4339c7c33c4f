// Controls: edits, check and radio boxes, lists, scroll bars, tab pages, static canvases, colour
// requests and owner-drawn buttons, with their notifications.

#include <cstring>

#include "tests/platform/ui/UiTestSupport.h"

namespace platform::test {
namespace {

enum : int {
    kEdit = 100,
    kCheck = 101,
    kRadio1 = 102,
    kRadio2 = 103,
    kRadio3 = 104,
    kList = 105,
    kDrop = 106,
    kScroll = 107,
    kTab = 108,
    kCanvas = 109,
    kReadout = 110,
    kPlay = 111,
    kPageEdit = 200,
};

constexpr ControlTemplate kControls[] = {
    {kCanvas, ControlKind::StaticCanvas, nullptr, 0, 0, 40, 240, 0},
    {kEdit, ControlKind::Edit, "", 50, 10, 80, 20, 0},
    {kCheck, ControlKind::CheckBox, "Show Nodes", 50, 40, 100, 20, 0},
    {kRadio1, ControlKind::RadioButton, "Square", 50, 60, 80, 20, 0},
    {kRadio2, ControlKind::RadioButton, "Bevel", 50, 80, 80, 20, 0},
    {kRadio3, ControlKind::RadioButton, "Round", 50, 100, 80, 20, 0},
    {kList, ControlKind::ListBox, nullptr, 150, 10, 100, 80, 0},
    {kDrop, ControlKind::DropDownList, nullptr, 150, 100, 100, 100, 0},
    {kScroll, ControlKind::HScrollBar, nullptr, 50, 130, 200, 16, 0},
    {kTab, ControlKind::TabControl, nullptr, 50, 250, 200, 120, 0},
    {kReadout, ControlKind::StaticText, "", 50, 150, 120, 16, 0},
    {kPlay, ControlKind::OwnerDrawButton, "Play", 50, 170, 48, 39, 0},
    {IDOK, ControlKind::DefPushButton, "Done", 180, 200, 60, 24, 0},
};
constexpr DialogTemplate kTemplate = {
    "TestControls", "Controls", 0, 0, 300, 400, nullptr, 8, 0, kControls, std::size(kControls)};

constexpr ControlTemplate kPageControls[] = {
    {kPageEdit, ControlKind::Edit, "", 5, 5, 60, 20, 0},
};
constexpr DialogTemplate kPage = {"TestPage", nullptr,       0, 0, 150, 60, nullptr, 8,
                                  WS_CHILD,   kPageControls, 1};

struct Seen {
    std::vector<Received> got;
    HBRUSH readout_brush{};
    HWND page{};
    int pages_created = 0;
    bool track_scroll = true;  // the procedure moves the thumb as the player does
    int inside_selection = -2;
};
Seen& S() {
    static Seen seen;
    return seen;
}

INT_PTR PageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

INT_PTR ControlsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    S().got.push_back(Received{dialog, message, wParam, lParam});
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kList && HIWORD(wParam) == LBN_SELCHANGE)
                S().inside_selection =
                    static_cast<int>(SendDlgItemMessage(dialog, kList, LB_GETCURSEL, 0, 0));
            if (LOWORD(wParam) == kDrop && HIWORD(wParam) == CBN_SELCHANGE)
                S().inside_selection =
                    static_cast<int>(SendDlgItemMessage(dialog, kDrop, CB_GETCURSEL, 0, 0));
            return TRUE;
        case WM_HSCROLL: {
            if (!S().track_scroll) return TRUE;
            const HWND bar = ParamToHandle(static_cast<std::uintptr_t>(lParam));
            int pos = GetScrollPos(bar, SB_CTL);
            switch (LOWORD(wParam)) {
                case SB_LINELEFT:
                    pos -= 1;
                    break;
                case SB_LINERIGHT:
                    pos += 1;
                    break;
                case SB_PAGELEFT:
                    pos -= 3;
                    break;
                case SB_PAGERIGHT:
                    pos += 3;
                    break;
                case SB_THUMBPOSITION:
                case SB_THUMBTRACK:
                    pos = static_cast<std::int16_t>(HIWORD(wParam));
                    break;
                case SB_LEFT:
                    pos = 0;
                    break;
                case SB_RIGHT:
                    pos = 66;
                    break;
                default:
                    break;
            }
            SetScrollPos(bar, SB_CTL, pos, TRUE);
            return TRUE;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code == TCN_SELCHANGE) {
                DestroyWindow(S().page);
                const int index =
                    static_cast<int>(SendMessage(header->hwndFrom, TCM_GETCURSEL, 0, 0));
                S().page =
                    CreateDialogParam(HINSTANCE{}, "TestPage", header->hwndFrom, &PageProc, index);
                MoveWindow(S().page, 3, 27, 150, 60, TRUE);
                ++S().pages_created;
            }
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
            if (ParamToHandle(static_cast<std::uintptr_t>(lParam)) == GetDlgItem(dialog, kReadout))
                return static_cast<INT_PTR>(S().readout_brush.value);
            return FALSE;
        default:
            return FALSE;
    }
}

std::vector<std::pair<int, UINT>> Notifications(UINT message = WM_COMMAND) {
    std::vector<std::pair<int, UINT>> out;
    for (const Received& r : S().got)
        if (r.message == message) out.emplace_back(LOWORD(r.wParam), HIWORD(r.wParam));
    return out;
}

class Controls : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        S() = Seen{};
        RegisterDialogTemplate(&kTemplate);
        RegisterDialogTemplate(&kPage);
        owner_ = MakeWindow(500, 500);
        dialog_ = CreateDialog(HINSTANCE{}, "TestControls", owner_, &ControlsProc);
        ASSERT_TRUE(dialog_);
        ShowWindow(dialog_, SW_SHOW);
        testing::PumpUntilIdle(dialog_);
        S().got.clear();
    }
    std::string Text(int id) {
        char buffer[256];
        GetDlgItemText(dialog_, id, buffer, sizeof buffer);
        return buffer;
    }
    HWND owner_{};
    HWND dialog_{};
};

TEST_F(Controls, EditNotifiesEveryChangeAndLimitsWhatIsTyped) {
    const HWND edit = GetDlgItem(dialog_, kEdit);
    SendMessage(edit, EM_LIMITTEXT, 4, 0);
    EXPECT_TRUE(SetDlgItemText(dialog_, kEdit, "123456"));
    EXPECT_EQ(Notifications(), (std::vector<std::pair<int, UINT>>{{kEdit, EN_CHANGE}}))
        << "a program change notifies like a typed one";
    EXPECT_EQ(Text(kEdit), "123456") << "the limit is for typing only";
    S().got.clear();
    testing::TypeText(dialog_, kEdit, "9876543");
    EXPECT_EQ(Text(kEdit), "9876");
    EXPECT_EQ(Notifications().size(), 4u) << "one EN_CHANGE per accepted key";
    EXPECT_GE(testing::BeepCount(), 1) << "refused keys beep";
    // Reads are bounded by the buffer and always terminated.
    char small[3];
    EXPECT_EQ(GetDlgItemText(dialog_, kEdit, small, sizeof small), 2u);
    EXPECT_STREQ(small, "98");
    // Typed numbers read back as numbers.
    testing::TypeText(dialog_, kEdit, "-12");
    BOOL ok = FALSE;
    EXPECT_EQ(static_cast<int>(GetDlgItemInt(dialog_, kEdit, &ok, TRUE)), -12);
    EXPECT_TRUE(ok);
    testing::TypeText(dialog_, kEdit, "1.5");
    GetDlgItemInt(dialog_, kEdit, &ok, TRUE);
    EXPECT_FALSE(ok);
    SetDlgItemInt(dialog_, kEdit, 4711, FALSE);
    EXPECT_EQ(Text(kEdit), "4711");
}

TEST_F(Controls, CheckAndRadioBoxesLeaveTheCheckToTheProcedure) {
    testing::Click(dialog_, kCheck);
    EXPECT_EQ(Notifications(), (std::vector<std::pair<int, UINT>>{{kCheck, BN_CLICKED}}));
    EXPECT_EQ(IsDlgButtonChecked(dialog_, kCheck), BST_UNCHECKED) << "not automatic";
    CheckDlgButton(dialog_, kCheck, BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog_, kCheck), BST_CHECKED);
    testing::Click(dialog_, kCheck);
    EXPECT_EQ(IsDlgButtonChecked(dialog_, kCheck), BST_CHECKED);

    CheckRadioButton(dialog_, kRadio1, kRadio3, kRadio2);
    const int expected[] = {BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(IsDlgButtonChecked(dialog_, kRadio1 + i), static_cast<UINT>(expected[i]));
    S().got.clear();
    testing::Click(dialog_, kRadio3);
    EXPECT_EQ(Notifications(), (std::vector<std::pair<int, UINT>>{{kRadio3, BN_CLICKED}}));
    EXPECT_EQ(IsDlgButtonChecked(dialog_, kRadio3), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog_, kRadio2), BST_CHECKED);
}

struct ListCase {
    int id;
    UINT add, setsel, getsel, count, gettext, notification;
    LRESULT err;
};

TEST_F(Controls, ListBoxAndDropDownListAddSelectAndRead) {
    const ListCase cases[] = {
        {kList, LB_ADDSTRING, LB_SETCURSEL, LB_GETCURSEL, LB_GETCOUNT, LB_GETTEXT, LBN_SELCHANGE,
         LB_ERR},
        {kDrop, CB_ADDSTRING, CB_SETCURSEL, CB_GETCURSEL, CB_GETCOUNT, CB_GETLBTEXT, CBN_SELCHANGE,
         CB_ERR},
    };
    const char* items[] = {"Bessel", "Butterworth", "Linkwitz-Riley"};
    for (const ListCase& c : cases) {
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(
                SendDlgItemMessage(dialog_, c.id, c.add, 0, reinterpret_cast<LPARAM>(items[i])), i);
        EXPECT_EQ(SendDlgItemMessage(dialog_, c.id, c.count, 0, 0), 3);
        EXPECT_EQ(SendDlgItemMessage(dialog_, c.id, c.getsel, 0, 0), c.err)
            << "nothing selected yet";
        S().got.clear();
        EXPECT_EQ(SendDlgItemMessage(dialog_, c.id, c.setsel, 1, 0), 1);
        EXPECT_TRUE(Notifications().empty()) << "the program's selection does not notify";
        EXPECT_EQ(SendDlgItemMessage(dialog_, c.id, c.getsel, 0, 0), 1);
        char text[32];
        EXPECT_EQ(SendDlgItemMessage(dialog_, c.id, c.gettext, 2, reinterpret_cast<LPARAM>(text)),
                  14);
        EXPECT_STREQ(text, "Linkwitz-Riley");
        EXPECT_EQ(SendDlgItemMessage(dialog_, c.id, c.gettext, 7, reinterpret_cast<LPARAM>(text)),
                  c.err);
        // Out of range: refused, and nothing is selected afterwards.
        EXPECT_EQ(SendDlgItemMessage(dialog_, c.id, c.setsel, 7, 0), c.err);
        EXPECT_EQ(SendDlgItemMessage(dialog_, c.id, c.getsel, 0, 0), c.err);
        // A person's choice notifies, and the selection is already there when it does.
        testing::Select(dialog_, c.id, 2);
        EXPECT_EQ(Notifications(), (std::vector<std::pair<int, UINT>>{{c.id, c.notification}}));
        EXPECT_EQ(S().inside_selection, 2);
    }
}

TEST_F(Controls, ScrollBarSendsEveryCodeAndStaysWhereTheProcedurePutsIt) {
    const HWND bar = GetDlgItem(dialog_, kScroll);
    EXPECT_TRUE(SetScrollRange(bar, SB_CTL, 0, 66, TRUE));
    EXPECT_EQ(SetScrollPos(bar, SB_CTL, 51, TRUE), 0);
    struct Step {
        UINT code;
        int thumb;
        int expected_position;
        std::vector<UINT> codes;
    };
    const Step steps[] = {
        {SB_LINERIGHT, 0, 52, {SB_LINERIGHT}},
        {SB_LINELEFT, 0, 51, {SB_LINELEFT}},
        {SB_PAGERIGHT, 0, 54, {SB_PAGERIGHT}},
        {SB_PAGELEFT, 0, 51, {SB_PAGELEFT}},
        {SB_LEFT, 0, 0, {SB_LEFT}},
        {SB_RIGHT, 0, 66, {SB_RIGHT}},
        {SB_THUMBTRACK, 20, 20, {SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}},
    };
    for (const Step& step : steps) {
        S().got.clear();
        testing::Scroll(dialog_, kScroll, step.code, step.thumb);
        std::vector<UINT> codes;
        for (const Received& r : S().got) {
            if (r.message != WM_HSCROLL) continue;
            codes.push_back(LOWORD(r.wParam));
            EXPECT_EQ(ParamToHandle(static_cast<std::uintptr_t>(r.lParam)), bar);
            if (LOWORD(r.wParam) == SB_THUMBTRACK || LOWORD(r.wParam) == SB_THUMBPOSITION) {
                EXPECT_EQ(HIWORD(r.wParam), step.thumb);
            }
        }
        EXPECT_EQ(codes, step.codes) << "code " << step.code;
        EXPECT_EQ(GetScrollPos(bar, SB_CTL), step.expected_position) << "code " << step.code;
    }
    // A procedure that does not move the thumb leaves it where it was.
    S().track_scroll = false;
    testing::Scroll(dialog_, kScroll, SB_LINELEFT);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 20);
    // Positions are kept within the range.
    SetScrollPos(bar, SB_CTL, 100, TRUE);
    EXPECT_EQ(SendMessage(bar, SBM_GETPOS, 0, 0), 66);
    int lo = -1, hi = -1;
    EXPECT_TRUE(GetScrollRange(bar, SB_CTL, &lo, &hi));
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 66);
}

TEST_F(Controls, TabSelectionReplacesTheChildDialogPage) {
    const HWND tab = GetDlgItem(dialog_, kTab);
    TCITEM item{TCIF_TEXT, "MLS"};
    EXPECT_EQ(SendMessage(tab, TCM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item)), 0);
    item.pszText = "Processing";
    EXPECT_EQ(SendMessage(tab, TCM_INSERTITEM, 1, reinterpret_cast<LPARAM>(&item)), 1);
    EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 0);
    S().page = CreateDialog(HINSTANCE{}, "TestPage", tab, &PageProc);
    const HWND first_page = S().page;
    ASSERT_TRUE(first_page);
    EXPECT_EQ(GetParent(first_page), tab);
    EXPECT_TRUE(IsWindowVisible(first_page));
    S().got.clear();
    testing::SelectTab(dialog_, kTab, 1);
    const auto notes = Notifications(WM_NOTIFY);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].first, kTab);
    EXPECT_EQ(S().pages_created, 1);
    EXPECT_FALSE(IsWindow(first_page));
    EXPECT_TRUE(IsWindow(S().page));
    EXPECT_TRUE(IsChild(tab, S().page));
    EXPECT_TRUE(GetDlgItem(S().page, kPageEdit));
    EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 1);
    // The program's own selection does not notify.
    S().got.clear();
    EXPECT_EQ(SendMessage(tab, TCM_SETCURSEL, 0, 0), 1);
    EXPECT_TRUE(Notifications(WM_NOTIFY).empty());
    EXPECT_EQ(SendMessage(tab, TCM_SETCURSEL, 5, 0), -1);
}

TEST_F(Controls, StaticCanvasPassesMouseClicksToTheDialogInDialogCoordinates) {
    const HWND canvas = GetDlgItem(dialog_, kCanvas);
    testing::MouseClick(dialog_, 20, 100);  // over the canvas, in dialog coordinates
    testing::MouseClick(canvas, 30, 210);   // the same, aimed at the canvas
    std::vector<LPARAM> ups;
    for (const Received& r : S().got)
        if (r.message == WM_LBUTTONUP) ups.push_back(r.lParam);
    EXPECT_EQ(ups, (std::vector<LPARAM>{MAKELPARAM(20, 100), MAKELPARAM(30, 210)}));
    // The canvas has an image to draw into, which keeps what is drawn until it is erased: then
    // it shows the dialog's colour.
    const HDC dc = GetDC(canvas);
    ASSERT_TRUE(dc);
    const HBRUSH cyan = CreateSolidBrush(RGB(0, 255, 255));
    RECT cell{0, 40, 40, 80};
    FillRect(dc, &cell, cyan);
    ReleaseDC(canvas, dc);
    InvalidateRect(canvas, nullptr, TRUE);
    testing::PumpUntilIdle(dialog_);
    const HDC again = GetDC(canvas);
    EXPECT_EQ(GetPixel(again, 20, 60), GetSysColor(COLOR_BTNFACE));
    ReleaseDC(canvas, again);
    DeleteObject(cyan);
}

TEST_F(Controls, StaticAsksItsDialogForColoursAndOwnerDrawnButtonsForDrawing) {
    S().readout_brush = CreateSolidBrush(RGB(255, 255, 0));
    SetDlgItemText(dialog_, kReadout, "");
    testing::PumpUntilIdle(dialog_);
    int colour_requests = 0;
    for (const Received& r : S().got) colour_requests += r.message == WM_CTLCOLORSTATIC;
    EXPECT_GE(colour_requests, 1);
    const HWND readout = GetDlgItem(dialog_, kReadout);
    const HDC dc = GetDC(readout);
    EXPECT_EQ(GetPixel(dc, 3, 3), RGB(255, 255, 0)) << "the returned brush fills the background";
    ReleaseDC(readout, dc);
    DeleteObject(S().readout_brush);

    S().got.clear();
    InvalidateRect(GetDlgItem(dialog_, kPlay), nullptr, TRUE);
    testing::PumpUntilIdle(dialog_);
    std::vector<const Received*> draws;
    for (const Received& r : S().got)
        if (r.message == WM_DRAWITEM) draws.push_back(&r);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0]->wParam, static_cast<WPARAM>(kPlay));
    S().got.clear();
    testing::Click(dialog_, kPlay);
    EXPECT_EQ(Notifications(), (std::vector<std::pair<int, UINT>>{{kPlay, BN_CLICKED}}));
    int pressed_draws = 0;
    for (const Received& r : S().got) pressed_draws += r.message == WM_DRAWITEM;
    EXPECT_EQ(pressed_draws, 2) << "drawn pressed, then released";
}

}  // namespace
}  // namespace platform::test
