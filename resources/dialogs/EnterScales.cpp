// "EnterScales": the Printout Control dialog (detected printer, orientation, scale, the page
// offsets of the image's top-left corner and the screen colour count).
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;

const platform::ControlTemplate kControls[] = {
    {11, ControlKind::GroupBox, "Detected Printer", 8, 6, 344, 80, 0},
    {10, ControlKind::StaticText, "Type:", 18, 26, 50, 16, 0},
    {7000, ControlKind::StaticText, "", 75, 26, 265, 16, 0},
    {20, ControlKind::StaticText, "Model:", 18, 44, 50, 16, 0},
    {7001, ControlKind::StaticText, "", 75, 44, 265, 16, 0},
    {30, ControlKind::StaticText, "Port:", 18, 62, 50, 16, 0},
    {7002, ControlKind::StaticText, "", 75, 62, 265, 16, 0},
    {12, ControlKind::GroupBox, "Orientation", 8, 92, 170, 64, 0},
    {50, ControlKind::StaticText, "Landscape", 18, 112, 80, 16, 0},
    {807, ControlKind::RadioButton, "", 110, 112, 20, 16, 0},
    {60, ControlKind::StaticText, "Portrait", 18, 132, 80, 16, 0},
    {808, ControlKind::RadioButton, "", 110, 132, 20, 16, 0},
    {13, ControlKind::GroupBox, "Select Scale", 186, 92, 166, 112, 0},
    {809, ControlKind::ListBox, nullptr, 196, 110, 80, 70, 0},
    {70, ControlKind::StaticText, "Scale:", 196, 182, 45, 16, 0},
    {7005, ControlKind::StaticText, "", 245, 182, 90, 16, 0},
    {14, ControlKind::GroupBox, "Left-Top Corner", 8, 162, 170, 70, 0},
    {90, ControlKind::StaticText, "X Offset:", 18, 182, 70, 16, 0},
    {810, ControlKind::Edit, "", 95, 180, 70, 20, 0},
    {100, ControlKind::StaticText, "Y Offset:", 18, 206, 70, 16, 0},
    {811, ControlKind::Edit, "", 95, 204, 70, 20, 0},
    {10, ControlKind::GroupBox, "Screen Colors To Capture:", 186, 210, 166, 50, 0},
    {812, ControlKind::Edit, "", 196, 230, 100, 20, 0},
    {1, ControlKind::DefPushButton, "Done", 186, 272, 75, 26, 0},
    {2, ControlKind::PushButton, "Cancel", 277, 272, 75, 26, 0},
};

}  // namespace

const platform::DialogTemplate EnterScalesDialog = {
    "EnterScales",
    "Printout Control",
    40,
    40,
    360,
    306,
    nullptr,
    0,
    0,
    kControls,
    sizeof(kControls) / sizeof(kControls[0]),
};

}  // namespace resources
