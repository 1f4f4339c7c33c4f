// "TAB_MLS_Process": the "Processing" page of the MLS control dialog (a child of its tab
// control): five buffers with sign boxes, thumbnails, show boxes, load and clear buttons, then the
// operations on the buffers and the master, and the destination index legend.
#include "platform/ui/Window.h"
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;

const platform::ControlTemplate kControls[] = {
    {20, ControlKind::GroupBox, "+ / -   ---------  Label   ----  Show Curve  ", 3, 2, 182, 182, 0},
    {10300, ControlKind::CheckBox, "", 8, 23, 10, 10, 0},
    {10301, ControlKind::CheckBox, "", 20, 23, 10, 10, 0},
    {10320, ControlKind::StaticCanvas, nullptr, 32, 14, 84, 31, 0},
    {10340, ControlKind::CheckBox, "", 119, 23, 10, 10, 0},
    {10310, ControlKind::PushButton, "SPL -> Buffer 1", 131, 14, 52, 14, 0},
    {10311, ControlKind::PushButton, "Clear Buffer 1", 131, 29, 52, 14, 0},
    {10302, ControlKind::CheckBox, "", 8, 56, 10, 10, 0},
    {10303, ControlKind::CheckBox, "", 20, 56, 10, 10, 0},
    {10321, ControlKind::StaticCanvas, nullptr, 32, 47, 84, 31, 0},
    {10341, ControlKind::CheckBox, "", 119, 56, 10, 10, 0},
    {10312, ControlKind::PushButton, "SPL -> Buffer 2", 131, 47, 52, 14, 0},
    {10313, ControlKind::PushButton, "Clear Buffer 2", 131, 62, 52, 14, 0},
    {10304, ControlKind::CheckBox, "", 8, 89, 10, 10, 0},
    {10305, ControlKind::CheckBox, "", 20, 89, 10, 10, 0},
    {10322, ControlKind::StaticCanvas, nullptr, 32, 80, 84, 31, 0},
    {10342, ControlKind::CheckBox, "", 119, 89, 10, 10, 0},
    {10314, ControlKind::PushButton, "SPL -> Buffer 3", 131, 80, 52, 14, 0},
    {10315, ControlKind::PushButton, "Clear Buffer 3", 131, 95, 52, 14, 0},
    {10306, ControlKind::CheckBox, "", 8, 122, 10, 10, 0},
    {10307, ControlKind::CheckBox, "", 20, 122, 10, 10, 0},
    {10323, ControlKind::StaticCanvas, nullptr, 32, 113, 84, 31, 0},
    {10343, ControlKind::CheckBox, "", 119, 122, 10, 10, 0},
    {10316, ControlKind::PushButton, "SPL -> Buffer 4", 131, 113, 52, 14, 0},
    {10317, ControlKind::PushButton, "Clear Buffer 4", 131, 128, 52, 14, 0},
    {10308, ControlKind::CheckBox, "", 8, 155, 10, 10, 0},
    {10309, ControlKind::CheckBox, "", 20, 155, 10, 10, 0},
    {10324, ControlKind::StaticCanvas, nullptr, 32, 146, 84, 31, 0},
    {10344, ControlKind::CheckBox, "", 119, 155, 10, 10, 0},
    {10318, ControlKind::PushButton, "SPL -> Buffer 5", 131, 146, 52, 14, 0},
    {10319, ControlKind::PushButton, "Clear Buffer 5", 131, 161, 52, 14, 0},
    {10325, ControlKind::PushButton, "Execute Above -> Master Buffer", 3, 190, 130, 14, 0},
    {10345, ControlKind::CheckBox, "Show Master Buffer", 3, 208, 90, 10, 0},
    {10192, ControlKind::CheckBox, "Show Phase", 100, 208, 60, 10, 0},
    {10348, ControlKind::CheckBox, "Show Driver", 3, 220, 90, 10, 0},
    {10351, ControlKind::PushButton, "Show Phase Difference", 3, 236, 90, 14, 0},
    {21, ControlKind::StaticText, "B", 97, 238, 8, 10, 0},
    {10352, ControlKind::Edit, "", 106, 236, 18, 13, 0},
    {22, ControlKind::StaticText, "-B", 128, 238, 10, 10, 0},
    {10353, ControlKind::Edit, "", 140, 236, 18, 13, 0},
    {10326, ControlKind::PushButton, "Merge B", 3, 254, 38, 14, 0},
    {10327, ControlKind::Edit, "", 44, 254, 18, 13, 0},
    {23, ControlKind::StaticText, "and B", 65, 256, 24, 10, 0},
    {10328, ControlKind::Edit, "", 90, 254, 18, 13, 0},
    {24, ControlKind::StaticText, "at", 111, 256, 10, 10, 0},
    {10172, ControlKind::Edit, "", 122, 254, 40, 13, 0},
    {25, ControlKind::StaticText, "Hz", 165, 256, 14, 10, 0},
    {10333, ControlKind::PushButton, "Add", 3, 272, 26, 14, 0},
    {10334, ControlKind::Edit, "", 32, 272, 34, 13, 0},
    {26, ControlKind::StaticText, "ms delay to Buffer", 69, 274, 78, 10, 0},
    {10335, ControlKind::Edit, "", 150, 272, 18, 13, 0},
    {10330, ControlKind::PushButton, "Add", 3, 290, 26, 14, 0},
    {10331, ControlKind::Edit, "", 32, 290, 34, 13, 0},
    {27, ControlKind::StaticText, "dB to SPL in Buffer", 69, 292, 78, 10, 0},
    {10332, ControlKind::Edit, "", 150, 290, 18, 13, 0},
    {10162, ControlKind::PushButton, "Add Diffraction To", 3, 308, 84, 14, 0},
    {28, ControlKind::StaticText, "Buffer", 91, 310, 28, 10, 0},
    {10346, ControlKind::Edit, "", 122, 308, 18, 13, 0},
    {10336, ControlKind::PushButton, "Copy Master Buffer To", 3, 326, 96, 14, 0},
    {29, ControlKind::StaticText, "Buffer", 103, 328, 28, 10, 0},
    {10337, ControlKind::Edit, "", 134, 326, 18, 13, 0},
    {30, ControlKind::StaticText, "Indexing Scheme Explained Below", 3, 346, 180, 10, 0},
    {31, ControlKind::StaticText, "0 = Driver File, [Recommended Before Closing]", 3, 357, 180, 10,
     0},
    {32, ControlKind::StaticText, "1...5 = [Saved SPL] Buffers", 3, 368, 180, 10, 0},
    {33, ControlKind::StaticText, "6 = Master Buffer", 3, 379, 180, 10, 0},
    {10137, ControlKind::PushButton, "Clear Screen", 3, 394, 58, 14, 0},
    {1825, ControlKind::PushButton, "Print", 64, 394, 40, 14, 0},
    {310, ControlKind::PushButton, "Pen Colours", 107, 394, 58, 14, 0},
};

}  // namespace

const platform::DialogTemplate MlsProcessPage = {
    "TAB_MLS_Process",
    "",
    0,
    0,
    188,
    412,
    nullptr,
    0,
    platform::WS_CHILD,
    kControls,
    sizeof(kControls) / sizeof(kControls[0]),
};

}  // namespace resources
