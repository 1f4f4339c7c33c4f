// The controls the three column converters (IMP, LMS and LAUD, CLIO and MLSSA) share: the file's
// first lines, the read-outs, the column choice, the lines to skip and the corrections. Dialog
// units of the default dialog font.
#pragma once

#include "platform/ui/Dialog.h"
#include "platform/ui/Resources.h"
#include "platform/ui/Window.h"

namespace resources {

inline constexpr platform::ControlTemplate kConverterControls[] = {
    {7050, platform::ControlKind::StaticCanvas, nullptr, 5, 5, 420, 150, 0},
    {-1, platform::ControlKind::StaticText, "File Length [bytes]:", 432, 5, 100, 10, 0},
    {9000, platform::ControlKind::StaticText, "", 432, 16, 70, 10, 0},
    {-1, platform::ControlKind::StaticText, "Frequency [Hz]:", 432, 32, 100, 10, 0},
    {9001, platform::ControlKind::StaticText, "", 432, 43, 70, 10, 0},
    {-1, platform::ControlKind::StaticText, "Amplitude [dB]:", 432, 59, 100, 10, 0},
    {9002, platform::ControlKind::StaticText, "", 432, 70, 70, 10, 0},
    {-1, platform::ControlKind::StaticText, "Phase [Deg]:", 432, 86, 100, 10, 0},
    {9003, platform::ControlKind::StaticText, "", 432, 97, 70, 10, 0},
    {9009, platform::ControlKind::DefPushButton, "Amplitude", 432, 115, 60, 16, 0},
    {9008, platform::ControlKind::PushButton, "Print", 432, 137, 60, 16, 0},
    {2, platform::ControlKind::PushButton, "Cancel", 498, 137, 60, 16, 0},
    {-1, platform::ControlKind::StaticText, "Erase Lines:", 5, 164, 56, 10, 0},
    {7051, platform::ControlKind::Edit, "", 62, 162, 30, 12, 0},
    {-1, platform::ControlKind::StaticText, "Total Number of Columns (2...5)", 100, 164, 140, 10,
     0},
    {7057, platform::ControlKind::Edit, "", 242, 162, 30, 12, 0},
    {7052, platform::ControlKind::CheckBox, "Include Column 1", 5, 180, 85, 12, 0},
    {7053, platform::ControlKind::CheckBox, "Include Column 2", 92, 180, 85, 12, 0},
    {7054, platform::ControlKind::CheckBox, "Include Column 3", 179, 180, 85, 12, 0},
    {7055, platform::ControlKind::CheckBox, "Include Column 4", 266, 180, 85, 12, 0},
    {7056, platform::ControlKind::CheckBox, "Include Column 5", 353, 180, 85, 12, 0},
    {-1, platform::ControlKind::StaticText, "Delay:", 5, 200, 30, 10, 0},
    {9005, platform::ControlKind::Edit, "", 36, 198, 50, 12, 0},
    {-1, platform::ControlKind::StaticText, "[ms],1m->2.907ms", 90, 200, 78, 10, 0},
    {-1, platform::ControlKind::StaticText, "Scale:", 172, 200, 30, 10, 0},
    {9006, platform::ControlKind::Edit, "", 203, 198, 50, 12, 0},
    {-1, platform::ControlKind::StaticText, "[dB]", 256, 200, 22, 10, 0},
    {-1, platform::ControlKind::StaticText, "Efficiency:", 282, 200, 50, 10, 0},
    {9007, platform::ControlKind::Edit, "", 334, 198, 50, 12, 0},
    {-1, platform::ControlKind::StaticText, "[dB]", 388, 200, 22, 10, 0},
};

}  // namespace resources
