// "Quorvex_Linearizer_Plots": the Plot Control dialog (curve families of the SPL / phase plot).
// Dialog units of "Times New Roman" 10 pt.
#include "resources/Resources.h"

namespace resources {
namespace {

using platform::ControlKind;

const platform::ControlTemplate kControls[] = {
    {10, ControlKind::GroupBox, "Show Following SPL Plots", 2, 2, 134, 76, 0},
    {4801, ControlKind::CheckBox, "Selected Filter", 15, 15, 57, 8, 0},
    {4800, ControlKind::CheckBox, "Measured Loudspeaker Driver ", 15, 25, 109, 8, 0},
    {4802, ControlKind::CheckBox, "Inverted HBT Error ", 15, 35, 105, 8, 0},
    {4811, ControlKind::CheckBox, "Inverted HBT Error + Filter", 15, 45, 105, 8, 0},
    {4803, ControlKind::CheckBox, "Corrected Loudspeaker Driver", 15, 55, 109, 8, 0},
    {4804, ControlKind::CheckBox, "Corrected System", 15, 65, 109, 8, 0},
    {20, ControlKind::GroupBox, "Show Following Phase Plots", 2, 80, 134, 76, 0},
    {4806, ControlKind::CheckBox, "Selected Filter", 15, 92, 69, 8, 0},
    {4805, ControlKind::CheckBox, "Measured Loudspeaker Driver ", 15, 102, 109, 8, 0},
    {4807, ControlKind::CheckBox, "Inverted HBT Error ", 15, 112, 105, 8, 0},
    {4812, ControlKind::CheckBox, "Inverted HBT Error + Filter", 15, 122, 105, 8, 0},
    {4808, ControlKind::CheckBox, "Corrected Loudspeaker Driver", 15, 132, 109, 8, 0},
    {4809, ControlKind::CheckBox, "Corrected System", 15, 142, 109, 8, 0},
    {1, ControlKind::DefPushButton, "Done", 140, 104, 25, 14, 0},
    {2, ControlKind::PushButton, "Cancel", 140, 76, 25, 14, 0},
};

}  // namespace

const platform::DialogTemplate PlotControlDialog = {
    "Quorvex_Linearizer_Plots",
    "Plot Control",
    11,
    10,
    170,
    159,
    "Times New Roman",
    10,
    0,
    kControls,
    sizeof(kControls) / sizeof(kControls[0]),
};

}  // namespace resources
