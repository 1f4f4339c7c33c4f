// The four workers and the scheduler give the single thread's words whatever the timing of the
// blocks: back to back, at a steady period (the workers wake themselves before each block is
// due), after irregular pauses (workers asleep, their pieces taken by whoever is awake), with and
// without the announcement. A stalled worker makes its block time out, later blocks are refused
// until STOP, and the next start plays again.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <ostream>
#include <random>
#include <thread>
#include <vector>

#include "engine/Convolution.h"
#include "engine/Globals.h"
#include "engine/Workers.h"
#include "tests/ReadableNames.h"

namespace {

constexpr int kF = 1024;
constexpr int kLayout = 1;  // 16 outputs

// Filters, routing, gains and input blocks of one run, and the same run on the calling thread.
// Six outputs hear input 3 (so shares wait for an input another share transforms), input 5 is
// heard by none, output 15 by no input.
struct PlayRun {
    std::vector<std::vector<float>> spectra;
    std::vector<const float*> pointers;
    std::int32_t routing[engine::kInputCount][engine::kOutputCount] = {};
    engine::BlockGains gains{};
    std::mt19937 rng{2026};
    engine::ConvolutionMemory reference{};
    std::vector<std::int32_t> expected, block;

    PlayRun() : spectra(engine::kOutputCount * 8, std::vector<float>(4 * kF)) {
        std::uniform_real_distribution<float> bin(-3.0f, 3.0f);
        for (auto& s : spectra) {
            for (float& v : s) v = bin(rng);
            pointers.push_back(s.data());
        }
        for (int o = 0; o < 15; ++o) routing[o < 6 ? 3 : (o % 8 == 5 ? 6 : o % 8)][o] = 1;
        gains.master = 0.7f;
        for (int o = 0; o < engine::kOutputCount; ++o) gains.trims[o] = 0.2f * float(1 + o % 5);
        const std::size_t words = std::size_t{kF} * engine::OutputChannelCount(kLayout);
        expected.assign(words, 0);
        block.assign(words, 0);
        EXPECT_EQ(engine::AllocConvolutionMemory(reference), 0);
        EXPECT_EQ(engine::AllocEngineMemory(), 0);
        Prepare();
    }
    ~PlayRun() {
        engine::StopWorkers();
        engine::FreeConvolutionMemory(reference);
        engine::FreeEngineMemory();
    }
    PlayRun(const PlayRun&) = delete;
    PlayRun& operator=(const PlayRun&) = delete;

    // A fresh run on both sides: delay lines and tails cleared.
    void Prepare() {
        ASSERT_EQ(engine::PrepareConvolutionRun(reference, kF, kLayout, routing, pointers.data()),
                  0);
        ASSERT_EQ(engine::PrepareConvolutionRun(engine::Dsp, kF, kLayout, routing, pointers.data()),
                  0);
    }

    // The next input block into both memories, and the reference words computed.
    void NextInput() {
        std::uniform_real_distribution<float> sample(-9.0e6f, 9.0e6f);
        for (int slot = 0; slot < engine::kInputSlotCount; ++slot)
            for (int n = 0; n < kF; ++n)
                reference.input_slots[slot][n] = engine::Dsp.input_slots[slot][n] = sample(rng);
        engine::TransformInputs(reference, engine::kInputsOfWorkerA, 4, reference.work[0]);
        engine::TransformInputs(reference, engine::kInputsOfWorkerB, 4, reference.work[1]);
        engine::ConvolveOutputs(reference, 0, 7, gains, expected.data(), reference.work[2]);
        engine::ConvolveOutputs(reference, 8, 15, gains, expected.data(), reference.work[3]);
    }

    // The index of the first word the workers' block has wrong, or -1.
    long FirstWrongWord() const {
        for (std::size_t i = 0; i < expected.size(); ++i)
            if (block[i] != expected[i]) return static_cast<long>(i);
        return -1;
    }
};

double MsSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

struct Pacing {
    const char* name;
    int pause_us;    // before each block (the play's period), 0 = back to back
    bool irregular;  // each pause drawn from 0 to twice pause_us instead
    bool announce;   // AnnounceBlock before the input is written, as the player does
};

void PrintTo(const Pacing& p, std::ostream* os) { *os << p.name; }

class WorkersPacing : public ::testing::TestWithParam<Pacing> {};

TEST_P(WorkersPacing, TheWorkersGiveTheSingleThreadsWords) {
    const Pacing p = GetParam();
    PlayRun run;
    ASSERT_EQ(engine::StartWorkers(), 0);
    std::uniform_int_distribution<int> pause(0, 2 * p.pause_us);
    for (int b = 0; b < 24; ++b) {
        const int us = p.irregular ? pause(run.rng) : p.pause_us;
        if (us > 0) std::this_thread::sleep_for(std::chrono::microseconds(us));
        if (p.announce) engine::AnnounceBlock();
        run.NextInput();
        ASSERT_TRUE(engine::RunBlockStages(run.gains, run.block.data(), 2000)) << "block " << b;
        ASSERT_EQ(run.FirstWrongWord(), -1) << "block " << b;
        for (int w = 0; w < engine::kWorkerCount; ++w) {
            // A worker that slept through the block clears its busy word once it wakes.
            for (int wait = 0; wait < 2000 && engine::WorkerBusy[w].load() != 0; ++wait)
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            ASSERT_EQ(engine::WorkerBusy[w].load(), 0) << "worker " << w << ", block " << b;
        }
    }
    bool sounds = false;
    for (std::int32_t w : run.expected) sounds = sounds || w != 0;
    EXPECT_TRUE(sounds) << "the reference played silence";
}

INSTANTIATE_TEST_SUITE_P(
    Table, WorkersPacing,
    ::testing::Values(Pacing{"back to back", 0, false, true},
                      Pacing{"back to back, not announced", 0, false, false},
                      Pacing{"steady 2 ms period", 2000, false, true},
                      Pacing{"steady period, not announced", 1500, false, false},
                      Pacing{"irregular pauses up to 4 ms", 2000, true, true},
                      Pacing{"irregular pauses, not announced", 1000, true, false}),
    qvtest::ReadableName());

TEST(Workers, AStalledWorkerTimesItsBlockOutAndLaterBlocksWaitForANewStart) {
    PlayRun run;
    ASSERT_EQ(engine::StartWorkers(), 0);
    for (int b = 0; b < 3; ++b) {
        run.NextInput();
        ASSERT_TRUE(engine::RunBlockStages(run.gains, run.block.data(), 2000));
    }
    engine::WorkerStallMsForTest = 600;
    run.NextInput();
    auto t0 = std::chrono::steady_clock::now();
    const bool stalled_block = engine::RunBlockStages(run.gains, run.block.data(), 50);
    const double stalled_ms = MsSince(t0);
    engine::WorkerStallMsForTest = 0;
    EXPECT_FALSE(stalled_block);
    EXPECT_LT(stalled_ms, 450.0) << "the scheduler waited for the stalled worker";
    t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(engine::RunBlockStages(run.gains, run.block.data(), 2000))
        << "a block started while pieces of the given-up one may still run";
    EXPECT_LT(MsSince(t0), 100.0) << "the refusal waited";

    engine::StopWorkers();
    EXPECT_FALSE(engine::WorkersRunning());
    run.Prepare();
    ASSERT_EQ(engine::StartWorkers(), 0);
    for (int b = 0; b < 4; ++b) {
        run.NextInput();
        ASSERT_TRUE(engine::RunBlockStages(run.gains, run.block.data(), 2000)) << "block " << b;
        ASSERT_EQ(run.FirstWrongWord(), -1) << "block " << b << " after the new start";
    }
}

}  // namespace
