#include "solver/FilterSections.h"

#include <cmath>

namespace solver {

namespace {

using Complex = std::complex<double>;

// The sections use pi in full double precision; one third is taken at extended precision.
constexpr double kPi = 3.141592653589793;
constexpr long double kThird = 1.0L / 3.0L;

// Order of the polynomial that a slope index selects; 0 for an index outside 0..9.
int SlopeOrder(float slope) {
    static const int kOrders[kFilterSlopeCount] = {1, 2, 3, 4, 8, 1, 2, 3, 4, 8};
    for (int i = 0; i < kFilterSlopeCount; ++i) {
        if (slope == static_cast<float>(i)) return kOrders[i];
    }
    return 0;
}

bool SlopeIsHighPass(float slope) { return slope >= 5.0f; }

// N(jx) conj(D(jx)) / divisor for a section with numerator value `num` and denominator value
// `den`: the stated divisor replaces |D|^2 where the coefficients as stored call for it.
Complex Divide(Complex num, Complex den, double divisor) { return num * std::conj(den) / divisor; }

// Reverse Bessel polynomials as stored, with their frequency scales.
Complex BesselLowPass(int order, double x) {
    const Complex s(0.0, x);
    Complex theta;
    double c0 = 1.0;
    switch (order) {
        case 1:
            theta = s + 1.0;
            c0 = 1.0;
            break;
        case 2:
            theta = s * s + 3.0 * s + 3.0;
            c0 = 3.0;
            break;
        case 3:
            theta = ((s + 6.0) * s + 15.0) * s + 15.0;
            c0 = 15.0;
            break;
        case 4:
            theta = (((s + 10.0) * s + 45.0) * s + 105.0) * s + 105.0;
            c0 = 105.0;
            break;
        default: {
            static const double kCoef[9] = {1.0,      36.0,     630.0,     6930.0,   51975.0,
                                            270270.0, 945945.0, 2027025.0, 2027025.0};
            theta = kCoef[0];
            for (int i = 1; i < 9; ++i) theta = theta * s + kCoef[i];
            c0 = 2027025.0;
            break;
        }
    }
    return Divide(Complex(c0, 0.0), theta, std::norm(theta));
}

double BesselScale(int order) {
    switch (order) {
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

// Butterworth section with the coefficients and divisors as stored; x = f / Fo.
Complex Butterworth(int order, bool high_pass, double x) {
    const double x2 = x * x;
    Complex den;
    double divisor = 0.0;
    Complex numerator(1.0, 0.0);
    switch (order) {
        case 1:
            den = Complex(1.0, x);
            divisor = 1.0 + x2;
            if (high_pass) numerator = Complex(0.0, x);
            break;
        case 2:
            den = Complex(1.0 - x2, 1.414 * x);
            divisor = (1.0 - x2) * (1.0 - x2) + 2.0 * x2;
            if (high_pass) numerator = Complex(-x2, 0.0);
            break;
        case 3:
            den = Complex(1.0 - 2.0 * x2, 2.0 * x - x2 * x);
            divisor = std::norm(den);
            if (high_pass) numerator = Complex(0.0, -x2 * x);
            break;
        case 4: {
            const double re = x2 * x2 - 3.4145 * x2 + 1.0;
            const double im = 2.6134 * x * (1.0 - x2);
            den = Complex(re, im);
            divisor = re * re + 6.8429 * x2 * (1.0 - x2) * (1.0 - x2);
            if (high_pass) numerator = Complex(x2 * x2, 0.0);
            break;
        }
        default: {
            const double x4 = x2 * x2;
            const double x6 = x4 * x2;
            const double re = x4 * x4 - 13.137 * x6 + 25.688 * x4 - 13.137 * x2 + 1.0;
            const double im = x * (5.126 - 21.846 * x2 + 21.846 * x4 - 5.126 * x6);
            den = Complex(re, im);
            divisor = std::norm(den);
            if (high_pass) numerator = Complex(x4 * x4, 0.0);
            break;
        }
    }
    return Divide(numerator, den, divisor);
}

std::complex<float> ToFloat(Complex h) {
    return {static_cast<float>(h.real()), static_cast<float>(h.imag())};
}

std::complex<float> Linkwitz(float slope, double x) {
    int half_order = 0;
    bool high_pass = false;
    if (slope == 1.0f) {
        half_order = 1;
    } else if (slope == 3.0f) {
        half_order = 2;
    } else if (slope == 4.0f) {
        half_order = 4;
    } else if (slope == 6.0f) {
        half_order = 1;
        high_pass = true;
    } else if (slope == 8.0f) {
        half_order = 2;
        high_pass = true;
    } else if (slope == 9.0f) {
        half_order = 4;
        high_pass = true;
    } else {
        return {1.0f, 0.0f};
    }
    // The first stage is rounded to single precision before it is squared.
    const std::complex<float> h = ToFloat(Butterworth(half_order, high_pass, x));
    const double re = h.real();
    const double im = h.imag();
    return ToFloat(Complex(re * re - im * im, 2.0 * re * im));
}

std::complex<float> QParametric(const FilterSectionFields& fields, double x) {
    const double g = fields.gain_db;
    const double q = fields.r_or_q;
    // Compared in single precision, so a stored 0.001 counts as "at most 0.001".
    if (fields.r_or_q <= 0.001f) return {1.0f, 0.0f};
    const double a = std::pow(10.0, 0.025 * g);
    const double q_eff = g < 0.0 ? q * a : q / a;
    const double re = 1.0 - x * x;
    return ToFloat(Complex(re, x * a / q_eff) / Complex(re, x / (a * q_eff)));
}

std::complex<float> Shelving(int family, const FilterSectionFields& fields, double f, double fo) {
    const double a = std::pow(10.0, 0.025 * static_cast<double>(fields.gain_db));
    const double k = (family == kShelvingMinus6 || family == kShelvingPlus6) ? 1.0 : 0.0;
    const double b = std::sqrt(a) * std::sqrt(k * (a + 1.0 / a) + 2.0);
    const bool above = family == kShelvingPlus6 || family == kShelvingPlus12;
    const double x = above ? f / fo : fo / f;
    const Complex h = a * Complex(1.0 - a * x * x, b * x) / Complex(a - x * x, b * x);
    return ToFloat(above ? h : std::conj(h));
}

float ClampR(float r, float lo, float hi) {
    if (!(r >= lo)) return lo;  // also catches a value that is not a number
    if (r > hi) return hi;
    return r;
}

std::complex<float> KeeleWide(int family, float r, double x) {
    double v;
    if (x <= 1.0) {
        v = 1.0;
    } else if (x <= r) {
        const long double third = kThird;
        const long double c_r = std::cos(kPi * x * third / r);
        const long double c_1 = std::cos(kPi * x * third);
        v = static_cast<double>(0.5L * std::fabs((2.0L * c_r - 1.0L) / (c_1 - c_r)));
    } else {
        v = family == kKeeleLpW ? 1e-9 : 1e-6;
    }
    const double h = family == kKeeleLpW ? v : 1.0 - v + 0.0001;
    return {static_cast<float>(h), 0.0f};
}

double KeeleNarrowRamp(double x) {
    return static_cast<double>(0.5L / (1.0L - std::cos(kPi * x * kThird)));
}

std::complex<float> KeeleNarrow(int family, float r, double x, KeeleRampState* ramp) {
    double v;
    if (x <= 1.0) {
        v = 1.0;
    } else if (x <= r) {
        v = KeeleNarrowRamp(x);
        if (ramp != nullptr) {
            ramp->level = static_cast<float>(v);
            ramp->has_level = 1;
        }
    } else if (x <= 2.0 * r) {
        double level;
        if (ramp != nullptr && ramp->has_level == 1) {
            level = ramp->level;
        } else {
            level = static_cast<float>(KeeleNarrowRamp(r));
        }
        v = 2.0 * level - level * x / r;
    } else {
        v = 1e-9;
    }
    const double h = family == kKeeleLpN ? v : 1.0 - v + 0.0001;
    return {static_cast<float>(h), 0.0f};
}

}  // namespace

std::complex<float> EvaluateFilterSection(const FilterSectionFields& fields, float f,
                                          float* clamped_r, KeeleRampState* ramp) {
    if (fields.bypass == 1.0f) return {1.0f, 0.0f};
    int family = -1;
    for (int i = 0; i < kFilterFamilyCount; ++i) {
        if (fields.family == static_cast<float>(i)) family = i;
    }
    const double fo = fields.fo;
    const double fd = f;
    // A corner or frequency that is not a positive number leaves the section at unity.
    if (family < 0 || !(fo > 0.0) || !std::isfinite(fo) || !(fd > 0.0) || !std::isfinite(fd)) {
        return {1.0f, 0.0f};
    }
    switch (family) {
        case kBessel: {
            const int order = SlopeOrder(fields.slope);
            if (order == 0) return {1.0f, 0.0f};
            const double k = BesselScale(order);
            if (SlopeIsHighPass(fields.slope))
                return ToFloat(std::conj(BesselLowPass(order, k * fo / fd)));
            return ToFloat(BesselLowPass(order, k * fd / fo));
        }
        case kButterworth: {
            const int order = SlopeOrder(fields.slope);
            if (order == 0) return {1.0f, 0.0f};
            return ToFloat(Butterworth(order, SlopeIsHighPass(fields.slope), fd / fo));
        }
        case kLinkwitz:
            return Linkwitz(fields.slope, fd / fo);
        case kQParametric:
            return QParametric(fields, fd / fo);
        case kShelvingMinus6:
        case kShelvingMinus12:
        case kShelvingPlus6:
        case kShelvingPlus12:
            return Shelving(family, fields, fd, fo);
        case kKeeleLpW:
        case kKeeleHpN: {
            const float r = ClampR(fields.r_or_q, 2.0f, 4.0f);
            if (clamped_r != nullptr) *clamped_r = r;
            return KeeleWide(family, r, fd / fo);
        }
        default: {
            const float r = ClampR(fields.r_or_q, 1.0f, 3.0f);
            if (clamped_r != nullptr) *clamped_r = r;
            return KeeleNarrow(family, r, fd / fo, ramp);
        }
    }
}

}  // namespace solver
