// What the shell uses of the subsystems built above it (network editor, solver, player, driver
// data, measurement): a table of entry points that the program's entry installs before the
// program starts. The shell cannot call upwards directly; a null entry means that service does
// not exist in this build, and the frame then leaves out whatever needed it. UI thread only.
#pragma once

#include <cstdint>

#include "platform/Types.h"

namespace shell {

inline constexpr int kServicePaneCount = 7;

struct ProgramServicesTable {
    // ---- Network editor ----
    // Window procedures of the classes "Pane 1" .. "Pane 7" (index k - 1 = pane k).
    platform::WNDPROC PaneWndProcs[kServicePaneCount];
    int (*ClearAllPaneStores)();
    int (*ClearWorkingNetwork)();
    int (*BuildWayTemplate)(int ways);  // the stereo N-way template (N = 2..8) into WorkingNetwork
    int (*SavePaneStore)(int pane);     // WorkingNetwork into the store of pane 1..7
    // No active pane, the Draw tool, nothing pending: what a System Design command and every
    // project load leave.
    void (*DeactivatePanes)();
    // Checks the toolbox button that matches the current tool, on the given player dialog.
    int (*UpdateToolButtons)(platform::HWND dialog);
    // The editor's table of pane windows (7 handles); the configuration windows fill it.
    platform::HWND* PaneWindows;
    // How far right and down the network of pane 1..7 reaches, labels measured in `hdc`.
    platform::SIZE (*PaneNetworkExtent)(int pane, platform::HDC hdc);

    // ---- Solver ----
    // The content of the SPL_Plotting window (client size width x height); it sets the title.
    int (*DrawSplPhaseFrame)(platform::HDC hdc, int width, int height, platform::HWND window);
    // Forgets the polarity and delay recorded per output (start-up).
    void (*ClearOutputPhasing)();

    // ---- Player ----
    // The modeless "System Design + Player" dialog: its procedure and template name.
    platform::DLGPROC PlayerDialogProc;
    const char* PlayerDialogTemplate;

    // ---- Driver data: driver files, imports, export ----
    // Each Init fills its tool's file-dialog description; each Open/Save shows the dialog on the
    // caller's path (2048) and title (256) buffers and returns 1 when it read, converted or wrote,
    // otherwise 0 (it shows its own messages).
    void (*InitDriverFileDlg)(platform::HWND owner);
    int (*OpenDriverFile)(platform::HWND owner, char* path, char* title);
    int (*SaveDriverFileAs)(platform::HWND owner, char* path, char* title);
    // Gap filling and phase repair of the current driver before the HBT editor shows it:
    // 0 done, 1 refused ("Efficiency Error").
    int (*PrepareHbtInput)();
    void (*InitImpImportDlg)(platform::HWND owner);
    int (*OpenImpImportFile)(platform::HWND owner, char* path, char* title);
    void (*InitLmsImportDlg)(platform::HWND owner);
    int (*OpenLmsImportFile)(platform::HWND owner, char* path, char* title);
    void (*InitClioImportDlg)(platform::HWND owner);
    int (*OpenClioImportFile)(platform::HWND owner, char* path, char* title);
    void (*InitDaasImportDlg)(platform::HWND owner);
    int (*OpenDaasImportFile)(platform::HWND owner, char* path, char* title);
    void (*InitExportDlg)(platform::HWND owner);
    int (*ExportSplPhaseAs)(platform::HWND owner, char* path, char* title);

    // ---- Driver data: HBT editor ----
    // Window procedure of the class "Editor_Child" and the modeless dialog "TransferFunction".
    platform::WNDPROC EditorChildWndProc;
    platform::DLGPROC TransferFunctionDlgProc;
    const char* TransferFunctionTemplate;

    // ---- Driver data: diffraction calculator (command 306) ----
    platform::WNDPROC DiffractionChildWndProc;
    platform::DLGPROC DiffractionCalculatorDlgProc;
    const char* DiffractionCalculatorTemplate;

    // ---- Measurement: MLS windows (command 1102) ----
    platform::WNDPROC MlsSplChildWndProc;
    platform::WNDPROC MlsImpChildWndProc;
    platform::DLGPROC MlsControlDlgProc;
    const char* MlsControlTemplate;

    // ---- Measurement: room equalizer (opened by a right click on a room-EQ element) ----
    platform::DLGPROC RoomEqDlgProc;
    const char* RoomEqTemplate;
};

// The installed services (all null until the program's entry fills them).
ProgramServicesTable& ProgramServices();

// Empties the table (tests; the program installs once).
void ResetProgramServices();

}  // namespace shell
