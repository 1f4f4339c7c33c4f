// Process-wide state of solver/: the routing matrix, the Plot Control backup, the channel being
// edited or computed, each port's polarity and delay, what each port's resampled spectra were
// built for, and the minimum-phase result. The large response, spectrum and FIR tables are the
// start-up blocks of shell/StartupAllocation.h.
#pragma once

#include <cstdint>

#include "shell/Curves.h"

namespace solver {

inline constexpr int kInputPorts = 8;         // sound-card inputs
inline constexpr int kOutputPorts = 16;       // sound-card outputs
inline constexpr int kPlotFamilies = 12;      // words of PlotFamilyFlags
inline constexpr int kResampledBins = 65536;  // bins the resampling writes
inline constexpr int kPartitions = 8;         // FIR partitions per output

// Which sound-card input feeds which output: [input][output], each 0 or 1. Written only by
// CheckSystemNetwork; read by the output convolution workers while audio runs.
extern std::int32_t RoutingMatrix[kInputPorts][kOutputPorts];

// The plot family switches (shell::PlotFamilyFlags) as they were when the Plot Control dialog
// opened; Cancel puts them back.
extern std::int32_t PlotFamilyFlagsBackup[kPlotFamilies];

// Top of the level axis and dB per division of the SPL plots (decimal texts; the MLS plots read
// them too).
extern char SplScaleTopText[11];
extern char SplScaleStepText[11];

// Scratch levels (dB) on ExtendedFrequencyGrid of the gain-phase integrals; nothing survives a
// call that anybody reads.
extern float ExtendedWorkCurve[shell::kExtendedGridPoints];

// Polarity (+1/-1) and delay (ms) of each port, recorded by the solve, read by the FIR build.
extern std::int32_t OutputPhasing[kOutputPorts];
extern float OutputDelay[kOutputPorts];

// What each port's resampled spectra were built for: sample rate (Hz), F, and the pane whose
// network wrote them (0 = not written since start-up or Clear Plots).
struct SpectrumStamp {
    std::int32_t sample_rate;
    std::int32_t block_frames;
    std::int32_t pane;
};
extern SpectrumStamp FirSpectrumStamps[kOutputPorts];

// The pane whose solve the plotted curves show (0 before any): the SPL plot names its channel.
// A channel whose network the check refuses leaves the curves, and this, as they were.
extern std::int32_t PlottedPane;

// Result of the output-port minimum-phase correction: 2000 complex points on FrequencyGrid.
extern shell::ComplexPoint MinimumPhaseResult[shell::kGridPoints];

// Reruns the init routines of this folder so that every test starts from a known state.
void ResetGlobals();

}  // namespace solver
