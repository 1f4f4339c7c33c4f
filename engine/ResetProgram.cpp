#include "engine/ResetProgram.h"

#include "driverdata/Globals.h"
#include "engine/Globals.h"
#include "measurement/Globals.h"
#include "network/Globals.h"
#include "shell/Globals.h"
#include "solver/Globals.h"

namespace engine {

void ResetProgram() {
    shell::ResetGlobals();
    network::ResetGlobals();
    solver::ResetGlobals();
    driverdata::ResetGlobals();
    measurement::ResetGlobals();
    ResetGlobals();
}

}  // namespace engine
