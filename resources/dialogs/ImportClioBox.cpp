// "ImportClioBox": the CLIO and MLSSA converter: the file's first lines, the column choice, the
// lines to skip and the corrections. Coordinates in dialog units.
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;

const platform::ControlTemplate kControls[] = {
    {7050, ControlKind::StaticCanvas, nullptr, 5, 5, 420, 150, 0},
    {-1, ControlKind::StaticText, "File Length [bytes]:", 432, 5, 100, 10, 0},
    {9000, ControlKind::StaticText, "", 432, 16, 70, 10, 0},
    {-1, ControlKind::StaticText, "Frequency [Hz]:", 432, 32, 100, 10, 0},
    {9001, ControlKind::StaticText, "", 432, 43, 70, 10, 0},
    {-1, ControlKind::StaticText, "Amplitude [dB]:", 432, 59, 100, 10, 0},
    {9002, ControlKind::StaticText, "", 432, 70, 70, 10, 0},
    {-1, ControlKind::StaticText, "Phase [Deg]:", 432, 86, 100, 10, 0},
    {9003, ControlKind::StaticText, "", 432, 97, 70, 10, 0},
    {9009, ControlKind::DefPushButton, "Amplitude", 432, 115, 60, 16, 0},
    {9008, ControlKind::PushButton, "Print", 432, 137, 60, 16, 0},
    {2, ControlKind::PushButton, "Cancel", 498, 137, 60, 16, 0},
    {-1, ControlKind::StaticText, "Erase Lines:", 5, 164, 56, 10, 0},
    {7051, ControlKind::Edit, "", 62, 162, 30, 12, 0},
    {-1, ControlKind::StaticText, "Total Number of Columns (2...5)", 100, 164, 140, 10, 0},
    {7057, ControlKind::Edit, "", 242, 162, 30, 12, 0},
    {7052, ControlKind::CheckBox, "Include Column 1", 5, 180, 85, 12, 0},
    {7053, ControlKind::CheckBox, "Include Column 2", 92, 180, 85, 12, 0},
    {7054, ControlKind::CheckBox, "Include Column 3", 179, 180, 85, 12, 0},
    {7055, ControlKind::CheckBox, "Include Column 4", 266, 180, 85, 12, 0},
    {7056, ControlKind::CheckBox, "Include Column 5", 353, 180, 85, 12, 0},
    {-1, ControlKind::StaticText, "Delay:", 5, 200, 30, 10, 0},
    {9005, ControlKind::Edit, "", 36, 198, 50, 12, 0},
    {-1, ControlKind::StaticText, "[ms],1m->2.907ms", 90, 200, 78, 10, 0},
    {-1, ControlKind::StaticText, "Scale:", 172, 200, 30, 10, 0},
    {9006, ControlKind::Edit, "", 203, 198, 50, 12, 0},
    {-1, ControlKind::StaticText, "[dB]", 256, 200, 22, 10, 0},
    {-1, ControlKind::StaticText, "Efficiency:", 282, 200, 50, 10, 0},
    {9007, ControlKind::Edit, "", 334, 198, 50, 12, 0},
    {-1, ControlKind::StaticText, "[dB]", 388, 200, 22, 10, 0},
};

}  // namespace

const platform::DialogTemplate ImportClioBoxDialog = {
    "ImportClioBox",
    "CLIO/MLSSA File Converter",
    20,
    20,
    565,
    216,
    nullptr,
    0,
    0,
    kControls,
    sizeof(kControls) / sizeof(kControls[0]),
};

}  // namespace resources
