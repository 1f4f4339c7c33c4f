#include "driverdata/Globals.h"

namespace driverdata {

void ResetGlobals() {}

}  // namespace driverdata
