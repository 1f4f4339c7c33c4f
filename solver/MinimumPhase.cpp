#include "solver/MinimumPhase.h"

#include <cmath>

#include "shell/FrequencyGrid.h"
#include "shell/NetworkTables.h"
#include "shell/PreferencesRecord.h"
#include "solver/GainPhaseIntegral.h"
#include "solver/Globals.h"
#include "solver/SharedState.h"

namespace solver {

namespace {

constexpr int kExt = shell::kExtendedGridPoints;

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
    for (int j = 0; j < kExt; ++j) l[j] = 0.0f;
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

    // The levels are held flat outside the band, so both continuing lines are flat.
    static double phase[kExt];
    const GainPhaseInput input{g, l, 0.0, 0.0, false};
    GainPhaseIntegral(input, 350, 350 + shell::kGridPoints, phase);
    for (int i = 350; i < 350 + shell::kGridPoints; ++i) {
        const double m = std::pow(10.0, 0.05 * l[i]);
        MinimumPhaseResult[i - 350] = {static_cast<float>(m * std::cos(phase[i])),
                                       static_cast<float>(m * std::sin(phase[i]))};
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
