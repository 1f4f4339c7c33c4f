// The command side of the frame: the main-menu commands behind the busy gate, the player
// dialog's opener and where tool dialogs open. The openers and closers of the MDI children that
// the subsystems share are in shell/FrameWindows.h. UI thread only.
#pragma once

#include "platform/Types.h"
#include "shell/FrameWindows.h"

namespace frame {

// WM_COMMAND of the frame. Returns what the frame procedure returns.
platform::LRESULT FrameCommand(platform::HWND frame, platform::WPARAM wParam,
                               platform::LPARAM lParam);

// Creates the player dialog unless it exists (owned by `owner`, at its placement, 232 x 688).
// Returns the dialog, or 0 when it could not be created.
platform::HWND CreatePlayerDialog(platform::HWND owner);
// CreatePlayerDialog, then the SPL plot window invalidated and raised (opened when closed).
int ShowComponentCADSelection(platform::HWND owner);

// Where a tool dialog of `width` x `height` (outer size) opens, given its stored top-left corner,
// the screen rectangles of its plot windows' client areas and the work area: the stored corner
// when the dialog covers at most a fiftieth of the plots; otherwise, of the stored corner kept
// inside the work area and the places right of, below, left of and above the plots, the one that
// covers the least of them (nearest the stored corner on a tie). A dialog larger than the work area
// stays.
platform::POINT PlaceToolDialog(platform::POINT stored, int width, int height,
                                const platform::RECT* plots, int plot_count,
                                const platform::RECT& work);

}  // namespace frame
