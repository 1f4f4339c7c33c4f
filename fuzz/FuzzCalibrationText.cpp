// Fuzz target of the calibration text reader alone: any bytes give 2000 finite pairs with phases
// within +-180 degrees, and a count of the points the text holds between 0 and 2000.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "driverdata/ExportFiles.h"
#include "shell/FrequencyGrid.h"

// The grid the readers bin onto, 10 Hz to 50 kHz as the program starts with it.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    shell::BuildFrequencyGrids(shell::kDefaultPlotStartIndex, shell::kDefaultPlotStopIndex);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static shell::CalibrationPoint curve[shell::kGridPoints];
    const int held = driverdata::ParseCalibrationText(data, size, curve);
    if (held < 0 || held > shell::kGridPoints) std::abort();
    for (const shell::CalibrationPoint& point : curve) {
        if (!std::isfinite(point.Degrees) || std::fabs(point.Degrees) > 180.0f) std::abort();
    }
    return 0;
}
