#include "shell/FrequencyGrid.h"

#include <cmath>

#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"

namespace shell {

float FrequencyGrid[kGridPoints];
float ExtendedFrequencyGrid[kExtendedGridPoints];
std::int32_t FrequencyGridPixels[kGridPoints];

const float kPlotStartFrequencies[kPlotRangeCount] = {1, 2, 5, 10, 20, 50, 100, 200};
const float kPlotStopFrequencies[kPlotRangeCount] = {500,   1000,  2000,  5000,
                                                     10000, 20000, 50000, 100000};

namespace {

struct PlotRange {
    float fstart;
    float fstop;
    float a;  // grid points per decade, held in single precision as the plots expect
};

PlotRange RangeOf(int start_index, int stop_index) {
    // A damaged preferences file is the only source of an index outside the lists.
    if (start_index < 0 || start_index >= kPlotRangeCount) start_index = kDefaultPlotStartIndex;
    if (stop_index < 0 || stop_index >= kPlotRangeCount) stop_index = kDefaultPlotStopIndex;
    PlotRange r;
    r.fstart = kPlotStartFrequencies[start_index];
    r.fstop = kPlotStopFrequencies[stop_index];
    r.a = static_cast<float>(2000.0 / std::log10(static_cast<double>(r.fstop / r.fstart)));
    return r;
}

void FillExtendedGrid(const PlotRange& r) {
    const float b_ext = static_cast<float>(350.0 - static_cast<double>(r.a) * std::log10(r.fstart));
    float xe = 0.0f;
    for (int j = 0; j < kExtendedGridPoints; ++j) {
        xe += 1.0f;
        ExtendedFrequencyGrid[j] = static_cast<float>(
            std::pow(10.0, (static_cast<double>(xe) - b_ext) / static_cast<double>(r.a)));
    }
}

}  // namespace

void BuildFrequencyGrids(int start_index, int stop_index) {
    const PlotRange r = RangeOf(start_index, stop_index);
    // Points per decade and the offset, both held in single precision as the plots expect.
    const float a = r.a;
    const float b = static_cast<float>(60.0 - static_cast<double>(a) * std::log10(r.fstart));
    float x = 59.0f;
    for (int k = 0; k < kGridPoints; ++k) {
        x += 1.0f;
        FrequencyGrid[k] = static_cast<float>(
            std::pow(10.0, (static_cast<double>(x) - b) / static_cast<double>(a)));
    }

    FillExtendedGrid(r);

    if (WorkResponsePairs != nullptr) {
        for (int k = 0; k < kGridPoints; ++k) WorkResponsePairs[k] = ComplexPoint{0.0f, 0.0f};
    }
}

void BuildFrequencyGrids() { BuildFrequencyGrids(PlotStartFrequencyIndex, PlotStopFrequencyIndex); }

void BuildExtendedFrequencyGrid() {
    FillExtendedGrid(RangeOf(PlotStartFrequencyIndex, PlotStopFrequencyIndex));
}

bool BuildPlotFrequencyGrid(int width) {
    if (width <= 80) return false;
    const PlotRange r = RangeOf(PlotStartFrequencyIndex, PlotStopFrequencyIndex);
    // Pixels per decade and the offset of the plot's axis, in single precision.
    const float a =
        static_cast<float>((width - 80) / std::log10(static_cast<double>(r.fstop / r.fstart)));
    const float b = static_cast<float>(60.0 - static_cast<double>(a) * std::log10(r.fstart));
    const double step = 0.0005 * (width - 80);
    float x = 60.0f;
    for (int k = 0; k < kGridPoints; ++k) {
        x = static_cast<float>(x + step);
        FrequencyGrid[k] = static_cast<float>(
            std::pow(10.0, (static_cast<double>(x) - b) / static_cast<double>(a)));
        FrequencyGridPixels[k] = static_cast<std::int32_t>(x);
    }
    return true;
}

}  // namespace shell
