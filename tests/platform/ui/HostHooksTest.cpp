// The layer's host hooks: unattended with no host, everything that would wait for a person takes
// its default and nothing is reported; a host's hooks see the request and give the answer.

#include <functional>

#include "platform/ui/HostHooks.h"
#include "tests/platform/ui/UiTestSupport.h"

namespace platform::test {
namespace {

constexpr ControlTemplate kLeftOpenControls[] = {
    {IDOK, ControlKind::DefPushButton, "OK", 10, 10, 60, 24, 0},
};
constexpr DialogTemplate kLeftOpen = {
    "HostLeftOpen", "Left open", 20, 20, 120, 50, nullptr, 8, 0, kLeftOpenControls, 1};

INT_PTR LeftOpenProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// Runs the test with the given hooks in place of the testing library's, and puts those back.
class HostHooksTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        saved_ = Hooks();
        Hooks() = HostHooks{};
        RegisterDialogTemplate(&kLeftOpen);
    }
    void TearDown() override {
        Hooks() = saved_;
        UiTest::TearDown();
    }
    HostHooks saved_;
};

TEST_F(HostHooksTest, WithNoHostEveryQuestionTakesItsDefaultAndNothingIsReported) {
    const HWND owner = MakeWindow();
    char path[256] = "start.txt";
    OPENFILENAME ofn{};
    ofn.lpstrFilter = "Text (*.TXT)\0*.txt\0\0";
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.hwndOwner = owner;
    PRINTDLG pd{};
    pd.hwndOwner = owner;
    pd.Flags = PD_RETURNDC;
    char device[64];
    struct Case {
        const char* what;
        std::function<long long()> ask;
        long long expected;
    };
    const Case cases[] = {
        {"Yes/No box", [&] { return MessageBox(owner, "Sure?", "QV", MB_YESNO); }, IDYES},
        {"OK/Cancel box", [&] { return MessageBox(owner, "Go?", "QV", MB_OKCANCEL); }, IDOK},
        {"open dialog", [&] { return GetOpenFileName(&ofn); }, FALSE},
        {"save dialog", [&] { return GetSaveFileName(&ofn); }, FALSE},
        {"printer dialog", [&] { return PrintDlg(&pd); }, FALSE},
        {"modal dialog left open",
         [&] { return DialogBox(HINSTANCE{}, "HostLeftOpen", owner, &LeftOpenProc); }, IDCANCEL},
        {"default printer",
         [&] { return GetProfileString("windows", "device", "none", device, sizeof device); }, 4},
        {"beep", [&] { return MessageBeep(MB_ICONEXCLAMATION); }, TRUE},
    };
    for (const Case& c : cases) EXPECT_EQ(c.ask(), c.expected) << c.what;
    EXPECT_STREQ(path, "start.txt") << "a cancelled dialog leaves the name alone";
    EXPECT_EQ(pd.hDC, HDC{});
    EXPECT_STREQ(device, "none");
    EXPECT_TRUE(testing::MessageBoxLog().empty());
    EXPECT_TRUE(testing::FileDialogLog().empty());
    EXPECT_TRUE(testing::UnansweredDialogs().empty());
    EXPECT_EQ(testing::BeepCount(), 0);
}

struct Seen {
    int box_default = 0;
    FileDialogRecord request{};
    std::string started;
    int shown_answer = 0;
};

Seen& Host() {
    static Seen seen;
    return seen;
}

TEST_F(HostHooksTest, AHostSeesTheRequestBeforeTheResultAndGivesTheAnswer) {
    Host() = Seen{};
    Hooks().answer_message_box = [](MessageBoxRecord& box) {
        Host().box_default = box.answer;
        box.answer = IDNO;
    };
    Hooks().message_box_shown = [](const MessageBoxRecord& box) {
        Host().shown_answer = box.answer;
    };
    Hooks().answer_file_dialog = [](const FileDialogRecord& request) {
        Host().request = request;
        return std::string("/tmp/qv_host_answer.txt");
    };
    Hooks().modal_loop_started = [](HWND dialog, const std::string& name) {
        Host().started = name;
        EndDialog(dialog, 9);
    };
    const HWND owner = MakeWindow();
    EXPECT_EQ(MessageBox(owner, "Sure?", "QV", MB_YESNO), IDNO);
    EXPECT_EQ(Host().box_default, IDYES) << "the host is told the default button";
    EXPECT_EQ(Host().shown_answer, IDNO) << "and then what the box returned";

    char path[256] = "start.txt";
    OPENFILENAME ofn{};
    ofn.lpstrFilter = "Text (*.TXT)\0*.txt\0\0";
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrInitialDir = "/tmp";
    ASSERT_TRUE(GetSaveFileName(&ofn));
    EXPECT_STREQ(path, "/tmp/qv_host_answer.txt");
    const FileDialogRecord& request = Host().request;
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.initial_path, "start.txt");
    EXPECT_EQ(request.initial_dir, "/tmp");
    EXPECT_EQ(request.filters, (std::vector<std::string>{"Text (*.TXT)|*.txt"}));
    EXPECT_FALSE(request.chosen) << "the request comes without a result";
    EXPECT_TRUE(request.path.empty());

    EXPECT_EQ(DialogBox(HINSTANCE{}, "HostLeftOpen", owner, &LeftOpenProc), 9);
    EXPECT_EQ(Host().started, "HostLeftOpen");
}

}  // namespace
}  // namespace platform::test
