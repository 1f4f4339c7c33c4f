#include "engine/Globals.h"

namespace engine {

void ResetGlobals() {}

}  // namespace engine
