// Filter sections against closed-form analog responses computed here from poles and textbook
// prototypes, at the corner frequency and an octave either side.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "solver/FilterSections.h"

namespace {

using Complex = std::complex<double>;
using solver::EvaluateFilterSection;
using solver::FilterSectionFields;
using solver::KeeleRampState;

constexpr double kPi = 3.14159265358979323846;

// Butterworth denominator from its poles on the left half of the unit circle.
Complex ButterworthDenominator(int n, Complex s) {
    Complex d(1.0, 0.0);
    for (int k = 1; k <= n; ++k) {
        const double angle = kPi * (2.0 * k + n - 1.0) / (2.0 * n);
        d *= s - std::polar(1.0, angle);
    }
    return d;
}

Complex ButterworthReference(int n, bool high_pass, double x) {
    const Complex s(0.0, x);
    const Complex num = high_pass ? std::pow(s, n) : Complex(1.0, 0.0);
    return num / ButterworthDenominator(n, s);
}

double Factorial(int n) {
    double r = 1.0;
    for (int i = 2; i <= n; ++i) r *= i;
    return r;
}

// Reverse Bessel polynomial from its closed-form coefficients.
Complex BesselPolynomial(int n, Complex s) {
    Complex sum(0.0, 0.0);
    for (int k = 0; k <= n; ++k) {
        const double a =
            Factorial(2 * n - k) / (std::pow(2.0, n - k) * Factorial(k) * Factorial(n - k));
        sum += a * std::pow(s, k);
    }
    return sum;
}

// The frequency scale each Bessel order is stored with.
double BesselScale(int n) {
    switch (n) {
        case 1:
            return 1.0;
        case 2:
            return 1.35994;
        case 3:
            return 1.74993;
        case 4:
            return 2.13011;
        default:
            return 3.17002;
    }
}

Complex BesselReference(int n, bool high_pass, double f, double fo) {
    const double c0 = Factorial(2 * n) / (std::pow(2.0, n) * Factorial(n));
    const double k = BesselScale(n);
    // The high pass is the low pass at the mirrored frequency, conjugated (s -> 1/s).
    if (high_pass) return std::conj(c0 / BesselPolynomial(n, Complex(0.0, k * fo / f)));
    return c0 / BesselPolynomial(n, Complex(0.0, k * f / fo));
}

double Db(Complex h) { return 20.0 * std::log10(std::abs(h)); }
double Deg(Complex h) { return std::arg(h) * 180.0 / kPi; }
double PhaseDiff(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d < -180.0) d += 360.0;
    return d;
}

Complex Eval(float family, float slope, float fo, float f, float r_or_q = 0.0f, float gain = 0.0f,
             float bypass = 0.0f) {
    FilterSectionFields fields{family, slope, fo, bypass, r_or_q, gain};
    const std::complex<float> h = EvaluateFilterSection(fields, f, nullptr, nullptr);
    return {h.real(), h.imag()};
}

struct SlopeCase {
    int slope;
    int order;
    bool high_pass;
};
const SlopeCase kSlopes[] = {{0, 1, false}, {1, 2, false}, {2, 3, false}, {3, 4, false},
                             {4, 8, false}, {5, 1, true},  {6, 2, true},  {7, 3, true},
                             {8, 4, true},  {9, 8, true}};
const float kCorners[] = {100.0f, 1000.0f, 4000.0f};
const double kOctaves[] = {0.5, 1.0, 2.0};

void ExpectClose(Complex got, Complex want, double db_tol, double deg_tol, const char* what) {
    EXPECT_NEAR(Db(got), Db(want), db_tol) << what;
    if (std::abs(want) > 1e-4) {
        EXPECT_NEAR(PhaseDiff(Deg(got), Deg(want)), 0.0, deg_tol) << what;
    }
}

TEST(FilterSections, ButterworthMatchesPoleForm) {
    for (const SlopeCase& c : kSlopes) {
        for (float fo : kCorners) {
            for (double oct : kOctaves) {
                const float f = static_cast<float>(fo * oct);
                const Complex got = Eval(1.0f, static_cast<float>(c.slope), fo, f);
                const Complex want = ButterworthReference(c.order, c.high_pass, f / double(fo));
                std::string what = "slope " + std::to_string(c.slope) + " fo " +
                                   std::to_string(fo) + " f " + std::to_string(f);
                // The stored coefficients (1.414, 2.6134, 3.4145, 6.8429) differ slightly from
                // the exact ones, hence a few hundredths of a dB and a fraction of a degree.
                ExpectClose(got, want, 0.03, 0.1, what.c_str());
            }
        }
    }
}

TEST(FilterSections, ButterworthCornerIsMinusThreeDb) {
    for (const SlopeCase& c : kSlopes) {
        const Complex h = Eval(1.0f, static_cast<float>(c.slope), 1000.0f, 1000.0f);
        EXPECT_NEAR(Db(h), -3.0103, 0.01) << "slope " << c.slope;
    }
    // Fourth order at Fo: exactly -1/1.4145 + 0j.
    const Complex h = Eval(1.0f, 3.0f, 500.0f, 500.0f);
    EXPECT_NEAR(h.real(), -1.0 / 1.4145, 1e-6);
    EXPECT_NEAR(h.imag(), 0.0, 1e-6);
}

TEST(FilterSections, BesselMatchesPolynomial) {
    for (const SlopeCase& c : kSlopes) {
        for (float fo : kCorners) {
            for (double oct : kOctaves) {
                const float f = static_cast<float>(fo * oct);
                const Complex got = Eval(0.0f, static_cast<float>(c.slope), fo, f);
                const Complex want = BesselReference(c.order, c.high_pass, f, fo);
                std::string what = "slope " + std::to_string(c.slope) + " f " + std::to_string(f);
                ExpectClose(got, want, 1e-4, 1e-3, what.c_str());
            }
        }
    }
    // Second order at Fo: 3 / (3 - x^2 + 3jx) with x = 1.35994.
    const double x = 1.35994;
    const Complex want = 3.0 / Complex(3.0 - x * x, 3.0 * x);
    const Complex got = Eval(0.0f, 1.0f, 250.0f, 250.0f);
    EXPECT_NEAR(got.real(), want.real(), 1e-6);
    EXPECT_NEAR(got.imag(), want.imag(), 1e-6);
}

TEST(FilterSections, LinkwitzIsButterworthSquared) {
    struct Case {
        int slope;
        int half_order;
        bool high_pass;
    };
    const Case cases[] = {{1, 1, false}, {3, 2, false}, {4, 4, false},
                          {6, 1, true},  {8, 2, true},  {9, 4, true}};
    for (const Case& c : cases) {
        for (float fo : kCorners) {
            for (double oct : kOctaves) {
                const float f = static_cast<float>(fo * oct);
                const Complex b = ButterworthReference(c.half_order, c.high_pass, f / double(fo));
                const Complex got = Eval(2.0f, static_cast<float>(c.slope), fo, f);
                std::string what = "slope " + std::to_string(c.slope) + " f " + std::to_string(f);
                ExpectClose(got, b * b, 0.05, 0.2, what.c_str());
            }
        }
        // -6 dB at the corner, the low and high pass summing flat in magnitude and phase there.
        EXPECT_NEAR(Db(Eval(2.0f, static_cast<float>(c.slope), 800.0f, 800.0f)), -6.0206, 0.02);
    }
    for (float slope : {0.0f, 2.0f, 5.0f, 7.0f}) {
        for (float f : {100.0f, 1000.0f, 9000.0f}) {
            const Complex h = Eval(2.0f, slope, 1000.0f, f);
            EXPECT_EQ(h, Complex(1.0, 0.0)) << "slope " << slope << " has no Linkwitz section";
        }
    }
}

TEST(FilterSections, ParametricMatchesPeakingPrototype) {
    struct Case {
        float q;
        float gain;
    };
    const Case cases[] = {{0.7f, 6.0f}, {2.0f, -9.0f}, {4.0f, 12.0f}, {1.0f, 0.0f}};
    for (const Case& c : cases) {
        const double a = std::pow(10.0, c.gain / 40.0);
        const double q_eff = c.gain < 0 ? c.q * a : c.q / a;
        for (double oct : {0.25, 0.5, 1.0, 2.0, 4.0}) {
            const double fo = 300.0;
            const Complex s(0.0, oct);
            const Complex want = (s * s + s * (a / q_eff) + 1.0) / (s * s + s / (a * q_eff) + 1.0);
            const Complex got = Eval(3.0f, 0.0f, 300.0f, static_cast<float>(fo * oct), c.q, c.gain);
            ExpectClose(got, want, 1e-4, 1e-3, "peak");
        }
        // The peak (or dip) at Fo equals the gain in dB, and is real.
        const Complex at_fo = Eval(3.0f, 0.0f, 300.0f, 300.0f, c.q, c.gain);
        EXPECT_NEAR(Db(at_fo), c.gain, 1e-4);
        EXPECT_NEAR(at_fo.imag(), 0.0, 1e-5);
        // Symmetric on the log axis: one octave below and above have the same level.
        EXPECT_NEAR(Db(Eval(3.0f, 0.0f, 300.0f, 150.0f, c.q, c.gain)),
                    Db(Eval(3.0f, 0.0f, 300.0f, 600.0f, c.q, c.gain)), 1e-4);
    }
    EXPECT_EQ(Eval(3.0f, 0.0f, 300.0f, 300.0f, 0.0f, 6.0f), Complex(1.0, 0.0));
    EXPECT_EQ(Eval(3.0f, 0.0f, 300.0f, 300.0f, 0.001f, 6.0f), Complex(1.0, 0.0));
}

// Analog shelving prototypes with shelf slope S (S = 1 steepest, S = 0.5 gentle).
Complex HighShelf(double a, double slope, Complex s) {
    const double alpha = std::sqrt(a) * std::sqrt((a + 1.0 / a) * (1.0 / slope - 1.0) + 2.0);
    return a * (a * s * s + alpha * s + 1.0) / (s * s + alpha * s + a);
}
Complex LowShelf(double a, double slope, Complex s) {
    const double alpha = std::sqrt(a) * std::sqrt((a + 1.0 / a) * (1.0 / slope - 1.0) + 2.0);
    return a * (s * s + alpha * s + a) / (a * s * s + alpha * s + 1.0);
}

TEST(FilterSections, ShelvesMatchPrototypes) {
    struct Case {
        float family;
        bool high;
        double slope;
    };
    const Case cases[] = {
        {4.0f, false, 0.5}, {5.0f, false, 1.0}, {6.0f, true, 0.5}, {7.0f, true, 1.0}};
    for (const Case& c : cases) {
        for (float gain : {12.0f, -6.0f, 3.0f}) {
            const double a = std::pow(10.0, gain / 40.0);
            for (double oct : {0.5, 1.0, 2.0}) {
                const Complex s(0.0, oct);
                const Complex want = c.high ? HighShelf(a, c.slope, s) : LowShelf(a, c.slope, s);
                const Complex got =
                    Eval(c.family, 0.0f, 1000.0f, static_cast<float>(1000.0 * oct), 0.0f, gain);
                ExpectClose(got, want, 1e-4, 1e-3, "shelf");
            }
            // Half the gain at Fo, the full gain far on the shelf side, 0 dB far on the other.
            EXPECT_NEAR(Db(Eval(c.family, 0.0f, 1000.0f, 1000.0f, 0.0f, gain)), gain / 2.0, 1e-3);
            const float shelf_side = c.high ? 1e6f : 1.0f;
            const float flat_side = c.high ? 1.0f : 1e6f;
            EXPECT_NEAR(Db(Eval(c.family, 0.0f, 1000.0f, shelf_side, 0.0f, gain)), gain, 0.01);
            EXPECT_NEAR(Db(Eval(c.family, 0.0f, 1000.0f, flat_side, 0.0f, gain)), 0.0, 0.01);
        }
    }
}

TEST(FilterSections, BypassAndUnknownFamilyGiveUnity) {
    for (float family = 0.0f; family < 14.0f; family += 1.0f) {
        EXPECT_EQ(Eval(family, 3.0f, 1000.0f, 700.0f, 2.0f, 6.0f, 1.0f), Complex(1.0, 0.0));
    }
    EXPECT_EQ(Eval(12.0f, 3.0f, 1000.0f, 700.0f), Complex(1.0, 0.0));
    EXPECT_EQ(Eval(-1.0f, 3.0f, 1000.0f, 700.0f), Complex(1.0, 0.0));
    EXPECT_EQ(Eval(1.5f, 3.0f, 1000.0f, 700.0f), Complex(1.0, 0.0));
    EXPECT_EQ(Eval(1.0f, 3.5f, 1000.0f, 700.0f), Complex(1.0, 0.0));
    // A corner of 0 (never set) cannot divide by zero.
    EXPECT_EQ(Eval(1.0f, 3.0f, 0.0f, 700.0f), Complex(1.0, 0.0));
}

TEST(FilterSections, KeeleWideClampsAndRollsOff) {
    FilterSectionFields lp{8.0f, 0.0f, 1000.0f, 0.0f, 5.0f, 0.0f};
    float r = -1.0f;
    EXPECT_EQ(EvaluateFilterSection(lp, 500.0f, &r, nullptr), std::complex<float>(1.0f, 0.0f));
    EXPECT_EQ(r, 4.0f);
    EXPECT_NEAR(EvaluateFilterSection(lp, 4000.0f, &r, nullptr).real(), 0.0f, 1e-6f);
    EXPECT_EQ(EvaluateFilterSection(lp, 4001.0f, &r, nullptr).real(), 1e-9f);
    // Inside the band: 0.5 |(2 cos(pi x / 3R) - 1) / (cos(pi x / 3) - cos(pi x / 3R))|.
    const double x = 2.5;
    const double want = 0.5 * std::fabs((2.0 * std::cos(kPi * x / 12.0) - 1.0) /
                                        (std::cos(kPi * x / 3.0) - std::cos(kPi * x / 12.0)));
    EXPECT_NEAR(EvaluateFilterSection(lp, 2500.0f, &r, nullptr).real(), want, 1e-6);
    lp.r_or_q = 1.0f;
    EvaluateFilterSection(lp, 500.0f, &r, nullptr);
    EXPECT_EQ(r, 2.0f);
    FilterSectionFields hp{9.0f, 0.0f, 1000.0f, 0.0f, 3.0f, 0.0f};
    EXPECT_NEAR(EvaluateFilterSection(hp, 800.0f, &r, nullptr).real(), 0.0001f, 1e-7f);
    EXPECT_NEAR(EvaluateFilterSection(hp, 5000.0f, &r, nullptr).real(), 1.0001f - 1e-6f, 1e-6f);
    EXPECT_NEAR(EvaluateFilterSection(hp, 2000.0f, &r, nullptr).real(),
                1.0001f - EvaluateFilterSection(FilterSectionFields{8.0f, 0, 1000.0f, 0, 3.0f, 0},
                                                2000.0f, &r, nullptr)
                              .real(),
                1e-6f);
}

TEST(FilterSections, KeeleNarrowTailIsPerElement) {
    FilterSectionFields a{10.0f, 0.0f, 1000.0f, 0.0f, 2.0f, 0.0f};
    FilterSectionFields b{10.0f, 0.0f, 100.0f, 0.0f, 3.0f, 0.0f};
    KeeleRampState ra{0.0f, 0};
    KeeleRampState rb{0.0f, 0};
    float r = 0.0f;
    // Element a meets its ramp at x = 1.9, element b at x = 2.9: each tail uses its own level.
    const float va = EvaluateFilterSection(a, 1900.0f, &r, &ra).real();
    const float vb = EvaluateFilterSection(b, 290.0f, &r, &rb).real();
    EXPECT_NEAR(va, 0.5 / (1.0 - std::cos(kPi * 1.9 / 3.0)), 1e-6);
    EXPECT_NEAR(vb, 0.5 / (1.0 - std::cos(kPi * 2.9 / 3.0)), 1e-6);
    const float tail_a = EvaluateFilterSection(a, 3000.0f, &r, &ra).real();
    EXPECT_NEAR(tail_a, 2.0 * va - va * 3.0 / 2.0, 1e-6) << "a's tail must use a's own level";
    EXPECT_EQ(EvaluateFilterSection(a, 4100.0f, &r, &ra).real(), 1e-9f);
    // No grid point in the band (R = 1): the tail starts from the ramp's value at x = R.
    FilterSectionFields c{11.0f, 0.0f, 1000.0f, 0.0f, 1.0f, 0.0f};
    KeeleRampState rc{0.0f, 0};
    const double k = 0.5 / (1.0 - std::cos(kPi / 3.0));
    EXPECT_NEAR(EvaluateFilterSection(c, 1500.0f, &r, &rc).real(), 1.0001 - (2 * k - k * 1.5),
                1e-6);
    EXPECT_NEAR(EvaluateFilterSection(c, 900.0f, &r, &rc).real(), 0.0001f, 1e-7f);
    EXPECT_NEAR(EvaluateFilterSection(c, 2500.0f, &r, &rc).real(), 1.0001f - 1e-9f, 1e-7f);
    c.r_or_q = 7.0f;
    EvaluateFilterSection(c, 900.0f, &r, &rc);
    EXPECT_EQ(r, 3.0f);
}

TEST(FilterSections, TableNamesInListOrder) {
    EXPECT_STREQ(solver::FilterTypeTable[0], "Bessel");
    EXPECT_STREQ(solver::FilterTypeTable[11], "Keele TWE");
    EXPECT_STREQ(solver::FilterTypeTable[12], "LP -6dB/oct");
    EXPECT_STREQ(solver::FilterTypeTable[16], "LP -48dB/oct");
    EXPECT_STREQ(solver::FilterTypeTable[21], "HP +48dB/oct");
}

}  // namespace
