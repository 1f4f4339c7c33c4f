// The solver's window onto state that other folders own: the curve table the plots draw from,
// the frequency grids, the player's layout and window switches, and the owner of its message
// boxes. One place, so that every solver routine reads them the same way.
#pragma once

#include <algorithm>

#include "platform/Types.h"
#include "shell/Curves.h"
#include "shell/ProjectImage.h"

namespace solver {

// SystemCurveTable record `block` (0..169): 2010 floats.
float* SystemCurve(int block);
// FrequencyGrid (2000 points) and ExtendedFrequencyGrid (2700 points), Hz.
const float* FrequencyGridData();
const float* ExtendedGridData();
// OutputLayout: 0 "8 Outputs", 1 "16 Outputs", 2 "8 + SPDIF".
int CurrentOutputLayout();
// The frame window that owns the solver's message boxes (0 while there is none).
platform::HWND MessageOwner();
// Shows one of the solver's "QV Message" boxes (OK, exclamation icon).
void ShowSolverMessage(const char* text);

// A stored float as an int, truncated toward zero; `fallback` when it is not a number or its
// integer part lies outside low..high (converting such a value to int is undefined).
inline int TruncatedIndex(float value, int low, int high, int fallback) {
    if (!(value > static_cast<float>(low) - 1.0f && value < static_cast<float>(high) + 1.0f)) {
        return fallback;
    }
    return static_cast<int>(value);
}

// An output port's polarity as a sign: +1 or -1 by the sign of the stored value, 0 for 0 and for
// a value that is not a number (no sound rather than an unknown one).
inline float PortPolarity(float value) {
    if (value > 0.0f) return 1.0f;
    if (value < 0.0f) return -1.0f;
    return 0.0f;
}

// An output port's or room EQ's delay in ms as the solver turns it into a phase: 0 when it is
// not a number, otherwise within +-shell::kDelayLimitMs. The dialog and the project load bound a
// delay beyond with a message, so this only keeps a damaged value from giving a curve of no
// numbers.
inline float PortDelayMs(float value) {
    if (!(value == value)) return 0.0f;
    return std::clamp(value, -shell::kDelayLimitMs, shell::kDelayLimitMs);
}

}  // namespace solver
