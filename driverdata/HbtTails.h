// The straight tails that continue a level curve below and above its range before the
// gain-to-phase integral: how many grid points make an octave, where a tail frequency may lie,
// and the grid point a tail starts from. The Hilbert-Bode calculation and the room equalizer's
// minimum-phase computations count them alike. Pure functions.
#pragma once

namespace driverdata {

// Points per octave of the range fstart .. fstop: 2000 over the whole doublings plus the rest,
// in single precision (163.657 for 10 Hz .. 50 kHz).
float HbtPointsPerOctave(float fstart, float fstop);

// A tail frequency kept inside 1.02 fstart .. 0.98 fstop; a value that is not a number takes the
// lower end.
float ClampTail(double typed, float fstart, float fstop);

// One below the first of the `points` increasing frequencies of `grid` above v: 0 when that is
// point 0, the last point when there is none.
int TailIndex(const float* grid, int points, float v);

}  // namespace driverdata
