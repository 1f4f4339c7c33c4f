// Fast fuzz target of the driver-file record check and the foreign conversion alone (the File
// menu's reader; FuzzDriverRoad takes the same road slowly, through whole files): any bytes laid
// over a native record or over either foreign layout must be mended into a sound record or
// refused, never read out of bounds.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "driverdata/DriverFiles.h"
#include "shell/BaffleRecord.h"
#include "shell/FrequencyGrid.h"

namespace {

// Copies the input over [first, last) of `image`, repeated.
void Lay(std::uint8_t* image, std::size_t first, std::size_t last, const std::uint8_t* data,
         std::size_t size) {
    if (size == 0) return;
    for (std::size_t p = first; p < last; ++p) image[p] = data[(p - first) % size];
}

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckSound(const shell::DriverRecord& r) {
    Check(std::memchr(r.Efficiency, '\0', sizeof r.Efficiency) != nullptr);
    Check(std::memchr(r.Text1934C, '\0', sizeof r.Text1934C) != nullptr);
    Check(std::isfinite(r.Distance) && r.Distance > 0.0f);
    Check(r.DriversMode >= 0 && r.DriversMode <= 3);
    Check(r.PlotStartFrequencyIndex >= 0 && r.PlotStartFrequencyIndex <= 7);
    Check(r.PlotStopFrequencyIndex >= 0 && r.PlotStopFrequencyIndex <= 7);
    Check(r.BaffleNodeCount >= 0 && r.BaffleNodeCount < shell::kBaffleNodeSlots);
    Check(r.EdgeElementCount >= 0 && r.EdgeElementCount <= shell::kEdgePointSlots);
    Check(r.BaffleSideCount >= 0 && r.BaffleSideCount <= shell::kEdgePointSlots);
    Check(std::isfinite(r.BaffleClosed));
    for (int k = 0; k < shell::kGridPoints; ++k) Check(std::isfinite(r.Spl[k]));
}

}  // namespace

// The grid the readers bin onto, 10 Hz to 50 kHz as the program starts with it.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    shell::BuildFrequencyGrids(shell::kDefaultPlotStartIndex, shell::kDefaultPlotStopIndex);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int layout = data[0] % 3;
    ++data;
    --size;
    static shell::DriverRecord record;
    if (layout == 0) {
        Lay(reinterpret_cast<std::uint8_t*>(&record), 0, sizeof record, data, size);
        if (driverdata::MendDriverRecord(record)) CheckSound(record);
        return 0;
    }
    static std::vector<std::uint8_t> image(driverdata::kSonvexaFileBytes);
    const std::size_t image_size =
        layout == 1 ? driverdata::kDravenicFileBytes : driverdata::kSonvexaFileBytes;
    // The regions the conversion reads: the header and curves, and the calibration tables.
    Lay(image.data(), 0, 0x7200, data, size);
    Lay(image.data(), driverdata::kForeignMikeCal, image_size, data, size);
    std::memset(&record, 0, sizeof record);
    if (driverdata::ConvertForeignDriver(image.data(), image_size, record) &&
        driverdata::MendDriverRecord(record)) {
        CheckSound(record);
    }
    return 0;
}
