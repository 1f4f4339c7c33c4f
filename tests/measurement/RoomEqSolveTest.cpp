// Done's curve reaches the channel: the solved SPL of a channel with a room-EQ element changes by
// the correction at each frequency.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "measurement/RoomEq.h"
#include "measurement/RoomEqLocation.h"
#include "measurement/RoomEqMinimumPhase.h"
#include "tests/solver/SolverTestSupport.h"

namespace measurement::test {
namespace {

TEST(RoomEqSolve, SolvedChannelCarriesTheCorrection) {
    solver_test::ResetSolverWorld();
    BuildRoomEqGrids();
    for (int r = 0; r < shell::kRoomEqCurveCount; ++r)
        std::memset(shell::RoomEQCurves[r], 0, sizeof(shell::CurveRecord));
    solver_test::NewNetwork(4);
    solver_test::AddInput(0, 1.0f);
    const int eq = solver_test::AddElement(shell::kElementRoomEq, 0, 1);
    solver_test::AddFilter(1, 2, 1.0f, 1.0f, 20000.0f);
    solver_test::AddPort(2, 3, 5.0f);
    solver_test::AddGround(3);
    float* p = shell::WorkingNetwork.ElementParams[eq];
    p[shell::kParamF1] = 30.0f;
    p[shell::kParamF2] = 120.0f;
    p[shell::kParamCorrectionPort] = 16.0f;
    network::ActivePane = 1;
    ASSERT_EQ(solver::SolveNetwork(), 0);
    std::vector<float> flat(shell::SystemCurveTable[4]->v, shell::SystemCurveTable[4]->v + shell::kGridPoints);

    // One location 6 dB over the threshold everywhere: a 6 dB cut from 30 to 120 Hz.
    float* level = shell::RoomEQCurves[kRoomEqLevel]->v;
    for (int j = 0; j < kRoomEqPoints; ++j) level[j] = 6.0f;
    level[shell::kCurveHoldsData] = 1.0f;
    RoomEQThresholdPos = 70;
    ASSERT_EQ(EvaluateRoomEq(eq), 0);
    ASSERT_EQ(StoreRoomEqCorrection(eq), 0);
    ASSERT_EQ(solver::SolveNetwork(), 0);
    const float* corrected = shell::SystemCurveTable[4]->v;
    struct Case {
        double f;
        double cut_db;
    };
    const Case cases[] = {{15.0, 0.0}, {60.0, -6.0}, {100.0, -6.0}, {1000.0, 0.0}};
    for (const Case& c : cases) {
        int i = 0;
        while (shell::FrequencyGrid[i] < c.f) ++i;
        EXPECT_NEAR(corrected[i] - flat[i], c.cut_db, 0.05) << c.f;
    }
}

}  // namespace
}  // namespace measurement::test
