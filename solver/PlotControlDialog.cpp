#include "solver/PlotControlDialog.h"

#include <algorithm>

#include "platform/ui/Dialog.h"
#include "shell/PreferencesRecord.h"
#include "solver/Globals.h"
#include "solver/Ids.h"

namespace solver {

namespace {

struct BoxFamily {
    int id;
    int family;  // PlotFamilyFlags word
};

const BoxFamily kBoxes[] = {
    {IDC_PLOT_FILTER_SPL, 0},        {IDC_PLOT_DRIVER_SPL, 1},   {IDC_PLOT_HBT_SPL, 2},
    {IDC_PLOT_HBT_FILTER_SPL, 10},   {IDC_PLOT_FINAL_SPL, 3},    {IDC_PLOT_SYSTEM_SPL, 8},
    {IDC_PLOT_FILTER_PHASE, 4},      {IDC_PLOT_DRIVER_PHASE, 5}, {IDC_PLOT_HBT_PHASE, 6},
    {IDC_PLOT_HBT_FILTER_PHASE, 11}, {IDC_PLOT_FINAL_PHASE, 7},  {IDC_PLOT_SYSTEM_PHASE, 9},
};

void InitPlotControl(platform::HWND dialog) {
    std::copy_n(shell::PlotFamilyFlags, kPlotFamilies, PlotFamilyFlagsBackup);
    for (const BoxFamily& box : kBoxes) {
        platform::CheckDlgButton(dialog, box.id, platform::BST_UNCHECKED);
    }
    for (const BoxFamily& box : kBoxes) {
        if (shell::PlotFamilyFlags[box.family] == 1) {
            platform::CheckDlgButton(dialog, box.id, platform::BST_CHECKED);
        }
    }
}

void ToggleFamily(platform::HWND dialog, int id, int family) {
    if (shell::PlotFamilyFlags[family] == 0) {
        platform::CheckDlgButton(dialog, id, platform::BST_CHECKED);
        shell::PlotFamilyFlags[family] = 1;
    } else {
        platform::CheckDlgButton(dialog, id, platform::BST_UNCHECKED);
        shell::PlotFamilyFlags[family] = 0;
    }
}

}  // namespace

int PlotFamilyOfControl(int id) {
    for (const BoxFamily& box : kBoxes) {
        if (box.id == id) return box.family;
    }
    return -1;
}

platform::INT_PTR PlotControlDlgProc(platform::HWND dialog, platform::UINT message,
                                     platform::WPARAM wparam, platform::LPARAM /*lparam*/) {
    switch (message) {
        case platform::WM_INITDIALOG:
            InitPlotControl(dialog);
            return 0;
        case platform::WM_COMMAND: {
            const int id = platform::LOWORD(wparam);
            if (id == platform::IDOK) {
                platform::EndDialog(dialog, 1);
                return 1;
            }
            if (id == platform::IDCANCEL) {
                std::copy_n(PlotFamilyFlagsBackup, kPlotFamilies, shell::PlotFamilyFlags);
                platform::EndDialog(dialog, 0);
                return 1;
            }
            const int family = PlotFamilyOfControl(id);
            if (family >= 0 && platform::HIWORD(wparam) == platform::BN_CLICKED) {
                ToggleFamily(dialog, id, family);
            }
            return 0;
        }
        case platform::WM_SYSCOMMAND:
            // The close box keeps the changes, as Done does.
            if ((wparam & 0xFFF0) == platform::SC_CLOSE) {
                platform::EndDialog(dialog, 1);
                return 1;
            }
            return 0;
        default:
            return 0;
    }
}

}  // namespace solver
