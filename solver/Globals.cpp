#include "solver/Globals.h"

#include <algorithm>
#include <cstring>

#include "solver/NodalSolution.h"
#include "solver/OutputPortDialog.h"

namespace solver {

std::int32_t RoutingMatrix[kInputPorts][kOutputPorts];
std::int32_t PlotFamilyFlagsBackup[kPlotFamilies];
char SplScaleTopText[11];
char SplScaleStepText[11];
float ExtendedWorkCurve[shell::kExtendedGridPoints];
std::int32_t OutputPhasing[kOutputPorts];
float OutputDelay[kOutputPorts];
SpectrumStamp FirSpectrumStamps[kOutputPorts];
std::int32_t PlottedPane;
shell::ComplexPoint MinimumPhaseResult[shell::kGridPoints];

namespace {

// The one place of this file's start values (before main runs, and on every reset).
void SetStartValues() {
    std::fill(&RoutingMatrix[0][0], &RoutingMatrix[0][0] + kInputPorts * kOutputPorts, 0);
    std::fill_n(PlotFamilyFlagsBackup, kPlotFamilies, 0);
    std::memset(SplScaleTopText, 0, sizeof SplScaleTopText);
    std::memset(SplScaleStepText, 0, sizeof SplScaleStepText);
    std::memcpy(SplScaleTopText, "90", 2);
    std::memcpy(SplScaleStepText, "5", 1);
    std::fill_n(OutputPhasing, kOutputPorts, 0);
    std::fill_n(OutputDelay, kOutputPorts, 0.0f);
    std::fill_n(FirSpectrumStamps, kOutputPorts, SpectrumStamp{0, 0, 0});
    PlottedPane = 0;
    std::fill_n(MinimumPhaseResult, shell::kGridPoints, shell::ComplexPoint{0.0f, 0.0f});
}

[[maybe_unused]] const bool kStartValuesReady = (SetStartValues(), true);

}  // namespace

void ResetGlobals() {
    SetStartValues();
    ResetKeeleRamps();
    ResetOutputPortDialog();
}

}  // namespace solver
