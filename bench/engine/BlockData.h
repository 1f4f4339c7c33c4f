// Shared by the engine's block benchmarks: random filters and inputs for 8 inputs, 16 outputs and
// 8 partitions of F (output o hears input o % 8) and the engine's block run on one thread.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "bench/Stats.h"
#include "engine/Convolution.h"
#include "shell/ComplexFft.h"

namespace bench {

constexpr int kInputs = 8;
constexpr int kOutputs = 16;
constexpr int kPartitions = 8;

struct BlockData {
    int frames;
    int blocks;
    std::vector<std::vector<float>> taps;     // [output] 8F taps
    std::vector<std::vector<float>> spectra;  // [o * 8 + p] 2F complex points
    std::vector<const float*> pointers;
    std::int32_t routing[engine::kInputCount][engine::kOutputCount] = {};
    std::vector<std::vector<float>> inputs;  // [input] blocks x F samples, 24-bit scale

    BlockData(int f, int block_count) : frames(f), blocks(block_count) {
        std::mt19937 rng(99u + static_cast<unsigned>(f));
        std::uniform_real_distribution<float> d(-1.0f, 1.0f);
        taps.assign(kOutputs, std::vector<float>(static_cast<std::size_t>(kPartitions) * f));
        for (auto& h : taps) {
            double sum = 0;
            for (std::size_t k = 0; k < h.size(); ++k) {
                h[k] =
                    d(rng) * std::exp(-3.0f * static_cast<float>(k) / static_cast<float>(h.size()));
                sum += std::fabs(h[k]);
            }
            for (float& v : h)
                v = static_cast<float>(v * 1.5 / sum);  // peak output below full scale
        }
        std::vector<int> ip(shell::FftWorkAreaInts(4 * f));
        std::vector<float> w(static_cast<std::size_t>(f));
        spectra.assign(kOutputs * kPartitions,
                       std::vector<float>(4 * static_cast<std::size_t>(f), 0.0f));
        for (int o = 0; o < kOutputs; ++o)
            for (int p = 0; p < kPartitions; ++p) {
                auto& s = spectra[static_cast<std::size_t>(o * kPartitions + p)];
                for (int n = 0; n < f; ++n)
                    s[2 * static_cast<std::size_t>(n)] =
                        taps[o][static_cast<std::size_t>(p * f + n)];
                shell::ComplexFft(4 * f, -1, s.data(), ip.data(), w.data());
            }
        for (auto& s : spectra) pointers.push_back(s.data());
        for (int o = 0; o < kOutputs; ++o) routing[o % kInputs][o] = 1;
        std::uniform_int_distribution<int> smp(-2000000, 2000000);
        inputs.assign(kInputs, std::vector<float>(static_cast<std::size_t>(f) * blocks));
        for (auto& in : inputs)
            for (float& v : in) v = static_cast<float>(smp(rng));
    }

    const float* Input(int r, int b) const {
        return inputs[static_cast<std::size_t>(r)].data() +
               static_cast<std::size_t>(b % blocks) * frames;
    }
};

inline engine::BlockGains UnityGains() {
    engine::BlockGains gains{};
    gains.master = 1.0f;
    for (float& t : gains.trims) t = 1.0f;
    return gains;
}

// Copies block b's inputs into the slots the scheduler fills.
inline void FillSlots(engine::ConvolutionMemory& mem, const BlockData& s, int b) {
    for (int r = 0; r < kInputs; ++r)
        std::copy_n(s.Input(r, b), s.frames, mem.input_slots[engine::kSlotOfInput[r]]);
}

// The engine's block on the calling thread: both input stages, then both output halves
// (output layout 1: 16 words per frame).
struct SingleThreadEngine {
    engine::ConvolutionMemory mem{};
    std::vector<std::int32_t> block;
    engine::BlockGains gains = UnityGains();

    explicit SingleThreadEngine(const BlockData& s) {
        if (engine::AllocConvolutionMemory(mem) != 0 ||
            engine::PrepareConvolutionRun(mem, s.frames, 1, s.routing, s.pointers.data()) != 0) {
            std::fprintf(stderr, "the engine's convolution could not be prepared\n");
            std::exit(1);
        }
        block.assign(static_cast<std::size_t>(s.frames) * kOutputs, 0);
    }
    ~SingleThreadEngine() { engine::FreeConvolutionMemory(mem); }
    SingleThreadEngine(const SingleThreadEngine&) = delete;
    SingleThreadEngine& operator=(const SingleThreadEngine&) = delete;

    void Block(const BlockData& s, int b) {
        FillSlots(mem, s, b);
        engine::TransformInputs(mem, engine::kInputsOfWorkerA, 4, mem.work[engine::kWorkInputA]);
        engine::TransformInputs(mem, engine::kInputsOfWorkerB, 4, mem.work[engine::kWorkInputB]);
        engine::ConvolveOutputs(mem, 0, 7, gains, block.data(), mem.work[engine::kWorkOutputLow]);
        engine::ConvolveOutputs(mem, 8, 15, gains, block.data(), mem.work[engine::kWorkOutputHigh]);
    }
};

}  // namespace bench
