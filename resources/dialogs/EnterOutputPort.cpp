// "EnterOutputPort" (title "Driver And Output Port Control"): driver file, EQ band, sound-card
// output, plot flag, delay, polarity and gain of an output port. Two group boxes carry id 101.
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;

const platform::ControlTemplate kControls[] = {
    {101, ControlKind::GroupBox, "Driver File Name", 8, 6, 420, 84, 0},
    {1600, ControlKind::Edit, "", 18, 28, 400, 22, platform::ES_AUTOHSCROLL},
    {1601, ControlKind::PushButton, "Browse", 18, 58, 96, 24, 0},
    {1607, ControlKind::PushButton, "Clear Loaded Driver", 270, 58, 148, 24, 0},
    {102, ControlKind::GroupBox, "Driver's Frequency Response HBT Equalized Between", 8, 96, 420,
     56, 0},
    {103, ControlKind::StaticText, "F1=", 18, 122, 28, 16, 0},
    {1602, ControlKind::Edit, "", 48, 118, 100, 22, platform::ES_AUTOHSCROLL},
    {104, ControlKind::StaticText, "Hz", 152, 122, 24, 16, 0},
    {105, ControlKind::StaticText, "F2=", 220, 122, 28, 16, 0},
    {1603, ControlKind::Edit, "", 250, 118, 100, 22, platform::ES_AUTOHSCROLL},
    {106, ControlKind::StaticText, "Hz", 354, 122, 24, 16, 0},
    {107, ControlKind::GroupBox, "Sound Card Output Assignment", 8, 158, 206, 56, 0},
    {10, ControlKind::StaticText, "Port", 18, 184, 32, 16, 0},
    {1020, ControlKind::Edit, "", 52, 180, 48, 22, platform::ES_AUTOHSCROLL},
    {20, ControlKind::StaticText, "Node", 108, 184, 100, 16, 0},
    {108, ControlKind::GroupBox, "Graphical Output Control", 222, 158, 206, 56, 0},
    {1610, ControlKind::CheckBox, "Include This Port in Filter Plots", 230, 182, 194, 18, 0},
    {600, ControlKind::GroupBox, "Channel Delay ---------------- Distance [cm]", 8, 220, 420, 56,
     0},
    {1518, ControlKind::Edit, "", 18, 242, 120, 22, platform::ES_AUTOHSCROLL},
    {700, ControlKind::StaticText, "ms", 142, 246, 24, 16, 0},
    {800, ControlKind::StaticText, "10.0cm", 270, 246, 148, 16, 0},
    {101, ControlKind::GroupBox, "Channel Phase", 8, 282, 206, 56, 0},
    {1022, ControlKind::CheckBox, "Reverse Phase", 18, 306, 180, 18, 0},
    {900, ControlKind::GroupBox, "Channel Gain", 222, 282, 206, 56, 0},
    {1615, ControlKind::Edit, "", 232, 304, 120, 22, platform::ES_AUTOHSCROLL},
    {30, ControlKind::StaticText, "dB", 356, 308, 24, 16, 0},
    {1, ControlKind::DefPushButton, "Done", 8, 348, 96, 26, 0},
    {2, ControlKind::PushButton, "Cancel", 332, 348, 96, 26, 0},
};

}  // namespace

const platform::DialogTemplate EnterOutputPortDialog = {
    "EnterOutputPort", "Driver And Output Port Control",       60, 30, 436, 384, nullptr, 8, 0,
    kControls,         sizeof kControls / sizeof kControls[0],
};

}  // namespace resources
