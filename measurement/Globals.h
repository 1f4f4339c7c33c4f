// Process-wide state of measurement/: the MLS measurement state shared by the acquisition page,
// the SPL calculation, the capture files and the room equalizer, and the calibration-section
// settings. The large buffers are allocated at start-up (shell/StartupAllocation.h); the
// settings kept with the preferences are in shell::Mls (shell/PreferencesRecord.h).
#pragma once

#include <cstdint>

#include "platform/Types.h"
#include "shell/Curves.h"

namespace measurement {

inline constexpr int kMlsMinOrder = 13;
inline constexpr int kMlsMaxOrder = 18;
inline constexpr int kMlsLengthCount = 6;
inline constexpr int kMlsWindowTypeCount = 10;

// "8191" .. "262143", indexed by MlsLengthIndex (order = index + 13).
extern const char* const MlsLengthNames[kMlsLengthCount];

// The current MLS order n (sequence length 2^n - 1); 18 when the acquisition page opens.
extern std::int32_t MlsOrder;
// Sample of the In impulse where its gate starts (chosen in the impulse view); default 50.
extern std::int32_t MlsImpulseStart;
// 1: the final smoothing is one centred moving average instead of repeated 3-point passes.
extern std::int32_t MlsLinPhase;
// 2^(5 - MlsSmoothingIndex) / 2: 16, 8, 4, 2, 1, 0.
extern std::int32_t SmoothingPasses;
// 1 once a measurement ran (Save IR and the deconvolution need it).
extern std::int32_t MlsImpulseValid;
// First-pass peak indices of the Ref and In impulses within their first 4000 samples
// (0 = no impulse).
extern std::int32_t MlsRefPeak;
extern std::int32_t MlsInPeak;
// Largest absolute scaled sample of each channel in the last capture.
extern float MlsRefPeakLevel;
extern float MlsInPeakLevel;
// The reference correction in dB on FrequencyGrid.
extern float MlsRefCorrection[shell::kGridPoints];
// Rotating display slots of the measured SPL (0..9) and phase (entries 10..19).
extern std::int32_t MlsSplSlot;
extern std::int32_t MlsPhaseSlot;
// 1 after a successful Calculate SPL.
extern std::int32_t MlsSplCalculated;
// The text the generators write: "MLS %d,  Taps [ %d,%d,%d,%d ],  Length = %d   ".
extern char MlsStatusLine[96];

// The capture being processed and the last processed capture (kMlsCaptureBytes each); null until
// AllocMlsCaptureCopies. Allocated when the MLS page or the room equalizer first opens, they stay
// until the program releases its buffers: closing a window keeps the capture its views show.
extern std::uint8_t* MlsCaptureCopy;
extern std::uint8_t* MlsCaptureSave;
// 1 while MlsCaptureSave holds the capture the impulses in MlsRefSamples and MlsInSamples were
// computed from; 0 before the first one, from the start of a run until its capture is processed
// (the run clears those impulses) and after the copies are freed.
extern std::int32_t MlsCaptureHeld;
// The sampling-rate index and the MLS length index that capture was processed with: what Save IR
// writes with it, whatever the settings became since (opening the page or the room equalizer
// sets them anew).
extern std::int32_t MlsCaptureRateIndex;
extern std::int32_t MlsCaptureLengthIndex;

// The sampling-rate index and the MLS order the impulses in MlsRefSamples and MlsInSamples were
// measured with: the held capture's, while one is held, whatever the page's combos or the room
// equalizer set since; the settings otherwise. Everything that turns those impulses into times
// or frequencies (Calculate SPL, the gates, the views, the acoustical distance) uses these.
int MeasuredRateIndex();
int MeasuredOrder();

// Settings of the calibration sections (family and slope indices of the filter table).
extern std::int32_t CalHpFamily;
extern std::int32_t CalHpSlope;
extern float CalHpFrequency;
extern std::int32_t CalLpFamily;
extern std::int32_t CalLpSlope;
extern float CalLpFrequency;
extern float CalQ;
extern float CalGainDb;
extern std::int32_t CalInvert;

// Allocates both capture copies zero-filled where they are not allocated; false when out of
// memory (what was allocated stays). FreeMlsCaptureCopies releases them (nothing is held then).
bool AllocMlsCaptureCopies();
void FreeMlsCaptureCopies();

// The capture in MlsCaptureCopy becomes the held one: copied into MlsCaptureSave with the current
// sampling-rate index and the length index of MlsOrder. Called by the processing that turns it
// into the impulses; false when the copies are not allocated.
bool KeepMlsCapture();

// SmoothingPasses from shell::Mls.MlsSmoothingIndex (an index outside 0..5 counts as 5).
void UpdateSmoothingPasses();

// Puts every variable of this folder back to its start value (the room equalizer's, the process
// page's, the MLS windows' and the capture file names included) and frees the capture copies, so
// that every test starts from a known state.
void ResetGlobals();

}  // namespace measurement
