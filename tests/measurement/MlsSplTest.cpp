// Calculate SPL on impulses placed by hand: the pulse-delay rotation, the checks that come
// before any result is touched, the calibrations, and the curve repairs it shares.

#include <cmath>
#include <cstdlib>
#include <vector>

#include "MeasurementTestSupport.h"
#include "measurement/MlsSpl.h"

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
        std::memset(shell::MlsRefSamples, 0, sizeof(float) * 536000);
        std::memset(shell::MlsInSamples, 0, sizeof(float) * 536000);
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
        {"gate start past the buffer", 10, 10, "30000", 536000 - 65535,
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
