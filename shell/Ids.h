// Menu commands, frame timers, window-placement slots and the player-dialog controls that the
// frame drives, with the system's values.
#pragma once

namespace shell {

// ---- Main_Menu commands ----
inline constexpr int kCmdOpenDriverFile = 101;
inline constexpr int kCmdSaveDriverAs = 102;
inline constexpr int kCmdOpenProjectFile = 103;
inline constexpr int kCmdSaveProjectAs = 104;
inline constexpr int kCmdExit = 106;
inline constexpr int kCmdPreferences = 110;
inline constexpr int kCmdLastDriverFile = 113;
inline constexpr int kCmdLastProjectFile = 114;
inline constexpr int kCmdStereo3Way = 200;
inline constexpr int kCmdStereo4Way = 201;
inline constexpr int kCmdStereo2Way = 202;
inline constexpr int kCmdStereo5Way = 204;
inline constexpr int kCmdStereo6Way = 205;
inline constexpr int kCmdStereo7Way = 206;
inline constexpr int kCmdStereo8Way = 207;
inline constexpr int kCmdAssignProfiles = 233;
inline constexpr int kCmdCurrentSystem = 240;
inline constexpr int kCmdDiffractionModel = 306;
inline constexpr int kCmdFileEditor = 308;
inline constexpr int kCmdPenColours = 310;
inline constexpr int kCmdImportImp = 401;
inline constexpr int kCmdImportLms = 402;
inline constexpr int kCmdImportClio = 403;
inline constexpr int kCmdImportMlssa = 404;
inline constexpr int kCmdImportDaas = 405;
inline constexpr int kCmdImportLaud = 406;
inline constexpr int kCmdExportSplPhase = 501;
inline constexpr int kCmdDigitalMls = 1102;
inline constexpr int kCmdHelp = 1201;

// Identifier of the first MDI window-list entry of the File menu (below every command).
inline constexpr unsigned kFirstMdiChildId = 40;

// ---- Frame timers (the auto-start chain) ----
inline constexpr unsigned kTimerAutoLoad = 10100;
inline constexpr unsigned kTimerFrontLeft = 10101;
inline constexpr unsigned kTimerCentre = 10102;
inline constexpr unsigned kTimerFrontRight = 10103;
inline constexpr unsigned kTimerRearLeft = 10104;
inline constexpr unsigned kTimerSub = 10105;
inline constexpr unsigned kTimerRearRight = 10106;
inline constexpr unsigned kTimerSub2 = 10107;
inline constexpr unsigned kTimerPlay = 10110;
inline constexpr unsigned kAutoLoadDelayMs = 100;
inline constexpr unsigned kChainStepMs = 500;

// ---- Controls of the player dialog ("ComponentCADSelection") that the frame uses ----
inline constexpr int kPlayButton = 5000;
inline constexpr int kUseHbtDataCheck = 4900;
inline constexpr int kSplOnlyEqCheck = 4910;
inline constexpr int kWideWindowCheck = 20011;
inline constexpr int kFrontLeftButton = 20001;
inline constexpr int kFrontRightButton = 20002;
inline constexpr int kCentreButton = 20003;
inline constexpr int kRearLeftButton = 20004;
inline constexpr int kRearRightButton = 20005;
inline constexpr int kSubButton = 20006;
inline constexpr int kSub2Button = 20007;

// ---- WindowPlacements slots ----
inline constexpr int kSlotEditorChild = 0;
inline constexpr int kSlotTransferFunction = 1;
inline constexpr int kSlotPenColourChild = 2;
inline constexpr int kSlotPreferencesChild = 3;
inline constexpr int kSlotDiffractionChild = 4;
inline constexpr int kSlotDiffractionCalculator = 5;
inline constexpr int kSlotComponentCADSelection = 6;  // ComponentCADSelectionPlacement
inline constexpr int kSlotSplPlotting = 7;
inline constexpr int kSlotHomeTheatre = 8;
inline constexpr int kSlotHomeTheatreBars = 9;
inline constexpr int kSlotStereo = 10;
inline constexpr int kSlotStereoBars = 11;
inline constexpr int kSlotQuadro = 12;
inline constexpr int kSlotQuadroBars = 13;
inline constexpr int kSlotBbm = 15;
inline constexpr int kSlotBbmBars = 16;
inline constexpr int kSlotMlsImpChild = 33;
inline constexpr int kSlotMlsSplChild = 34;
inline constexpr int kSlotMlsControl = 35;

// Fixed outer size of the player dialog.
inline constexpr int kPlayerDialogWidth = 232;
inline constexpr int kPlayerDialogHeight = 688;

// SystemConfiguration values.
inline constexpr int kSystemStereo = 0;
inline constexpr int kSystemHomeTheatre = 1;
inline constexpr int kSystemQuadro = 2;
inline constexpr int kSystemBbm = 3;

}  // namespace shell
