// The modal dialog "QUORVEX_LINEARIZER_TEST_TONES" (title "Test Tones"): replaces the audio with a
// sine of the typed frequency on one port or all ports.
#include "resources/Resources.h"

namespace resources {

namespace {

const platform::ControlTemplate kTestTonesControls[] = {
    {-1, platform::ControlKind::StaticText, "Replace Audio with", 8, 12, 104, 16, 0},
    {5038, platform::ControlKind::Edit, "", 114, 9, 56, 20, 0},
    {-1, platform::ControlKind::StaticText, "Hz, On", 176, 12, 40, 16, 0},
    {5037, platform::ControlKind::DropDownList, "", 96, 34, 80, 200, 0},
    {1, platform::ControlKind::DefPushButton, "Done", 184, 34, 60, 22, 0},
    {2, platform::ControlKind::PushButton, "Cancel", 8, 34, 60, 22, 0},
};

}  // namespace

const platform::DialogTemplate TestTonesDialog = {
    "QUORVEX_LINEARIZER_TEST_TONES",
    "Test Tones",
    40,
    40,
    255,
    64,
    nullptr,
    8,
    0,
    kTestTonesControls,
    sizeof kTestTonesControls / sizeof kTestTonesControls[0],
};

}  // namespace resources
