// Control identifiers of the driver-data tools' dialogs.
#pragma once

namespace driverdata {

// ---- DiffractionCalculator ----
inline constexpr int kDiffRasterEdit = 7000;
inline constexpr int kDiffExample2 = 7001;
inline constexpr int kDiffPlot = 7028;
inline constexpr int kDiffExample1 = 7003;
inline constexpr int kDiffShowPhase = 7004;
inline constexpr int kDiffDipole = 7006;
inline constexpr int kDiffPistonList = 7008;
inline constexpr int kDiffModeMove = 7009;
inline constexpr int kDiffSketch = 7010;
inline constexpr int kDiffCanvas = 7011;
inline constexpr int kDiffClear = 7012;
inline constexpr int kDiffInsertIndex = 7013;
inline constexpr int kDiffMicScroll = 7014;
inline constexpr int kDiffMicReadout = 7015;
inline constexpr int kDiffDirectivity = 7017;
inline constexpr int kDiffSquare = 7018;
inline constexpr int kDiffBevel = 7019;
inline constexpr int kDiffRound = 7020;
inline constexpr int kDiffBevelA = 7021;
inline constexpr int kDiffBevelB = 7022;
inline constexpr int kDiffRoundR = 7023;
inline constexpr int kDiffModeAdd = 7025;
inline constexpr int kDiffModeInsert = 7026;
inline constexpr int kDiffModeDelete = 7027;
inline constexpr int kDiffDiameter = 7029;
inline constexpr int kDiffTwoDrivers = 7030;
inline constexpr int kDiffPrint = 1855;
inline constexpr int kDiffMicPosition = 102;
inline constexpr int kDiffDriver1Text = 140;
inline constexpr int kDiffDriver2Text = 150;

// ---- TransferFunction (the HBT editor's dialog) ----
inline constexpr int kHbtGroup = 20;
inline constexpr int kHbtHighPassLabel = 70;
inline constexpr int kHbtLowPassLabel = 80;
inline constexpr int kHbtDistanceReadout = 10;
inline constexpr int kHbtRefresh = 5001;
inline constexpr int kHbtHighPassStop = 5002;
inline constexpr int kHbtLowPassStart = 5003;
inline constexpr int kHbtDistanceScroll = 5005;
inline constexpr int kHbtHighPassSlope = 5006;
inline constexpr int kHbtLowPassSlope = 5007;
inline constexpr int kHbtInputPower = 5008;
inline constexpr int kHbtCalculate = 5009;
inline constexpr int kHbtDistanceInPhase = 5018;
inline constexpr int kHbtDistanceInAmplitude = 5019;
inline constexpr int kHbtHelp = 5024;
inline constexpr int kHbtShowReferencePhase = 5025;
inline constexpr int kHbtEfficiency = 5030;
inline constexpr int kHbtUseAsMikeCal = 7000;
inline constexpr int kHbtUseAsPreampCal = 7001;

}  // namespace driverdata
