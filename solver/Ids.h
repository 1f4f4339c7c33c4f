// Control identifiers of the solver's dialogs.
#pragma once

namespace solver {

// Plot Control dialog ("Quorvex_Linearizer_Plots").
inline constexpr int IDC_PLOT_SPL_GROUP = 10;
inline constexpr int IDC_PLOT_PHASE_GROUP = 20;
inline constexpr int IDC_PLOT_DRIVER_SPL = 4800;
inline constexpr int IDC_PLOT_FILTER_SPL = 4801;
inline constexpr int IDC_PLOT_HBT_SPL = 4802;
inline constexpr int IDC_PLOT_FINAL_SPL = 4803;
inline constexpr int IDC_PLOT_SYSTEM_SPL = 4804;
inline constexpr int IDC_PLOT_DRIVER_PHASE = 4805;
inline constexpr int IDC_PLOT_FILTER_PHASE = 4806;
inline constexpr int IDC_PLOT_HBT_PHASE = 4807;
inline constexpr int IDC_PLOT_FINAL_PHASE = 4808;
inline constexpr int IDC_PLOT_SYSTEM_PHASE = 4809;
inline constexpr int IDC_PLOT_HBT_FILTER_SPL = 4811;
inline constexpr int IDC_PLOT_HBT_FILTER_PHASE = 4812;

}  // namespace solver
