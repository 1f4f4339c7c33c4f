#include "network/Globals.h"

namespace network {

void ResetGlobals() {}

}  // namespace network
