// What a message, a control lookup and a round of windows cost early in a session and after many
// windows were opened and closed: the program started headless as it runs, the tool windows opened
// and closed through the menu (Tools > Diffraction Model, then Measurements > Digital MLS) for a
// warm-up, the costs measured, then many more rounds and the same costs again. The medians of both
// and their ratio are printed side by side with the session's counts (menus behind the menu bar,
// top-level widgets, window-table slots, the heap in use), for the reader to weigh (no pass or
// fail). Google Benchmark then times each cost at the session's end.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/app/ProgramInFolder.h"
#include "measurement/Ids.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/Ids.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One round: the two tool groups opened through the menu, each closing the other.
double Round() {
    const auto start = Clock::now();
    platform::SendMessage(shell::FrameWindow, platform::WM_COMMAND, shell::kCmdDiffractionModel, 0);
    platform::testing::PumpUntilIdle();
    platform::SendMessage(shell::FrameWindow, platform::WM_COMMAND, shell::kCmdDigitalMls, 0);
    platform::testing::PumpUntilIdle();
    return MsSince(start);
}

// An idle PeekMessage (the loop's look for posts, timers and windows to paint), in microseconds.
double IdlePeek() {
    constexpr int kCalls = 200;
    platform::testing::PumpUntilIdle();
    platform::MSG msg{};
    const auto start = Clock::now();
    for (int i = 0; i < kCalls; ++i)
        platform::PeekMessage(&msg, platform::HWND{}, 0, 0, platform::PM_NOREMOVE);
    return 1000.0 * MsSince(start) / kCalls;
}

// A control looked up in the MLS control dialog, in microseconds.
double Lookup() {
    constexpr int kCalls = 2000;
    const auto start = Clock::now();
    for (int i = 0; i < kCalls; ++i)
        benchmark::DoNotOptimize(
            platform::GetDlgItem(shell::MlsControlDialog, measurement::kMlsControlTabId));
    return 1000.0 * MsSince(start) / kCalls;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Costs {
    double peek_us, lookup_us, round_ms;
};

Costs Measure(int rounds) {
    std::vector<double> peek, lookup, round;
    for (int r = 0; r < rounds; ++r) {
        round.push_back(Round());
        peek.push_back(IdlePeek());
        lookup.push_back(Lookup());
    }
    return {Median(peek), Median(lookup), Median(round)};
}

void PrintCounts(const char* when) {
    const auto c = platform::testing::CountSession(shell::FrameWindow);
    std::printf(
        "  %-22s %5d bar menus, %6d top-level widgets, %6zu window slots, %6zu windows, "
        "%8zu KB of heap in use\n",
        when, c.bar_menus, c.top_level_widgets, c.window_slots, c.live_windows,
        static_cast<std::size_t>(mallinfo2().uordblks) / 1024);
}

void BM_IdlePeekMessage(benchmark::State& state) {
    platform::MSG msg{};
    for (auto _ : state)
        benchmark::DoNotOptimize(
            platform::PeekMessage(&msg, platform::HWND{}, 0, 0, platform::PM_NOREMOVE));
}
BENCHMARK(BM_IdlePeekMessage)->Unit(benchmark::kMicrosecond);

void BM_GetDlgItem(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            platform::GetDlgItem(shell::MlsControlDialog, measurement::kMlsControlTabId));
}
BENCHMARK(BM_GetDlgItem);

void BM_ToolWindowRound(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Round());
}
BENCHMARK(BM_ToolWindowRound)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    int rounds = 300;
    if (argc > 1 && argv[1][0] != '-') rounds = std::max(1, std::atoi(argv[1]));
    const bench::ProgramInFolder program(argc, argv, "long-session-bench");
    if (!program.Started()) return 1;
    constexpr int kWarmUp = 30;
    constexpr int kMeasured = 15;
    for (int r = 0; r < kWarmUp; ++r) Round();
    if (!shell::MlsControlDialog) {
        std::fprintf(stderr, "Digital MLS did not open its dialog\n");
        return 1;
    }
    std::printf("a session of tool-window rounds (medians of %d rounds)\n", kMeasured);
    PrintCounts("after the warm-up:");
    const Costs early = Measure(kMeasured);
    for (int r = 0; r < rounds; ++r) Round();
    PrintCounts("after the long session:");
    const Costs late = Measure(kMeasured);
    std::printf("  %-30s %10s %10s %7s\n", "", "warm-up", "+rounds", "ratio");
    std::printf("  %-30s %10.2f %10.2f %7.2f\n", "idle PeekMessage [us]", early.peek_us,
                late.peek_us, late.peek_us / early.peek_us);
    std::printf("  %-30s %10.3f %10.3f %7.2f\n", "GetDlgItem [us]", early.lookup_us, late.lookup_us,
                late.lookup_us / early.lookup_us);
    std::printf("  %-30s %10.1f %10.1f %7.2f\n", "a round of tool windows [ms]", early.round_ms,
                late.round_ms, late.round_ms / early.round_ms);
    std::printf("  (%d rounds between the two measurements)\n", rounds);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
