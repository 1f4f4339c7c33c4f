// The modal dialog "EnterCreateCalibration" ("Calibration File Data"): the high-pass and the
// low-pass section of a constructed calibration curve, the Q-Parametric gain and Q, and the
// inversion. Every change is stored at once in the Cal* settings. UI thread.
#pragma once

#include "platform/Types.h"

namespace measurement {

inline constexpr const char* kCalibrationTemplate = "EnterCreateCalibration";

// Ends with 1 (Done, after the Linkwitz checks) or 2 (Cancel).
platform::INT_PTR EnterCreateCalibrationDlgProc(platform::HWND, platform::UINT, platform::WPARAM,
                                                platform::LPARAM);

}  // namespace measurement
