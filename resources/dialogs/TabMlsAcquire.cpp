// "TAB_MLS_Acquire": the "MLS" page of the MLS control dialog (child of its tab control): signal,
// gating window, impulse-view zoom, measurement, SPL, calibrations, and the input level meter.
// Dialog units of the default dialog font.
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;

const platform::ControlTemplate kControls[] = {
    {100, ControlKind::StaticText, "MLS Length", 4, 6, 40, 8, 0},
    {10144, ControlKind::DropDownList, "", 46, 4, 46, 90, 0},
    {101, ControlKind::StaticText, "Sampling Rate", 96, 6, 50, 8, 0},
    {10120, ControlKind::DropDownList, "", 148, 4, 42, 90, 0},
    {102, ControlKind::StaticText, "Output Level", 4, 21, 46, 8, 0},
    {10125, ControlKind::HScrollBar, "", 52, 20, 82, 10, 0},
    {30, ControlKind::StaticText, "Output = 100%", 138, 21, 52, 8, 0},
    {103, ControlKind::StaticText, "Pre-emphasis", 4, 36, 46, 8, 0},
    {10228, ControlKind::Edit, "", 52, 34, 30, 12, 0},
    {104, ControlKind::StaticText, "ms", 84, 36, 12, 8, 0},
    {10229, ControlKind::CheckBox, "Both Channels", 104, 35, 76, 10, 0},
    {10188, ControlKind::CheckBox, "Delay Read :", 4, 51, 60, 10, 0},
    {10189, ControlKind::Edit, "", 66, 50, 30, 12, 0},
    {105, ControlKind::StaticText, "ms", 98, 52, 12, 8, 0},
    {106, ControlKind::StaticText, "Window Type", 4, 68, 46, 8, 0},
    {10148, ControlKind::DropDownList, "", 52, 66, 96, 120, 0},
    {107, ControlKind::StaticText, " Window Width", 4, 84, 52, 8, 0},
    {10149, ControlKind::Edit, "", 58, 82, 36, 12, 0},
    {108, ControlKind::StaticText, "Time [ms]", 100, 84, 38, 8, 0},
    {10230, ControlKind::Edit, "", 140, 82, 40, 12, 0},
    {109, ControlKind::StaticText, "Pulse delay", 4, 100, 42, 8, 0},
    {10147, ControlKind::Edit, "", 48, 98, 30, 12, 0},
    {110, ControlKind::StaticText, "ms", 80, 100, 12, 8, 0},
    {10193, ControlKind::CheckBox, "Show", 104, 99, 40, 10, 0},
    {111, ControlKind::StaticText, "Zoom", 4, 116, 22, 8, 0},
    {10221, ControlKind::DropDownList, "", 28, 114, 52, 100, 0},
    {10222, ControlKind::DropDownList, "", 84, 114, 52, 100, 0},
    {10196, ControlKind::PushButton, "Save IR", 4, 132, 44, 14, 0},
    {10102, ControlKind::DefPushButton, "Run MLS", 52, 132, 44, 14, 0},
    {10199, ControlKind::CheckBox, "Use Saved Buffer", 100, 134, 88, 10, 0},
    {10151, ControlKind::PushButton, "Calculate SPL", 4, 150, 64, 14, 0},
    {10192, ControlKind::CheckBox, "Show Phase", 74, 152, 64, 10, 0},
    {112, ControlKind::StaticText, "Efficiency", 4, 170, 38, 8, 0},
    {5030, ControlKind::Edit, "", 44, 168, 30, 12, 0},
    {113, ControlKind::StaticText, "dB", 76, 170, 12, 8, 0},
    {114, ControlKind::StaticText, "Add", 4, 186, 16, 8, 0},
    {10170, ControlKind::Edit, "", 22, 184, 30, 12, 0},
    {115, ControlKind::StaticText, "dB to SPL", 54, 186, 40, 8, 0},
    {116, ControlKind::StaticText, "SPL Smoothing", 4, 202, 54, 8, 0},
    {10158, ControlKind::DropDownList, "", 60, 200, 50, 100, 0},
    {7011, ControlKind::CheckBox, "Lin-Phase", 4, 217, 54, 10, 0},
    {10137, ControlKind::PushButton, "Clear SPL", 64, 215, 50, 14, 0},
    {10163, ControlKind::PushButton, "Import Cal. Mike File", 4, 236, 104, 14, 0},
    {10198, ControlKind::CheckBox, "Use It", 112, 238, 36, 10, 0},
    {10224, ControlKind::PushButton, "Import Cal. Preamp File", 4, 254, 104, 14, 0},
    {10223, ControlKind::CheckBox, "Use It", 112, 256, 36, 10, 0},
    {10225, ControlKind::PushButton, "Show Cal. Files", 4, 272, 70, 14, 0},
    {10138, ControlKind::PushButton, "Reset Cal. Files", 78, 272, 70, 14, 0},
    {7002, ControlKind::PushButton, "Create Cal. Files", 4, 290, 70, 14, 0},
    {7003, ControlKind::PushButton, "Export Cal. Files", 78, 290, 70, 14, 0},
    {1825, ControlKind::PushButton, "Print", 4, 308, 44, 14, 0},
    {310, ControlKind::PushButton, "Pen Colours", 52, 308, 56, 14, 0},
    {10128, ControlKind::StaticCanvas, "", 152, 158, 36, 140, 0},
    {117, ControlKind::StaticText, "In", 158, 300, 10, 8, 0},
    {118, ControlKind::StaticText, "Ref", 170, 300, 16, 8, 0},
};

}  // namespace

const platform::DialogTemplate MlsAcquirePageDialog = {
    "TAB_MLS_Acquire",
    "",
    0,
    0,
    190,
    400,
    nullptr,
    8,
    platform::WS_CHILD,
    kControls,
    sizeof kControls / sizeof kControls[0],
};

}  // namespace resources
