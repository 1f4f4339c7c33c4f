// Message boxes and file dialogs answered by script, with their logs.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/internal/Headless.h"
#include "tests/platform/ui/UiTestSupport.h"

namespace platform::test {
namespace {

using CommonDialogs = UiTest;

TEST_F(CommonDialogs, MessageBoxesAreAnsweredByScriptAndLogged) {
    const HWND owner = MakeWindow();
    testing::ScriptMessageBoxAnswers({IDNO});
    MessageBeep(MB_ICONEXCLAMATION);
    EXPECT_EQ(MessageBox(owner, "Last chance to save data !\n\nDO YOU WISH TO EXIT ?", "QV Message",
                         MB_YESNO | MB_ICONQUESTION),
              IDNO);
    // Unscripted boxes take the first button.
    EXPECT_EQ(MessageBox(owner, "Input Node Exists", "Splitter W1", MB_OK | MB_ICONEXCLAMATION),
              IDOK);
    EXPECT_EQ(MessageBox(HWND{}, "Sure?", "QV Message", MB_YESNO), IDYES);
    const auto& log = testing::MessageBoxLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].owner, owner);
    EXPECT_EQ(log[0].caption, "QV Message");
    EXPECT_EQ(log[0].text, "Last chance to save data !\n\nDO YOU WISH TO EXIT ?");
    EXPECT_EQ(log[0].type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(log[0].answer, IDNO);
    EXPECT_EQ(log[1].caption, "Splitter W1");
    EXPECT_EQ(log[1].type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(testing::BeepCount(), 1);
}

// On screen, a box (or a file dialog) is modal for the person while the loop goes on: posted
// messages still reach their windows, and a quit request closes it and stays for the outer loop.
TEST_F(CommonDialogs, OnScreenTheLoopRunsWhileABoxIsUp) {
    const HWND owner = MakeWindow();
    int handled = 0;
    Extra() = [&](HWND, UINT message, WPARAM, LPARAM, bool*) -> LRESULT {
        if (message == WM_USER + 1) {
            ++handled;
            PostQuitMessage(3);
        }
        return 0;
    };
    struct Case {
        const char* what;
        std::function<int()> show;
        int cancelled;
    };
    char path[256] = "";
    OPENFILENAME ofn{};
    ofn.lpstrFilter = "Text (*.TXT)\0*.txt\0\0";
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.hwndOwner = owner;
    const Case cases[] = {
        {"message box", [&] { return MessageBox(owner, "Busy", "QV Message", MB_OK); }, IDCANCEL},
        {"open dialog", [&] { return static_cast<int>(GetOpenFileName(&ofn)); }, FALSE},
        {"save dialog", [&] { return static_cast<int>(GetSaveFileName(&ofn)); }, FALSE},
    };
    for (const Case& c : cases) {
        handled = 0;
        PostMessage(owner, WM_USER + 1, 0, 0);
        internal::SetHeadless(false);
        const int answer = c.show();
        internal::SetHeadless(true);
        EXPECT_EQ(answer, c.cancelled) << c.what;
        EXPECT_EQ(handled, 1) << c.what << ": the posted message was dispatched meanwhile";
        MSG msg;
        ASSERT_TRUE(PeekMessage(&msg, HWND{}, 0, 0, PM_REMOVE)) << c.what;
        EXPECT_EQ(msg.message, WM_QUIT) << c.what;
        EXPECT_EQ(msg.wParam, 3u) << c.what;
    }
}

class FileDialogs : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        dir_ = std::filesystem::path(::testing::TempDir()) / "qv_file_dialogs";
        std::filesystem::create_directories(dir_);
        std::ofstream((dir_ / "PROJECT.HIF").string()) << "x";
        std::memset(path_, 0, sizeof path_);
        std::memset(title_, 0, sizeof title_);
        ofn_ = OPENFILENAME{};
        ofn_.lStructSize = 88;
        ofn_.lpstrFilter = "Project Files (*.HIF)\0*.hif\0\0";
        ofn_.lpstrFile = path_;
        ofn_.nMaxFile = sizeof path_;
        ofn_.lpstrFileTitle = title_;
        ofn_.nMaxFileTitle = sizeof title_;
        ofn_.lpstrDefExt = "hif";
    }
    std::filesystem::path dir_;
    char path_[2048];
    char title_[256];
    OPENFILENAME ofn_;
};

TEST_F(FileDialogs, ChosenPathAndTitleComeBackAndFiltersIgnoreCase) {
    const std::string chosen = (dir_ / "PROJECT.HIF").string();
    std::snprintf(path_, sizeof path_, "%s", "C:\\old\\start.hif");
    testing::ScriptFileDialogAnswers({chosen, (dir_ / "notes.txt").string()});
    ofn_.Flags = OFN_HIDEREADONLY | OFN_CREATEPROMPT;
    ASSERT_TRUE(GetOpenFileName(&ofn_));
    EXPECT_STREQ(path_, chosen.c_str());
    EXPECT_STREQ(title_, "PROJECT.HIF");
    EXPECT_EQ(ofn_.nFileOffset, chosen.size() - 11);
    EXPECT_STREQ(path_ + ofn_.nFileExtension, "HIF");
    ASSERT_EQ(testing::FileDialogLog().size(), 1u);
    const auto& entry = testing::FileDialogLog()[0];
    EXPECT_FALSE(entry.save);
    EXPECT_EQ(entry.initial_path, "C:\\old\\start.hif");
    EXPECT_EQ(entry.filters, (std::vector<std::string>{"Project Files (*.HIF)|*.hif"}));
    EXPECT_EQ(entry.flags, OFN_HIDEREADONLY | OFN_CREATEPROMPT);
    EXPECT_TRUE(entry.shown) << "*.hif shows PROJECT.HIF";
    // A name the filter does not show is still taken when typed, but the log says so.
    testing::ScriptMessageBoxAnswers({IDYES});
    ASSERT_TRUE(GetOpenFileName(&ofn_));
    EXPECT_FALSE(testing::FileDialogLog()[1].shown);
}

TEST_F(FileDialogs, CancelLeavesTheBuffersAlone) {
    std::snprintf(path_, sizeof path_, "%s", "keep.hif");
    testing::ScriptFileDialogAnswers({""});
    EXPECT_FALSE(GetOpenFileName(&ofn_));
    EXPECT_STREQ(path_, "keep.hif");
    EXPECT_FALSE(GetOpenFileName(&ofn_)) << "no answer left: cancelled";
}

TEST_F(FileDialogs, CreateAndOverwritePromptsAskAndObeyTheAnswer) {
    struct Case {
        bool save;
        DWORD flags;
        const char* name;
        int answer;
        BOOL expected;
        const char* question;  // a part of the text asked, or 0 when nothing is asked
    };
    const Case cases[] = {
        {false, OFN_CREATEPROMPT, "missing.hif", IDNO, FALSE, "does not exist"},
        {false, OFN_CREATEPROMPT, "missing.hif", IDYES, TRUE, "does not exist"},
        {false, OFN_FILEMUSTEXIST, "missing.hif", IDOK, FALSE, "not found"},
        {false, OFN_CREATEPROMPT, "PROJECT.HIF", IDNO, TRUE, nullptr},
        {true, OFN_OVERWRITEPROMPT, "PROJECT.HIF", IDNO, FALSE, "already exists"},
        {true, OFN_OVERWRITEPROMPT, "PROJECT.HIF", IDYES, TRUE, "already exists"},
        {true, OFN_OVERWRITEPROMPT, "fresh.hif", IDNO, TRUE, nullptr},
    };
    for (const Case& c : cases) {
        testing::ClearMessageBoxLog();
        testing::ScriptMessageBoxAnswers({c.answer});
        testing::ScriptFileDialogAnswers({(dir_ / c.name).string()});
        ofn_.Flags = c.flags;
        const BOOL got = c.save ? GetSaveFileName(&ofn_) : GetOpenFileName(&ofn_);
        EXPECT_EQ(got, c.expected) << c.name << " flags " << c.flags;
        if (c.question) {
            ASSERT_EQ(testing::MessageBoxLog().size(), 1u) << c.name;
            EXPECT_NE(testing::MessageBoxLog()[0].text.find(c.question), std::string::npos);
        } else {
            EXPECT_TRUE(testing::MessageBoxLog().empty()) << c.name;
        }
    }
}

TEST_F(FileDialogs, SaveAddsTheDefaultExtensionAndRefusesPathsTooLong) {
    testing::ScriptFileDialogAnswers({(dir_ / "newproject").string()});
    ASSERT_TRUE(GetSaveFileName(&ofn_));
    EXPECT_STREQ(title_, "newproject.hif");
    char tiny[8];
    std::memset(tiny, 'x', sizeof tiny);  // no terminating NUL inside the declared size
    ofn_.lpstrFile = tiny;
    ofn_.nMaxFile = sizeof tiny;
    testing::ScriptFileDialogAnswers({(dir_ / "PROJECT.HIF").string()});
    EXPECT_FALSE(GetOpenFileName(&ofn_)) << "the path does not fit the caller's buffer";
}

// A name saved without an extension gets the selected filter's first pattern's, whatever the
// default extension says; a name with one, or a filter whose pattern names none, keeps it as
// typed. The overwrite question is asked about the name that will be written.
TEST_F(FileDialogs, SaveAppendsTheSelectedFiltersExtension) {
    ofn_.lpstrFilter =
        "Woofer Files (*.WFR)\0*.wfr\0Tweeter Files (*.TWE)\0*.twe;*.stw\0"
        "All Files (*.*)\0*.*\0\0";
    ofn_.lpstrDefExt = "*.*";
    std::ofstream((dir_ / "old.twe").string()) << "x";
    struct Case {
        DWORD filter;
        const char* typed;
        const char* saved;
        bool asked;  // the overwrite question came up
    };
    const Case cases[] = {
        {1, "mywoofer", "mywoofer.wfr", false},
        {2, "mytweeter", "mytweeter.twe", false},
        {2, "old", "old.twe", true},
        {1, "bass.WFR", "bass.WFR", false},
        {3, "plain", "plain", false},
    };
    for (const Case& c : cases) {
        testing::ClearMessageBoxLog();
        testing::ScriptMessageBoxAnswers({IDYES});
        testing::ScriptFileDialogAnswers({(dir_ / c.typed).string()});
        ofn_.nFilterIndex = c.filter;
        ofn_.Flags = OFN_OVERWRITEPROMPT;
        ASSERT_TRUE(GetSaveFileName(&ofn_)) << c.typed;
        EXPECT_STREQ(title_, c.saved) << c.typed;
        EXPECT_EQ(std::string(path_), (dir_ / c.saved).string()) << c.typed;
        EXPECT_EQ(testing::MessageBoxLog().size(), c.asked ? 1u : 0u) << c.typed;
        EXPECT_TRUE(testing::FileDialogLog().back().shown || c.filter == 3) << c.typed;
    }
    // Opening keeps a typed name as it stands when the default extension is a wildcard.
    testing::ScriptFileDialogAnswers({(dir_ / "mywoofer").string()});
    ofn_.nFilterIndex = 1;
    ofn_.Flags = 0;
    ASSERT_TRUE(GetOpenFileName(&ofn_));
    EXPECT_STREQ(title_, "mywoofer");
}

}  // namespace
}  // namespace platform::test
