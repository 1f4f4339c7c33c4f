// Message boxes and beeps.
#pragma once

#include "platform/Types.h"

namespace platform {

// Buttons and icons (combine one of each).
inline constexpr UINT MB_OK = 0x0000;
inline constexpr UINT MB_OKCANCEL = 0x0001;
inline constexpr UINT MB_YESNOCANCEL = 0x0003;
inline constexpr UINT MB_YESNO = 0x0004;
inline constexpr UINT MB_ICONHAND = 0x0010;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x0020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x0030;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONASTERISK = 0x0040;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_APPLMODAL = 0x0000;
inline constexpr UINT MB_TASKMODAL = 0x2000;

// Results.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Shows a modal message box owned by `owner` (0 for none) and returns the button pressed.
// Unattended, the host answers it (ui/HostHooks.h); every box is reported to the host.
int MessageBox(HWND owner, const char* text, const char* caption, UINT type);

// Plays the sound for an icon kind (MB_OK, MB_ICONEXCLAMATION, ...).
BOOL MessageBeep(UINT type);

}  // namespace platform
