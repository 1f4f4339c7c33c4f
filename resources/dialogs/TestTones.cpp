// The modal dialog "QUORVEX_LINEARIZER_TEST_TONES" (title "Test Tones"): replaces the audio with a
// sine of the typed frequency on one port or all ports.
#include "resources/Resources.h"

namespace resources {

namespace {

const platform::ControlTemplate kTestTonesControls[] = {
    {-1, platform::ControlKind::StaticText, "Replace Audio with", 5, 7, 70, 9, 0},
    {5038, platform::ControlKind::Edit, "", 77, 5, 42, 12, 0},
    {-1, platform::ControlKind::StaticText, "Hz, On", 123, 7, 42, 9, 0},
    {5037, platform::ControlKind::DropDownList, "", 62, 20, 50, 130, 0},
    {1, platform::ControlKind::DefPushButton, "Done", 125, 20, 40, 14, 0},
    {2, platform::ControlKind::PushButton, "Cancel", 5, 20, 40, 14, 0},
};

}  // namespace

const platform::DialogTemplate TestTonesDialog = {
    "QUORVEX_LINEARIZER_TEST_TONES",
    "Test Tones",
    27,
    27,
    170,
    37,
    nullptr,
    8,
    0,
    kTestTonesControls,
    sizeof kTestTonesControls / sizeof kTestTonesControls[0],
};

}  // namespace resources
