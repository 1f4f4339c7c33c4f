#include "shell/NetworkTables.h"

namespace shell {

const char* const FilterTypeNames[kFilterFamilyCount + kFilterSlopeCount] = {
    "Bessel",        "Butterworth",  "Linkwitz",      "Q-Parametric", "Shelving-6dB",
    "Shelving-12dB", "Shelving+6dB", "Shelving+12dB", "Keele LP-W",   "Keele HP-N",
    "Keele LP-N",    "Keele TWE",    "LP -6dB/oct",   "LP -12dB/oct", "LP -18dB/oct",
    "LP -24dB/oct",  "LP -48dB/oct", "HP +6dB/oct",   "HP +12dB/oct", "HP +18dB/oct",
    "HP +24dB/oct",  "HP +48dB/oct",
};

// Static: about 27 MB that must never be on a stack.
NetworkTables WorkingNetwork;
PaneStore PaneStores[kPaneCount];
std::int32_t PaneToolModes[kPaneCount];

}  // namespace shell
