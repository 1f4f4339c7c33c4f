// Output-port minimum-phase correction: the driver's level inside the port's EQ band F1..F2,
// held constant outside it, with the phase of a discrete Bode gain-phase integral over
// ExtendedFrequencyGrid, into MinimumPhaseResult.
#pragma once

namespace solver {

// Fills MinimumPhaseResult from output-port element `element` of the working network and
// returns 0 (1 when `element` is not a slot index). Changes no element field. UI thread only.
int CalculateOutputHilbertBode(int element);

// The same from explicit inputs: driver response re/im (2000 points on FrequencyGrid), band
// edges, grid ends, and the extended grid (2700 points).
void MinimumPhaseFromLevels(const float* re, const float* im, float f1, float f2, float fstart,
                            float fstop, const float* extended_grid);

}  // namespace solver
