// Program entry: the platform layer starts, then the frame's WinMain runs the program.
#include "frame/Program.h"
#include "platform/App.h"

int main(int argc, char** argv) {
    return platform::RunApplication(argc, argv, &frame::ProgramWinMain);
}
