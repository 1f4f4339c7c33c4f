// Window management that the frame and the subsystems share: the MDI-child openers (each creates
// a window of a class that the frame registers at start-up), the three group closers, the
// player's check boxes, the frame title, placement bookkeeping of MDI children, the messages
// every settings-style child handles alike, the clipboard copy and paths in the program
// directory. UI thread only.
#pragma once

#include <cstddef>

#include "platform/Types.h"
#include "shell/PreferencesRecord.h"

namespace shell {

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

// Sets the player's check boxes "Use HBT Data", "SPL Only EQ" and "Wide Window" from the project.
void SetPlayerCheckBoxes();

// Copies the window's client area to the clipboard as a bitmap and says whether it worked.
// Returns 1 when copied, 0 when not.
int CopyWindowToClipboard(platform::HWND window);

// Frame title := base title + " - " + path.
void SetFrameTitleWithPath(const char* path);

// Placement bookkeeping of an MDI child: WM_MOVE's client position (unsigned 16-bit words) and
// the client size, into the slot.
void NotePlacementMove(WindowPlacement& slot, platform::LPARAM lParam);
void NotePlacementSize(WindowPlacement& slot, int client_width, int client_height);

// The messages the settings windows (System-Wide Preferences, Pen Colours) and the diffraction
// plot handle alike: background erase, copy to the clipboard on a right click, placement notes
// on move and size (re-setting the caption `title`), forgetting `child_window` on destroy;
// anything else goes to the MDI default. `placement` is the window's WindowPlacements slot.
platform::LRESULT PageChildMessage(platform::HWND window, platform::UINT message,
                                   platform::WPARAM wParam, platform::LPARAM lParam,
                                   WindowPlacement& placement, const char* title,
                                   platform::HWND& child_window);

// ProgramDirectory + name into out; false (out emptied) when it does not fit.
bool ProgramPath(const char* name, char* out, std::size_t capacity);

}  // namespace shell
