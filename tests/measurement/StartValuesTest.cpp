// measurement::ResetGlobals gives every variable of the measurement back the value it held when
// the program started, whatever the tests before it changed: shuffled runs depend on it.
#include <gtest/gtest.h>

#include "measurement/CaptureFile.h"
#include "measurement/Globals.h"
#include "measurement/MlsPlots.h"
#include "measurement/MlsProcess.h"
#include "measurement/MlsWindows.h"
#include "measurement/RoomEq.h"
#include "measurement/RoomEqLocation.h"
#include "measurement/RoomEqMinimumPhase.h"
#include "shell/Globals.h"
#include "tests/StartValues.h"

namespace measurement {
namespace {

const qvtest::StartBytes& kStart = qvtest::KeepStartBytes({
    // Globals
    QV_STATE(MlsOrder),
    QV_STATE(MlsImpulseStart),
    QV_STATE(MlsLinPhase),
    QV_STATE(SmoothingPasses),
    QV_STATE(MlsImpulseValid),
    QV_STATE(MlsRefPeak),
    QV_STATE(MlsInPeak),
    QV_STATE(MlsRefPeakLevel),
    QV_STATE(MlsInPeakLevel),
    QV_STATE(MlsRefCorrection),
    QV_STATE(MlsSplSlot),
    QV_STATE(MlsPhaseSlot),
    QV_STATE(MlsSplCalculated),
    QV_STATE(MlsStatusLine),
    QV_STATE(MlsCaptureHeld),
    QV_STATE(MlsCaptureRateIndex),
    QV_STATE(MlsCaptureLengthIndex),
    QV_STATE(CalHpFamily),
    QV_STATE(CalHpSlope),
    QV_STATE(CalHpFrequency),
    QV_STATE(CalLpFamily),
    QV_STATE(CalLpSlope),
    QV_STATE(CalLpFrequency),
    QV_STATE(CalQ),
    QV_STATE(CalGainDb),
    QV_STATE(CalInvert),
    // The room equalizer
    QV_STATE(RoomEQLocation),
    QV_STATE(RoomEQThresholdPos),
    QV_STATE(RoomEQThresholdLine),
    QV_STATE(RoomEQShowEqPhase),
    QV_STATE(RoomEQShowEqSpl),
    QV_STATE(RoomEQShowEqualized),
    QV_STATE(RoomEQRefPeakLevel),
    QV_STATE(RoomEQInPeakLevel),
    QV_STATE(RoomEQImpulseRates),
    QV_STATE(RoomEQStartFrequencyIndex),
    QV_STATE(RoomEQStopFrequencyIndex),
    // The process page, the MLS windows and the capture file names
    QV_STATE(ProcessBufferSigns),
    QV_STATE(ProcessMergeSource1Text),
    QV_STATE(ProcessMergeSource2Text),
    QV_STATE(ProcessMergeFrequencyText),
    QV_STATE(ProcessAddDbText),
    QV_STATE(ProcessAddDbDestText),
    QV_STATE(ProcessDelayMsText),
    QV_STATE(ProcessDelayDestText),
    QV_STATE(ProcessDiffractionDestText),
    QV_STATE(ProcessCopyDestText),
    QV_STATE(ProcessPhaseSource1Text),
    QV_STATE(ProcessPhaseSource2Text),
    QV_STATE(MlsControlTab),
    QV_STATE(MlsControlPage),
    QV_STATE(MlsSplTab),
    QV_STATE(MlsSplPage),
    QV_STATE(MlsSplPageIndex),
    QV_STATE(MlsSplPlotWidth),
    QV_STATE(MlsSplPlotHeight),
    QV_STATE(MlsImpClientWidth),
    QV_STATE(MlsImpClientHeight),
    QV_STATE(MlsImpScrollPosition),
    QV_STATE(MlsImpCursorX),
    QV_STATE(MlsCopyCount),
    QV_STATE(MlsSplPickedCurve),
    QV_STATE(MlsCalPickedCurve),
    QV_STATE(MlsPostPickedBuffer),
    QV_STATE(MlsFilePath),
    QV_STATE(MlsFileTitle),
});

TEST(MeasurementStartValues, ResetGivesBackEveryStartValue) {
    ASSERT_TRUE(kStart.Kept());
    shell::ResetGlobals();  // the smoothing passes follow the preferences
    kStart.Scramble();
    ResetGlobals();
    EXPECT_EQ(kStart.Changed(), "") << "variables the reset leaves as a test left them";
}

}  // namespace
}  // namespace measurement
