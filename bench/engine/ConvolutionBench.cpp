// The engine's block on one thread (8 inputs, 16 outputs, 8 partitions of F) against
// zita-convolver with the same uniform partitions, routing, inputs and filters, once tuned as its
// users configure it (FFTW measured plans, vector multiply-accumulate) and once at its defaults.
// Outputs are compared first and nothing is timed when they disagree; then rounds of blocks run
// interleaved (engine, tuned, default, engine, ...) and the medians of the round times are
// compared. Usage: engine_bench [rounds, default 21].
#include <sched.h>
#include <zita-convolver.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "bench/engine/BlockData.h"

namespace {

using bench::BlockData;
using bench::kInputs;
using bench::kOutputs;

constexpr int kBlocksPerRound = 32;

// One zita-convolver object per F and configuration, configured once (measured plans are slow to
// make) and kept for the comparison and every round. Level 0 runs in process() on this thread.
struct ZitaRun {
    Convproc conv;
    ZitaRun(const BlockData& s, bool tuned) {
        const unsigned f = static_cast<unsigned>(s.frames);
        if (tuned) conv.set_options(Convproc::OPT_FFTW_MEASURE | Convproc::OPT_VECTOR_MODE);
        if (conv.configure(kInputs, kOutputs, 8 * f, f, f, f, 0.0f) != 0) std::abort();
        for (int o = 0; o < kOutputs; ++o)
            conv.impdata_create(static_cast<unsigned>(o % kInputs), static_cast<unsigned>(o), 1,
                                const_cast<float*>(s.taps[static_cast<std::size_t>(o)].data()), 0,
                                static_cast<int>(8 * f));
        if (conv.start_process(0, SCHED_OTHER) != 0) std::abort();
    }
    ~ZitaRun() {
        conv.stop_process();
        conv.cleanup();
    }
    void Block(const BlockData& s, int b) {
        for (int r = 0; r < kInputs; ++r) std::copy_n(s.Input(r, b), s.frames, conv.inpdata(r));
        conv.process(true);
    }
};

// Largest difference in 24-bit units over the first blocks of a fresh engine and a fresh zita
// object: the engine's words truncate toward zero, zita's floats are truncated here the same way.
double Compare(const BlockData& s, bench::SingleThreadEngine& e, ZitaRun& z) {
    double worst = 0;
    for (int b = 0; b < s.blocks; ++b) {
        e.Block(s, b);
        z.Block(s, b);
        for (int o = 0; o < kOutputs; ++o) {
            const float* zo = z.conv.outdata(static_cast<unsigned>(o));
            for (int n = 0; n < s.frames; ++n) {
                const double want = std::trunc(static_cast<double>(zo[n]));
                const double got = e.block[static_cast<std::size_t>(n) * kOutputs + o] / 256;
                if (!std::isfinite(zo[n])) return INFINITY;
                worst = std::max(worst, std::fabs(got - want));
            }
        }
    }
    return worst;
}

// Microseconds per block of one round of kBlocksPerRound blocks.
template <class Run>
double RoundMicroseconds(Run& run, const BlockData& s, int& next_block) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < kBlocksPerRound; ++i) run.Block(s, next_block++);
    const auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::micro>(t1 - t0).count() / kBlocksPerRound;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    std::printf(
        "The engine's block (one thread) against zita-convolver, 8 inputs, 16 outputs,\n"
        "8 partitions of F, output o hears input o %% 8; %d interleaved rounds of %d "
        "blocks, medians.\n\n",
        rounds, kBlocksPerRound);
    std::printf("Outputs compared first (largest difference in 24-bit units, 12 blocks):\n");
    struct Row {
        int f;
        double engine, tuned, plain;
    };
    std::vector<Row> rows;
    for (int f : {1024, 2048, 4096}) {
        const BlockData s(f, 12);
        const auto p0 = std::chrono::steady_clock::now();
        auto tuned = std::make_unique<ZitaRun>(s, true);
        const double planning =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - p0).count();
        auto plain = std::make_unique<ZitaRun>(s, false);
        bench::SingleThreadEngine e1(s), e2(s);
        const double worst_tuned = Compare(s, e1, *tuned);
        const double worst_plain = Compare(s, e2, *plain);
        std::printf("  F = %4d: zita tuned %.0f, zita default %.0f  (tuned set-up %.1f s)\n", f,
                    worst_tuned, worst_plain, planning);
        if (!(worst_tuned <= 2 && worst_plain <= 2)) {
            std::printf("  MISMATCH: the outputs disagree, nothing is timed\n");
            return 1;
        }
        std::vector<double> te, tt, tp;
        int be = 0, bt = 0, bp = 0;
        for (int warm = 0; warm < 2; ++warm) {
            RoundMicroseconds(e1, s, be);
            RoundMicroseconds(*tuned, s, bt);
            RoundMicroseconds(*plain, s, bp);
        }
        for (int r = 0; r < rounds; ++r) {
            te.push_back(RoundMicroseconds(e1, s, be));
            tt.push_back(RoundMicroseconds(*tuned, s, bt));
            tp.push_back(RoundMicroseconds(*plain, s, bp));
        }
        rows.push_back({f, bench::Median(te), bench::Median(tt), bench::Median(tp)});
    }
    std::printf("\nMedian time per block:\n");
    std::printf(
        "     F   engine us   zita tuned us   zita default us   engine/tuned   "
        "engine/default\n");
    for (const Row& r : rows)
        std::printf("  %4d  %10.1f  %14.1f  %16.1f  %13.2f  %15.2f\n", r.f, r.engine, r.tuned,
                    r.plain, r.engine / r.tuned, r.engine / r.plain);
    std::printf("(target engine/tuned <= 1.00, aim 0.85)\n");
    return 0;
}
