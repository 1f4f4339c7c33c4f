// Control, command and timer identifiers of the real-time engine, with the system's values.
#pragma once

namespace engine {

// Player dialog (ComponentCADSelection) commands and controls the engine serves.
inline constexpr int kPlayCommand = 5000;
inline constexpr int kStopCommand = 5010;
inline constexpr int kTestTonesButton = 4811;
inline constexpr int kPlayWavFileCheck = 4911;
inline constexpr int kVolumeScrollBar = 5020;
inline constexpr int kGainReadout = 30;
inline constexpr int kUseHbtDataCheck = 4900;
inline constexpr int kSplOnlyEqCheck = 4910;
inline constexpr int kWideWindowCheck = 20011;
inline constexpr int kFrontLeftButton = 20001;
inline constexpr int kFrontRightButton = 20002;
inline constexpr int kInputMeterControl = 10128;
inline constexpr int kOutputMeterControl = 10129;

// Read-outs written by the scheduler.
inline constexpr int kProcessTimeReadout = 50;    // "Pt=%.2f  "
inline constexpr int kRingWordsReadout = 5030;    // "GB = %d "
inline constexpr int kRingOutReadout = 5031;      // "Out = %d  "
inline constexpr int kBlockPeriodReadout = 5032;  // "Lt=%.2f "
inline constexpr int kBlockCountReadout = 5034;   // "Fr=%d"
inline constexpr int kRingInReadout = 5036;       // "In = %d "

// Play's start-up chain, and the capture watchdog of a running play.
inline constexpr int kStartTimerFrontLeft = 10110;
inline constexpr int kStartTimerFrontRight = 10111;
inline constexpr int kStartTimerOpen = 10112;
inline constexpr int kCaptureWatchdogTimer = 10113;
// Shows the running play's read-outs and meters (the block path only records them).
inline constexpr int kDisplayTimer = 10114;
inline constexpr int kDisplayPeriodMs = 40;

// Test Tones dialog (QUORVEX_LINEARIZER_TEST_TONES).
inline constexpr int kTestTonePortList = 5037;
inline constexpr int kTestToneFrequencyEdit = 5038;

}  // namespace engine
