// Process-wide state of measurement/.
#pragma once

namespace measurement {

// Reruns the init routines of this folder so that every test starts from a known state.
void ResetGlobals();

}  // namespace measurement
