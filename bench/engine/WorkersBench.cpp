// The engine's real four-worker path (engine::Dsp, StartWorkers, RunBlockStages: input workers A
// and B, then output workers Low and High, output layout 1) against the same block on one thread,
// for F = 1024, 2048, 4096 with 8 inputs, 16 outputs and 8 partitions. The four-worker words are
// compared with the single-thread words first (they must be identical); then rounds of blocks run
// interleaved (single, four, single, ...), each timed by wall clock and by the CPU time of the
// whole process, and the medians are compared. Then cold rounds as in a paced play: each block
// alone after a pause in which the workers go to sleep, its wall time taken on its own; rounds of
// such blocks interleave the same way. In the paced rounds the pause is the same before every
// block, as a play's period is (the workers may learn it and wake shortly before the block is
// due); in the irregular rounds it is drawn anew before every block (half to one and a half
// times the pause, the same draws on both sides), so that a wake-up timed by the last period
// mostly misses and most blocks start with their workers asleep. Medians, quartiles of the
// per-round ratios and their ratio to the target (four/single <= 0.50 at F = 2048 and 4096) are
// printed. Usage: engine_workers_bench [rounds, default 21] [pause in ms, default 3].
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "bench/Stats.h"
#include "bench/engine/BlockData.h"
#include "engine/Globals.h"
#include "engine/Workers.h"
#include "platform/sys/Threads.h"

namespace {

using bench::BlockData;

constexpr int kBlocksPerRound = 32;
constexpr int kCompareBlocks = 12;
constexpr int kColdBlocksPerRound = 16;

// The scheduler's side of a block: fill the slots, hand the block to the four workers, wait.
struct FourWorkers {
    std::vector<std::int32_t> block;
    engine::BlockGains gains = bench::UnityGains();

    explicit FourWorkers(const BlockData& s) {
        if (engine::PrepareConvolutionRun(engine::Dsp, s.frames, 1, s.routing, s.pointers.data()) !=
                0 ||
            engine::StartWorkers() != 0) {
            std::fprintf(stderr, "the workers could not be started\n");
            std::exit(1);
        }
        block.assign(static_cast<std::size_t>(s.frames) * bench::kOutputs, 0);
    }
    ~FourWorkers() { engine::StopWorkers(); }
    FourWorkers(const FourWorkers&) = delete;
    FourWorkers& operator=(const FourWorkers&) = delete;

    // As the player does it: announce the block, fill the slots, run it.
    void Block(const BlockData& s, int b) {
        engine::AnnounceBlock();
        bench::FillSlots(engine::Dsp, s, b);
        if (!engine::RunBlockStages(gains, block.data(), 1000)) {
            std::fprintf(stderr, "a block timed out in the workers\n");
            std::exit(1);
        }
    }
};

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Wall and process CPU microseconds per block of one round (the workers asleep at its start).
template <class Run>
void Round(Run& run, const BlockData& s, int& next_block, std::vector<double>& wall,
           std::vector<double>& cpu) {
    const double c0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kBlocksPerRound; ++i) run.Block(s, next_block++);
    const auto t1 = std::chrono::steady_clock::now();
    // The kernel adds another thread's running time to the process's only at a tick or when that
    // thread is switched out: read the CPU time once the workers have gone back to sleep (they
    // do at once after a block), so that each round is charged exactly its own work.
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    const double c1 = CpuSeconds();
    wall.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count() / kBlocksPerRound);
    cpu.push_back((c1 - c0) * 1e6 / kBlocksPerRound);
}

// Wall microseconds per block of one cold round: each block follows a pause in which the
// workers go to sleep (a paced play's period between blocks) and is timed alone. With `seed` not
// 0 the pauses are irregular: drawn from 0.5 to 1.5 times `pause_us` by a generator seeded so.
// `cpu_us`, when given, gets the process's CPU microseconds per block over the round, pauses
// included (what the workers spend waiting for the blocks).
template <class Run>
double ColdRound(Run& run, const BlockData& s, int& next_block, int pause_us, unsigned seed,
                 double* cpu_us = nullptr) {
    const double c0 = CpuSeconds();
    double total = 0;
    for (int i = 0; i < kColdBlocksPerRound; ++i) {
        int pause = pause_us;
        if (seed != 0) {
            seed = seed * 1664525u + 1013904223u;
            pause = pause_us / 2 + static_cast<int>((seed >> 8) % static_cast<unsigned>(pause_us));
        }
        std::this_thread::sleep_for(std::chrono::microseconds(pause));
        const auto t0 = std::chrono::steady_clock::now();
        run.Block(s, next_block++);
        const auto t1 = std::chrono::steady_clock::now();
        total += std::chrono::duration<double, std::micro>(t1 - t0).count();
    }
    if (cpu_us) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));  // the workers asleep again
        *cpu_us = (CpuSeconds() - c0) * 1e6 / kColdBlocksPerRound;
    }
    return total / kColdBlocksPerRound;
}

constexpr double kTarget = 0.50;  // four / single, wall, at F = 2048 and 4096

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    const int pause_us = 1000 * (argc > 2 ? std::max(1, std::atoi(argv[2])) : 3);
    if (engine::AllocEngineMemory() != 0) {
        std::fprintf(stderr, "the engine's memory could not be allocated\n");
        return 1;
    }
    std::printf(
        "The engine's four workers against its own single thread, 8 inputs, 16 outputs,\n"
        "8 partitions of F; %d interleaved rounds of %d blocks, medians; CPU time is the "
        "whole process's.\nCold rounds: %d blocks each after a pause of %d ms (paced) or of "
        "%d-%d ms (irregular).\n\n",
        rounds, kBlocksPerRound, kColdBlocksPerRound, pause_us / 1000, pause_us / 2000,
        3 * pause_us / 2000);
    // The calling thread is the scheduler of both paths: real-time where allowed, as in a play.
    platform::SetThreadPriority(platform::GetCurrentThread(),
                                platform::THREAD_PRIORITY_TIME_CRITICAL);
    const bool scheduler_realtime =
        platform::ThreadHasRealtimePriority(platform::GetCurrentThread());
    std::printf("Four-worker words compared with single-thread words first (%d blocks):\n",
                kCompareBlocks);
    struct Row {
        int f;
        double single_wall, four_wall, single_cpu, four_cpu;
        bench::Spread ratio, cold_single, cold_four, cold_ratio, odd_ratio;
        double paced_single_cpu, paced_four_cpu;
    };
    std::vector<Row> rows;
    for (int f : {1024, 2048, 4096}) {
        const BlockData s(f, kCompareBlocks);
        bench::SingleThreadEngine single(s);
        FourWorkers four(s);
        long long differing = 0;
        for (int b = 0; b < kCompareBlocks; ++b) {
            single.Block(s, b);
            four.Block(s, b);
            for (std::size_t k = 0; k < single.block.size(); ++k)
                differing += single.block[k] != four.block[k];
        }
        std::printf(
            "  F = %4d: %lld of %zu words differ (real-time priority: scheduler %s, "
            "workers %s)\n",
            f, differing, single.block.size() * kCompareBlocks, scheduler_realtime ? "yes" : "no",
            engine::WorkersHaveRealtimePriority() ? "yes" : "no");
        if (differing != 0) {
            std::printf(
                "  MISMATCH: the four workers' words are not the single thread's, "
                "nothing is timed\n");
            return 1;
        }
        std::vector<double> sw, sc, fw, fc;
        int bs = kCompareBlocks, bf = kCompareBlocks;
        std::vector<double> ignored_wall, ignored_cpu;
        for (int warm = 0; warm < 2; ++warm) {
            Round(single, s, bs, ignored_wall, ignored_cpu);
            Round(four, s, bf, ignored_wall, ignored_cpu);
        }
        for (int r = 0; r < rounds; ++r) {
            Round(single, s, bs, sw, sc);
            Round(four, s, bf, fw, fc);
        }
        std::vector<double> cs, cf, os, of, ccs, ccf;
        for (int r = -1; r < rounds; ++r) {  // one warm-up round
            const unsigned seed = 7919u * static_cast<unsigned>(r + 2);
            double single_us = 0, four_us = 0, odd_single_us = 0, odd_four_us = 0;
            double single_cpu = 0, four_cpu = 0;
            if (r % 2 == 0) {
                single_us = ColdRound(single, s, bs, pause_us, 0, &single_cpu);
                four_us = ColdRound(four, s, bf, pause_us, 0, &four_cpu);
                odd_single_us = ColdRound(single, s, bs, pause_us, seed);
                odd_four_us = ColdRound(four, s, bf, pause_us, seed);
            } else {
                four_us = ColdRound(four, s, bf, pause_us, 0, &four_cpu);
                single_us = ColdRound(single, s, bs, pause_us, 0, &single_cpu);
                odd_four_us = ColdRound(four, s, bf, pause_us, seed);
                odd_single_us = ColdRound(single, s, bs, pause_us, seed);
            }
            if (r < 0) continue;
            cs.push_back(single_us);
            cf.push_back(four_us);
            os.push_back(odd_single_us);
            of.push_back(odd_four_us);
            ccs.push_back(single_cpu);
            ccf.push_back(four_cpu);
        }
        rows.push_back(
            {f, bench::Median(sw), bench::Median(fw), bench::Median(sc), bench::Median(fc),
             bench::SpreadOf(bench::RoundRatios(fw, sw)), bench::SpreadOf(cs), bench::SpreadOf(cf),
             bench::SpreadOf(bench::RoundRatios(cf, cs)),
             bench::SpreadOf(bench::RoundRatios(of, os)), bench::Median(ccs), bench::Median(ccf)});
    }
    std::printf("\nMedian per block:\n");
    std::printf(
        "     F   single wall us   four wall us   wall four/single   single CPU us   "
        "four CPU us   CPU four/single\n");
    for (const Row& r : rows)
        std::printf("  %4d  %15.1f  %13.1f  %17.2f  %14.1f  %12.1f  %16.2f\n", r.f, r.single_wall,
                    r.four_wall, r.four_wall / r.single_wall, r.single_cpu, r.four_cpu,
                    r.four_cpu / r.single_cpu);
    std::printf(
        "\nWall four/single per round, median [quartiles] and against the target %.2f "
        "(F = 2048, 4096):\n",
        kTarget);
    std::printf(
        "     F   back to back            of target   paced: single us   four us   "
        "four/single             of target   irregular: four/single   of target\n");
    bool met = true;
    for (const Row& r : rows) {
        std::printf(
            "  %4d   %5.2f [%4.2f-%4.2f]  %9.2f   %16.1f  %8.1f   %5.2f [%4.2f-%4.2f]  %9.2f   "
            "%10.2f [%4.2f-%4.2f]  %9.2f\n",
            r.f, r.ratio.median, r.ratio.low, r.ratio.high, r.ratio.median / kTarget,
            r.cold_single.median, r.cold_four.median, r.cold_ratio.median, r.cold_ratio.low,
            r.cold_ratio.high, r.cold_ratio.median / kTarget, r.odd_ratio.median, r.odd_ratio.low,
            r.odd_ratio.high, r.odd_ratio.median / kTarget);
        if (r.f >= 2048) met = met && r.ratio.median <= kTarget && r.cold_ratio.median <= kTarget;
    }
    std::printf(
        "\nPaced rounds, the process's CPU time per block, the pauses included (the workers' "
        "waiting for the block):\n     F   single CPU us   four CPU us\n");
    for (const Row& r : rows)
        std::printf("  %4d  %14.1f  %12.1f\n", r.f, r.paced_single_cpu, r.paced_four_cpu);
    std::printf(
        "(\"of target\" <= 1.00 meets it; back to back and paced at F = 2048 and 4096 %s; "
        "irregular pauses are shown, not targeted)\n",
        met ? "all met" : "NOT all met");
    engine::FreeEngineMemory();
    return 0;
}
