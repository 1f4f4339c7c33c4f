// The Pen Colours window (class "PenColour_Child"): the graph colour scheme's entries 2 to 19 on
// a page of their own, edited as in the System-Wide Preferences window and left through the
// close box. UI thread only.
#pragma once

#include "platform/Types.h"

namespace frame {

inline constexpr const char* kPenColourTitle = "Pen Colours";

// The window procedure of class "PenColour_Child". It creates its controls on WM_CREATE.
platform::LRESULT PenColourChildWndProc(platform::HWND window, platform::UINT message,
                                        platform::WPARAM wParam, platform::LPARAM lParam);

// Creates the colour controls of `window` (does nothing when they exist); returns 0.
int CreatePenColourControls(platform::HWND window);

// Draws the page and brings the controls up to date; returns 0.
int PaintPenColour(platform::HWND window, platform::HDC dc);

// One WM_COMMAND or WM_HSCROLL of the window's colour controls; returns 0.
int OnPenColourCommand(platform::HWND window, platform::HDC dc, platform::UINT message,
                       platform::WPARAM wParam, platform::LPARAM lParam);

}  // namespace frame
