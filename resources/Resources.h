// The program's dialog templates and menus, kept as data and handed to the platform layer.
//
// Each template is one file under resources/dialogs/ or resources/menus/ that defines one
// constant (platform/ui/Resources.h describes the data and its dialog units). Its owner
// declares the constant below and lists it in RegisterAll (Resources.cpp).
#pragma once

#include "platform/ui/Resources.h"

namespace resources {

// --- Dialog templates (resources/dialogs/) ---
extern const platform::DialogTemplate TestTonesDialog;    // "QUORVEX_LINEARIZER_TEST_TONES"
extern const platform::DialogTemplate PlotControlDialog;  // "Quorvex_Linearizer_Plots"
extern const platform::DialogTemplate ComponentCADSelectionTemplate;  // "ComponentCADSelection"

extern const platform::DialogTemplate EnterInputPortDialog;   // "EnterInputPort"
extern const platform::DialogTemplate EnterBehringerDialog;   // "EnterBehringer"
extern const platform::DialogTemplate EnterOutputPortDialog;  // "EnterOutputPort"
extern const platform::DialogTemplate CopySpeakerDialog;      // "QUORVEX_LINEARIZER_COPY_SPEAKER"
extern const platform::DialogTemplate ProjectFileDialog;      // "ProjectFile"
extern const platform::DialogTemplate EnterScalesDialog;      // "EnterScales"
extern const platform::DialogTemplate DiffractionCalculatorDialog;  // "DiffractionCalculator"
extern const platform::DialogTemplate TransferFunctionDialog;       // "TRANSFERFUNCTION"
extern const platform::DialogTemplate RoomEqDialog;                 // "Room_EQ"
extern const platform::DialogTemplate MlsProcessPage;               // "TAB_MLS_Process"

// The measurement-file converters.
extern const platform::DialogTemplate ImportImpBoxDialog;            // "ImportImpBox"
extern const platform::DialogTemplate ImportLmsBoxDialog;            // "ImportLmsBox"
extern const platform::DialogTemplate ImportClioBoxDialog;           // "ImportClioBox"
extern const platform::DialogTemplate ImportDaasBoxDialog;           // "ImportDaasBox"
extern const platform::DialogTemplate MlsControlDialog;              // "TAB_MLS_Control"
extern const platform::DialogTemplate MlsAcquirePageDialog;          // "TAB_MLS_Acquire"
extern const platform::DialogTemplate MlsSplPageDialog;              // "TAB_MLS_Spl"
extern const platform::DialogTemplate EnterCreateCalibrationDialog;  // "EnterCreateCalibration"

// --- Menus (resources/menus/) ---
extern const platform::MenuTemplate MainMenu;  // "Main_Menu", the frame's menu bar

// Registers every dialog template and menu with the platform layer. Safe to call again.
void RegisterAll();

}  // namespace resources
