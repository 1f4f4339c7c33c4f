// The project profiles dialog (template "ProjectFile"): ten project paths bound to the remote
// control's digit keys, typed or browsed, written into PreferencesRecord.ProfilePaths as they
// change. Neither closing button restores earlier values. UI thread only.
#pragma once

#include "platform/Types.h"
#include "platform/ui/FileDialog.h"
#include "shell/PreferencesRecord.h"

namespace frame {

inline constexpr int kProfileEditFirst = 10500;    // edit of profile k: 10500 + k - 1
inline constexpr int kProfileBrowseFirst = 10510;  // Browse of profile k: 10510 + k - 1

// The open-file buffers of one profile's Browse button; they live for the whole run, so each
// profile's dialog starts from the name last chosen for it.
struct ProfileBrowseSlot {
    char File[shell::kPathSlot];
    char FileTitle[shell::kPathSlot];
    platform::OPENFILENAME Record;
};
extern ProfileBrowseSlot ProfileBrowseSlots[shell::kProfileCount];

// The dialog procedure. Ends with 1 for "Done" and 0 for "Cancel".
platform::INT_PTR ProjectFileDlgProc(platform::HWND dialog, platform::UINT message,
                                     platform::WPARAM wParam, platform::LPARAM lParam);

// Fills the open-file record of profile k (1..10) with the dialog as owner.
void InitProfileDlg(int profile, platform::HWND dialog);
// Runs the open-file dialog of profile k on its own buffers; non-zero when a file was chosen.
int BrowseProfile(int profile, platform::HWND owner);

// The frame's "Assign Profiles Remote" command: ModalDialogOpen is 1 while the modal dialog runs
// (owned by `owner`), then the owner is brought up to date. Returns the dialog's result.
platform::INT_PTR RunProfilesDialog(platform::HWND owner);

// Empties the browse buffers (tests; the program starts once).
void ResetProfileBrowseSlots();

}  // namespace frame
