#include "shell/WinMain.h"

namespace shell {

int WinMain(platform::HINSTANCE, platform::HINSTANCE, const char*, int) { return 0; }

}  // namespace shell
