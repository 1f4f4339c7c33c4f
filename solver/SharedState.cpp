#include "solver/SharedState.h"

#include "platform/ui/MessageBox.h"
#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/StartupAllocation.h"

namespace solver {

float* SystemCurve(int block) { return shell::SystemCurveTable[block]->v; }
const float* FrequencyGridData() { return shell::FrequencyGrid; }
const float* ExtendedGridData() { return shell::ExtendedFrequencyGrid; }
int CurrentOutputLayout() { return shell::OutputLayout; }
platform::HWND MessageOwner() { return shell::FrameWindow; }

void ShowSolverMessage(const char* text) {
    platform::MessageBox(MessageOwner(), text, "QV Message",
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

}  // namespace solver
