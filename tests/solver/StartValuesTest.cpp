// solver::ResetGlobals gives every variable of the solver back the value it held when the
// program started, whatever the tests before it changed: shuffled runs depend on it.
#include <gtest/gtest.h>

#include "solver/Globals.h"
#include "solver/OutputPortDialog.h"
#include "tests/StartValues.h"

namespace solver {
namespace {

const qvtest::StartBytes& kStart = qvtest::KeepStartBytes({
    QV_STATE(RoutingMatrix),
    QV_STATE(PlotFamilyFlagsBackup),
    QV_STATE(SplScaleTopText),
    QV_STATE(SplScaleStepText),
    QV_STATE(OutputPhasing),
    QV_STATE(OutputDelay),
    QV_STATE(FirSpectrumStamps),
    QV_STATE(PlottedPane),
    QV_STATE(MinimumPhaseResult),
    QV_STATE(OutputPortDriverPath),
});

TEST(SolverStartValues, ResetGivesBackEveryStartValue) {
    ASSERT_TRUE(kStart.Kept());
    kStart.Scramble();
    ResetGlobals();
    EXPECT_EQ(kStart.Changed(), "") << "variables the reset leaves as a test left them";
}

}  // namespace
}  // namespace solver
