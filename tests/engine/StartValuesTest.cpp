// engine::ResetGlobals gives every variable of the engine back the value it held when the program
// started, and the engine tests' reset reaches every folder below, whatever the tests before them
// changed: shuffled runs depend on it.
#include <gtest/gtest.h>

#include "driverdata/EdgeDiffraction.h"
#include "driverdata/HbtEditor.h"
#include "engine/Convolution.h"
#include "engine/Globals.h"
#include "engine/WaveDevices.h"
#include "measurement/Globals.h"
#include "measurement/RoomEq.h"
#include "network/EditorState.h"
#include "shell/FrameGlobals.h"
#include "shell/Globals.h"
#include "shell/PreferencesRecord.h"
#include "solver/Globals.h"
#include "tests/StartValues.h"
#include "tests/engine/EngineTestSupport.h"

namespace engine {
namespace {

const qvtest::StartBytes& kEngineStart = qvtest::KeepStartBytes({
    QV_STATE(MasterGain),
    QV_STATE(OutputTrims),
    QV_STATE(LastTouchedTrim),
    QV_STATE(SubwooferOutputNumbers),
    QV_STATE(RearOutputNumbers),
    QV_STATE(TestToneText),
    QV_STATE(TestToneFrequency),
    QV_STATE(TestToneSelector),
    QV_STATE(TestTonePhase),
    QV_STATE(PlayWavMode),
    QV_STATE(WavModeOfRun),
    QV_STATE(PlayOpenedWith),
    QV_STATE(InputBufferCount),
    QV_STATE(OutputBufferCount),
    QV_STATE(ConvolutionUseWideVectors),
    QV_STATE(ConvolutionUseFusedMultiplyAdd),
    QV_STATE(ConvolutionUse512BitVectors),
});

// A few variables of every folder, from the bottom of the link graph up.
const qvtest::StartBytes& kProgramStart = qvtest::KeepStartBytes({
    QV_STATE(shell::OutputLayout),
    QV_STATE(shell::FileWriteFaultAfterBytes),
    QV_STATE(shell::SpeedOfSoundText),
    QV_STATE(shell::ProjectFilePath),
    QV_STATE(network::ActivePane),
    QV_STATE(network::PaneWindows),
    QV_STATE(solver::SplScaleTopText),
    QV_STATE(solver::OutputPhasing),
    QV_STATE(driverdata::EdgeBevelA),
    QV_STATE(driverdata::HbtCursorX),
    QV_STATE(measurement::MlsImpulseStart),
    QV_STATE(measurement::CalLpFrequency),
    QV_STATE(measurement::RoomEQThresholdPos),
    QV_STATE(MasterGain),
    QV_STATE(TestToneText),
});

TEST(EngineStartValues, ResetGivesBackEveryStartValue) {
    ASSERT_TRUE(kEngineStart.Kept());
    kEngineStart.Scramble();
    ResetGlobals();
    EXPECT_EQ(kEngineStart.Changed(), "") << "variables the reset leaves as a test left them";
}

TEST(EngineStartValues, ResetFoldersReachesEveryFolder) {
    ASSERT_TRUE(kProgramStart.Kept());
    kProgramStart.Scramble();
    test::ResetFolders();
    EXPECT_EQ(kProgramStart.Changed(), "") << "variables the folders' resets leave behind";
}

}  // namespace
}  // namespace engine
