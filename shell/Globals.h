// Process-wide state of shell/.
#pragma once

namespace shell {

// Reruns the init routines of this folder so that every test starts from a known state.
void ResetGlobals();

}  // namespace shell
