// Program entry of the system.
#pragma once

#include "platform/Types.h"

namespace shell {

int WinMain(platform::HINSTANCE instance, platform::HINSTANCE previous, const char* commandLine,
            int showCommand);

}  // namespace shell
