// The keyboard remote control: every key with its effect and the player's title, the conditions
// under which keys act, and profile loading.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/Globals.h"
#include "engine/Ids.h"
#include "engine/KeyHook.h"
#include "network/EditorState.h"
#include "platform/audio/VirtualCard.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/Globals.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

using namespace platform;
namespace pt = platform::testing;

LRESULT KeyTestWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == engine::kPlayCommand) engine::PlayCommand(hwnd);
            if (LOWORD(wParam) == engine::kStopCommand) engine::StopCommand(hwnd);
            return 0;
        case WM_TIMER:
            if (engine::PlayerTimer(hwnd, wParam)) return 0;
            break;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

class KeyHook : public ::testing::Test {
  protected:
    HWND dialog{};
    std::unique_ptr<shell::PreferencesRecord> preferences{new shell::PreferencesRecord{}};
    shell::PreferencesRecord* saved_preferences = nullptr;

    void SetUp() override {
        pt::ResetLayer();
        VirtualCardReset();
        engine::test::ResetFolders();
        saved_preferences = shell::Preferences;
        shell::Preferences = preferences.get();
        shell::BlockFrames = 1024;
        shell::OutputLayout = 1;
        WNDCLASS wc{};
        wc.lpfnWndProc = KeyTestWndProc;
        wc.lpszClassName = "EngineKeyTest";
        RegisterClass(&wc);  // the layer forgets classes at every reset
        dialog = CreateWindow("EngineKeyTest", "System Design + Player", 0, 0, 0, 200, 200, HWND{},
                              HMENU{}, HINSTANCE{}, nullptr);
        ASSERT_TRUE(dialog);
        shell::ComponentCADSelectionDialog = dialog;
        engine::InitPlayer(dialog);
        engine::InstallPlayerKeyHook(dialog);
        pt::ClearMessageBoxLog();
    }
    void TearDown() override {
        engine::RemovePlayerKeyHook();
        engine::ClosePlayer(dialog);
        shell::ComponentCADSelectionDialog = HWND{};
        DestroyWindow(dialog);
        shell::Preferences = saved_preferences;
    }
    // A key as the dialog's message handling meets it.
    void Key(WPARAM key) {
        MSG msg{};
        msg.hwnd = dialog;
        msg.message = WM_KEYDOWN;
        msg.wParam = key;
        engine::PlayerKeyHookProc(HC_ACTION, 0, reinterpret_cast<LPARAM>(&msg));
    }
    std::string Title() {
        char text[128] = {};
        GetWindowText(dialog, text, sizeof text);
        return text;
    }
};

TEST_F(KeyHook, VolumeKeysStepByThreeWithinTheRange) {
    struct Case {
        int start;
        WPARAM key;
        int expected;
    };
    const Case cases[] = {{9, VK_UP, 12},  {66, VK_UP, 66}, {65, VK_UP, 66},
                          {0, VK_DOWN, 0}, {2, VK_DOWN, 0}, {51, VK_DOWN, 48}};
    for (const Case& c : cases) {
        shell::Project.Settings.VolumeSliderPosition = c.start;
        Key(c.key);
        EXPECT_EQ(shell::Project.Settings.VolumeSliderPosition, c.expected) << c.start;
        double gain = std::pow(10.0, (c.expected - 51) * 0.05);
        if (gain < 0.003) gain = 0.0;
        EXPECT_FLOAT_EQ(engine::MasterGain, static_cast<float>(gain)) << c.start;
    }
    shell::Project.Settings.VolumeSliderPosition = 1;
    Key(VK_DOWN);
    EXPECT_EQ(engine::MasterGain, 0.0f);
}

TEST_F(KeyHook, RearTrimsStepTwoDecibelsAndStopAtTheLimits) {
    // Default hotkey texts: rear outputs 3, 4, 5, 6; subwoofer outputs 1, 2.
    EXPECT_EQ(engine::RearOutputNumbers[0], 3);
    EXPECT_EQ(engine::RearOutputNumbers[3], 6);
    Key(VK_LEFT);
    EXPECT_NEAR(engine::OutputTrims[2], 0.794328234f, 1e-6);
    EXPECT_EQ(Title(), "REA 3,4,5,6 -2 DOWN");
    for (int i = 0; i < 12; ++i) Key(VK_LEFT);
    for (int o : {2, 3, 4, 5}) EXPECT_FLOAT_EQ(engine::OutputTrims[o], 0.1f) << o;
    EXPECT_EQ(Title(), "REA 3,4,5,6 -20 DOWN");
    EXPECT_FLOAT_EQ(engine::OutputTrims[0], 1.0f);
    EXPECT_FLOAT_EQ(engine::OutputTrims[6], 1.0f);
    for (int i = 0; i < 30; ++i) Key(VK_RIGHT);
    for (int o : {2, 3, 4, 5}) EXPECT_FLOAT_EQ(engine::OutputTrims[o], 10.0f) << o;
    EXPECT_EQ(Title(), "REA 3,4,5,6 20 UP");
}

TEST_F(KeyHook, SubwooferTrimsAndEscapeReset) {
    Key(VK_INSERT);
    EXPECT_EQ(Title(), "SUB 1, 2, -2.0 DOWN");
    EXPECT_NEAR(engine::OutputTrims[0], 0.794328234f, 1e-6);
    EXPECT_NEAR(engine::OutputTrims[1], 0.794328234f, 1e-6);
    Key(VK_DELETE);
    Key(VK_DELETE);
    EXPECT_EQ(Title(), "SUB 1, 2, 2.0 UP");
    shell::Project.Settings.BbmLevel = 0.2f;
    Key(VK_ESCAPE);
    EXPECT_EQ(Title(), "SUB 1, 2, 0.0 RESET");
    EXPECT_FLOAT_EQ(shell::Project.Settings.BbmLevel, 0.5f);
    for (float t : engine::OutputTrims) EXPECT_FLOAT_EQ(t, 1.0f);
}

TEST_F(KeyHook, BbmLevelKeys) {
    shell::Project.Settings.BbmLevel = 0.5f;
    Key(VK_PRIOR);
    EXPECT_NEAR(shell::Project.Settings.BbmLevel, 0.6294627f, 1e-5);
    char want[64];
    std::snprintf(want, sizeof want, "BBM %.1fdB UP",
                  20.0 * std::log10(double(shell::Project.Settings.BbmLevel) + 0.000001));
    EXPECT_EQ(Title(), want);
    for (int i = 0; i < 10; ++i) Key(VK_PRIOR);
    EXPECT_FLOAT_EQ(shell::Project.Settings.BbmLevel, 1.0f);
    EXPECT_EQ(Title(), "BBM 0.0dB UP");
    for (int i = 0; i < 20; ++i) Key(VK_NEXT);
    EXPECT_FLOAT_EQ(shell::Project.Settings.BbmLevel, 0.1f);
    EXPECT_EQ(Title(), "BBM -20.0dB DOWN");
}

TEST_F(KeyHook, HotkeyTextsAreClampedToTheLayout) {
    std::strcpy(shell::Project.Settings.HotkeyOutputTexts[0], "12");
    std::strcpy(shell::Project.Settings.HotkeyOutputTexts[1], "0");
    std::strcpy(shell::Project.Settings.HotkeyOutputTexts[2], "x7");
    std::strcpy(shell::Project.Settings.HotkeyOutputTexts[3], "5x");  // the leading number counts
    std::strcpy(shell::Project.Settings.HotkeyOutputTexts[10], "6.9 ");
    std::strcpy(shell::Project.Settings.HotkeyOutputTexts[11], "20");
    shell::OutputLayout = 0;
    engine::UpdateHotkeyOutputNumbers();
    EXPECT_EQ(engine::RearOutputNumbers[0], 8);
    EXPECT_EQ(engine::RearOutputNumbers[1], 1);
    EXPECT_EQ(engine::RearOutputNumbers[2], 1);
    EXPECT_EQ(engine::RearOutputNumbers[3], 5);
    EXPECT_EQ(engine::SubwooferOutputNumbers[0], 6);
    EXPECT_EQ(engine::SubwooferOutputNumbers[1], 8);
    shell::OutputLayout = 2;
    engine::UpdateHotkeyOutputNumbers();
    EXPECT_EQ(engine::RearOutputNumbers[0], 12);
    EXPECT_EQ(engine::SubwooferOutputNumbers[1], 16);
}

TEST_F(KeyHook, HomePlaysEndStops) {
    Key(VK_HOME);
    EXPECT_EQ(Title(), "*** PLAY ***");
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Starting);
    Key(VK_END);
    EXPECT_EQ(Title(), "*** STOP ***");
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
}

TEST_F(KeyHook, HomeWithTheWavChooserCancelledKeepsTheTitle) {
    engine::PlayWavMode = 1;
    pt::ScriptFileDialogAnswers({""});
    SetWindowText(dialog, "BBM -6.0dB ");
    Key(VK_HOME);
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
    EXPECT_EQ(Title(), "BBM -6.0dB ");
}

TEST_F(KeyHook, KeysForAnotherWindowAreNotTheRemotes) {
    // A digit or arrow typed into an edit of some other dialog while the player is up.
    const HWND other =
        CreateWindow("EDIT", "", 0, 0, 0, 80, 20, HWND{}, HMENU{}, HINSTANCE{}, nullptr);
    ASSERT_TRUE(other);
    for (WPARAM key : {WPARAM{'1'}, WPARAM{VK_UP}, WPARAM{VK_HOME}}) {
        MSG msg{};
        msg.hwnd = other;
        msg.message = WM_KEYDOWN;
        msg.wParam = key;
        engine::PlayerKeyHookProc(HC_ACTION, 0, reinterpret_cast<LPARAM>(&msg));
    }
    EXPECT_TRUE(pt::MessageBoxLog().empty()) << "a profile load was tried";
    EXPECT_EQ(shell::Project.Settings.VolumeSliderPosition, 9);
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
    DestroyWindow(other);
}

TEST_F(KeyHook, NothingWhileAModalDialogIsOpenOrTheDialogIsClosed) {
    shell::ModalDialogOpen = 1;
    Key(VK_UP);
    Key(VK_HOME);
    EXPECT_EQ(shell::Project.Settings.VolumeSliderPosition, 9);
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
    shell::ModalDialogOpen = 0;
    shell::ComponentCADSelectionDialog = HWND{};
    Key(VK_UP);
    EXPECT_EQ(shell::Project.Settings.VolumeSliderPosition, 9);
    shell::ComponentCADSelectionDialog = dialog;
    Key('A');  // not a remote key
    Key(VK_UP);
    EXPECT_EQ(shell::Project.Settings.VolumeSliderPosition, 12);
}

TEST_F(KeyHook, KeysArriveThroughTheDialogsMessageHandling) {
    MSG msg{};
    msg.hwnd = dialog;
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_UP;
    IsDialogMessage(dialog, &msg);
    EXPECT_EQ(shell::Project.Settings.VolumeSliderPosition, 12);
    engine::RemovePlayerKeyHook();
    IsDialogMessage(dialog, &msg);
    EXPECT_EQ(shell::Project.Settings.VolumeSliderPosition, 12);
}

// A profile that cannot be loaded is checked before anything changes: the message says why,
// the play goes on and the last project's path stays.
TEST_F(KeyHook, ProfileKeysRefuseMissingAndWrongFilesAndChangeNothingElse) {
    const std::string wrong = ::testing::TempDir() + "engine_short_profile.HIF";
    FILE* f = std::fopen(wrong.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("not a project", f);
    std::fclose(f);
    struct Case {
        WPARAM key;
        std::string path;
        const char* message;
    };
    const Case cases[] = {
        {'5', "", "Requested Profile Not Found"},
        {'9', ::testing::TempDir() + "engine_no_such_profile.HIF", "Requested Profile Not Found"},
        {'0', wrong, "This Project File Is Not recognized"},
    };
    std::strcpy(shell::Preferences->LastProjectPath, "/projects/last.HIF");
    Key(VK_HOME);
    ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Starting);
    const float bbm = shell::Project.Settings.BbmLevel;
    engine::OutputTrims[4] = 3.0f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message + (" for " + c.path));
        std::strcpy(shell::Preferences->ProfilePaths[c.key == '0' ? 9 : c.key - '1'],
                    c.path.c_str());
        const std::string title = Title();
        pt::ClearMessageBoxLog();
        Key(c.key);
        ASSERT_EQ(pt::MessageBoxLog().size(), 1u);
        EXPECT_EQ(pt::MessageBoxLog()[0].text, c.message);
        EXPECT_EQ(pt::MessageBoxLog()[0].caption, "QV Message");
        EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Starting) << "the play stopped";
        EXPECT_STREQ(shell::Preferences->LastProjectPath, "/projects/last.HIF");
        EXPECT_EQ(shell::Project.Settings.BbmLevel, bbm);
        EXPECT_EQ(engine::OutputTrims[4], 3.0f);
        EXPECT_EQ(Title(), title);
    }
    Key(VK_END);
}

TEST_F(KeyHook, ProfileKeyStopsAndLoadsTheProject) {
    // A project image of the right size with a distinctive BBM level and volume.
    std::vector<char> image(shell::kProjectImageBytes, 0);
    std::memcpy(image.data(), &shell::Project, shell::kProjectImageBytes);
    shell::ProjectSettings settings;
    std::memcpy(&settings, image.data() + shell::kProjectSettingsOffset, sizeof settings);
    settings.BbmLevel = 0.25f;
    settings.VolumeSliderPosition = 40;
    std::memcpy(image.data() + shell::kProjectSettingsOffset, &settings, sizeof settings);
    const std::string path = ::testing::TempDir() + "engine_profile3.HIF";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(std::fwrite(image.data(), 1, image.size(), f), image.size());
    std::fclose(f);
    std::strcpy(shell::Preferences->ProfilePaths[2], path.c_str());
    engine::OutputTrims[4] = 3.0f;
    // Pane 3 was being edited: after the load no pane may be active, or its next edit would
    // save the old working network over the loaded one.
    network::ActivePane = 3;
    Key(VK_HOME);
    ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Starting);
    Key('3');
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
    EXPECT_TRUE(pt::MessageBoxLog().empty());
    EXPECT_FLOAT_EQ(shell::Project.Settings.BbmLevel, 0.25f);
    EXPECT_EQ(shell::Project.Settings.VolumeSliderPosition, 40);
    EXPECT_EQ(Title(), "BBM -12.0dB ");
    EXPECT_FLOAT_EQ(engine::OutputTrims[4], 1.0f);
    EXPECT_STREQ(shell::ProjectFileName, "engine_profile3.HIF");
    EXPECT_STREQ(shell::Preferences->LastProjectPath, path.c_str())
        << "a loaded profile is the last";
    EXPECT_EQ(network::ActivePane, 0) << "the previously active pane is still active";
}

}  // namespace
