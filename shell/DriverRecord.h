// DriverRecord: everything known about one loudspeaker driver. Its raw image is a driver file
// (103,344 bytes, little-endian, no header); the record is recognised by its size alone.
// Fields named Reserved/Text/Pad have no reader; they keep their defaults or what a file brought.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "shell/Curves.h"

namespace shell {

inline constexpr std::size_t kDriverRecordBytes = 103344;
inline constexpr int kTextSlot = 11;  // the usual short numeric text slot

struct DriverRecord {
    char Prefix[1024];                     // 0x00000 bytes 0-9 '#'
    char Texts0400[7][kTextSlot];          // 0x00400 reserved texts
    char Efficiency[kTextSlot];            // 0x0044D reference efficiency [dB]
    char Texts0458[2][kTextSlot];          // 0x00458
    char Diameter[kTextSlot];              // 0x0046E driver diameter [cm]
    char Texts0479[7][kTextSlot];          // 0x00479
    char Texts04C6[4][kTextSlot];          // 0x004C6
    char Text04F2[20];                     // 0x004F2 "Alnico 5"
    char Text0506[kTextSlot];              // 0x00506
    char InputPower[kTextSlot];            // 0x00511 input power Pin [W]
    char Text051C[kTextSlot];              // 0x0051C
    char Texts0527[4][kTextSlot];          // 0x00527
    char Text0553[20];                     // 0x00553 driver kind text
    char Text0567[20];                     // 0x00567
    char LowPassSlope[kTextSlot];          // 0x0057B [dB/oct]
    char LowPassStart[kTextSlot];          // 0x00586 [Hz]
    char HighPassSlope[kTextSlot];         // 0x00591 [dB/oct]
    char HighPassStop[kTextSlot];          // 0x0059C [Hz]
    char Texts05A7[4][kTextSlot];          // 0x005A7
    char ImportDelay[kTextSlot];           // 0x005D3 converter delay [ms]
    char ImportScale[kTextSlot];           // 0x005DE converter scale [dB]
    char Pad05E9[3];                       // 0x005E9
    float Spl[kGridPoints];                // 0x005EC SPL [dB] on FrequencyGrid
    float Phase[kGridPoints];              // 0x0252C phase [degrees]
    float HbtReal[kGridPoints];            // 0x0446C complex response, real part
    float HbtImag[kGridPoints];            // 0x063AC imaginary part
    std::uint8_t Reserved082EC[32000];     // 0x082EC
    std::int32_t HbtValid;                 // 0x0FFEC 1 after a Hilbert-Bode calculation
    std::int32_t Reserved0FFF0[2];         // 0x0FFF0
    std::int32_t ImportKind;               // 0x0FFF8 1 IMP, 2 LMS/LAUD, 3 CLIO/MLSSA, 5/6 DAAS
    float Distance;                        // 0x0FFFC [m]
    char Text10000[20];                    // 0x10000
    std::int32_t Reserved10014[17];        // 0x10014
    std::int32_t CurveKind;                // 0x10058 0 SPL curve, 1 impedance curve
    std::int32_t DistanceInPhase;          // 0x1005C 0/1
    std::int32_t DistanceInAmplitude;      // 0x10060 0/1
    char EnclosureWidth[kTextSlot];        // 0x10064 [cm]
    char EnclosureHeight[kTextSlot];       // 0x1006F [cm]
    char Texts1007A[8][kTextSlot];         // 0x1007A
    char Pad100D2[2];                      // 0x100D2
    float MicDistance;                     // 0x100D4 microphone distance [cm]
    std::int32_t Reserved100D8;            // 0x100D8
    char Text100DC[20];                    // 0x100DC
    std::int32_t Reserved100F0[11];        // 0x100F0
    std::int32_t DriversMode;              // 0x1011C diffraction calculator "I have 2 drivers"
    std::int32_t Reserved10120[8];         // 0x10120
    char Text10140[12];                    // 0x10140 printout scale text at default time
    std::int32_t Reserved1014C[2];         // 0x1014C printout scale and orientation
    char Texts10154[3][kTextSlot];         // 0x10154 printout X, Y offset, colour count
    char Text10175[23];                    // 0x10175
    std::int32_t Reserved1018C[20];        // 0x1018C
    char DiffractionPlotTop[kTextSlot];    // 0x101DC level-axis reference of the diffraction plot
    char DiffractionPlotStep[kTextSlot];   // 0x101E7 level-axis scale
    char Texts101F2[12][kTextSlot];        // 0x101F2
    char Pad10276[2];                      // 0x10276
    std::int32_t Reserved10278[5];         // 0x10278
    char Texts1028C[2][kTextSlot];         // 0x1028C
    char Pad102A2[2];                      // 0x102A2
    std::int32_t PlotStartFrequencyIndex;  // 0x102A4 0..7
    std::int32_t PlotStopFrequencyIndex;   // 0x102A8 0..7
    char Text102AC[20];                    // 0x102AC
    std::int32_t Reserved102C0[20];        // 0x102C0
    std::uint8_t Reserved10310[220];       // 0x10310
    char Texts103EC[3][kTextSlot];         // 0x103EC MLS page texts at default time
    char Pad1040D[3];                      // 0x1040D
    std::int32_t MlsOutputLevelCopy;       // 0x10410
    std::int32_t EdgeElementCount;         // 0x10414
    std::int32_t BaffleNodeCount;          // 0x10418
    std::int32_t BaffleSideCount;          // 0x1041C
    float BaffleClosed;                    // 0x10420 closed flag as a float (2 = closed)
    char Texts10424[14][kTextSlot];        // 0x10424 MLS page texts at default time
    char Pad104BE[10];                     // 0x104BE
    float BaffleNodes[5][2];               // 0x104C8 x, y of outline nodes 0-4
    std::int32_t BafflePoints[5][2];       // 0x104F0 x, y of drivers 1-4 and the microphone
    std::uint8_t Reserved10518[12];        // 0x10518
    std::int32_t Reserved10524[3];         // 0x10524 MLS length, smoothing, window type
    char Texts10530[2][kTextSlot];         // 0x10530
    char Text10546[22];                    // 0x10546
    std::int32_t Reserved1055C[20];        // 0x1055C
    std::uint8_t Reserved105AC[160];       // 0x105AC
    CalibrationPoint MikeCalibration[kGridPoints];    // 0x1064C microphone calibration copy
    CalibrationPoint PreampCalibration[kGridPoints];  // 0x144CC preamplifier calibration copy
    char Text1834C[2048];                             // 0x1834C
    char Text18B4C[2048];                             // 0x18B4C
    char Text1934C[20];              // 0x1934C 20 bytes: the record ends 0x64 bytes on
    std::int32_t Reserved19360[20];  // 0x19360
};

static_assert(sizeof(DriverRecord) == kDriverRecordBytes);
static_assert(offsetof(DriverRecord, Texts0400) == 0x400);
static_assert(offsetof(DriverRecord, Efficiency) == 0x44D);
static_assert(offsetof(DriverRecord, Diameter) == 0x46E);
static_assert(offsetof(DriverRecord, Texts0479) == 0x479);
static_assert(offsetof(DriverRecord, Texts04C6) == 0x4C6);
static_assert(offsetof(DriverRecord, Text04F2) == 0x4F2);
static_assert(offsetof(DriverRecord, Text0506) == 0x506);
static_assert(offsetof(DriverRecord, InputPower) == 0x511);
static_assert(offsetof(DriverRecord, Text051C) == 0x51C);
static_assert(offsetof(DriverRecord, Texts0527) == 0x527);
static_assert(offsetof(DriverRecord, Text0553) == 0x553);
static_assert(offsetof(DriverRecord, Text0567) == 0x567);
static_assert(offsetof(DriverRecord, LowPassSlope) == 0x57B);
static_assert(offsetof(DriverRecord, LowPassStart) == 0x586);
static_assert(offsetof(DriverRecord, HighPassSlope) == 0x591);
static_assert(offsetof(DriverRecord, HighPassStop) == 0x59C);
static_assert(offsetof(DriverRecord, Texts05A7) == 0x5A7);
static_assert(offsetof(DriverRecord, ImportDelay) == 0x5D3);
static_assert(offsetof(DriverRecord, ImportScale) == 0x5DE);
static_assert(offsetof(DriverRecord, Spl) == 0x5EC);
static_assert(offsetof(DriverRecord, Phase) == 0x252C);
static_assert(offsetof(DriverRecord, HbtReal) == 0x446C);
static_assert(offsetof(DriverRecord, HbtImag) == 0x63AC);
static_assert(offsetof(DriverRecord, Reserved082EC) == 0x82EC);
static_assert(offsetof(DriverRecord, HbtValid) == 0xFFEC);
static_assert(offsetof(DriverRecord, ImportKind) == 0xFFF8);
static_assert(offsetof(DriverRecord, Distance) == 0xFFFC);
static_assert(offsetof(DriverRecord, Text10000) == 0x10000);
static_assert(offsetof(DriverRecord, Reserved10014) == 0x10014);
static_assert(offsetof(DriverRecord, CurveKind) == 0x10058);
static_assert(offsetof(DriverRecord, DistanceInPhase) == 0x1005C);
static_assert(offsetof(DriverRecord, DistanceInAmplitude) == 0x10060);
static_assert(offsetof(DriverRecord, EnclosureWidth) == 0x10064);
static_assert(offsetof(DriverRecord, EnclosureHeight) == 0x1006F);
static_assert(offsetof(DriverRecord, Texts1007A) == 0x1007A);
static_assert(offsetof(DriverRecord, MicDistance) == 0x100D4);
static_assert(offsetof(DriverRecord, Reserved100D8) == 0x100D8);
static_assert(offsetof(DriverRecord, Text100DC) == 0x100DC);
static_assert(offsetof(DriverRecord, Reserved100F0) == 0x100F0);
static_assert(offsetof(DriverRecord, DriversMode) == 0x1011C);
static_assert(offsetof(DriverRecord, Text10140) == 0x10140);
static_assert(offsetof(DriverRecord, Reserved1014C) == 0x1014C);
static_assert(offsetof(DriverRecord, Texts10154) == 0x10154);
static_assert(offsetof(DriverRecord, Text10175) == 0x10175);
static_assert(offsetof(DriverRecord, Reserved1018C) == 0x1018C);
static_assert(offsetof(DriverRecord, DiffractionPlotTop) == 0x101DC);
static_assert(offsetof(DriverRecord, DiffractionPlotStep) == 0x101E7);
static_assert(offsetof(DriverRecord, Texts101F2) == 0x101F2);
static_assert(offsetof(DriverRecord, Reserved10278) == 0x10278);
static_assert(offsetof(DriverRecord, Texts1028C) == 0x1028C);
static_assert(offsetof(DriverRecord, PlotStartFrequencyIndex) == 0x102A4);
static_assert(offsetof(DriverRecord, PlotStopFrequencyIndex) == 0x102A8);
static_assert(offsetof(DriverRecord, Text102AC) == 0x102AC);
static_assert(offsetof(DriverRecord, Reserved102C0) == 0x102C0);
static_assert(offsetof(DriverRecord, Reserved10310) == 0x10310);
static_assert(offsetof(DriverRecord, Texts103EC) == 0x103EC);
static_assert(offsetof(DriverRecord, MlsOutputLevelCopy) == 0x10410);
static_assert(offsetof(DriverRecord, EdgeElementCount) == 0x10414);
static_assert(offsetof(DriverRecord, BaffleNodeCount) == 0x10418);
static_assert(offsetof(DriverRecord, BaffleSideCount) == 0x1041C);
static_assert(offsetof(DriverRecord, BaffleClosed) == 0x10420);
static_assert(offsetof(DriverRecord, Texts10424) == 0x10424);
static_assert(offsetof(DriverRecord, BaffleNodes) == 0x104C8);
static_assert(offsetof(DriverRecord, BafflePoints) == 0x104F0);
static_assert(offsetof(DriverRecord, Reserved10518) == 0x10518);
static_assert(offsetof(DriverRecord, Reserved10524) == 0x10524);
static_assert(offsetof(DriverRecord, Texts10530) == 0x10530);
static_assert(offsetof(DriverRecord, Text10546) == 0x10546);
static_assert(offsetof(DriverRecord, Reserved1055C) == 0x1055C);
static_assert(offsetof(DriverRecord, Reserved105AC) == 0x105AC);
static_assert(offsetof(DriverRecord, MikeCalibration) == 0x1064C);
static_assert(offsetof(DriverRecord, PreampCalibration) == 0x144CC);
static_assert(offsetof(DriverRecord, Text1834C) == 0x1834C);
static_assert(offsetof(DriverRecord, Text18B4C) == 0x18B4C);
static_assert(offsetof(DriverRecord, Text1934C) == 0x1934C);
static_assert(offsetof(DriverRecord, Reserved19360) == 0x19360);

// Fills a DriverRecord with the defaults (whole record zeroed first); returns 0. The plot-range,
// printout and MLS copies are taken from the current program variables.
int InitDriverRecord(DriverRecord* record);

struct ElementDriverBlock;
class ValueRepairs;

// Bounds of a driver's data wherever it is loaded (driver files, the driver data of a project's
// elements): levels in dB, phases in degrees (unwrapped, so they may run far), and the parts of
// the complex response (about 1 at the reference level).
inline constexpr float kDriverLevelLowDb = -200.0f;
inline constexpr float kDriverLevelHighDb = 250.0f;
inline constexpr float kDriverPhaseLimit = 1.0e6f;
inline constexpr float kDriverResponseLimit = 1.0e4f;
// The parts of the complex response a driver file may carry: a level of 240 dB, far above any
// real driver yet low enough that squares and products of it stay finite in single precision.
inline constexpr float kDriverFileResponseLimit = 1.0e12f;

// true when every curve of `record` (SPL, phase, HBT response and both calibration copies) holds
// finite numbers inside the bounds above: what the driver-file reader takes, and so what a save
// may write. Calibration levels take the level bounds, their phases the phase bound.
bool DriverCurvesInRange(const DriverRecord& record);
// The same check for one calibration curve (kGridPoints points).
bool CalibrationInRange(const CalibrationPoint* curve);

// Replaces every point of `block` that is not a number or out of those bounds by its default
// (90 dB, 0 degrees, 1 + 0j, efficiency 90 dB) and notes it in `repairs` as `owner` + ": driver
// SPL" and so on. Returns the number of values replaced.
int RepairDriverData(ElementDriverBlock& block, const std::string& owner, ValueRepairs& repairs);

enum class DriverFileStatus { kLoaded, kOpenFailed, kNotRecognized };

// Reads a driver file for an output port: the file (exactly kDriverRecordBytes, a regular file)
// goes whole into `scratch`; its SPL, phase, HBT response and efficiency text go into `out`,
// every value checked by RepairDriverData (noted as "This driver file"). A file of another size,
// or whose curves hold values that are not numbers, is not recognized; `out` is written only
// when the result is kLoaded.
DriverFileStatus ReadDriverFileData(const char* path, DriverRecord& scratch,
                                    ElementDriverBlock& out, ValueRepairs& repairs);

}  // namespace shell
