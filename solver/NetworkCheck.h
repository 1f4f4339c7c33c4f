// The gate in front of the nodal solution: validates the working network, refuses output ports
// claimed twice across the seven panes and port numbers out of range, and rebuilds the routing
// matrix and the visible flags of the plotted curves.
#pragma once

namespace solver {

// Result codes of CheckSystemNetwork; every non-zero code follows one "QV Message" box.
enum CheckResult : int {
    kCheckOk = 0,
    kCheckStructure = 1,      // structural fault or output port out of range
    kCheckInputPort = 2,      // input port out of range
    kCheckDuplicatePort = 4,  // an output port claimed twice (or more than 16 ports)
    kCheckEightOutputs = 5,   // more than 8 routes with the "8 Outputs" layout
};

// Visible-flag blocks of SystemCurveTable, per PlotFamilyFlags word.
inline constexpr int kFamilyBlockBase[12] = {0, 16, 32, 48, 64, 80, 96, 112, 129, 130, 133, 149};
inline constexpr int kFamilySystemSpl = 8;
inline constexpr int kFamilySystemPhase = 9;

// Checks the working network (UI thread; never while audio runs). Returns a CheckResult.
int CheckSystemNetwork();

}  // namespace solver
