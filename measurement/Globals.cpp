#include "measurement/Globals.h"

namespace measurement {

void ResetGlobals() {}

}  // namespace measurement
