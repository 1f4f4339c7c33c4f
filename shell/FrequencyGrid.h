// The shared logarithmic frequency axes. FrequencyGrid: 2000 frequencies in Hz from the plot
// start frequency to one step below the stop frequency. ExtendedFrequencyGrid: 2700 points of the
// same spacing; its point k + 349 is FrequencyGrid point k. A plot that rebuilds FrequencyGrid
// from its own pixel span (BuildPlotFrequencyGrid) moves it one step up: its point k is then
// ExtendedFrequencyGrid point k + 350, and FrequencyGridPixels holds each point's pixel column.
#pragma once

#include <cstdint>

#include "shell/Curves.h"

namespace shell {

extern float FrequencyGrid[kGridPoints];
extern float ExtendedFrequencyGrid[kExtendedGridPoints];
// Pixel column of each FrequencyGrid point on the plot that last rebuilt the grid.
extern std::int32_t FrequencyGridPixels[kGridPoints];

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

// ExtendedFrequencyGrid alone, from PlotStartFrequencyIndex and PlotStopFrequencyIndex.
void BuildExtendedFrequencyGrid();

// FrequencyGrid and FrequencyGridPixels from the plot range on a plot whose area runs from
// x = 60 to width - 20: x starts at 60 and takes 2000 steps of (width - 80) / 2000, summed in
// single precision; point k lies at the frequency under the pixel x reached after k + 1 steps
// (the first one step above the start frequency, the last at the stop frequency). A width of 80
// or less has no axis: nothing changes and the result is false.
bool BuildPlotFrequencyGrid(int width);

}  // namespace shell
