// "TAB_MLS_Control" (title "MLS Measurements Control"): the modeless MLS dialog; its tab control
// and pages are created by the dialog. Dialog units of the default dialog font; the frame opens
// it 300 x 717 pixels.
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"

namespace resources {

const platform::DialogTemplate MlsControlDialog = {
    "TAB_MLS_Control", "MLS Measurements Control", 0, 0, 194, 424, nullptr, 8, 0, nullptr, 0,
};

}  // namespace resources
