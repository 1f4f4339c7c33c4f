// The edge diffraction model: the complex pressure at the microphone from one point source on
// the baffle at one frequency, the direct sound plus every edge element of the outline acting as
// a secondary source whose strength depends on the source's view of it and on the edge profile.
// GUI thread only; the settings are the calculator's and are not saved.
#pragma once

#include <cstdint>

#include "shell/BaffleRecord.h"
#include "shell/Curves.h"

namespace driverdata {

// Calculator settings (start values in ResetDiffractionSettings).
extern std::int32_t EdgeProfile;             // 0 square, 1 bevel, 2 round; others add no edge terms
extern float EdgeBevelA;                     // cm, the bevel's depth along the side wall
extern float EdgeBevelB;                     // cm, its width along the baffle face
extern float EdgeRoundRadius;                // cm
extern std::int32_t DiffractionDirectivity;  // 1: phases keep the direct path's delay
extern std::int32_t DiffractionShowPhase;
extern std::int32_t DiffractionDipole;     // 1: every edge weight doubled
extern std::int32_t DiffractionListIndex;  // "Piston Model" list index, 0..12

// The next slot (0..4) of each ring of DiffractionCurveTable: SPL 0-4, phase 5-9, power 10-14.
extern std::int32_t DiffractionSplSlot;
extern std::int32_t DiffractionPhaseSlot;
extern std::int32_t DiffractionPowerSlot;

struct DiffractionSum {
    float re;
    float im;
};
// The sum of one set of source points; the caller zeroes it before and divides it after.
extern DiffractionSum DiffractionAccumulator;
// The calculator's own sweep frequencies [Hz].
extern float DiffractionFrequencyGrid[shell::kGridPoints];

// Test hook: false sums each frequency's edge paths with std::cos and std::sin, one frequency
// per call, instead of eight frequencies of a kept source point at once with the calculator's
// own sine and cosine (the sums are formed in the same order; the results agree within 1e-4 dB).
// Set only while no sweep runs.
extern bool DiffractionFastTurns;

// Source points whose element geometry is kept at once: one table per sample of every driver.
inline constexpr int kMaxDiffractionSamples = 1024;

// Adds the pressure of source point (x, y) [raster units] at frequency k of
// DiffractionFrequencyGrid into DiffractionAccumulator. `sample` numbers the source points of
// one sweep (0 .. kMaxDiffractionSamples - 1, the same point under the same number at every k):
// at k = 0 the geometry of that point's view of every element is worked out once and kept for
// the later frequencies. Returns 0.
int EdgeDiffractionAtFrequency(float x, float y, int k, int sample);
// The same with the frequency taken from shell::FrequencyGrid.
int EdgeDiffractionAtFrequencyCommonGrid(float x, float y, int k, int sample);

// The piston sample offsets of a driver of radius `radius` [cm] with the "Piston Model" list
// index: a square lattice of step 2R / (index + 2) from -R while below 1.1 R on both axes, kept
// within 1.075 R of the centre. Fills at most kMaxPistonSamples offsets and returns their count;
// a radius that is not finite or below kSmallestPistonRadius gives none.
inline constexpr int kMaxPistonSamples = 256;
inline constexpr float kSmallestPistonRadius = 0.05f;
struct PistonOffset {
    float x;
    float y;
};
int PistonSampleOffsets(float radius, int list_index, PistonOffset* out);

// Puts the settings back to their start values.
void ResetDiffractionSettings();

}  // namespace driverdata
