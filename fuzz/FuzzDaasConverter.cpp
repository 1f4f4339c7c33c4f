// Fuzz target of the DAAS converter alone: frequency/value pairs, magnitude and phase. Every
// result is finite; both steps see the same bins with data, and with none they leave the
// empty-bin values.
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
    const int magnitude_bins =
        driverdata::BinDaasMagnitude(pairs, shell::FrequencyGrid, -2.0f, spl);
    const int phase_bins = driverdata::BinDaasPhase(pairs, shell::FrequencyGrid, 1.5f, phase);
    if (magnitude_bins != phase_bins || magnitude_bins < 0 ||
        magnitude_bins > shell::kGridPoints - 1) {
        std::abort();
    }
    for (int k = 0; k < shell::kGridPoints; ++k) {
        if (!(spl[k] >= 1.0f) || !std::isfinite(spl[k]) || !std::isfinite(phase[k])) std::abort();
        if (magnitude_bins == 0 && (spl[k] != 1.0f || phase[k] != 0.0f)) std::abort();
    }
    return 0;
}
