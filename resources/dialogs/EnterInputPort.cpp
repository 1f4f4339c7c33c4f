// "EnterInputPort" (title "Enter Sound Card INPUT Port"): the sound-card input of an input node.
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;

const platform::ControlTemplate kControls[] = {
    {10, ControlKind::StaticText, "Port", 12, 16, 32, 16, 0},
    {1020, ControlKind::Edit, "", 48, 12, 48, 22, platform::ES_AUTOHSCROLL},
    {20, ControlKind::StaticText, "Node", 108, 16, 96, 16, 0},
    {1, ControlKind::DefPushButton, "Done", 12, 48, 72, 24, 0},
    {2, ControlKind::PushButton, "Cancel", 132, 48, 72, 24, 0},
};

}  // namespace

const platform::DialogTemplate EnterInputPortDialog = {
    "EnterInputPort", "Enter Sound Card INPUT Port",          60, 60, 216, 84, nullptr, 8, 0,
    kControls,        sizeof kControls / sizeof kControls[0],
};

}  // namespace resources
