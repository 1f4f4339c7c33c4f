#include "frame/AutoLoad.h"

#include <cstring>

#include "frame/FrameCommands.h"
#include "network/EditorState.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Timer.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/Ids.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"

namespace frame {

using namespace shell;

namespace {

constexpr const char* kCaption = "QV Message";

// One step of the chain: the channel button it presses and the next timer per configuration
// (Stereo, Home Theatre, Quadro, 5.2 BBM); 0 = the chain has no such step.
struct ChainStep {
    unsigned timer;
    int button;
    unsigned next[4];
};

constexpr ChainStep kChain[] = {
    {kTimerFrontLeft,
     kFrontLeftButton,
     {kTimerFrontRight, kTimerCentre, kTimerFrontRight, kTimerCentre}},
    {kTimerCentre, kCentreButton, {0, kTimerFrontRight, 0, kTimerFrontRight}},
    {kTimerFrontRight,
     kFrontRightButton,
     {kTimerPlay, kTimerRearLeft, kTimerRearLeft, kTimerRearLeft}},
    {kTimerRearLeft, kRearLeftButton, {0, kTimerSub, kTimerRearRight, kTimerSub}},
    {kTimerSub, kSubButton, {0, kTimerRearRight, 0, kTimerSub2}},
    {kTimerRearRight, kRearRightButton, {0, kTimerPlay, kTimerPlay, kTimerPlay}},
    {kTimerSub2, kSub2Button, {0, 0, 0, kTimerRearRight}},
};

void PressPlayerButton(int button) {
    if (!ComponentCADSelectionDialog) return;
    platform::SendMessage(ComponentCADSelectionDialog, platform::WM_COMMAND,
                          static_cast<platform::WPARAM>(button), 0);
}

// The part of a path after its last folder separator (the whole path when it has none).
const char* FileNamePart(const char* path) {
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/') name = p + 1;
    }
    return name;
}

void LoadLastProject(platform::HWND frame) {
    if (Preferences == nullptr) return;
    const char* path = Preferences->LastProjectPath;
    switch (LoadProjectFile(path)) {
        case ProjectLoadStatus::kLoaded:
            break;
        case ProjectLoadStatus::kOpenFailed:
            platform::MessageBox(frame, path, kCaption,
                                 platform::MB_OK | platform::MB_ICONEXCLAMATION);
            return;
        default:
            platform::MessageBox(frame, "This Project File Is Not recognized", kCaption,
                                 platform::MB_OK | platform::MB_ICONEXCLAMATION);
            return;
    }
    ShowProjectRepairs(frame);
    CopyTextSlot(ProjectFileName, FileNamePart(path));
    network::DeactivatePanesAfterLoad();
    CloseEditorWindows();
    CloseSettingsWindows();
    CloseSystemWindows();
    if (Preferences->NoStartWindows != 0) return;

    const int configuration = Project.Settings.SystemConfiguration;
    OpenConfigurationWindow(configuration);
    CreatePlayerDialog(frame);
    network::DeactivatePanesAfterLoad();
    if (configuration >= kSystemStereo && configuration <= kSystemBbm) {
        platform::SetTimer(frame, kTimerFrontLeft, kChainStepMs);
    }
}

}  // namespace

void AutoStartTimer(platform::HWND frame, platform::UINT_PTR id) {
    // The chain loads a project into the stores and presses channel buttons, each of which puts
    // another channel's network into the working network: while a modal window is open (an
    // element dialog edits the network of the pane it was opened from, which the pane stores
    // when it closes) every step waits, its timer running on, and comes again a period later.
    if (platform::ModalLoopRunning()) return;
    if (id == kTimerAutoLoad) {
        platform::KillTimer(frame, id);
        LoadLastProject(frame);
        return;
    }
    if (id == kTimerPlay) {
        platform::KillTimer(frame, id);
        PressPlayerButton(kPlayButton);
        if (Preferences != nullptr) SetFrameTitleWithPath(Preferences->LastProjectPath);
        return;
    }
    for (const ChainStep& step : kChain) {
        if (step.timer != id) continue;
        platform::KillTimer(frame, id);
        PressPlayerButton(step.button);
        const int configuration = Project.Settings.SystemConfiguration;
        if (configuration >= kSystemStereo && configuration <= kSystemBbm) {
            const unsigned next = step.next[configuration];
            if (next != 0) platform::SetTimer(frame, next, kChainStepMs);
        }
        return;
    }
}

}  // namespace frame
