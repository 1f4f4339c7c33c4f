// The seven channel panes' window procedures: one procedure in seven copies that differ only in
// the pane number. While its pane is active a pane edits the WorkingNetwork with the toolbox's
// tool (Draw: place palette elements and draw wires; Move; Wipe Comp; Wipe Wire), a right click
// activates the pane and opens the element's dialog, and every edit ends with a save of the
// working network into the pane's store. UI thread only.
#pragma once

#include "platform/Types.h"
#include "platform/ui/Messages.h"

namespace network {

// Sent by a pane to its parent (the configuration window) when a right click asks for the dialog
// of an element whose procedure lives above the network editor: the output port's (its Done
// computes the correction with the solver) and the room equalizer's (the measurement tool).
// wParam: the element kind; lParam: the pane's handle. The parent returns 1 when it ran the
// dialog modally (owner: the pane), 0 when it has none; the pane then saves its store.
inline constexpr platform::UINT kOpenElementDialogMessage = platform::WM_USER + 1;

// Window procedures of the classes "Pane 1" .. "Pane 7" (register them with CS_DBLCLKS).
platform::LRESULT Pane1WndProc(platform::HWND, platform::UINT, platform::WPARAM, platform::LPARAM);
platform::LRESULT Pane2WndProc(platform::HWND, platform::UINT, platform::WPARAM, platform::LPARAM);
platform::LRESULT Pane3WndProc(platform::HWND, platform::UINT, platform::WPARAM, platform::LPARAM);
platform::LRESULT Pane4WndProc(platform::HWND, platform::UINT, platform::WPARAM, platform::LPARAM);
platform::LRESULT Pane5WndProc(platform::HWND, platform::UINT, platform::WPARAM, platform::LPARAM);
platform::LRESULT Pane6WndProc(platform::HWND, platform::UINT, platform::WPARAM, platform::LPARAM);
platform::LRESULT Pane7WndProc(platform::HWND, platform::UINT, platform::WPARAM, platform::LPARAM);

// The procedure of pane k (1..7), or null.
platform::WNDPROC PaneWndProcFor(int pane);

// Registers the classes "Pane 1" .. "Pane 7" (double clicks, white background). Returns 0 when
// all seven were registered.
int RegisterPaneClasses(platform::HINSTANCE instance);

// A client coordinate on the editor's 10-pixel grid, halves rounded up.
int SnapToGrid(int v);

// The element at a snapped point: the first slot 0..ElementCount-1 of the WorkingNetwork that
// lies on it (horizontal or vertical elements over their length, point elements exactly), or -1.
int ElementAt(int x, int y);
// Whether a double click at a snapped point hits a wire as it is drawn: across at y1 from x1 to
// x2, then down at x2 from y1 to y2 (either order).
bool WireHit(int w, int x, int y);

// Caption of pane k's message boxes ("Splitter W1", pane 7 "Splitter W7").
const char* PaneCaption(int pane);

// Forgets any drag in progress (tests and a fresh start).
void ResetPaneDragState();

}  // namespace network
