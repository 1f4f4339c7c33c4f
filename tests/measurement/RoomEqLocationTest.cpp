// One room-EQ location from a synthetic capture: the sequence on the reference channel, the same
// sequence through a known two-tap response on the measured channel.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>

#include "MeasurementTestSupport.h"
#include "measurement/CaptureFile.h"
#include "measurement/MlsDeconvolution.h"
#include "measurement/MlsSequences.h"
#include "measurement/MlsSpl.h"
#include "measurement/RoomEqLocation.h"
#include "measurement/RoomEqMinimumPhase.h"
#include "shell/NetworkTables.h"

namespace measurement::test {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kOrder = 16;
constexpr int kLength = (1 << kOrder) - 1;
constexpr double kRate = 48000.0;
constexpr int kRefArrival = 500;
constexpr int kInLag = 100;  // samples the measured channel lags the reference

void PutWord(int word, std::int32_t value) {
    std::memcpy(MlsCaptureCopy + 4 * static_cast<std::size_t>(word), &value, 4);
}

// Captured units of each tap: 8000 at the lag, -4000 one sample later.
std::complex<double> Analytic(double f, double residual_s) {
    const double w = 2 * kPi * f;
    const std::complex<double> h = 8000.0 - 4000.0 * std::exp(std::complex<double>(0, -w / kRate));
    return 2.0 / 205.0 * h * std::exp(std::complex<double>(0, -w * residual_s));
}

class RoomEqLocationTest : public MeasurementTest {
  protected:
    void SetUp() override {
        MeasurementTest::SetUp();
        ASSERT_TRUE(AllocMlsCaptureCopies());
        BuildRoomEqGrids();
        MlsOrder = kOrder;
        MlsImpulseStart = 50;
        shell::Mls.MlsSampleRateIndex = 5;
        shell::Mls.MlsWindowType = 0;
        std::snprintf(shell::Mls.MlsWindowWidthText, sizeof shell::Mls.MlsWindowWidthText, "4000");
        for (auto& p : params_) p = 0.0f;
        for (int r = 0; r < shell::kRoomEqCurveCount; ++r)
            std::memset(shell::RoomEQCurves[r], 0, sizeof(shell::CurveRecord));
    }
    void FillCapture(bool silent) {
        ASSERT_TRUE(BuildMlsSequence(kOrder));
        // The sequence is played once.
        auto s = [&](int i) {
            return i < 0 || i >= kLength ? 0 : MlsBit(shell::MlsBitBuffer, i) ? -1 : 1;
        };
        std::memset(MlsCaptureCopy, 0, kMlsCaptureBytes);
        if (silent) return;
        for (int f = 0; f < static_cast<int>(kMlsCaptureFrames); ++f) {
            PutWord(2 * f, 10000 * s(f - kRefArrival) * 256);
            const int at = f - kRefArrival - kInLag;
            PutWord(2 * f + 1, (8000 * s(at) - 4000 * s(at - 1)) * 256);
        }
    }
    static float* Curve(int r) { return shell::RoomEQCurves[r]->v; }
    float params_[shell::kElementParamCount] = {};
};

TEST_F(RoomEqLocationTest, LevelAndPhaseFollowTheAnalyticResponse) {
    struct Case {
        int location;
        double residual_ms;  // delay left in after the element's delay slot
        float add_db;
    };
    const double lag_ms = 1000.0 * kInLag / kRate;
    const Case cases[] = {{0, 0.0, 0.0f}, {4, 0.5, 6.0f}};
    FillCapture(false);
    for (const Case& c : cases) {
        params_[shell::kParamDelay] = static_cast<float>(lag_ms - c.residual_ms);
        params_[shell::kParamAddDb] = c.add_db;
        ASSERT_EQ(ProcessRoomEqLocation(nullptr, c.location, params_), LocationResult::kDone);
        EXPECT_EQ(Curve(kRoomEqLevel + c.location)[shell::kCurveHoldsData], 1.0f);
        EXPECT_EQ(MlsRefPeak, kRefArrival);
        EXPECT_NEAR(Curve(kRoomEqInImpulse + c.location)[60 + kInLag], 0.01 * 2 * 8000 / 205.0,
                    0.01);
        for (int k = 0; RoomEQFrequencyGrid[k] < 250.0f; k += 17) {
            const double f = RoomEQFrequencyGrid[k];
            if (f < 30.0) continue;
            const std::complex<double> h = Analytic(f, 0.001 * c.residual_ms);
            EXPECT_NEAR(Curve(kRoomEqLevel + c.location)[k] + 90.0,
                        20.0 * std::log10(std::abs(h)) + c.add_db, 0.5)
                << f;
            EXPECT_NEAR(std::remainder(
                            Curve(kRoomEqPhase + c.location)[k] - std::arg(h) * 180 / kPi, 360.0),
                        0.0, 3.0)
                << f;
        }
    }
}

TEST_F(RoomEqLocationTest, RefusalsLeaveTheLocationAlone) {
    struct Case {
        bool silent;
        const char* width;
        LocationResult result;
        const char* message;
    };
    const Case cases[] = {
        {true, "4000", LocationResult::kNoImpulse, "Please Generate Impulse Response First"},
        {false, "70000", LocationResult::kWindowTooWide, "Please reduce Timw Window Length"},
        {false, "abc", LocationResult::kWindowTooWide, kMlsGateTooNarrow},
        {false, "0.5", LocationResult::kWindowTooWide, kMlsGateTooNarrow},
    };
    for (const Case& c : cases) {
        FillCapture(c.silent);
        platform::testing::ClearMessageBoxLog();
        std::snprintf(shell::Mls.MlsWindowWidthText, sizeof shell::Mls.MlsWindowWidthText, "%s",
                      c.width);
        Curve(kRoomEqLevel + 2)[100] = -7.0f;
        EXPECT_EQ(ProcessRoomEqLocation(nullptr, 2, params_), c.result);
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(Curve(kRoomEqLevel + 2)[100], -7.0f);
        EXPECT_EQ(Curve(kRoomEqLevel + 2)[shell::kCurveHoldsData], 0.0f);
    }
}

TEST_F(RoomEqLocationTest, UnwrapAndTenPointMean) {
    struct Case {
        std::vector<float> in;
        std::vector<float> unwrapped;
    };
    const Case cases[] = {
        {{170, -170, -150, 170}, {170, 190, 210, 170}},
        {{-170, 170, 10}, {-170, -190, -350}},
    };
    for (const Case& c : cases) {
        std::vector<float> u(c.in.size());
        UnwrapDegrees(c.in.data(), u.data(), static_cast<int>(c.in.size()));
        EXPECT_EQ(u, c.unwrapped);
    }
    std::vector<float> ramp(30), mean(30);
    for (int j = 0; j < 30; ++j) ramp[j] = static_cast<float>(j);
    TenPointMean(ramp.data(), mean.data(), 30);
    EXPECT_FLOAT_EQ(mean[5], 4.5f);
    EXPECT_FLOAT_EQ(mean[0], 4.5f);
    EXPECT_FLOAT_EQ(mean[24], 23.5f);
    EXPECT_FLOAT_EQ(mean[29], 23.5f);
}

}  // namespace
}  // namespace measurement::test
