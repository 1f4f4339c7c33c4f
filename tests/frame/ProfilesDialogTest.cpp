// The project profiles dialog driven as a person would: typed and browsed paths land in the
// preferences record at once, Cancel keeps them, and they reach the preferences file.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "frame/ProfilesDialog.h"
#include "frame/Program.h"
#include "frame/ResetProgram.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"
#include "tests/shell/ShellTestSupport.h"

namespace shell {
namespace {

using namespace frame;
using platform::HWND;
namespace pt = platform::testing;

class ProfilesDialogGui : public ::testing::Test {
  protected:
    void SetUp() override {
        pt::ResetLayer();
        resources::RegisterAll();
        test::EnsureCurveBuffers();
        frame::ResetProgram();
        InitPreferencesRecord(Preferences);
        dir_ = test::MakeTempFolder("profiles");
        CopyTextSlot(ProgramDirectory, (dir_.string() + "/").c_str());
        platform::WNDCLASS wc{};
        wc.lpfnWndProc = &platform::DefWindowProc;
        wc.lpszClassName = "ProfilesTestOwner";
        platform::RegisterClass(&wc);
        owner_ = platform::CreateWindow("ProfilesTestOwner", "owner", platform::WS_OVERLAPPEDWINDOW,
                                        0, 0, 400, 300, HWND{}, platform::HMENU{},
                                        platform::HINSTANCE{}, nullptr);
        FrameWindow = owner_;
        platform::ShowWindow(owner_, platform::SW_SHOW);
        pt::PumpUntilIdle();
    }
    void TearDown() override {
        pt::PumpUntilIdle();
        pt::ResetLayer();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string EditText(HWND dialog, int profile) {
        char text[kPathSlot] = {};
        platform::GetDlgItemText(dialog, kProfileEditFirst + profile - 1, text, sizeof text);
        return text;
    }

    std::filesystem::path dir_;
    HWND owner_{};
};

TEST_F(ProfilesDialogGui, TypingStoresEachPathAtOnceAndCancelKeepsThem) {
    CopyTextSlot(Preferences->ProfilePaths[9], "old ten.hif");
    bool checked = false;
    int modal_flag = -1;
    pt::OnModalDialog("ProjectFile", [&](HWND dialog) {
        modal_flag = ModalDialogOpen;
        EXPECT_EQ(EditText(dialog, 10), "old ten.hif");
        EXPECT_EQ(platform::GetFocus(), platform::GetDlgItem(dialog, kProfileEditFirst));
        for (int profile = 1; profile <= 9; ++profile) {
            const std::string path = "/music/set" + std::to_string(profile) + ".hif";
            pt::TypeText(dialog, kProfileEditFirst + profile - 1, path);
            // Written while the dialog is still open.
            EXPECT_STREQ(Preferences->ProfilePaths[profile - 1], path.c_str()) << profile;
        }
        pt::TypeText(dialog, kProfileEditFirst + 9, "x");
        pt::PressKey(platform::GetDlgItem(dialog, kProfileEditFirst + 9), platform::VK_BACK);
        EXPECT_STREQ(Preferences->ProfilePaths[9], "");
        checked = true;
        pt::Click(dialog, platform::IDCANCEL);
    });
    EXPECT_EQ(RunProfilesDialog(owner_), 0);
    EXPECT_TRUE(checked);
    EXPECT_EQ(modal_flag, 1);
    EXPECT_EQ(ModalDialogOpen, 0);
    for (int profile = 1; profile <= 9; ++profile) {
        EXPECT_EQ(std::string(Preferences->ProfilePaths[profile - 1]),
                  "/music/set" + std::to_string(profile) + ".hif");
    }
    EXPECT_STREQ(Preferences->ProfilePaths[9], "");
}

TEST_F(ProfilesDialogGui, BrowseFillsTheProfileAndDoneEndsWithOne) {
    const std::string chosen = Path("Living Room.hif");
    test::WriteBytes(chosen, "x", 1);
    pt::ScriptFileDialogAnswers({chosen, ""});
    pt::OnModalDialog("ProjectFile", [&](HWND dialog) {
        pt::Click(dialog, kProfileBrowseFirst + 5);
        EXPECT_STREQ(Preferences->ProfilePaths[5], chosen.c_str());
        EXPECT_EQ(EditText(dialog, 6), chosen);
        // A cancelled Browse leaves the path as it was.
        pt::Click(dialog, kProfileBrowseFirst + 5);
        EXPECT_STREQ(Preferences->ProfilePaths[5], chosen.c_str());
        pt::Click(dialog, platform::IDOK);
    });
    EXPECT_EQ(RunProfilesDialog(owner_), 1);
    ASSERT_EQ(pt::FileDialogLog().size(), 2u);
    const pt::FileDialogEntry& first = pt::FileDialogLog()[0];
    EXPECT_FALSE(first.save);
    EXPECT_EQ(first.flags & (platform::OFN_HIDEREADONLY | platform::OFN_CREATEPROMPT),
              platform::OFN_HIDEREADONLY | platform::OFN_CREATEPROMPT);
    ASSERT_EQ(first.filters.size(), 1u);
    EXPECT_EQ(first.filters[0], "Project Files (*.HIF)|*.hif");
    EXPECT_STREQ(Preferences->ProfilePaths[5], chosen.c_str());
}

TEST_F(ProfilesDialogGui, EachBrowseStartsFromTheNameLastChosenForThatProfile) {
    const std::string first = Path("first.hif");
    const std::string second = Path("second.hif");
    test::WriteBytes(first, "x", 1);
    test::WriteBytes(second, "x", 1);
    pt::ScriptFileDialogAnswers({first, second});
    pt::OnModalDialog("ProjectFile", [&](HWND dialog) {
        pt::Click(dialog, kProfileBrowseFirst + 2);
        pt::TypeText(dialog, kProfileEditFirst + 2, "typed.hif");
        EXPECT_STREQ(Preferences->ProfilePaths[2], "typed.hif");
        pt::Click(dialog, kProfileBrowseFirst + 2);
        pt::Click(dialog, platform::IDOK);
    });
    RunProfilesDialog(owner_);
    ASSERT_EQ(pt::FileDialogLog().size(), 2u);
    EXPECT_EQ(pt::FileDialogLog()[0].initial_path, "");
    EXPECT_EQ(pt::FileDialogLog()[1].initial_path, first);
    EXPECT_STREQ(Preferences->ProfilePaths[2], second.c_str());
}

TEST_F(ProfilesDialogGui, ANewNameAcceptedAtTheCreatePromptIsStored) {
    const std::string missing = Path("not yet.hif");
    pt::ScriptFileDialogAnswers({missing});
    pt::ScriptMessageBoxAnswers({platform::IDYES});
    pt::OnModalDialog("ProjectFile", [&](HWND dialog) {
        pt::Click(dialog, kProfileBrowseFirst);
        pt::Click(dialog, platform::IDOK);
    });
    RunProfilesDialog(owner_);
    EXPECT_STREQ(Preferences->ProfilePaths[0], missing.c_str());
}

TEST_F(ProfilesDialogGui, ThePathsReachThePreferencesFile) {
    pt::OnModalDialog("ProjectFile", [&](HWND dialog) {
        pt::TypeText(dialog, kProfileEditFirst + 3, "/set/four.hif");
        pt::TypeText(dialog, kProfileEditFirst + 9, "/set/ten.hif");
        pt::Click(dialog, platform::IDOK);
    });
    RunProfilesDialog(owner_);
    ASSERT_EQ(WritePreferencesFile(owner_), 1);
    const auto bytes = test::ReadBytes(dir_ / "QV_Preferences.pre");
    ASSERT_EQ(bytes.size(), kPreferencesRecordBytes);
    const std::size_t base = offsetof(PreferencesRecord, ProfilePaths);
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes.data() + base + 3 * kPathSlot),
                 "/set/four.hif");
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes.data() + base + 9 * kPathSlot),
                 "/set/ten.hif");
    // And back after a restart.
    InitPreferencesRecord(Preferences);
    ASSERT_EQ(ReadPreferencesFile(owner_), 1);
    EXPECT_STREQ(Preferences->ProfilePaths[3], "/set/four.hif");
    EXPECT_STREQ(Preferences->ProfilePaths[9], "/set/ten.hif");
}

}  // namespace
}  // namespace shell
