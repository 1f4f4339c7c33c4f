// The four worker threads of a play: InputTransformWorkerA, B, OutputConvolutionWorkerLow and
// High. They exist from Play to STOP and touch only Dsp's preallocated arrays. All four share
// every block: each transforms its share of the used inputs, waits until every share is
// transformed, then convolves its share of the outputs; the last to finish interleaves the
// block (so no two of them write one cache line of it) and tells the scheduler.
//
// Hand-off: the scheduler (UI thread) sets the busy words and wakes the four; it waits for the
// block (after a short spin) with a timeout of a few block periods. Workers wait without a
// timeout and leave only when the quit flag is set and they are woken; StopWorkers sets quit,
// wakes, joins all four, and only then may the memory be reused.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/Convolution.h"

namespace engine {

enum WorkerIndex { kInputWorkerA = 0, kInputWorkerB = 1, kOutputWorkerLow = 2, kOutputWorkerHigh = 3 };

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
// (waking a sleeping thread takes tens of microseconds). Optional; harmless when none follows.
void AnnounceBlock();

// UI thread: one block, from Dsp.input_slots to the interleaved `block`, with these gains.
// false when the workers did not finish it within `timeout_ms` (the caller must stop the play).
bool RunBlockStages(const BlockGains& gains, std::int32_t* block, int timeout_ms);

// UI thread: sets the quit flag, wakes every worker, joins all four. Harmless when none run.
void StopWorkers();

// Tests: each block a worker takes first sleeps this many milliseconds (0 = none).
extern std::atomic<int> WorkerStallMsForTest;

}  // namespace engine
