// driverdata::ResetGlobals gives every setting of the Hilbert-Bode editor and the diffraction
// calculator back the value it held when the program started, whatever the tests before it
// changed: shuffled runs depend on it.
#include <gtest/gtest.h>

#include "driverdata/EdgeDiffraction.h"
#include "driverdata/Globals.h"
#include "driverdata/HbtEditor.h"
#include "tests/StartValues.h"

namespace driverdata {
namespace {

const qvtest::StartBytes& kStart = qvtest::KeepStartBytes({
    QV_STATE(HbtPlotWidth),
    QV_STATE(HbtPlotHeight),
    QV_STATE(ShowReferencePhase),
    QV_STATE(HbtDistancePosition),
    QV_STATE(HbtCursorBin),
    QV_STATE(HbtCursorX),
    QV_STATE(HbtLeftDrag),
    QV_STATE(HbtRightDrag),
    QV_STATE(HbtLineStartBin),
    QV_STATE(HbtLineStopBin),
    QV_STATE(HbtLineStartY),
    QV_STATE(HbtLineStopY),
    QV_STATE(EdgeProfile),
    QV_STATE(EdgeBevelA),
    QV_STATE(EdgeBevelB),
    QV_STATE(EdgeRoundRadius),
    QV_STATE(DiffractionDirectivity),
    QV_STATE(DiffractionShowPhase),
    QV_STATE(DiffractionDipole),
    QV_STATE(DiffractionListIndex),
    QV_STATE(DiffractionSplSlot),
    QV_STATE(DiffractionPhaseSlot),
    QV_STATE(DiffractionPowerSlot),
    QV_STATE(DiffractionAccumulator),
    QV_STATE(DiffractionFastTurns),
});

TEST(DriverDataStartValues, ResetGivesBackEveryStartValue) {
    ASSERT_TRUE(kStart.Kept());
    kStart.Scramble();
    ResetGlobals();
    EXPECT_EQ(kStart.Changed(), "") << "variables the reset leaves as a test left them";
}

}  // namespace
}  // namespace driverdata
