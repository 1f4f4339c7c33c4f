// Process-wide state of network/.
#pragma once

namespace network {

// Reruns the init routines of this folder so that every test starts from a known state.
void ResetGlobals();

}  // namespace network
