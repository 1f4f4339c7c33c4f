// The acquisition page "TAB_MLS_Acquire" (tab "MLS" of the MLS control dialog): the MLS signal
// settings, Run MLS on the sound card (or from a stored capture), the impulse view's settings,
// Calculate SPL, the calibration commands, and the two-channel input level meter. UI thread.
#pragma once

#include "platform/Types.h"

namespace measurement {

platform::INT_PTR MlsAcquireDlgProc(platform::HWND, platform::UINT, platform::WPARAM,
                                    platform::LPARAM);

// Paints the two-column level meter into `meter`: `level1` lights the left column, `level2` the
// right one, one segment per 2 units from the bottom (18 segments). Returns 0.
int DrawInputLevelMeter(platform::HWND meter, float level1, float level2);

// Segments a level lights (0..18): segment k is lit when level >= 2k.
int LitMeterSegments(float level);

// The calibration curve of the dialog's sections on FrequencyGrid into every ticked calibration
// (microphone, preamplifier), their driver-record copies and display entries 25..28.
void CreateCalibrationCurves();

}  // namespace measurement
