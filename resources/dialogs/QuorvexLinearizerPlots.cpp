// "Quorvex_Linearizer_Plots": the Plot Control dialog (curve families of the SPL / phase plot).
// Laid out for "Times New Roman" 10 pt: 3 pixels per 2 horizontal units, 7 per 4 vertical units.
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;

const platform::ControlTemplate kControls[] = {
    {10, ControlKind::GroupBox, "Show Following SPL Plots", 3, 3, 201, 133, 0},
    {4801, ControlKind::CheckBox, "Selected Filter", 22, 26, 86, 14, 0},
    {4800, ControlKind::CheckBox, "Measured Loudspeaker Driver ", 22, 44, 164, 14, 0},
    {4802, ControlKind::CheckBox, "Inverted HBT Error ", 22, 61, 158, 14, 0},
    {4811, ControlKind::CheckBox, "Inverted HBT Error + Filter", 22, 79, 158, 14, 0},
    {4803, ControlKind::CheckBox, "Corrected Loudspeaker Driver", 22, 96, 164, 14, 0},
    {4804, ControlKind::CheckBox, "Corrected System", 22, 114, 164, 14, 0},
    {20, ControlKind::GroupBox, "Show Following Phase Plots", 3, 140, 201, 133, 0},
    {4806, ControlKind::CheckBox, "Selected Filter", 22, 161, 104, 14, 0},
    {4805, ControlKind::CheckBox, "Measured Loudspeaker Driver ", 22, 178, 164, 14, 0},
    {4807, ControlKind::CheckBox, "Inverted HBT Error ", 22, 196, 158, 14, 0},
    {4812, ControlKind::CheckBox, "Inverted HBT Error + Filter", 22, 213, 158, 14, 0},
    {4808, ControlKind::CheckBox, "Corrected Loudspeaker Driver", 22, 231, 164, 14, 0},
    {4809, ControlKind::CheckBox, "Corrected System", 22, 248, 164, 14, 0},
    {1, ControlKind::DefPushButton, "Done", 210, 182, 38, 24, 0},
    {2, ControlKind::PushButton, "Cancel", 210, 133, 38, 24, 0},
};

}  // namespace

const platform::DialogTemplate PlotControlDialog = {
    "Quorvex_Linearizer_Plots",
    "Plot Control",
    17,
    17,
    255,
    278,
    "Times New Roman",
    10,
    0,
    kControls,
    sizeof(kControls) / sizeof(kControls[0]),
};

}  // namespace resources
