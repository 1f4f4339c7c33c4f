// The "Enclosure Diffraction Calculator": the modeless DiffractionCalculator dialog in which the
// user draws the baffle on a raster, places one or two drivers and the microphone, picks the edge
// profile and piston model, and runs the 2000-frequency sweep into DiffractionCurveTable, and
// the Diffraction_Child window that plots the result. GUI thread only; the sweep runs inside
// the Plot button's handler.
#pragma once

#include "platform/Types.h"

namespace driverdata {

inline constexpr const char* kDiffractionCalculatorTemplate = "DiffractionCalculator";

platform::INT_PTR DiffractionCalculatorDlgProc(platform::HWND dialog, platform::UINT message,
                                               platform::WPARAM wParam, platform::LPARAM lParam);
platform::LRESULT DiffractionChildWndProc(platform::HWND window, platform::UINT message,
                                          platform::WPARAM wParam, platform::LPARAM lParam);

// The two examples into the baffle record (and the dialog's read-outs when it is open).
void LoadDiffractionExample1(platform::HWND dialog);
void LoadDiffractionExample2(platform::HWND dialog);

// The sweep of the Plot button: returns 0 when the curves were computed, 1 when a check
// stopped it (after its message).
int RunDiffractionPlot(platform::HWND dialog);

// Forgets a grab in progress (start-up and tests).
void ResetDiffractionCalculator();

}  // namespace driverdata
