// Program entry: the services of the subsystems above the shell are installed, the platform layer
// starts, then the shell's WinMain runs the program.
#include "app/ProgramServices.h"
#include "platform/App.h"
#include "shell/Program.h"

int main(int argc, char** argv) {
    app::InstallProgramServices();
    return platform::RunApplication(argc, argv, &shell::ProgramWinMain);
}
