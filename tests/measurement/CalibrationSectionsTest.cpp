// The calibration sections against their transfer functions written out here, and the curve
// built from the default sections.

#include <cmath>
#include <complex>

#include "MeasurementTestSupport.h"
#include "measurement/CalibrationSections.h"

namespace measurement::test {
namespace {

using C = std::complex<double>;

C Section(float f, int family, int slope, float fc) {
    float out[2];
    EXPECT_EQ(CalibrationFilterResponse(out, f, family, slope, fc), out);
    return {out[0], out[1]};
}

// Textbook forms in s = j f / fc.
C ButterworthLow(int order, double x) {
    const C s(0.0, x);
    switch (order) {
        case 1:
            return 1.0 / (s + 1.0);
        case 2:
            return 1.0 / (s * s + std::sqrt(2.0) * s + 1.0);
        default:
            return 1.0 / ((s + 1.0) * (s * s + s + 1.0));
    }
}

using CalibrationSectionsTest = MeasurementTest;

TEST_F(CalibrationSectionsTest, ButterworthAndLinkwitzSectionsFollowTheirTransferFunctions) {
    struct Row {
        int slope, order;
        bool high;
    } rows[] = {{0, 1, false}, {1, 2, false}, {2, 3, false},
                {5, 1, true},  {6, 2, true},  {7, 3, true}};
    for (const Row& r : rows) {
        for (double x : {0.1, 0.5, 1.0, 2.0, 7.0}) {
            SCOPED_TRACE(::testing::Message() << "slope " << r.slope << " x " << x);
            const C want = r.high ? ButterworthLow(r.order, 1.0 / x) : ButterworthLow(r.order, x);
            // A high-pass is the low-pass at 1/x, conjugated (s -> 1/s on the imaginary axis).
            const C expected = r.high ? std::conj(want) : want;
            const C got = Section(static_cast<float>(1000.0 * x), 1, r.slope, 1000.0f);
            EXPECT_NEAR(std::abs(got - expected), 0.0, 2e-3);
        }
    }
    // Linkwitz "LP -12dB/oct" equals two first-order Butterworth sections; first and third
    // orders give 1.
    const C lr = Section(1500.0f, 2, 1, 1000.0f);
    const C bw = Section(1500.0f, 1, 0, 1000.0f);
    EXPECT_NEAR(std::abs(lr - bw * bw), 0.0, 1e-6);
    for (int slope : {0, 2, 5, 7}) EXPECT_EQ(Section(1500.0f, 2, slope, 1000.0f), C(1.0, 0.0));
}

TEST_F(CalibrationSectionsTest, QParametricPeakAndUnityCases) {
    CalQ = 20.0f;
    CalGainDb = -10.0f;
    EXPECT_NEAR(20.0 * std::log10(std::abs(Section(20000.0f, 3, 0, 20000.0f))), -10.0, 1e-4);
    EXPECT_NEAR(std::abs(Section(200.0f, 3, 7, 20000.0f)), 1.0, 1e-3);
    CalGainDb = 6.0f;
    EXPECT_NEAR(20.0 * std::log10(std::abs(Section(1000.0f, 3, 4, 1000.0f))), 6.0, 1e-4);
    CalQ = 0.001f;
    EXPECT_EQ(Section(1000.0f, 3, 0, 1000.0f), C(1.0, 0.0));
    // Families the dialog does not offer, slopes past the list, and a cut-off of 0: unity.
    CalQ = 20.0f;
    EXPECT_EQ(Section(1000.0f, 4, 0, 1000.0f), C(1.0, 0.0));
    EXPECT_EQ(Section(1000.0f, 1, 10, 1000.0f), C(1.0, 0.0));
    EXPECT_EQ(Section(1000.0f, 0, 0, 0.0f), C(1.0, 0.0));
}

TEST_F(CalibrationSectionsTest, BesselUsesItsFrequencyScale) {
    // First order: 1 / (1 + j f/fc); second order: 3 / (3 - y^2 + 3 j y), y = 1.35994 f/fc.
    EXPECT_NEAR(std::abs(Section(500.0f, 0, 0, 1000.0f) - 1.0 / C(1.0, 0.5)), 0.0, 1e-6);
    const double y = 1.35994 * 0.5;
    EXPECT_NEAR(std::abs(Section(500.0f, 0, 1, 1000.0f) - 3.0 / C(3.0 - y * y, 3.0 * y)), 0.0,
                1e-6);
    const double yh = 1.35994 * 2.0;  // high-pass: y = k fc / f, conjugated
    EXPECT_NEAR(
        std::abs(Section(500.0f, 0, 6, 1000.0f) - std::conj(3.0 / C(3.0 - yh * yh, 3.0 * yh))), 0.0,
        1e-6);
}

TEST_F(CalibrationSectionsTest, DefaultCurveAndItsInversion) {
    const float grid[3] = {10.0f, 1000.0f, 20000.0f};
    shell::CalibrationPoint curve[3];
    BuildCalibrationCurve(grid, 3, curve);
    EXPECT_NEAR(curve[0].Db, -3.0, 0.05);
    // At 1 kHz: the two first-order sections' small losses.
    EXPECT_NEAR(curve[1].Db, -10.0 * std::log10((1.0 + 1e-4) * (1.0 + 0.0025)), 1e-4);
    EXPECT_NEAR(curve[2].Db, -3.0, 0.05);
    EXPECT_NEAR(curve[0].Degrees, 45.0 * 57.288 / (180.0 / M_PI), 0.5);
    CalInvert = 1;
    shell::CalibrationPoint inverted[3];
    BuildCalibrationCurve(grid, 3, inverted);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(inverted[k].Db, -curve[k].Db, 1e-4);
        EXPECT_NEAR(inverted[k].Degrees, -curve[k].Degrees, 1e-3);
    }
}

}  // namespace
}  // namespace measurement::test
