// "DiffractionCalculator" (title "Enclosure Diffraction Calculator"): the baffle canvas on the
// left (placed in pixels by the dialog, which maps it to the raster), the edge profile, the
// microphone, the node editing modes and the driver on the right. Dialog units of the default
// dialog font; the frame opens it 615 x 510 pixels.
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;
constexpr platform::DWORD kList = platform::LBS_NOTIFY | platform::WS_VSCROLL;

const platform::ControlTemplate kControls[] = {
    {7011, ControlKind::StaticCanvas, "", 0, 0, 276, 316, 0},
    {7010, ControlKind::StaticCanvas, "", 280, 2, 78, 60, 0},
    {7018, ControlKind::RadioButton, "Square", 362, 4, 40, 10, 0},
    {7019, ControlKind::RadioButton, "Bevel", 362, 16, 40, 10, 0},
    {7020, ControlKind::RadioButton, "Round", 362, 28, 40, 10, 0},
    {7024, ControlKind::StaticText, "a=", 280, 66, 10, 8, 0},
    {7021, ControlKind::Edit, "", 291, 64, 26, 12, 0},
    {7031, ControlKind::StaticText, "b=", 322, 66, 10, 8, 0},
    {7022, ControlKind::Edit, "", 333, 64, 26, 12, 0},
    {7032, ControlKind::StaticText, "cm", 362, 66, 14, 8, 0},
    {7033, ControlKind::StaticText, "r=", 280, 80, 10, 8, 0},
    {7023, ControlKind::Edit, "", 291, 78, 26, 12, 0},
    {7034, ControlKind::StaticText, "cm", 320, 80, 14, 8, 0},
    {7017, ControlKind::CheckBox, "Directivity", 338, 79, 62, 10, 0},
    {100, ControlKind::GroupBox, "Mike-Speaker Dist. + Position", 278, 92, 124, 46, 0},
    {7014, ControlKind::HScrollBar, "", 283, 103, 74, 10, 0},
    {7015, ControlKind::StaticText, "", 360, 104, 40, 8, 0},
    {102, ControlKind::StaticText, "", 283, 115, 116, 8, 0},
    {7004, ControlKind::CheckBox, "Show Phase", 283, 125, 60, 10, 0},
    {110, ControlKind::GroupBox, "Edit Baffle Shape: Nodes", 278, 139, 124, 58, 0},
    {7025, ControlKind::RadioButton, "Add ", 283, 150, 36, 10, 0},
    {7009, ControlKind::RadioButton, "Move ", 322, 150, 36, 10, 0},
    {7027, ControlKind::RadioButton, "Delete ", 361, 150, 39, 10, 0},
    {7026, ControlKind::RadioButton, "Insert After N", 283, 162, 68, 10, 0},
    {7013, ControlKind::Edit, "", 354, 161, 26, 12, 0},
    {7035, ControlKind::StaticText, "Raster [cm]", 283, 179, 48, 8, 0},
    {7000, ControlKind::Edit, "", 334, 177, 34, 12, 0},
    {70, ControlKind::GroupBox, "Driver's Characteristics", 278, 198, 124, 76, 0},
    {7036, ControlKind::StaticText, "Diameter [cm]", 283, 210, 52, 8, 0},
    {7029, ControlKind::Edit, "", 338, 208, 34, 12, 0},
    {140, ControlKind::StaticText, "", 283, 222, 116, 8, 0},
    {150, ControlKind::StaticText, "", 283, 231, 116, 8, 0},
    {7030, ControlKind::CheckBox, "I have 2 drivers", 283, 241, 70, 10, 0},
    {7006, ControlKind::CheckBox, "Dipole", 356, 241, 42, 10, 0},
    {7037, ControlKind::StaticText, "Piston Model", 283, 258, 52, 8, 0},
    {7008, ControlKind::ListBox, "", 338, 253, 30, 18, kList},
    {7003, ControlKind::PushButton, "Example 1", 278, 277, 40, 12, 0},
    {7001, ControlKind::PushButton, "Example 2", 320, 277, 40, 12, 0},
    {1855, ControlKind::PushButton, "Print", 362, 277, 40, 12, 0},
    {7012, ControlKind::PushButton, "Clear", 278, 291, 40, 12, 0},
    {7028, ControlKind::PushButton, "Plot", 320, 291, 40, 12, 0},
    {2, ControlKind::PushButton, "Done", 362, 291, 40, 12, 0},
};

}  // namespace

const platform::DialogTemplate DiffractionCalculatorDialog = {
    "DiffractionCalculator",
    "Enclosure Diffraction Calculator",
    0,
    0,
    404,
    318,
    nullptr,
    8,
    0,
    kControls,
    sizeof kControls / sizeof kControls[0],
};

}  // namespace resources
