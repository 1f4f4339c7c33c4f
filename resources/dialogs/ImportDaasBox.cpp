// "ImportDaasBox": the DAAS converter: frequency/value pairs converted as magnitude or phase,
// with the corrections. Coordinates in dialog units.
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;

const platform::ControlTemplate kControls[] = {
    {-1, ControlKind::StaticText, "File Length [bytes]:", 8, 8, 90, 10, 0},
    {9000, ControlKind::StaticText, "", 100, 8, 60, 10, 0},
    {-1, ControlKind::StaticText, "Frequency [Hz]:", 8, 22, 90, 10, 0},
    {9001, ControlKind::StaticText, "", 100, 22, 60, 10, 0},
    {-1, ControlKind::StaticText, "Amplitude [dB]:", 8, 36, 90, 10, 0},
    {9002, ControlKind::StaticText, "", 100, 36, 60, 10, 0},
    {-1, ControlKind::StaticText, "Phase [Deg]:", 8, 50, 90, 10, 0},
    {9003, ControlKind::StaticText, "", 100, 50, 60, 10, 0},
    {-1, ControlKind::StaticText, "Delay:", 8, 68, 50, 10, 0},
    {9005, ControlKind::Edit, "", 60, 66, 50, 12, 0},
    {-1, ControlKind::StaticText, "[ms],1m->2.907ms", 114, 68, 78, 10, 0},
    {-1, ControlKind::StaticText, "Scale:", 8, 84, 50, 10, 0},
    {9006, ControlKind::Edit, "", 60, 82, 50, 12, 0},
    {-1, ControlKind::StaticText, "[dB]", 114, 84, 22, 10, 0},
    {-1, ControlKind::StaticText, "Efficiency:", 8, 100, 50, 10, 0},
    {9007, ControlKind::Edit, "", 60, 98, 50, 12, 0},
    {-1, ControlKind::StaticText, "[dB]", 114, 100, 22, 10, 0},
    {9009, ControlKind::DefPushButton, "Magnitude", 198, 8, 56, 16, 0},
    {9012, ControlKind::PushButton, "Phase", 198, 28, 56, 16, 0},
    {9008, ControlKind::PushButton, "Print", 198, 48, 56, 16, 0},
    {2, ControlKind::PushButton, "Cancel", 198, 68, 56, 16, 0},
};

}  // namespace

const platform::DialogTemplate ImportDaasBoxDialog = {
    "ImportDaasBox", "DAAS 32 File Converter [AudioCAD Format]", 20, 20, 262, 118, nullptr, 0, 0,
    kControls,       sizeof(kControls) / sizeof(kControls[0]),
};

}  // namespace resources
