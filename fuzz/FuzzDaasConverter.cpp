// Fuzz target of the DAAS converter alone: frequency/value pairs, magnitude and phase. Every
// result is finite.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "driverdata/ColumnParser.h"
#include "shell/Curves.h"
#include "shell/FrequencyGrid.h"

// The grid the readers bin onto, 10 Hz to 50 kHz as the program starts with it.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    shell::BuildFrequencyGrids(shell::kDefaultPlotStartIndex, shell::kDefaultPlotStopIndex);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto pairs = driverdata::ReadDaasPairs(data, size);
    static float spl[shell::kGridPoints];
    static float phase[shell::kGridPoints];
    driverdata::BinDaasMagnitude(pairs, shell::FrequencyGrid, -2.0f, spl);
    driverdata::BinDaasPhase(pairs, shell::FrequencyGrid, 1.5f, phase);
    for (int k = 0; k < shell::kGridPoints; ++k) {
        if (!(spl[k] >= 1.0f) || !std::isfinite(spl[k]) || !std::isfinite(phase[k])) std::abort();
    }
    return 0;
}
