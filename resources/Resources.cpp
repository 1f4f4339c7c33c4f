#include "resources/Resources.h"

namespace resources {
namespace {

// Every template of the program, one line each (nullptr ends the list).
const platform::DialogTemplate* const kDialogs[] = {
    &PlotControlDialog,
    &TestTonesDialog,
    &ComponentCADSelectionTemplate,
    &EnterInputPortDialog,
    &EnterBehringerDialog,
    &EnterOutputPortDialog,
    &CopySpeakerDialog,
    &ProjectFileDialog,
    &EnterScalesDialog,
    &DiffractionCalculatorDialog,
    &TransferFunctionDialog,
    &RoomEqDialog,
    &MlsProcessPage,
    &ImportImpBoxDialog,
    &ImportLmsBoxDialog,
    &ImportClioBoxDialog,
    &ImportDaasBoxDialog,
    &MlsControlDialog,
    &MlsAcquirePageDialog,
    &MlsSplPageDialog,
    &EnterCreateCalibrationDialog,
    nullptr,
};

const platform::MenuTemplate* const kMenus[] = {
    &MainMenu,
    nullptr,
};

}  // namespace

void RegisterAll() {
    for (const platform::DialogTemplate* dialog : kDialogs)
        if (dialog) platform::RegisterDialogTemplate(dialog);
    for (const platform::MenuTemplate* menu : kMenus)
        if (menu) platform::RegisterMenu(menu);
}

}  // namespace resources
