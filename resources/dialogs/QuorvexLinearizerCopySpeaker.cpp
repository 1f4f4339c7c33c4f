// "QUORVEX_LINEARIZER_COPY_SPEAKER" (title "Copy Speaker Control"): one source channel and one
// or more target channels; Subwoofer 2 is listed before Rear Right in both groups.
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;

const platform::ControlTemplate kControls[] = {
    {10, ControlKind::GroupBox, "Copy This Speaker", 5, 4, 100, 124, 0},
    {4950, ControlKind::RadioButton, "Front Left", 12, 19, 87, 12, 0},
    {4951, ControlKind::RadioButton, "Center", 12, 33, 87, 12, 0},
    {4952, ControlKind::RadioButton, "Front Right", 12, 48, 87, 12, 0},
    {4953, ControlKind::RadioButton, "Rear Left", 12, 63, 87, 12, 0},
    {4954, ControlKind::RadioButton, "Subwoofer", 12, 77, 87, 12, 0},
    {4955, ControlKind::RadioButton, "Subwoofer 2", 12, 92, 87, 12, 0},
    {4956, ControlKind::RadioButton, "Rear Right", 12, 107, 87, 12, 0},
    {20, ControlKind::GroupBox, "To This Speaker", 111, 4, 100, 124, 0},
    {4960, ControlKind::RadioButton, "Front Left", 117, 19, 87, 12, 0},
    {4961, ControlKind::RadioButton, "Center", 117, 33, 87, 12, 0},
    {4962, ControlKind::RadioButton, "Front Right", 117, 48, 87, 12, 0},
    {4963, ControlKind::RadioButton, "Rear Left", 117, 63, 87, 12, 0},
    {4964, ControlKind::RadioButton, "Subwoofer", 117, 77, 87, 12, 0},
    {4965, ControlKind::RadioButton, "Subwoofer 2", 117, 92, 87, 12, 0},
    {4966, ControlKind::RadioButton, "Rear Right", 117, 107, 87, 12, 0},
    {1, ControlKind::DefPushButton, "Done", 5, 135, 53, 17, 0},
    {2, ControlKind::PushButton, "Cancel", 157, 135, 53, 17, 0},
};

}  // namespace

const platform::DialogTemplate CopySpeakerDialog = {
    "QUORVEX_LINEARIZER_COPY_SPEAKER",
    "Copy Speaker Control",
    53,
    40,
    216,
    159,
    nullptr,
    8,
    0,
    kControls,
    sizeof kControls / sizeof kControls[0],
};

}  // namespace resources
