// Helpers of the frame tests: the program started headless in a fresh temporary folder (its
// program directory), with the network editor's templates and store operations installed, and a
// small stand-in for the player dialog that records the commands it receives.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "network/EditorState.h"
#include "network/Globals.h"
#include "network/PaneDrawing.h"
#include "network/Templates.h"
#include "network/WorkingNetwork.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Resources.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "shell/PreferencesRecord.h"
#include "shell/Program.h"
#include "shell/ProjectImage.h"
#include "shell/Services.h"
#include "shell/StartupAllocation.h"
#include "solver/Globals.h"
#include "tests/shell/ShellTestSupport.h"

namespace shell::test {

// ---- The stand-in player dialog ----

inline constexpr const char* kTestPlayerTemplate = "FrameTestPlayer";

// Commands the stand-in received, in order.
inline std::vector<int>& PlayerCommands() {
    static std::vector<int> commands;
    return commands;
}

// Records every command; a channel button restores its pane's store and makes it the active
// pane, as the real dialog does before it checks and solves.
inline platform::INT_PTR TestPlayerDlgProc(platform::HWND dialog, platform::UINT message,
                                           platform::WPARAM wParam, platform::LPARAM) {
    switch (message) {
        case platform::WM_INITDIALOG:
            return platform::TRUE;
        case platform::WM_COMMAND: {
            const int id = platform::LOWORD(wParam);
            PlayerCommands().push_back(id);
            static constexpr int kPaneOfButton[8] = {0, 1, 3, 2, 4, 6, 5, 7};
            if (id >= kFrontLeftButton && id <= kSub2Button) {
                const int pane = kPaneOfButton[id - kFrontLeftButton + 1];
                network::ActivePane = pane;
                network::RestorePaneStore(pane);
            }
            if (id == platform::IDCANCEL) {
                platform::DestroyWindow(dialog);
                if (ComponentCADSelectionDialog == dialog) ComponentCADSelectionDialog = 0;
            }
            return platform::TRUE;
        }
        default:
            return platform::FALSE;
    }
}

inline void RegisterTestPlayerTemplate() {
    static const platform::ControlTemplate kControls[] = {
        {kUseHbtDataCheck, platform::ControlKind::CheckBox, "Use HBT Data", 10, 10, 100, 16, 0},
        {kSplOnlyEqCheck, platform::ControlKind::CheckBox, "SPL Only EQ", 10, 30, 100, 16, 0},
        {kWideWindowCheck, platform::ControlKind::CheckBox, "Wide Window", 10, 50, 100, 16, 0},
    };
    static const platform::DialogTemplate kTemplate{kTestPlayerTemplate,
                                                    "System Design + Player",
                                                    0,
                                                    0,
                                                    220,
                                                    640,
                                                    nullptr,
                                                    0,
                                                    0,
                                                    kControls,
                                                    sizeof kControls / sizeof kControls[0]};
    platform::RegisterDialogTemplate(&kTemplate);
}

// UpdateToolButtons stand-in: counts its calls.
inline int& ToolButtonUpdates() {
    static int count = 0;
    return count;
}

inline void InstallTestServices(bool with_player = true) {
    ResetProgramServices();
    ProgramServicesTable& services = ProgramServices();
    services.ClearAllPaneStores = &network::ClearAllPaneStores;
    services.ClearWorkingNetwork = &network::ClearWorkingNetwork;
    services.BuildWayTemplate = &network::BuildWayTemplate;
    services.SavePaneStore = &network::SavePaneStore;
    services.DeactivatePanes = &network::DeactivatePanes;
    services.UpdateToolButtons = [](platform::HWND) {
        ++ToolButtonUpdates();
        return 0;
    };
    services.PaneWindows = network::PaneWindows;
    services.PaneNetworkExtent = &network::PaneNetworkExtent;
    if (with_player) {
        RegisterTestPlayerTemplate();
        services.PlayerDialogProc = &TestPlayerDlgProc;
        services.PlayerDialogTemplate = kTestPlayerTemplate;
    }
}

// ---- Files of the program directory ----

// A preferences file with the defaults and what `edit` changes.
template <class Edit>
void WritePreferencesFile(const std::filesystem::path& dir, Edit edit) {
    auto record = std::make_unique<PreferencesRecord>();
    InitPreferencesRecord(record.get());
    edit(*record);
    WriteBytes(dir / "QV_Preferences.pre", record.get(), sizeof(PreferencesRecord));
}

inline std::string MenuText(platform::HMENU menu, int id) {
    char text[kDirectorySlot + 8] = {};
    platform::GetMenuString(menu, static_cast<platform::UINT>(id), text, sizeof text,
                            platform::MF_BYCOMMAND);
    return text;
}

inline std::string WindowTitle(platform::HWND window) {
    char text[kFrameTitleSlot] = {};
    platform::GetWindowText(window, text, sizeof text);
    return text;
}

inline int CountBoxes(const std::string& text) {
    int count = 0;
    for (const auto& entry : platform::testing::MessageBoxLog()) count += entry.text == text;
    return count;
}

// ---- The fixture ----

// Every folder the test executable links back to its start values; each executable that uses
// the fixture defines it once: the program's own reset where the whole program is linked, the
// folders up to the driver data where it is not.
void ResetLinkedFolders();

class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_dir_ = std::filesystem::current_path();
        dir_ = MakeTempFolder("frame");
        std::filesystem::current_path(dir_);
        platform::testing::ResetLayer();
        ResetProgramServices();
        ResetLinkedFolders();
        PlayerCommands().clear();
        ToolButtonUpdates() = 0;
        ProgramAllocators() =
            StartupAllocators{&AllocMainBuffers, &AllocCurveBuffers, &AllocDspBuffers};
        InstallTestServices();
    }

    void TearDown() override {
        ReleaseProgramResources();
        platform::testing::PumpUntilIdle();
        platform::testing::ResetLayer();
        ResetProgramServices();
        std::filesystem::current_path(previous_dir_);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    int Start() {
        const int code = StartProgram(platform::HINSTANCE::FromIndex(1), platform::HINSTANCE{},
                                      platform::SW_SHOW);
        platform::testing::PumpUntilIdle();
        return code;
    }

    std::filesystem::path dir_;
    std::filesystem::path previous_dir_;
};

}  // namespace shell::test
