// "ProjectFile": the project profiles dialog, one row per remote-control digit key (a label, an
// edit with the project path and a Browse button) and Done / Cancel below.
// Dialog units of "Times New Roman" 8 pt; profile k's row is 4 + 13 (k - 1) units down.
#include "platform/ui/Window.h"
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;
using platform::WS_BORDER;

const platform::ControlTemplate kControls[] = {
    {-1, ControlKind::StaticText, "Profile 1", 5, 5, 30, 10, 0},
    {10500, ControlKind::Edit, "", 40, 4, 540, 12, WS_BORDER},
    {10510, ControlKind::PushButton, "Browse", 590, 4, 50, 12, 0},
    {-1, ControlKind::StaticText, "Profile 2", 5, 18, 30, 10, 0},
    {10501, ControlKind::Edit, "", 40, 17, 540, 12, WS_BORDER},
    {10511, ControlKind::PushButton, "Browse", 590, 17, 50, 12, 0},
    {-1, ControlKind::StaticText, "Profile 3", 5, 31, 30, 10, 0},
    {10502, ControlKind::Edit, "", 40, 30, 540, 12, WS_BORDER},
    {10512, ControlKind::PushButton, "Browse", 590, 30, 50, 12, 0},
    {-1, ControlKind::StaticText, "Profile 4", 5, 44, 30, 10, 0},
    {10503, ControlKind::Edit, "", 40, 43, 540, 12, WS_BORDER},
    {10513, ControlKind::PushButton, "Browse", 590, 43, 50, 12, 0},
    {-1, ControlKind::StaticText, "Profile 5", 5, 57, 30, 10, 0},
    {10504, ControlKind::Edit, "", 40, 56, 540, 12, WS_BORDER},
    {10514, ControlKind::PushButton, "Browse", 590, 56, 50, 12, 0},
    {-1, ControlKind::StaticText, "Profile 6", 5, 70, 30, 10, 0},
    {10505, ControlKind::Edit, "", 40, 69, 540, 12, WS_BORDER},
    {10515, ControlKind::PushButton, "Browse", 590, 69, 50, 12, 0},
    {-1, ControlKind::StaticText, "Profile 7", 5, 83, 30, 10, 0},
    {10506, ControlKind::Edit, "", 40, 82, 540, 12, WS_BORDER},
    {10516, ControlKind::PushButton, "Browse", 590, 82, 50, 12, 0},
    {-1, ControlKind::StaticText, "Profile 8", 5, 96, 30, 10, 0},
    {10507, ControlKind::Edit, "", 40, 95, 540, 12, WS_BORDER},
    {10517, ControlKind::PushButton, "Browse", 590, 95, 50, 12, 0},
    {-1, ControlKind::StaticText, "Profile 9", 5, 109, 30, 10, 0},
    {10508, ControlKind::Edit, "", 40, 108, 540, 12, WS_BORDER},
    {10518, ControlKind::PushButton, "Browse", 590, 108, 50, 12, 0},
    {-1, ControlKind::StaticText, "Profile 10", 5, 122, 33, 10, 0},
    {10509, ControlKind::Edit, "", 40, 121, 540, 12, WS_BORDER},
    {10519, ControlKind::PushButton, "Browse", 590, 121, 50, 12, 0},
    {1, ControlKind::PushButton, "Done", 520, 136, 50, 14, 0},
    {2, ControlKind::PushButton, "Cancel", 590, 136, 50, 14, 0},
};

}  // namespace

const platform::DialogTemplate ProjectFileDialog = {
    "ProjectFile",
    "Enter Driver FileNames",
    23,
    72,
    650,
    153,
    "Times New Roman",
    8,
    0,
    kControls,
    sizeof(kControls) / sizeof(kControls[0]),
};

}  // namespace resources
