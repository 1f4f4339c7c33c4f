// Modal and modeless dialogs: the nested loop, the disabled owner, results, dialog keys, the
// close box, IsDialogMessage and the message-filter hook.

#include "tests/platform/ui/UiTestSupport.h"

namespace platform::test {
namespace {

constexpr int kEditId = 1020;

constexpr ControlTemplate kSimpleControls[] = {
    {kEditId, ControlKind::Edit, "", 10, 10, 80, 20, 0},
    {IDOK, ControlKind::DefPushButton, "Done", 10, 40, 60, 24, 0},
    {IDCANCEL, ControlKind::PushButton, "Cancel", 80, 40, 60, 24, 0},
};
constexpr DialogTemplate kSimple = {"TestSimple",    "Simple", 20, 20, 200, 80, nullptr, 8, 0,
                                    kSimpleControls, 3};

struct DialogState {
    std::vector<Received> got;
    LPARAM init_param = 0;
    bool take_close = false;  // answer SC_CLOSE ourselves
    HHOOK hook{};
};

DialogState& State() {
    static DialogState state;
    return state;
}

// Ends with the command's id for IDOK and IDCANCEL.
INT_PTR SimpleDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    State().got.push_back(Received{dialog, message, wParam, lParam});
    switch (message) {
        case WM_INITDIALOG:
            State().init_param = lParam;
            return TRUE;
        case WM_SYSCOMMAND:
            if (State().take_close && (wParam & 0xFFF0) == SC_CLOSE) return TRUE;
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

std::vector<int> Commands() {
    std::vector<int> out;
    for (const Received& r : State().got)
        if (r.message == WM_COMMAND) out.push_back(LOWORD(r.wParam));
    return out;
}

class Dialogs : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        State() = DialogState{};
        RegisterDialogTemplate(&kSimple);
        owner_ = MakeWindow(400, 300);
        pane_ = CreateWindow("Recorder", "pane", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, owner_,
                             HMENU{}, HINSTANCE{}, nullptr);
        testing::PumpUntilIdle();
    }
    HWND owner_{};
    HWND pane_{};
};

TEST_F(Dialogs, ModalRunsANestedLoopWithTheOwnerDisabledAndReturnsTheResult) {
    bool owner_enabled_inside = true;
    bool dialog_shown_inside = false;
    bool posted_arrived_inside = false;
    HWND seen{};
    Extra() = [&](HWND, UINT message, WPARAM, LPARAM, bool*) -> LRESULT {
        if (message == WM_USER + 5) posted_arrived_inside = true;
        return 0;
    };
    testing::OnModalDialog("testsimple", [&](HWND dialog) {
        seen = dialog;
        owner_enabled_inside = IsWindowEnabled(owner_) != FALSE;
        dialog_shown_inside = IsWindowVisible(dialog) != FALSE;
        PostMessage(owner_, WM_USER + 5, 0, 0);
        testing::PumpUntilIdle();  // the nested loop dispatches the owner's messages
        testing::Click(dialog, IDOK);
    });
    // Owned by a child pane: the pane's top-level window is the one disabled.
    const INT_PTR result = DialogBoxParam(HINSTANCE{}, "TestSimple", pane_, &SimpleDlgProc, 77);
    EXPECT_EQ(result, IDOK);
    EXPECT_FALSE(owner_enabled_inside);
    EXPECT_TRUE(dialog_shown_inside);
    EXPECT_TRUE(posted_arrived_inside);
    EXPECT_EQ(State().init_param, 77);
    EXPECT_TRUE(IsWindowEnabled(owner_)) << "the owner comes back enabled";
    EXPECT_FALSE(IsWindow(seen)) << "the dialog is destroyed when its loop ends";
    EXPECT_TRUE(testing::UnansweredDialogs().empty());
}

struct KeyCase {
    const char* what;
    std::function<void(HWND)> act;
    INT_PTR expected;
};

TEST_F(Dialogs, EnterEscapeAndTheCloseBoxEndTheDialog) {
    const KeyCase cases[] = {
        {"Enter in the edit", [](HWND d) { testing::PressKey(GetDlgItem(d, kEditId), VK_RETURN); },
         IDOK},
        {"Escape in the edit", [](HWND d) { testing::PressKey(GetDlgItem(d, kEditId), VK_ESCAPE); },
         IDCANCEL},
        {"Enter on the Cancel button",
         [](HWND d) { testing::PressKey(GetDlgItem(d, IDCANCEL), VK_RETURN); }, IDCANCEL},
        {"close box", [](HWND d) { testing::CloseBox(d); }, IDCANCEL},
    };
    for (const KeyCase& c : cases) {
        State() = DialogState{};
        testing::OnModalDialog("TestSimple", c.act);
        EXPECT_EQ(DialogBox(HINSTANCE{}, "TestSimple", owner_, &SimpleDlgProc), c.expected)
            << c.what;
        EXPECT_EQ(Commands().size(), 1u) << c.what;
        EXPECT_TRUE(testing::UnansweredDialogs().empty()) << c.what;
    }
}

TEST_F(Dialogs, TheProcedureMayTakeTheCloseBoxFirst) {
    State().take_close = true;
    bool still_open = false;
    testing::OnModalDialog("TestSimple", [&](HWND d) {
        testing::CloseBox(d);
        still_open = IsWindowVisible(d) != FALSE;
        EndDialog(d, 5);
    });
    EXPECT_EQ(DialogBox(HINSTANCE{}, "TestSimple", owner_, &SimpleDlgProc), 5);
    EXPECT_TRUE(still_open);
    EXPECT_TRUE(Commands().empty()) << "a taken close box sends no IDCANCEL";
}

TEST_F(Dialogs, ADialogTheTestLeavesOpenIsCancelledAndReported) {
    EXPECT_EQ(DialogBox(HINSTANCE{}, "TestSimple", owner_, &SimpleDlgProc), IDCANCEL);
    ASSERT_EQ(testing::UnansweredDialogs().size(), 1u);
    EXPECT_EQ(testing::UnansweredDialogs()[0], "TestSimple");
    EXPECT_EQ(DialogBox(HINSTANCE{}, "NoSuchTemplate", owner_, &SimpleDlgProc), -1);
    EXPECT_FALSE(CreateDialog(HINSTANCE{}, "NoSuchTemplate", owner_, &SimpleDlgProc));
}

TEST_F(Dialogs, ModelessDialogIsOfferedMessagesFirstByIsDialogMessage) {
    const HWND dialog = CreateDialogParam(HINSTANCE{}, "TestSimple", owner_, &SimpleDlgProc, 9);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(State().init_param, 9);
    ShowWindow(dialog, SW_SHOW);
    EXPECT_EQ(GetParent(dialog), owner_);
    // Without IsDialogMessage the Escape key is only a key for the edit.
    testing::PressKey(GetDlgItem(dialog, kEditId), VK_ESCAPE);
    EXPECT_TRUE(Commands().empty());
    EXPECT_TRUE(IsWindow(dialog));
    // The program's loop offers each message to the dialog first: Escape becomes IDCANCEL, and a
    // modeless dialog ends by being destroyed.
    const HWND edit = GetDlgItem(dialog, kEditId);
    PostMessage(edit, WM_KEYDOWN, VK_ESCAPE, 1 | (27 << 16));
    testing::PumpUntilIdle(dialog);
    EXPECT_EQ(Commands(), (std::vector<int>{IDCANCEL}));
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_FALSE(IsWindow(edit)) << "its controls go with it";
    // A message for another window is not the dialog's.
    MSG other{owner_, WM_USER, 0, 0, 0, POINT{0, 0}};
    EXPECT_FALSE(IsDialogMessage(dialog, &other));
}

// The keyboard remote control: a message-filter hook sees the dialog's key-downs.
std::vector<WPARAM>& HookKeys() {
    static std::vector<WPARAM> keys;
    return keys;
}
std::vector<WPARAM>& SecondHookKeys() {
    static std::vector<WPARAM> keys;
    return keys;
}
HHOOK first_hook;
HHOOK second_hook;

LRESULT FirstHookProc(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && msg->message == WM_KEYDOWN) HookKeys().push_back(msg->wParam);
    return CallNextHookEx(first_hook, code, wParam, lParam);
}

LRESULT SecondHookProc(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (msg->message == WM_KEYDOWN) SecondHookKeys().push_back(msg->wParam);
    return CallNextHookEx(second_hook, code, wParam, lParam);
}

INT_PTR HookedDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        first_hook =
            SetWindowsHookEx(WH_MSGFILTER, &FirstHookProc, HINSTANCE{}, GetCurrentThreadId());
    if (message == WM_DESTROY) UnhookWindowsHookEx(first_hook);
    if (message == WM_COMMAND) State().got.push_back(Received{dialog, message, wParam, lParam});
    return FALSE;
}

TEST_F(Dialogs, TheMessageFilterSeesTheRemoteControlKeysWhileTheDialogIsActive) {
    HookKeys().clear();
    SecondHookKeys().clear();
    second_hook =
        SetWindowsHookEx(WH_MSGFILTER, &SecondHookProc, HINSTANCE{}, GetCurrentThreadId());
    const HWND dialog = CreateDialog(HINSTANCE{}, "TestSimple", owner_, &HookedDlgProc);
    ShowWindow(dialog, SW_SHOW);
    const std::vector<WPARAM> keys = {'1',       '9',       '0',      VK_UP,   VK_DOWN,
                                      VK_LEFT,   VK_RIGHT,  VK_PRIOR, VK_NEXT, VK_INSERT,
                                      VK_DELETE, VK_ESCAPE, VK_HOME,  VK_END};
    for (WPARAM key : keys) {
        PostMessage(dialog, WM_KEYDOWN, key, 1);
        testing::PumpUntilIdle(dialog);
    }
    EXPECT_EQ(HookKeys(), keys) << "the newest hook sees every key-down";
    EXPECT_EQ(SecondHookKeys(), keys) << "CallNextHookEx passes them on";
    // The keys keep their ordinary effect: Escape still reached the dialog as IDCANCEL.
    EXPECT_EQ(Commands(), (std::vector<int>{IDCANCEL}));
    DestroyWindow(dialog);
    HookKeys().clear();
    const HWND again = CreateDialog(HINSTANCE{}, "TestSimple", owner_, &SimpleDlgProc);
    PostMessage(again, WM_KEYDOWN, VK_HOME, 1);
    testing::PumpUntilIdle(again);
    EXPECT_TRUE(HookKeys().empty()) << "the dialog removed its hook when destroyed";
    EXPECT_EQ(SecondHookKeys().back(), VK_HOME);
    EXPECT_TRUE(UnhookWindowsHookEx(second_hook));
    EXPECT_FALSE(UnhookWindowsHookEx(second_hook));
}

TEST_F(Dialogs, KeysTypedThroughTheWidgetsReachTheHookInOrder) {
    HookKeys().clear();
    const HWND dialog = CreateDialog(HINSTANCE{}, "TestSimple", owner_, &HookedDlgProc);
    ShowWindow(dialog, SW_SHOW);
    // A person typing into the edit: the keys come through Qt, are posted, and the loop that
    // offers them to the dialog shows them to the hook before the edit gets them.
    const HWND edit = GetDlgItem(dialog, kEditId);
    SetFocus(edit);
    testing::PressKey(edit, '4', dialog);
    testing::PressKey(edit, '2', dialog);
    testing::PressKey(edit, VK_LEFT, dialog);
    testing::PressKey(edit, '7', dialog);
    EXPECT_EQ(HookKeys(), (std::vector<WPARAM>{'4', '2', VK_LEFT, '7'}));
    char text[16];
    GetDlgItemText(dialog, kEditId, text, sizeof text);
    EXPECT_STREQ(text, "472") << "the edit got the keys after the hook, in order";
    // A loop that does not offer the messages to the dialog bypasses the hook.
    HookKeys().clear();
    testing::PressKey(edit, '5');
    EXPECT_TRUE(HookKeys().empty());
    DestroyWindow(dialog);
}

TEST_F(Dialogs, EditKeysKeepTheirModifiers) {
    // Select-all and Shift+Home reach the edit as a person pressed them, through the loop.
    struct Case {
        const char* name;
        WPARAM vk;
        unsigned modifiers;
        const char* after;  // the text once "9" is typed over the selection
    };
    const Case cases[] = {{"Ctrl+A", 'A', testing::kControl, "9"},
                          {"Shift+Home", VK_HOME, testing::kShift, "9"},
                          {"Home alone", VK_HOME, 0, "91234"}};
    for (const Case& c : cases) {
        const HWND dialog = CreateDialog(HINSTANCE{}, "TestSimple", owner_, &SimpleDlgProc);
        ShowWindow(dialog, SW_SHOW);
        const HWND edit = GetDlgItem(dialog, kEditId);
        SetDlgItemText(dialog, kEditId, "1234");
        SetFocus(edit);
        testing::PressKey(edit, VK_END, dialog);
        testing::PressKey(edit, c.vk, dialog, c.modifiers);
        testing::PressKey(edit, '9', dialog);
        char text[16];
        GetDlgItemText(dialog, kEditId, text, sizeof text);
        EXPECT_STREQ(text, c.after) << c.name;
        DestroyWindow(dialog);
    }
}

TEST_F(Dialogs, WhatAModalDialogDisablesShowsEnabledAgainWhenItEnds) {
    // The widgets a person sees, not only the layer's records: the owner's frame and canvas and a
    // modeless dialog it owns (the player beside the frame) are blocked while the dialog runs and
    // come back enabled however the dialogs end, nested too.
    const HWND beside = CreateDialog(HINSTANCE{}, "TestSimple", owner_, &SimpleDlgProc);
    ShowWindow(beside, SW_SHOW);
    const auto shown_enabled = &testing::ShownEnabled;
    bool owner_shown_enabled_inside = true;
    bool beside_enabled_inside = true;
    testing::OnModalDialog("testsimple", [&](HWND outer) {
        owner_shown_enabled_inside = shown_enabled(owner_);
        beside_enabled_inside = shown_enabled(beside);
        testing::OnModalDialog("testsimple", [&](HWND inner) { testing::CloseBox(inner); });
        DialogBox(HINSTANCE{}, "TestSimple", outer, &SimpleDlgProc);
        testing::Click(outer, IDCANCEL);
    });
    DialogBox(HINSTANCE{}, "TestSimple", pane_, &SimpleDlgProc);
    EXPECT_FALSE(owner_shown_enabled_inside);
    EXPECT_FALSE(beside_enabled_inside);
    EXPECT_TRUE(shown_enabled(owner_));
    EXPECT_TRUE(shown_enabled(pane_));
    EXPECT_TRUE(shown_enabled(beside));
    DestroyWindow(beside);
}

TEST_F(Dialogs, KeysForWindowsTheLayerDidNotMakeGoStraightToThem) {
    // A file chooser or message box owned by a layer window: its name field takes typing at once.
    EXPECT_EQ(testing::TypeIntoForeignEdit(owner_, "ab"), "ab");
}

TEST_F(Dialogs, EndDialogOnAModelessDialogDestroysIt) {
    const HWND dialog = CreateDialog(HINSTANCE{}, "TestSimple", owner_, &SimpleDlgProc);
    ASSERT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(EndDialog(dialog, 1));
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_FALSE(EndDialog(dialog, 1));
    EXPECT_FALSE(EndDialog(owner_, 1)) << "not a dialog";
}

}  // namespace
}  // namespace platform::test
