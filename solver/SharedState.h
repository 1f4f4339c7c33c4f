// The solver's window onto state that other folders own: the curve table the plots draw from,
// the frequency grids, the player's layout and window switches, and the owner of its message
// boxes. One place, so that every solver routine reads them the same way.
#pragma once

#include "platform/Types.h"
#include "shell/Curves.h"

namespace solver {

// SystemCurveTable record `block` (0..169): 2010 floats.
float* SystemCurve(int block);
// FrequencyGrid (2000 points) and ExtendedFrequencyGrid (2700 points), Hz.
const float* FrequencyGridData();
const float* ExtendedGridData();
// OutputLayout: 0 "8 Outputs", 1 "16 Outputs", 2 "8 + SPDIF".
int CurrentOutputLayout();
// WideWindow switch of the player dialog (0 or 1).
int CurrentWideWindow();
// The frame window that owns the solver's message boxes (0 while there is none).
platform::HWND MessageOwner();
// Shows one of the solver's "QV Message" boxes (OK, exclamation icon).
void ShowSolverMessage(const char* text);

}  // namespace solver
