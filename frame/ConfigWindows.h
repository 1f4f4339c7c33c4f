// The four configuration windows (Home Theatre, Stereo, Quadro, 5.2 BBM) that tile the channel
// panes between draggable bars, the SPL plot window and the pane classes' procedures. UI thread
// only.
#pragma once

#include "platform/Types.h"
#include "shell/PreferencesRecord.h"

namespace frame {

platform::LRESULT SplPlottingWndProc(platform::HWND hwnd, platform::UINT message,
                                     platform::WPARAM wParam, platform::LPARAM lParam);
platform::LRESULT SplitterWndProc(platform::HWND hwnd, platform::UINT message,
                                  platform::WPARAM wParam, platform::LPARAM lParam);
platform::LRESULT Splitter1WndProc(platform::HWND hwnd, platform::UINT message,
                                   platform::WPARAM wParam, platform::LPARAM lParam);
platform::LRESULT Splitter2WndProc(platform::HWND hwnd, platform::UINT message,
                                   platform::WPARAM wParam, platform::LPARAM lParam);
platform::LRESULT Splitter3WndProc(platform::HWND hwnd, platform::UINT message,
                                   platform::WPARAM wParam, platform::LPARAM lParam);

// The procedure of class "Pane k" (k = 1..7): the network editor's pane procedure; on
// WM_DESTROY the pane's PaneWindows entry is cleared only when it still names this window, so an
// older copy of a pane never clears the live one's entry.
platform::WNDPROC PaneClassProcedure(int pane);

// Bar positions of the configuration window of a class, as laid out last (client pixels):
// vertical bars in x1, x2 (x2 = x1 for two-column windows), the horizontal bar in y (0 when the
// window has none). False when that window is not open.
struct ConfigBars {
    int x1;
    int x2;
    int y;
};
bool CurrentConfigBars(platform::HWND window, ConfigBars* bars);

// Grows the Stereo window, when open, until Front-Left's and Front-Right's panes each show
// their whole network with its labels: the bar moves right by what the left pane lacks, the
// window widens (and heightens) by what the panes lack, as far as the frame's client area has
// room; the window moves left or up only as far as it must to stay inside. The new size and bar
// are kept in their placement slots. True when the window changed.
bool FitStereoWindowToNetworks();

// Narrowest gap between the two vertical bars of a three-column window.
inline constexpr int kMinBarGap = 8;
// Bars keep this far from the client edges when the window is wide enough.
inline constexpr int kBarMargin = 50;

}  // namespace frame
