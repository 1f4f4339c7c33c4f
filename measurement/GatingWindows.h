// The gating windows of the MLS impulses: one table for the Ref channel and one for the In
// channel (GateWindowRef, GateWindowIn), built from the window type and width settings.
#pragma once

#include "measurement/Globals.h"
#include "shell/StartupAllocation.h"

namespace measurement {

// The "Window Type" list, by MlsWindowType.
extern const char* const MlsWindowNames[kMlsWindowTypeCount];

// Entries of each table that are built (the rest is never read).
inline constexpr int kGateWindowEntries = 268000;
static_assert(kGateWindowEntries * sizeof(float) <= shell::kGateWindowBytes);

// The widths the tables are built with: W (single precision, at most N - 1) and Wi (integer, at
// most N/4 - 1), N = 2^MeasuredOrder(), from shell::Mls.MlsWindowWidthText (0 when not a
// number).
struct GateWidths {
    float w;
    int wi;
};
GateWidths MlsGateWidths();

// Rewrites both tables from MeasuredOrder(), MlsWindowWidthText and MlsWindowType: zero, then the
// shape of the type (a type outside 0..9 or a width of 0 or below leaves them zero). Returns 0.
int BuildMlsWindows();

}  // namespace measurement
