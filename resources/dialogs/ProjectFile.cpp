// "ProjectFile": the project profiles dialog, one row per remote-control digit key (a label, an
// edit with the project path and a Browse button) and Done / Cancel below.
// Laid out for "Times New Roman" 8 pt: 3 pixels per 2 horizontal units, 13 per 8 vertical units.
#include "platform/ui/Window.h"
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;
using platform::WS_BORDER;

const platform::ControlTemplate kControls[] = {
    {-1, ControlKind::StaticText, "Profile 1", 8, 8, 45, 16, 0},
    {10500, ControlKind::Edit, "", 60, 7, 810, 20, WS_BORDER},
    {10510, ControlKind::PushButton, "Browse", 885, 7, 75, 20, 0},
    {-1, ControlKind::StaticText, "Profile 2", 8, 29, 45, 16, 0},
    {10501, ControlKind::Edit, "", 60, 28, 810, 20, WS_BORDER},
    {10511, ControlKind::PushButton, "Browse", 885, 28, 75, 20, 0},
    {-1, ControlKind::StaticText, "Profile 3", 8, 50, 45, 16, 0},
    {10502, ControlKind::Edit, "", 60, 49, 810, 20, WS_BORDER},
    {10512, ControlKind::PushButton, "Browse", 885, 49, 75, 20, 0},
    {-1, ControlKind::StaticText, "Profile 4", 8, 72, 45, 16, 0},
    {10503, ControlKind::Edit, "", 60, 70, 810, 20, WS_BORDER},
    {10513, ControlKind::PushButton, "Browse", 885, 70, 75, 20, 0},
    {-1, ControlKind::StaticText, "Profile 5", 8, 93, 45, 16, 0},
    {10504, ControlKind::Edit, "", 60, 91, 810, 20, WS_BORDER},
    {10514, ControlKind::PushButton, "Browse", 885, 91, 75, 20, 0},
    {-1, ControlKind::StaticText, "Profile 6", 8, 114, 45, 16, 0},
    {10505, ControlKind::Edit, "", 60, 112, 810, 20, WS_BORDER},
    {10515, ControlKind::PushButton, "Browse", 885, 112, 75, 20, 0},
    {-1, ControlKind::StaticText, "Profile 7", 8, 135, 45, 16, 0},
    {10506, ControlKind::Edit, "", 60, 133, 810, 20, WS_BORDER},
    {10516, ControlKind::PushButton, "Browse", 885, 133, 75, 20, 0},
    {-1, ControlKind::StaticText, "Profile 8", 8, 156, 45, 16, 0},
    {10507, ControlKind::Edit, "", 60, 154, 810, 20, WS_BORDER},
    {10517, ControlKind::PushButton, "Browse", 885, 154, 75, 20, 0},
    {-1, ControlKind::StaticText, "Profile 9", 8, 177, 45, 16, 0},
    {10508, ControlKind::Edit, "", 60, 176, 810, 20, WS_BORDER},
    {10518, ControlKind::PushButton, "Browse", 885, 176, 75, 20, 0},
    {-1, ControlKind::StaticText, "Profile 10", 8, 198, 50, 16, 0},
    {10509, ControlKind::Edit, "", 60, 197, 810, 20, WS_BORDER},
    {10519, ControlKind::PushButton, "Browse", 885, 197, 75, 20, 0},
    {1, ControlKind::PushButton, "Done", 780, 221, 75, 23, 0},
    {2, ControlKind::PushButton, "Cancel", 885, 221, 75, 23, 0},
};

}  // namespace

const platform::DialogTemplate ProjectFileDialog = {
    "ProjectFile",
    "Enter Driver FileNames",
    35,
    117,
    975,
    249,
    "Times New Roman",
    8,
    0,
    kControls,
    sizeof(kControls) / sizeof(kControls[0]),
};

}  // namespace resources
