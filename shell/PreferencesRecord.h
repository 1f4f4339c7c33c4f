// PreferencesRecord: every program-wide setting that survives a restart. Its raw image is the
// preferences file "QV_Preferences.pre" in the program directory (63,432 bytes, no header).
// InitPreferencesRecord fills the defaults, ApplyPreferencesRecord copies the record into the
// program variables (checking every index and terminating every text), CollectPreferencesRecord
// copies the variables back. UI thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Types.h"
#include "platform/ui/Window.h"
#include "shell/Curves.h"

namespace shell {

inline constexpr std::size_t kPreferencesRecordBytes = 63432;
inline constexpr int kColourEntryCount = 19;  // CurveColourScheme entries 1..19 at index 0..18
inline constexpr int kStoredItemSelectCount = 15;
inline constexpr int kWindowPlacementCount = 90;
inline constexpr int kWindowPlacementDefaults = 78;  // slots 0..77 have defaults
inline constexpr int kProfileCount = 10;
inline constexpr int kPathSlot = 2048;
// Largest "Add dB To SPL" (either sign) the MLS calculation takes: beyond it no level a driver
// file carries comes out, and from about 6,000 dB on the levels overflow.
inline constexpr double kMostMlsAddDb = 200.0;

// One entry of CurveColourScheme: red, green, blue 0..255, thickness 1..4, type 1 solid,
// 2 dotted, 3 dashed.
struct ColourEntry {
    std::int32_t Red;
    std::int32_t Green;
    std::int32_t Blue;
    std::int32_t Thickness;
    std::int32_t Type;
};
static_assert(sizeof(ColourEntry) == 20);

// One slot of WindowPlacements: position and size in frame-client pixels.
struct WindowPlacement {
    std::int32_t X;
    std::int32_t Y;
    std::int32_t Width;
    std::int32_t Height;
};
static_assert(sizeof(WindowPlacement) == 16);

struct PreferencesRecord {
    std::int32_t PlotStartFrequencyIndex;  // 0     0..7 = 1, 2, 5, 10, 20, 50, 100, 200 Hz
    std::int32_t PlotStopFrequencyIndex;   // 4     0..7 = 500 Hz .. 100 kHz
    std::uint8_t Reserved0008[8];          // 8     never set
    std::int32_t CurveItemSelect[kStoredItemSelectCount];  // 16 first 15 CurveItemSelectFlags
    ColourEntry CurveColours[kColourEntryCount];           // 76 CurveColourScheme entries 1..19
    std::uint8_t Reserved01C8[100];                        // 456   never set
    std::int32_t ImportColumnFlags[5];  // 556   in place: importer "Include Column:" 1-5
    std::int32_t EraseLines;            // 576   in place: importer "Erase Lines:"
    std::int32_t ImportOption;          // 580   in place: importer column count (2..5)
    std::int32_t Reserved0248[3];       // 584
    std::int32_t MlsDataSign;           // 596   +1 / -1
    std::int32_t MlsRefSign;            // 600   +1 / -1
    std::int32_t OutputLayout;          // 604   0 "8 Outputs", 1 "16 Outputs", 2 "8 + SPDIF"
    std::int32_t InputLayout;           // 608   0 "Inputs 1-2", 1 "Inputs 1-8", 2 "Inputs 1-12"
    std::int32_t Reserved0264[2];       // 612   written as 0
    char Text026C[11];                  // 620   reserved text "0.0"
    char Text0277[11];                  // 631   reserved text "0.0"
    char MlsOutputDelayText[11];        // 642   "Delay MLS Output By [samples]"
    char SpeedOfSoundText[11];          // 653   [m/s]
    char Text0298[11];                  // 664   reserved text "10"
    char LastDriverPath[kPathSlot];     // 675   in place
    char LastProjectPath[kPathSlot];    // 2723  in place
    char Text12A3[21];                  // 4771  reserved text "0.0"
    std::int32_t Reserved12B8[10];      // 4792
    std::int32_t AutoLoadProject;       // 4832  in place: 1 = load the last project
    std::int32_t NoStartWindows;        // 4836  in place: 1 = open no windows at start-up
    std::int32_t BuffersOutQueueIndex;  // 4840  in place: 0..5, count = index + 2
    std::int32_t BufferSizeIndex;       // 4844  in place: 0, 1, 2 = 1024, 2048, 4096 frames
    std::int32_t BuffersInQueueIndex;   // 4848  in place: 0..5, count = index + 2
    std::int32_t Reserved12F4[5];       // 4852
    WindowPlacement WindowRects[kWindowPlacementCount];  // 4872
    std::uint8_t Reserved18A8[16];                       // 6312  never set
    std::int32_t DeviceWords12to15[4];                   // 6328  PlayerDeviceWords 12-15
    std::int32_t DeviceWords8to11[4];                 // 6344  words 8-11 (8 = PlayerOutputDevice)
    std::int32_t DeviceWords4to7[4];                  // 6360
    std::int32_t DeviceWords0to3[4];                  // 6376  (0 = PlayerInputDevice)
    std::int32_t PlotFamilyFlags8to11[4];             // 6392
    std::int32_t PlotFamilyFlags4to7[4];              // 6408
    std::int32_t PlotFamilyFlags0to3[4];              // 6424
    std::int32_t Reserved1928;                        // 6440
    std::uint8_t Reserved192C[28];                    // 6444  never set
    CalibrationPoint MikeCalibration[kGridPoints];    // 6472
    CalibrationPoint PreampCalibration[kGridPoints];  // 22472
    char MikeCalFilePath[kPathSlot];                  // 38472 in place
    char PreampCalFilePath[kPathSlot];                // 40520 in place
    // Measurement settings block (42568..42949), mirrored by the Mls variables.
    char MlsTextsA648[4][11];            // 42568 "1000.0", "4000.0", "100.0", "1000.0"
    std::int32_t MlsOutputLevel;         // 42612 percent
    std::int32_t MlsReservedA678;        // 42616
    std::int32_t MlsSampleRateIndex;     // 42620 0..7 (5 = 48000)
    std::int32_t MlsReservedA680;        // 42624
    std::int32_t MlsReservedA684;        // 42628
    float MlsReservedA688;               // 42632
    char MlsTextsA68C[6][11];            // 42636 "180.0", "0.00", "6.10", "5.00", "4.00", "0.0"
    char MlsAddDbText[11];               // 42702 "Add dB"
    char MlsProcessTextA6D9[11];         // 42713 "500.0"
    char MlsProcessTexts0to4[5][11];     // 42724 first five MlsProcessTexts
    std::uint8_t MlsReservedA71B[1];     // 42779 never set
    std::int32_t MlsReservedA71C[4];     // 42780 0, 0, 1, 0
    std::int32_t MlsUseSavedBuffer;      // 42796
    std::int32_t MlsUseMikeCal;          // 42800
    std::int32_t MlsUsePreampCal;        // 42804
    std::int32_t MlsLengthIndex;         // 42808 0..5
    std::int32_t MlsSmoothingIndex;      // 42812 0..5
    std::int32_t MlsWindowType;          // 42816 0..9
    std::int32_t MlsBothChannels;        // 42820
    std::int32_t MlsDelayRead;           // 42824
    char MlsPreEmphasisText[11];         // 42828 [ms], "0.0" = off
    char MlsWindowWidthText[11];         // 42839 window length [samples] "30000"
    char MlsWindowMsText[11];            // 42850
    char MlsPulseDelayText[11];          // 42861 [ms]
    char MlsTextA778[11];                // 42872 "2.00"
    std::uint8_t MlsReservedA783[1];     // 42883 never set
    std::int32_t MlsAmplitudeZoomIndex;  // 42884 0..6
    std::int32_t MlsTimeZoomIndex;       // 42888 0..3
    std::int32_t MlsShowWindow;          // 42892
    std::int32_t MlsShowPhase;           // 42896
    char MlsProcessText5[5];             // 42900 last eight MlsProcessTexts
    char MlsProcessText6[10];            // 42905
    char MlsProcessText7[5];             // 42915
    char MlsProcessText8[10];            // 42920
    char MlsProcessTexts9to12[4][5];     // 42930
    char ProfilePaths[kProfileCount][kPathSlot];  // 42950 in place: Profile 1..10
    std::uint8_t ReservedF7C6[2];                 // 63430 never set
};

static_assert(sizeof(PreferencesRecord) == kPreferencesRecordBytes);
static_assert(offsetof(PreferencesRecord, PlotStopFrequencyIndex) == 4);
static_assert(offsetof(PreferencesRecord, CurveItemSelect) == 16);
static_assert(offsetof(PreferencesRecord, CurveColours) == 76);
static_assert(offsetof(PreferencesRecord, Reserved01C8) == 456);
static_assert(offsetof(PreferencesRecord, ImportColumnFlags) == 556);
static_assert(offsetof(PreferencesRecord, EraseLines) == 576);
static_assert(offsetof(PreferencesRecord, ImportOption) == 580);
static_assert(offsetof(PreferencesRecord, Reserved0248) == 584);
static_assert(offsetof(PreferencesRecord, MlsDataSign) == 596);
static_assert(offsetof(PreferencesRecord, MlsRefSign) == 600);
static_assert(offsetof(PreferencesRecord, OutputLayout) == 604);
static_assert(offsetof(PreferencesRecord, InputLayout) == 608);
static_assert(offsetof(PreferencesRecord, Reserved0264) == 612);
static_assert(offsetof(PreferencesRecord, Text026C) == 620);
static_assert(offsetof(PreferencesRecord, Text0277) == 631);
static_assert(offsetof(PreferencesRecord, MlsOutputDelayText) == 642);
static_assert(offsetof(PreferencesRecord, SpeedOfSoundText) == 653);
static_assert(offsetof(PreferencesRecord, Text0298) == 664);
static_assert(offsetof(PreferencesRecord, LastDriverPath) == 675);
static_assert(offsetof(PreferencesRecord, LastProjectPath) == 2723);
static_assert(offsetof(PreferencesRecord, Text12A3) == 4771);
static_assert(offsetof(PreferencesRecord, Reserved12B8) == 4792);
static_assert(offsetof(PreferencesRecord, AutoLoadProject) == 4832);
static_assert(offsetof(PreferencesRecord, NoStartWindows) == 4836);
static_assert(offsetof(PreferencesRecord, BuffersOutQueueIndex) == 4840);
static_assert(offsetof(PreferencesRecord, BufferSizeIndex) == 4844);
static_assert(offsetof(PreferencesRecord, BuffersInQueueIndex) == 4848);
static_assert(offsetof(PreferencesRecord, Reserved12F4) == 4852);
static_assert(offsetof(PreferencesRecord, WindowRects) == 4872);
static_assert(offsetof(PreferencesRecord, Reserved18A8) == 6312);
static_assert(offsetof(PreferencesRecord, DeviceWords12to15) == 6328);
static_assert(offsetof(PreferencesRecord, DeviceWords8to11) == 6344);
static_assert(offsetof(PreferencesRecord, DeviceWords4to7) == 6360);
static_assert(offsetof(PreferencesRecord, DeviceWords0to3) == 6376);
static_assert(offsetof(PreferencesRecord, PlotFamilyFlags8to11) == 6392);
static_assert(offsetof(PreferencesRecord, PlotFamilyFlags4to7) == 6408);
static_assert(offsetof(PreferencesRecord, PlotFamilyFlags0to3) == 6424);
static_assert(offsetof(PreferencesRecord, Reserved1928) == 6440);
static_assert(offsetof(PreferencesRecord, Reserved192C) == 6444);
static_assert(offsetof(PreferencesRecord, MikeCalibration) == 6472);
static_assert(offsetof(PreferencesRecord, PreampCalibration) == 22472);
static_assert(offsetof(PreferencesRecord, MikeCalFilePath) == 38472);
static_assert(offsetof(PreferencesRecord, PreampCalFilePath) == 40520);
static_assert(offsetof(PreferencesRecord, MlsTextsA648) == 42568);
static_assert(offsetof(PreferencesRecord, MlsOutputLevel) == 42612);
static_assert(offsetof(PreferencesRecord, MlsSampleRateIndex) == 42620);
static_assert(offsetof(PreferencesRecord, MlsReservedA688) == 42632);
static_assert(offsetof(PreferencesRecord, MlsTextsA68C) == 42636);
static_assert(offsetof(PreferencesRecord, MlsAddDbText) == 42702);
static_assert(offsetof(PreferencesRecord, MlsProcessTextA6D9) == 42713);
static_assert(offsetof(PreferencesRecord, MlsProcessTexts0to4) == 42724);
static_assert(offsetof(PreferencesRecord, MlsReservedA71B) == 42779);
static_assert(offsetof(PreferencesRecord, MlsReservedA71C) == 42780);
static_assert(offsetof(PreferencesRecord, MlsUseSavedBuffer) == 42796);
static_assert(offsetof(PreferencesRecord, MlsUseMikeCal) == 42800);
static_assert(offsetof(PreferencesRecord, MlsUsePreampCal) == 42804);
static_assert(offsetof(PreferencesRecord, MlsLengthIndex) == 42808);
static_assert(offsetof(PreferencesRecord, MlsSmoothingIndex) == 42812);
static_assert(offsetof(PreferencesRecord, MlsWindowType) == 42816);
static_assert(offsetof(PreferencesRecord, MlsBothChannels) == 42820);
static_assert(offsetof(PreferencesRecord, MlsDelayRead) == 42824);
static_assert(offsetof(PreferencesRecord, MlsPreEmphasisText) == 42828);
static_assert(offsetof(PreferencesRecord, MlsWindowWidthText) == 42839);
static_assert(offsetof(PreferencesRecord, MlsWindowMsText) == 42850);
static_assert(offsetof(PreferencesRecord, MlsPulseDelayText) == 42861);
static_assert(offsetof(PreferencesRecord, MlsTextA778) == 42872);
static_assert(offsetof(PreferencesRecord, MlsReservedA783) == 42883);
static_assert(offsetof(PreferencesRecord, MlsAmplitudeZoomIndex) == 42884);
static_assert(offsetof(PreferencesRecord, MlsTimeZoomIndex) == 42888);
static_assert(offsetof(PreferencesRecord, MlsShowWindow) == 42892);
static_assert(offsetof(PreferencesRecord, MlsShowPhase) == 42896);
static_assert(offsetof(PreferencesRecord, MlsProcessText5) == 42900);
static_assert(offsetof(PreferencesRecord, MlsProcessText6) == 42905);
static_assert(offsetof(PreferencesRecord, MlsProcessText7) == 42915);
static_assert(offsetof(PreferencesRecord, MlsProcessText8) == 42920);
static_assert(offsetof(PreferencesRecord, MlsProcessTexts9to12) == 42930);
static_assert(offsetof(PreferencesRecord, ProfilePaths) == 42950);
static_assert(offsetof(PreferencesRecord, ReservedF7C6) == 63430);

// Smoothing index the measurement settings start with (1/12 octave).
inline constexpr std::int32_t kDefaultMlsSmoothingIndex = 2;

// The measurement settings that the preferences carry, as program variables (subsystem 6 reads
// and writes them; Apply fills them from the record, Collect copies them back).
struct MlsSettingsVariables {
    char TextsA648[4][11];
    std::int32_t MlsOutputLevel;
    std::int32_t ReservedA678;
    std::int32_t MlsSampleRateIndex;
    std::int32_t ReservedA680;
    std::int32_t ReservedA684;
    float ReservedA688;
    char TextsA68C[6][11];
    char MlsAddDbText[11];
    char ProcessTextA6D9[11];
    char MlsProcessTexts0to4[5][11];
    std::int32_t ReservedA71C[4];
    std::int32_t MlsUseSavedBuffer;
    std::int32_t MlsUseMikeCal;
    std::int32_t MlsUsePreampCal;
    std::int32_t MlsLengthIndex;
    std::int32_t MlsSmoothingIndex;
    std::int32_t MlsWindowType;
    std::int32_t MlsBothChannels;
    std::int32_t MlsDelayRead;
    char MlsPreEmphasisText[11];
    char MlsWindowWidthText[11];
    char MlsWindowMsText[11];
    char MlsPulseDelayText[11];
    char TextA778[11];
    std::int32_t MlsAmplitudeZoomIndex;
    std::int32_t MlsTimeZoomIndex;
    std::int32_t MlsShowWindow;
    std::int32_t MlsShowPhase;
    char MlsProcessText5[5];
    char MlsProcessText6[10];
    char MlsProcessText7[5];
    char MlsProcessText8[10];
    char MlsProcessTexts9to12[4][5];
};

// Program variables mirrored by the record (live copies; see shell/Globals.h for the rest).
extern std::int32_t PlotStartFrequencyIndex;  // 0..7
extern std::int32_t PlotStopFrequencyIndex;   // 0..7
extern std::int32_t PlotFamilyFlags[12];      // 0 / 1 per plotted curve family
extern std::int32_t CurveItemSelectFlags[kColourEntryCount];
extern ColourEntry CurveColourScheme[kColourEntryCount];  // entry n at index n - 1
extern WindowPlacement WindowPlacements[kWindowPlacementCount];
extern std::int32_t MlsDataSign;
extern std::int32_t MlsRefSign;
extern char ReservedTexts026C[2][11];  // the two reserved texts at 620 and 631
extern char MlsOutputDelayText[11];
extern char SpeedOfSoundText[11];
extern char ReservedText0298[11];
extern MlsSettingsVariables Mls;

// Default colour scheme entries 1..19 (index 0..18).
extern const ColourEntry kDefaultColourScheme[kColourEntryCount];

// Sets every mirrored variable to its start-up value (run by ResetGlobals and start-up).
void InitPreferenceVariables();

class ValueRepairs;

// The size limit of a window rectangle while the frame's client size is not known yet: the
// largest window the layer makes.
inline constexpr std::int32_t kLargestClientSize = platform::kMaxWindowExtent;

// Keeps a window rectangle within a client of the given size: a negative x or y becomes 0, a
// negative width or height 50, an x or y past the client 0, a width or height larger than the
// client the client's. Returns true when something changed.
bool ClampWindowPlacement(WindowPlacement& slot, std::int32_t width_limit,
                          std::int32_t height_limit);

// A window rectangle read from the file, before any window is made from it: kept as stored,
// negative positions and sizes and sizes larger than the client included (a window opens fitted
// into the client; the exit rule above mends the slot when the preferences are next written),
// except what no window could show: a position past the client becomes 0, and a value beyond
// +-kLargestClientSize (a damaged file, which would overflow the window arithmetic) gives the
// slot the whole exit rule.
void FitPlacementForReading(WindowPlacement& slot, std::int32_t width_limit,
                            std::int32_t height_limit);

// The value pass of a record read from the file, before anything is applied: what would index a
// table or could not be used (plot-range, buffer-size, layout and MLS indices, colours, device
// words, calibration points that are not numbers) gets its default and is noted in `repairs`;
// what its users test for the values they act on (plot-family flags, MLS signs, start-up
// switches, queue indices) is kept as stored. Every window rectangle goes through
// FitPlacementForReading (the client is kLargestClientSize while the frame is not measured yet),
// without a note; every path is terminated. Returns the number of values replaced.
int RepairPreferencesRecord(PreferencesRecord& record, ValueRepairs& repairs);

// Zeroes the record, then fills the defaults; sets the live WindowPlacements defaults as well.
int InitPreferencesRecord(PreferencesRecord* record);
// Copies *Preferences into the program variables; terminates texts in place; replaces an index
// or colour value out of range by its default. Returns 0.
int ApplyPreferencesRecord();
// Clamps WindowPlacements to the frame client and copies the variables into *Preferences.
int CollectPreferencesRecord();

// "QV_Preferences.pre" in ProgramDirectory.
void PreferencesFilePath(char* out, std::size_t capacity);

// What start-up says of a preferences file of `length` bytes that is shorter than the record: the
// file and its length, then one line per setting it does not hold whole (those keep their
// defaults; a setting the file holds a part of is marked "(in part)"). Empty when the file holds
// every setting.
std::string ShortPreferencesText(const char* path, std::size_t length);

// Start-up: reads the preferences file over *Preferences (a short file overwrites only its own
// length, a longer one is read as far as the record goes) and applies it. Shows "Unable To OPEN
// Preferences File" and leaves the defaults when the file cannot be read. A short file, or values
// replaced by their defaults, are told in one message. 1 when read.
int ReadPreferencesFile(platform::HWND owner);
// Exit: collects and writes the record through a temporary file; on any failure shows
// "Unable To SAVE Preferences File" with the reason below it, keeps the previous file and returns
// 0. 1 when written.
int WritePreferencesFile(platform::HWND owner);

}  // namespace shell
