// Time of one Hilbert-Bode calculation of the HBT editor (the gain-to-phase sum of 2699 terms
// at each of the 2000 stored points, with the tails and the distance options), and of the bare
// integral over all 2700 points of the extended grid (2700 x 2699 terms), in the single-precision
// rounding of the transform and in the extended rounding of the output-port correction.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "driverdata/HilbertBode.h"
#include "shell/DriverRecord.h"
#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/StartupAllocation.h"
#include "solver/GainPhaseIntegral.h"

namespace {

void StartUp() {
    static bool done = false;
    if (done) return;
    if (shell::AllocMainBuffers() != 0 || shell::AllocCurveBuffers() != 0)
        std::fprintf(stderr, "allocation failed\n");
    shell::ResetGlobals();
    shell::BuildFrequencyGrids();
    done = true;
}

// A woofer-like level: a second-order roll-off at 50 Hz and a ripple.
void LoadDriver() {
    shell::DriverRecord& r = *shell::CurrentDriverRecord;
    shell::InitDriverRecord(&r);
    for (int k = 0; k < shell::kGridPoints; ++k) {
        const double f = shell::ExtendedFrequencyGrid[k + 350];
        const double x = f / 50.0;
        r.Spl[k] =
            static_cast<float>(88.0 + 20.0 * std::log10(x * x / std::sqrt(1.0 + x * x * x * x)) +
                               1.5 * std::sin(std::log(f) * 3.0));
    }
    shell::CopyTextSlot(r.InputPower, "2.83");
    shell::CopyTextSlot(r.Efficiency, "88");
    r.DistanceInPhase = r.DistanceInAmplitude = 1;
}

void BM_CalculateHilbertBode(benchmark::State& state) {
    StartUp();
    LoadDriver();
    for (auto _ : state) {
        if (driverdata::CalculateHilbertBode() != 0) {
            state.SkipWithError("the calculation was refused");
            break;
        }
        benchmark::DoNotOptimize(shell::CurrentDriverRecord->HbtReal[1000]);
    }
    state.counters["terms"] = 2000.0 * 2699.0;
}
BENCHMARK(BM_CalculateHilbertBode)->Unit(benchmark::kMillisecond);

void BM_GainPhaseIntegralAllPoints(benchmark::State& state) {
    StartUp();
    LoadDriver();
    driverdata::CalculateHilbertBode();  // leaves the tailed level curve behind
    const std::vector<float> levels(driverdata::HbtWorkCurve(),
                                    driverdata::HbtWorkCurve() + solver::kGainPhasePoints);
    std::vector<double> phase(solver::kGainPhasePoints);
    const solver::GainPhaseInput input{shell::ExtendedFrequencyGrid, levels.data(), 2.0, 2.0,
                                       state.range(0) == 1};
    for (auto _ : state) {
        solver::GainPhaseIntegral(input, 0, solver::kGainPhasePoints, phase.data());
        benchmark::DoNotOptimize(phase[1000]);
    }
    state.counters["terms"] = 2700.0 * 2699.0;
}
BENCHMARK(BM_GainPhaseIntegralAllPoints)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
