// Printing: the printer dialog, print jobs on a printer device context, and the default printer's
// description. Images go onto the page with StretchDIBits (WindowImage.h). UI thread only.
#pragma once

#include "platform/Types.h"
#include "platform/gdi/WindowImage.h"

namespace platform {

// Flags of PRINTDLG.
inline constexpr DWORD PD_NOSELECTION = 0x00000004;
inline constexpr DWORD PD_NOPAGENUMS = 0x00000008;
inline constexpr DWORD PD_PRINTSETUP = 0x00000040;
inline constexpr DWORD PD_RETURNDC = 0x00000100;
inline constexpr DWORD PD_HIDEPRINTTOFILE = 0x00100000;

struct PRINTDLG {
    HWND hwndOwner;
    DWORD Flags;
    HDC hDC;  // out: the chosen printer's device context (delete it with DeleteDC)
    WORD nFromPage;
    WORD nToPage;
    WORD nMinPage;
    WORD nMaxPage;
    WORD nCopies;
};

// Lets the user choose a printer (Qt's print dialog; unattended, the host's answer, see
// ui/HostHooks.h). TRUE with hDC set when chosen, FALSE when cancelled.
BOOL PrintDlg(PRINTDLG* dialog);

struct DOCINFO {
    const char* lpszDocName;
    const char* lpszOutput;    // unused: output goes where the dialog chose
    const char* lpszDatatype;  // unused
    DWORD fwType;              // unused
};

inline constexpr int SP_ERROR = -1;

// A print job: StartDoc, then StartPage/EndPage per page, then EndDoc. Each returns a positive
// value on success and SP_ERROR on failure. A job that fails, is aborted (AbortDoc) or whose
// context is deleted before EndDoc leaves no output file behind.
int StartDoc(HDC printer, const DOCINFO* info);
int StartPage(HDC printer);
int EndPage(HDC printer);
int EndDoc(HDC printer);
int AbortDoc(HDC printer);

// The default printer as the system profile describes it: section "windows", key "device" gives
// "name,model,location" of the desktop's default printer (the default text when there is none).
// Other keys give the default text. Returns the number of characters copied (without the NUL).
DWORD GetProfileString(const char* section, const char* key, const char* defaultText, char* out,
                       DWORD size);

}  // namespace platform
