// Process-wide state of solver/.
#pragma once

namespace solver {

// Reruns the init routines of this folder so that every test starts from a known state.
void ResetGlobals();

}  // namespace solver
