// Curve types shared by every plot and solver table: CurveRecord, complex points and curves,
// calibration curves, and the curve tables allocated at start-up.
#pragma once

#include <cstddef>
#include <cstdint>

namespace shell {

inline constexpr int kGridPoints = 2000;          // points of FrequencyGrid and of every curve
inline constexpr int kExtendedGridPoints = 2700;  // points of ExtendedFrequencyGrid
inline constexpr int kExtendedGridOffset =
    349;  // ExtendedFrequencyGrid[k + 349] ~ FrequencyGrid[k]

// One complex value: (real, imaginary) single-precision pair.
struct ComplexPoint {
    float re;
    float im;
};
static_assert(sizeof(ComplexPoint) == 8);

// 2000 complex points on FrequencyGrid.
using ComplexCurve = ComplexPoint[kGridPoints];

// One point of a calibration curve: level in dB and phase in degrees.
struct CalibrationPoint {
    float Db;
    float Degrees;
};
static_assert(sizeof(CalibrationPoint) == 8);

// 2000 calibration points on FrequencyGrid.
using CalibrationCurve = CalibrationPoint[kGridPoints];

// CurveRecord: 2010 floats. Elements 0-1999 are the values on FrequencyGrid; the rest are
// addressed by the kCurve* indices below. Elements 2006-2008 belong to the table's own users.
inline constexpr int kCurveRecordFloats = 2010;
inline constexpr int kCurveVisible = 2000;    // 1.0 shown
inline constexpr int kCurvePenRed = 2001;     // 0..255
inline constexpr int kCurvePenGreen = 2002;   // 0..255
inline constexpr int kCurvePenBlue = 2003;    // 0..255
inline constexpr int kCurvePenWidth = 2004;   // pixels
inline constexpr int kCurvePenStyle = 2005;   // pen style
inline constexpr int kCurveHoldsData = 2009;  // 1.0 when the values are meaningful

struct CurveRecord {
    float v[kCurveRecordFloats];
};
static_assert(sizeof(CurveRecord) == 8040);

// Sizes of the curve tables (arrays of pointers to separately allocated CurveRecords).
inline constexpr int kSystemCurveCount = 170;
inline constexpr int kDiffractionCurveCount = 15;
inline constexpr int kMeasuredCurveCount = 125;
inline constexpr int kRoomEqCurveCount = 40;
inline constexpr int kProcessBufferCount = 18;

}  // namespace shell
