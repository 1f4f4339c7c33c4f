// Process-wide state of driverdata/.
#pragma once

namespace driverdata {

// Puts the settings of the diffraction calculator and the Hilbert-Bode editor back to their start
// values, so that every test starts from a known state.
void ResetGlobals();

}  // namespace driverdata
