// Starting the layer: the Qt application, the "C" numeric locale, then the system's entry point.
#pragma once

#include "platform/Types.h"

namespace platform {

using WinMainFunction = int (*)(HINSTANCE instance, HINSTANCE previous, const char* commandLine,
                                int showCommand);

// Creates the application object, puts LC_NUMERIC back to "C", calls `winMain` on this thread and
// returns its result. The virtual sound card replaces real devices when QV_VIRTUAL_AUDIO is set.
int RunApplication(int argc, char** argv, WinMainFunction winMain);

}  // namespace platform
