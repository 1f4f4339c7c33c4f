// The room equalizer's panes: impulse, SPL/phase and excess group delay, the six location marks
// and the two-column input meter, each painted through its control's device context; and the
// mapping of the pointer over the frequency panes to a room-grid point.
#pragma once

#include "platform/Types.h"

namespace measurement {

// Plot sizes (pixels). The widths hold whatever the controls' real sizes; a pane is drawn at
// its control's own height (PaneHeight), so that its axes and labels show whole in it, and at
// the height given here when it has none.
inline constexpr int kImpulsePlotW = 800, kImpulsePlotH = 200;
inline constexpr int kSplPlotW = 800, kSplPlotH = 360;
inline constexpr int kDelayPlotW = 800, kDelayPlotH = 200;
// Room-grid points drawn on the frequency panes (10.04 Hz .. 279.4 Hz).
inline constexpr int kRoomEqDrawnPoints = 782;

int DrawRoomEQImpulsePlot(platform::HDC hdc);
int DrawRoomEQImpulseCurves(platform::HDC hdc);
int DrawRoomEQSplPlot(platform::HDC hdc);
int DrawRoomEQSplCurves(platform::HDC hdc);
int DrawRoomEQGroupDelayPlot(platform::HDC hdc);
int DrawRoomEQGroupDelayCurve(platform::HDC hdc);
int DrawRoomEQLocationMarks(platform::HDC hdc);
// The two-column input meter of the MLS page (measured left, reference right; 18 segments, one
// per 2 level units) fitted into a control of width x height pixels.
int DrawRoomEqLevelMeter(platform::HDC hdc, int width, int height, float in_level, float ref_level);

// The height a pane is drawn at: the client height of `pane` when it has one of more than 40
// pixels, else `design`.
int PaneHeight(platform::HWND pane, int design);

// The room-grid point under pane pixel column x (0 <= i <= 782), or -1.
int RoomEqPointAt(int x);

}  // namespace measurement
