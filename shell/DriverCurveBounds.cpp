#include <cstddef>

#include "shell/DriverRecord.h"

// The bounds a driver's curves must keep: the reader refuses a file whose curves leave them and
// every writer refuses to save such a record. Kept apart from the file code so that the readers'
// fuzz targets link it alone.
namespace shell {

namespace {

bool AllWithin(const float* values, int count, float low, float high, int stride = 1) {
    for (int i = 0; i < count; ++i) {
        const float v = values[i * stride];
        if (!(v >= low && v <= high)) return false;  // NaN fails both
    }
    return true;
}

}  // namespace

bool CalibrationInRange(const CalibrationPoint* curve) {
    return AllWithin(&curve[0].Db, kGridPoints, kDriverLevelLowDb, kDriverLevelHighDb, 2) &&
           AllWithin(&curve[0].Degrees, kGridPoints, -kDriverPhaseLimit, kDriverPhaseLimit, 2);
}

bool DriverCurvesInRange(const DriverRecord& r) {
    return AllWithin(r.Spl, kGridPoints, kDriverLevelLowDb, kDriverLevelHighDb) &&
           AllWithin(r.Phase, kGridPoints, -kDriverPhaseLimit, kDriverPhaseLimit) &&
           AllWithin(r.HbtReal, kGridPoints, -kDriverFileResponseLimit, kDriverFileResponseLimit) &&
           AllWithin(r.HbtImag, kGridPoints, -kDriverFileResponseLimit, kDriverFileResponseLimit) &&
           CalibrationInRange(r.MikeCalibration) && CalibrationInRange(r.PreampCalibration);
}

}  // namespace shell
