// Solving the channel whose network is in the WorkingNetwork: node voltages at every point of
// FrequencyGrid, then port responses, curves, system sum and resampled spectra.
#pragma once

namespace solver {

// Solves the working network (UI thread; never while audio runs). Every grid point is solved
// into scratch first: when the network cannot be solved (a singular nodal matrix, or a layout
// the solver cannot map) a "QV Message" box says so, 1 is returned and no table changes.
// On success the ports' responses, curves and spectra are rewritten and 0 is returned; the
// spectra are stamped with the sample rate and F they were resampled for and with ActivePane.
int SolveNetwork();

// The same without a message box (for re-solving other channels before a FIR build).
int SolveNetworkQuietly();

// Re-solves every channel pane whose ports' spectra were resampled for another sample rate or
// F than the current ones, each only when CheckSystemNetwork accepts it; a channel refused (or
// not solvable) is named in a "QV Message" box and keeps its old spectra. Then restores the
// active pane's store into the working network, and the routing matrix and the curves' visible
// flags as they were before. Returns the number of channels re-solved.
int RefreshStaleSpectra();

// What the player's "Clear Plots" button does to the solver's tables: values and visible flags of
// all 170 curve records to 0, the 16 port spectra of table 0 to 0 and of table 1 to (1e-7, 0)
// over their first 131,072 points, and every port's spectrum stamp forgotten (so a later FIR build
// does not re-solve a cleared channel). UI thread, never while audio runs.
void ClearSolverPlots();

}  // namespace solver
