// The gated spectrum of one measurement, the step Calculate SPL and each room-equalizer location
// share: the Ref and In impulses, each cut out by its gating window and transformed, read only at
// the bins a frequency grid takes; the In channel turned back by the pulse delay; the levels of
// both channels, the Ref channel's correction, and the In phase against the Ref phase.
#pragma once

#include <cstdint>
#include <vector>

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

// What the step reads. The Ref gate always holds n samples; the In gate may end early (the room
// equalizer's gate may run past the end of the impulse), the rest of it counts as silence.
struct GateInput {
    const float* grid = nullptr;  // `points` frequencies, Hz, rising
    int points = 0;
    int n = 0;                          // transform length, a power of two >= 4
    double df = 0.0;                    // Hz per bin: sampling rate / n
    float fmax = 0.0f;                  // Hz; grid points at or above get no bin and no correction
    const float* ref = nullptr;         // n Ref impulse samples from the gate start
    const float* ref_window = nullptr;  // n gating-window values for them
    const float* in = nullptr;          // in_count In impulse samples from the gate start
    int in_count = 0;                   // 0..n
    const float* in_window = nullptr;   // n gating-window values for them
    double delay_ms = 0.0;              // the In channel is turned back by this delay
};

// What the step gives, per grid point (`points` entries each; a point without a bin has 0 in
// every spectrum value and phase, and its levels are filled from its neighbours).
struct GatedSpectrum {
    std::vector<std::int32_t> bin_of;  // the FFT bin read at the point, -1 none
    std::vector<float> ref_re, ref_im;
    std::vector<float> ref_level;     // dB, 10 log10(|Ref|^2 + 1e-10), gaps filled
    std::vector<float> ref_phase;     // radians
    std::vector<float> correction;    // dB: the loudest Ref level minus this one, 0 from fmax
    std::vector<float> in_re, in_im;  // the pulse delay turned out
    std::vector<float> in_level;      // dB, 10 log10(|In|^2 + 1e-13), gaps filled
    std::vector<float> in_degrees;    // In phase against the Ref phase, RepairPhase applied
};

// Computes the whole step; `fft` is scratch of n floats (the shared FFT work buffer). `out` may
// hold an earlier result: its arrays are reused.
void ComputeGatedSpectrum(const GateInput& input, float* fft, GatedSpectrum* out);

// The gate of the last MLS capture on `points` grid frequencies with a transform of n points at
// the sampling rate of `rate_index` (its Hz and its fmax): the Ref channel from the end of its
// leading zeros under its gating window, the In channel from the impulse start. The caller sets
// how many In samples, their window and the delay.
GateInput MlsCaptureGate(const float* grid, int points, int n, int rate_index, int impulse_start);

}  // namespace measurement
