#include "frame/ResetProgram.h"

#include "driverdata/Globals.h"
#include "engine/Globals.h"
#include "frame/Program.h"
#include "measurement/Globals.h"
#include "network/Globals.h"
#include "shell/Globals.h"
#include "solver/Globals.h"

namespace frame {

void ResetProgram() {
    shell::ResetGlobals();
    network::ResetGlobals();
    solver::ResetGlobals();
    driverdata::ResetGlobals();
    measurement::ResetGlobals();
    engine::ResetGlobals();
    ResetFrame();
}

}  // namespace frame
