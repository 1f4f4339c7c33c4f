// Calculate SPL: the gated Ref and In impulses of the last measurement turned into the SPL and
// phase of the current driver on FrequencyGrid, corrected by the Ref channel, the pulse delay
// and the microphone and preamplifier calibrations, and smoothed. The steps that the room
// equalizer shares are offered on their own.
#pragma once

#include <cstdint>

#include "platform/Types.h"

namespace measurement {

// Highest frequency (Hz) that receives FFT bins at a sampling-rate index (0 when out of range).
float MlsUpperFrequency(int rate_index);

// For each of `points` grid frequencies, the highest FFT bin (bin i at i x df) whose first grid
// point above it is that one, or -1 when no bin reaches it; bins whose first grid point above is
// not below fmax are dropped.
void MapBinsToGrid(const float* grid, int points, double df, float fmax, int bins,
                   std::int32_t* bin_of_point);

// The spectrum of n real samples (n a power of two, n >= 4; forward, unscaled) at `count` chosen
// bins: bins[j] in 0..n-1 gives bin bins[j] in re[j], im[j], a negative entry gives 0. One
// complex transform of n/2 points through ComplexFft (the shared startup tables); `samples` is
// overwritten by it.
void RealSpectrumAtBins(float* samples, int n, const std::int32_t* bins, int count, float* re,
                        float* im);

// A level curve's points at or below 0.1 (no value) are filled by straight lines between the
// valid points around them (points after the last valid one stay).
void FillLevelGaps(float* level, int points);
// Marks wraps next to a 0 point before a value above 130 degrees, then fills every 0 point by
// straight lines between the non-zero points around it.
void RepairPhase(float* degrees, int points);
// Negates runs of 1 to 4 points above 120 degrees between points below -120, and the other way
// round (the points are visited for j = 0 .. points - 6).
void RepairPhaseFlips(float* degrees, int points);

// The command: 0 when the driver curves were computed; 1 refused with a message (owner `owner`),
// nothing changed: no impulse yet ("Please Generate Impulse Response First"), a gate wider than
// the sequence ("Please reduce Timw Window Length"), or a gate start that leaves the impulse.
// Also refused: an "Add dB To SPL" beyond shell::kMostMlsAddDb (kMlsAddDbOutOfRange), and a
// result with levels or phases beyond the driver bounds (kMlsResultOutOfRange).
int CalculateMlsSpl(platform::HWND owner);
inline constexpr const char* kMlsAddDbOutOfRange = "Add dB To SPL Must Lie Within -200...200 dB";
inline constexpr const char* kMlsResultOutOfRange =
    "SPL Out Of Range: Check Add dB And The Calibrations; Driver NOT Changed";

}  // namespace measurement
