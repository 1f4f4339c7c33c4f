// The command side of the frame: the main-menu commands behind the busy gate, the openers of the
// MDI children, the three group closers, the player dialog's opener and the clipboard copy.
// UI thread only.
#pragma once

#include "platform/Types.h"

namespace shell {

// WM_COMMAND of the frame. Returns what the frame procedure returns.
platform::LRESULT FrameCommand(platform::HWND frame, platform::WPARAM wParam,
                               platform::LPARAM lParam);

// MDI children (each creates unconditionally; callers test the handle first).
platform::HWND OpenSplPlotting();
platform::HWND OpenHomeTheatreConfig();
platform::HWND OpenStereoConfig();
platform::HWND OpenQuadroConfig();
platform::HWND OpenBbmConfig();
platform::HWND OpenEditorChild();
platform::HWND OpenDiffractionChild();
platform::HWND OpenPenColourChild();
platform::HWND OpenPreferencesChild();
platform::HWND OpenMlsImpChild();
platform::HWND OpenMlsSplChild();

// Opens the configuration window of a SystemConfiguration (0 Stereo, 1 Home Theatre, 2 Quadro,
// 3 5.2 BBM) unless it is open; another value opens none. Returns the window or 0.
platform::HWND OpenConfigurationWindow(int system_configuration);

// Tool group: MLS views and dialog, diffraction window and dialog, HBT editor window and dialog.
int CloseEditorWindows();
// System group: the player dialog, the SPL plot window and the four configuration windows.
int CloseSystemWindows();
// Settings group: the preferences and pen-colour windows.
int CloseSettingsWindows();

// Creates the player dialog unless it exists (owned by `owner`, at its placement, 232 x 688).
// Returns the dialog or 0 when there is none in this build.
platform::HWND CreatePlayerDialog(platform::HWND owner);
// CreatePlayerDialog, then the SPL plot window invalidated and raised (opened when closed).
int ShowComponentCADSelection(platform::HWND owner);
// Sets the player's check boxes "Use HBT Data", "SPL Only EQ" and "Wide Window" from the project.
void SetPlayerCheckBoxes();

// Where a tool dialog of `width` x `height` (outer size) opens, given its stored top-left corner,
// the screen rectangles of its plot windows' client areas and the work area: the stored corner
// when the dialog covers at most a fiftieth of the plots; otherwise, of the stored corner kept inside the work
// area and the places right of, below, left of and above the plots, the one that covers the
// least of them (nearest the stored corner on a tie). A dialog larger than the work area stays.
platform::POINT PlaceToolDialog(platform::POINT stored, int width, int height,
                                const platform::RECT* plots, int plot_count,
                                const platform::RECT& work);

// Copies the window's client area to the clipboard as a bitmap and says whether it worked.
// Returns 1 when copied, 0 when not.
int CopyWindowToClipboard(platform::HWND window);

// Frame title := base title + " - " + path.
void SetFrameTitleWithPath(const char* path);

// What follows every successful project load, whichever road loaded it: no active pane and the
// Draw tool, so no edit of a pane can write the previous network over the loaded one.
void DeactivatePanesAfterLoad();

}  // namespace shell
