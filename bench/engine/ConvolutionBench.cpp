// The engine's convolution (8 inputs, 16 outputs, 8 partitions of F) against zita-convolver with
// the same uniform partitions, inputs and filters. Outputs are compared before anything is timed;
// then each is timed per block and the ratio printed.
#include <benchmark/benchmark.h>
#include <sched.h>
#include <zita-convolver.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "engine/Convolution.h"
#include "shell/ComplexFft.h"

namespace {

constexpr int kInputs = 8;
constexpr int kOutputs = 16;

struct Setup {
    int frames;
    std::vector<std::vector<float>> taps;     // [output] 8F
    std::vector<std::vector<float>> spectra;  // [o * 8 + p] 4F
    std::vector<const float*> pointers;
    std::int32_t routing[engine::kInputCount][engine::kOutputCount] = {};
    std::vector<std::vector<float>> inputs;   // [input] blocks x F samples
    int blocks;

    explicit Setup(int f, int block_count) : frames(f), blocks(block_count) {
        std::mt19937 rng(99 + f);
        std::uniform_real_distribution<float> d(-1.0f, 1.0f);
        taps.assign(kOutputs, std::vector<float>(8 * f));
        for (auto& h : taps) {
            double sum = 0;
            for (int k = 0; k < 8 * f; ++k) {
                h[k] = d(rng) * std::exp(-3.0f * k / (8.0f * f));
                sum += std::fabs(h[k]);
            }
            for (float& v : h) v = static_cast<float>(v * 1.5 / sum);
        }
        std::vector<int> ip(shell::FftWorkAreaInts(4 * f));
        std::vector<float> w(f);
        spectra.assign(kOutputs * 8, std::vector<float>(4 * f, 0.0f));
        for (int o = 0; o < kOutputs; ++o)
            for (int p = 0; p < 8; ++p) {
                auto& s = spectra[o * 8 + p];
                for (int n = 0; n < f; ++n) s[2 * n] = taps[o][p * f + n];
                shell::ComplexFft(4 * f, -1, s.data(), ip.data(), w.data());
            }
        for (auto& s : spectra) pointers.push_back(s.data());
        for (int o = 0; o < kOutputs; ++o) routing[o % kInputs][o] = 1;
        std::uniform_int_distribution<int> smp(-2000000, 2000000);
        inputs.assign(kInputs, std::vector<float>(static_cast<std::size_t>(f) * blocks));
        for (auto& in : inputs)
            for (float& v : in) v = static_cast<float>(smp(rng));
    }
};

struct EngineRun {
    engine::ConvolutionMemory mem{};
    std::vector<std::int32_t> block;
    engine::BlockGains gains{};
    explicit EngineRun(const Setup& s) {
        if (engine::AllocConvolutionMemory(mem) != 0) std::abort();
        engine::PrepareConvolutionRun(mem, s.frames, 1, s.routing, s.pointers.data());
        block.assign(static_cast<std::size_t>(s.frames) * 16, 0);
        gains.master = 1.0f;
        for (float& t : gains.trims) t = 1.0f;
    }
    ~EngineRun() { engine::FreeConvolutionMemory(mem); }
    void Block(const Setup& s, int b) {
        const int f = s.frames;
        for (int r = 0; r < kInputs; ++r)
            std::copy_n(s.inputs[r].data() + static_cast<std::size_t>(b) * f, f,
                        mem.input_slots[engine::kSlotOfInput[r]]);
        engine::TransformInputs(mem, engine::kInputsOfWorkerA, 4, mem.work[0]);
        engine::TransformInputs(mem, engine::kInputsOfWorkerB, 4, mem.work[1]);
        engine::ConvolveOutputs(mem, 0, 7, gains, block.data(), mem.work[2]);
        engine::ConvolveOutputs(mem, 8, 15, gains, block.data(), mem.work[3]);
    }
};

struct ZitaRun {
    Convproc conv;
    explicit ZitaRun(const Setup& s) {
        const int f = s.frames;
        conv.set_options(Convproc::OPT_FFTW_MEASURE | Convproc::OPT_VECTOR_MODE);
        if (conv.configure(kInputs, kOutputs, 8 * f, f, f, f, 0.0f) != 0) std::abort();
        for (int o = 0; o < kOutputs; ++o)
            conv.impdata_create(o % kInputs, o, 1, const_cast<float*>(s.taps[o].data()), 0,
                                8 * f);
        if (conv.start_process(0, SCHED_OTHER) != 0) std::abort();
    }
    ~ZitaRun() {
        conv.stop_process();
        conv.cleanup();
    }
    void Block(const Setup& s, int b) {
        const int f = s.frames;
        for (int r = 0; r < kInputs; ++r)
            std::copy_n(s.inputs[r].data() + static_cast<std::size_t>(b) * f, f,
                        conv.inpdata(r));
        conv.process(true);
    }
};

// Both produce the same outputs (the engine's words truncate; zita's floats are rounded here the
// same way): largest difference in 24-bit units over `blocks` blocks.
double CompareOutputs(int f) {
    Setup s(f, 12);
    EngineRun e(s);
    ZitaRun z(s);
    double worst = 0;
    for (int b = 0; b < s.blocks; ++b) {
        e.Block(s, b);
        z.Block(s, b);
        for (int o = 0; o < kOutputs; ++o) {
            const float* zo = z.conv.outdata(o);
            for (int n = 0; n < f; ++n) {
                const double want = std::trunc(double(zo[n]));
                const double got = e.block[static_cast<std::size_t>(n) * 16 + o] / 256;
                worst = std::max(worst, std::fabs(got - want));
            }
        }
    }
    return worst;
}

void BM_EngineBlock(benchmark::State& state) {
    const int f = static_cast<int>(state.range(0));
    Setup s(f, 16);
    EngineRun e(s);
    int b = 0;
    for (auto _ : state) {
        e.Block(s, b);
        b = (b + 1) % s.blocks;
        benchmark::DoNotOptimize(e.block.data());
    }
    state.SetLabel("engine, 8 in, 16 out, 8 partitions");
}

void BM_ZitaBlock(benchmark::State& state) {
    const int f = static_cast<int>(state.range(0));
    Setup s(f, 16);
    ZitaRun z(s);
    int b = 0;
    for (auto _ : state) {
        z.Block(s, b);
        b = (b + 1) % s.blocks;
        benchmark::DoNotOptimize(z.conv.outdata(0));
    }
    state.SetLabel("zita-convolver, same partitions");
}

BENCHMARK(BM_EngineBlock)->Arg(1024)->Arg(2048)->Arg(4096)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZitaBlock)->Arg(1024)->Arg(2048)->Arg(4096)->Unit(benchmark::kMicrosecond);

template <class Run>
double MedianMicroseconds(int f) {
    Setup s(f, 16);
    Run run(s);
    for (int b = 0; b < 16; ++b) run.Block(s, b);  // warm
    std::vector<double> times;
    for (int i = 0; i < 200; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        run.Block(s, i % s.blocks);
        const auto t1 = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    std::printf("Outputs compared before timing (largest difference in 24-bit units):\n");
    for (int f : {1024, 2048, 4096}) {
        const double worst = CompareOutputs(f);
        std::printf("  F = %4d: %.0f%s\n", f, worst, worst <= 2 ? "" : "  MISMATCH");
        if (worst > 2) return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\nMedian time per block (8 inputs, 16 outputs, 8 partitions of F):\n");
    std::printf("     F   engine us   zita us   engine/zita\n");
    for (int f : {1024, 2048, 4096}) {
        const double e = MedianMicroseconds<EngineRun>(f);
        const double z = MedianMicroseconds<ZitaRun>(f);
        std::printf("  %4d  %10.1f  %8.1f  %12.2f\n", f, e, z, e / z);
    }
    benchmark::Shutdown();
    return 0;
}
