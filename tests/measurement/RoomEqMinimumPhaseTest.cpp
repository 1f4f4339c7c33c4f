// The room equalizer's grids and minimum-phase computations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>

#include "MeasurementTestSupport.h"
#include "driverdata/HbtTails.h"
#include "measurement/RoomEqMinimumPhase.h"
#include "shell/NetworkTables.h"
#include "solver/Globals.h"

namespace measurement::test {
namespace {

constexpr double kPi = 3.141592653589793;

// The analog peaking section: A^2 (as a level) at fc, unity far from it, minimum phase.
std::complex<double> Peak(double f, double fc, double gain_db, double q_value) {
    const double x = f / fc;
    const double a = std::pow(10.0, 0.025 * gain_db);
    const double q = gain_db < 0 ? a * q_value : q_value / a;
    return std::complex<double>(1 - x * x, x * a / q) /
           std::complex<double>(1 - x * x, x / (a * q));
}

class RoomEqMinimumPhaseTest : public MeasurementTest {
  protected:
    void SetUp() override {
        MeasurementTest::SetUp();
        BuildRoomEqGrids();
        shell::WorkingNetwork = shell::NetworkTables{};
        params_ = shell::WorkingNetwork.ElementParams[3];
        params_[shell::kParamF1] = 10.1f;
        params_[shell::kParamF2] = 250.0f;
        Preset();
    }
    static void Preset() {
        for (auto& p : solver::MinimumPhaseResult) p = {1.0f, 0.0f};
    }
    static float* Curve(int r) { return shell::RoomEQCurves[r]->v; }
    float* params_ = nullptr;
};

TEST_F(RoomEqMinimumPhaseTest, GridsAreTheFixedRoomRange) {
    EXPECT_NEAR(RoomEQFrequencyGrid[0], 10.0427, 1e-3);
    EXPECT_NEAR(RoomEQFrequencyGrid[1999], 50000.0, 1.0);
    EXPECT_NEAR(RoomEQExtendedGrid[0], 2.262, 1e-3);
    EXPECT_NEAR(RoomEQExtendedGrid[2699], 221968.0, 30.0);
    for (int k : {0, 500, 1999})
        EXPECT_FLOAT_EQ(RoomEQFrequencyGrid[k], RoomEQExtendedGrid[k + 350]);
    EXPECT_NEAR(driverdata::HbtPointsPerOctave(10.0f, 50000.0f), 163.657, 1e-3);
}

TEST_F(RoomEqMinimumPhaseTest, FlatCurvesGiveFlatResults) {
    struct Case {
        int record;
        float level;
        double magnitude;
        bool measured;
    };
    const Case cases[] = {{24, 0.0f, 1.0, false}, {32, -90.0f, std::pow(10.0, -4.5), true}};
    for (const Case& c : cases) {
        for (int k = 0; k < kRoomEqPoints; ++k) Curve(c.record)[k] = c.level;
        Preset();
        EXPECT_EQ(c.measured ? ComputeMeasuredMinimumPhase(3) : ComputeRoomEQMinimumPhase(3), 0);
        for (int k = 0; k < kRoomEqPoints; k += 37) {
            const std::complex<double> r(solver::MinimumPhaseResult[k].re,
                                         solver::MinimumPhaseResult[k].im);
            EXPECT_NEAR(std::abs(r), c.magnitude, 1e-4 * c.magnitude) << k;
            EXPECT_NEAR(std::arg(r), 0.0, 1e-4) << k;
        }
    }
}

TEST_F(RoomEqMinimumPhaseTest, EmptyBandLeavesThePreset) {
    for (int k = 0; k < kRoomEqPoints; ++k) Curve(24)[k] = -6.0f;
    for (float to : {20.0f, 10.0f}) {
        params_[shell::kParamF1] = 20.0f;
        params_[shell::kParamF2] = to;
        solver::MinimumPhaseResult[7] = {0.5f, 0.25f};
        EXPECT_EQ(ComputeRoomEQMinimumPhase(3), 1);
        EXPECT_EQ(solver::MinimumPhaseResult[7].re, 0.5f);
        EXPECT_EQ(solver::MinimumPhaseResult[7].im, 0.25f);
    }
    EXPECT_EQ(ComputeRoomEQMinimumPhase(shell::kMaxElements), 1);
}

TEST_F(RoomEqMinimumPhaseTest, CutGetsItsAnalogMinimumPhase) {
    // A -6 dB, Q 2 cut at 60 Hz as the correction level inside a 10.1 .. 250 Hz band.
    for (int k = 0; k < kRoomEqPoints; ++k)
        Curve(24)[k] = static_cast<float>(
            20.0 * std::log10(std::abs(Peak(RoomEQFrequencyGrid[k], 60.0, -6.0, 2.0))));
    ASSERT_EQ(ComputeRoomEQMinimumPhase(3), 0);
    for (int k = 0; RoomEQFrequencyGrid[k] < 200.0f; k += 11) {
        const double f = RoomEQFrequencyGrid[k];
        const std::complex<double> r(solver::MinimumPhaseResult[k].re,
                                     solver::MinimumPhaseResult[k].im);
        EXPECT_NEAR(std::arg(r) * 180.0 / kPi, std::arg(Peak(f, 60.0, -6.0, 2.0)) * 180.0 / kPi,
                    1.0)
            << f;
        if (f > 12.0) {
            EXPECT_NEAR(20.0 * std::log10(std::abs(r)), Curve(24)[k], 1e-3) << f;
        }
    }
}

// An analog Butterworth high-pass of `order` at fc: it rolls off 6 x order dB per octave and is
// minimum phase.
std::complex<double> HighPass(double f, double fc, int order) {
    std::complex<double> h = 1.0;
    const std::complex<double> s(0.0, f / fc);
    for (int k = 0; k < order / 2; ++k) {
        const double zeta = std::sin(kPi * (2 * k + 1) / (2.0 * order));
        h *= s * s / (s * s + 2.0 * zeta * s + 1.0);
    }
    return h;
}

TEST_F(RoomEqMinimumPhaseTest, ARollOffAtTheProjectedSlopeGetsItsMinimumPhase) {
    // The projected slope continues the room's level below 10 Hz, and below the grid too.
    struct Case {
        double fc;
        int order;
        float slope;         // typed projected slope, dB per octave
        double at20, above;  // largest phase error (degrees) at 20 Hz and from 25 to 250 Hz
    } cases[] = {
        {40.0, 2, 12.0f, 2.0, 1.0}, {30.0, 4, 24.0f, 2.0, 1.0}, {60.0, 2, 12.0f, 2.0, 1.0}};
    for (const Case& c : cases) {
        for (int k = 0; k < kRoomEqPoints; ++k)
            Curve(32)[k] = static_cast<float>(
                20.0 * std::log10(std::abs(HighPass(RoomEQFrequencyGrid[k], c.fc, c.order))));
        params_[shell::kParamProjectedSlope] = c.slope;
        ASSERT_EQ(ComputeMeasuredMinimumPhase(3), 0);
        double worst = 0.0, at20 = 0.0;
        for (int k = 0; RoomEQFrequencyGrid[k] < 250.0f; ++k) {
            const double f = RoomEQFrequencyGrid[k];
            const std::complex<double> r(solver::MinimumPhaseResult[k].re,
                                         solver::MinimumPhaseResult[k].im);
            const double e = std::fabs(std::remainder(
                                 std::arg(r) - std::arg(HighPass(f, c.fc, c.order)), 2.0 * kPi)) *
                             180.0 / kPi;
            if (f >= 25.0) worst = std::max(worst, e);
            if (f < 20.0) at20 = e;
        }
        EXPECT_LE(at20, c.at20) << c.fc << " Hz, order " << c.order;
        EXPECT_LE(worst, c.above) << c.fc << " Hz, order " << c.order;
    }
}

TEST_F(RoomEqMinimumPhaseTest, MeasuredLevelAbove498HzIsHeld) {
    // Two averages that agree below 498 Hz give the same result.
    shell::ComplexPoint first[kRoomEqPoints];
    for (int pass = 0; pass < 2; ++pass) {
        for (int k = 0; k < kRoomEqPoints; ++k) {
            const float f = RoomEQFrequencyGrid[k];
            Curve(32)[k] = -10.0f * std::log10(f) + (f > 498.5f ? 20.0f * pass : 0.0f);
        }
        ASSERT_EQ(ComputeMeasuredMinimumPhase(3), 0);
        if (pass == 0) {
            std::copy(solver::MinimumPhaseResult, solver::MinimumPhaseResult + kRoomEqPoints,
                      first);
            continue;
        }
        for (int k = 0; k < kRoomEqPoints; k += 13) {
            EXPECT_EQ(first[k].re, solver::MinimumPhaseResult[k].re) << k;
            EXPECT_EQ(first[k].im, solver::MinimumPhaseResult[k].im) << k;
        }
    }
}

}  // namespace
}  // namespace measurement::test
