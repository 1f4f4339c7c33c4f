// "EnterScales": the Printout Control dialog (detected printer, orientation, scale, the page
// offsets of the image's top-left corner and the screen colour count).
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;

const platform::ControlTemplate kControls[] = {
    {11, ControlKind::GroupBox, "Detected Printer", 5, 4, 229, 53, 0},
    {10, ControlKind::StaticText, "Type:", 12, 17, 33, 11, 0},
    {7000, ControlKind::StaticText, "", 50, 17, 177, 11, 0},
    {20, ControlKind::StaticText, "Model:", 12, 29, 33, 11, 0},
    {7001, ControlKind::StaticText, "", 50, 29, 177, 11, 0},
    {30, ControlKind::StaticText, "Port:", 12, 41, 33, 11, 0},
    {7002, ControlKind::StaticText, "", 50, 41, 177, 11, 0},
    {12, ControlKind::GroupBox, "Orientation", 5, 61, 113, 43, 0},
    {50, ControlKind::StaticText, "Landscape", 12, 75, 53, 11, 0},
    {807, ControlKind::RadioButton, "", 73, 75, 13, 11, 0},
    {60, ControlKind::StaticText, "Portrait", 12, 88, 53, 11, 0},
    {808, ControlKind::RadioButton, "", 73, 88, 13, 11, 0},
    {13, ControlKind::GroupBox, "Select Scale", 124, 61, 111, 75, 0},
    {809, ControlKind::ListBox, nullptr, 131, 73, 53, 47, 0},
    {70, ControlKind::StaticText, "Scale:", 131, 121, 30, 11, 0},
    {7005, ControlKind::StaticText, "", 163, 121, 60, 11, 0},
    {14, ControlKind::GroupBox, "Left-Top Corner", 5, 108, 113, 47, 0},
    {90, ControlKind::StaticText, "X Offset:", 12, 121, 47, 11, 0},
    {810, ControlKind::Edit, "", 63, 120, 47, 13, 0},
    {100, ControlKind::StaticText, "Y Offset:", 12, 137, 47, 11, 0},
    {811, ControlKind::Edit, "", 63, 136, 47, 13, 0},
    {10, ControlKind::GroupBox, "Screen Colors To Capture:", 124, 140, 111, 33, 0},
    {812, ControlKind::Edit, "", 131, 153, 67, 13, 0},
    {1, ControlKind::DefPushButton, "Done", 124, 181, 50, 17, 0},
    {2, ControlKind::PushButton, "Cancel", 185, 181, 50, 17, 0},
};

}  // namespace

const platform::DialogTemplate EnterScalesDialog = {
    "EnterScales",
    "Printout Control",
    27,
    27,
    240,
    204,
    nullptr,
    0,
    0,
    kControls,
    sizeof(kControls) / sizeof(kControls[0]),
};

}  // namespace resources
