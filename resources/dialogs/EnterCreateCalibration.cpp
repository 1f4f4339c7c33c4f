// "EnterCreateCalibration" (title "Calibration File Data"): the high-pass and low-pass sections
// of a constructed calibration curve, the Q-Parametric gain and Q, and the inversion. Dialog
// units of the default dialog font.
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;
constexpr platform::DWORD kList = platform::LBS_NOTIFY | platform::WS_VSCROLL;

const platform::ControlTemplate kControls[] = {
    {100, ControlKind::GroupBox, "High-Pass Section", 4, 4, 124, 150, 0},
    {7005, ControlKind::ListBox, "", 10, 16, 112, 32, kList},
    {7004, ControlKind::ListBox, "", 10, 52, 112, 70, kList},
    {101, ControlKind::StaticText, "Cut-off frequency [Hz]", 10, 130, 80, 8, 0},
    {7006, ControlKind::Edit, "", 92, 128, 32, 12, 0},
    {102, ControlKind::GroupBox, "Low-Pass Section", 132, 4, 124, 150, 0},
    {7008, ControlKind::ListBox, "", 138, 16, 112, 32, kList},
    {7007, ControlKind::ListBox, "", 138, 52, 112, 70, kList},
    {103, ControlKind::StaticText, "Cut-off frequency [Hz]", 138, 130, 80, 8, 0},
    {7009, ControlKind::Edit, "", 220, 128, 32, 12, 0},
    {104, ControlKind::StaticText, "Gain [dB]", 8, 162, 36, 8, 0},
    {7013, ControlKind::Edit, "", 46, 160, 30, 12, 0},
    {105, ControlKind::StaticText, "Q", 84, 162, 8, 8, 0},
    {7012, ControlKind::Edit, "", 94, 160, 30, 12, 0},
    {7010, ControlKind::CheckBox, "Invert Response", 138, 161, 80, 10, 0},
    {1, ControlKind::DefPushButton, "Done", 138, 180, 54, 14, 0},
    {2, ControlKind::PushButton, "Cancel", 198, 180, 54, 14, 0},
};

}  // namespace

const platform::DialogTemplate EnterCreateCalibrationDialog = {
    "EnterCreateCalibration",
    "Calibration File Data",
    0,
    0,
    260,
    200,
    nullptr,
    8,
    0,
    kControls,
    sizeof kControls / sizeof kControls[0],
};

}  // namespace resources
