// Port responses, curves, the system sum and the resampling, against arithmetic done here.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "solver/FilterSections.h"
#include "solver/PortResponses.h"
#include "solver/SharedState.h"
#include "solver/SolveNetwork.h"
#include "tests/solver/SolverTestSupport.h"

namespace {

using Complex = std::complex<double>;
using namespace solver::test;
constexpr double kPi = 3.14159265358979323846;

class PortResponses : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetSolverWorld();
        shell::Project.Settings.UseHbtData = 0;
        shell::Project.Settings.SplOnlyEq = 0;
        shell::Project.Settings.SampleRateIndex = 5;
    }
};

double LevelDb(Complex z) { return 10.0 * std::log10(std::norm(z) + 1e-16); }
// Phase as the curves carry it: degrees with 57.288 per radian.
double CurveDeg(Complex z) { return z.real() == 0.0 ? 0.0 : std::arg(z) * 57.288; }
double Wrap(double deg) {
    // The curves wrap at 180 x 57.288 / 57.2958 degrees; compare modulo that turn.
    const double turn = 2.0 * kPi * 57.288;
    double d = std::fmod(deg, turn);
    if (d > turn / 2) d -= turn;
    if (d < -turn / 2) d += turn;
    return d;
}

Complex Lr4LowPass(double x) {
    const Complex s(0.0, x);
    const Complex b = 1.0 / (s * s + std::sqrt(2.0) * s + 1.0);
    return b * b;
}

// Input 0 -> Linkwitz low pass (LP -24) -> node 1 -> port `port` grounded on node 2.
int OnePortChannel(float port, float fo) {
    NewNetwork(3);
    AddInput(0, 1.0f);
    AddFilter(0, 1, 2.0f, 3.0f, fo);
    const int slot = AddPort(1, 2, port);
    AddGround(2);
    return slot;
}

TEST_F(PortResponses, CurvesOfOnePort) {
    const int slot = OnePortChannel(3.0f, 1000.0f);
    float* p = shell::WorkingNetwork.ElementParams[slot];
    p[shell::kParamOutputGain] = 6.0f;
    p[shell::kParamPolarity] = -1.0f;
    p[shell::kParamDelay] = 0.25f;
    shell::ElementDriverBlock& d = shell::WorkingNetwork.ElementDriverData[slot];
    for (int k = 0; k < 2000; ++k) {
        d.Spl[k] = 84.0f;  // -6 dB against 90
        d.Phase[k] = 30.0f;
        shell::WorkingNetwork.ElementTransfer[slot][k] = {0.0f, 2.0f};  // +6 dB, +90 degrees
    }
    network::ActivePane = 1;
    ASSERT_EQ(solver::SolveNetwork(), 0);
    EXPECT_EQ(solver::OutputPhasing[2], -1);
    EXPECT_EQ(solver::OutputDelay[2], 0.25f);
    for (int k : {0, 400, 1000, 1600, 1999}) {
        const double f = shell::FrequencyGrid[k];
        const Complex r = Lr4LowPass(f / 1000.0) * (10.0 / 10.0001) * std::pow(10.0, 0.3);
        const Complex drv = std::polar(std::pow(10.0, -0.3), 30.0 * kPi / 180.0);
        const Complex e(0.0, 2.0);
        const Complex fin = r * e * drv;
        const Complex shown = -fin * std::polar(1.0, -2.0 * kPi * f * 0.25e-3);
        auto curve = [](int block, int index) { return shell::SystemCurveTable[block]->v[index]; };
        const double tol = 0.02;
        if (LevelDb(r) > -100.0) {
            EXPECT_NEAR(curve(2, k), LevelDb(r), tol) << "Filter SPL at " << f;
            EXPECT_NEAR(Wrap(curve(66, k) - CurveDeg(r)), 0.0, 0.1) << "Filter Phase at " << f;
            EXPECT_NEAR(curve(50, k), LevelDb(shown), tol) << "Final SPL at " << f;
            EXPECT_NEAR(Wrap(curve(114, k) - CurveDeg(shown)), 0.0, 0.2) << "Final Phase " << f;
            EXPECT_NEAR(curve(135, k), LevelDb(r * e), tol) << "HBT + Filter SPL at " << f;
        }
        EXPECT_NEAR(curve(18, k), -6.0, 1e-3) << "Driver SPL";
        // 30 degrees in, 1/57.288 to radians and 57.288 back: 30 degrees out.
        EXPECT_NEAR(curve(82, k), 30.0, 0.01) << "Driver Phase";
        EXPECT_NEAR(curve(34, k), 20.0 * std::log10(2.0), 1e-3) << "HBT SPL";
        // A real part of exactly 0 is drawn with phase 0.
        EXPECT_EQ(curve(98, k), 0.0f) << "HBT Phase";
        const shell::ComplexPoint stored = shell::FinalResponseTable[2][k];
        // The stored Butterworth coefficients (1.414, divisor 2) differ from the exact ones by
        // 3e-4.
        EXPECT_NEAR(std::abs(Complex(stored.re, stored.im) - fin), 0.0,
                    1e-3 * std::abs(fin) + 1e-9);
    }
    // Pens come from the colour scheme rows.
    EXPECT_EQ(shell::SystemCurveTable[2]->v[2001], float(shell::CurveColourScheme[1].Red));
    EXPECT_EQ(shell::SystemCurveTable[114]->v[2005], float(shell::CurveColourScheme[8].Type));
    EXPECT_EQ(shell::SystemCurveTable[149 + 2]->v[2002], float(shell::CurveColourScheme[15].Green));
}

TEST_F(PortResponses, SystemSumAddsLevelsUnlessSplOnlyEq) {
    // Two ports, one through a low pass, one through a high pass, same level at Fo.
    NewNetwork(5);
    AddInput(0, 1.0f);
    AddFilter(0, 1, 1.0f, 1.0f, 1000.0f);  // Butterworth LP-12
    AddPort(1, 2, 1.0f);
    AddFilter(0, 3, 1.0f, 6.0f, 1000.0f);  // Butterworth HP-12
    AddPort(3, 4, 2.0f);
    AddGround(2);
    AddGround(4);
    ASSERT_EQ(solver::SolveNetwork(), 0);
    int k_fo = 0;
    for (int k = 0; k < 2000; ++k) {
        if (std::fabs(shell::FrequencyGrid[k] - 1000.0f) <
            std::fabs(shell::FrequencyGrid[k_fo] - 1000.0f))
            k_fo = k;
    }
    const float one = shell::SystemCurveTable[0]->v[k_fo];
    const float two = shell::SystemCurveTable[1]->v[k_fo];
    ASSERT_NEAR(one, two, 0.05);
    // Magnitudes add whatever the phases (the two are 180 degrees apart at Fo).
    EXPECT_NEAR(shell::SystemCurveTable[129]->v[k_fo], one + 6.02, 0.05);
    // With SPL Only EQ the phases count: the two cancel to far below either port.
    shell::Project.Settings.SplOnlyEq = 1;
    ASSERT_EQ(solver::SolveNetwork(), 0);
    EXPECT_LT(shell::SystemCurveTable[129]->v[k_fo], one - 20.0f);
    // A port whose plot flag is 0 stays out of the sum but keeps its curves.
    shell::Project.Settings.SplOnlyEq = 0;
    shell::WorkingNetwork.ElementParams[4][shell::kParamPlotFlag] = 0.0f;
    ASSERT_EQ(solver::SolveNetwork(), 0);
    EXPECT_NEAR(shell::SystemCurveTable[129]->v[k_fo], one, 0.01);
    EXPECT_NEAR(shell::SystemCurveTable[1]->v[k_fo], two, 0.01);
}

// The system sum turns each port's final response to the phase angle 0.0001 rad (not 0) before
// adding, so one in-phase port shows a system phase of 0.0001 rad at every point; a reversed port
// half a turn from it. With SPL Only EQ the port's own phase is summed.
TEST_F(PortResponses, SystemSumTurnsEachPortToATenThousandthOfARadian) {
    const int slot = OnePortChannel(1.0f, 1000.0f);
    const double offset_deg = 0.0001 * solver::kDegreesPerRadian;
    struct Case {
        float polarity;
        int spl_only;
    };
    for (const Case c : {Case{1.0f, 0}, Case{-1.0f, 0}, Case{1.0f, 1}}) {
        shell::WorkingNetwork.ElementParams[slot][shell::kParamPolarity] = c.polarity;
        shell::Project.Settings.SplOnlyEq = c.spl_only;
        ASSERT_EQ(solver::SolveNetwork(), 0);
        for (int k : {0, 700, 1300, 1999}) {
            const float system = shell::SystemCurveTable[130]->v[k];
            const float port = shell::SystemCurveTable[112]->v[k];  // final phase, output 1
            const double turned =
                c.polarity > 0.0f ? offset_deg : (0.0001 - kPi) * solver::kDegreesPerRadian;
            const double expected = c.spl_only == 1 ? port : turned;
            EXPECT_NEAR(system, expected, 2e-5 + 2e-6 * std::fabs(expected))
                << "k " << k << " polarity " << c.polarity;
            EXPECT_NEAR(shell::SystemCurveTable[129]->v[k], shell::SystemCurveTable[48]->v[k], 1e-3)
                << "the level is the port's own";
        }
    }
}

TEST_F(PortResponses, LevelAndPhaseRules) {
    EXPECT_NEAR(solver::CurveLevel({0.0f, 0.0f}), -160.0f, 1e-4);
    EXPECT_EQ(solver::CurvePhase({0.0f, 1.0f}), 0.0f);
    EXPECT_NEAR(solver::CurvePhase({-1.0f, 1e-9f}), 3.14159265 * 57.288, 1e-3);
    EXPECT_NEAR(solver::CurveLevel({3.0f, 4.0f}), 20.0 * std::log10(5.0), 1e-5);
}

TEST_F(PortResponses, ResamplingReproducesALinearSpectrum) {
    // A source linear in frequency: after the one-bin shift, bin i + 1 holds the source at a
    // frequency within bin i, [i bw, (i + 1) bw] (the interpolation counts from the bin).
    shell::BuildFrequencyGrids(3, 5);  // 10 Hz .. 20 kHz
    static shell::ComplexPoint source[2000];
    for (int k = 0; k < 2000; ++k) {
        source[k] = {1.0f + 0.001f * shell::FrequencyGrid[k], -0.0005f * shell::FrequencyGrid[k]};
    }
    static shell::ComplexPoint target[65536 + 1];
    const float bw = 48000.0f / (8.0f * 2048.0f);
    ASSERT_FLOAT_EQ(bw, 2.9296875f);
    solver::ResampleOnto(source, shell::FrequencyGrid, bw, target);
    for (int i = 4; i * bw < 19000.0f; i += 17) {
        const double f = i * static_cast<double>(bw);
        const double tol = 1e-5 * (1.0 + 0.001 * f);
        EXPECT_GE(target[i + 1].re, 1.0 + 0.001 * f - tol) << i;
        EXPECT_LE(target[i + 1].re, 1.0 + 0.001 * (f + bw) + tol) << i;
        EXPECT_LE(target[i + 1].im, -0.0005 * f + tol) << i;
        EXPECT_GE(target[i + 1].im, -0.0005 * (f + bw) - tol) << i;
    }
    // Bins 0 and 1 are equal after the shift; the bins above the grid stay 0.
    EXPECT_EQ(target[0].re, target[1].re);
    EXPECT_EQ(target[0].im, target[1].im);
    const int last = static_cast<int>(shell::FrequencyGrid[1999] / bw) + 2;
    for (int i = last + 1; i < 65536; i += 101) ASSERT_EQ(target[i].re, 0.0f) << i;
    EXPECT_NE(target[last - 2].re, 0.0f);
}

TEST_F(PortResponses, SpectraAreStampedAndABadRateIsRefused) {
    OnePortChannel(4.0f, 500.0f);
    network::ActivePane = 3;
    ASSERT_EQ(solver::SolveNetwork(), 0);
    EXPECT_EQ(solver::FirSpectrumStamps[3].sample_rate, 48000);
    EXPECT_EQ(solver::FirSpectrumStamps[3].block_frames, 1024);
    EXPECT_EQ(solver::FirSpectrumStamps[3].pane, 3);
    // A sample-rate index outside the table resamples nothing and marks the port stale.
    shell::Project.Settings.SampleRateIndex = 11;
    shell::FirSpectrumTables[0][3][100] = {7.0f, 7.0f};
    ASSERT_EQ(solver::SolveNetwork(), 0);
    EXPECT_EQ(shell::FirSpectrumTables[0][3][100].re, 7.0f);
    EXPECT_EQ(solver::FirSpectrumStamps[3].sample_rate, 0);
}

}  // namespace

namespace {

// Polarity, delay and plot flag that are no numbers (or absurd ones) reach the solver only from a
// slip elsewhere; the solve must neither convert them undefinedly nor spread a non-finite value.
TEST_F(PortResponses, DamagedPortWordsGiveFiniteCurvesAndBoundedCensus) {
    struct Case {
        float polarity;
        float delay;
        float plot_flag;
        int phasing;       // OutputPhasing afterwards
        float delay_kept;  // OutputDelay afterwards
    };
    const float nan = std::nanf("");
    const float inf = INFINITY;
    const Case cases[] = {
        {nan, 0.0f, 1.0f, 0, 0.0f},     {1e6f, 0.0f, 1.0f, 1, 0.0f},
        {-3e38f, 0.0f, 1.0f, -1, 0.0f}, {1.0f, nan, 1.0f, 1, 0.0f},
        {1.0f, inf, 1.0f, 1, 10000.0f}, {-1.0f, -inf, nan, -1, -10000.0f},
        {1.0f, 0.5f, 3e9f, 1, 0.5f},
    };
    for (const Case& c : cases) {
        SetUp();
        const int slot = OnePortChannel(4.0f, 1000.0f);
        float* p = shell::WorkingNetwork.ElementParams[slot];
        p[shell::kParamPolarity] = c.polarity;
        p[shell::kParamDelay] = c.delay;
        p[shell::kParamPlotFlag] = c.plot_flag;
        network::ActivePane = 1;
        ASSERT_EQ(solver::SolveNetwork(), 0);
        EXPECT_EQ(solver::OutputPhasing[3], c.phasing) << c.polarity;
        EXPECT_EQ(solver::OutputDelay[3], c.delay_kept) << c.delay;
        for (int block = 0; block < shell::kSystemCurveCount; ++block) {
            const float* curve = solver::SystemCurve(block);
            for (int k = 0; k < shell::kGridPoints; k += 37)
                ASSERT_TRUE(std::isfinite(curve[k])) << "block " << block << " point " << k;
        }
    }
}

}  // namespace
