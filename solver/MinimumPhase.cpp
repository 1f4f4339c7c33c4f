#include "solver/MinimumPhase.h"

#include <cmath>

#include "shell/FrequencyGrid.h"
#include "shell/NetworkTables.h"
#include "shell/PreferencesRecord.h"
#include "solver/Globals.h"
#include "solver/SharedState.h"

namespace solver {

namespace {

// Constants as the system uses them: 6.284 for 2 pi, 3.142 for pi, kappa nepers per dB.
constexpr double kTwoPiApprox = 6.284;
constexpr double kPiApprox = 3.142;
constexpr double kKappa = 0.11512779184895233;
constexpr double kHalfKappa = 0.057563895924476166;

constexpr int kExt = shell::kExtendedGridPoints;

// Angular frequencies of the extended grid (the levels are ExtendedWorkCurve).
float Omegas[kExt];

int LastIndexAtOrBelow(const float* g, float limit) {
    int last = 0;
    for (int j = 0; j < kExt; ++j) {
        if (g[j] <= limit) last = j;
    }
    return last;
}

float LimitToGrid(float f, float fstart, float fstop) {
    if (f < 1.02f * fstart) return 1.02f * fstart;
    if (f > 0.98f * fstop) return 0.98f * fstop;
    return f;
}

}  // namespace

void MinimumPhaseFromLevels(const float* re, const float* im, float f1, float f2, float fstart,
                            float fstop, const float* g) {
    float* l = ExtendedWorkCurve;
    float* w = Omegas;
    for (int j = 0; j < kExt; ++j) {
        w[j] = static_cast<float>(kTwoPiApprox * g[j]);
        l[j] = 0.0f;
    }
    for (int k = 0; k < shell::kGridPoints; ++k) {
        const long double sum = static_cast<long double>(re[k]) * re[k] +
                                static_cast<long double>(im[k]) * im[k] + 1e-16L;
        l[k + 350] = static_cast<float>(10.0 * std::log10(static_cast<double>(sum)));
    }
    // Hold the level below F1 and above F2 (step 3 before step 4).
    const int i1 = LastIndexAtOrBelow(g, LimitToGrid(f1, fstart, fstop));
    for (int u = i1; u >= 0; --u) l[u] = l[i1 + 1];
    const int i2 = LastIndexAtOrBelow(g, LimitToGrid(f2, fstart, fstop));
    for (int u = i2; u < kExt; ++u) l[u] = l[u - 1];

    // Tail levels: the lines through the first and last 165 points, taken at ln(omega) = 0.
    auto intercept = [&](int a, int b) {
        const double xa = std::log(static_cast<double>(w[a]));
        const double xb = std::log(static_cast<double>(w[b]));
        const double ya = kKappa * l[a];
        const double yb = kKappa * l[b];
        const double slope = (yb - ya) / (xb - xa);
        return ya - slope * xa;
    };
    const double b_low = intercept(0, 164);
    const double b_high = intercept(2535, 2699);

    for (int i = 350; i < 350 + shell::kGridPoints; ++i) {
        const double wi = w[i];
        const double wi2 = wi * wi;
        const float li = l[i];
        float s = 0.0f;
        for (int j = 0; j < kExt - 1; ++j) {
            double w0 = w[j];
            double w1 = w[j + 1];
            double l0 = l[j];
            double l1 = l[j + 1];
            // The two terms that meet the singular point step slightly off it.
            if (j == i) {
                w0 = kTwoPiApprox * g[j] + 0.08 * (g[j + 1] - g[j]);
                l0 = l[j] + 0.02 * (l[j + 1] - l[j]);
            } else if (j == i - 1) {
                w1 = kTwoPiApprox * g[j + 1] + 0.08 * (g[j + 1] - g[j]);
                l1 = l[j + 1] + 0.02 * (l[j + 1] - l[j]);
            }
            const float term =
                static_cast<float>(kHalfKappa * (w1 - w0) *
                                   ((l1 - li) / (w1 * w1 - wi2) + (l0 - li) / (w0 * w0 - wi2)));
            s += term;
        }
        const double gi = g[i];
        const double t_low =
            -(2.0 * w[0] / kPiApprox) / (kTwoPiApprox * gi) * (b_low - kKappa * li);
        const double t_high =
            (2.0 / (kPiApprox * w[kExt - 1])) * kTwoPiApprox * gi * (b_high - kKappa * li);
        const double phi = t_low + 4.0 * gi * s + t_high;
        const double m = std::pow(10.0, 0.05 * li);
        MinimumPhaseResult[i - 350] = {static_cast<float>(m * std::cos(phi)),
                                       static_cast<float>(m * std::sin(phi))};
    }
}

int CalculateOutputHilbertBode(int element) {
    if (element < 0 || element >= shell::kMaxElements) return 1;
    const int start = shell::PlotStartFrequencyIndex;
    const int stop = shell::PlotStopFrequencyIndex;
    const float fstart =
        shell::kPlotStartFrequencies[(start >= 0 && start < 8) ? start
                                                               : shell::kDefaultPlotStartIndex];
    const float fstop =
        shell::kPlotStopFrequencies[(stop >= 0 && stop < 8) ? stop : shell::kDefaultPlotStopIndex];
    const shell::NetworkTables& net = shell::WorkingNetwork;
    const float* p = net.ElementParams[element];
    MinimumPhaseFromLevels(net.ElementDriverData[element].Real, net.ElementDriverData[element].Imag,
                           p[shell::kParamF1], p[shell::kParamF2], fstart, fstop,
                           ExtendedGridData());
    return 0;
}

}  // namespace solver
