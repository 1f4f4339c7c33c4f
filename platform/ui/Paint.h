// Painting windows: every window and custom-drawn control keeps a backing image, and device
// contexts from BeginPaint and GetDC draw into it; the screen only shows it. UI thread only.
#pragma once

#include "platform/Types.h"

namespace platform {

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;   // TRUE when the background still needs erasing (WM_ERASEBKGND returned 0)
    RECT rcPaint;  // the invalid region being painted (client coordinates)
};

// Takes the window's invalid region, erases it with the class background (through
// WM_ERASEBKGND) when the invalidation asked for it, validates it and returns a device context
// clipped to it. Invalidations made before BeginPaint widen the region painted.
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);

// A device context over the whole client area; what it draws shows at once and stays until the
// next erase.
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc);

// Marks `rect` (0 = the whole client area) for painting, with or without erasing. The loop sends
// WM_PAINT when no posted message or due timer is waiting.
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
// Sends WM_PAINT now when the window has an invalid region.
BOOL UpdateWindow(HWND hwnd);
BOOL GetUpdateRect(HWND hwnd, RECT* out, BOOL erase);

}  // namespace platform
