// What the engine's tests share: the state of every folder the engine builds on and its own back
// to their start values (the frame above is not linked here).
#pragma once

#include "driverdata/Globals.h"
#include "engine/Globals.h"
#include "measurement/Globals.h"
#include "network/Globals.h"
#include "shell/Globals.h"
#include "solver/Globals.h"

namespace engine::test {

inline void ResetFolders() {
    shell::ResetGlobals();
    network::ResetGlobals();
    solver::ResetGlobals();
    driverdata::ResetGlobals();
    measurement::ResetGlobals();
    engine::ResetGlobals();
}

}  // namespace engine::test
