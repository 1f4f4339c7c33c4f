// Shared by the Google Benchmark programs: a main that runs every benchmark in repetitions
// interleaved at random with the others and reports medians and spread (mean, median, standard
// deviation, coefficient of variation) unless the command line says otherwise, and a counter
// that reports a benchmark's time as a ratio to its target (1.00 = on target, below = better).
#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace bench {

// Time per iteration over `target_seconds`, shown as the counter "of_target".
inline void ReportTarget(benchmark::State& state, double target_seconds) {
    state.counters["of_target"] =
        benchmark::Counter(target_seconds, benchmark::Counter::kIsIterationInvariantRate |
                                               benchmark::Counter::kInvert);
}

inline int RunInterleaved(int argc, char** argv) {
    std::vector<std::string> words{argc > 0 ? argv[0] : "bench", "--benchmark_repetitions=9",
                                   "--benchmark_enable_random_interleaving=true",
                                   "--benchmark_report_aggregates_only=true"};
    for (int i = 1; i < argc; ++i) words.emplace_back(argv[i]);  // later flags win
    std::vector<char*> args;
    for (std::string& w : words) args.push_back(w.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
