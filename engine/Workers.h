// The four worker threads of a play: InputTransformWorkerA and B transform the input slots into
// the delay lines; OutputConvolutionWorkerLow (outputs 1-8) and High (outputs 9-16) convolve and
// write the interleaved block. They exist from Play to STOP and touch only Dsp's preallocated
// arrays.
//
// Hand-off: the scheduler (UI thread) sets a worker's busy word to 1 and signals its event; the
// worker does the block, clears its busy word (release) and signals the stage semaphore; the
// scheduler waits on that semaphore (after a short spin) with a timeout of a few block periods.
// Workers wait without a timeout and leave only when the quit flag is set and they are woken;
// StopWorkers sets quit, signals, joins all four, and only then may the memory be reused.
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

// UI thread, after PrepareConvolutionRun: starts the four threads (Low at the highest priority
// the system grants). Returns 0, or 1 when a thread could not be created (those started are
// stopped and joined again).
int StartWorkers();
bool WorkersRunning();

// UI thread: hands the block in Dsp.input_slots to both input workers and waits for both.
// false when they did not finish within `timeout_ms` (the caller must stop the play).
bool RunInputStage(int timeout_ms);
// UI thread: hands the block to the Low worker (and to High when `with_high`) with these gains,
// output into `block`; waits for them. false on time-out.
bool RunOutputStage(const BlockGains& gains, std::int32_t* block, bool with_high, int timeout_ms);

// UI thread: one whole block through both stages (RunInputStage, then RunOutputStage); false on
// time-out of either.
bool RunBlockStages(const BlockGains& gains, std::int32_t* block, bool with_high, int timeout_ms);

// UI thread: sets the quit flag, wakes every worker, joins all four. Harmless when none run.
void StopWorkers();

// Tests: each block a worker takes first sleeps this many milliseconds (0 = none).
extern std::atomic<int> WorkerStallMsForTest;

}  // namespace engine
