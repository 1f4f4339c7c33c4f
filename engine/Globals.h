// Process-wide state of engine/.
#pragma once

namespace engine {

// Reruns the init routines of this folder so that every test starts from a known state.
void ResetGlobals();

}  // namespace engine
