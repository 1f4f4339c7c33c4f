// Calculate SPL: the gated Ref and In impulses of the last measurement turned into the SPL and
// phase of the current driver on FrequencyGrid, corrected by the Ref channel, the pulse delay
// and the microphone and preamplifier calibrations, and smoothed. The gated spectrum it starts
// from is the step it shares with the room equalizer (measurement/GatedSpectrum.h).
#pragma once

#include "platform/Types.h"

namespace measurement {

// Negates runs of 1 to 4 points above 120 degrees between points below -120, and the other way
// round (the points are visited for j = 0 .. points - 6).
void RepairPhaseFlips(float* degrees, int points);

// The command: 0 when the driver curves were computed; 1 refused with a message (owner `owner`),
// nothing changed: no impulse yet ("Please Generate Impulse Response First"), a gate wider than
// the sequence ("Please reduce Timw Window Length"), a gate width that is not a number of at
// least one sample (kMlsGateTooNarrow), or a gate start that leaves the impulse.
// Also refused: an "Add dB To SPL" beyond shell::kMostMlsAddDb (kMlsAddDbOutOfRange), and a
// result with levels or phases beyond the driver bounds (kMlsResultOutOfRange).
int CalculateMlsSpl(platform::HWND owner);
// The gate width typed in MlsWindowWidthText checked for a sequence of n samples: true when it is
// a number of 1 .. n - 1 samples; otherwise false after kMlsGateTooNarrow or "Please reduce Timw
// Window Length" (owner `owner`). A gate of no samples would give curves of nothing, drawn as if
// measured; the width is typed on the MLS page and used by the room equalizer too.
bool MlsGateWidthAccepted(platform::HWND owner, int n);
inline constexpr const char* kMlsGateTooNarrow = "Please Enter A Window Width Of At Least 1 Sample";
inline constexpr const char* kMlsAddDbOutOfRange = "Add dB To SPL Must Lie Within -200...200 dB";
inline constexpr const char* kMlsResultOutOfRange =
    "SPL Out Of Range: Check Add dB And The Calibrations; Driver NOT Changed";

}  // namespace measurement
