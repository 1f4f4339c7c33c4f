// The plot of the HBT editor window (Editor_Child): its frame, grid and labels, the driver's SPL
// and measured phase and the HBT amplitude and phase, and the geometry every drawing and hit
// test of the window shares. UI thread only.
#pragma once

#include "platform/Types.h"

namespace driverdata {

// Geometry of a client W x H: the plot area spans x = 60 .. W - 20 and y = 20 .. H - 20, 18
// divisions of d = (H - 40) / 18 pixels; level 5 dB a division with 125 dB at the top, phase
// 20 degrees a division with 0 on the middle line; curve point k at x = 60 + k (W - 80) / 2000.
struct HbtPlot {
    int w = 0;
    int h = 0;
    double d = 0.0;

    // A client of width 80 or height 40 or less has no plot area: nothing is edited on it and
    // the frequency grid is not rebuilt from it.
    bool Empty() const { return w <= 80 || h <= 40; }
    double LevelY(double level) const { return (90.0 - level) * 0.2 * d + 20.0 + 7.0 * d; }
    double PhaseY(double degrees) const { return -0.05 * d * degrees + 20.0 + 9.0 * d; }
    double PointX(int k) const { return k * 0.0005 * (w - 80) + 60.0; }
    // The editable area: 60 <= x < W - 19 and 20 <= y < H - 20 (never on an empty plot).
    bool Editable(int x, int y) const;
    // The bin under pixel x, kept to 0 .. 1999 (the area's right edge lies on bin 2000).
    int BinAt(int x) const;
    // The level under pixel y: 125 - 5 (y - 20) / d.
    float LevelAt(int y) const;
};

HbtPlot HbtPlotOf(int width, int height);

// Frame, grid, middle line, title and labels; rebuilds FrequencyGrid and FrequencyGridPixels
// from the width unless the plot is empty.
void DrawHbtPlotFrame(platform::HDC hdc, int width, int height);
// The whole window: the frame, the SPL, the measured phase when ShowReferencePhase is 1, and the
// HBT amplitude (efficiency added back) and phase.
void PaintHbtEditor(platform::HDC hdc, int width, int height);
// Refresh: the frame with the SPL and the measured phase only (CurveKind back to SPL).
void RedrawHbtCurves(platform::HDC hdc, int width, int height);
// A 2000-point level curve in dB as one polyline with `pen`, kept on the plot area.
void DrawHbtLevelCurve(platform::HDC hdc, const HbtPlot& plot, const float* levels,
                       platform::HPEN pen);

}  // namespace driverdata
