// "EnterInputPort" (title "Enter Sound Card INPUT Port"): the sound-card input of an input node.
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;

const platform::ControlTemplate kControls[] = {
    {10, ControlKind::StaticText, "Port", 8, 11, 21, 11, 0},
    {1020, ControlKind::Edit, "", 32, 8, 32, 15, platform::ES_AUTOHSCROLL},
    {20, ControlKind::StaticText, "Node", 72, 11, 64, 11, 0},
    {1, ControlKind::DefPushButton, "Done", 8, 32, 48, 16, 0},
    {2, ControlKind::PushButton, "Cancel", 88, 32, 48, 16, 0},
};

}  // namespace

const platform::DialogTemplate EnterInputPortDialog = {
    "EnterInputPort", "Enter Sound Card INPUT Port",          40, 40, 144, 56, nullptr, 8, 0,
    kControls,        sizeof kControls / sizeof kControls[0],
};

}  // namespace resources
