#include "shell/Globals.h"

namespace shell {

void ResetGlobals() {}

}  // namespace shell
