#include "shell/FrequencyGrid.h"

#include <cmath>

#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"

namespace shell {

float FrequencyGrid[kGridPoints];
float ExtendedFrequencyGrid[kExtendedGridPoints];

const float kPlotStartFrequencies[kPlotRangeCount] = {1, 2, 5, 10, 20, 50, 100, 200};
const float kPlotStopFrequencies[kPlotRangeCount] = {500,   1000,  2000,  5000,
                                                     10000, 20000, 50000, 100000};

void BuildFrequencyGrids(int start_index, int stop_index) {
    // A damaged preferences file is the only source of an index outside the lists.
    if (start_index < 0 || start_index >= kPlotRangeCount) start_index = kDefaultPlotStartIndex;
    if (stop_index < 0 || stop_index >= kPlotRangeCount) stop_index = kDefaultPlotStopIndex;
    const float fstart = kPlotStartFrequencies[start_index];
    const float fstop = kPlotStopFrequencies[stop_index];

    // Points per decade and the offset, both held in single precision as the plots expect.
    const float a = static_cast<float>(2000.0 / std::log10(static_cast<double>(fstop / fstart)));
    const float b = static_cast<float>(60.0 - static_cast<double>(a) * std::log10(fstart));
    float x = 59.0f;
    for (int k = 0; k < kGridPoints; ++k) {
        x += 1.0f;
        FrequencyGrid[k] = static_cast<float>(
            std::pow(10.0, (static_cast<double>(x) - b) / static_cast<double>(a)));
    }

    const float b_ext = static_cast<float>(350.0 - static_cast<double>(a) * std::log10(fstart));
    float xe = 0.0f;
    for (int j = 0; j < kExtendedGridPoints; ++j) {
        xe += 1.0f;
        ExtendedFrequencyGrid[j] = static_cast<float>(
            std::pow(10.0, (static_cast<double>(xe) - b_ext) / static_cast<double>(a)));
    }

    if (WorkResponsePairs != nullptr) {
        for (int k = 0; k < kGridPoints; ++k) WorkResponsePairs[k] = ComplexPoint{0.0f, 0.0f};
    }
}

void BuildFrequencyGrids() { BuildFrequencyGrids(PlotStartFrequencyIndex, PlotStopFrequencyIndex); }

}  // namespace shell
