#include "solver/GainPhaseIntegral.h"

#include <algorithm>
#include <cmath>

namespace solver {

namespace {

constexpr int kN = kGainPhasePoints;

// What every point's sum shares: the angular frequencies in single precision, their squares and
// the weights (kappa/2)(w_j+1 - w_j) of the trapezoids.
struct Prepared {
    float w[kN];
    double w2[kN];
    double weight[kN];
};
Prepared g_prepared;

void Prepare(const GainPhaseInput& in, Prepared& p) {
    for (int j = 0; j < kN; ++j) {
        p.w[j] = static_cast<float>(kTwoPiApprox * in.grid[j]);
        p.w2[j] = static_cast<double>(p.w[j]) * static_cast<double>(p.w[j]);
    }
    for (int j = 0; j < kN - 1; ++j) {
        p.weight[j] =
            kHalfNepersPerDb * (static_cast<double>(p.w[j + 1]) - static_cast<double>(p.w[j]));
    }
    p.weight[kN - 1] = 0.0;
}

inline double Quotient(double level_step, double denominator, bool single) {
    const double q = level_step / denominator;
    return single ? static_cast<double>(static_cast<float>(q)) : q;
}

// Term j of point i's sum, the two terms at the singular point included.
float Term(const GainPhaseInput& in, const Prepared& p, int i, int j) {
    const float* g = in.grid;
    const float* lv = in.levels;
    const bool single = in.single_precision_quotients;
    const double wi2 = p.w2[i];
    const double li = lv[i];
    if (j != i && j != i - 1) {
        const double qb = Quotient(lv[j + 1] - li, p.w2[j + 1] - wi2, single);
        const double qa = Quotient(lv[j] - li, p.w2[j] - wi2, single);
        return static_cast<float>(p.weight[j] * (qb + qa));
    }
    double wa = p.w[j];
    double wb = p.w[j + 1];
    double la = lv[j];
    double lb = lv[j + 1];
    // 0.08 of the bin width in hertz added to an angular frequency, 0.02 of the level step.
    const double bin = static_cast<double>(g[j + 1]) - static_cast<double>(g[j]);
    const double step = static_cast<double>(lv[j + 1]) - static_cast<double>(lv[j]);
    if (j == i) {
        wa = kTwoPiApprox * g[j] + 0.08 * bin;
        if (single) wa = static_cast<float>(wa);
        la = lv[j] + 0.02 * step;
    } else {
        wb = kTwoPiApprox * g[j + 1] + 0.08 * bin;
        if (single) wb = static_cast<float>(wb);
        lb = lv[j + 1] + 0.02 * step;
    }
    const double qb = Quotient(lb - li, wb * wb - wi2, single);
    const double qa = Quotient(la - li, wa * wa - wi2, single);
    return static_cast<float>(kHalfNepersPerDb * (wb - wa) * (qb + qa));
}

float SumOf(const GainPhaseInput& in, const Prepared& p, int i) {
    float s = 0.0f;
    for (int j = 0; j < kN - 1; ++j) s += Term(in, p, i, j);
    return s;
}

// Eight points side by side: each lane keeps its own single-precision sum in increasing j, so
// every lane adds exactly the terms of SumOf in the same order. The quotient at j + 1 of one
// trapezoid is the quotient at j of the next, so each lane divides once per term. The few j
// where some lane meets its singular point go term by term.
constexpr int kLanes = 8;
using Doubles = double __attribute__((vector_size(kLanes * sizeof(double))));
using Floats = float __attribute__((vector_size(kLanes * sizeof(float))));

void SumsOfEight(const GainPhaseInput& in, const Prepared& p, int i0, float* sums) {
    const float* lv = in.levels;
    const bool single = in.single_precision_quotients;
    Doubles li{}, wi2{};
    for (int l = 0; l < kLanes; ++l) {
        li[l] = lv[i0 + l];
        wi2[l] = p.w2[i0 + l];
    }
    Floats s{};
    auto quotients = [&](int j, Doubles& q) {
        q = (static_cast<double>(lv[j]) - li) / (p.w2[j] - wi2);
        if (single) q = __builtin_convertvector(__builtin_convertvector(q, Floats), Doubles);
    };
    auto run = [&](int from, int to) {  // generic terms j = from .. to - 1
        if (from >= to) return;
        Doubles qa, qb;
        quotients(from, qa);
        for (int j = from; j < to; ++j) {
            quotients(j + 1, qb);
            s += __builtin_convertvector(p.weight[j] * (qb + qa), Floats);
            qa = qb;
        }
    };
    const int zone_first = std::max(0, i0 - 1);
    const int zone_last = std::min(kN - 2, i0 + kLanes - 1);
    run(0, zone_first);
    for (int j = zone_first; j <= zone_last; ++j) {
        for (int l = 0; l < kLanes; ++l) s[l] += Term(in, p, i0 + l, j);
    }
    run(zone_last + 1, kN - 1);
    for (int l = 0; l < kLanes; ++l) sums[l] = s[l];
}

// Intercept at ln w = 0 of the line through (ln w_a, kappa W_a) and (ln w_b, kappa W_b).
double Intercept(const Prepared& p, const float* lv, int a, int b) {
    const double xa = std::log(static_cast<double>(p.w[a]));
    const double xb = std::log(static_cast<double>(p.w[b]));
    const double ya = kNepersPerDb * lv[a];
    const double yb = kNepersPerDb * lv[b];
    return (ya * xb - yb * xa) / (xb - xa);
}

}  // namespace

void GainPhaseIntegral(const GainPhaseInput& in, int first, int last, double* phase) {
    first = std::clamp(first, 0, kN);
    last = std::clamp(last, first, kN);
    Prepared& p = g_prepared;
    Prepare(in, p);
    const float* g = in.grid;
    const float* lv = in.levels;

    // End corrections: the integral below w_0 and above w_2699 along the continuing lines.
    const double w_first = p.w[0];
    const double w_last = p.w[kN - 1];
    const double b_low = Intercept(p, lv, 0, 164);
    const double b_high = Intercept(p, lv, kN - 165, kN - 1);
    const double c_low = (std::log(w_first) - 1.0) * in.slope_low + b_low;
    const double c_high = b_high - (std::log(w_last) + 1.0) * in.slope_high;
    const double f_low = 2.0 * w_first / kPiApprox;
    const double f_high = 2.0 / (w_last * kPiApprox);

    float sums[kLanes];
    int i = first;
    while (i < last) {
        const int count = std::min(kLanes, last - i);
        if (count == kLanes) {
            SumsOfEight(in, p, i, sums);
        } else {
            for (int l = 0; l < count; ++l) sums[l] = SumOf(in, p, i + l);
        }
        for (int l = 0; l < count; ++l) {
            const int n = i + l;
            const double wi = kTwoPiApprox * g[n];
            const double alpha = kNepersPerDb * lv[n];
            const double low = -(f_low / wi) * (c_low - alpha);
            const double high = f_high * wi * (c_high - alpha);
            phase[n] = low + 4.0 * static_cast<double>(g[n]) * sums[l] + high;
        }
        i += count;
    }
}

float GainPhaseSumReference(const GainPhaseInput& in, int i) {
    Prepared& p = g_prepared;
    Prepare(in, p);
    return SumOf(in, p, std::clamp(i, 0, kN - 1));
}

}  // namespace solver
