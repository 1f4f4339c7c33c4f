// The room equalizer's averaging, correction, excess group delay and hand-off to the element.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>

#include "MeasurementTestSupport.h"
#include "measurement/RoomEq.h"
#include "measurement/RoomEqLocation.h"
#include "measurement/RoomEqMinimumPhase.h"
#include "shell/NetworkTables.h"

namespace measurement::test {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kElement = 5;

std::complex<double> Peak(double f, double fc, double gain_db, double q_value) {
    const double x = f / fc;
    const double a = std::pow(10.0, 0.025 * gain_db);
    const double q = gain_db < 0 ? a * q_value : q_value / a;
    return std::complex<double>(1 - x * x, x * a / q) /
           std::complex<double>(1 - x * x, x / (a * q));
}

class RoomEqTest : public MeasurementTest {
  protected:
    void SetUp() override {
        MeasurementTest::SetUp();
        BuildRoomEqGrids();
        shell::WorkingNetwork = shell::NetworkTables{};
        for (int r = 0; r < shell::kRoomEqCurveCount; ++r)
            std::memset(shell::RoomEQCurves[r], 0, sizeof(shell::CurveRecord));
        shell::WorkingNetwork.ElementGeometry[kElement].kind = shell::kElementRoomEq;
        p_ = shell::WorkingNetwork.ElementParams[kElement];
        p_[shell::kParamF1] = 10.1f;
        p_[shell::kParamF2] = 250.0f;
        p_[shell::kParamCorrectionPort] = 16.0f;
    }
    // Location l measured with the given level (stored scale) and phase (degrees) per frequency.
    template <typename Level, typename Phase>
    void Measure(int l, Level level, Phase phase) {
        for (int j = 0; j < kRoomEqPoints; ++j) {
            Curve(kRoomEqLevel + l)[j] = static_cast<float>(level(RoomEQFrequencyGrid[j]));
            Curve(kRoomEqPhase + l)[j] = static_cast<float>(phase(RoomEQFrequencyGrid[j]));
        }
        Curve(kRoomEqLevel + l)[shell::kCurveHoldsData] = 1.0f;
    }
    static float* Curve(int r) { return shell::RoomEQCurves[r]->v; }
    float* p_ = nullptr;
};

TEST_F(RoomEqTest, ComplexAndScalarAveraging) {
    struct Case {
        double phase;  // of the 0 dB location, degrees
        bool scalar;
    };
    const Case cases[] = {{0, false}, {180, false}, {180, true}, {0, true}};
    for (const Case& c : cases) {
        Measure(
            0, [](double) { return 6.0; }, [](double) { return 0.0; });
        Measure(
            3, [](double) { return 0.0; }, [&](double) { return c.phase; });
        p_[shell::kParamScalarAverage] = c.scalar ? 1.0f : 0.0f;
        ASSERT_EQ(EvaluateRoomEq(kElement), 0);
        const double phi = c.scalar ? 0.0 : c.phase * 0.0174557;
        const double expected =
            20.0 * std::log10(std::abs((std::pow(10.0, 0.3) + std::polar(1.0, phi)) / 2.0));
        EXPECT_NEAR(Curve(kRoomEqAverage)[1000], expected, 0.005) << c.phase << c.scalar;
        if (c.scalar) {
            EXPECT_EQ(Curve(kRoomEqAveragePh)[1000], 0.0f);
        }
    }
}

TEST_F(RoomEqTest, CorrectionOnlyInsideTheBandAndAboveTheThreshold) {
    struct Case {
        int position;
        float from, to;
    };
    const Case cases[] = {{70, 10.1f, 250.0f}, {80, 40.0f, 120.0f}, {60, 100.0f, 50.0f}};
    Measure(
        1, [](double f) { return 10.0 * std::sin(f / 20.0); }, [](double) { return 0.0; });
    for (const Case& c : cases) {
        RoomEQThresholdPos = c.position;
        p_[shell::kParamF1] = c.from;
        p_[shell::kParamF2] = c.to;
        ASSERT_EQ(EvaluateRoomEq(kElement), 0);
        const float t = 70.0f - c.position;
        int cut = 0;
        for (int j = 0; j < kRoomEqPoints; ++j) {
            const float f = RoomEQFrequencyGrid[j], avg = Curve(kRoomEqAverage)[j];
            const bool inside = avg > t && c.from < f && f <= c.to;
            ASSERT_FLOAT_EQ(Curve(kRoomEqCorrection)[j], inside ? t - avg : 0.0f) << f;
            ASSERT_FLOAT_EQ(Curve(kRoomEqEqualized)[j], avg + Curve(kRoomEqCorrection)[j]);
            EXPECT_EQ(RoomEQThresholdLine[j], t);
            cut += inside;
        }
        EXPECT_EQ(cut > 0, c.from < c.to) << c.position;
    }
}

TEST_F(RoomEqTest, CorrectionTimesAverageIsFlatInTheBand) {
    // A minimum-phase +6 dB, Q 2 room mode at 60 Hz over a 0 dB threshold.
    Measure(
        2, [](double f) { return 20.0 * std::log10(std::abs(Peak(f, 60, 6, 2))); },
        [](double f) { return std::arg(Peak(f, 60, 6, 2)) * 180.0 / kPi; });
    ASSERT_EQ(EvaluateRoomEq(kElement), 0);
    for (int j = 0; RoomEQFrequencyGrid[j] < 200.0f; j += 9) {
        if (RoomEQFrequencyGrid[j] < 20.0f) continue;
        EXPECT_NEAR(Curve(kRoomEqEqualized)[j], 0.0, 1e-3) << RoomEQFrequencyGrid[j];
        EXPECT_NEAR(Curve(kRoomEqCorrectionPh)[j] + Curve(kRoomEqAveragePh)[j], 0.0, 1.0)
            << RoomEQFrequencyGrid[j];
        EXPECT_NEAR(Curve(kRoomEqGroupDelay)[j], 0.0, 0.5) << RoomEQFrequencyGrid[j];
    }
}

TEST_F(RoomEqTest, PureDelayReadsAsExcessGroupDelay) {
    for (double ms : {5.0, 12.5}) {
        Measure(
            0, [](double) { return 0.0; },
            [&](double f) { return std::remainder(-360.0 * f * 0.001 * ms, 360.0); });
        ASSERT_EQ(EvaluateRoomEq(kElement), 0);
        for (int j = 100; j < 782; j += 50)
            EXPECT_NEAR(Curve(kRoomEqGroupDelay)[j], ms, 0.005) << RoomEQFrequencyGrid[j];
    }
}

TEST_F(RoomEqTest, ExcessPhaseMeanStartsLaterAfterALocation) {
    struct Case {
        RoomEqEvaluation from;
        int equal_leading;  // points from 0 on that carry the first computed mean
    };
    const Case cases[] = {{RoomEqEvaluation::kRecalculate, 2},
                          {RoomEqEvaluation::kLocationRoad, 3}};
    Measure(
        0, [](double) { return 0.0; }, [](double f) { return std::remainder(-3.6 * f, 360); });
    for (const Case& c : cases) {
        ASSERT_EQ(EvaluateRoomEq(kElement, c.from), 0);
        const float* mean = Curve(kRoomEqExcessMean);
        int equal = 1;
        while (mean[equal] == mean[0]) ++equal;
        EXPECT_EQ(equal, c.equal_leading);
        EXPECT_EQ(mean[kRoomEqPoints - 1], mean[kRoomEqPoints - 3]);
    }
}

TEST_F(RoomEqTest, DriverCorrectionOfTheChosenPort) {
    struct Case {
        float port_slot;     // correction port index of the room-EQ element
        bool gap_before;     // an empty slot before the port ends the scan
        double expected_db;  // change of the average
    };
    const double half = 20.0 * std::log10(0.5);
    const Case cases[] = {{2, false, half}, {2, true, 0.0}, {3, false, 0.0}, {16, false, 0.0}};
    Measure(
        0, [](double) { return 0.0; }, [](double) { return 0.0; });
    for (const Case& c : cases) {
        shell::NetworkTables& net = shell::WorkingNetwork;
        for (int e = 0; e < 10; ++e) net.ElementGeometry[e].kind = shell::kElementFilter;
        net.ElementGeometry[kElement].kind = shell::kElementRoomEq;
        if (c.gap_before) net.ElementGeometry[7].kind = 0;
        net.ElementGeometry[8].kind = shell::kElementOutputPort;
        net.ElementParams[8][shell::kParamOutputPort] = 3.0f;
        for (auto& v : net.ElementTransfer[8]) v = {0.5f, 0.0f};
        p_[shell::kParamCorrectionPort] = c.port_slot;
        ASSERT_EQ(EvaluateRoomEq(kElement), 0);
        EXPECT_NEAR(Curve(kRoomEqAverage)[500], c.expected_db, 1e-3);
        // Above FrequencyGrid's end nothing is corrected.
        EXPECT_NEAR(Curve(kRoomEqAverage)[1999], 0.0, 1e-3);
    }
    // The scan stops at the last slot.
    for (int e = 0; e < shell::kMaxElements; ++e)
        shell::WorkingNetwork.ElementGeometry[e].kind = shell::kElementFilter;
    p_[shell::kParamCorrectionPort] = 2.0f;
    EXPECT_EQ(EvaluateRoomEq(kElement), 0);
}

TEST_F(RoomEqTest, DoneStoresTheCorrectionAtItsOwnFrequencies) {
    struct Case {
        int start_index;
        int stop_index;
        bool amplitude_only;
    };
    const Case cases[] = {{3, 6, false}, {4, 5, false}, {0, 7, true}};
    Measure(
        0, [](double f) { return 20.0 * std::log10(std::abs(Peak(f, 60, 6, 2))); },
        [](double f) { return std::arg(Peak(f, 60, 6, 2)) * 180.0 / kPi; });
    ASSERT_EQ(EvaluateRoomEq(kElement), 0);
    for (const Case& c : cases) {
        shell::BuildFrequencyGrids(c.start_index, c.stop_index);
        p_[shell::kParamAmplitudeOnly] = c.amplitude_only ? 1.0f : 0.0f;
        ASSERT_EQ(StoreRoomEqCorrection(kElement), 0);
        const shell::ComplexPoint* t = shell::WorkingNetwork.ElementTransfer[kElement];
        for (int i = 0; i < shell::kGridPoints; i += 7) {
            const double f = shell::FrequencyGrid[i];
            if (f < RoomEQFrequencyGrid[0] || f > RoomEQFrequencyGrid[kRoomEqPoints - 1]) {
                ASSERT_EQ(t[i].re, 1.0f) << f;
                ASSERT_EQ(t[i].im, 0.0f) << f;
                continue;
            }
            if (f < 20.0 || f > 200.0) continue;
            // The stored curve undoes the room mode at its own frequency.
            const std::complex<double> product =
                std::complex<double>(t[i].re, t[i].im) * Peak(f, 60, 6, 2);
            EXPECT_NEAR(std::abs(product), 1.0, 0.01) << f;
            if (c.amplitude_only) {
                EXPECT_EQ(t[i].im, 0.0f);
            } else {
                EXPECT_NEAR(std::arg(product) * 180.0 / kPi, 0.0, 1.0) << f;
            }
        }
    }
    ClearRoomEqData();
    ASSERT_EQ(StoreRoomEqCorrection(kElement), 0);
    for (const auto& v : shell::WorkingNetwork.ElementTransfer[kElement]) {
        ASSERT_EQ(v.re, 1.0f);
        ASSERT_EQ(v.im, 0.0f);
    }
    EXPECT_EQ(StoreRoomEqCorrection(shell::kMaxElements), 1);
}

TEST_F(RoomEqTest, AutoSaveNamesFollowTheChannel) {
    std::snprintf(shell::ProgramDirectory, sizeof shell::ProgramDirectory, "/data/");
    const std::pair<int, const char*> cases[] = {
        {1, "/data/Front_Left_L1.res"},  {2, "/data/Centre_L1.res"},
        {3, "/data/Front_Right_L1.res"}, {4, "/data/Rear_Left_L1.res"},
        {5, "/data/Subwoofer_L1.res"},   {6, "/data/Rear_Right_L1.res"},
        {7, "/data/Subwoofer_2_L1.res"}};
    for (const auto& [pane, name] : cases) EXPECT_EQ(RoomEqAutoSavePath(pane, 0), name);
    EXPECT_EQ(RoomEqAutoSavePath(6, 5), "/data/Rear_Right_L6.res");
    EXPECT_EQ(RoomEqAutoSavePath(0, 0), "");
    EXPECT_EQ(RoomEqAutoSavePath(1, 6), "");
}

}  // namespace
}  // namespace measurement::test
