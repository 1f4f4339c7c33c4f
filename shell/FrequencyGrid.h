// The shared logarithmic frequency axes. FrequencyGrid: 2000 frequencies in Hz from the plot
// start frequency to one step below the stop frequency. ExtendedFrequencyGrid: 2700 points of the
// same spacing; its point k + 349 is FrequencyGrid point k.
#pragma once

#include <cstdint>

#include "shell/Curves.h"

namespace shell {

extern float FrequencyGrid[kGridPoints];
extern float ExtendedFrequencyGrid[kExtendedGridPoints];

inline constexpr int kPlotRangeCount = 8;
extern const float kPlotStartFrequencies[kPlotRangeCount];  // 1, 2, 5, 10, 20, 50, 100, 200 Hz
extern const float kPlotStopFrequencies[kPlotRangeCount];   // 500 Hz .. 100 kHz
inline constexpr int kDefaultPlotStartIndex = 3;            // 10 Hz
inline constexpr int kDefaultPlotStopIndex = 6;             // 50 kHz

// Builds both grids from the two plot-range indices (an index outside 0..7 counts as its
// default, 10 Hz or 50 kHz) and clears WorkResponsePairs when it is allocated.
void BuildFrequencyGrids(int start_index, int stop_index);

// The same from PlotStartFrequencyIndex and PlotStopFrequencyIndex.
void BuildFrequencyGrids();

}  // namespace shell
