// Process-wide state of driverdata/.
#pragma once

namespace driverdata {

// Reruns the init routines of this folder so that every test starts from a known state.
void ResetGlobals();

}  // namespace driverdata
