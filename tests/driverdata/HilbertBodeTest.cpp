// The Hilbert-Bode transform against the analytic phase of minimum-phase responses, with the
// tails a user would set, and its distance options and refusals.
#include <cmath>
#include <complex>
#include <cstdlib>
#include <functional>
#include <vector>

#include "driverdata/HilbertBode.h"
#include "shell/DriverRecord.h"
#include "shell/NumberText.h"
#include "tests/driverdata/DriverDataTestSupport.h"

namespace driverdata::test {
namespace {

using Complex = std::complex<double>;
constexpr double kPi = 3.14159265358979323846;
constexpr int kPoints = shell::kGridPoints;

struct Tails {
    const char* hp_stop;
    const char* hp_slope;
    const char* lp_start;
    const char* lp_slope;
};

class HilbertBodeTest : public DriverDataTest {
  protected:
    void SetUp() override {
        DriverDataTest::SetUp();
        shell::InitDriverRecord(shell::CurrentDriverRecord);
        shell::BuildFrequencyGrids();
    }
    shell::DriverRecord& R() { return *shell::CurrentDriverRecord; }
    // Frequency at which the transform evaluates curve point k.
    static double F(int k) { return shell::ExtendedFrequencyGrid[k + 350]; }
    // SPL = level + 20 log10 |h(f)|, efficiency = level, Pin 1 W, no distance options.
    void Load(const std::function<Complex(double)>& h, double level, Tails t) {
        for (int k = 0; k < kPoints; ++k)
            R().Spl[k] = static_cast<float>(level + 20.0 * std::log10(std::abs(h(F(k)))));
        shell::FormatNumberText(R().Efficiency, shell::kTextSlot, level, 2);
        shell::CopyTextSlot(R().InputPower, "1.0");
        shell::CopyTextSlot(R().HighPassStop, t.hp_stop);
        shell::CopyTextSlot(R().HighPassSlope, t.hp_slope);
        shell::CopyTextSlot(R().LowPassStart, t.lp_start);
        shell::CopyTextSlot(R().LowPassSlope, t.lp_slope);
        R().DistanceInPhase = R().DistanceInAmplitude = 0;
    }
    Complex Hbt(int k) { return {R().HbtReal[k], R().HbtImag[k]}; }
    static double WrappedDegrees(double radians) {
        return std::remainder(radians, 2.0 * kPi) * 180.0 / kPi;
    }
};

struct AnalyticCase {
    const char* name;
    std::function<Complex(double)> h;
    Tails tails;
};

TEST_F(HilbertBodeTest, PhaseOfKnownMinimumPhaseResponses) {
    const Complex j(0.0, 1.0);
    const AnalyticCase cases[] = {
        {"2nd-order high-pass at 100 Hz",
         [j](double f) {
             const Complex s = j * f / 100.0;
             return s * s / (s * s + std::sqrt(2.0) * s + 1.0);
         },
         {"25", "12", "45000", "0"}},
        {"1st-order low-pass at 2 kHz",
         [j](double f) { return 1.0 / (1.0 + j * f / 2000.0); },
         {"12", "0", "40000", "6"}},
        {"flat", [](double) { return Complex(1.0, 0.0); }, {"12", "0", "45000", "0"}},
    };
    for (const AnalyticCase& c : cases) {
        SCOPED_TRACE(c.name);
        Load(c.h, 90.0, c.tails);
        ASSERT_EQ(CalculateHilbertBode(), 0);
        EXPECT_EQ(R().HbtValid, 1);
        // The integral's end corrections take w << wi below the grid (and w >> wi above it),
        // so a steep tail costs the last octaves a little: under a degree from 25 Hz to 20 kHz,
        // a few tenths in the middle.
        double worst = 0.0, worst_middle = 0.0;
        for (int k = 0; k < kPoints; ++k) {
            const double f = F(k);
            if (f < 25.0 || f > 20000.0) continue;
            const Complex want = c.h(f);
            const double error = std::abs(WrappedDegrees(std::arg(Hbt(k)) - std::arg(want)));
            worst = std::max(worst, error);
            if (f > 50.0 && f < 10000.0) worst_middle = std::max(worst_middle, error);
            // The level is the curve's own between the tails.
            if (f > 1.05 * std::atof(c.tails.hp_stop) && f < std::atof(c.tails.lp_start) / 1.05) {
                ASSERT_NEAR(std::abs(Hbt(k)) / std::abs(want), 1.0, 1e-4) << k;
            }
        }
        EXPECT_LT(worst, 1.0) << "worst phase error in degrees, 25 Hz .. 20 kHz";
        EXPECT_LT(worst_middle, 0.3) << "worst phase error in degrees, 50 Hz .. 10 kHz";
    }
}

TEST_F(HilbertBodeTest, FlatCurveGivesZeroPhaseAndItsLevel) {
    for (double efficiency : {90.0, 84.0}) {
        SCOPED_TRACE(efficiency);
        for (int k = 0; k < kPoints; ++k) R().Spl[k] = 90.0f;
        shell::FormatNumberText(R().Efficiency, shell::kTextSlot, efficiency, 1);
        shell::CopyTextSlot(R().InputPower, "1");
        shell::CopyTextSlot(R().HighPassSlope, "0");
        shell::CopyTextSlot(R().LowPassSlope, "0");
        ASSERT_EQ(CalculateHilbertBode(), 0);
        const double m = std::pow(10.0, 0.05 * (90.0 - efficiency));
        for (int k = 0; k < kPoints; ++k) {
            if (efficiency == 90.0) {
                ASSERT_EQ(R().HbtReal[k], 1.0f) << k;
                ASSERT_EQ(R().HbtImag[k], 0.0f) << k;
            } else {
                ASSERT_NEAR(R().HbtReal[k], m, 1e-5 * m) << k;
                ASSERT_NEAR(R().HbtImag[k], 0.0, 1e-9) << k;
            }
        }
    }
}

TEST_F(HilbertBodeTest, DistanceTermsScaleAndDelay) {
    const Complex j(0.0, 1.0);
    Load([j](double f) { return 1.0 / (1.0 + j * f / 2000.0); }, 90.0, {"12", "0", "40000", "6"});
    shell::CopyTextSlot(R().InputPower, "4");
    ASSERT_EQ(CalculateHilbertBode(), 0);
    std::vector<Complex> plain(kPoints);
    for (int k = 0; k < kPoints; ++k) plain[k] = Hbt(k);

    struct Case {
        int in_phase, in_amplitude;
        float distance;
        double gain_db;
    };
    for (const Case& c : {Case{0, 1, 2.0f, 0.0}, Case{0, 1, 1.0f, 6.0206}, Case{1, 0, 1.0f, 0.0},
                          Case{1, 1, 0.5f, 12.0412}}) {
        SCOPED_TRACE(c.in_phase * 10 + c.in_amplitude);
        R().DistanceInPhase = c.in_phase;
        R().DistanceInAmplitude = c.in_amplitude;
        R().Distance = c.distance;
        ASSERT_EQ(CalculateHilbertBode(), 0);
        for (int k = 0; k < kPoints; k += 7) {
            const double gain = 20.0 * std::log10(std::abs(Hbt(k)) / std::abs(plain[k]));
            ASSERT_NEAR(gain, c.gain_db, 1e-3) << k;
            const double turn = c.in_phase ? -6.284 * F(k) * c.distance / 344.0 : 0.0;
            ASSERT_NEAR(WrappedDegrees(std::arg(Hbt(k)) - std::arg(plain[k]) - turn), 0.0, 1e-3)
                << k;
        }
    }
}

TEST_F(HilbertBodeTest, PinNotAboveZeroOrABadDistanceIsRefusedAndChangesNothing) {
    for (int k = 0; k < kPoints; ++k) R().HbtReal[k] = 0.25f;
    R().HbtValid = 0;
    for (const char* pin : {"0", "-1", "abc", "", "nan"}) {
        SCOPED_TRACE(pin);
        shell::CopyTextSlot(R().InputPower, pin);
        platform::testing::ClearMessageBoxLog();
        EXPECT_EQ(CalculateHilbertBode(), 1);
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Input Power Error"});
        EXPECT_EQ(platform::testing::MessageBoxLog()[0].caption, "QV MEssage");
    }
    shell::CopyTextSlot(R().InputPower, "1");
    R().DistanceInAmplitude = 1;
    for (float d : {0.0f, -1.0f, std::nanf("")}) {
        R().Distance = d;
        platform::testing::ClearMessageBoxLog();
        EXPECT_EQ(CalculateHilbertBode(), 1);
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Distance Error"});
    }
    EXPECT_EQ(R().HbtReal[1234], 0.25f);
    EXPECT_EQ(R().HbtValid, 0);
}

TEST_F(HilbertBodeTest, TailsAreClampedIntoTheRangeAndTheLowPassWinsTheOverlap) {
    EXPECT_NEAR(HbtPointsPerOctave(10.0f, 50000.0f), 163.657, 1e-3);
    EXPECT_NEAR(HbtPointsPerOctave(20.0f, 20000.0f), 200.94, 1e-2);
    for (int k = 0; k < kPoints; ++k) R().Spl[k] = 80.0f + 0.001f * k;
    shell::CopyTextSlot(R().InputPower, "1");
    shell::CopyTextSlot(R().Efficiency, "0");
    shell::CopyTextSlot(R().HighPassSlope, "12");
    shell::CopyTextSlot(R().LowPassSlope, "24");
    const float* g = shell::ExtendedFrequencyGrid;
    // The first point above the clamped frequency anchors each tail.
    auto anchor = [g](double v) {
        int j = 0;
        while (g[j] <= v) ++j;
        return j;
    };
    struct Case {
        const char* hp_stop;
        const char* lp_start;
        double hp_used;
        double lp_used;
    };
    std::vector<float> reference;
    for (const Case& c : {Case{"1", "1000000", 10.2, 49000.0}, Case{"nan", "1e9", 10.2, 49000.0},
                          Case{"-5", "inf", 10.2, 10.2}, Case{"3000", "500", 3000.0, 500.0}}) {
        SCOPED_TRACE(c.hp_stop);
        shell::CopyTextSlot(R().HighPassStop, c.hp_stop);
        shell::CopyTextSlot(R().LowPassStart, c.lp_start);
        ASSERT_EQ(CalculateHilbertBode(), 0);
        const float* w = HbtWorkCurve();
        const int hp = anchor(c.hp_used);
        const int lp = anchor(c.lp_used);
        const float s_hp = static_cast<float>(12.0 / 163.657);
        const float s_lp = static_cast<float>(24.0 / 163.657);
        // Below the high-pass anchor the level falls towards low frequencies ...
        if (hp < lp) {
            EXPECT_NEAR(w[hp - 1], w[hp] - s_hp, 1e-3);
            EXPECT_NEAR(w[0] - w[hp - 1], -(hp - 1) * s_hp, 0.05) << "straight down to point 0";
        }
        // ... and from one below the low-pass anchor up it falls towards high frequencies.
        EXPECT_NEAR(w[lp - 1], w[lp - 2] - s_lp, 1e-3);
        EXPECT_NEAR(w[2699] - w[lp - 1], -(2699 - lp + 1) * s_lp, 0.05);
        if (c.hp_used == 10.2 && c.lp_used == 49000.0) {
            std::vector<float> now(R().HbtReal, R().HbtReal + kPoints);
            if (reference.empty()) reference = now;
            EXPECT_EQ(now, reference) << "an unreadable stop reads as the lowest one";
        }
        for (int k = 0; k < kPoints; ++k) ASSERT_TRUE(std::isfinite(R().HbtReal[k])) << k;
    }
}

}  // namespace
}  // namespace driverdata::test
