// FIR filter spectra: each output's partitions are transformed back with a direct DFT here and
// compared with the impulse the response calls for, and with the analog response it came from.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <ostream>
#include <string>
#include <vector>

#include "network/WorkingNetwork.h"
#include "platform/testing/MessageBoxLog.h"
#include "shell/ProjectImage.h"
#include "solver/FirKernels.h"
#include "solver/SolveNetwork.h"
#include "tests/solver/SolverTestSupport.h"

namespace {

using Complex = std::complex<double>;
using namespace solver::test;
constexpr double kPi = 3.14159265358979323846;
constexpr int kF = 1024;

class FirKernels : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetSolverWorld();
        shell::Project.Settings.SampleRateIndex = 5;  // 48000
        shell::Project.Settings.SplOnlyEq = 0;
        shell::WideWindow = 0;
    }
};

// Taps of output o: each partition's 2F-point spectrum inverted by a direct DFT; the first F
// points are the partition's taps, the last F must be zero.
std::vector<double> TapsOf(int o, double* tail_max) {
    std::vector<double> taps(8 * kF, 0.0);
    std::vector<Complex> twiddle(2 * kF);
    for (int n = 0; n < 2 * kF; ++n) twiddle[n] = std::polar(1.0, 2.0 * kPi * n / (2 * kF));
    *tail_max = 0.0;
    for (int p = 0; p < 8; ++p) {
        const float* s = shell::FilterSpectra[o][p];
        for (int n = 0; n < 2 * kF; ++n) {
            Complex sum = 0.0;
            for (int b = 0; b < 2 * kF; ++b) {
                sum += Complex(s[2 * b], s[2 * b + 1]) *
                       twiddle[(static_cast<long>(b) * n) % (2 * kF)];
            }
            sum /= 2.0 * kF;
            if (n < kF) {
                taps[p * kF + n] = sum.real();
            } else {
                *tail_max = std::fmax(*tail_max, std::abs(sum));
            }
        }
    }
    return taps;
}

void FlatSpectra(int o) {
    for (int b = 0; b <= 4 * kF; ++b) {
        shell::FirSpectrumTables[0][o][b] = {1.0f, 0.0f};
        shell::FirSpectrumTables[1][o][b] = {1.0f, 0.0f};
    }
}

TEST_F(FirKernels, FlatResponseIsOneTapAtTheOriginWithTheWindowsValue) {
    FlatSpectra(0);
    solver::OutputPhasing[0] = 1;
    ASSERT_EQ(solver::BuildFirKernels(), 0);
    double tail = 0.0;
    const std::vector<double> taps = TapsOf(0, &tail);
    const double d = static_cast<float>(kPi / (4 * kF - 1));
    const double window = solver::FirFade(static_cast<double>(static_cast<long double>(1) * d));
    EXPECT_NEAR(taps[4 * kF + 1], window, 1e-4);
    EXPECT_NEAR(window, 0.99994, 1e-4);
    for (int n = 0; n < 8 * kF; ++n) {
        if (n != 4 * kF + 1) {
            ASSERT_NEAR(taps[n], 0.0, 1e-4) << "tap " << n;
        }
    }
    EXPECT_LT(tail, 1e-4) << "points F..2F-1 of every partition are zero";
}

TEST_F(FirKernels, PolarityAndDelayMoveTheTapAcrossPartitions) {
    struct Case {
        int spl_only;
        int wide;
        float delay_ms;  // 1 ms = 48 samples at 48 kHz
        int polarity;
        int tap;
    };
    const Case cases[] = {
        {0, 0, 0.5f, -1, 4 * kF + 1 + 24},     // partition 4
        {0, 1, -60.0f, 1, 4 * kF + 1 - 2880},  // partition 1, inside the wide window's top
        {0, 1, 60.0f, -1, 4 * kF + 1 + 2880},  // partition 6
        {1, 0, 0.0f, 1, 100},                  // partition 0: the SPL Only EQ origin
        {1, 0, 60.0f, 1, 100 + 2880},          // partition 2
    };
    for (const Case& c : cases) {
        SetUp();
        shell::Project.Settings.SplOnlyEq = c.spl_only;
        shell::WideWindow = c.wide;
        FlatSpectra(5);
        solver::OutputPhasing[5] = c.polarity;
        solver::OutputDelay[5] = c.delay_ms;
        solver::BuildFirKernels();
        double tail = 0.0;
        const std::vector<double> taps = TapsOf(5, &tail);
        int peak = 0;
        for (int n = 0; n < 8 * kF; ++n) {
            if (std::fabs(taps[n]) > std::fabs(taps[peak])) peak = n;
        }
        EXPECT_EQ(peak, c.tap) << "delay " << c.delay_ms;
        EXPECT_EQ(taps[peak] > 0.0, c.polarity > 0) << "delay " << c.delay_ms;
        EXPECT_GT(std::fabs(taps[peak]), 0.3) << "delay " << c.delay_ms;
        // Output 6 was never written since start-up: its spectra are silent.
        for (int p = 0; p < 8; ++p) {
            for (int i = 0; i < 4 * kF; ++i) ASSERT_EQ(shell::FilterSpectra[6][p][i], 0.0f);
        }
    }
}

double AnalogLr4Db(double f, double fo) {
    const Complex s(0.0, f / fo);
    const Complex b = 1.0 / (s * s + std::sqrt(2.0) * s + 1.0);
    return 20.0 * std::log10(std::abs(b * b));
}

TEST_F(FirKernels, LinkwitzLowPassMatchesTheAnalogMagnitude) {
    NewNetwork(3);
    AddInput(0, 1.0f);
    AddFilter(0, 1, 2.0f, 3.0f, 1000.0f);  // Linkwitz LP -24 dB/oct
    AddPort(1, 2, 2.0f);
    AddGround(2);
    network::ActivePane = 1;
    network::SavePaneStore(1);
    ASSERT_EQ(solver::SolveNetwork(), 0);
    ASSERT_EQ(solver::BuildFirKernels(), 0);
    double tail = 0.0;
    const std::vector<double> taps = TapsOf(1, &tail);
    // The filter's magnitude by a direct DFT of its 8F taps, at frequencies below fs / 4.
    const double rate = 48000.0;
    for (double f : {50.0, 200.0, 500.0, 1000.0, 1500.0, 2000.0, 3000.0, 4000.0}) {
        Complex sum = 0.0;
        for (int n = 0; n < 8 * kF; ++n)
            sum += taps[n] * std::polar(1.0, -2.0 * kPi * f * n / rate);
        const double got = 20.0 * std::log10(std::abs(sum));
        EXPECT_NEAR(got, AnalogLr4Db(f, 1000.0), 0.1) << f << " Hz";
    }
}

TEST_F(FirKernels, PartitionsReassembleIntoTheWholeFilter) {
    // Output 1 from a band pass with a driver phase: the expected 8F taps come from a direct
    // inverse DFT of the spectrum with the driver's phase removed, rotated to 4F + 1 and
    // windowed; the partitions put back together must equal them.
    const int n8 = 8 * kF;
    for (int b = 0; b <= 4 * kF; ++b) {
        const Complex s(0.0, b / 200.0);
        const Complex p = s / (s * s + 0.3 * s + 1.0);
        const Complex q = p * std::polar(1.0, -0.002 * b);
        shell::FirSpectrumTables[0][0][b] = {static_cast<float>(p.real()),
                                             static_cast<float>(p.imag())};
        shell::FirSpectrumTables[1][0][b] = {static_cast<float>(q.real()),
                                             static_cast<float>(q.imag())};
    }
    solver::OutputPhasing[0] = 1;
    ASSERT_EQ(solver::BuildFirKernels(), 0);
    std::vector<Complex> x(4 * kF + 1);
    for (int b = 0; b <= 4 * kF; ++b) {
        const shell::ComplexPoint p = shell::FirSpectrumTables[0][0][b];
        const shell::ComplexPoint q = shell::FirSpectrumTables[1][0][b];
        x[b] = Complex(p.re, p.im) * std::polar(1.0, -static_cast<double>(std::atan2(q.im, q.re)));
    }
    double tail = 0.0;
    const std::vector<double> taps = TapsOf(0, &tail);
    const double d = static_cast<float>(kPi / (4 * kF - 1));
    double worst = 0.0;
    for (int s = 0; s < n8; s += 3) {
        const int n = ((s - (4 * kF + 1)) % n8 + n8) % n8;
        double sum = x[0].real() + (x[4 * kF] * std::polar(1.0, kPi * n)).real();
        for (int b = 1; b < 4 * kF; ++b) {
            sum += 2.0 * (x[b] * std::polar(1.0, 2.0 * kPi * b * n / n8)).real();
        }
        const double angle = (s < 4 * kF ? s + 4 * kF : s - 4 * kF) * d;
        const double window = 0.64125 + 0.48829 * std::cos(angle) - 0.14128 * std::cos(2 * angle) +
                              0.01168 * std::cos(3 * angle);
        worst = std::fmax(worst, std::fabs(taps[s] - sum / n8 * window));
    }
    EXPECT_LT(worst, 2e-5);
    EXPECT_LT(tail, 1e-5);
}

TEST_F(FirKernels, StaleChannelsAreResolvedBeforeTheBuild) {
    // Pane 2 is solved at F = 1024, then the buffer size changes to 2048: the build re-solves
    // pane 2 for the new bin grid instead of using the old spectra.
    OneWayChannel(2, 1.0f, 9.0f);
    network::ActivePane = 2;
    ASSERT_EQ(solver::SolveNetwork(), 0);
    ASSERT_EQ(solver::FirSpectrumStamps[8].block_frames, 1024);
    network::ClearWorkingNetwork();
    network::ActivePane = 1;
    shell::SetBlockFrames(1);
    solver::BuildFirKernels();
    EXPECT_EQ(solver::FirSpectrumStamps[8].block_frames, 2048);
    EXPECT_EQ(solver::FirSpectrumStamps[8].pane, 2);
}

struct RefusedCase {
    const char* name;
    void (*edit)();      // turns pane 2's stored network into one the check refuses
    const char* reason;  // the check's own message
};
void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

void AddSecondInputNode() { AddInput(1, 2.0f); }
void SetInputPortNine() { shell::WorkingNetwork.ElementParams[0][shell::kParamInputPort] = 9.0f; }

class RefusedStaleChannel : public FirKernels, public ::testing::WithParamInterface<RefusedCase> {};

// Pane 2 is solved at F = 1024 and then edited into a network the check refuses; after a change
// of F the build does not re-solve it: the check says why, the user is told which channel, its
// output is silent, and the routing and the plotted curves stay as they were.
TEST_P(RefusedStaleChannel, IsCheckedNotSolvedAndItsOutputsAreSilent) {
    OneWayChannel(2, 1.0f, 9.0f);
    network::ActivePane = 2;
    ASSERT_EQ(solver::SolveNetwork(), 0);
    network::RestorePaneStore(2);
    GetParam().edit();
    network::SavePaneStore(2);
    network::ClearWorkingNetwork();
    network::ActivePane = 1;
    for (int i = 0; i < 8; ++i)
        for (int o = 0; o < 16; ++o) solver::RoutingMatrix[i][o] = (i + o) % 3 == 0;
    shell::SystemCurveTable[8]->v[shell::kCurveVisible] = 1.0f;
    platform::testing::ClearMessageBoxLog();

    shell::SetBlockFrames(1);
    solver::BuildFirKernels();
    std::vector<std::string> texts;
    for (const auto& box : platform::testing::MessageBoxLog()) texts.push_back(box.text);
    EXPECT_EQ(texts, (std::vector<std::string>{
                         GetParam().reason,
                         "The Center Network Is Not Accepted\nIts Outputs Will Be Silent"}));
    EXPECT_EQ(solver::FirSpectrumStamps[8].block_frames, 1024) << "the refused network was solved";
    for (int p = 0; p < 8; ++p) {
        for (int i = 0; i < 4 * 2048; ++i)
            ASSERT_EQ(shell::FilterSpectra[8][p][i], 0.0f) << "partition " << p << " float " << i;
    }
    for (int i = 0; i < 8; ++i)
        for (int o = 0; o < 16; ++o)
            EXPECT_EQ(solver::RoutingMatrix[i][o], (i + o) % 3 == 0 ? 1 : 0) << i << ", " << o;
    EXPECT_EQ(shell::SystemCurveTable[8]->v[shell::kCurveVisible], 1.0f);
    EXPECT_EQ(network::ActivePane, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Networks, RefusedStaleChannel,
    ::testing::Values(RefusedCase{"TwoInputNodes", AddSecondInputNode, "Too Many Input Terminals"},
                      RefusedCase{"InputPortNine", SetInputPortNine,
                                  "Sound Card INPUT Port Is Out Of Range (1.....6)"}),
    [](const ::testing::TestParamInfo<RefusedCase>& param_info) {
        return std::string(param_info.param.name);
    });

TEST_F(FirKernels, ClearedPlotsGiveSilentOutputsAndNoResolve) {
    OneWayChannel(4, 1.0f, 3.0f);
    network::ActivePane = 4;
    ASSERT_EQ(solver::SolveNetwork(), 0);
    solver::ClearSolverPlots();
    EXPECT_EQ(shell::SystemCurveTable[2]->v[100], 0.0f);
    EXPECT_EQ(shell::FirSpectrumTables[1][2][5].re, 1e-7f);
    shell::SetBlockFrames(2);  // F changes: a cleared channel is not brought back
    solver::BuildFirKernels();
    for (int p = 0; p < 8; ++p) {
        for (int i = 0; i < 4 * 4096; ++i) ASSERT_EQ(shell::FilterSpectra[2][p][i], 0.0f);
    }
}

TEST_F(FirKernels, WindowsHaveTheirStatedShapes) {
    static float r[8 * 4096];
    static float in[8 * 4096];
    const int f = 2048;
    solver::BuildFirWindows(f, 0, 0, r, in);
    EXPECT_NEAR(r[0], 0.0, 1e-3);
    EXPECT_NEAR(r[4 * f - 2], 0.99994, 1e-5);
    EXPECT_NEAR(r[4 * f], 0.99994, 1e-5);
    EXPECT_NEAR(r[8 * f - 1], 0.0, 1e-5);
    EXPECT_EQ(in[0], 1.0f);
    solver::BuildFirWindows(f, 0, 1, r, in);
    EXPECT_EQ(r[0], 0.0f);
    EXPECT_NEAR(r[f], 0.99994, 1e-5);
    EXPECT_EQ(r[4 * f], 1.0f);
    EXPECT_NEAR(r[8 * f - 1], 0.0, 1e-3);
    solver::BuildFirWindows(f, 1, 0, r, in);
    EXPECT_NEAR(r[0], 0.99994, 1e-5);
    EXPECT_GT(r[100], 0.9998);
    EXPECT_EQ(r[4 * f], 0.0f);
    EXPECT_NEAR(in[0], 0.0, 1e-6);
    EXPECT_GT(in[f / 64], 0.5);
    EXPECT_LT(in[f / 64], 0.8);
    EXPECT_EQ(in[f / 32], 1.0f);
    solver::BuildFirWindows(f, 1, 1, r, in);
    EXPECT_EQ(r[3 * f - 1], 1.0f);
    EXPECT_NEAR(r[3 * f], 0.99994, 1e-5);
    EXPECT_EQ(r[4 * f], 0.0f);
}

}  // namespace
