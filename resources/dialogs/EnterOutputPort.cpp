// "EnterOutputPort" (title "Driver And Output Port Control"): driver file, EQ band, sound-card
// output, plot flag, delay, polarity and gain of an output port. Two group boxes carry id 101.
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;

const platform::ControlTemplate kControls[] = {
    {101, ControlKind::GroupBox, "Driver File Name", 5, 4, 280, 56, 0},
    {1600, ControlKind::Edit, "", 12, 19, 267, 15, platform::ES_AUTOHSCROLL},
    {1601, ControlKind::PushButton, "Browse", 12, 39, 64, 16, 0},
    {1607, ControlKind::PushButton, "Clear Loaded Driver", 180, 39, 99, 16, 0},
    {102, ControlKind::GroupBox, "Driver's Frequency Response HBT Equalized Between", 5, 64, 280,
     37, 0},
    {103, ControlKind::StaticText, "F1=", 12, 81, 19, 11, 0},
    {1602, ControlKind::Edit, "", 32, 79, 67, 15, platform::ES_AUTOHSCROLL},
    {104, ControlKind::StaticText, "Hz", 101, 81, 16, 11, 0},
    {105, ControlKind::StaticText, "F2=", 147, 81, 19, 11, 0},
    {1603, ControlKind::Edit, "", 167, 79, 67, 15, platform::ES_AUTOHSCROLL},
    {106, ControlKind::StaticText, "Hz", 236, 81, 16, 11, 0},
    {107, ControlKind::GroupBox, "Sound Card Output Assignment", 5, 105, 137, 37, 0},
    {10, ControlKind::StaticText, "Port", 12, 123, 21, 11, 0},
    {1020, ControlKind::Edit, "", 35, 120, 32, 15, platform::ES_AUTOHSCROLL},
    {20, ControlKind::StaticText, "Node", 72, 123, 67, 11, 0},
    {108, ControlKind::GroupBox, "Graphical Output Control", 148, 105, 137, 37, 0},
    {1610, ControlKind::CheckBox, "Include This Port in Filter Plots", 153, 121, 129, 12, 0},
    {600, ControlKind::GroupBox, "Channel Delay ---------------- Distance [cm]", 5, 147, 280, 37,
     0},
    {1518, ControlKind::Edit, "", 12, 161, 80, 15, platform::ES_AUTOHSCROLL},
    {700, ControlKind::StaticText, "ms", 95, 164, 16, 11, 0},
    {800, ControlKind::StaticText, "10.0cm", 180, 164, 99, 11, 0},
    {101, ControlKind::GroupBox, "Channel Phase", 5, 188, 137, 37, 0},
    {1022, ControlKind::CheckBox, "Reverse Phase", 12, 204, 120, 12, 0},
    {900, ControlKind::GroupBox, "Channel Gain", 148, 188, 137, 37, 0},
    {1615, ControlKind::Edit, "", 155, 203, 80, 15, platform::ES_AUTOHSCROLL},
    {30, ControlKind::StaticText, "dB", 237, 205, 16, 11, 0},
    {1, ControlKind::DefPushButton, "Done", 5, 232, 64, 17, 0},
    {2, ControlKind::PushButton, "Cancel", 221, 232, 64, 17, 0},
};

}  // namespace

const platform::DialogTemplate EnterOutputPortDialog = {
    "EnterOutputPort", "Driver And Output Port Control",       40, 20, 291, 256, nullptr, 8, 0,
    kControls,         sizeof kControls / sizeof kControls[0],
};

}  // namespace resources
