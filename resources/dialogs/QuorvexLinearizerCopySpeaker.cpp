// "QUORVEX_LINEARIZER_COPY_SPEAKER" (title "Copy Speaker Control"): one source channel and one
// or more target channels; Subwoofer 2 is listed before Rear Right in both groups.
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;

const platform::ControlTemplate kControls[] = {
    {10, ControlKind::GroupBox, "Copy This Speaker", 8, 6, 150, 186, 0},
    {4950, ControlKind::RadioButton, "Front Left", 18, 28, 130, 18, 0},
    {4951, ControlKind::RadioButton, "Center", 18, 50, 130, 18, 0},
    {4952, ControlKind::RadioButton, "Front Right", 18, 72, 130, 18, 0},
    {4953, ControlKind::RadioButton, "Rear Left", 18, 94, 130, 18, 0},
    {4954, ControlKind::RadioButton, "Subwoofer", 18, 116, 130, 18, 0},
    {4955, ControlKind::RadioButton, "Subwoofer 2", 18, 138, 130, 18, 0},
    {4956, ControlKind::RadioButton, "Rear Right", 18, 160, 130, 18, 0},
    {20, ControlKind::GroupBox, "To This Speaker", 166, 6, 150, 186, 0},
    {4960, ControlKind::RadioButton, "Front Left", 176, 28, 130, 18, 0},
    {4961, ControlKind::RadioButton, "Center", 176, 50, 130, 18, 0},
    {4962, ControlKind::RadioButton, "Front Right", 176, 72, 130, 18, 0},
    {4963, ControlKind::RadioButton, "Rear Left", 176, 94, 130, 18, 0},
    {4964, ControlKind::RadioButton, "Subwoofer", 176, 116, 130, 18, 0},
    {4965, ControlKind::RadioButton, "Subwoofer 2", 176, 138, 130, 18, 0},
    {4966, ControlKind::RadioButton, "Rear Right", 176, 160, 130, 18, 0},
    {1, ControlKind::DefPushButton, "Done", 8, 202, 80, 26, 0},
    {2, ControlKind::PushButton, "Cancel", 236, 202, 80, 26, 0},
};

}  // namespace

const platform::DialogTemplate CopySpeakerDialog = {
    "QUORVEX_LINEARIZER_COPY_SPEAKER",
    "Copy Speaker Control",
    80,
    60,
    324,
    238,
    nullptr,
    8,
    0,
    kControls,
    sizeof kControls / sizeof kControls[0],
};

}  // namespace resources
