#include "driverdata/Globals.h"

#include "driverdata/EdgeDiffraction.h"

namespace driverdata {

void ResetGlobals() { ResetDiffractionSettings(); }

}  // namespace driverdata
