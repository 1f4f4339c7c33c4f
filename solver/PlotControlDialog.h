// The Plot Control dialog: twelve check boxes that mirror the twelve PlotFamilyFlags words. A box
// changes its flag at once; Done (or the close box) keeps the changes, Cancel puts the flags back
// as they were when the dialog opened. The opener reruns CheckSystemNetwork after a non-zero end.
#pragma once

#include "platform/Types.h"

namespace solver {

inline constexpr const char* kPlotControlTemplate = "Quorvex_Linearizer_Plots";

// Dialog procedure of the template "Quorvex_Linearizer_Plots" (modal). Ends with 1 (Done or the
// close box) or 0 (Cancel).
platform::INT_PTR PlotControlDlgProc(platform::HWND dialog, platform::UINT message,
                                     platform::WPARAM wparam, platform::LPARAM lparam);

// PlotFamilyFlags word of a check box, or -1 for any other control.
int PlotFamilyOfControl(int id);

}  // namespace solver
