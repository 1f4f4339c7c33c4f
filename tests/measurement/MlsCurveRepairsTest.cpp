// Calculate SPL's smoothing in both modes against the smoothing written out here from its
// definition, and the phase repairs of both calculations: the wrap marking next to a 0 before a
// value above 130 degrees, and the room equalizer's repair of falls of more than 300 degrees.

#include <cmath>
#include <vector>

#include "MeasurementTestSupport.h"
#include "measurement/GatedSpectrum.h"
#include "measurement/MlsDeconvolution.h"
#include "measurement/MlsSpl.h"
#include "measurement/RoomEqLocation.h"

namespace measurement::test {
namespace {

using Curve = std::vector<double>;

// Step by step as the calculation is defined, in double precision.
Curve PreSmoothed(Curve v, int passes) {
    for (int pass = 0; pass < passes; ++pass) {
        const Curve c = v;
        for (int j = 2; j <= 1997; ++j)
            v[j] = 0.2 * (c[j - 2] + c[j - 1] + c[j] + c[j + 1] + c[j + 2]);
    }
    return v;
}

// The final smoothing; `copy` receives what the calculation leaves in MlsInResponse.
Curve Smoothed(Curve v, int p, bool lin_phase, bool phase, Curve* copy) {
    *copy = v;
    if (p == 0) return v;
    if (lin_phase) {
        for (int j = p; j <= 1999 - p; ++j) {
            double sum = 0.0;
            for (int k = j - p; k <= j + p; ++k) sum += (*copy)[k];
            v[j] = sum / (2 * p + 1);
        }
        return v;
    }
    for (int pass = 0; pass < p; ++pass) {
        if (phase) *copy = v;
        const Curve& c = *copy;
        for (int j = 1; j <= 1998; ++j) {
            if (phase && std::fabs(c[j] - c[j + 1]) >= 240.0) {
                ++j;  // j and j + 1 keep their values
                continue;
            }
            v[j] = (c[j - 1] + c[j] + c[j + 1]) / 3.0;
        }
        if (!phase) *copy = v;
    }
    return v;
}

class MlsCurveRepairsTest : public MeasurementTest {
  protected:
    void SetUp() override {
        MeasurementTest::SetUp();
        MlsOrder = 16;
        shell::Mls.MlsSampleRateIndex = 5;
        shell::Mls.MlsWindowType = 2;
        shell::CopyTextSlot(shell::Mls.MlsWindowWidthText, "30000");
        shell::Mls.MlsUseMikeCal = 0;
        shell::Mls.MlsUsePreampCal = 0;
        MlsRefPeak = MlsInPeak = 10;
        MlsImpulseStart = 50;
        shell::BuildFrequencyGrids(4, 5);  // 20 Hz .. 20 kHz: every point holds data
        std::memset(shell::MlsRefSamples, 0, sizeof(float) * kMlsSampleEntries);
        std::memset(shell::MlsInSamples, 0, sizeof(float) * kMlsSampleEntries);
        // An echo makes the level ripple; the delay makes the phase wrap at every turn.
        shell::MlsRefSamples[60] = 1000.0f;
        shell::MlsInSamples[110] = 500.0f;
        shell::MlsInSamples[123] = -300.0f;
    }
    void Calculate(int smoothing_index, int lin_phase) {
        shell::Mls.MlsSmoothingIndex = smoothing_index;
        UpdateSmoothingPasses();
        MlsLinPhase = lin_phase;
        ASSERT_EQ(CalculateMlsSpl(nullptr), 0);
    }
};

TEST_F(MlsCurveRepairsTest, SmoothingInBothModes) {
    Calculate(5, 0);
    Curve spl(shell::kGridPoints), phase(shell::kGridPoints);
    for (int j = 0; j < shell::kGridPoints; ++j) {
        spl[j] = shell::CurrentDriverRecord->Spl[j];
        phase[j] = shell::CurrentDriverRecord->Phase[j];
    }
    int jumps = 0;
    for (int j = 0; j + 1 < shell::kGridPoints; ++j)
        jumps += std::fabs(phase[j] - phase[j + 1]) >= 240.0;
    ASSERT_GT(jumps, 10) << "the phase must wrap for the jump rule to be tried";

    struct Row {
        int index, lin_phase, passes;
    } rows[] = {{5, 1, 0}, {0, 1, 16}, {0, 0, 16}, {3, 0, 2}, {4, 1, 1}, {2, 0, 4}};
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::Message() << "index " << r.index << " lin-phase " << r.lin_phase);
        Calculate(r.index, r.lin_phase);
        ASSERT_EQ(SmoothingPasses, r.passes);
        Curve spl_copy, phase_copy;
        const Curve want_spl =
            Smoothed(PreSmoothed(spl, r.passes), r.passes, r.lin_phase == 1, false, &spl_copy);
        const Curve want_phase = Smoothed(phase, r.passes, r.lin_phase == 1, true, &phase_copy);
        for (int j = 0; j < shell::kGridPoints; ++j) {
            ASSERT_NEAR(shell::CurrentDriverRecord->Spl[j], want_spl[j], 2e-3) << j;
            ASSERT_NEAR(shell::CurrentDriverRecord->Phase[j], want_phase[j], 2e-2) << j;
            ASSERT_NEAR(shell::MlsInResponse[j].re, spl_copy[j], 2e-3) << j;
            ASSERT_NEAR(shell::MlsInResponse[j].im, phase_copy[j], 2e-2) << j;
        }
    }
}

TEST_F(MlsCurveRepairsTest, WrapMarkingBeforeAValueAbove130) {
    struct Row {
        std::vector<float> in, want;
    } rows[] = {
        // Back over the 0 run to the value below -130, which becomes -179, then +179.
        {{10, -150, 0, 0, 150}, {10, -179, 179, 164.5f, 150}},
        // No value below -130 on the way: the walk ends at point 0.
        {{0, 0, 0, 170, 160}, {-179, 179, 174.5f, 170, 160}},
        // Only a 0 right before a value above 130 counts.
        {{-150, 5, 150, 140}, {-150, 5, 150, 140}},
        {{-150, 0, 130, 120}, {-150, -10, 130, 120}},
        // -130 itself is not below -130.
        {{-150, -130, 0, 150}, {-179, 179, 164.5f, 150}},
    };
    for (const Row& r : rows) {
        std::vector<float> p = r.in;
        RepairPhase(p.data(), static_cast<int>(p.size()));
        for (std::size_t j = 0; j < p.size(); ++j)
            EXPECT_FLOAT_EQ(p[j], r.want[j]) << ::testing::PrintToString(r.in) << " point " << j;
    }
}

TEST_F(MlsCurveRepairsTest, DropsOfMoreThan300DegreesAreLiftedUpToPoint784) {
    struct Row {
        int from;     // the fall is between points from - 1 and from
        double fall;  // degrees (on a rise of 0.1 degree a point: 300 falls 299.7 in 3 points)
        double lift;  // what the points from `from` on gain
    } rows[] = {{103, 330, 360}, {103, 300, 0}, {103, 700, 720},
                {784, 330, 360}, {785, 330, 0}, {3, 301, 360}};
    for (const Row& r : rows) {
        std::vector<float> u(shell::kGridPoints);
        for (int j = 0; j < shell::kGridPoints; ++j)
            u[j] = static_cast<float>(0.1 * j - (j >= r.from ? r.fall : 0.0));
        RepairPhaseDrops(u.data());
        for (int j = 0; j < shell::kGridPoints; ++j) {
            double want = 0.1 * j - (j >= r.from ? r.fall : 0.0);
            if (r.lift > 0 && j >= r.from) want += r.lift;
            // The two points before the lifted part take the value three points before it.
            if (r.lift > 0 && (j == r.from - 1 || j == r.from - 2)) want = 0.1 * (r.from - 3);
            ASSERT_NEAR(u[j], want, 1e-3)
                << "fall at " << r.from << " of " << r.fall << ", point " << j;
        }
    }
}

}  // namespace
}  // namespace measurement::test
