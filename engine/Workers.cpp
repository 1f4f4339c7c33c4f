#include "engine/Workers.h"

#include <chrono>
#include <semaphore>
#include <thread>

#include "platform/sys/Threads.h"

#include "engine/Globals.h"

namespace engine {

std::atomic<std::int32_t> WorkerBusy[4];
std::atomic<std::int32_t> WorkerExitCodes[4] = {-1, -1, -1, -1};
std::atomic<int> WorkerStallMsForTest{0};

namespace {

// One word per event of a block, each on its own cache line. The start word holds 2n when block n
// starts and 2n - 1 when it is announced (the workers then leave their sleep early). A worker waits for a word to reach
// the block's number (busily for a moment, then asleep on the word); whoever completes a step
// stores the number and wakes all waiters with one call. kQuitMark releases every waiter at STOP.
constexpr std::uint32_t kQuitMark = 0xFFFFFFFFu;
constexpr std::uint32_t kLastBlockNumber = 0x7FFFFFF0u;
struct alignas(64) BlockWord {
    std::atomic<std::uint32_t> block{0};
};
BlockWord g_block_start;             // the block handed over by the scheduler
BlockWord g_input_ready[kInputCount];  // the block whose spectrum the input's delay line holds
BlockWord g_outputs_ready;           // every share's words are in their rows
alignas(64) std::atomic<int> g_shares_left{0};
alignas(64) std::atomic<int> g_frames_left{0};
alignas(64) std::atomic<bool> g_quit{false};
// Given by the worker that interleaves last, to the scheduler.
std::counting_semaphore<4> g_block_done(0);
platform::HANDLE g_threads[kWorkerCount];
bool g_running = false;
bool g_realtime = false;

// Written by the UI thread before it starts a block; read by the workers after the start.
BlockGains g_gains;
std::int32_t* g_block = nullptr;
std::uint32_t g_block_number = 0;

// A bounded busy wait: the awaited step usually ends within microseconds, and waking a sleeping
// thread costs far more. It yields now and then, so that on a machine with fewer cores than
// threads the thread being waited for gets the core.
template <class Done>
bool SpinFor(Done done, int rounds) {
    for (int round = 0; round < rounds; ++round) {
        for (int spin = 0; spin < 64; ++spin) {
            if (done()) return true;
            __builtin_ia32_pause();
        }
        std::this_thread::yield();
    }
    return done();
}

void Publish(BlockWord& word, std::uint32_t block) {
    word.block.store(block, std::memory_order_release);
    word.block.notify_all();
}

// Waits until `word` holds `block`; false when STOP marked it instead.
bool AwaitBlock(BlockWord& word, std::uint32_t block, int spin_rounds) {
    if (SpinFor([&] { return word.block.load(std::memory_order_acquire) == block; }, spin_rounds))
        return true;
    for (;;) {
        const std::uint32_t seen = word.block.load(std::memory_order_acquire);
        if (seen == block) return true;
        if (seen == kQuitMark || g_quit.load(std::memory_order_acquire)) return false;
        word.block.wait(seen, std::memory_order_acquire);
    }
}

// Worker threads: after each input it owns, the owner marks it transformed for this block; a
// share that hears an input owned by another waits for that mark.
void InputTransformed(int input) { Publish(g_input_ready[input], g_block_number); }
bool AwaitInput(int input) { return AwaitBlock(g_input_ready[input], g_block_number, 64); }

// How long the scheduler waits busily for a block before it sleeps on the semaphore.
constexpr auto kSchedulerSpin = std::chrono::milliseconds(2);

// How long an announced block is awaited busily: a few hundred microseconds, about what the
// scheduler spends on a block's input before it starts the block.
constexpr int kAnnouncedSpinRounds = 100;

// Worker thread: sleeps until the scheduler starts a block (no time-out); leaves on the quit
// flag. Each block: the inputs it owns, its share of the outputs, then (once every share is
// done) its quarter of the frames; the last to finish tells the scheduler.
int WorkerLoop(int index, int exit_code) {
    std::uint32_t done = 0;  // start word of the last block done
    for (;;) {
        const std::uint32_t word = g_block_start.block.load(std::memory_order_acquire);
        if (g_quit.load(std::memory_order_acquire)) break;
        if (word == done || (word & 1) != 0) {
            // Nothing new, or a block announced: spin for it a while, else sleep on the word.
            if ((word & 1) != 0 &&
                SpinFor([&] { return g_block_start.block.load(std::memory_order_acquire) != word; },
                        kAnnouncedSpinRounds))
                continue;
            g_block_start.block.wait(word, std::memory_order_acquire);
            continue;
        }
        done = word;
        const std::uint32_t block = word / 2;
        const int stall = WorkerStallMsForTest.load(std::memory_order_relaxed);
        if (stall > 0) std::this_thread::sleep_for(std::chrono::milliseconds(stall));
        TransformInputShare(Dsp, index, Dsp.work[index], InputTransformed);
        ConvolveOutputShare(Dsp, index, g_gains, Dsp.work[index], AwaitInput);
        if (g_quit.load(std::memory_order_acquire)) break;
        WorkerBusy[index].store(0, std::memory_order_release);
        if (g_shares_left.fetch_sub(1, std::memory_order_acq_rel) == 1)
            Publish(g_outputs_ready, block);
        else if (!AwaitBlock(g_outputs_ready, block, 256))
            break;
        // Quarters of whole 64-byte lines (F is a multiple of 256 frames): no line is shared.
        const int quarter = Dsp.frames / kWorkerCount;
        InterleaveOutputFrames(Dsp, g_block, index * quarter, quarter);
        if (g_frames_left.fetch_sub(1, std::memory_order_acq_rel) == 1) g_block_done.release();
    }
    WorkerExitCodes[index].store(exit_code, std::memory_order_release);
    return exit_code;
}

}  // namespace

int InputTransformWorkerA(void*) { return WorkerLoop(kInputWorkerA, 3); }
int InputTransformWorkerB(void*) { return WorkerLoop(kInputWorkerB, 4); }
int OutputConvolutionWorkerLow(void*) { return WorkerLoop(kOutputWorkerLow, 1); }
int OutputConvolutionWorkerHigh(void*) { return WorkerLoop(kOutputWorkerHigh, 1); }

int StartWorkers() {
    if (g_running) StopWorkers();
    while (g_block_done.try_acquire()) {
    }
    g_quit.store(false, std::memory_order_release);
    g_block_number = 0;
    g_block_start.block.store(0, std::memory_order_relaxed);
    g_outputs_ready.block.store(0, std::memory_order_relaxed);
    for (BlockWord& word : g_input_ready) word.block.store(0, std::memory_order_relaxed);
    platform::LPTHREAD_START_ROUTINE const procs[kWorkerCount] = {
        [](void* p) -> platform::DWORD { return static_cast<platform::DWORD>(InputTransformWorkerA(p)); },
        [](void* p) -> platform::DWORD { return static_cast<platform::DWORD>(InputTransformWorkerB(p)); },
        [](void* p) -> platform::DWORD {
            return static_cast<platform::DWORD>(OutputConvolutionWorkerLow(p));
        },
        [](void* p) -> platform::DWORD {
            return static_cast<platform::DWORD>(OutputConvolutionWorkerHigh(p));
        }};
    for (int i = 0; i < kWorkerCount; ++i) {
        WorkerBusy[i].store(0);
        WorkerExitCodes[i].store(-1);
    }
    g_running = true;
    g_realtime = true;
    // Started in the order Output Low, Output High, Input A, Input B; every one of them is on
    // the block's path, so each runs at the highest priority the system grants.
    for (int i : {kOutputWorkerLow, kOutputWorkerHigh, kInputWorkerA, kInputWorkerB}) {
        g_threads[i] = platform::CreateThread(nullptr, 0, procs[i], nullptr, 0, nullptr);
        if (!g_threads[i]) {
            StopWorkers();
            return 1;
        }
        platform::SetThreadPriority(g_threads[i], platform::THREAD_PRIORITY_TIME_CRITICAL);
        g_realtime = g_realtime && platform::ThreadHasRealtimePriority(g_threads[i]);
    }
    return 0;
}

bool WorkersRunning() { return g_running; }

bool WorkersHaveRealtimePriority() { return g_running && g_realtime; }

int WorkerThreadPriority(int index) {
    if (!g_running || index < 0 || index >= kWorkerCount)
        return platform::THREAD_PRIORITY_NORMAL;
    return platform::GetThreadPriority(g_threads[index]);
}

bool RunBlockStages(const BlockGains& gains, std::int32_t* block, int timeout_ms) {
    if (!g_running) return false;
    g_gains = gains;
    g_block = block;
    if (++g_block_number >= kLastBlockNumber) g_block_number = 1;
    g_shares_left.store(kWorkerCount, std::memory_order_relaxed);
    g_frames_left.store(kWorkerCount, std::memory_order_relaxed);
    for (auto& busy : WorkerBusy) busy.store(1, std::memory_order_relaxed);
    Publish(g_block_start, 2 * g_block_number);  // one call wakes all four
    // A block takes well under a millisecond: waiting busily for a moment (measured on the
    // clock, whatever the load) spares the wake-up; then the scheduler sleeps on the semaphore,
    // with a time-out of a few block periods. The spin watches the frame count, not the
    // semaphore, whose own try_acquire spins and yields.
    const auto spin_end = std::chrono::steady_clock::now() + kSchedulerSpin;
    for (int spin = 1; g_frames_left.load(std::memory_order_acquire) != 0; ++spin) {
        __builtin_ia32_pause();
        if (spin % 64 != 0) continue;
        if (std::chrono::steady_clock::now() >= spin_end) break;
        std::this_thread::yield();
    }
    return g_block_done.try_acquire_for(std::chrono::milliseconds(timeout_ms));
}

void AnnounceBlock() {
    if (!g_running) return;
    const std::uint32_t next = g_block_number + 1 >= kLastBlockNumber ? 1 : g_block_number + 1;
    Publish(g_block_start, 2 * next - 1);
}

void StopWorkers() {
    if (!g_running) return;
    g_quit.store(true, std::memory_order_release);
    Publish(g_block_start, kQuitMark);
    Publish(g_outputs_ready, kQuitMark);
    for (BlockWord& word : g_input_ready) Publish(word, kQuitMark);
    for (auto& thread : g_threads) {
        if (thread) platform::CloseHandle(thread);  // waits for the thread to end
        thread = platform::HANDLE{};
    }
    g_running = false;
    g_realtime = false;
    while (g_block_done.try_acquire()) {
    }
}

}  // namespace engine
