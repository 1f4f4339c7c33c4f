// The HBT editor's input preparation after a driver load or an import: the efficiency check and
// the repair of gaps in the SPL and phase curves of the current driver. UI thread only.
#pragma once

namespace driverdata {

// 0 done, 1 refused with "Efficiency Error" (efficiency not above 50 dB, or not a number): the
// curves then stay as they are.
int PrepareHbtInput();
// The efficiency check of PrepareHbtInput alone (its message included), for Calculate: the
// efficiency is taken off every level, and one of 50 dB or less lifts the response out of range.
bool HbtEfficiencyUsable();

// The curve repair alone, on 2000-point SPL and phase curves.
void RepairHbtCurves(float* spl, float* phase);

}  // namespace driverdata
