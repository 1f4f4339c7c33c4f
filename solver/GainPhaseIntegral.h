// The discrete Bode gain-to-phase integral that every minimum-phase calculation of the program
// runs: the output-port correction, the Hilbert-Bode transform of the driver tools and the room
// equalizer. Levels in dB on a 2700-point logarithmic grid in, phase in radians out. Pure: it
// reads only its arguments and writes only `phase`; no allocation.
#pragma once

#include "shell/Curves.h"

namespace solver {

inline constexpr int kGainPhasePoints = shell::kExtendedGridPoints;

// Constants as the program uses them: 6.284 for 2 pi, 3.142 for pi, kappa nepers per dB.
inline constexpr double kTwoPiApprox = 6.284;
inline constexpr double kPiApprox = 3.142;
inline constexpr double kNepersPerDb = 0.11512779184895233;
inline constexpr double kHalfNepersPerDb = 0.057563895924476166;

struct GainPhaseInput {
    const float* grid;    // 2700 increasing frequencies g[j] in Hz
    const float* levels;  // 2700 levels W[j] in dB
    // Slopes of the straight lines (level in nepers against ln w) that continue the levels below
    // the first point (rising with frequency) and above the last point (falling with frequency).
    double slope_low;
    double slope_high;
    // Hilbert-Bode rounding: both quotients of every trapezoid term, and the angular frequency
    // moved off the singular point, are rounded to single precision as well as the terms.
    bool single_precision_quotients;
};

// Phase in radians of points first .. last - 1 (0 <= first <= last <= 2700) into phase[i]:
// with w = 6.284 g (single precision) and a = kappa W,
//   phase_i = low_i + 4 g_i S_i + high_i,
// S_i the trapezoid sum over j = 0..2698 of
//   (kappa/2) (w_j+1 - w_j) ((W_j+1 - W_i) / (w_j+1^2 - w_i^2) + (W_j - W_i) / (w_j^2 - w_i^2)),
// each term rounded to single precision and summed in single precision in increasing j; the two
// terms that meet the singular point (j = i and j = i - 1) move their end at w_i up by 0.08 of
// the bin width in Hz and its level by 0.02 of the level step. low_i and high_i are the integral
// below w_0 and above w_2699 for the straight lines a = bL + slope_low ln w and
// a = bH - slope_high ln w, where bL and bH are the intercepts of the lines through points 0 and
// 164 and through points 2535 and 2699.
void GainPhaseIntegral(const GainPhaseInput& input, int first, int last, double* phase);

// The same sum S_i for one point, term by term without batching (the reference that the batched
// sum of GainPhaseIntegral reproduces bit for bit).
float GainPhaseSumReference(const GainPhaseInput& input, int i);

}  // namespace solver
