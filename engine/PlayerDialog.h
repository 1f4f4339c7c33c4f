// The modeless "System Design + Player" dialog (template "ComponentCADSelection"): the network
// editor's toolbox, the channel buttons that activate and solve a channel, the plot and copy
// sub-dialogs, the player's check boxes, Play and STOP, the volume bar with its gain read-out and
// the level meters. The play road itself is the engine's (engine/Engine.h). UI thread only.
#pragma once

#include "platform/Types.h"

namespace engine {

inline constexpr const char* kPlayerDialogTemplate = "ComponentCADSelection";

// The dialog procedure. Returns the cyan brush for control 30's colour request.
platform::INT_PTR SystemDesignPlayerDlgProc(platform::HWND dialog, platform::UINT message,
                                            platform::WPARAM wParam, platform::LPARAM lParam);

// The channel pane that a channel button (20001 .. 20007) activates, or 0.
int PaneOfChannelButton(int id);

// The element palette's answer to a left-button release at dialog client point (x, y): the
// ElementKind 1..6 of the cell whose open band holds y, or 0 (outside, or on a border).
int PaletteKindAt(int x, int y);

}  // namespace engine
