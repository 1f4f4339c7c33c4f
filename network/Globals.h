// Process-wide state of network/. The network tables themselves (WorkingNetwork, the seven
// PaneStores, PaneToolModes) live in shell/NetworkTables.h, beside the project image that packs
// them, and shell::ResetGlobals zeroes them. network/ keeps the editor state (EditorState.h) and
// the output-port dialog's driver path and file-dialog description.
#pragma once

namespace network {

// Reruns the init routines of this folder so that every test starts from a known state.
void ResetGlobals();

}  // namespace network
