// "TAB_MLS_Spl": a plot page of the MLS frequency-domain view (child of its tab control); the
// page paints the whole plot itself, so it has no controls.
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"

namespace resources {

const platform::DialogTemplate MlsSplPageDialog = {
    "TAB_MLS_Spl", "", 0, 0, 200, 120, nullptr, 8, platform::WS_CHILD, nullptr, 0,
};

}  // namespace resources
