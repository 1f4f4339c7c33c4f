#include "driverdata/HbtTails.h"

namespace driverdata {

float HbtPointsPerOctave(float fstart, float fstop) {
    float f = fstart;
    int n = 0;
    while (2.0f * f <= fstop) {
        f = 2.0f * f;
        ++n;
    }
    const float octaves = static_cast<float>(n) + (fstop - f) / f;
    return 2000.0f / octaves;
}

float ClampTail(double typed, float fstart, float fstop) {
    float v = static_cast<float>(typed);
    const float lowest = static_cast<float>(1.02 * fstart);
    const float highest = static_cast<float>(0.98 * fstop);
    if (!(v >= lowest)) v = lowest;
    if (highest < v) v = highest;
    return v;
}

int TailIndex(const float* grid, int points, float v) {
    for (int j = 0; j < points; ++j) {
        if (grid[j] > v) return j == 0 ? 0 : j - 1;
    }
    return points - 1;
}

}  // namespace driverdata
