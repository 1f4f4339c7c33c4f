// The four worker threads of a play: InputTransformWorkerA, B, OutputConvolutionWorkerLow and
// High. They exist from Play to STOP and touch only Dsp's preallocated arrays. Every block is cut
// into pieces: the transform of each used input, the four shares of the outputs (each worker's
// own share first), the four quarters of the interleave (so no two threads write one cache line
// of the block). Each worker takes the pieces of its own share, and whatever is left of the
// shares of workers still asleep; while a worker is asleep the scheduler takes pieces too. So a
// block never waits for a thread to wake up, only for pieces under way.
//
// Hand-off: the scheduler (UI thread) sets the busy words and the start word, and wakes the
// workers that are asleep (taking pieces itself if any is), then waits for the block (after a
// short spin) until a deadline of a few block periods. Blocks of a play come at its period: a
// worker sleeps after a block until shortly before the next is due, then brings its share's filters
// and delay lines back into its cache and waits busily, a bounded time, for the block. Workers
// otherwise wait without a timeout and leave only when the quit flag is set and they are woken;
// StopWorkers sets quit, wakes, joins all four, and only then may the memory be reused.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/Convolution.h"

namespace engine {

enum WorkerIndex {
    kInputWorkerA = 0,
    kInputWorkerB = 1,
    kOutputWorkerLow = 2,
    kOutputWorkerHigh = 3
};

// Busy words (1 = a block was handed over, 0 = done) and the exit code each worker left with
// (A 3, B 4, Low and High 1; -1 while running or never started).
extern std::atomic<std::int32_t> WorkerBusy[4];
extern std::atomic<std::int32_t> WorkerExitCodes[4];

// Thread procedures (the parameter is the player dialog's handle value; unused).
int InputTransformWorkerA(void* param);
int InputTransformWorkerB(void* param);
int OutputConvolutionWorkerLow(void* param);
int OutputConvolutionWorkerHigh(void* param);

// UI thread, after PrepareConvolutionRun: starts the four threads, each at the highest priority
// the system grants (real-time where allowed). Returns 0, or 1 when a thread could not be created
// (those started are stopped and joined again).
int StartWorkers();
bool WorkersRunning();
// Whether all four running workers got real-time scheduling.
bool WorkersHaveRealtimePriority();
// The priority worker `index` asked for (a THREAD_PRIORITY_ value; normal when not running).
int WorkerThreadPriority(int index);

// UI thread: tells the workers a block follows shortly, so that they are awake when it starts
// (waking a sleeping thread takes tens of microseconds) and warm their caches for it. Optional;
// harmless when none follows.
void AnnounceBlock();

// UI thread: one block, from Dsp.input_slots to the interleaved `block`, with these gains.
// false when the block was not finished within `timeout_ms`: the caller must stop the play, and
// every later block is refused (false at once) until StopWorkers, as pieces of the given-up block
// may still be running.
bool RunBlockStages(const BlockGains& gains, std::int32_t* block, int timeout_ms);

// UI thread: sets the quit flag, wakes every worker, joins all four. Harmless when none run.
void StopWorkers();

// Tests: a worker sleeps this many milliseconds inside the first piece of a block it takes
// (0 = none); while it is set, the scheduler leaves every piece to the workers.
extern std::atomic<int> WorkerStallMsForTest;

}  // namespace engine
