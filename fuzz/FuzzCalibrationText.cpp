// Fuzz target of the calibration text reader alone: any bytes are read or refused with a count
// of the points between 0 and 2000; a text that is read gives 2000 pairs with finite phases within
// +-180 degrees, pair 1999 = pair 1998 and 0 dB at the first grid bin above 1000 Hz.
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
    const driverdata::CalibrationTextResult result =
        driverdata::ParseCalibrationText(data, size, curve);
    if (result.held < 0 || result.held > shell::kGridPoints) std::abort();
    if (result.status != driverdata::CalibrationTextStatus::kRead) return 0;
    for (const shell::CalibrationPoint& point : curve) {
        if (!std::isfinite(point.Degrees) || std::fabs(point.Degrees) > 180.0f) std::abort();
    }
    const shell::CalibrationPoint& last = curve[shell::kGridPoints - 1];
    const shell::CalibrationPoint& before = curve[shell::kGridPoints - 2];
    if (last.Db != before.Db || last.Degrees != before.Degrees) std::abort();
    int reference = 0;
    while (shell::FrequencyGrid[reference] <= 1000.0f) ++reference;
    if (curve[reference].Db != 0.0f) std::abort();
    return 0;
}
