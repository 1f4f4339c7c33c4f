// Time of one Plot sweep of the diffraction calculator on the default 80 x 80 cm baffle (160
// edge elements, 2000 frequencies) for one driver, from the smallest piston list (5 samples) to
// the largest (list entry 13), and for two drivers; first the timed sweeps against the plain
// sums (the same sums one frequency at a time with the library's sine and cosine). Repetitions
// interleave; medians, spread and the ratio to the targets (default 5 ms, list entry 13 with two
// drivers 150 ms) are reported.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "bench/GoogleBenchMain.h"
#include "driverdata/DiffractionCalculator.h"
#include "driverdata/EdgeDiffraction.h"
#include "driverdata/Globals.h"
#include "shell/BaffleRecord.h"
#include "shell/DriverRecord.h"
#include "shell/Globals.h"
#include "shell/StartupAllocation.h"

namespace {

void StartUp() {
    static bool done = false;
    if (done) return;
    if (shell::AllocMainBuffers() != 0 || shell::AllocCurveBuffers() != 0)
        std::fprintf(stderr, "allocation failed\n");
    shell::ResetGlobals();
    done = true;
}

// The example baffle with a piston list entry and one or two drivers.
void SetUpPlot(int list_index, int drivers) {
    StartUp();
    shell::InitBaffleRecord();
    shell::InitDriverRecord(shell::CurrentDriverRecord);
    driverdata::ResetGlobals();
    driverdata::LoadDiffractionExample1(platform::HWND{});
    driverdata::DiffractionListIndex = list_index;
    if (drivers == 2) {
        shell::CurrentDriverRecord->DriversMode = 1;
        shell::Baffle->Points[1] = shell::BafflePoint{45.0f, 50.0f, 0.0f, 1};
    }
}

// The timed sweeps against the plain sums (one frequency at a time, std::cos and std::sin) at
// the heaviest setting, with and without the direct sound's delay: the largest level difference
// in dB. Nothing is timed when it exceeds 1e-4 dB.
double LargestDifferenceFromPlainSums() {
    double worst = 0.0;
    for (int directivity : {0, 1}) {
        std::vector<float> curves[2];
        for (int fast : {0, 1}) {
            SetUpPlot(12, 2);
            driverdata::DiffractionDirectivity = directivity;
            driverdata::DiffractionFastTurns = fast == 1;
            if (driverdata::RunDiffractionPlot(platform::HWND{}) != 0) return INFINITY;
            const float* v = shell::DiffractionCurveTable[0]->v;
            curves[fast].assign(v, v + shell::kGridPoints);
        }
        driverdata::DiffractionFastTurns = true;
        for (int k = 0; k < shell::kGridPoints; ++k)
            worst = std::max(worst, std::fabs(double{curves[0][k]} - curves[1][k]));
    }
    return std::isfinite(worst) ? worst : INFINITY;
}

void BM_DiffractionPlot(benchmark::State& state) {
    SetUpPlot(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        if (driverdata::RunDiffractionPlot(platform::HWND{}) != 0) {
            state.SkipWithError("the plot was refused");
            break;
        }
    }
    // Targets: the default setting (smallest list, one driver) 5 ms, the heaviest 150 ms.
    if (state.range(0) == 0 && state.range(1) == 1) bench::ReportTarget(state, 5e-3);
    if (state.range(0) == 12 && state.range(1) == 2) bench::ReportTarget(state, 150e-3);
    driverdata::PistonOffset offsets[driverdata::kMaxPistonSamples];
    state.counters["samples"] = driverdata::PistonSampleOffsets(12.5f, state.range(0), offsets);
}
BENCHMARK(BM_DiffractionPlot)
    ->Args({0, 1})
    ->Args({12, 1})
    ->Args({0, 2})
    ->Args({12, 2})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    const double worst = LargestDifferenceFromPlainSums();
    std::printf(
        "Sweeps against the plain sums first (list entry 13, two drivers): largest level "
        "difference %.1e dB\n",
        worst);
    if (!(worst <= 1e-4)) {
        std::printf("MISMATCH: the sweeps disagree, nothing is timed\n");
        return 1;
    }
    return bench::RunInterleaved(argc, argv);
}
