// frame::ResetProgram gives a few variables of every folder, the frame's own included, back the
// value they held when the program started, whatever the tests before them changed.
#include <gtest/gtest.h>

#include "driverdata/HbtEditor.h"
#include "engine/Globals.h"
#include "frame/ColourEditing.h"
#include "frame/ResetProgram.h"
#include "measurement/Globals.h"
#include "network/EditorState.h"
#include "shell/FrameGlobals.h"
#include "shell/Globals.h"
#include "solver/Globals.h"
#include "tests/StartValues.h"

namespace frame {
namespace {

const qvtest::StartBytes& kProgramStart = qvtest::KeepStartBytes({
    QV_STATE(shell::OutputLayout),
    QV_STATE(shell::ProjectFilePath),
    QV_STATE(network::ActivePane),
    QV_STATE(solver::SplScaleTopText),
    QV_STATE(driverdata::HbtCursorX),
    QV_STATE(measurement::MlsImpulseStart),
    QV_STATE(engine::MasterGain),
    QV_STATE(ColourEditState),
});

TEST(FrameStartValues, ResetProgramReachesEveryFolderAndTheFrame) {
    ASSERT_TRUE(kProgramStart.Kept());
    kProgramStart.Scramble();
    ResetProgram();
    EXPECT_EQ(kProgramStart.Changed(), "") << "variables the program's reset leaves behind";
}

}  // namespace
}  // namespace frame
