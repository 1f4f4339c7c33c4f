// The player's keyboard remote control: a message-filter hook of the UI thread that sees the keys
// the player dialog's message handling sees. Digits load a project profile and restart playback;
// Up/Down set the volume; Left/Right the rear trims, Insert/Delete the subwoofer trims; Page
// Up/Down the BBM level; Escape resets BBM and trims; Home plays and End stops. Every message is
// passed on, so the keys keep their ordinary effect. UI thread only.
#pragma once

#include "platform/Types.h"

namespace engine {

inline constexpr float kTrimDownFactor = 0.794328234f;  // -2 dB per key press
inline constexpr float kTrimUpFactor = 1.25892541f;     // +2 dB per key press

platform::LRESULT PlayerKeyHookProc(int code, platform::WPARAM wParam, platform::LPARAM lParam);

// Installed by the player dialog at WM_INITDIALOG, removed at WM_DESTROY.
void InstallPlayerKeyHook(platform::HWND dialog);
void RemovePlayerKeyHook();

// SubwooferOutputNumbers from hotkey texts 11 and 12, RearOutputNumbers from texts 1-4: each
// text's integer value, at least 1, at most 8 with "8 Outputs" and 16 otherwise.
void UpdateHotkeyOutputNumbers();

// The player's title after the BBM level changed: "BBM %.1fdB " with 20 log10(BbmLevel).
void ShowBbmTitle(platform::HWND dialog);

}  // namespace engine
