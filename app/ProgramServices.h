// What the program's entry installs in the shell's service table before the program starts: the
// network editor's panes, templates and stores, the solver's SPL plot, the player dialog and the
// driver-data tools.
// Kept apart from main() so that the frame's tests run the program wired the same way.
#pragma once

#include "driverdata/ConverterDialogs.h"
#include "driverdata/DiffractionCalculator.h"
#include "driverdata/DriverFiles.h"
#include "driverdata/ExportFiles.h"
#include "driverdata/HbtEditor.h"
#include "driverdata/HbtInput.h"
#include "engine/PlayerDialog.h"
#include "measurement/Globals.h"
#include "measurement/MlsProcess.h"
#include "measurement/MlsWindows.h"
#include "measurement/RoomEq.h"
#include "network/EditorState.h"
#include "network/ElementDialogs.h"
#include "network/OutputPortDialog.h"
#include "network/PaneDrawing.h"
#include "network/PaneEditor.h"
#include "network/Templates.h"
#include "network/WorkingNetwork.h"
#include "shell/Services.h"
#include "solver/FilterSections.h"
#include "solver/Globals.h"
#include "solver/MinimumPhase.h"
#include "solver/SplPlot.h"

namespace app {

inline void InstallProgramServices() {
    shell::ProgramServicesTable& services = shell::ProgramServices();
    // Network editor.
    for (int k = 1; k <= shell::kServicePaneCount; ++k) {
        services.PaneWndProcs[k - 1] = network::PaneWndProcFor(k);
    }
    services.ClearAllPaneStores = &network::ClearAllPaneStores;
    services.ClearWorkingNetwork = &network::ClearWorkingNetwork;
    services.BuildWayTemplate = &network::BuildWayTemplate;
    services.SavePaneStore = &network::SavePaneStore;
    services.DeactivatePanes = &network::DeactivatePanes;
    services.UpdateToolButtons = &network::UpdateToolButtons;
    services.PaneWindows = network::PaneWindows;
    services.PaneNetworkExtent = &network::PaneNetworkExtent;
    // The pane labels print the solver's filter family and slope names.
    network::FilterTypeNames = solver::FilterTypeTable;
    // Element dialogs opened by a right click in a pane and by Copy Speaker; the output port's
    // Done computes its correction with the solver's minimum-phase routine.
    network::InstallElementDialogs();
    network::InstallOutputHilbertBode(&solver::CalculateOutputHilbertBode,
                                      solver::MinimumPhaseResult);
    // Solver.
    services.DrawSplPhaseFrame = &solver::DrawSplPhaseFrame;
    services.ClearOutputPhasing = [] {
        for (auto& polarity : solver::OutputPhasing) polarity = 0;
        for (auto& delay : solver::OutputDelay) delay = 0.0f;
    };
    // Player.
    services.PlayerDialogProc = &engine::SystemDesignPlayerDlgProc;
    services.PlayerDialogTemplate = engine::kPlayerDialogTemplate;
    // Driver data: driver files, the HBT editor's input preparation, imports and the export.
    services.InitDriverFileDlg = &driverdata::InitDriverFileDlg;
    services.OpenDriverFile = &driverdata::OpenDriverFile;
    services.SaveDriverFileAs = &driverdata::SaveDriverFileAs;
    services.PrepareHbtInput = &driverdata::PrepareHbtInput;
    services.InitImpImportDlg = &driverdata::InitImpImportDlg;
    services.OpenImpImportFile = &driverdata::OpenImpImportFile;
    services.InitLmsImportDlg = &driverdata::InitLmsImportDlg;
    services.OpenLmsImportFile = &driverdata::OpenLmsImportFile;
    services.InitClioImportDlg = &driverdata::InitClioImportDlg;
    services.OpenClioImportFile = &driverdata::OpenClioImportFile;
    services.InitDaasImportDlg = &driverdata::InitDaasImportDlg;
    services.OpenDaasImportFile = &driverdata::OpenDaasImportFile;
    services.InitExportDlg = &driverdata::InitExportDlg;
    services.ExportSplPhaseAs = &driverdata::ExportSplPhaseAs;
    // The HBT editor (command 308 and after a driver load or an import) and its plot window.
    services.EditorChildWndProc = &driverdata::EditorChildWndProc;
    services.TransferFunctionDlgProc = &driverdata::TransferFunctionDlgProc;
    services.TransferFunctionTemplate = driverdata::kTransferFunctionTemplate;
    // The diffraction calculator (command 306) and its plot window.
    services.DiffractionChildWndProc = &driverdata::DiffractionChildWndProc;
    services.DiffractionCalculatorDlgProc = &driverdata::DiffractionCalculatorDlgProc;
    services.DiffractionCalculatorTemplate = driverdata::kDiffractionCalculatorTemplate;
    // The room equalizer, opened by a right click on a room-EQ element.
    network::RoomEqDialogProc = &measurement::RoomEQDlgProc;
    services.RoomEqDlgProc = &measurement::RoomEQDlgProc;
    services.RoomEqTemplate = "Room_EQ";
    // Measurement: the MLS control dialog's "Processing" page.
    measurement::ProcessPageProc = &measurement::MlsProcessDlgProc;
    // The MLS measurement tool (command 1102) and its frequency and impulse views.
    services.MlsSplChildWndProc = &measurement::MlsSplChildWndProc;
    services.MlsImpChildWndProc = &measurement::MlsImpChildWndProc;
    services.MlsControlDlgProc = &measurement::MlsControlDlgProc;
    services.MlsControlTemplate = measurement::kMlsControlTemplate;
}

}  // namespace app
