// Analog filter sections: the complex transfer of a filter element (kind 3) at one frequency,
// and the family and slope names that the filter element dialog lists and the panes print.
#pragma once

#include <complex>

#include "shell/NetworkTables.h"

namespace solver {

inline constexpr int kFilterFamilyCount = shell::kFilterFamilyCount;
inline constexpr int kFilterSlopeCount = shell::kFilterSlopeCount;

// The 12 family names (index 0..11) followed by the 10 slope names (index 12..21).
inline constexpr const auto& FilterTypeTable = shell::FilterTypeNames;

// Family indices as stored (as floats) in the element's parameter record.
enum FilterFamily : int {
    kBessel = 0,
    kButterworth = 1,
    kLinkwitz = 2,
    kQParametric = 3,
    kShelvingMinus6 = 4,
    kShelvingMinus12 = 5,
    kShelvingPlus6 = 6,
    kShelvingPlus12 = 7,
    kKeeleLpW = 8,
    kKeeleHpN = 9,
    kKeeleLpN = 10,
    kKeeleTwe = 11,
};

// The fields of a filter element that a section reads (all as stored, single precision).
struct FilterSectionFields {
    float family;   // 0.0 .. 11.0, compared exactly
    float slope;    // 0.0 .. 9.0, compared exactly
    float fo;       // corner or centre frequency in Hz
    float bypass;   // 1.0 = by-passed
    float r_or_q;   // R of the Keele families, Q of "Q-Parametric"
    float gain_db;  // gain of families 3..7
};

// Per-element state of the Keele LP-N / TWE tail: the last ramp level met inside the band
// 1 < x <= R. `has_level` 0 means no grid point fell in the band yet; the tail then starts from
// the ramp's own value at x = R so that the section stays continuous.
struct KeeleRampState {
    float level;
    int has_level;
};

// Evaluates one section at frequency f (Hz). `clamped_r` receives the R that a Keele family
// clamped into its range (left untouched for the other families); `ramp` is the element's own
// Keele ramp state (may be null for families 0..9). Pure apart from those two outputs.
std::complex<float> EvaluateFilterSection(const FilterSectionFields& fields, float f,
                                          float* clamped_r, KeeleRampState* ramp);

// The section of filter element `element` of the working network at frequency f: fills *out and
// returns out. The Keele families store their clamped R back into the element's R field and keep
// their ramp level in the element's own slot of KeeleRampLevels.
std::complex<float>* ComputeFilterSectionResponse(std::complex<float>* out, float f, int element);

}  // namespace solver
