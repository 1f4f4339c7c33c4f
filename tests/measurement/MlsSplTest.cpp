// Calculate SPL on impulses placed by hand: the pulse-delay rotation, the checks that come
// before any result is touched, the calibrations, the curve repairs it shares, and the real
// spectrum it reads at the grid's bins.

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "MeasurementTestSupport.h"
#include "measurement/GatedSpectrum.h"
#include "measurement/MlsDeconvolution.h"
#include "measurement/MlsSpl.h"
#include "shell/ComplexFft.h"

namespace measurement::test {
namespace {

constexpr int kDelaySamples = 24;  // 0.5 ms at 48 kHz
// One turn of phase in the degrees the system computes (radians x 57.288).
constexpr double kTurn = 2.0 * M_PI * 57.288;

class MlsSplTest : public MeasurementTest {
  protected:
    void SetUp() override {
        MeasurementTest::SetUp();
        MlsOrder = 16;
        shell::Mls.MlsSampleRateIndex = 5;
        shell::Mls.MlsWindowType = 2;
        shell::CopyTextSlot(shell::Mls.MlsWindowWidthText, "30000");
        shell::Mls.MlsSmoothingIndex = 5;
        UpdateSmoothingPasses();
        shell::Mls.MlsUseMikeCal = 0;
        shell::Mls.MlsUsePreampCal = 0;
        MlsRefPeak = 10;
        MlsInPeak = 10;
        MlsImpulseStart = 50;
        std::memset(shell::MlsRefSamples, 0, sizeof(float) * kMlsSampleEntries);
        std::memset(shell::MlsInSamples, 0, sizeof(float) * kMlsSampleEntries);
        shell::MlsRefSamples[60] = 1000.0f;
        shell::MlsInSamples[60 + kDelaySamples] = 500.0f;
    }

    // Grid points from 20 Hz to 20 kHz.
    static std::vector<int> Band() {
        std::vector<int> points;
        for (int j = 0; j < shell::kGridPoints; ++j)
            if (shell::FrequencyGrid[j] >= 20.0f && shell::FrequencyGrid[j] <= 20000.0f)
                points.push_back(j);
        return points;
    }
};

TEST_F(MlsSplTest, PulseDelayRemovesTheDelayOfALaterArrival) {
    shell::CopyTextSlot(shell::Mls.MlsPulseDelayText, "0.5");
    ASSERT_EQ(CalculateMlsSpl(nullptr), 0);
    const float level = 20.0f * std::log10(500.0f);
    for (int j : Band()) {
        ASSERT_NEAR(shell::CurrentDriverRecord->Phase[j], 0.0f, 0.5f) << shell::FrequencyGrid[j];
        ASSERT_NEAR(shell::CurrentDriverRecord->Spl[j], level, 0.01f) << shell::FrequencyGrid[j];
    }
    EXPECT_EQ(MlsSplCalculated, 1);
    // Without the pulse delay the excess phase is the delay's: -360 degrees per ms and kHz.
    shell::CopyTextSlot(shell::Mls.MlsPulseDelayText, "0");
    ASSERT_EQ(CalculateMlsSpl(nullptr), 0);
    for (int j : Band()) {
        const double f = shell::FrequencyGrid[j];
        if (f > 300.0) break;
        ASSERT_NEAR(shell::CurrentDriverRecord->Phase[j], -360.0 * f * 0.0005 * 57.288 / 57.29578,
                    0.5)
            << f;
    }
}

TEST_F(MlsSplTest, RefusalsComeBeforeAnyResultChanges) {
    struct Row {
        const char* what;
        int ref_peak, in_peak;
        const char* width;
        int start;
        const char* message;
        const char* add_db = "0.0";
        float mike_db = 0.0f;  // the microphone calibration's level, used when not 0
    } rows[] = {
        {"no Ref impulse", 0, 10, "30000", 50, "Please Generate Impulse Response First"},
        {"no In impulse", 10, 0, "30000", 50, "Please Generate Impulse Response First"},
        {"gate wider than the sequence", 10, 10, "65536", 50, "Please reduce Timw Window Length"},
        {"gate start past the buffer", 10, 10, "30000", kMlsSampleEntries - 65535,
         "Please Choose A Gate Start Inside The Impulse Response"},
        {"negative gate start", 10, 10, "30000", -1,
         "Please Choose A Gate Start Inside The Impulse Response"},
        {"add dB 6200", 10, 10, "30000", 50, kMlsAddDbOutOfRange, "6200"},
        {"add dB 65535", 10, 10, "30000", 50, kMlsAddDbOutOfRange, "65535"},
        {"add dB -201", 10, 10, "30000", 50, kMlsAddDbOutOfRange, "-201"},
        {"levels beyond a driver's", 10, 10, "30000", 50, kMlsResultOutOfRange, "200", -200.0f},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        shell::CopyTextSlot(shell::Mls.MlsAddDbText, r.add_db);
        shell::Mls.MlsUseMikeCal = r.mike_db != 0.0f ? 1 : 0;
        for (int j = 0; j < shell::kGridPoints; ++j)
            shell::MikeCalibrationCurve[j] = {r.mike_db, 0};
        for (int j = 0; j < shell::kGridPoints; ++j) {
            shell::CurrentDriverRecord->Spl[j] = 77.0f;
            shell::CurrentDriverRecord->Phase[j] = 12.0f;
            MlsRefCorrection[j] = 3.0f;
            shell::MlsRefResponse[j] = {5.0f, 6.0f};
        }
        MlsRefPeak = r.ref_peak;
        MlsInPeak = r.in_peak;
        MlsImpulseStart = r.start;
        MlsSplCalculated = 0;
        shell::CopyTextSlot(shell::Mls.MlsWindowWidthText, r.width);
        platform::testing::ClearMessageBoxLog();
        EXPECT_EQ(CalculateMlsSpl(nullptr), 1);
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{r.message});
        for (int j : {0, 999, 1999}) {
            EXPECT_EQ(shell::CurrentDriverRecord->Spl[j], 77.0f);
            EXPECT_EQ(shell::CurrentDriverRecord->Phase[j], 12.0f);
            EXPECT_EQ(MlsRefCorrection[j], 3.0f);
            EXPECT_EQ(shell::MlsRefResponse[j].re, 5.0f);
            EXPECT_TRUE(std::isfinite(shell::MlsInResponse[j].re));
        }
        EXPECT_EQ(MlsSplCalculated, 0);
        EXPECT_EQ(MlsSplSlot, 0);
    }
}

TEST_F(MlsSplTest, AddDbWithinTheBoundsIsAddedToEveryLevel) {
    ASSERT_EQ(CalculateMlsSpl(nullptr), 0);
    const std::vector<float> plain(shell::CurrentDriverRecord->Spl,
                                   shell::CurrentDriverRecord->Spl + shell::kGridPoints);
    for (const char* add_db : {"150", "-60"}) {
        SCOPED_TRACE(add_db);
        shell::CopyTextSlot(shell::Mls.MlsAddDbText, add_db);
        platform::testing::ClearMessageBoxLog();
        ASSERT_EQ(CalculateMlsSpl(nullptr), 0);
        EXPECT_TRUE(MessageTexts().empty());
        const double added = std::atof(add_db);
        for (int j : Band())
            ASSERT_NEAR(shell::CurrentDriverRecord->Spl[j] - plain[j], added, 1e-3) << j;
    }
}

TEST_F(MlsSplTest, CalibrationsAreDividedOutAndSlotsRotate) {
    ASSERT_EQ(CalculateMlsSpl(nullptr), 0);
    const std::vector<float> spl(shell::CurrentDriverRecord->Spl,
                                 shell::CurrentDriverRecord->Spl + shell::kGridPoints);
    const std::vector<float> phase(shell::CurrentDriverRecord->Phase,
                                   shell::CurrentDriverRecord->Phase + shell::kGridPoints);
    for (int j = 0; j < shell::kGridPoints; ++j) {
        shell::MikeCalibrationCurve[j] = {3.0f, 45.0f};
        shell::PreampCalibrationCurve[j] = {-1.0f, -5.0f};
    }
    struct Row {
        int mike, preamp;
        float db, degrees;
    } rows[] = {{1, 0, -3.0f, -45.0f}, {0, 1, 1.0f, 5.0f}, {1, 1, -2.0f, -40.0f}};
    for (const Row& r : rows) {
        shell::Mls.MlsUseMikeCal = r.mike;
        shell::Mls.MlsUsePreampCal = r.preamp;
        ASSERT_EQ(CalculateMlsSpl(nullptr), 0);
        for (int j : Band()) {
            ASSERT_NEAR(shell::CurrentDriverRecord->Spl[j] - spl[j], r.db, 1e-3) << j;
            double d = shell::CurrentDriverRecord->Phase[j] - phase[j] - r.degrees;
            d = std::remainder(d, kTurn);
            ASSERT_NEAR(d, 0.0, 0.01) << j;
        }
    }
    EXPECT_EQ(MlsSplSlot, 4);
    MlsSplSlot = MlsPhaseSlot = 9;
    ASSERT_EQ(CalculateMlsSpl(nullptr), 0);
    EXPECT_EQ(MlsSplSlot, 0);
    EXPECT_EQ(MlsPhaseSlot, 0);
    EXPECT_EQ(shell::MeasuredCurveTable[19]->v[shell::kCurveVisible], 1.0f);
    EXPECT_EQ(shell::MeasuredCurveTable[22]->v[2002], 1.0f);
    EXPECT_EQ(shell::MeasuredCurveTable[22]->v[49], 0.0f);
    EXPECT_EQ(shell::MeasuredCurveTable[22]->v[50], 145.0f);
}

TEST_F(MlsSplTest, BinsMapToTheFirstGridPointAboveThemBelowTheLimit) {
    const float grid[6] = {1.0f, 1.5f, 2.0f, 4.0f, 5.0f, 6.0f};
    std::int32_t bin_of[6];
    MapBinsToGrid(grid, 6, 1.0, 5.0f, 100, bin_of);
    // Bin 0 (0 Hz) -> 1.0, bin 1 -> 1.5, bin 2 and 3 -> 4.0 (the highest wins); bin 4 would go to
    // 5.0, which is not below the limit, so it and every later bin are dropped.
    const std::int32_t want[6] = {0, 1, -1, 3, -1, -1};
    for (int j = 0; j < 6; ++j) EXPECT_EQ(bin_of[j], want[j]) << j;
    EXPECT_EQ(MlsUpperFrequency(0), 5510.0f);
    EXPECT_EQ(MlsUpperFrequency(5), 24000.0f);
    EXPECT_EQ(MlsUpperFrequency(8), 0.0f);
}

TEST_F(MlsSplTest, GapFillsAndPhaseRepairs) {
    float level[6] = {0.0f, 10.0f, 0.05f, 0.0f, 16.0f, 0.0f};
    FillLevelGaps(level, 6);
    const float level_want[6] = {0.0f, 10.0f, 12.0f, 14.0f, 16.0f, 0.0f};
    for (int j = 0; j < 6; ++j) EXPECT_FLOAT_EQ(level[j], level_want[j]) << j;

    float phase[5] = {10.0f, 0.0f, 0.0f, 40.0f, 0.0f};
    RepairPhase(phase, 5);
    const float phase_want[5] = {10.0f, 20.0f, 30.0f, 40.0f, 0.0f};
    for (int j = 0; j < 5; ++j) EXPECT_FLOAT_EQ(phase[j], phase_want[j]) << j;

    std::vector<float> flips(12, 0.0f);
    const float run[] = {-150.0f, 170.0f, -160.0f, 0.0f, 150.0f, -130.0f, -140.0f, 160.0f};
    std::copy(std::begin(run), std::end(run), flips.begin());
    RepairPhaseFlips(flips.data(), 12);
    const float flips_want[] = {-150.0f, -170.0f, -160.0f, 0.0f, 150.0f, 130.0f, 140.0f, 160.0f};
    for (int j = 0; j < 8; ++j)
        EXPECT_FLOAT_EQ(flips[static_cast<std::size_t>(j)], flips_want[j]) << j;
}

}  // namespace
}  // namespace measurement::test

namespace measurement::test {
namespace {

// The real spectrum at the grid's bins against the full complex transform of the same samples
// (zero imaginary parts, the way the spectrum used to be formed) and, for the smaller sizes,
// against a direct transform in double precision: equal within single-precision rounding, bins
// on both sides of n/2 included.
TEST_F(MlsSplTest, RealSpectrumAtBinsMatchesTheFullTransform) {
    struct Case {
        int order;
        const char* signal;
    };
    const Case cases[] = {{2, "noise"}, {5, "impulse"}, {10, "noise"},    {12, "decaying"},
                          {14, "sine"}, {16, "noise"},  {18, "decaying"}, {18, "impulse"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "order " << c.order << ", " << c.signal);
        const int n = 1 << c.order;
        std::vector<float> x(static_cast<std::size_t>(n));
        std::uint32_t seed = 12345u + static_cast<std::uint32_t>(n);
        for (int i = 0; i < n; ++i) {
            seed = seed * 1664525u + 1013904223u;
            const float noise = static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
            const std::string kind = c.signal;
            x[i] = kind == "noise"     ? noise
                   : kind == "impulse" ? (i == 3 % n ? 1000.0f : 0.0f)
                   : kind == "sine"    ? static_cast<float>(std::sin(0.37 * i + 0.2))
                                       : noise * std::exp(-20.0f * static_cast<float>(i) / n);
        }
        // Every bin for the small sizes; for the large ones the grid's bins at 96 kHz plus the
        // bins next to n/2 and the top.
        std::vector<std::int32_t> bins;
        if (n <= 4096) {
            for (int b = 0; b < n; ++b) bins.push_back(b);
        } else {
            std::vector<std::int32_t> grid(shell::kGridPoints);
            MapBinsToGrid(shell::FrequencyGrid, shell::kGridPoints, 96000.0 / n, 48000.0f, n,
                          grid.data());
            bins = grid;
            for (int b : {0, 1, n / 2 - 1, n / 2, n / 2 + 1, n - 1}) bins.push_back(b);
        }
        bins.push_back(-1);
        const int count = static_cast<int>(bins.size());
        std::vector<float> work = x, re(bins.size()), im(bins.size());
        RealSpectrumAtBins(work.data(), n, bins.data(), count, re.data(), im.data());

        std::vector<float> full(2 * static_cast<std::size_t>(n), 0.0f);
        for (int i = 0; i < n; ++i) full[2 * static_cast<std::size_t>(i)] = x[i];
        shell::ComplexFft(2 * n, -1, full.data(), shell::FftBitReverseTable,
                          shell::FftTwiddleTable);
        double peak = 0.0;
        for (int b = 0; b < n; ++b)
            peak = std::max(peak, std::hypot(double{full[2 * b]}, double{full[2 * b + 1]}));
        double worst_full = 0.0, worst_exact = 0.0;
        for (int j = 0; j < count; ++j) {
            const int b = bins[j];
            if (b < 0) {
                EXPECT_EQ(re[j], 0.0f);
                EXPECT_EQ(im[j], 0.0f);
                continue;
            }
            worst_full = std::max(worst_full, std::hypot(double{re[j]} - full[2 * b],
                                                         double{im[j]} - full[2 * b + 1]));
            if (n > 4096) continue;
            double er = 0.0, ei = 0.0;
            for (int i = 0; i < n; ++i) {
                const long long turn = static_cast<long long>(i) * b % n;
                const double t = -2.0 * M_PI * static_cast<double>(turn) / n;
                er += x[i] * std::cos(t);
                ei += x[i] * std::sin(t);
            }
            worst_exact = std::max(worst_exact, std::hypot(re[j] - er, im[j] - ei));
        }
        EXPECT_LE(worst_full, 2e-6 * peak * c.order);
        EXPECT_LE(worst_exact, 1e-6 * peak * c.order);
    }
}

// Calculate SPL end to end against the spectra of the gated impulses worked out directly in
// double precision at each grid point's bin: the Ref level, the In level (with the Ref
// correction and Add dB taken back out) and the In phase relative to the Ref phase with the
// pulse delay turned out, on a table of orders, delays and gate starts; no smoothing passes.
TEST_F(MlsSplTest, LevelsAndPhasesAreTheGatedImpulsesSpectra) {
    struct Case {
        int order;
        const char* delay_ms;
        int start;
    };
    const Case cases[] = {{12, "0", 50}, {13, "0.5", 50}, {14, "0.21", 57}, {14, "1.7", 44}};
    ASSERT_EQ(SmoothingPasses, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "order " << c.order << ", delay " << c.delay_ms
                                        << " ms, start " << c.start);
        MlsOrder = c.order;
        const int n = 1 << c.order;
        shell::CopyTextSlot(shell::Mls.MlsWindowWidthText, std::to_string(n / 2).c_str());
        shell::CopyTextSlot(shell::Mls.MlsPulseDelayText, c.delay_ms);
        shell::CopyTextSlot(shell::Mls.MlsAddDbText, "3");
        MlsImpulseStart = c.start;
        // Short decaying responses after the peaks, so that level and phase vary with frequency.
        std::uint32_t seed = 7u;
        for (int i = 1; i < 200; ++i) {
            seed = seed * 1664525u + 1013904223u;
            const float noise = static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
            shell::MlsRefSamples[60 + i] = 30.0f * noise * std::exp(-0.05f * i);
            shell::MlsInSamples[60 + kDelaySamples + i] = 200.0f * noise * std::exp(-0.03f * i);
        }
        ASSERT_EQ(CalculateMlsSpl(nullptr), 0);
        std::vector<std::int32_t> bin_of(shell::kGridPoints);
        const double df = static_cast<double>(MlsSampleRate()) / n;
        MapBinsToGrid(shell::FrequencyGrid, shell::kGridPoints, df,
                      MlsUpperFrequency(shell::Mls.MlsSampleRateIndex), n, bin_of.data());
        const double delay = std::atof(c.delay_ms);
        int checked = 0;
        for (int j = 0; j < shell::kGridPoints; ++j) {
            const int b = bin_of[j];
            if (b < 0) continue;
            std::complex<double> ref = 0.0, in = 0.0;
            for (int i = 0; i < n; ++i) {
                const std::complex<double> turn = std::polar(
                    1.0, -2.0 * M_PI * static_cast<double>(static_cast<long long>(i) * b % n) / n);
                ref += static_cast<double>(shell::MlsRefSamples[kMlsLeadingZeros + i] *
                                           shell::GateWindowRef[i]) *
                       turn;
                in +=
                    static_cast<double>(shell::MlsInSamples[c.start + i] * shell::GateWindowIn[i]) *
                    turn;
            }
            in *= std::polar(1.0, b * df * 0.001 * delay * 2.0 * M_PI);
            const double ref_db = 10.0 * std::log10(std::norm(ref) + 1e-10);
            const double in_db = 10.0 * std::log10(std::norm(in) + 1e-13);
            EXPECT_NEAR(shell::MlsRefResponse[j].re, ref_db, 1e-3) << j;
            EXPECT_NEAR(shell::CurrentDriverRecord->Spl[j] - MlsRefCorrection[j] - 3.0f, in_db,
                        2e-3)
                << j;
            const double degrees = std::arg(in / ref) * 57.288;
            const double got = shell::CurrentDriverRecord->Phase[j];
            // The phase repairs may flip a value across +-180 degrees.
            const double diff = std::remainder(got - degrees, 360.0 * 57.288 / 57.29578);
            if (std::fabs(got) < 170.0) {
                EXPECT_NEAR(diff, 0.0, 0.01) << j;
            }
            ++checked;
        }
        EXPECT_GT(checked, 100);
    }
}

}  // namespace
}  // namespace measurement::test
