#include "network/Globals.h"

#include "network/EditorState.h"

namespace network {

void ResetGlobals() { ResetEditorState(); }

}  // namespace network
