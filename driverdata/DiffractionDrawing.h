// The painters of the diffraction calculator: the baffle canvas of the dialog (raster, outline,
// edge elements, driver pictures with their piston sample points, microphone), the sketch of
// the edge profile, and the SPL / phase / power plot of the Diffraction_Child window.
// Each takes a window (or a device context), draws with the shell's GDI objects and releases
// what it made. GUI thread only.
#pragma once

#include "platform/Types.h"

namespace driverdata {

// Canvas mapping: raster point (u, v) lies at x = 4u + 4, y = 468 - 4v (y up).
inline int CanvasX(float u) { return static_cast<int>(4.0f * u + 4.0f); }
inline int CanvasY(float v) { return static_cast<int>(468.0f - 4.0f * v); }

void ClearBaffleCanvas(platform::HWND canvas);
void DrawBaffleScene(platform::HWND canvas);
void DrawBaffleEdgeElements(platform::HWND canvas);
void DrawEdgeProfileSketch(platform::HWND sketch);

// The whole plot into `hdc` of a client width x height: frame, grid, labels, curves.
void PaintDiffractionPlot(platform::HDC hdc, int width, int height);
// The visible curves of shell::DiffractionCurveTable and their legends.
void DrawDiffractionCurves(platform::HDC hdc, int width, int height);

// Fills DiffractionFrequencyGrid for the plot range on a plot `width` pixels wide:
// fstart (fstop / fstart)^((k + 1) / 2000).
void BuildDiffractionFrequencyGrid(int width);

// The perspective picture of a driver (style 1): its rings at scale `scale` [pixels], projected
// around (cx, cy) from `distance`, with the angles in degrees.
void DrawDriverWireframe(platform::HDC hdc, float scale, float a, float b, float c, int cx, int cy,
                         float distance);

}  // namespace driverdata
