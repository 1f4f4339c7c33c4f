// What every frequency plot of the program draws alike: the logarithmic frequency axis of the
// plot range, its dotted grid and labels, curve pens from a curve record's pen fields, and curve
// points kept on the plot area. The plot area of a client of width W and height H runs from
// x = 60 to W - 20 and from y = 19 to H - 21, with 18 rows of (H - 40) / 18 pixels. UI thread.
#pragma once

#include "platform/Types.h"

namespace shell {

// The plot range in Hz from PlotStartFrequencyIndex / PlotStopFrequencyIndex (an index outside
// 0..7 gives 10 Hz / 50 kHz).
double PlotStartFrequency();
double PlotStopFrequency();

struct FrequencyAxis {
    double a;  // pixels per decade
    double b;
    double x(double f) const;
};
// The axis of the plot range on a client `width` pixels wide.
FrequencyAxis MakeFrequencyAxis(int width);

// Height of one of the 18 rows.
double PlotRowStep(int height);

// The dotted green grid: 17 rows and a line at every 1, 2, .. 9 times a power of ten.
void DrawPlotGrid(platform::HDC hdc, int width, int height);
// Frequency labels under the plot area ("20", "1k", ...) and "Hz", in the selected font. The
// labels run up to the stop frequency; `through_stop` labels the stop frequency itself too
// (where it is a labelled one: 1k, 2k, 10k, 20k), as the grid lines do.
void DrawFrequencyLabels(platform::HDC hdc, int width, int height, bool through_stop = false);

// Labels placed along a line never run into each other. Evenly spaced labels are thinned to
// every second, fourth, ... one: LabelStride gives the smallest such stride at which labels
// `spacing` pixels apart leave `needed` pixels for each (1 when they already fit).
int LabelStride(double spacing, int needed);

// Labels along a horizontal axis in the context's current font, left to right: a label is drawn
// only when its text keeps a gap from the one drawn before it, stays left of `right_limit` (where
// the axis' unit text begins) and starts at or right of `left_limit`. Unevenly spaced labels (a
// logarithmic axis) thin out where they crowd.
class AxisLabelRow {
  public:
    AxisLabelRow(platform::HDC hdc, int y, int left_limit, int right_limit)
        : hdc_(hdc), y_(y), left_(left_limit), right_(right_limit) {}
    // Draws `text` with its left edge at x unless it would meet a neighbour; whether it did.
    bool Draw(int x, const char* text);

  private:
    platform::HDC hdc_;
    int y_;
    int left_;
    int right_;
    int last_end_ = -1000000;
};

// The width of `text` in the context's current font.
int TextWidth(platform::HDC hdc, const char* text);

// A pen from a curve record's pen fields (style below 2 solid, 2 dotted, 3 dashed); the caller
// deletes it.
platform::HPEN CreateCurvePen(const float* curve);
// A curve's y kept on the plot area; a value that is not a number lies on the bottom edge.
int ClampedCurveY(double y, int height);

}  // namespace shell
