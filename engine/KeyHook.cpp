#include "engine/KeyHook.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

#include "engine/Engine.h"
#include "engine/Globals.h"
#include "engine/Ids.h"
#include "network/EditorState.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Timer.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/FrameWindows.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"

namespace engine {

using namespace platform;

namespace {

HHOOK g_hook;
constexpr UINT kFileMenuProjectItem = 114;
constexpr UINT_PTR kFrameAutoStartTimer = 10101;

void SetTitle(HWND dialog, const char* format, ...) __attribute__((format(printf, 2, 3)));
void SetTitle(HWND dialog, const char* format, ...) {
    char text[96];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    SetWindowText(dialog, text);
}

double Db(float value) { return 20.0 * std::log10(double(value)); }

// Multiplies the trims of the given 1-based outputs in turn, kept within 0.1 .. 10.0.
void ChangeTrims(const std::int32_t* numbers, int count, float factor) {
    for (int i = 0; i < count; ++i) {
        const int n = numbers[i];
        if (n < 1 || n > kOutputCount) continue;
        float trim = OutputTrims[n - 1] * factor;
        if (trim < 0.1f) trim = 0.1f;
        if (trim > 10.0f) trim = 10.0f;
        OutputTrims[n - 1] = trim;
        LastTouchedTrim = trim;
    }
}

void ShowRearTitle(HWND dialog, const char* direction) {
    SetTitle(dialog, "REA %d,%d,%d,%d %.0f %s", RearOutputNumbers[0], RearOutputNumbers[1],
             RearOutputNumbers[2], RearOutputNumbers[3], Db(LastTouchedTrim), direction);
}

void ShowSubTitle(HWND dialog, double db, const char* direction) {
    SetTitle(dialog, "SUB %d, %d, %.1f %s", SubwooferOutputNumbers[0], SubwooferOutputNumbers[1],
             db, direction);
}

void DestroyConfigurationWindows() {
    HWND* const windows[] = {&shell::SplitterWindow, &shell::Splitter1Window,
                             &shell::Splitter2Window, &shell::Splitter3Window};
    for (HWND* w : windows)
        if (*w && IsWindow(*w)) SendMessage(shell::MdiClientWindow, WM_MDIDESTROY, w->value, 0);
}

// Digit keys: load profile `index` (0..9) and let the frame's auto-start chain play it. The
// profile's file is read whole and checked first: one that cannot be opened or is no project
// file shows why and changes nothing else (the play goes on, the configuration windows stay, the
// last project stays the one to open at the next start). Only a profile that loads stops the
// play and closes the configuration windows.
void LoadProfile(HWND dialog, int index) {
    if (!shell::Preferences) return;
    char path[shell::kPathSlot];
    std::memcpy(path, shell::Preferences->ProfilePaths[index], sizeof path);
    path[sizeof path - 1] = 0;
    std::unique_ptr<shell::ProjectImage> candidate;
    const shell::ProjectLoadStatus status = shell::ReadProjectCandidate(path, candidate);
    if (status != shell::ProjectLoadStatus::kLoaded) {
        MessageBox(shell::FrameWindow,
                   status == shell::ProjectLoadStatus::kOpenFailed
                       ? "Requested Profile Not Found"
                       : "This Project File Is Not recognized",
                   "QV Message", MB_OK | MB_ICONEXCLAMATION);
        SetFocus(dialog);
        return;
    }
    SendMessage(dialog, WM_COMMAND, kStopCommand, 0);
    DestroyConfigurationWindows();
    std::memcpy(shell::Preferences->LastProjectPath, path, sizeof path);
    shell::TakeProjectCandidate(*candidate);
    candidate.reset();
    shell::ShowProjectRepairs(shell::FrameWindow);
    // The loaded stores replace every pane: no pane is active and the tool is Draw, so the next
    // edit cannot save the previous working network over the loaded one.
    network::DeactivatePanesAfterLoad();
    shell::OpenConfigurationWindow(shell::Project.Settings.SystemConfiguration);
    shell::SetPlayerCheckBoxes();
    shell::SetFrameTitleWithPath(path);
    ModifyMenu(shell::FileMenu, kFileMenuProjectItem, MF_BYCOMMAND | MF_STRING,
               kFileMenuProjectItem, path);
    const char* name = path;
    for (const char* p = path + 1; *p; ++p)
        if (*p == '\\' || *p == '/') name = p + 1;
    if (name != path) shell::CopyTextSlot(shell::ProjectFileName, name);
    ShowBbmTitle(dialog);
    for (float& trim : OutputTrims) trim = 1.0f;
    UpdateHotkeyOutputNumbers();
    ClearMeters(dialog);
    SetTimer(shell::FrameWindow, kFrameAutoStartTimer, 300);
    SetFocus(dialog);
}

bool HandleKey(HWND dialog, WPARAM key) {
    switch (key) {
        case VK_UP:
        case VK_DOWN:
            SetVolumePosition(
                dialog, shell::Project.Settings.VolumeSliderPosition + (key == VK_UP ? 3 : -3));
            return true;
        case VK_LEFT:
            ChangeTrims(RearOutputNumbers, 4, kTrimDownFactor);
            ShowRearTitle(dialog, "DOWN");
            return true;
        case VK_RIGHT:
            ChangeTrims(RearOutputNumbers, 4, kTrimUpFactor);
            ShowRearTitle(dialog, "UP");
            return true;
        case VK_INSERT:
            ChangeTrims(SubwooferOutputNumbers, 2, kTrimDownFactor);
            ShowSubTitle(dialog, Db(LastTouchedTrim), "DOWN");
            return true;
        case VK_DELETE:
            ChangeTrims(SubwooferOutputNumbers, 2, kTrimUpFactor);
            ShowSubTitle(dialog, Db(LastTouchedTrim), "UP");
            return true;
        case VK_PRIOR:
        case VK_NEXT: {
            float& bbm = shell::Project.Settings.BbmLevel;
            bbm *= key == VK_PRIOR ? kTrimUpFactor : kTrimDownFactor;
            if (bbm > 1.0f) bbm = 1.0f;
            if (bbm < 0.1f) bbm = 0.1f;
            SetTitle(dialog, "BBM %.1fdB %s", 20.0 * std::log10(double(bbm) + 0.000001),
                     key == VK_PRIOR ? "UP" : "DOWN");
            return true;
        }
        case VK_ESCAPE:
            shell::Project.Settings.BbmLevel = 0.5f;
            for (float& trim : OutputTrims) trim = 1.0f;
            ShowSubTitle(dialog, 0.0, "RESET");
            return true;
        case VK_HOME:
            SendMessage(dialog, WM_COMMAND, kPlayCommand, 0);
            // A refused start (busy, a cancelled WAV file chooser, a bad rate) leaves the title as
            // it was: it must not announce playback that is not happening.
            if (CurrentPlayState() != PlayState::Stopped) SetWindowText(dialog, "*** PLAY ***");
            return true;
        case VK_END:
            SendMessage(dialog, WM_COMMAND, kStopCommand, 0);
            SetWindowText(dialog, "*** STOP ***");
            return true;
        default:
            if (key >= '0' && key <= '9') {
                LoadProfile(dialog, key == '0' ? 9 : static_cast<int>(key - '1'));
                return true;
            }
            return false;
    }
}

}  // namespace

void UpdateHotkeyOutputNumbers() {
    const int top = shell::OutputLayout == 0 ? 8 : 16;
    const auto& texts = shell::Project.Settings.HotkeyOutputTexts;
    auto number = [top](const char* text) {
        char slot[shell::kHotkeyTextSlot + 1] = {};
        std::memcpy(slot, text, shell::kHotkeyTextSlot);
        std::int32_t v = 0;
        if (!shell::ReadTypedInteger(slot, &v)) v = 0;
        return v < 1 ? 1 : v > top ? top : v;
    };
    SubwooferOutputNumbers[0] = number(texts[10]);
    SubwooferOutputNumbers[1] = number(texts[11]);
    for (int i = 0; i < 4; ++i) RearOutputNumbers[i] = number(texts[i]);
}

void ShowBbmTitle(HWND dialog) {
    SetTitle(dialog, "BBM %.1fdB ", 20.0 * std::log10(double(shell::Project.Settings.BbmLevel)));
}

LRESULT PlayerKeyHookProc(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    const HWND dialog = shell::ComponentCADSelectionDialog;
    // Only keys that reach the player itself act as the remote: a digit typed into an edit of
    // any other window, modal or not, is text and never loads a profile.
    if (code >= 0 && msg && shell::ModalDialogOpen == 0 && dialog && IsWindow(dialog) &&
        msg->message == WM_KEYDOWN && (msg->hwnd == dialog || IsChild(dialog, msg->hwnd)))
        HandleKey(dialog, msg->wParam);
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

void InstallPlayerKeyHook(HWND) {
    if (g_hook) UnhookWindowsHookEx(g_hook);
    g_hook = SetWindowsHookEx(WH_MSGFILTER, PlayerKeyHookProc, HINSTANCE{}, GetCurrentThreadId());
}

void RemovePlayerKeyHook() {
    if (g_hook) UnhookWindowsHookEx(g_hook);
    g_hook = HHOOK{};
}

}  // namespace engine
