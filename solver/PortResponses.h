// The second half of a solve: each output port's responses and curves at every grid point, the
// system sum, and the resampling of each port's responses onto the linear bin grid of the FIR
// builder. Runs only after every grid point of the nodal solution succeeded.
#pragma once

#include <complex>

#include "shell/Curves.h"
#include "shell/NetworkTables.h"
#include "solver/NodalSolution.h"

namespace solver {

// 57.288 degrees per radian and its reciprocal, as the system uses them.
inline constexpr double kDegreesPerRadian = 57.288;
inline constexpr double kRadiansPerDegree = 0.0174556626;

// Level in dB: 10 log10(re^2 + im^2 + 1e-16). Phase in degrees: 0 when re is exactly 0,
// otherwise atan2(im, re) x 57.288.
float CurveLevel(shell::ComplexPoint z);
float CurvePhase(shell::ComplexPoint z);

// Curve families' first blocks in SystemCurveTable.
inline constexpr int kBlockFilterSpl = 0;
inline constexpr int kBlockDriverSpl = 16;
inline constexpr int kBlockHbtSpl = 32;
inline constexpr int kBlockFinalSpl = 48;
inline constexpr int kBlockFilterPhase = 64;
inline constexpr int kBlockDriverPhase = 80;
inline constexpr int kBlockHbtPhase = 96;
inline constexpr int kBlockFinalPhase = 112;
inline constexpr int kBlockSystemSpl = 129;
inline constexpr int kBlockSystemPhase = 130;
inline constexpr int kBlockHbtFilterSpl = 133;
inline constexpr int kBlockHbtFilterPhase = 149;

// Sample rate in Hz that SampleRateIndex selects, or 0 when the index is outside the table.
int SelectedSampleRate();

// Census: polarity and delay of every port of the layout into OutputPhasing and OutputDelay.
void RecordPortCensus(const NodalLayout& layout, const shell::NetworkTables& net);
// Sets all 16 port-response arrays to 0.
void ClearPortResponses();
// Per-port step at grid point k; hot_v[s] is the voltage at slot s's hot node.
void ComputePortStep(const NodalLayout& layout, const shell::NetworkTables& net, int k,
                     const std::complex<double>* hot_v);
// System sum of the included ports into blocks 129 and 130, with their pens.
void ComputeSystemSum(const NodalLayout& layout, const shell::NetworkTables& net);
// Resamples the port and final responses of every port of the layout for the current sample
// rate and F, and stamps them with both and with `pane`. Returns 0, or 1 when the rate or F is
// not valid (nothing resampled, the ports' stamps cleared so a later build knows they are stale).
int ResampleSpectra(const NodalLayout& layout, int pane);
// Resamples one 2000-point source into target bins 0..65535 with bin width bw (Hz).
void ResampleOnto(const shell::ComplexPoint* source, const float* grid, float bw,
                  shell::ComplexPoint* target);

}  // namespace solver
