// The project profiles dialog: each edit writes its profile's path at once; each Browse button
// chooses a project file for its profile.
#include "frame/ProfilesDialog.h"

#include <cstring>

#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/StartupAllocation.h"

namespace frame {

using namespace shell;

using platform::HWND;
using platform::INT_PTR;
using platform::LPARAM;
using platform::UINT;
using platform::WPARAM;

ProfileBrowseSlot ProfileBrowseSlots[kProfileCount];

namespace {

constexpr const char kProjectFilter[] = "Project Files (*.HIF)\0*.hif\0";
// A typed name without an extension becomes a project file name.
constexpr const char* kProjectExtension = "hif";
// An edit takes at most this many typed characters; a browsed path may use the whole slot.
constexpr int kTypedPathChars = kPathSlot - 2;

bool ValidProfile(int profile) { return profile >= 1 && profile <= kProfileCount; }

// Profile k's path := the text of its edit.
void StoreEditText(HWND dialog, int profile) {
    if (Preferences == nullptr) return;
    char text[kPathSlot] = {};
    platform::GetDlgItemText(dialog, kProfileEditFirst + profile - 1, text, kPathSlot);
    CopyTextSlot(Preferences->ProfilePaths[profile - 1], text);
}

void OnBrowse(HWND dialog, int profile) {
    ProfileBrowseSlot& slot = ProfileBrowseSlots[profile - 1];
    const int chosen = BrowseProfile(profile, dialog);
    platform::UpdateWindow(dialog);
    slot.File[kPathSlot - 1] = '\0';
    if (!chosen || Preferences == nullptr) return;
    CopyTextSlot(Preferences->ProfilePaths[profile - 1], slot.File);
    // Showing the path notifies the edit, which stores the same text again.
    platform::SetDlgItemText(dialog, kProfileEditFirst + profile - 1, slot.File);
}

}  // namespace

void InitProfileDlg(int profile, HWND dialog) {
    if (!ValidProfile(profile)) return;
    ProfileBrowseSlot& slot = ProfileBrowseSlots[profile - 1];
    platform::OPENFILENAME& ofn = slot.Record;
    ofn = platform::OPENFILENAME{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = dialog;
    ofn.hInstance = platform::HINSTANCE{};
    ofn.lpstrFilter = kProjectFilter;
    ofn.lpstrCustomFilter = nullptr;
    ofn.nMaxCustFilter = 0;
    ofn.nFilterIndex = 0;
    ofn.lpstrFile = slot.File;
    ofn.nMaxFile = kPathSlot;
    ofn.lpstrFileTitle = slot.FileTitle;
    ofn.nMaxFileTitle = kPathSlot;
    ofn.lpstrInitialDir = nullptr;
    ofn.lpstrTitle = nullptr;
    ofn.Flags = platform::OFN_HIDEREADONLY | platform::OFN_CREATEPROMPT;
    ofn.lpstrDefExt = kProjectExtension;
}

int BrowseProfile(int profile, HWND owner) {
    if (!ValidProfile(profile)) return 0;
    ProfileBrowseSlot& slot = ProfileBrowseSlots[profile - 1];
    slot.Record.hwndOwner = owner;
    slot.Record.lpstrFile = slot.File;
    slot.Record.nMaxFile = kPathSlot;
    slot.Record.lpstrFileTitle = slot.FileTitle;
    slot.Record.nMaxFileTitle = kPathSlot;
    slot.Record.Flags = platform::OFN_HIDEREADONLY | platform::OFN_CREATEPROMPT;
    return platform::GetOpenFileName(&slot.Record) ? 1 : 0;
}

INT_PTR ProjectFileDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case platform::WM_INITDIALOG:
            for (int profile = 1; profile <= kProfileCount; ++profile) {
                const int edit = kProfileEditFirst + profile - 1;
                platform::SendDlgItemMessage(dialog, edit, platform::EM_LIMITTEXT,
                                             static_cast<WPARAM>(kTypedPathChars), 0);
                if (Preferences != nullptr) {
                    TerminateTextSlot(Preferences->ProfilePaths[profile - 1]);
                    platform::SetDlgItemText(dialog, edit, Preferences->ProfilePaths[profile - 1]);
                }
                InitProfileDlg(profile, dialog);
            }
            platform::SetFocus(platform::GetDlgItem(dialog, kProfileEditFirst));
            return 0;
        case platform::WM_COMMAND: {
            const int id = platform::LOWORD(wParam);
            if (id >= kProfileEditFirst && id < kProfileEditFirst + kProfileCount) {
                StoreEditText(dialog, id - kProfileEditFirst + 1);
                return 1;
            }
            if (id >= kProfileBrowseFirst && id < kProfileBrowseFirst + kProfileCount) {
                OnBrowse(dialog, id - kProfileBrowseFirst + 1);
                return 1;
            }
            if (id == platform::IDOK) {
                platform::EndDialog(dialog, 1);
                return 1;
            }
            if (id == platform::IDCANCEL) {
                platform::EndDialog(dialog, 0);
                return 1;
            }
            return 0;
        }
        default:
            return 0;
    }
}

INT_PTR RunProfilesDialog(HWND owner) {
    ModalDialogOpen = 1;
    const INT_PTR result =
        platform::DialogBox(AppInstance, "ProjectFile", owner, &ProjectFileDlgProc);
    ModalDialogOpen = 0;
    platform::UpdateWindow(owner);
    return result;
}

void ResetProfileBrowseSlots() {
    for (ProfileBrowseSlot& slot : ProfileBrowseSlots) slot = ProfileBrowseSlot{};
}

}  // namespace frame
