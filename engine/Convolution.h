// The real-time engine's uniformly partitioned FFT convolution, as plain functions over the
// preallocated arrays of ConvolutionMemory, so that the same code runs on the worker threads and
// in tests without threads.
//
// Every block of F frames: each used input's F samples (24-bit scale) followed by F zeros are
// transformed (2F-point DFT, unscaled) and pushed into that input's eight-stage delay line; each
// output sums, over the partitions s = 0..7, (spectrum of its routed input s blocks back) x
// (partition s of its filter), transforms back (scaled by 1/(2F)), adds the previous block's
// second half (overlap), applies the master gain and its trim, and writes 24-bit samples shifted
// left by 8 into the interleaved block.
//
// The input is real, so its spectrum is Hermitian and only the real part of the time signal is
// used: the engine keeps bins 0..F only, transforms 2F real points with an F-point complex FFT
// (ComplexFft) and folds each filter partition once per run into its Hermitian part
// (H[k] + conj(H[2F-k])) / 2, which gives exactly the real part of the full complex product sum.
// Delay lines rotate by an index; spectra are kept as separate real and imaginary rows so that
// the multiply-accumulate vectorises. Outputs that hear the same input are accumulated in one
// pass, so each delay line is read once per block.
//
// On the worker threads each of the four workers takes a share of the outputs, grouped by the
// input they hear, and transforms the inputs its share hears first (an input heard by two shares
// is transformed by one, the other waits for it); each output writes its words into its own row,
// and the last worker to finish interleaves the rows into the block. So no two workers ever
// write one cache line of the block.
#pragma once

#include <cstdint>

#include "engine/ConvolutionKernels.h"

namespace engine {

inline constexpr int kMaxBlockFrames = 4096;  // largest F
inline constexpr int kInputCount = 8;         // routing rows (inputs 1..8)
inline constexpr int kInputSlotCount = 9;     // slots the scheduler writes
inline constexpr int kOutputCount = 16;       // routing columns (outputs 1..16)
inline constexpr int kPartitionCount = 8;     // filter partitions of F taps, delay-line stages
inline constexpr int kBinStride = kMaxBlockFrames + 16;  // floats per spectrum row (F+1 used)

// Bounds of what reaches the output stage, whatever a file or a slip of the code put into the
// settings: the volume's top (+15 dB), the trims' top (+20 dB), and the largest magnitude a bin of
// a folded filter partition may have (+80 dB). A filter with a bin outside that bound or not a
// number is not played: its output stays silent for the run.
inline constexpr float kMaxMasterGain = 5.6234133f;
inline constexpr float kMaxOutputTrim = 10.0f;
inline constexpr float kMaxFilterBinMagnitude = 1.0e4f;

// Slot that feeds input r (routing row r). Slot 6 feeds no input.
inline constexpr int kSlotOfInput[kInputCount] = {0, 2, 1, 3, 5, 4, 7, 8};
// Inputs transformed by input worker A and by input worker B.
inline constexpr int kInputsOfWorkerA[4] = {0, 1, 2, 4};
inline constexpr int kInputsOfWorkerB[4] = {3, 5, 6, 7};

// Words per interleaved frame by OutputLayout 0, 1, 2; 0 for an unknown layout.
int OutputChannelCount(int output_layout);

// One thread's own work area: the integer FFT work area (its bit-reversal part is rewritten by
// every call) and scratch rows. Each worker owns one; tests use their own.
inline constexpr int kMaxGroupOutputs = kernels::kMaxGroupOutputs;

struct FftWorkArea {
    int* ip;                          // FftWorkAreaInts(2 kMaxBlockFrames) entries
    float* packed;                    // 2 kMaxBlockFrames floats: F complex points
    float* acc_re[kMaxGroupOutputs];  // kBinStride floats each: one pass's product sums
    float* acc_im[kMaxGroupOutputs];
    float* time;  // 2 kMaxBlockFrames floats: one output's time signal
};

inline constexpr int kWorkerCount = 4;  // threads sharing a block

// Gains handed to the output stage with each block (copied on the UI thread before the signal,
// so a worker never reads a value the UI thread is writing).
struct BlockGains {
    float master;               // MasterGain
    float trims[kOutputCount];  // OutputTrims
};

// All memory of the convolution, allocated once (AllocConvolutionMemory) for the largest F.
struct ConvolutionMemory {
    // Set by PrepareConvolutionRun on the UI thread before any worker runs; then only read.
    int frames;                                       // F of the run (0 = no run prepared)
    int output_layout;                                // 0, 1, 2
    int routed_input[kOutputCount];                   // input (row) of each output, -1 = none
    bool input_used[kInputCount];                     // some output of the layout hears this input
    float* fft_table;                                 // shared cos/sin table (largest size)
    int* fft_table_ip;                                // its header (ip[0], ip[1])
    float* real_cos;                                  // cos(pi k / F), k = 0..F
    float* real_sin;                                  // sin(pi k / F), k = 0..F
    float* filter_re[kOutputCount][kPartitionCount];  // folded filter partitions, bins 0..F
    float* filter_im[kOutputCount][kPartitionCount];
    bool filter_refused[kOutputCount];  // filter not finite or not bounded: silent
    // Each worker's share: the layout's routed outputs ordered by the input they hear and cut
    // into four runs of nearly equal length; each used input is transformed by the first share
    // that hears it.
    int input_share[kWorkerCount][kInputCount];
    int input_share_count[kWorkerCount];
    int output_share[kWorkerCount][kOutputCount];
    int output_share_count[kWorkerCount];

    // Written by the scheduler (UI thread) while no input worker runs.
    float* input_slots[kInputSlotCount];  // F samples each, 24-bit scale

    // Written by the input workers, read by the output workers afterwards.
    float* delay_re[kInputCount][kPartitionCount];  // spectra of the last eight blocks
    float* delay_im[kInputCount][kPartitionCount];
    int delay_head[kInputCount];  // stage holding the newest spectrum

    // Written by the output workers (each its own outputs).
    float* tails[kOutputCount];         // F floats: overlap from the previous block
    std::int32_t* words[kOutputCount];  // F words of this block (unrouted: zeros)

    FftWorkArea work[5];  // input A, input B, output Low, output High, spare
};

inline constexpr int kWorkInputA = 0;
inline constexpr int kWorkInputB = 1;
inline constexpr int kWorkOutputLow = 2;
inline constexpr int kWorkOutputHigh = 3;
inline constexpr int kWorkSpare = 4;

// Allocates `memory` for the largest block size and builds the shared FFT table once; returns 0,
// or 1 when an allocation failed (nothing then stays allocated). UI thread, before any worker.
int AllocConvolutionMemory(ConvolutionMemory& memory);
void FreeConvolutionMemory(ConvolutionMemory& memory);

// Prepares a run: F, layout, routing snapshot (routing[input][output] == 1 routes; with several
// routed inputs the highest row wins, as each later row replaces the earlier product sum), the
// folded filter partitions from `filter_spectra[o * 8 + p]` (2F interleaved complex points each,
// null = no filter), and clears slots, delay lines and tails. UI thread, while no worker runs.
// A filter whose folded bins are not all finite and within kMaxFilterBinMagnitude is replaced by
// silence and marked in filter_refused.
// Returns 0, or 1 when `frames` or `output_layout` is not one the engine plays.
int PrepareConvolutionRun(ConvolutionMemory& memory, int frames, int output_layout,
                          const std::int32_t (*routing)[kOutputCount],
                          const float* const* filter_spectra);

// Real-time, input worker threads: transforms the listed inputs' slots and pushes each spectrum
// into its delay line (inputs no output of the layout uses are skipped).
void TransformInputs(ConvolutionMemory& memory, const int* inputs, int count, FftWorkArea& work);

// Real-time, output worker threads: outputs first..last (0-based, inclusive) of this block into
// `block` (F frames of OutputChannelCount words). The Low worker (first 0) also zeroes the two
// S/PDIF channels of layout 2. The gains are bounded first (BoundedGain).
void ConvolveOutputs(ConvolutionMemory& memory, int first, int last, const BlockGains& gains,
                     std::int32_t* block, FftWorkArea& work);

// Worker threads, the threaded road. Worker `share` (0..3) transforms the used inputs it owns,
// calling `transformed(input)` after each (may be null); then computes the words of its share of
// the outputs, calling `await_input(input)` before it reads an input's delay line (null: no
// wait; a false return abandons the share). After every share is done, one thread interleaves
// the words into the block (layout 2's S/PDIF channels silent). The same words as
// TransformInputs and ConvolveOutputs.
using InputWait = bool (*)(int input);
void TransformInputShare(ConvolutionMemory& memory, int share, FftWorkArea& work,
                         void (*transformed)(int input));
void ConvolveOutputShare(ConvolutionMemory& memory, int share, const BlockGains& gains,
                         FftWorkArea& work, InputWait await_input);
void InterleaveOutputWords(const ConvolutionMemory& memory, std::int32_t* block);
// The same for frames first_frame .. first_frame + count - 1 only (count a multiple of 8).
void InterleaveOutputFrames(const ConvolutionMemory& memory, std::int32_t* block, int first_frame,
                            int count);

// Tests: false keeps the convolution on its plain loops even where the 256-bit kernels exist.
// Both give the same words. Set only while no block runs.
extern bool ConvolutionUseWideVectors;
// Tests: false keeps the multiply-accumulate on its unfused twins (the road of processors
// without fused multiply-add) where the processor fuses. Set only while no block runs.
extern bool ConvolutionUseFusedMultiplyAdd;
// Benchmarks and tests: false keeps the multiply-accumulate on 256-bit vectors where 512-bit ones
// exist (the same bits). Set only while no block runs.
extern bool ConvolutionUse512BitVectors;
// The three back to their start value, true.
void ResetConvolutionHooks();

// Any thread: forward transform of 2F real points (F samples, then F zeros) into bins 0..F.
void RealForward(const ConvolutionMemory& memory, const float* samples, float* re, float* im,
                 FftWorkArea& work);
// Any thread: inverse of a Hermitian spectrum given by bins 0..F into 2F real points, scaled by
// 1/(2F).
void RealInverse(const ConvolutionMemory& memory, const float* re, const float* im, float* out,
                 FftWorkArea& work);

// A gain kept within 0 .. `top`; a value that is not a number gives 0.
float BoundedGain(float gain, float top);

// An output value (24-bit scale, any double) as its 32-bit word: truncated toward zero and kept
// within -8,388,607 .. 8,388,607 (clamped before the conversion; NaN gives 0), shifted left by 8.
std::int32_t OutputWord(double value);

}  // namespace engine
