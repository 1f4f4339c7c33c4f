#include "network/CopySpeakerDialog.h"

#include <algorithm>

#include "network/WorkingNetwork.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"

namespace network {

using namespace platform;

std::int32_t CopySpeakerFlagsBackup[kCopySpeakerFlagCount];

namespace {

void InitCopySpeaker(HWND dialog) {
    std::copy_n(CopySpeakerFlags, kCopySpeakerFlagCount, CopySpeakerFlagsBackup);
    for (int i = 0; i < kCopySpeakerChannels; ++i) {
        CheckDlgButton(dialog, kFirstSourceRadio + i, BST_UNCHECKED);
        CheckDlgButton(dialog, kFirstTargetRadio + i, BST_UNCHECKED);
    }
    for (int i = 0; i < kCopySpeakerChannels; ++i) {
        if (CopySpeakerFlags[i] == 1) CheckDlgButton(dialog, kFirstSourceRadio + i, BST_CHECKED);
        if (CopySpeakerFlags[kCopySpeakerChannels + i] == 1) {
            CheckDlgButton(dialog, kFirstTargetRadio + i, BST_CHECKED);
        }
    }
}

// A radio of one group: it alone is chosen within its group.
void ChooseRadio(HWND dialog, int first_radio, int flag_base, int chosen) {
    for (int i = 0; i < kCopySpeakerChannels; ++i) {
        CopySpeakerFlags[flag_base + i] = i == chosen ? 1 : 0;
        CheckDlgButton(dialog, first_radio + i, i == chosen ? BST_CHECKED : BST_UNCHECKED);
    }
}

// Copies every chosen source (in flag order) into every chosen target other than itself, then
// gives the WorkingNetwork back to the active pane, so that the pane's next edit saves its own
// network (or the copy it just received) and never the source's over it.
void CopySpeakerDone() {
    for (int source = 0; source < kCopySpeakerChannels; ++source) {
        if (CopySpeakerFlags[source] != 1) continue;
        RestorePaneStore(kCopySpeakerPanes[source]);
        for (int target = 0; target < kCopySpeakerChannels; ++target) {
            if (CopySpeakerFlags[kCopySpeakerChannels + target] != 1 || target == source) {
                continue;
            }
            const int pane = kCopySpeakerPanes[target];
            SavePaneStore(pane);
            if (PaneWindows[pane - 1]) InvalidateRect(PaneWindows[pane - 1], nullptr, TRUE);
        }
    }
    if (ActivePane >= 1 && ActivePane <= kCopySpeakerChannels) RestorePaneStore(ActivePane);
}

}  // namespace

INT_PTR CopySpeakerDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            InitCopySpeaker(dialog);
            return TRUE;
        case WM_SYSCOMMAND:
            // The close box keeps the choices made so far and copies nothing.
            if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
            EndDialog(dialog, 1);
            return TRUE;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id >= kFirstSourceRadio && id < kFirstSourceRadio + kCopySpeakerChannels) {
                ChooseRadio(dialog, kFirstSourceRadio, 0, id - kFirstSourceRadio);
                return TRUE;
            }
            if (id >= kFirstTargetRadio && id < kFirstTargetRadio + kCopySpeakerChannels) {
                ChooseRadio(dialog, kFirstTargetRadio, kCopySpeakerChannels,
                            id - kFirstTargetRadio);
                return TRUE;
            }
            switch (id) {
                case IDOK:
                    CopySpeakerDone();
                    EndDialog(dialog, 1);
                    return TRUE;
                case IDCANCEL:
                    std::copy_n(CopySpeakerFlagsBackup, kCopySpeakerFlagCount, CopySpeakerFlags);
                    EndDialog(dialog, 0);
                    return TRUE;
                default:
                    return FALSE;
            }
        }
        default:
            return FALSE;
    }
}

}  // namespace network
