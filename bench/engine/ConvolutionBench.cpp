// The engine's block on one thread (8 inputs, 16 outputs, 8 partitions of F) against
// zita-convolver with the same uniform partitions, routing, inputs and filters, once tuned as its
// users configure it (FFTW measured plans, vector multiply-accumulate) and once at its defaults
// (made after FFTW has forgotten the tuned side's measured plans), and against a minimal
// partitioned convolution on FFTW's measured real-input plans (FftwPeer.h). Outputs are compared
// first and nothing is timed when they disagree; then rounds of blocks run interleaved, the order
// of the four sides rotating from round to round, and the medians of the round times and of the
// per-round ratios (with their quartiles) are compared. Usage: engine_bench [rounds, default 21].
#include <sched.h>
#include <zita-convolver.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "bench/Stats.h"
#include "bench/engine/BlockData.h"
#include "bench/engine/FftwPeer.h"

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

// Largest difference in 24-bit units between the engine's words and the FFTW peer's over the
// first blocks of both (fresh).
double ComparePeer(const BlockData& s, bench::SingleThreadEngine& e, bench::FftwPeer& p) {
    double worst = 0;
    for (int b = 0; b < s.blocks; ++b) {
        e.Block(s, b);
        p.Block(s, b);
        for (std::size_t i = 0; i < e.block.size(); ++i)
            worst = std::max(worst, std::fabs(static_cast<double>(e.block[i] / 256) -
                                              static_cast<double>(p.block[i] / 256)));
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

constexpr double kTargetOfTuned = 0.80;  // engine / zita tuned
constexpr double kTargetOfPeer = 1.25;   // engine / FFTW peer

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
        bench::Spread engine, tuned, plain, peer, of_tuned, of_plain, of_peer, of_256;
    };
    std::vector<Row> rows;
    for (int f : {1024, 2048, 4096}) {
        const BlockData s(f, 12);
        const auto p0 = std::chrono::steady_clock::now();
        auto tuned = std::make_unique<ZitaRun>(s, true);
        const double planning =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - p0).count();
        // The default side plans for itself, as its users get it: no measured plans left over.
        fftwf_forget_wisdom();
        auto plain = std::make_unique<ZitaRun>(s, false);
        auto peer = std::make_unique<bench::FftwPeer>(s);
        bench::SingleThreadEngine e1(s), e2(s), e3(s), e4(s);
        const double worst_tuned = Compare(s, e1, *tuned);
        const double worst_plain = Compare(s, e2, *plain);
        const double worst_peer = ComparePeer(s, e3, *peer);
        std::printf(
            "  F = %4d: zita tuned %.0f, zita default %.0f, FFTW peer %.0f  (tuned set-up %.1f "
            "s)\n",
            f, worst_tuned, worst_plain, worst_peer, planning);
        if (!(worst_tuned <= 2 && worst_plain <= 2 && worst_peer <= 2)) {
            std::printf("  MISMATCH: the outputs disagree, nothing is timed\n");
            return 1;
        }
        // Sides: 0 engine, 1 zita tuned, 2 zita default, 3 FFTW peer, and where the processor
        // has 512-bit vectors 4 the engine with its multiply-accumulate kept on 256 bits (the
        // same words), to show whether the wider kernel pays.
        const int sides = engine::kernels::Vectors512Available() ? 5 : 4;
        std::vector<double> t[5];
        int next[5] = {0, 0, 0, 0, 0};
        const std::function<double()> side[5] = {
            [&] { return RoundMicroseconds(e1, s, next[0]); },
            [&] { return RoundMicroseconds(*tuned, s, next[1]); },
            [&] { return RoundMicroseconds(*plain, s, next[2]); },
            [&] { return RoundMicroseconds(*peer, s, next[3]); },
            [&] {
                engine::ConvolutionUse512BitVectors = false;
                const double us = RoundMicroseconds(e4, s, next[4]);
                engine::ConvolutionUse512BitVectors = true;
                return us;
            },
        };
        for (int r = -2; r < rounds; ++r) {  // two warm-up rounds
            for (int k = 0; k < sides; ++k) {
                const int which = (k + r + 2) % sides;
                const double us = side[which]();
                if (r >= 0) t[which].push_back(us);
            }
        }
        rows.push_back({f, bench::SpreadOf(t[0]), bench::SpreadOf(t[1]), bench::SpreadOf(t[2]),
                        bench::SpreadOf(t[3]), bench::SpreadOf(bench::RoundRatios(t[0], t[1])),
                        bench::SpreadOf(bench::RoundRatios(t[0], t[2])),
                        bench::SpreadOf(bench::RoundRatios(t[0], t[3])),
                        bench::SpreadOf(bench::RoundRatios(t[0], t[4]))});
    }
    std::printf("\nTime per block, median [quartiles] of the rounds, us:\n");
    std::printf("     F  engine              zita tuned          zita default        FFTW peer\n");
    for (const Row& r : rows) {
        std::printf("  %4d", r.f);
        for (const bench::Spread& x : {r.engine, r.tuned, r.plain, r.peer})
            std::printf("  %6.1f [%5.1f-%5.1f]", x.median, x.low, x.high);
        std::printf("\n");
    }
    std::printf("\nRatios per round, median [quartiles], and the median against its target:\n");
    std::printf(
        "     F  engine/tuned        of %.2f  engine/default      engine/peer         of %.2f\n",
        kTargetOfTuned, kTargetOfPeer);
    bool met = true;
    for (const Row& r : rows) {
        std::printf(
            "  %4d  %5.2f [%4.2f-%4.2f]  %5.2f  %5.2f [%4.2f-%4.2f]  %5.2f [%4.2f-%4.2f]  %5.2f\n",
            r.f, r.of_tuned.median, r.of_tuned.low, r.of_tuned.high,
            r.of_tuned.median / kTargetOfTuned, r.of_plain.median, r.of_plain.low, r.of_plain.high,
            r.of_peer.median, r.of_peer.low, r.of_peer.high, r.of_peer.median / kTargetOfPeer);
        met = met && r.of_tuned.median <= kTargetOfTuned && r.of_peer.median <= kTargetOfPeer;
    }
    std::printf(
        "(targets: engine/tuned <= %.2f, engine/peer <= %.2f; \"of\" <= 1.00 meets one; %s)\n",
        kTargetOfTuned, kTargetOfPeer, met ? "all met" : "NOT all met");
    if (engine::kernels::Vectors512Available()) {
        std::printf(
            "\nThe engine with its 512-bit multiply-accumulate over the same on 256 bits:\n");
        for (const Row& r : rows)
            std::printf("  %4d  %5.2f [%4.2f-%4.2f]\n", r.f, r.of_256.median, r.of_256.low,
                        r.of_256.high);
    }
    return 0;
}
