// One listening location of the room equalizer: its capture turned into the reference and
// measured impulses and the level and phase of the loudspeaker in the room on the room grid.
#pragma once

#include <cstdint>

#include "platform/Types.h"

namespace measurement {

// Records of shell::RoomEQCurves.
inline constexpr int kRoomEqRefImpulse = 0;     // + location: reference impulse x 0.01
inline constexpr int kRoomEqInImpulse = 6;      // + location: measured impulse x 0.01
inline constexpr int kRoomEqLevel = 12;         // + location: level, dB - 90; holds-data flag
inline constexpr int kRoomEqPhase = 18;         // + location: phase, degrees
inline constexpr int kRoomEqCorrection = 24;    // correction gain, dB (0 or below)
inline constexpr int kRoomEqCorrectionPh = 25;  // minimum phase of the correction, degrees
inline constexpr int kRoomEqEqualized = 26;     // average plus correction, dB - 90
inline constexpr int kRoomEqAverageMinPh = 27;  // minus the minimum phase of the average
inline constexpr int kRoomEqExcessPhase = 28;
inline constexpr int kRoomEqExcessUnwrapped = 29;
inline constexpr int kRoomEqExcessMean = 30;
inline constexpr int kRoomEqGroupDelay = 31;  // excess group delay, ms
inline constexpr int kRoomEqAverage = 32;     // level of the average, dB - 90
inline constexpr int kRoomEqAveragePh = 33;   // phase of the average, degrees
inline constexpr int kRoomEqWindow = 34;      // gating window for display
inline constexpr int kRoomEqLocations = 6;

// The sampling rate in Hz each location's impulses (records 0..5 and 6..11) were measured at, 0
// while the location holds none: the impulse pane counts its time labels in it.
extern std::int32_t RoomEQImpulseRates[kRoomEqLocations];

// Rows of CurveColourScheme the records are drawn with.
inline constexpr int kPenFilterSpl = 1;
inline constexpr int kPenDriverSpl = 2;
inline constexpr int kPenEqualizedRoom = 12;
inline constexpr int kPenRoomEqSpl = 13;
inline constexpr int kPenRoomEqPhase = 14;
inline constexpr int kPenGroupDelay = 16;
inline constexpr int kPenMlsIn = 17;
inline constexpr int kPenMlsRef = 18;

// Visible flag 1.0 and the pen of colour-scheme row `pen` on a record.
void ShowRoomEqRecord(int record, int pen);

// Record 34 from GateWindowRef: 0 below MlsImpulseStart and at 0, else 145 x the window value.
void BuildRoomEqWindowRecord();

// Unwraps a phase curve in degrees (a step of more than 180 degrees is taken as a wrap).
void UnwrapDegrees(const float* wrapped, float* unwrapped, int points);

// On an unwrapped phase curve of 2000 points: the first fall of more than 300 degrees within
// three points (from a point up to 781) is taken as a missed wrap: the two points between take
// the value before the fall and everything from the third on is lifted by 360; the scan starts
// again until no such fall is left.
void RepairPhaseDrops(float* unwrapped);

// Ten-point mean: out[j + 5] = mean of in[j .. j + 9]; the ends take the nearest computed value.
void TenPointMean(const float* in, float* out, int points);

enum class LocationResult {
    kDone,
    kNoImpulse,      // "Please Generate Impulse Response First" shown
    kWindowTooWide,  // the gate width refused (MlsGateWidthAccepted), its message shown
    kMissing,        // a buffer or the sequence is missing; nothing shown
};

// Processes MlsCaptureCopy for `location` (0..5) with the room-EQ element parameters `params`
// (delay slot in ms, gain-dB slot): the location's records and its holds-data flag. Messages
// are owned by `dialog`. The location's level, phase and flag change only with kDone.
LocationResult ProcessRoomEqLocation(platform::HWND dialog, int location, const float* params);

}  // namespace measurement
