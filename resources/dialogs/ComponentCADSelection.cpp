// The modeless dialog "ComponentCADSelection" (title "System Design + Player"): the network
// editor's toolbox (element palette, tools, display boxes), the channel buttons, the plot and
// copy buttons, the player's check boxes, Play and STOP, the volume bar with its read-out, the
// two level meters and the scheduler's read-outs. The creator sizes it to 232 x 688 outside.
#include "resources/Resources.h"

namespace resources {

namespace {

using platform::ControlKind;

const platform::ControlTemplate kComponentCADSelectionControls[] = {
    // Toolbox: the palette cells at the top-left, transparent to the mouse.
    {1024, ControlKind::StaticCanvas, "", 0, 0, 41, 241, 0},
    {10, ControlKind::GroupBox, "Diagram Editing ", 44, 0, 180, 138, 0},
    {1002, ControlKind::CheckBox, "Draw", 48, 18, 86, 20, 0},
    {1007, ControlKind::CheckBox, "Move", 136, 18, 88, 20, 0},
    {1016, ControlKind::CheckBox, "Wipe Wire", 48, 40, 86, 20, 0},
    {1008, ControlKind::CheckBox, "Wipe Comp", 136, 40, 88, 20, 0},
    {1050, ControlKind::CheckBox, "Show Nodes", 48, 62, 170, 20, 0},
    {1051, ControlKind::CheckBox, "Show Raster", 48, 84, 170, 20, 0},
    {1052, ControlKind::PushButton, "Copy Speaker", 52, 108, 166, 22, 0},
    {20, ControlKind::GroupBox, "Frequency Response Plots", 44, 140, 180, 102, 0},
    {4810, ControlKind::PushButton, "Curve Selection", 52, 158, 166, 22, 0},
    {4811, ControlKind::PushButton, "Test Tones", 52, 184, 166, 22, 0},
    {1054, ControlKind::PushButton, "Clear Plots", 52, 210, 166, 22, 0},
    // Channel buttons.
    {20001, ControlKind::PushButton, "Front Left", 2, 248, 72, 22, 0},
    {20003, ControlKind::PushButton, "Centre", 76, 248, 72, 22, 0},
    {20002, ControlKind::PushButton, "Front Right", 150, 248, 72, 22, 0},
    {20004, ControlKind::PushButton, "Rear Left", 2, 274, 72, 22, 0},
    {20006, ControlKind::PushButton, "Sub", 76, 274, 35, 22, 0},
    {20007, ControlKind::PushButton, "Sub 2", 113, 274, 35, 22, 0},
    {20005, ControlKind::PushButton, "Rear Right", 150, 274, 72, 22, 0},
    // Player.
    {4900, ControlKind::CheckBox, "Use HBT Data", 2, 302, 108, 20, 0},
    {4910, ControlKind::CheckBox, "SPL Only EQ", 114, 302, 108, 20, 0},
    {20011, ControlKind::CheckBox, "Wide Window", 2, 324, 108, 20, 0},
    {4911, ControlKind::CheckBox, "Play WAV File", 114, 324, 108, 20, 0},
    {5000, ControlKind::OwnerDrawButton, "Play", 2, 350, 48, 39, 0},
    {5010, ControlKind::OwnerDrawButton, "STOP", 56, 350, 48, 39, 0},
    {5020, ControlKind::HScrollBar, "", 110, 350, 112, 17, 0},
    {30, ControlKind::StaticText, "", 2, 392, 220, 19, 0},
    {50, ControlKind::StaticText, "Pt=X.XX", 2, 414, 72, 16, 0},
    {5032, ControlKind::StaticText, "Lt=21.22", 76, 414, 72, 16, 0},
    {5030, ControlKind::StaticText, "D1=7.88", 150, 414, 72, 16, 0},
    {5034, ControlKind::StaticText, "Fr=XXXXX", 2, 430, 72, 16, 0},
    {5036, ControlKind::StaticText, "In = 0", 76, 430, 72, 16, 0},
    {5031, ControlKind::StaticText, "Out = 0", 150, 430, 72, 16, 0},
    // Level meters with their scale and channel labels.
    {40, ControlKind::GroupBox, "Inputs --------------------- Outputs", 0, 448, 224, 212, 0},
    {70, ControlKind::StaticText, "0dB", 2, 480, 28, 14, 0},
    {120, ControlKind::StaticText, "-6", 2, 508, 28, 14, 0},
    {90, ControlKind::StaticText, "-12", 2, 536, 28, 14, 0},
    {100, ControlKind::StaticText, "-24", 2, 566, 28, 14, 0},
    {110, ControlKind::StaticText, "-36", 2, 596, 28, 14, 0},
    {80, ControlKind::StaticText, "-51", 2, 624, 28, 14, 0},
    {10128, ControlKind::StaticCanvas, "", 30, 464, 68, 180, 0},
    {10129, ControlKind::StaticCanvas, "", 92, 464, 132, 180, 0},
    {130, ControlKind::StaticText, "1", 32, 645, 10, 14, 0},
    {131, ControlKind::StaticText, "4", 56, 645, 10, 14, 0},
    {132, ControlKind::StaticText, "8", 88, 645, 10, 14, 0},
    {133, ControlKind::StaticText, "1", 94, 645, 10, 14, 0},
    {134, ControlKind::StaticText, "4", 118, 645, 10, 14, 0},
    {135, ControlKind::StaticText, "8", 150, 645, 10, 14, 0},
    {136, ControlKind::StaticText, "12", 180, 645, 16, 14, 0},
    {180, ControlKind::StaticText, "16", 210, 645, 14, 14, 0},
};

}  // namespace

const platform::DialogTemplate ComponentCADSelectionTemplate = {
    "ComponentCADSelection",
    "System Design + Player",
    0,
    0,
    224,
    660,
    nullptr,
    8,
    0,
    kComponentCADSelectionControls,
    sizeof kComponentCADSelectionControls / sizeof kComponentCADSelectionControls[0],
};

}  // namespace resources
