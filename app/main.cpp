// Program entry: the platform layer starts, then hands control to the shell's WinMain.
#include "platform/App.h"
#include "shell/WinMain.h"

int main(int argc, char** argv) { return platform::RunApplication(argc, argv, &shell::WinMain); }
