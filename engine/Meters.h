// The player's level meters: one bar per input (8) and per output (16), drawn straight into the
// meter controls with 5-pixel pens. UI thread only.
#pragma once

#include "platform/Types.h"

namespace engine {

inline constexpr int kInputThresholdCount = 35;
inline constexpr int kOutputThresholdCount = 46;
extern const double kInputMeterThresholds[kInputThresholdCount];
// Tk = 2,010,624,000 x 0.85^(45 - k), truncated.
double OutputMeterThreshold(int k);

// Bar step of a level: the largest k with level >= Tk (0 below T1); input 0..33, output 0..44.
int InputMeterStep(double level);
int OutputMeterStep(double level);

// Painters (return 0). A last level of exactly -1.0 wipes the meter first and draws that bar as 0.
int DrawInputMeters(platform::HWND window, const float* levels /* 8 */);
int DrawOutputMeters(platform::HWND window, const float* levels /* 16 */);

}  // namespace engine
