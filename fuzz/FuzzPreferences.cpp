// Fuzz target of the preferences reader: the input is the preferences file. Whatever it holds,
// the applied settings are in range, and the default network plays through the grids and block
// size they select.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "platform/Types.h"
#include "shell/FrequencyGrid.h"
#include "shell/PreferencesRecord.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::StartWorld(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ResetWorld();
    fuzz::WriteScratchFile("QV_Preferences.pre", data, size);
    if (shell::ReadPreferencesFile(platform::HWND{}) != 1) return 0;
    fuzz::CheckPreferencesState();
    shell::BuildFrequencyGrids(shell::PlotStartFrequencyIndex, shell::PlotStopFrequencyIndex);
    fuzz::SolveAndPlayOneBlock();
    return 0;
}
