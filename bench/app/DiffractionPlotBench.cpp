// A default Plot of the diffraction calculator as a person gets it: the program started headless
// as it runs, Diffraction Model opened from the menu, Plot clicked in the dialog and the
// loop run until idle (the plot window's title for every frequency, the repaint), next to the
// same sweep computed alone (no plot window, as diffraction_bench times it). The SPL curves of
// both are compared first; rounds alternate; the medians of both and their ratio are printed side
// by side, for the reader to weigh (no pass or fail). Google Benchmark then times each side on
// its own.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/app/ProgramInFolder.h"
#include "driverdata/DiffractionCalculator.h"
#include "driverdata/EdgeDiffraction.h"
#include "driverdata/Globals.h"
#include "driverdata/Ids.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "shell/StartupAllocation.h"

namespace {

using Clock = std::chrono::steady_clock;

platform::HWND dialog{};

// The curve the last Plot wrote (the slot it used is the one before the next).
std::vector<float> LastSpl() {
    const int slot = (std::clamp<int>(driverdata::DiffractionSplSlot, 0, 4) + 4) % 5;
    const shell::CurveRecord* curve = shell::DiffractionCurveTable[slot];
    if (!curve) return {};
    return std::vector<float>(curve->v, curve->v + shell::kGridPoints);
}

double PlotInProgram() {
    const auto start = Clock::now();
    platform::testing::Click(dialog, driverdata::kDiffPlot);
    platform::testing::PumpUntilIdle();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The Plot command as the dialog handles it (the sweep with the plot window's titles and the
// baffle scene), without the click's way in and the repaint that follows.
double PlotCommand() {
    const auto start = Clock::now();
    platform::SendMessage(dialog, platform::WM_COMMAND, driverdata::kDiffPlot, 0);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    platform::testing::PumpUntilIdle();
    return ms;
}

double ComputationAlone() {
    const platform::HWND child = shell::DiffractionChildWindow;
    shell::DiffractionChildWindow = platform::HWND{};
    const auto start = Clock::now();
    const int refused = driverdata::RunDiffractionPlot(platform::HWND{});
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    shell::DiffractionChildWindow = child;
    if (refused != 0) std::fprintf(stderr, "the plot was refused\n");
    return ms;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void BM_PlotInProgram(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(PlotInProgram());
}
BENCHMARK(BM_PlotInProgram)->Unit(benchmark::kMillisecond);

void BM_ComputationAlone(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ComputationAlone());
}
BENCHMARK(BM_ComputationAlone)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    int rounds = 15;
    if (argc > 1 && argv[1][0] != '-') rounds = std::max(1, std::atoi(argv[1]));
    const bench::ProgramInFolder program(argc, argv, "diffraction-bench");
    if (!program.Started()) return 1;
    platform::SendMessage(shell::FrameWindow, platform::WM_COMMAND, shell::kCmdDiffractionModel, 0);
    platform::testing::PumpUntilIdle();
    dialog = shell::DiffractionCalculatorDialog;
    if (!dialog || !shell::DiffractionChildWindow) {
        std::fprintf(stderr, "Diffraction Model did not open its dialog and plot\n");
        return 1;
    }
    // Both sides compute the same curve.
    PlotInProgram();
    const std::vector<float> in_program = LastSpl();
    ComputationAlone();
    const std::vector<float> alone = LastSpl();
    if (in_program.empty() || in_program != alone) {
        std::fprintf(stderr, "the two sides computed different curves\n");
        return 1;
    }
    std::vector<double> program_ms, command_ms, alone_ms;
    for (int r = 0; r < rounds; ++r) {
        program_ms.push_back(PlotInProgram());
        command_ms.push_back(PlotCommand());
        alone_ms.push_back(ComputationAlone());
    }
    const double p = Median(program_ms), c = Median(command_ms), a = Median(alone_ms);
    std::printf("default Plot, %d interleaved rounds (medians)\n", rounds);
    std::printf("  clicked in the program (command, repaint): %8.2f ms\n", p);
    std::printf("  the Plot command (sweep, titles, scene):   %8.2f ms\n", c);
    std::printf("  computation alone:                         %8.2f ms\n", a);
    std::printf("  ratio to the computation: clicked %.2f, command %.2f\n", p / a, c / a);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
