// The room equalizer's frequency grids and its two minimum-phase computations: of the averaged
// room response (to separate its excess phase) and of the cut-only correction (to give it a
// minimum phase). Both run the program's one gain-to-phase integral on the room grid.
#pragma once

#include "shell/Curves.h"

namespace measurement {

inline constexpr int kRoomEqPoints = shell::kGridPoints;
inline constexpr int kRoomEqExtendedPoints = shell::kExtendedGridPoints;
// Room grid point k is extended point k + 350.
inline constexpr int kRoomEqFirstStored = 350;

// 10 x 5000^((i + 1) / 2000) Hz (10.04 Hz .. 50 kHz), and 10 x 5000^((k - 349) / 2000) Hz.
// Fixed: they do not follow the preferences' plot range.
extern float RoomEQFrequencyGrid[kRoomEqPoints];
extern float RoomEQExtendedGrid[kRoomEqExtendedPoints];
// Indices of 10 Hz and 50 kHz in the plot-range tables (set when the room equalizer opens).
inline constexpr int kRoomEq10HzIndex = 3;
inline constexpr int kRoomEq50kHzIndex = 6;
extern int RoomEQStartFrequencyIndex;
extern int RoomEQStopFrequencyIndex;
// The level (dB) on RoomEQExtendedGrid of the last computation.
extern float RoomEQWorkCurve[kRoomEqExtendedPoints];

// Builds both grids and clears the work curve.
void BuildRoomEqGrids();

// The minimum-phase response of `curve` (2000 levels in dB on the room grid) with the level held
// flat (or falling `hp_slope` dB per octave, also below the grid) below `hp_stop` Hz and held
// flat above `lp_start` Hz, both kept inside 1.02 fstart .. 0.98 fstop. 2000 complex points into
// `out`.
void RoomEqMinimumPhaseOf(const float* curve, float hp_stop, float hp_slope, float lp_start,
                          shell::ComplexPoint* out);

// The averaged response (RoomEQCurves record 32, dB - 90), tails at 10.2 Hz with the element's
// projected slope and at 498 Hz flat, into solver::MinimumPhaseResult. 0; 1 for a bad element.
int ComputeMeasuredMinimumPhase(int element);
// The correction (record 24, dB) with both tails at the element's band edges From and To.
// 1 without a write when From >= To (or a bad element); else 0.
int ComputeRoomEQMinimumPhase(int element);

}  // namespace measurement
