// The modeless dialog "ComponentCADSelection" (title "System Design + Player"): the network
// editor's toolbox (element palette, tools, display boxes), the channel buttons, the plot and
// copy buttons, the player's check boxes, Play and STOP, the volume bar with its read-out, the
// two level meters and the scheduler's read-outs. The creator sizes it to 232 x 688 pixels outside,
// so the template's units (dialog font) keep its client area inside that; the palette (1024) is
// drawn in 40-pixel cells and covers at least 41 x 241 pixels.
#include "resources/Resources.h"

namespace resources {

namespace {

using platform::ControlKind;

const platform::ControlTemplate kComponentCADSelectionControls[] = {
    // Toolbox: the palette cells at the top-left, transparent to the mouse.
    {1024, ControlKind::StaticCanvas, "", 0, 0, 27, 161, 0},
    {10, ControlKind::GroupBox, "Diagram Editing ", 29, 0, 120, 92, 0},
    {1002, ControlKind::CheckBox, "Draw", 32, 12, 57, 13, 0},
    {1007, ControlKind::CheckBox, "Move", 91, 12, 59, 13, 0},
    {1016, ControlKind::CheckBox, "Wipe Wire", 32, 27, 57, 13, 0},
    {1008, ControlKind::CheckBox, "Wipe Comp", 91, 27, 59, 13, 0},
    {1050, ControlKind::CheckBox, "Show Nodes", 32, 41, 113, 13, 0},
    {1051, ControlKind::CheckBox, "Show Raster", 32, 56, 113, 13, 0},
    {1052, ControlKind::PushButton, "Copy Speaker", 35, 72, 111, 15, 0},
    {20, ControlKind::GroupBox, "Frequency Response Plots", 29, 93, 120, 68, 0},
    {4810, ControlKind::PushButton, "Curve Selection", 35, 105, 111, 15, 0},
    {4811, ControlKind::PushButton, "Test Tones", 35, 123, 111, 15, 0},
    {1054, ControlKind::PushButton, "Clear Plots", 35, 140, 111, 15, 0},
    // Channel buttons.
    {20001, ControlKind::PushButton, "Front Left", 1, 165, 48, 15, 0},
    {20003, ControlKind::PushButton, "Centre", 51, 165, 48, 15, 0},
    {20002, ControlKind::PushButton, "Front Right", 100, 165, 48, 15, 0},
    {20004, ControlKind::PushButton, "Rear Left", 1, 183, 48, 15, 0},
    {20006, ControlKind::PushButton, "Sub", 51, 183, 23, 15, 0},
    {20007, ControlKind::PushButton, "Sub 2", 75, 183, 23, 15, 0},
    {20005, ControlKind::PushButton, "Rear Right", 100, 183, 48, 15, 0},
    // Player.
    {4900, ControlKind::CheckBox, "Use HBT Data", 1, 201, 72, 13, 0},
    {4910, ControlKind::CheckBox, "SPL Only EQ", 76, 201, 72, 13, 0},
    {20011, ControlKind::CheckBox, "Wide Window", 1, 216, 72, 13, 0},
    {4911, ControlKind::CheckBox, "Play WAV File", 76, 216, 72, 13, 0},
    {5000, ControlKind::OwnerDrawButton, "Play", 1, 233, 32, 26, 0},
    {5010, ControlKind::OwnerDrawButton, "STOP", 37, 233, 32, 26, 0},
    {5020, ControlKind::HScrollBar, "", 73, 233, 75, 11, 0},
    {30, ControlKind::StaticText, "", 1, 261, 147, 13, 0},
    {50, ControlKind::StaticText, "Pt=X.XX", 1, 276, 48, 11, 0},
    {5032, ControlKind::StaticText, "Lt=21.22", 51, 276, 48, 11, 0},
    {5030, ControlKind::StaticText, "D1=7.88", 100, 276, 48, 11, 0},
    {5034, ControlKind::StaticText, "Fr=XXXXX", 1, 287, 48, 11, 0},
    {5036, ControlKind::StaticText, "In = 0", 51, 287, 48, 11, 0},
    {5031, ControlKind::StaticText, "Out = 0", 100, 287, 48, 11, 0},
    // Level meters with their scale and channel labels. The meters' painter draws in pixels, from
    // the controls' bottom up (they are 124 units, 186 pixels, tall: the 0 dB line 14 pixels below
    // their top): each scale label stands where an input bar of its level ends, and the controls
    // are tall enough for both clip marks.
    {40, ControlKind::GroupBox, "Inputs --------------------- Outputs", 0, 299, 149, 141, 0},
    {70, ControlKind::StaticText, "0dB", 1, 313, 19, 9, 0},
    {120, ControlKind::StaticText, "-6", 1, 323, 19, 9, 0},
    {90, ControlKind::StaticText, "-12", 1, 336, 19, 9, 0},
    {100, ControlKind::StaticText, "-24", 1, 363, 19, 9, 0},
    {110, ControlKind::StaticText, "-36", 1, 389, 19, 9, 0},
    {80, ControlKind::StaticText, "-51", 1, 419, 19, 9, 0},
    {10128, ControlKind::StaticCanvas, "", 20, 308, 45, 124, 0},
    {10129, ControlKind::StaticCanvas, "", 61, 308, 88, 124, 0},
    {130, ControlKind::StaticText, "1", 21, 432, 7, 8, 0},
    {131, ControlKind::StaticText, "4", 37, 432, 7, 8, 0},
    {132, ControlKind::StaticText, "8", 56, 432, 6, 8, 0},
    {133, ControlKind::StaticText, "1", 63, 432, 7, 8, 0},
    {134, ControlKind::StaticText, "4", 79, 432, 7, 8, 0},
    {135, ControlKind::StaticText, "8", 100, 432, 7, 8, 0},
    {136, ControlKind::StaticText, "12", 120, 432, 11, 8, 0},
    {180, ControlKind::StaticText, "16", 140, 432, 9, 8, 0},
};

}  // namespace

const platform::DialogTemplate ComponentCADSelectionTemplate = {
    "ComponentCADSelection",
    "System Design + Player",
    0,
    0,
    149,
    440,
    nullptr,
    8,
    0,
    kComponentCADSelectionControls,
    sizeof kComponentCADSelectionControls / sizeof kComponentCADSelectionControls[0],
};

}  // namespace resources
