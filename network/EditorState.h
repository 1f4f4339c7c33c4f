// Editor state shared by the seven channel panes, the toolbox of the player dialog and the
// element dialogs. UI thread only; every word is process-wide.
#pragma once

#include <cstdint>

#include "platform/Types.h"
#include "shell/NetworkTables.h"

namespace network {

// The pane whose network is in the WorkingNetwork: 1..7, 0 none (after a System Design command
// or a project load).
extern std::int32_t ActivePane;
// The editing tool: 1 Draw, 5 Move, 6 Wipe Comp, 8 Wipe Wire. It is the WorkingNetwork's own
// ToolMode word, so restoring a pane store sets it and every save stores it.
extern std::int32_t& ToolMode;
// The ElementKind last chosen in the toolbox palette (1..6).
extern std::int32_t PendingElementKind;
// Draw tool: 1 while a palette element waits to be placed. Move tool: 1 while a drag runs.
extern std::int32_t ElementPending;
// 1 from a Draw button-down that starts a wire until the button-up.
extern std::int32_t WireDragActive;
// Slot of the element whose dialog is open or that was last double-clicked; the element dialogs
// edit this slot of the WorkingNetwork.
extern std::int32_t SelectedElement;
// The seven pane windows (index k - 1 = pane k), 0 when the pane does not exist.
extern platform::HWND PaneWindows[shell::kPaneCount];
// Display flags of the panes, set by the toolbox's check boxes: 1 shown, 0 hidden.
extern std::int32_t ShowNodes;
extern std::int32_t ShowRaster;

// Copy Speaker choices: seven source flags, then seven target flags, in the order Front Left,
// Center, Front Right, Rear Left, Subwoofer, Subwoofer 2, Rear Right.
inline constexpr int kCopySpeakerFlagCount = 14;
extern std::int32_t CopySpeakerFlags[kCopySpeakerFlagCount];

// Makes `pane` (1..7, 0 none) the channel in use. When that changes, the pane that gave it up
// and the pane that took it are repainted, so the one red channel title is the channel in use.
void SetActivePane(int pane);

// The player dialog's tool buttons show ToolMode (when the dialog is open): called wherever the
// tool changes, so that the ticked box is always the tool the panes use.
void ShowToolInToolbox();

// What a System Design command or a project load leaves: no active pane, the Draw tool, nothing
// pending or dragged.
void DeactivatePanes();

// What follows every successful project load, whichever road loaded it: DeactivatePanes, then
// the player dialog's tool buttons show the Draw tool (when the dialog is open). No edit of a
// pane can then write the previous network over the loaded one.
void DeactivatePanesAfterLoad();

// Reruns the init routines of the editor state (every word back to its start value).
void ResetEditorState();

}  // namespace network
