// Control identifiers of the measurement windows, with the system's values. The room equalizer's
// dialog carries a dozen of the MLS control page's controls under the same numbers; they keep
// the page's names.
#pragma once

namespace measurement {

// ---- The two tab controls of the MLS windows ----
inline constexpr int kMlsControlTabId = 1200;
inline constexpr int kMlsSplTabId = 1201;

// ---- MLS control page (TAB_MLS_Acquire) ----
inline constexpr int kLevelText = 30;  // "Level = %d" of the output level bar
inline constexpr int kPenColoursButton = 310;
inline constexpr int kPrintButton = 1825;
inline constexpr int kEfficiencyEdit = 5030;
inline constexpr int kCreateCalButton = 7002;
inline constexpr int kExportCalButton = 7003;
inline constexpr int kLinPhaseBox = 7011;
inline constexpr int kRunButton = 10102;  // the room equalizer: start the chosen location
inline constexpr int kRateCombo = 10120;
inline constexpr int kLevelBar = 10125;
inline constexpr int kMeter = 10128;
inline constexpr int kClearButton = 10137;
inline constexpr int kResetCalButton = 10138;
inline constexpr int kLengthCombo = 10144;
inline constexpr int kPulseDelayEdit = 10147;
inline constexpr int kWindowTypeCombo = 10148;
inline constexpr int kWindowWidthEdit = 10149;  // samples
inline constexpr int kCalculateButton = 10151;
inline constexpr int kSmoothingCombo = 10158;
inline constexpr int kImportMikeButton = 10163;
inline constexpr int kAddDbEdit = 10170;
inline constexpr int kDelayReadBox = 10188;
inline constexpr int kDelayReadEdit = 10189;
inline constexpr int kShowPhaseBox = 10192;
inline constexpr int kShowWindowBox = 10193;
inline constexpr int kSaveIrButton = 10196;
inline constexpr int kUseMikeBox = 10198;
inline constexpr int kSavedBufferBox = 10199;
inline constexpr int kAmplitudeZoomCombo = 10221;
inline constexpr int kTimeZoomCombo = 10222;
inline constexpr int kUsePreampBox = 10223;
inline constexpr int kImportPreampButton = 10224;
inline constexpr int kShowCalButton = 10225;
inline constexpr int kPreEmphasisEdit = 10228;
inline constexpr int kBothChannelsBox = 10229;
inline constexpr int kWindowMsEdit = 10230;  // the window width in ms

// ---- Post-processing page (TAB_MLS_Process) ----
// Buffer n (1..5): plus 10300 + 2(n - 1), minus one more; "SPL -> Buffer n" 10310 + 2(n - 1),
// "Clear Buffer n" one more; thumbnail 10320 + n - 1; "Show Curve" 10340 + n - 1.
inline constexpr int kProcPlus1 = 10300;
inline constexpr int kProcLoad1 = 10310;
inline constexpr int kProcThumb1 = 10320;
inline constexpr int kProcShow1 = 10340;
inline constexpr int kProcShowMaster = 10345;
inline constexpr int kProcSum = 10325;
inline constexpr int kProcMerge = 10326;
inline constexpr int kProcMergeSource1 = 10327;
inline constexpr int kProcMergeSource2 = 10328;
inline constexpr int kProcMergeFrequency = 10172;
inline constexpr int kProcAddDb = 10330;
inline constexpr int kProcAddDbValue = 10331;
inline constexpr int kProcAddDbDest = 10332;
inline constexpr int kProcAddDelay = 10333;
inline constexpr int kProcDelayValue = 10334;
inline constexpr int kProcDelayDest = 10335;
inline constexpr int kProcCopy = 10336;
inline constexpr int kProcCopyDest = 10337;
inline constexpr int kProcDiffractionDest = 10346;
inline constexpr int kProcShowDriver = 10348;
inline constexpr int kProcPhaseDifference = 10351;
inline constexpr int kProcPhaseSource1 = 10352;
inline constexpr int kProcPhaseSource2 = 10353;
inline constexpr int kProcAddDiffraction = 10162;
inline constexpr int kProcClearScreen = 10137;
inline constexpr int kProcShowPhase = 10192;
inline constexpr int kProcPrint = 1825;
inline constexpr int kProcPenColours = 310;

// ---- Create Calibration dialog ----
inline constexpr int kHpSlopeList = 7004;
inline constexpr int kHpFamilyList = 7005;
inline constexpr int kHpFrequencyEdit = 7006;
inline constexpr int kLpSlopeList = 7007;
inline constexpr int kLpFamilyList = 7008;
inline constexpr int kLpFrequencyEdit = 7009;
inline constexpr int kInvertBox = 7010;
inline constexpr int kQEdit = 7012;
inline constexpr int kGainEdit = 7013;

// ---- Room equalizer dialog (besides the MLS page's controls above) ----
inline constexpr int kThresholdText = 7;  // "EQ Threshold = %d dB"
inline constexpr int kImpulsePane = 6000;
inline constexpr int kSplPane = 6001;
inline constexpr int kDelayPane = 6002;
inline constexpr int kFirstLocation = 6010;  // radios "Location 1" .. "Location 6"
inline constexpr int kLastLocation = 6015;
inline constexpr int kThresholdBar = 6020;
inline constexpr int kFromEdit = 6021;   // F1, Hz
inline constexpr int kToEdit = 6022;     // F2, Hz
inline constexpr int kSlopeEdit = 6023;  // projected slope, dB
inline constexpr int kShowEqPhase = 6024;
inline constexpr int kShowEqSpl = 6025;
inline constexpr int kShowEqualized = 6026;
inline constexpr int kBypass = 6027;
inline constexpr int kMarks = 6028;
inline constexpr int kClearAll = 6029;
inline constexpr int kRecalculateButton = 6030;  // "Re-Calculate EQ"
inline constexpr int kAmplitudeOnly = 6031;
inline constexpr int kScalarAverage = 6032;
inline constexpr int kCorrectionPort = 6033;

}  // namespace measurement
