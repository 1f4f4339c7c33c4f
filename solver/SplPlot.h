// The SPL and phase plot: the content of the SPL_Plotting window, a log-frequency grid with a dB
// axis and a phase axis, the active channel's name, and every visible curve of SystemCurveTable
// with its pen and legend. Stateless: every paint recomputes everything from the tables.
#pragma once

#include "platform/Types.h"

namespace solver {

// Paints the frame into `hdc` (client size width x height), sets the window title of `window`
// (when not 0), draws the channel name, then calls DrawSplPhaseCurves. Returns 0. Every object it
// selects is restored; afterwards the background mode is opaque and the text colour black.
int DrawSplPhaseFrame(platform::HDC hdc, int width, int height, platform::HWND window);

// Draws the visible curves and their legends. Returns 0.
int DrawSplPhaseCurves(platform::HDC hdc, int width, int height);

// The window title for the current output layout.
const char* SplPlotTitle();

// The name of channel pane 1..7 ("Front-Left" .. "Subwoofer 2"); "No Channel Selected" else.
const char* ChannelName(int pane);

// dB per grid row from SplScaleStepText: its integer part, or 5 when that is below 1.
int SplScaleStep();

// Plot range in Hz from the plot-range indices (an index outside 0..7 gives 10 Hz / 50 kHz).
double SplPlotStartFrequency();
double SplPlotStopFrequency();

}  // namespace solver
