// "TRANSFERFUNCTION" (title "HBT Editor Dialogue"): the Hilbert-Bode transform's tails, Pin and
// efficiency on the left, the distance with its two options below them, the commands on the
// right and along the bottom. Dialog units of the default dialog font; the frame opens it
// 600 x 242 pixels.
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;

const platform::ControlTemplate kControls[] = {
    {20, ControlKind::GroupBox, "Hilbert-Bode Transform", 4, 2, 367, 108, 0},
    {70, ControlKind::StaticText, "High-Pass Tail", 10, 16, 54, 8, 0},
    {71, ControlKind::StaticText, "Stop", 66, 16, 20, 8, 0},
    {5002, ControlKind::Edit, "", 88, 14, 40, 12, 0},
    {72, ControlKind::StaticText, "Hz", 130, 16, 12, 8, 0},
    {73, ControlKind::StaticText, "Slope", 146, 16, 22, 8, 0},
    {5006, ControlKind::Edit, "", 170, 14, 34, 12, 0},
    {74, ControlKind::StaticText, "dB/oct", 206, 16, 26, 8, 0},
    {80, ControlKind::StaticText, "Low-Pass Tail", 10, 32, 54, 8, 0},
    {81, ControlKind::StaticText, "Start", 66, 32, 20, 8, 0},
    {5003, ControlKind::Edit, "", 88, 30, 40, 12, 0},
    {82, ControlKind::StaticText, "Hz", 130, 32, 12, 8, 0},
    {83, ControlKind::StaticText, "Slope", 146, 32, 22, 8, 0},
    {5007, ControlKind::Edit, "", 170, 30, 34, 12, 0},
    {84, ControlKind::StaticText, "dB/oct", 206, 32, 26, 8, 0},
    {85, ControlKind::StaticText, "Pin", 10, 48, 16, 8, 0},
    {5008, ControlKind::Edit, "", 30, 46, 40, 12, 0},
    {86, ControlKind::StaticText, "Watt", 72, 48, 20, 8, 0},
    {87, ControlKind::StaticText, "Efficiency", 106, 48, 40, 8, 0},
    {5030, ControlKind::Edit, "", 150, 46, 40, 12, 0},
    {88, ControlKind::StaticText, "dB", 192, 48, 12, 8, 0},
    {10, ControlKind::StaticText, "", 10, 64, 180, 8, 0},
    {5005, ControlKind::HScrollBar, "", 194, 63, 170, 10, 0},
    {5018, ControlKind::CheckBox, "Include Distance In PHASE Plots", 10, 78, 170, 10, 0},
    {5019, ControlKind::CheckBox, "Include Distance In AMPLITUDE Plots", 194, 78, 170, 10, 0},
    {5009, ControlKind::PushButton, "Calculate Amplitude + Phase", 10, 92, 116, 14, 0},
    {5025, ControlKind::CheckBox, "Show Reference Phase", 132, 94, 100, 10, 0},
    {7000, ControlKind::PushButton, "Use As Mike Cal File", 252, 13, 112, 14, 0},
    {7001, ControlKind::PushButton, "Use As Preamp Cal File", 252, 29, 112, 14, 0},
    {5001, ControlKind::PushButton, "Refresh", 252, 92, 54, 14, 0},
    {5024, ControlKind::PushButton, "Help", 310, 92, 54, 14, 0},
};

}  // namespace

const platform::DialogTemplate TransferFunctionDialog = {
    "TRANSFERFUNCTION",
    "HBT Editor Dialogue",
    0,
    0,
    375,
    113,
    nullptr,
    8,
    0,
    kControls,
    sizeof kControls / sizeof kControls[0],
};

}  // namespace resources
