// The signal core of the MLS measurement: the maximum-length sequence of an order from its
// shift register, the two permutation tables that turn circular correlation with the sequence
// into a fast Hadamard transform, the played signal (plain or pre-emphasised) and the transform.
// Works on the start-up buffers MlsBitBuffer, MlsPermutationS/L, HadamardWork and
// MlsPlaybackBuffer; allocates nothing. UI thread only.
#pragma once

#include <cstdint>

#include "platform/Types.h"
#include "shell/StartupAllocation.h"

namespace measurement {

inline constexpr int kMlsTapRows = 24;
inline constexpr int kMlsTapSlots = 4;
// Tap positions of the shift register per order 1..24 (row order - 1); -1 ends a row.
extern const std::int32_t MlsTapTable[kMlsTapRows][kMlsTapSlots];

// Orders the buffers hold (the tables and the played part have room for 268,000 entries).
inline constexpr int kMlsLowestOrder = 2;
inline constexpr int kMlsTableEntries =
    static_cast<int>(shell::kMlsPermutationBytes / sizeof(std::int32_t));
static_assert(kMlsTableEntries * sizeof(std::int32_t) <= shell::kMlsBitBufferBytes);
// 32-bit words of the played part of MlsPlaybackBuffer (268,000 stereo frames; the buffer has
// room for twice that).
inline constexpr int kMlsPlayedWords = 536000;
static_assert(2 * kMlsPlayedWords * sizeof(std::int32_t) == shell::kMlsPlaybackBufferBytes);
// Sample of the 32-bit container at output level 1 (level 100 is just below full scale).
inline constexpr std::int32_t kMlsLevelStep = 21346816;  // 83386 x 256

// Bit i of the current sequence (1 is played as the negative level).
inline int MlsBit(const std::int32_t* bits, int i) {
    return static_cast<int>((static_cast<std::uint32_t>(bits[i >> 5]) >> (i & 31)) & 1u);
}

// Builds the sequence of `order` into MlsBitBuffer and both permutation tables, and writes
// MlsStatusLine (also the impulse view's title when that window exists). false (nothing
// changed) for an order outside 2..18 or when the buffers are missing.
bool BuildMlsSequence(int order);

// The largest output delay (in 32-bit words of the interleaved buffer) that keeps the whole
// sequence of `order` inside the played part: 536,000 - 2 L.
int MaxMlsOutputDelay(int order);

// Sequence, tables and status line, then the 32-bit stereo playback signal: plain at
// MlsOutputLevel, or pre-emphasised when MlsPreEmphasisText is above 0, shifted by
// MlsOutputDelayText words. A delay that is not a whole number within 0..MaxMlsOutputDelay is
// refused with a message (owner `owner`) and nothing changes. 0 when generated, 1 refused.
int GenerateMls32(int order, platform::HWND owner);

// Sequence, tables and status line, then a 16-bit mono image of the sequence at the start of
// MlsPlaybackBuffer (never played: it rebuilds the tables after a stored capture is loaded). The
// image is left out when the output delay would put it past the played part. 0 when built.
int GenerateMls16(int order);

// In-place fast Hadamard transform of the first n floats of HadamardWork (n a power of two),
// natural order, unscaled. Returns 1.
int FastHadamardTransform(int n);
// The same on any array.
void FastHadamardTransformOf(float* w, int n);

// MLS correlation of x[0..L-1] with the current sequence: out[m] = sum over i of
// x[i] s[(i - m) mod L] (s = +1 for bit 0, -1 for bit 1), m = 0..count-1 (count <= L), through
// the permutation tables and HadamardWork. `out` may not alias HadamardWork; it may be x.
void MlsCorrelate(const float* x, float* out, int count);

// Order of the sequence built last (0 before the first).
int CurrentMlsOrder();

}  // namespace measurement
