#include "engine/Workers.h"

#include <chrono>
#include <semaphore>
#include <thread>

#include "engine/Globals.h"
#include "platform/sys/Threads.h"

namespace engine {

std::atomic<std::int32_t> WorkerBusy[4];
std::atomic<std::int32_t> WorkerExitCodes[4] = {-1, -1, -1, -1};
std::atomic<int> WorkerStallMsForTest{0};

namespace {

// One word per event of a block, each on its own cache line. The start word holds 2n when block n
// starts and 2n - 1 when it is announced (the workers then leave their sleep early); workers
// sleep for it on semaphores of their own (Sleeper). For the other words a thread waits for the
// word to reach the block's number (busily for a moment, then asleep on the word); whoever
// completes a step stores the number and wakes all waiters with one call. kQuitMark releases
// every waiter at STOP.
constexpr std::uint32_t kQuitMark = 0xFFFFFFFFu;
constexpr std::uint32_t kLastBlockNumber = 0x7FFFFFF0u;
struct alignas(64) BlockWord {
    std::atomic<std::uint32_t> block{0};
};
BlockWord g_block_start;               // the block handed over by the scheduler
BlockWord g_input_ready[kInputCount];  // the block whose spectrum the input's delay line holds
BlockWord g_outputs_ready;             // every share's words are in their rows

// The pieces of a block, each taken by whichever thread gets to it first: the transform of each
// used input, the four output shares and the four quarters of the interleave. A claim holds the
// serial of the last block in which its piece was taken; serials only grow during a play, so a
// thread that still looks at an older block never takes a piece of a newer one.
struct alignas(64) Claim {
    std::atomic<std::uint64_t> serial{0};
};
Claim g_transform_claims[kInputCount];               // by input
Claim g_share_claims[kWorkerCount];                  // by output share
Claim g_quarter_claims[kWorkerCount];                // by quarter of the frames
alignas(64) std::atomic<std::uint64_t> g_serial{0};  // the block last handed over
// Whether each worker is awake (not asleep on its semaphore): an awake worker takes its own
// share's pieces at once, so the others leave them to it and its cache.
struct alignas(64) AwakeFlag {
    std::atomic<bool> awake{false};
};
AwakeFlag g_awake[kWorkerCount];
// A worker asleep on its semaphore until the start word changes (or until its own wake-up time):
// whoever changes the start word takes the flag down and gives that worker's semaphore once.
struct alignas(64) Sleeper {
    std::atomic<bool> asleep{false};
    std::counting_semaphore<2> wake{0};
};
Sleeper g_sleepers[kWorkerCount];
// When the next block is expected (steady clock, nanoseconds; 0 = not known): the last block's
// start plus the time between the last two starts. Blocks of a play come at its period.
alignas(64) std::atomic<std::int64_t> g_next_block_due{0};
alignas(64) std::atomic<int> g_shares_left{0};
alignas(64) std::atomic<int> g_frames_left{0};
alignas(64) std::atomic<bool> g_quit{false};
// Given by the thread that interleaves last, to the scheduler.
std::counting_semaphore<4> g_block_done(0);
platform::HANDLE g_threads[kWorkerCount];
bool g_running = false;
bool g_realtime = false;
// A block was given up (time-out): pieces of it may still be running, so no other block starts
// before StopWorkers.
bool g_given_up = false;

// Written by the UI thread before it starts a block; read by a thread once it took a piece.
BlockGains g_gains;
std::int32_t* g_block = nullptr;
std::uint32_t g_block_number = 0;

// The scheduler's own: when its waits give up on the block, and when the last block started.
std::chrono::steady_clock::time_point g_deadline;
std::chrono::steady_clock::time_point g_last_block_start;
bool g_scheduler_gave_up = false;

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

// UI thread: a new start word (a block announced or started, or STOP), and every worker asleep
// waiting for it woken.
void SetStartWord(std::uint32_t value) {
    g_block_start.block.store(value, std::memory_order_seq_cst);
    for (Sleeper& sleeper : g_sleepers)
        if (sleeper.asleep.exchange(false, std::memory_order_seq_cst)) sleeper.wake.release();
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

// Worker threads: waits for an input's spectrum (busily for a moment, then asleep); false at STOP.
bool AwaitInput(int input) { return AwaitBlock(g_input_ready[input], g_block_number, 64); }
bool AwaitOutputs() { return AwaitBlock(g_outputs_ready, g_block_number, 256); }

// How long the scheduler waits busily for a block before it sleeps on the semaphore.
constexpr auto kSchedulerSpin = std::chrono::milliseconds(2);

// UI thread: the scheduler's waits inside a block. The awaited piece is running on another
// thread and usually ends within microseconds: busily for kSchedulerSpin, then in short sleeps,
// until the block's deadline (then the block is given up).
bool SchedulerAwait(const BlockWord& word) {
    const auto spin_end = std::chrono::steady_clock::now() + kSchedulerSpin;
    for (int spin = 1; word.block.load(std::memory_order_acquire) != g_block_number; ++spin) {
        __builtin_ia32_pause();
        if (spin % 64 != 0) continue;
        const auto now = std::chrono::steady_clock::now();
        if (now >= g_deadline) {
            g_scheduler_gave_up = true;
            return false;
        }
        if (now < spin_end)
            std::this_thread::yield();
        else
            std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return true;
}
bool SchedulerAwaitInput(int input) { return SchedulerAwait(g_input_ready[input]); }
bool SchedulerAwaitOutputs() { return SchedulerAwait(g_outputs_ready); }

// How long an announced block is awaited busily: a few hundred microseconds, about what the
// scheduler spends on a block's input before it starts the block.
constexpr int kAnnouncedSpinRounds = 100;

// The scheduler takes pieces too while a worker is asleep (it is awake when the block starts).
constexpr int kSchedulerPart = kWorkerCount;

// Whether this thread takes the piece for block `serial` (nobody took it yet).
bool Take(Claim& claim, std::uint64_t serial) {
    std::uint64_t seen = claim.serial.load(std::memory_order_relaxed);
    while (seen < serial)
        if (claim.serial.compare_exchange_weak(seen, serial, std::memory_order_acq_rel,
                                               std::memory_order_relaxed))
            return true;
    return false;
}

// The k-th share (0..3) a thread looks at: a worker starts at its own; the scheduler starts at
// the other end, where it meets the workers last.
int ShareInTurn(int part, int k) {
    return part == kSchedulerPart ? kWorkerCount - 1 - k : (part + k) % kWorkerCount;
}

// Whether `part` may take the transforms and outputs of `share`: its own, or those of a worker
// that is asleep (still waking up). A worker that is awake keeps its share, so that from block to
// block its filters and delay lines stay in its core's cache.
bool MayTake(int part, int share) {
    return part == share || !g_awake[share].awake.load(std::memory_order_acquire);
}

// Worker threads and the scheduler: takes pieces of block `serial` until none is left, in the
// order the pieces depend on each other (the transforms, the output shares, the quarters), so
// that whatever a piece waits for has been taken by a thread that is running it. A block thus
// never waits for a thread that is still waking up, only for pieces under way. Returns false
// when a wait was given up (STOP, or the scheduler's deadline).
bool TakePart(int part, std::uint64_t serial, FftWorkArea& work) {
    const bool scheduler = part == kSchedulerPart;
    const InputWait await_input = scheduler ? SchedulerAwaitInput : AwaitInput;
    bool stalled = false;
    // Tests: a worker stalls inside the first piece it takes.
    const auto stall = [&] {
        const int ms = WorkerStallMsForTest.load(std::memory_order_relaxed);
        if (!scheduler && !stalled && ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        stalled = true;
    };
    for (int k = 0; k < kWorkerCount; ++k) {
        const int share = ShareInTurn(part, k);
        if (!MayTake(part, share)) continue;
        for (int i = 0; i < Dsp.input_share_count[share]; ++i) {
            const int input = Dsp.input_share[share][i];
            if (!Take(g_transform_claims[input], serial)) continue;
            stall();
            TransformInputs(Dsp, &input, 1, work);
            Publish(g_input_ready[input], g_block_number);
        }
    }
    for (int k = 0; k < kWorkerCount; ++k) {
        const int share = ShareInTurn(part, k);
        if (!MayTake(part, share) || !Take(g_share_claims[share], serial)) continue;
        stall();
        ConvolveOutputShare(Dsp, share, g_gains, work, await_input);
        if (scheduler ? g_scheduler_gave_up : g_quit.load(std::memory_order_acquire)) return false;
        if (g_shares_left.fetch_sub(1, std::memory_order_acq_rel) == 1)
            Publish(g_outputs_ready, g_block_number);
    }
    // Quarters of whole 64-byte lines (F is a multiple of 256 frames): no line is shared.
    const int quarter = Dsp.frames / kWorkerCount;
    for (int k = 0; k < kWorkerCount; ++k) {
        const int q = ShareInTurn(part, k);
        if (!Take(g_quarter_claims[q], serial)) continue;
        stall();
        if (!(scheduler ? SchedulerAwaitOutputs() : AwaitOutputs())) return false;
        InterleaveOutputFrames(Dsp, g_block, q * quarter, quarter);
        if (g_frames_left.fetch_sub(1, std::memory_order_acq_rel) == 1) g_block_done.release();
    }
    return true;
}

// Worker threads, after a sleep, once a block is announced or due soon: brings what the worker's
// share of the block reads and writes (the transforms' tables, its work area, its filters, the
// delay lines of the inputs its outputs hear, their tails and word rows) into its core's cache,
// until the block starts. After a period asleep the cache has lost them, and fetching them
// inside the block made it half as slow again.
void WarmShare(int share, std::uint32_t announced) {
    const auto warm = [&](const void* row, int bytes, bool write) {
        const char* p = static_cast<const char*>(row);
        for (int at = 0; at < bytes; at += 64) {
            if (write)
                __builtin_prefetch(p + at, 1, 3);
            else
                __builtin_prefetch(p + at, 0, 3);
        }
        return g_block_start.block.load(std::memory_order_acquire) == announced;
    };
    const int bytes = static_cast<int>(sizeof(float)) * (Dsp.frames + 1);  // bins 0..F
    const int frame_bytes = static_cast<int>(sizeof(float)) * Dsp.frames;
    // The transforms' tables (the shared one is kMaxBlockFrames / 2 floats) and the worker's own
    // work area first: every piece uses them.
    const FftWorkArea& work = Dsp.work[share];
    if (!warm(Dsp.fft_table, static_cast<int>(sizeof(float)) * kMaxBlockFrames / 2, false) ||
        !warm(Dsp.real_cos, bytes, false) || !warm(Dsp.real_sin, bytes, false) ||
        !warm(work.packed, 2 * frame_bytes, true) || !warm(work.time, 2 * frame_bytes, true))
        return;
    for (int j = 0; j < Dsp.output_share_count[share] && j < kMaxGroupOutputs; ++j)
        if (!warm(work.acc_re[j], bytes, true) || !warm(work.acc_im[j], bytes, true)) return;
    for (int i = 0; i < Dsp.output_share_count[share]; ++i) {
        const int o = Dsp.output_share[share][i];
        const int input = Dsp.routed_input[o];
        for (int s = 0; s < kPartitionCount; ++s) {
            if (!warm(Dsp.filter_re[o][s], bytes, false) ||
                !warm(Dsp.filter_im[o][s], bytes, false))
                return;
            if (input >= 0 && (!warm(Dsp.delay_re[input][s], bytes, true) ||
                               !warm(Dsp.delay_im[input][s], bytes, true)))
                return;
        }
        if (!warm(Dsp.tails[o], frame_bytes, true) || !warm(Dsp.words[o], frame_bytes, true))
            return;
    }
}

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// How long before a block is due a sleeping worker wakes on its own (the timer's own wake-up
// latency plus warming the cache), and how long after it is due the worker still waits busily.
// A wake-up by the scheduler costs it tens of microseconds per worker and the worker as much
// again; a worker that is already awake costs nothing. At a play's period (tens of
// milliseconds) this keeps each worker busy well under a millisecond per block.
constexpr std::int64_t kWakeLeadNs = 300'000;
constexpr std::int64_t kDueSlackNs = 500'000;

// Worker thread: sleeps until the start word leaves `word` (or, with `until_ns` not 0, until then
// at the latest). The scheduler wakes it only when it is asleep, so that a block that finds every
// worker awake costs no wake-up at all.
void Sleep(int index, std::uint32_t word, std::int64_t until_ns) {
    Sleeper& sleeper = g_sleepers[index];
    g_awake[index].awake.store(false, std::memory_order_release);
    sleeper.asleep.store(true, std::memory_order_seq_cst);
    if (g_block_start.block.load(std::memory_order_seq_cst) == word) {
        if (until_ns == 0) {
            sleeper.wake.acquire();
        } else {
            const std::chrono::steady_clock::time_point until{std::chrono::nanoseconds(until_ns)};
            if (sleeper.wake.try_acquire_until(until)) {
                // woken by the start word
            } else if (!sleeper.asleep.exchange(false, std::memory_order_seq_cst)) {
                sleeper.wake.acquire();  // the scheduler took the flag down: take its wake-up
            }
        }
    } else if (!sleeper.asleep.exchange(false, std::memory_order_seq_cst)) {
        sleeper.wake.acquire();
    }
    g_awake[index].awake.store(true, std::memory_order_release);
}

// Worker thread: waits for the scheduler to start a block; leaves on the quit flag. Each block:
// takes what is left of it (TakePart), then waits for the next, asleep until shortly before it
// is due.
int WorkerLoop(int index, int exit_code) {
    std::uint32_t done = 0;  // start word of the last block looked at
    bool cold = false;       // slept since its last warming: the cache has lost the share's data
    for (;;) {
        const std::uint32_t word = g_block_start.block.load(std::memory_order_acquire);
        if (g_quit.load(std::memory_order_acquire)) break;
        if (word == done || (word & 1) != 0) {
            // Nothing new yet. Around the time the next block is due, wait for it busily (bounded
            // by the clock); before, sleep until shortly before it is due; after, sleep until
            // woken. A block announced is awaited busily for a while.
            const std::int64_t due = g_next_block_due.load(std::memory_order_relaxed);
            const std::int64_t now = NowNs();
            const bool due_soon = due != 0 && now >= due - kWakeLeadNs && now < due + kDueSlackNs;
            if (cold && Dsp.frames > 0 && ((word & 1) != 0 || due_soon)) {
                cold = false;
                WarmShare(index, word);
                continue;
            }
            if ((word & 1) != 0 &&
                SpinFor([&] { return g_block_start.block.load(std::memory_order_acquire) != word; },
                        kAnnouncedSpinRounds))
                continue;
            if (due_soon) {
                SpinFor([&] { return g_block_start.block.load(std::memory_order_acquire) != word; },
                        16);
                continue;
            }
            Sleep(index, word, due != 0 && now < due - kWakeLeadNs ? due - kWakeLeadNs : 0);
            cold = true;
            continue;
        }
        done = word;
        if (!TakePart(index, g_serial.load(std::memory_order_acquire), Dsp.work[index])) break;
        WorkerBusy[index].store(0, std::memory_order_release);
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
    g_given_up = false;
    g_serial.store(0, std::memory_order_relaxed);
    for (Claim& claim : g_transform_claims) claim.serial.store(0, std::memory_order_relaxed);
    for (Claim& claim : g_share_claims) claim.serial.store(0, std::memory_order_relaxed);
    for (Claim& claim : g_quarter_claims) claim.serial.store(0, std::memory_order_relaxed);
    for (AwakeFlag& flag : g_awake) flag.awake.store(false, std::memory_order_relaxed);
    for (Sleeper& sleeper : g_sleepers) {
        sleeper.asleep.store(false, std::memory_order_relaxed);
        while (sleeper.wake.try_acquire()) {
        }
    }
    g_next_block_due.store(0, std::memory_order_relaxed);
    g_last_block_start = {};
    g_block_start.block.store(0, std::memory_order_relaxed);
    g_outputs_ready.block.store(0, std::memory_order_relaxed);
    for (BlockWord& word : g_input_ready) word.block.store(0, std::memory_order_relaxed);
    platform::LPTHREAD_START_ROUTINE const procs[kWorkerCount] = {
        [](void* p) -> platform::DWORD {
            return static_cast<platform::DWORD>(InputTransformWorkerA(p));
        },
        [](void* p) -> platform::DWORD {
            return static_cast<platform::DWORD>(InputTransformWorkerB(p));
        },
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
    if (!g_running || index < 0 || index >= kWorkerCount) return platform::THREAD_PRIORITY_NORMAL;
    return platform::GetThreadPriority(g_threads[index]);
}

bool RunBlockStages(const BlockGains& gains, std::int32_t* block, int timeout_ms) {
    if (!g_running || g_given_up) return false;
    const auto start = std::chrono::steady_clock::now();
    // The next block is expected one period on, the period being the time since the last start.
    if (g_last_block_start != std::chrono::steady_clock::time_point{})
        g_next_block_due.store((start + (start - g_last_block_start)).time_since_epoch().count(),
                               std::memory_order_relaxed);
    g_last_block_start = start;
    g_deadline = start + std::chrono::milliseconds(timeout_ms);
    g_scheduler_gave_up = false;
    g_gains = gains;
    g_block = block;
    if (++g_block_number >= kLastBlockNumber) g_block_number = 1;
    g_shares_left.store(kWorkerCount, std::memory_order_relaxed);
    g_frames_left.store(kWorkerCount, std::memory_order_relaxed);
    for (auto& busy : WorkerBusy) busy.store(1, std::memory_order_relaxed);
    const std::uint64_t serial = g_serial.load(std::memory_order_relaxed) + 1;
    g_serial.store(serial, std::memory_order_release);
    SetStartWord(2 * g_block_number);
    // With a worker asleep the scheduler takes pieces itself, so the block starts without waiting
    // for the wake-up. With every worker awake it leaves the block to them: it would only take
    // the interleave from the workers, which were faster at it.
    bool worker_asleep = false;
    for (const AwakeFlag& flag : g_awake)
        worker_asleep = worker_asleep || !flag.awake.load(std::memory_order_acquire);
    if (worker_asleep && WorkerStallMsForTest.load(std::memory_order_relaxed) == 0 &&
        !TakePart(kSchedulerPart, serial, Dsp.work[kWorkSpare])) {
        g_given_up = true;
        return false;
    }
    // The pieces left run on the workers and end within microseconds: waiting busily for a
    // moment (measured on the clock, whatever the load) spares the wake-up; then the scheduler
    // sleeps on the semaphore until the deadline. The spin watches the frame count, not the
    // semaphore, whose own try_acquire spins and yields.
    const auto spin_end = std::chrono::steady_clock::now() + kSchedulerSpin;
    for (int spin = 1; g_frames_left.load(std::memory_order_acquire) != 0; ++spin) {
        __builtin_ia32_pause();
        if (spin % 64 != 0) continue;
        if (std::chrono::steady_clock::now() >= spin_end) break;
        std::this_thread::yield();
    }
    if (g_block_done.try_acquire_until(g_deadline)) return true;
    g_given_up = true;
    return false;
}

void AnnounceBlock() {
    if (!g_running) return;
    const std::uint32_t next = g_block_number + 1 >= kLastBlockNumber ? 1 : g_block_number + 1;
    SetStartWord(2 * next - 1);
}

void StopWorkers() {
    if (!g_running) return;
    g_quit.store(true, std::memory_order_release);
    SetStartWord(kQuitMark);
    Publish(g_outputs_ready, kQuitMark);
    for (BlockWord& word : g_input_ready) Publish(word, kQuitMark);
    for (auto& thread : g_threads) {
        if (thread) platform::CloseHandle(thread);  // waits for the thread to end
        thread = platform::HANDLE{};
    }
    g_running = false;
    g_realtime = false;
    g_given_up = false;
    while (g_block_done.try_acquire()) {
    }
}

}  // namespace engine
