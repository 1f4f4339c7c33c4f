// Output-port minimum-phase correction against the analytic phase of minimum-phase responses.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "solver/MinimumPhase.h"
#include "tests/solver/SolverTestSupport.h"

namespace {

using Complex = std::complex<double>;
using namespace solver::test;
constexpr double kPi = 3.14159265358979323846;

class MinimumPhase : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetSolverWorld();
        NewNetwork(2);
        port_ = AddPort(0, 1, 1.0f);
    }
    // Loads the driver response h(f) on FrequencyGrid into the port element.
    template <class Fn>
    void LoadDriver(Fn h) {
        shell::ElementDriverBlock& d = shell::WorkingNetwork.ElementDriverData[port_];
        for (int k = 0; k < 2000; ++k) {
            const Complex z = h(static_cast<double>(shell::FrequencyGrid[k]));
            d.Real[k] = static_cast<float>(z.real());
            d.Imag[k] = static_cast<float>(z.imag());
        }
    }
    void SetBand(float f1, float f2) {
        shell::WorkingNetwork.ElementParams[port_][shell::kParamF1] = f1;
        shell::WorkingNetwork.ElementParams[port_][shell::kParamF2] = f2;
    }
    Complex Result(int k) const {
        return {solver::MinimumPhaseResult[k].re, solver::MinimumPhaseResult[k].im};
    }
    int port_ = 0;
};

TEST_F(MinimumPhase, NoDriverGivesUnity) {
    SetBand(20.0f, 20000.0f);
    ASSERT_EQ(solver::CalculateOutputHilbertBode(port_), 0);
    for (int k = 0; k < 2000; ++k) {
        ASSERT_NEAR(Result(k).real(), 1.0, 1e-6) << k;
        ASSERT_NEAR(Result(k).imag(), 0.0, 1e-6) << k;
    }
}

TEST_F(MinimumPhase, ConstantLevelGivesZeroPhase) {
    for (double db : {-12.0, 6.0}) {
        LoadDriver([db](double) { return Complex(0.0, std::pow(10.0, db / 20.0)); });
        SetBand(50.0f, 5000.0f);
        solver::CalculateOutputHilbertBode(port_);
        for (int k = 0; k < 2000; k += 37) {
            EXPECT_NEAR(std::abs(Result(k)), std::pow(10.0, db / 20.0), 1e-4) << k;
            EXPECT_NEAR(std::arg(Result(k)), 0.0, 1e-6) << k;
        }
    }
}

TEST_F(MinimumPhase, FirstOrderShelfGetsItsAnalyticPhase) {
    // (1 + jf/200) / (1 + jf/2000): a 20 dB rise between 200 Hz and 2 kHz, minimum phase.
    auto shelf = [](double f) { return Complex(1.0, f / 200.0) / Complex(1.0, f / 2000.0); };
    LoadDriver(shelf);
    SetBand(10.0f, 49000.0f);
    solver::CalculateOutputHilbertBode(port_);
    double worst = 0.0;
    for (int k = 0; k < 2000; ++k) {
        const double f = shell::FrequencyGrid[k];
        if (f < 20.0 || f > 20000.0) continue;
        const double want = std::arg(shelf(f)) * 180.0 / kPi;
        const double got = std::arg(Result(k)) * 180.0 / kPi;
        worst = std::fmax(worst, std::fabs(got - want));
        EXPECT_NEAR(std::abs(Result(k)), std::abs(shelf(f)), 2e-3 * std::abs(shelf(f))) << f;
    }
    EXPECT_LT(worst, 0.5) << "largest phase error in degrees";
    // The phase peaks near the geometric middle of the shelf at about 55 degrees.
    const double peak = std::arg(shelf(std::sqrt(200.0 * 2000.0))) * 180.0 / kPi;
    EXPECT_NEAR(peak, 54.9, 0.1);
}

TEST_F(MinimumPhase, LevelIsHeldOutsideTheBand) {
    // A steady slope of 6 dB per octave; with a band of 100 Hz .. 5 kHz the magnitude below
    // and above is that of the band edges, and the phase is a lead inside the band.
    LoadDriver([](double f) { return Complex(f / 1000.0, 0.0); });
    SetBand(100.0f, 5000.0f);
    solver::CalculateOutputHilbertBode(port_);
    const float* g = shell::ExtendedFrequencyGrid;
    int i1 = 0;
    int i2 = 0;
    for (int j = 0; j < 2700; ++j) {
        if (g[j] <= 100.0f) i1 = j;
        if (g[j] <= 5000.0f) i2 = j;
    }
    // Extended index i holds common bin i - 350.
    const double low = std::abs(Result(i1 + 1 - 350));
    const double high = std::abs(Result(i2 - 1 - 350));
    for (int k = 0; k < i1 - 350; ++k) ASSERT_NEAR(std::abs(Result(k)), low, 1e-6 * low) << k;
    for (int k = i2 - 350; k < 2000; ++k) ASSERT_NEAR(std::abs(Result(k)), high, 1e-6 * high) << k;
    EXPECT_NEAR(high / low, 50.0, 3.0);
    const int mid = (i1 + i2) / 2 - 350;
    EXPECT_GT(std::arg(Result(mid)), 0.5) << "a rising level leads";
}

TEST_F(MinimumPhase, BandEdgesOutsideTheGridAreLimitedAndNotStored) {
    SetBand(1.0f, 90000.0f);
    LoadDriver([](double f) { return Complex(1.0, f / 1000.0); });
    solver::CalculateOutputHilbertBode(port_);
    EXPECT_EQ(shell::WorkingNetwork.ElementParams[port_][shell::kParamF1], 1.0f);
    EXPECT_EQ(shell::WorkingNetwork.ElementParams[port_][shell::kParamF2], 90000.0f);
    for (int k = 0; k < 2000; ++k) {
        ASSERT_TRUE(std::isfinite(Result(k).real()) && std::isfinite(Result(k).imag())) << k;
    }
}

}  // namespace
