// The shared gain-to-phase integral: the batched sum reproduces the term-by-term sum bit for bit
// in both roundings, and the phase of known minimum-phase levels comes out.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "solver/GainPhaseIntegral.h"

namespace {

constexpr int kN = solver::kGainPhasePoints;

// A grid of the default spacing (10 Hz .. 50 kHz over 2000 points, extended 350 / 350).
std::vector<float> Grid() {
    std::vector<float> g(kN);
    const double a = 2000.0 / std::log10(5000.0);
    for (int j = 0; j < kN; ++j) g[j] = static_cast<float>(10.0 * std::pow(10.0, (j - 349) / a));
    return g;
}

// A wavy level with a rise and a fall, so that no term vanishes.
std::vector<float> Levels(const std::vector<float>& g) {
    std::vector<float> w(kN);
    for (int j = 0; j < kN; ++j) {
        const double x = std::log10(g[j]);
        w[j] = static_cast<float>(80.0 + 6.0 * std::sin(3.0 * x) - 2.0 * x);
    }
    return w;
}

TEST(GainPhaseIntegral, BatchedSumEqualsTheTermByTermSumBitForBit) {
    const std::vector<float> g = Grid();
    const std::vector<float> w = Levels(g);
    for (bool single : {false, true}) {
        const solver::GainPhaseInput in{g.data(), w.data(), 0.5, -0.25, single};
        std::vector<double> phase(kN, 0.0);
        solver::GainPhaseIntegral(in, 0, kN, phase.data());
        // A range of one point is summed term by term; the full range goes eight lanes at a
        // time (the points around each lane's singular terms included).
        for (int i : {0, 1, 7, 8, 9, 350, 1000, 1777, 2349, 2691, 2692, 2698, 2699}) {
            std::vector<double> one(kN, 0.0);
            solver::GainPhaseIntegral(in, i, i + 1, one.data());
            EXPECT_EQ(phase[i], one[i]) << "point " << i << (single ? " single" : " extended");
            EXPECT_TRUE(std::isfinite(solver::GainPhaseSumReference(in, i)));
        }
    }
}

TEST(GainPhaseIntegral, FlatLevelsGiveZeroPhaseAndSlopesMoveOnlyTheEndCorrections) {
    const std::vector<float> g = Grid();
    std::vector<float> w(kN, 0.0f);
    std::vector<double> phase(kN, 1.0);
    solver::GainPhaseIntegral({g.data(), w.data(), 0.0, 0.0, true}, 0, kN, phase.data());
    for (int i = 0; i < kN; ++i) ASSERT_EQ(phase[i], 0.0) << i;
    // Any other flat level: the tail intercepts are that level to rounding.
    w.assign(kN, 37.5f);
    solver::GainPhaseIntegral({g.data(), w.data(), 0.0, 0.0, true}, 0, kN, phase.data());
    for (int i = 0; i < kN; ++i) ASSERT_NEAR(phase[i], 0.0, 1e-12) << i;
    // The slopes enter only the end corrections: -(2 w0 / pi) / wi (ln w0 - 1) mL below and
    // (2 / (pi wN)) wi (-(ln wN + 1) mH) above (pi and 2 pi as the program writes them).
    std::vector<double> flat(kN), low(kN), high(kN);
    solver::GainPhaseIntegral({g.data(), w.data(), 0.0, 0.0, true}, 1000, 1001, flat.data());
    solver::GainPhaseIntegral({g.data(), w.data(), 2.0, 0.0, true}, 1000, 1001, low.data());
    solver::GainPhaseIntegral({g.data(), w.data(), 0.0, 3.0, true}, 1000, 1001, high.data());
    const double w0 = static_cast<float>(6.284 * g[0]);
    const double wn = static_cast<float>(6.284 * g[kN - 1]);
    const double wi = 6.284 * g[1000];
    EXPECT_NEAR(low[1000] - flat[1000], -(2.0 * w0 / 3.142) / wi * (std::log(w0) - 1.0) * 2.0,
                1e-12);
    EXPECT_NEAR(high[1000] - flat[1000], 2.0 / (3.142 * wn) * wi * -(std::log(wn) + 1.0) * 3.0,
                1e-12);
}

}  // namespace
