// The open-file and save-file dialogs. Unattended, the host answers them (ui/HostHooks.h).
// UI thread only.
#pragma once

#include "platform/Types.h"

namespace platform {

inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr DWORD OFN_CREATEPROMPT = 0x00002000;

struct OPENFILENAME {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    // Pairs of NUL-terminated texts, description then patterns ("*.HIF;*.TXT"), ending with an
    // empty text: "Project Files (*.HIF)\0*.hif\0\0". Patterns match case-insensitively.
    const char* lpstrFilter;
    char* lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;  // 1-based pair chosen (0: the first); set to the pair used
    char* lpstrFile;     // in: initial path or name (may be empty); out: the chosen path
    DWORD nMaxFile;
    char* lpstrFileTitle;  // out: the chosen file's name without folder (may be 0)
    DWORD nMaxFileTitle;
    const char* lpstrInitialDir;  // used when lpstrFile names no folder
    const char* lpstrTitle;       // the dialog's caption (0: "Open" or "Save As")
    DWORD Flags;
    WORD nFileOffset;         // out: offset of the name in lpstrFile
    WORD nFileExtension;      // out: offset of the extension in lpstrFile (0 when none)
    const char* lpstrDefExt;  // appended (with a dot) to a typed name without an extension
    LPARAM lCustData;
    void* lpfnHook;
    const char* lpTemplateName;
};

// Shows the dialog; TRUE when the user chose a file (lpstrFile and lpstrFileTitle filled), FALSE
// when cancelled or when the path does not fit the buffers. OFN_FILEMUSTEXIST refuses a missing
// file; OFN_CREATEPROMPT asks "... does not exist. Create it?" for a missing file (open);
// OFN_OVERWRITEPROMPT asks "... already exists. Replace it?" for an existing one (save). The
// questions are ordinary message boxes (Yes/No), so an unattended host answers them the same way.
BOOL GetOpenFileName(OPENFILENAME* ofn);
BOOL GetSaveFileName(OPENFILENAME* ofn);

}  // namespace platform
