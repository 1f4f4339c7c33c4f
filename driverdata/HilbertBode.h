// The Hilbert-Bode transform of the current driver: its SPL curve, continued below and above the
// plot range by the straight tails the user set, becomes a minimum-phase complex response in
// DriverRecord.HbtReal / HbtImag (point k evaluated at ExtendedFrequencyGrid[k + 350]). UI thread
// only; runs synchronously in the HBT editor dialog's Calculate command.
#pragma once

#include "driverdata/HbtTails.h"

namespace driverdata {

// 0 when the response was computed (HbtValid set), 1 when refused after a message: "Input Power
// Error" for a Pin that is not above 0, "Distance Error" for a distance option with a distance
// that is not above 0, kHbtOutOfRange when a point of the result is not a number or beyond
// shell::kDriverFileResponseLimit (absurd slopes, efficiency or input power). A refusal writes
// nothing.
int CalculateHilbertBode();
inline constexpr const char* kHbtOutOfRange =
    "HBT Result Out Of Range: Check Slopes, Efficiency And Input Power";

// The level curve the transform integrates (dB on ExtendedFrequencyGrid, efficiency taken off),
// as the last calculation left it.
const float* HbtWorkCurve();

}  // namespace driverdata
