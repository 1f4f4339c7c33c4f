// Timers keyed by window and identifier, on the layer's clock (virtual in tests).
// UI thread only.
#pragma once

#include "platform/Types.h"

namespace platform {

using TIMERPROC = void (*)(HWND hwnd, UINT message, UINT_PTR id, DWORD time);

// Starts timer `id` of `hwnd` with period `ms` (at least 1); setting an existing id restarts it.
// WM_TIMER (wParam = id) comes from the loop when it falls due, at most once per period (missed
// periods are not queued). With `proc` the loop calls it instead of the window procedure.
// Returns the id, or 0 for a stale window. A window's timers die with it.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT ms, TIMERPROC proc = nullptr);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

}  // namespace platform
