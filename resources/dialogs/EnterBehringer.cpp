// "EnterBehringer" (title "Filter And Voicing Element Data"): family, slope, frequency, gain,
// R/Q and by-pass of a filter element.
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;

const platform::ControlTemplate kControls[] = {
    {400, ControlKind::GroupBox, "Filter Configuration --------------------- Filter Type", 5, 4,
     200, 127, 0},
    {1509, ControlKind::ListBox, "", 12, 19, 91, 107, platform::LBS_NOTIFY | platform::WS_VSCROLL},
    {1512, ControlKind::ListBox, "", 108, 19, 91, 107, platform::LBS_NOTIFY | platform::WS_VSCROLL},
    {500, ControlKind::GroupBox, "Element cut-off/center frequency", 5, 135, 200, 35, 0},
    {1506, ControlKind::Edit, "", 12, 149, 64, 15, platform::ES_AUTOHSCROLL},
    {30, ControlKind::StaticText, "Hz", 80, 152, 16, 11, 0},
    {1053, ControlKind::CheckBox, "By-pass This Element", 108, 151, 93, 12, 0},
    {100, ControlKind::GroupBox, "Q-Circuit and Shelving", 5, 173, 200, 37, 0},
    {200, ControlKind::StaticText, "Gain", 12, 191, 21, 11, 0},
    {1515, ControlKind::Edit, "", 36, 188, 51, 15, platform::ES_AUTOHSCROLL},
    {1100, ControlKind::StaticText, "dB", 89, 191, 13, 11, 0},
    {300, ControlKind::StaticText, "Q/R", 113, 191, 19, 11, 0},
    {1517, ControlKind::Edit, "", 135, 188, 64, 15, platform::ES_AUTOHSCROLL},
    {1, ControlKind::DefPushButton, "Done", 5, 217, 53, 17, 0},
    {2, ControlKind::PushButton, "Cancel", 152, 217, 53, 17, 0},
};

}  // namespace

const platform::DialogTemplate EnterBehringerDialog = {
    "EnterBehringer", "Filter And Voicing Element Data",      40, 27, 211, 241, nullptr, 8, 0,
    kControls,        sizeof kControls / sizeof kControls[0],
};

}  // namespace resources
