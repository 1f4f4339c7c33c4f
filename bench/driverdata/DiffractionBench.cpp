// Time of one Plot sweep of the diffraction calculator on the default 80 x 80 cm baffle (160
// edge elements, 2000 frequencies) for one driver, from the smallest piston list (5 samples) to
// the largest (list entry 13), and for two drivers. Repetitions interleave; medians, spread and
// the ratio to the targets (default 5 ms, list entry 13 with two drivers 150 ms) are reported.
#include <benchmark/benchmark.h>

#include <cstdio>

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

void BM_DiffractionPlot(benchmark::State& state) {
    StartUp();
    shell::InitBaffleRecord();
    shell::InitDriverRecord(shell::CurrentDriverRecord);
    driverdata::ResetGlobals();
    driverdata::LoadDiffractionExample1(platform::HWND{});
    driverdata::DiffractionListIndex = static_cast<int>(state.range(0));
    if (state.range(1) == 2) {
        shell::CurrentDriverRecord->DriversMode = 1;
        shell::Baffle->Points[1] = shell::BafflePoint{45.0f, 50.0f, 0.0f, 1};
    }
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

int main(int argc, char** argv) { return bench::RunInterleaved(argc, argv); }
