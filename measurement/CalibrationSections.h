// Calibration curves built from two analog filter sections (a high-pass and a low-pass section,
// each a family, a slope and a cut-off), optionally inverted.
#pragma once

#include "shell/Curves.h"

namespace measurement {

// The complex response of one section at f (Hz): family 0 Bessel, 1 Butterworth, 2 Linkwitz,
// 3 Q-Parametric (with CalQ and CalGainDb), slope 0..9 of the filter table, cut-off fc (Hz).
// Any other family or slope, and a cut-off or frequency that is not above 0, give exactly 1.
// Writes out[0] (real), out[1] (imaginary) and returns out.
float* CalibrationFilterResponse(float* out, float f, int family, int slope, float fc);

// The calibration of the current section settings on `grid` (`points` frequencies): H = high-pass
// x low-pass section, 1 / H when CalInvert is 1; level 10 log10(|H|^2 + 1e-13) dB, phase
// atan2(Im H, Re H) x 57.288 degrees.
void BuildCalibrationCurve(const float* grid, int points, shell::CalibrationPoint* out);

}  // namespace measurement
