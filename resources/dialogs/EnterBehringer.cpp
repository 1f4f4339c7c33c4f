// "EnterBehringer" (title "Filter And Voicing Element Data"): family, slope, frequency, gain,
// R/Q and by-pass of a filter element.
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;

const platform::ControlTemplate kControls[] = {
    {400, ControlKind::GroupBox, "Filter Configuration --------------------- Filter Type", 8, 6,
     300, 190, 0},
    {1509, ControlKind::ListBox, "", 18, 28, 136, 160, platform::LBS_NOTIFY | platform::WS_VSCROLL},
    {1512, ControlKind::ListBox, "", 162, 28, 136, 160,
     platform::LBS_NOTIFY | platform::WS_VSCROLL},
    {500, ControlKind::GroupBox, "Element cut-off/center frequency", 8, 202, 300, 52, 0},
    {1506, ControlKind::Edit, "", 18, 224, 96, 22, platform::ES_AUTOHSCROLL},
    {30, ControlKind::StaticText, "Hz", 120, 228, 24, 16, 0},
    {1053, ControlKind::CheckBox, "By-pass This Element", 162, 226, 140, 18, 0},
    {100, ControlKind::GroupBox, "Q-Circuit and Shelving", 8, 260, 300, 56, 0},
    {200, ControlKind::StaticText, "Gain", 18, 286, 32, 16, 0},
    {1515, ControlKind::Edit, "", 54, 282, 76, 22, platform::ES_AUTOHSCROLL},
    {1100, ControlKind::StaticText, "dB", 134, 286, 20, 16, 0},
    {300, ControlKind::StaticText, "Q/R", 170, 286, 28, 16, 0},
    {1517, ControlKind::Edit, "", 202, 282, 96, 22, platform::ES_AUTOHSCROLL},
    {1, ControlKind::DefPushButton, "Done", 8, 326, 80, 26, 0},
    {2, ControlKind::PushButton, "Cancel", 228, 326, 80, 26, 0},
};

}  // namespace

const platform::DialogTemplate EnterBehringerDialog = {
    "EnterBehringer", "Filter And Voicing Element Data",      60, 40, 316, 362, nullptr, 8, 0,
    kControls,        sizeof kControls / sizeof kControls[0],
};

}  // namespace resources
