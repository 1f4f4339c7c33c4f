// The room equalizer: six listening locations per channel, their average (complex or scalar),
// the cut-only correction under a threshold inside a band with its minimum phase, the excess
// group delay, and the hand-off of the correction to the room-EQ element's transfer curve.
// Process-wide state; UI thread only.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Types.h"
#include "shell/Curves.h"
#include "shell/ProjectImage.h"

namespace measurement {

inline constexpr int kOutputPortNameCount = 17;
// "Output Port 1" .. "Output Port 16", "No Correction" (index 16).
extern const char* const OutputPortNames[kOutputPortNameCount];
inline constexpr int kNoDriverCorrection = 16;

// Location (0..5) the next capture belongs to.
extern std::int32_t RoomEQLocation;
// Threshold bar position 35..125; the threshold is T = 70 - position (dB on the stored scale).
extern std::int32_t RoomEQThresholdPos;
inline constexpr int kThresholdTop = 35;
inline constexpr int kThresholdBottom = 125;
// What the edits store at most (either sign): Add dB and Slope [dB], Add Delay [ms]. Levels
// beyond them draw curves that are no longer numbers; the delay keeps within what a project
// holds for a room EQ.
inline constexpr double kRoomEqMostLevelDb = 200.0;
inline constexpr double kRoomEqMostDelayMs = shell::kDelayLimitMs;
extern float RoomEQThresholdLine[shell::kGridPoints];
extern std::int32_t RoomEQShowEqPhase;
extern std::int32_t RoomEQShowEqSpl;
extern std::int32_t RoomEQShowEqualized;
extern float RoomEQRefPeakLevel;
extern float RoomEQInPeakLevel;

// T of a bar position.
inline int RoomEqThreshold(int position) { return 70 - position; }

// The file word of a channel pane (1..7) for auto-saved captures; null outside 1..7.
const char* RoomEqChannelWord(int pane);
// ProgramDirectory + channel word + "_L" + (location + 1) + ".res"; empty for a bad pane.
std::string RoomEqAutoSavePath(int pane, int location);

// Resamples a complex curve between two increasing frequency grids, linearly in log frequency;
// points of `to` outside the span of `from` get 1 + 0j.
void ResampleComplexLog(const float* from_f, const shell::ComplexPoint* from, int from_points,
                        const float* to_f, shell::ComplexPoint* to, int to_points);

// Who asks for an evaluation: "Re-Calculate EQ", the threshold bar and the band picks, or the
// road that has just processed a location's capture.
enum class RoomEqEvaluation { kRecalculate, kLocationRoad };

// The evaluation: average of the measured locations (records 32, 33), the driver correction of
// the element's correcting output port, the correction (24) with its minimum phase (25), the
// equalized room (26), the excess phase (27..30) and the excess group delay (31, ms).
// The three-point mean of the excess phase (30) starts at point 1; point 0 takes point 1's value,
// and after a location's road points 0 and 1 both take point 2's.
// `element` is the room-EQ element of the WorkingNetwork. 1 for a bad element, else 0.
int EvaluateRoomEq(int element, RoomEqEvaluation caller = RoomEqEvaluation::kRecalculate);

// Done: the correction (records 24, 25) resampled onto FrequencyGrid into the element's
// ElementTransfer (magnitude only with the amplitude-only slot at 1.0). 1 for a bad element.
int StoreRoomEqCorrection(int element);

// Clear All Data: every record of RoomEQCurves zeroed, location 0, peak levels 0.
void ClearRoomEqData();

// Reruns the init routines of the room equalizer's state.
void ResetRoomEqState();

// The dialog procedure of "Room_EQ" (title "Minimum-Phase Room Equalizer").
platform::INT_PTR RoomEQDlgProc(platform::HWND dialog, platform::UINT message,
                                platform::WPARAM wParam, platform::LPARAM lParam);

}  // namespace measurement
