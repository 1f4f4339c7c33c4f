#include "network/Globals.h"

#include "network/EditorState.h"
#include "network/OutputPortDialog.h"

namespace network {

void ResetGlobals() {
    ResetEditorState();
    ResetOutputPortDialog();
}

}  // namespace network
