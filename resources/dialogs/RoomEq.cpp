// "Room_EQ" (title "Minimum-Phase Room Equalizer"): the room equalizer of a room-EQ element. The
// three plot panes on the left, the measurement controls and the global functions on the right.
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;
constexpr platform::DWORD kEdit = platform::ES_AUTOHSCROLL;

const platform::ControlTemplate kControls[] = {
    {6000, ControlKind::StaticCanvas, "", 5, 4, 533, 123, 0},
    {6001, ControlKind::StaticCanvas, "", 5, 131, 533, 222, 0},
    {6002, ControlKind::StaticCanvas, "", 5, 357, 533, 123, 0},

    {100, ControlKind::GroupBox, "MLS Measurement Control ", 545, 2, 150, 228, 0},
    {6028, ControlKind::StaticCanvas, "", 550, 12, 12, 85, 0},
    {6010, ControlKind::RadioButton, "Location 1", 565, 15, 55, 10, 0},
    {6011, ControlKind::RadioButton, "Location 2", 565, 29, 55, 10, 0},
    {6012, ControlKind::RadioButton, "Location 3", 565, 43, 55, 10, 0},
    {6013, ControlKind::RadioButton, "Location 4", 565, 57, 55, 10, 0},
    {6014, ControlKind::RadioButton, "Location 5", 565, 71, 55, 10, 0},
    {6015, ControlKind::RadioButton, "Location 6", 565, 85, 55, 10, 0},
    {10199, ControlKind::CheckBox, "Use Saved IR", 622, 14, 70, 10, 0},
    {30, ControlKind::StaticText, "Volume = 100%", 622, 28, 70, 9, 0},
    {10125, ControlKind::HScrollBar, "", 622, 38, 68, 9, 0},
    {10128, ControlKind::StaticCanvas, "", 622, 51, 68, 45, 0},
    {101, ControlKind::StaticText, "Window Width", 550, 102, 62, 9, 0},
    {10149, ControlKind::Edit, "", 615, 100, 75, 12, kEdit},
    {102, ControlKind::StaticText, "Win. Time [ms]", 550, 116, 62, 9, 0},
    {10230, ControlKind::Edit, "", 615, 114, 75, 12, kEdit},
    {103, ControlKind::StaticText, "Add dB To SPL", 550, 130, 62, 9, 0},
    {10170, ControlKind::Edit, "", 615, 128, 75, 12, kEdit},
    {104, ControlKind::StaticText, "Add Delay [ms]", 550, 144, 62, 9, 0},
    {10147, ControlKind::Edit, "", 615, 142, 75, 12, kEdit},
    {105, ControlKind::StaticText, "Ampl. Zoom", 550, 158, 62, 9, 0},
    {10221, ControlKind::DropDownList, "", 615, 156, 75, 100, 0},
    {106, ControlKind::StaticText, "Sampling [Hz]", 550, 172, 62, 9, 0},
    {10120, ControlKind::DropDownList, "", 615, 170, 75, 100, 0},
    {107, ControlKind::StaticText, "MLS Length", 550, 186, 62, 9, 0},
    {10144, ControlKind::DropDownList, "", 615, 184, 75, 100, 0},
    {108, ControlKind::StaticText, "Correct With Driver On", 550, 199, 140, 9, 0},
    {6033, ControlKind::DropDownList, "", 550, 210, 140, 120, 0},

    {109, ControlKind::GroupBox, "Global Function Conrols", 545, 232, 150, 248, 0},
    {6020, ControlKind::VScrollBar, "", 550, 243, 10, 100, 0},
    {7, ControlKind::StaticText, "EQ Threshold = 0 dB", 565, 243, 125, 9, 0},
    {10192, ControlKind::CheckBox, "Show Measured Phase", 565, 256, 125, 10, 0},
    {6024, ControlKind::CheckBox, "Show Room EQ Phase", 565, 269, 125, 10, 0},
    {6025, ControlKind::CheckBox, "Show Room EQ SPL", 565, 282, 125, 10, 0},
    {6026, ControlKind::CheckBox, "Equalized Room SPL", 565, 295, 125, 10, 0},
    {6031, ControlKind::CheckBox, "EQ Amplitude Only", 565, 308, 125, 10, 0},
    {6032, ControlKind::CheckBox, "Scalar Average", 565, 321, 125, 10, 0},
    {6027, ControlKind::CheckBox, "Bypass Room EQ", 565, 334, 125, 10, 0},
    {110, ControlKind::GroupBox, "Room EQ Frequency Range", 550, 348, 140, 30, 0},
    {111, ControlKind::StaticText, "From", 555, 361, 20, 9, 0},
    {6021, ControlKind::Edit, "", 577, 359, 40, 12, kEdit},
    {112, ControlKind::StaticText, "To", 625, 361, 12, 9, 0},
    {6022, ControlKind::Edit, "", 639, 359, 40, 12, kEdit},
    {113, ControlKind::StaticText, "Projected Slope Below 10Hz [dB]", 550, 383, 140, 9, 0},
    {6023, ControlKind::Edit, "", 550, 394, 60, 12, kEdit},
    {6030, ControlKind::PushButton, "Re-Calculate EQ", 550, 412, 68, 15, 0},
    {6029, ControlKind::PushButton, "Clear All Data", 622, 412, 68, 15, 0},
    {1, ControlKind::DefPushButton, "Done", 550, 455, 68, 16, 0},
    {2, ControlKind::PushButton, "Cancel", 622, 455, 68, 16, 0},
};

}  // namespace

const platform::DialogTemplate RoomEqDialog = {
    "Room_EQ", "Minimum-Phase Room Equalizer",         10, 5, 700, 485, nullptr, 8, 0,
    kControls, sizeof kControls / sizeof kControls[0],
};

}  // namespace resources
