// The seam between windows (ui/) and drawing (gdi/). Every window and every custom-drawn control
// keeps a 32-bit backing image; device contexts draw into it and the widget only shows it.
// Only platform/ includes this header.
#pragma once

#include <QImage>
#include <vector>

#include "platform/Types.h"

namespace platform::internal {

// --- offered by ui/ ---

// The backing image of a window or custom-drawn control (Format_RGB32, client size), or nullptr
// for 0, a destroyed window, or a window without one.
QImage* WindowImage(HWND hwnd);

// Drawing changed the backing image of `hwnd`: schedule the widget to show it.
void ImageChanged(HWND hwnd);

// Where a window's client area lies on the screen, in pixels (for composing window images).
bool ClientRectOnScreen(HWND hwnd, RECT* out);

// The visible top-level windows owned by `owner` (modeless dialogs), in stacking order from the
// bottom up, for composing a window image that shows what the user sees.
std::vector<HWND> VisibleOwnedWindows(HWND owner);

// --- offered by gdi/ ---

// A device context over `image` for `hwnd`, clipped to `clip` (client coordinates), with the
// defaults of a fresh context. Destroyed by DestroySurfaceDC. Returns 0 on failure.
HDC CreateSurfaceDC(HWND hwnd, QImage* image, const RECT& clip);
void DestroySurfaceDC(HDC hdc);

// The colour of a solid brush (for backgrounds and WM_CTLCOLORSTATIC answers).
bool BrushColour(HBRUSH brush, COLORREF* out);

}  // namespace platform::internal
