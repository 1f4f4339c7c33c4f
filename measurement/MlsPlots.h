// Painting of the two MLS views: the frequency-domain pages of MLS_SPL_Child (mode 0 the measured
// SPL and phase, 1 the calibration curves, 2 the post-processing buffers), which rebuild the
// shared FrequencyGrid from their pixel span on every paint, and the impulse view MLS_IMP_Child
// with its time and amplitude zoom, scrolling, gating window, start-bin cursor and the
// acoustical distance the start bin means. Also the pages' read-out and click-to-copy. UI thread.
#pragma once

#include <cstdint>

#include "platform/Types.h"

namespace measurement {

// Geometry of the views (set by their WM_SIZE): the plot pages draw in MlsSplPlotWidth x
// MlsSplPlotHeight, the impulse view in its client MlsImpClientWidth x MlsImpClientHeight.
extern std::int32_t MlsSplPlotWidth;
extern std::int32_t MlsSplPlotHeight;
extern std::int32_t MlsImpClientWidth;
extern std::int32_t MlsImpClientHeight;
// Which span of the impulse is visible (0..20), and the x of the cursor line last drawn.
extern std::int32_t MlsImpScrollPosition;
extern std::int32_t MlsImpCursorX;
// Copy slots used (MeasuredCurveTable 105..124), and the picked candidate of each page.
extern std::int32_t MlsCopyCount;
extern std::int32_t MlsSplPickedCurve;
extern std::int32_t MlsCalPickedCurve;
extern std::int32_t MlsPostPickedBuffer;

inline constexpr int kMlsScrollMax = 20;
// Largest impulse start bin: the end of the last visible span.
inline constexpr int kMlsImpulseStartMax = 2000 * (kMlsScrollMax + 1);

// The visible span of the impulse view in samples: 2000 / 2^MlsTimeZoomIndex.
int MlsImpSpan();
// 2^MlsTimeZoomIndex (the zoom index kept within 0..3).
int MlsTimeZoom();
// Keeps MlsImpulseStart within 0..kMlsImpulseStartMax.
void ClampMlsImpulseStart();

// FrequencyGrid as the frequency-domain pages draw it, from their pixel span; false (nothing
// changes) while they are too narrow for an axis. A curve computed for those pages is computed on
// this grid, so that it is shown at the frequencies it was computed for.
bool BuildMlsSplGrid();

void DrawMlsSplFrame(platform::HDC hdc, int mode);
void DrawMlsSplCurves(platform::HDC hdc, int mode);
void DrawMlsImpulseFrame(platform::HDC hdc);
void DrawMlsImpulseCurves(platform::HDC hdc);
void DrawAcousticalDistance(platform::HDC hdc);
// Refills MeasuredCurveTable 20..22 for the visible span and invalidates the impulse view.
void RefreshMlsImpulseCurves();

// Titles: "MLS Frequency Domain  <mike calibration file>"; the impulse view's read-out, with
// `blank` the form with a blank after "Scroll".
void SetMlsSplTitle();
void SetMlsImpTitle(bool blank);

// Mouse of the plot pages (mode 0, 1, 2): the read-out in the title, and the click-to-copy.
void MlsSplMouseMove(int mode, platform::LPARAM lparam);
void MlsSplClick(platform::HWND page, int mode, platform::LPARAM lparam);

}  // namespace measurement
