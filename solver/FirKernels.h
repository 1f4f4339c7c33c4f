// FIR filter spectra for the real-time engine: for each of the 16 outputs, the port response on
// the linear bin grid becomes an 8F-tap impulse response (phase turned against the driver's
// unless SPL Only EQ, polarity and delay applied, centred and windowed), cut into 8 partitions
// of F taps whose zero-padded 2F-point spectra go into FilterSpectra.
#pragma once

#include "platform/Types.h"

namespace solver {

// The fade used by every output window: one minus the four-term Blackman-Harris window,
// W(0) = 0.99994, W(pi) = 0.
double FirFade(double x);
// The fade-in used with SPL Only EQ: V(0) = 0, V(pi) = 0.9951.
double FirFadeIn(double x);

// Fills the output window r[0..8F-1] and the fade-in i[0..8F-1] for the given mode.
void BuildFirWindows(int frames, int spl_only_eq, int wide_window, float* r, float* i);

// Builds FilterSpectra for all 16 outputs (UI thread, before the workers start). Channels whose
// spectra were resampled for another sample rate or F are checked and re-solved first (a network
// the check refuses is not solved, and the user is told which channel); an output whose spectra
// still do not match is built silent. Does nothing when F or the sample rate is not valid.
// Returns 0.
int BuildFirKernels();
// The same, as the player calls it with the SPL plot window's handle (not used).
int BuildFirKernels(platform::HWND spl_window);

}  // namespace solver
