#include "solver/Globals.h"

namespace solver {

void ResetGlobals() {}

}  // namespace solver
