#include "shell/PreferencesRecord.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/ui/MessageBox.h"
#include "shell/DriverRecord.h"
#include "shell/FileIo.h"
#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"
#include "shell/ValueRepairs.h"

namespace shell {

// Every variable here gets its start value from InitPreferenceVariables (before main runs, and on
// each reset), none at its definition.
std::int32_t PlotStartFrequencyIndex;
std::int32_t PlotStopFrequencyIndex;
std::int32_t PlotFamilyFlags[12];
std::int32_t CurveItemSelectFlags[kColourEntryCount];
ColourEntry CurveColourScheme[kColourEntryCount];
WindowPlacement WindowPlacements[kWindowPlacementCount];
std::int32_t MlsDataSign;
std::int32_t MlsRefSign;
char ReservedTexts026C[2][11];
char MlsOutputDelayText[11];
char SpeedOfSoundText[11];
char ReservedText0298[11];
MlsSettingsVariables Mls;

const ColourEntry kDefaultColourScheme[kColourEntryCount] = {
    {142, 185, 210, 1, 1},  // 1 "Dialogue Box Background"
    {196, 0, 0, 1, 1},      // 2 "Filter SPL Curve"
    {0, 164, 0, 1, 1},      // 3 "Driver SPL Curve"
    {0, 0, 196, 1, 1},      // 4 "HBT SPL Curve"
    {196, 0, 196, 1, 1},    // 5 "SPL Corrected Curve"
    {96, 0, 0, 1, 1},       // 6 "Filter Phase Curve"
    {128, 128, 0, 1, 1},    // 7 "Driver Phase Curve"
    {0, 196, 255, 1, 1},    // 8 "HBT Phase Curve"
    {228, 128, 0, 1, 1},    // 9 "Phase Corrected Curve"
    {0, 128, 128, 1, 1},    // 10 "System SPL Corrected"
    {128, 128, 128, 1, 1},  // 11 "System Phase Corrected"
    {128, 228, 0, 1, 1},    // 12 "HBT + Filter SPL Curve"
    {76, 154, 255, 1, 1},   // 13 "Equalized Room SPL"
    {196, 196, 196, 1, 1},  // 14 "Room EQ Curve SPL"
    {0, 0, 0, 1, 1},        // 15 "Room EQ Phase"
    {0, 164, 0, 1, 1},      // 16 "HBT + Filter Phase Curve"
    {164, 0, 0, 1, 1},      // 17 "Excess Group Delay"
    {0, 0, 164, 1, 1},      // 18 "MLS In"
    {128, 128, 128, 1, 1},  // 19 "MLS Ref"
};

namespace {

constexpr const char* kCaption = "QV Message";
constexpr const char* kPreferencesFileName = "QV_Preferences.pre";

struct PlacementDefault {
    int first;
    int last;
    WindowPlacement rect;
};

// Default rectangles of slots 0..77; slots 78..89 stay zero.
constexpr PlacementDefault kPlacementDefaults[] = {
    {0, 0, {0, 0, 900, 500}},       {2, 2, {0, 0, 900, 500}},       {7, 7, {0, 0, 900, 500}},
    {1, 1, {150, 450, 820, 230}},   {3, 3, {0, 0, 1016, 720}},      {19, 19, {0, 0, 1016, 720}},
    {4, 4, {0, 0, 675, 455}},       {5, 5, {0, 460, 675, 255}},     {6, 6, {660, 60, 355, 652}},
    {8, 8, {10, 10, 1000, 800}},    {9, 9, {450, 440, 900, 20}},    {10, 10, {10, 10, 800, 800}},
    {12, 12, {10, 10, 800, 800}},   {11, 11, {500, 450, 600, 20}},  {13, 13, {500, 400, 600, 20}},
    {14, 14, {650, 300, 600, 300}}, {23, 24, {650, 300, 600, 300}}, {15, 15, {0, 290, 600, 200}},
    {16, 16, {0, 290, 800, 400}},   {18, 18, {0, 290, 800, 400}},   {17, 17, {0, 290, 600, 300}},
    {20, 22, {10, 400, 600, 300}},  {25, 25, {550, 0, 460, 360}},   {26, 26, {0, 0, 460, 360}},
    {27, 27, {0, 345, 460, 360}},   {28, 28, {550, 345, 460, 360}}, {29, 29, {300, 150, 460, 360}},
    {30, 30, {530, 370, 600, 500}}, {31, 31, {0, 0, 900, 600}},     {32, 32, {200, 450, 600, 300}},
    {33, 33, {0, 0, 650, 350}},     {36, 36, {0, 0, 650, 350}},     {42, 42, {0, 0, 650, 350}},
    {34, 34, {0, 360, 650, 350}},   {37, 37, {0, 360, 650, 350}},   {43, 43, {0, 360, 650, 350}},
    {35, 35, {700, 50, 500, 300}},  {38, 38, {700, 50, 500, 300}},  {39, 39, {0, 0, 750, 350}},
    {40, 40, {0, 360, 750, 350}},   {41, 41, {800, 50, 500, 300}},  {44, 44, {700, 40, 500, 300}},
    {45, 45, {560, 0, 400, 300}},   {46, 46, {0, 330, 650, 370}},   {47, 47, {0, 0, 550, 300}},
    {48, 48, {700, 200, 500, 300}}, {49, 49, {10, 10, 400, 300}},   {50, 50, {200, 10, 650, 370}},
    {51, 52, {100, 10, 650, 370}},  {53, 54, {100, 10, 250, 250}},  {55, 55, {480, 10, 450, 350}},
    {56, 56, {850, 50, 460, 360}},  {57, 57, {10, 10, 450, 350}},   {58, 58, {10, 370, 500, 500}},
    {59, 60, {100, 350, 300, 250}}, {61, 61, {400, 350, 300, 250}}, {66, 77, {400, 350, 300, 250}},
    {62, 62, {350, 50, 850, 350}},  {63, 63, {350, 50, 850, 650}},  {64, 65, {100, 100, 300, 250}},
};

void SetDefaultPlacements() {
    std::memset(WindowPlacements, 0, sizeof WindowPlacements);
    for (const auto& d : kPlacementDefaults) {
        for (int slot = d.first; slot <= d.last; ++slot) WindowPlacements[slot] = d.rect;
    }
}

void InitMlsVariables() {
    std::memset(&Mls, 0, sizeof Mls);
    CopyTextSlot(Mls.TextsA648[0], "1000.0");
    CopyTextSlot(Mls.TextsA648[1], "4000.0");
    CopyTextSlot(Mls.TextsA648[2], "100.0");
    CopyTextSlot(Mls.TextsA648[3], "1000.0");
    Mls.MlsOutputLevel = 10;
    Mls.ReservedA678 = 0;
    Mls.MlsSampleRateIndex = 5;
    Mls.ReservedA680 = 2;
    Mls.ReservedA684 = 1;
    Mls.ReservedA688 = 1.0f;
    const char* const texts_a68c[6] = {"180.0", "0.00", "6.10", "5.00", "4.00", "0.0"};
    for (int i = 0; i < 6; ++i) CopyTextSlot(Mls.TextsA68C[i], texts_a68c[i]);
    CopyTextSlot(Mls.MlsAddDbText, "0.0");
    CopyTextSlot(Mls.ProcessTextA6D9, "500.0");
    const char* const process[5] = {"121", "131", "151", "161", "0.0"};
    for (int i = 0; i < 5; ++i) CopyTextSlot(Mls.MlsProcessTexts0to4[i], process[i]);
    Mls.ReservedA71C[2] = 1;
    Mls.MlsUseSavedBuffer = 0;
    Mls.MlsUseMikeCal = 1;
    Mls.MlsUsePreampCal = 1;
    Mls.MlsLengthIndex = 2;
    Mls.MlsSmoothingIndex = kDefaultMlsSmoothingIndex;
    Mls.MlsWindowType = 1;
    Mls.MlsBothChannels = 1;
    Mls.MlsDelayRead = 0;
    CopyTextSlot(Mls.MlsPreEmphasisText, "0.0");
    CopyTextSlot(Mls.MlsWindowWidthText, "30000");
    CopyTextSlot(Mls.MlsWindowMsText, "");
    CopyTextSlot(Mls.MlsPulseDelayText, "0.0");
    CopyTextSlot(Mls.TextA778, "2.00");
    CopyTextSlot(Mls.MlsProcessText5, "5");
    CopyTextSlot(Mls.MlsProcessText6, "0.00");
    CopyTextSlot(Mls.MlsProcessText7, "5");
    CopyTextSlot(Mls.MlsProcessText8, "0.00");
    const char* const last4[4] = {"5", "4", "5", "5"};
    for (int i = 0; i < 4; ++i) CopyTextSlot(Mls.MlsProcessTexts9to12[i], last4[i]);
}

// Record <-> variables for the measurement block. `to_record` picks the direction.
template <std::size_t N>
void MoveText(char (&record)[N], char (&variable)[N], bool to_record) {
    if (to_record) {
        CopyTextSlot(record, variable);
    } else {
        TerminateTextSlot(record);
        CopyTextSlot(variable, record);
    }
}
template <std::size_t R, std::size_t N>
void MoveTexts(char (&record)[R][N], char (&variable)[R][N], bool to_record) {
    for (std::size_t i = 0; i < R; ++i) MoveText(record[i], variable[i], to_record);
}
template <class T>
void MoveWord(T& record, T& variable, bool to_record) {
    if (to_record) {
        record = variable;
    } else {
        variable = record;
    }
}

void MoveMlsBlock(PreferencesRecord& p, bool to_record) {
    MoveTexts(p.MlsTextsA648, Mls.TextsA648, to_record);
    MoveWord(p.MlsOutputLevel, Mls.MlsOutputLevel, to_record);
    MoveWord(p.MlsReservedA678, Mls.ReservedA678, to_record);
    MoveWord(p.MlsSampleRateIndex, Mls.MlsSampleRateIndex, to_record);
    MoveWord(p.MlsReservedA680, Mls.ReservedA680, to_record);
    MoveWord(p.MlsReservedA684, Mls.ReservedA684, to_record);
    MoveWord(p.MlsReservedA688, Mls.ReservedA688, to_record);
    MoveTexts(p.MlsTextsA68C, Mls.TextsA68C, to_record);
    MoveText(p.MlsAddDbText, Mls.MlsAddDbText, to_record);
    MoveText(p.MlsProcessTextA6D9, Mls.ProcessTextA6D9, to_record);
    MoveTexts(p.MlsProcessTexts0to4, Mls.MlsProcessTexts0to4, to_record);
    for (int i = 0; i < 4; ++i) MoveWord(p.MlsReservedA71C[i], Mls.ReservedA71C[i], to_record);
    MoveWord(p.MlsUseSavedBuffer, Mls.MlsUseSavedBuffer, to_record);
    MoveWord(p.MlsUseMikeCal, Mls.MlsUseMikeCal, to_record);
    MoveWord(p.MlsUsePreampCal, Mls.MlsUsePreampCal, to_record);
    MoveWord(p.MlsLengthIndex, Mls.MlsLengthIndex, to_record);
    MoveWord(p.MlsSmoothingIndex, Mls.MlsSmoothingIndex, to_record);
    MoveWord(p.MlsWindowType, Mls.MlsWindowType, to_record);
    MoveWord(p.MlsBothChannels, Mls.MlsBothChannels, to_record);
    MoveWord(p.MlsDelayRead, Mls.MlsDelayRead, to_record);
    MoveText(p.MlsPreEmphasisText, Mls.MlsPreEmphasisText, to_record);
    MoveText(p.MlsWindowWidthText, Mls.MlsWindowWidthText, to_record);
    MoveText(p.MlsWindowMsText, Mls.MlsWindowMsText, to_record);
    MoveText(p.MlsPulseDelayText, Mls.MlsPulseDelayText, to_record);
    MoveText(p.MlsTextA778, Mls.TextA778, to_record);
    MoveWord(p.MlsAmplitudeZoomIndex, Mls.MlsAmplitudeZoomIndex, to_record);
    MoveWord(p.MlsTimeZoomIndex, Mls.MlsTimeZoomIndex, to_record);
    MoveWord(p.MlsShowWindow, Mls.MlsShowWindow, to_record);
    MoveWord(p.MlsShowPhase, Mls.MlsShowPhase, to_record);
    MoveText(p.MlsProcessText5, Mls.MlsProcessText5, to_record);
    MoveText(p.MlsProcessText6, Mls.MlsProcessText6, to_record);
    MoveText(p.MlsProcessText7, Mls.MlsProcessText7, to_record);
    MoveText(p.MlsProcessText8, Mls.MlsProcessText8, to_record);
    MoveTexts(p.MlsProcessTexts9to12, Mls.MlsProcessTexts9to12, to_record);
}

// Moves the words that both directions share (everything but the in-place fields).
void MoveCommon(PreferencesRecord& p, bool to_record) {
    MoveWord(p.PlotStartFrequencyIndex, PlotStartFrequencyIndex, to_record);
    MoveWord(p.PlotStopFrequencyIndex, PlotStopFrequencyIndex, to_record);
    for (int i = 0; i < 4; ++i) {
        MoveWord(p.PlotFamilyFlags0to3[i], PlotFamilyFlags[i], to_record);
        MoveWord(p.PlotFamilyFlags4to7[i], PlotFamilyFlags[4 + i], to_record);
        MoveWord(p.PlotFamilyFlags8to11[i], PlotFamilyFlags[8 + i], to_record);
        MoveWord(p.DeviceWords0to3[i], PlayerDeviceWords[i], to_record);
        MoveWord(p.DeviceWords4to7[i], PlayerDeviceWords[4 + i], to_record);
        MoveWord(p.DeviceWords8to11[i], PlayerDeviceWords[8 + i], to_record);
        MoveWord(p.DeviceWords12to15[i], PlayerDeviceWords[12 + i], to_record);
    }
    for (int i = 0; i < kStoredItemSelectCount; ++i) {
        MoveWord(p.CurveItemSelect[i], CurveItemSelectFlags[i], to_record);
    }
    for (int i = 0; i < kColourEntryCount; ++i) {
        MoveWord(p.CurveColours[i], CurveColourScheme[i], to_record);
    }
    MoveWord(p.MlsDataSign, MlsDataSign, to_record);
    MoveWord(p.MlsRefSign, MlsRefSign, to_record);
    MoveWord(p.OutputLayout, OutputLayout, to_record);
    MoveWord(p.InputLayout, InputLayout, to_record);
    MoveText(p.Text026C, ReservedTexts026C[0], to_record);
    MoveText(p.Text0277, ReservedTexts026C[1], to_record);
    MoveText(p.MlsOutputDelayText, MlsOutputDelayText, to_record);
    MoveText(p.SpeedOfSoundText, SpeedOfSoundText, to_record);
    MoveText(p.Text0298, ReservedText0298, to_record);
    for (int i = 0; i < kWindowPlacementCount; ++i) {
        MoveWord(p.WindowRects[i], WindowPlacements[i], to_record);
    }
    if (MikeCalibrationCurve != nullptr && PreampCalibrationCurve != nullptr) {
        const std::size_t bytes = sizeof(CalibrationPoint) * kGridPoints;
        if (to_record) {
            std::memcpy(p.MikeCalibration, MikeCalibrationCurve, bytes);
            std::memcpy(p.PreampCalibration, PreampCalibrationCurve, bytes);
        } else {
            std::memcpy(MikeCalibrationCurve, p.MikeCalibration, bytes);
            std::memcpy(PreampCalibrationCurve, p.PreampCalibration, bytes);
        }
    }
    MoveMlsBlock(p, to_record);
}

// Replaces `value` by `fallback` when it lies outside low..high, and notes it.
void Repair(std::int32_t& value, std::int32_t low, std::int32_t high, std::int32_t fallback,
            const char* what, ValueRepairs& repairs) {
    if (value >= low && value <= high) return;
    value = fallback;
    repairs.Note(what);
}

void RepairCalibration(CalibrationPoint* curve, const char* what, ValueRepairs& repairs) {
    for (int k = 0; k < kGridPoints; ++k) {
        CalibrationPoint& c = curve[k];
        // Levels and phases a calibration can hold; beyond them (or no number) the point is 0.
        if (!(c.Db >= kDriverLevelLowDb && c.Db <= kDriverLevelHighDb)) {
            c.Db = 0.0f;
            repairs.Note(what);
        }
        if (!(std::fabs(c.Degrees) <= kDriverPhaseLimit)) {
            c.Degrees = 0.0f;
            repairs.Note(what);
        }
    }
}

}  // namespace

bool ClampWindowPlacement(WindowPlacement& slot, std::int32_t width_limit,
                          std::int32_t height_limit) {
    const WindowPlacement before = slot;
    if (slot.X < 0) slot.X = 0;
    if (slot.Y < 0) slot.Y = 0;
    if (slot.Width < 0) slot.Width = 50;
    if (slot.Height < 0) slot.Height = 50;
    if (slot.X > width_limit) slot.X = 0;
    if (slot.Y > height_limit) slot.Y = 0;
    if (slot.Width > width_limit) slot.Width = width_limit;
    if (slot.Height > height_limit) slot.Height = height_limit;
    return std::memcmp(&before, &slot, sizeof slot) != 0;
}

void FitPlacementForReading(WindowPlacement& slot, std::int32_t width_limit,
                            std::int32_t height_limit) {
    const auto beyond = [](std::int32_t v) {
        return v < -kLargestClientSize || v > kLargestClientSize;
    };
    if (beyond(slot.X) || beyond(slot.Y) || beyond(slot.Width) || beyond(slot.Height)) {
        ClampWindowPlacement(slot, width_limit, height_limit);
        return;
    }
    if (slot.X > width_limit) slot.X = 0;
    if (slot.Y > height_limit) slot.Y = 0;
}

int RepairPreferencesRecord(PreferencesRecord& p, ValueRepairs& repairs) {
    Repair(p.PlotStartFrequencyIndex, 0, 7, kDefaultPlotStartIndex, "plot start frequency",
           repairs);
    Repair(p.PlotStopFrequencyIndex, 0, 7, kDefaultPlotStopIndex, "plot stop frequency", repairs);
    // Plot-family flags, MLS signs, the start-up switches and the queue indices are kept as
    // stored: their users test for the values they act on (a flag or switch of 1, a sign of -1,
    // a queue index the player and the list have) and pass over any other.
    for (std::int32_t* group :
         {p.DeviceWords0to3, p.DeviceWords4to7, p.DeviceWords8to11, p.DeviceWords12to15}) {
        for (int i = 0; i < 4; ++i) {
            Repair(group[i], kDeviceWordLow, kDeviceWordHigh, 0, "sound device", repairs);
        }
    }
    for (auto& flag : p.CurveItemSelect) Repair(flag, 0, 1, 0, "pen colour selection", repairs);
    for (int i = 0; i < kColourEntryCount; ++i) {
        ColourEntry& e = p.CurveColours[i];
        const ColourEntry& d = kDefaultColourScheme[i];
        Repair(e.Red, 0, 255, d.Red, "curve colour", repairs);
        Repair(e.Green, 0, 255, d.Green, "curve colour", repairs);
        Repair(e.Blue, 0, 255, d.Blue, "curve colour", repairs);
        Repair(e.Thickness, 1, 4, d.Thickness, "curve thickness", repairs);
        Repair(e.Type, 1, 3, d.Type, "curve type", repairs);
    }
    Repair(p.OutputLayout, 0, 2, 1, "output layout", repairs);
    Repair(p.InputLayout, 0, 2, 0, "input layout", repairs);
    RepairCalibration(p.MikeCalibration, "microphone calibration", repairs);
    RepairCalibration(p.PreampCalibration, "preamplifier calibration", repairs);

    // The fields used in place.
    for (auto& flag : p.ImportColumnFlags) Repair(flag, 0, 1, 0, "Include Column", repairs);
    Repair(p.EraseLines, 0, 1000000, 0, "Erase Lines", repairs);
    Repair(p.ImportOption, 2, 5, 3, "Total Number of Columns", repairs);
    Repair(p.BufferSizeIndex, 0, 2, 0, "buffer size", repairs);

    // The measurement block: indices select list rows and table entries.
    Repair(p.MlsSampleRateIndex, 0, 7, 5, "MLS sample rate", repairs);
    Repair(p.MlsLengthIndex, 0, 5, 2, "MLS length", repairs);
    Repair(p.MlsSmoothingIndex, 0, 5, kDefaultMlsSmoothingIndex, "MLS smoothing", repairs);
    Repair(p.MlsWindowType, 0, 9, 1, "MLS window type", repairs);
    Repair(p.MlsAmplitudeZoomIndex, 0, 6, 0, "MLS amplitude zoom", repairs);
    Repair(p.MlsTimeZoomIndex, 0, 3, 0, "MLS time zoom", repairs);
    // The level the MLS sequence is played at, in percent of full scale.
    Repair(p.MlsOutputLevel, 0, 100, 10, "MLS output level", repairs);
    for (std::int32_t* flag : {&p.MlsUseSavedBuffer, &p.MlsUseMikeCal, &p.MlsUsePreampCal,
                               &p.MlsBothChannels, &p.MlsShowWindow, &p.MlsShowPhase}) {
        Repair(*flag, 0, 1, 0, "MLS check boxes", repairs);
    }
    // An "Add dB To SPL" the calculation refuses; a text without a number reads 0 there.
    double add_db = 0.0;
    if (ReadTypedSlot(p.MlsAddDbText, sizeof p.MlsAddDbText, &add_db) &&
        !(std::fabs(add_db) <= kMostMlsAddDb)) {
        CopyTextSlot(p.MlsAddDbText, "0.0");
        repairs.Note("Add dB To SPL");
    }
    if (!std::isfinite(p.MlsReservedA688)) {
        p.MlsReservedA688 = 1.0f;
        repairs.Note("MLS settings");
    }

    // Window rectangles: see FitPlacementForReading. Windows are moved without a word.
    const std::int32_t width_limit = FrameClientWidth > 0 ? FrameClientWidth : kLargestClientSize;
    const std::int32_t height_limit =
        FrameClientHeight > 0 ? FrameClientHeight : kLargestClientSize;
    for (WindowPlacement& slot : p.WindowRects) {
        FitPlacementForReading(slot, width_limit, height_limit);
    }

    // Texts: terminated in their slots.
    for (char* text :
         {p.LastDriverPath, p.LastProjectPath, p.MikeCalFilePath, p.PreampCalFilePath}) {
        TerminateTextSlot(text, kPathSlot);
    }
    TerminateTextSlot(p.Text12A3);
    for (auto& path : p.ProfilePaths) TerminateTextSlot(path);
    return repairs.Count();
}

namespace {

// The parts of the record a user knows as settings, in file order. The reserved areas between
// them carry no setting and are not named.
struct PreferencesSection {
    std::size_t first;
    std::size_t end;
    const char* name;
};

// Each section runs from its first field up to the field that follows it.
using P = PreferencesRecord;
const PreferencesSection kPreferencesSections[] = {
    {offsetof(P, PlotStartFrequencyIndex), offsetof(P, Reserved0008), "plot frequency range"},
    {offsetof(P, CurveItemSelect), offsetof(P, Reserved01C8), "graph colour scheme"},
    {offsetof(P, ImportColumnFlags), offsetof(P, Reserved0248), "measurement-file import options"},
    {offsetof(P, MlsDataSign), offsetof(P, OutputLayout), "MLS channel inversion"},
    {offsetof(P, OutputLayout), offsetof(P, Reserved0264), "sound-card outputs and inputs"},
    {offsetof(P, MlsOutputDelayText), offsetof(P, Text0298), "MLS output delay and speed of sound"},
    {offsetof(P, LastDriverPath), offsetof(P, LastProjectPath), "last driver file"},
    {offsetof(P, LastProjectPath), offsetof(P, Text12A3), "last project file"},
    {offsetof(P, AutoLoadProject), offsetof(P, BuffersOutQueueIndex), "start-up options"},
    {offsetof(P, BuffersOutQueueIndex), offsetof(P, Reserved12F4), "buffer size and queues"},
    {offsetof(P, WindowRects), offsetof(P, Reserved18A8), "window positions and sizes"},
    {offsetof(P, DeviceWords12to15), offsetof(P, PlotFamilyFlags8to11), "audio devices"},
    {offsetof(P, PlotFamilyFlags8to11), offsetof(P, Reserved1928), "plotted curves"},
    {offsetof(P, MikeCalibration), offsetof(P, PreampCalibration), "microphone calibration curve"},
    {offsetof(P, PreampCalibration), offsetof(P, MikeCalFilePath),
     "preamplifier calibration curve"},
    {offsetof(P, MikeCalFilePath), offsetof(P, PreampCalFilePath), "microphone calibration file"},
    {offsetof(P, PreampCalFilePath), offsetof(P, MlsTextsA648), "preamplifier calibration file"},
    {offsetof(P, MlsTextsA648), offsetof(P, ProfilePaths), "MLS measurement settings"},
    {offsetof(P, ProfilePaths), offsetof(P, ReservedF7C6), "project profiles"},
};

}  // namespace

std::string ShortPreferencesText(const char* path, std::size_t length) {
    std::string names;
    for (const PreferencesSection& section : kPreferencesSections) {
        if (length >= section.end) continue;
        names += "\n";
        names += section.name;
        if (length > section.first) names += " (in part)";
    }
    // A file that lacks no more than reserved bytes held every setting: nothing to tell.
    if (names.empty()) return std::string();
    std::string text = "The preferences file\n";
    text += path != nullptr ? path : "";
    text += "\nis short: it ends after " + std::to_string(length) + " of its " +
            std::to_string(kPreferencesRecordBytes) + " bytes.";
    return text + " These settings were not in it and have their defaults:\n" + names;
}

void InitPreferenceVariables() {
    PlotStartFrequencyIndex = kDefaultPlotStartIndex;
    PlotStopFrequencyIndex = kDefaultPlotStopIndex;
    std::memset(PlotFamilyFlags, 0, sizeof PlotFamilyFlags);
    std::memset(CurveItemSelectFlags, 0, sizeof CurveItemSelectFlags);
    CurveItemSelectFlags[1] = 1;  // entry 2 "Filter SPL Curve"
    std::memcpy(CurveColourScheme, kDefaultColourScheme, sizeof CurveColourScheme);
    SetDefaultPlacements();
    MlsDataSign = 1;
    MlsRefSign = 1;
    // Zeroed first, so that no byte of an earlier text stays behind the new one.
    std::memset(ReservedTexts026C, 0, sizeof ReservedTexts026C);
    std::memset(MlsOutputDelayText, 0, sizeof MlsOutputDelayText);
    std::memset(SpeedOfSoundText, 0, sizeof SpeedOfSoundText);
    std::memset(ReservedText0298, 0, sizeof ReservedText0298);
    CopyTextSlot(ReservedTexts026C[0], "0.0");
    CopyTextSlot(ReservedTexts026C[1], "0.0");
    CopyTextSlot(MlsOutputDelayText, "200");
    CopyTextSlot(SpeedOfSoundText, "344.00");
    CopyTextSlot(ReservedText0298, "10");
    InitMlsVariables();
}

// The variables hold their start-up values before main runs (they are defined above, in this
// file, so they are initialised before this line runs).
const bool kPreferenceVariablesReady = (InitPreferenceVariables(), true);

int InitPreferencesRecord(PreferencesRecord* record) {
    if (record == nullptr) return 0;
    PreferencesRecord& p = *record;
    // Zeroed first: areas that have no default (never-set ranges, profile paths) are then
    // defined, and a short file leaves nothing undefined behind.
    std::memset(&p, 0, sizeof p);

    p.PlotStartFrequencyIndex = PlotStartFrequencyIndex;
    p.PlotStopFrequencyIndex = PlotStopFrequencyIndex;
    p.Reserved1928 = 0;
    for (int i = 0; i < 4; ++i) {
        p.PlotFamilyFlags0to3[i] = PlotFamilyFlags[i];
        p.PlotFamilyFlags4to7[i] = PlotFamilyFlags[4 + i];
        p.PlotFamilyFlags8to11[i] = PlotFamilyFlags[8 + i];
        p.DeviceWords0to3[i] = PlayerDeviceWords[i];
        p.DeviceWords4to7[i] = PlayerDeviceWords[4 + i];
        p.DeviceWords8to11[i] = PlayerDeviceWords[8 + i];
        p.DeviceWords12to15[i] = PlayerDeviceWords[12 + i];
    }
    for (int i = 0; i < kStoredItemSelectCount; ++i) p.CurveItemSelect[i] = CurveItemSelectFlags[i];
    // All 19 entries get defined values (16 to 19 too: the start-up scheme).
    for (int i = 0; i < kColourEntryCount; ++i) p.CurveColours[i] = CurveColourScheme[i];

    p.ImportColumnFlags[0] = p.ImportColumnFlags[1] = p.ImportColumnFlags[2] = 1;
    p.EraseLines = 0;
    p.ImportOption = 3;

    p.MlsDataSign = MlsDataSign;
    p.MlsRefSign = MlsRefSign;
    p.OutputLayout = OutputLayout;
    p.InputLayout = InputLayout;
    CopyTextSlot(p.Text026C, ReservedTexts026C[0]);
    CopyTextSlot(p.Text0277, ReservedTexts026C[1]);
    CopyTextSlot(p.MlsOutputDelayText, MlsOutputDelayText);
    CopyTextSlot(p.SpeedOfSoundText, SpeedOfSoundText);
    CopyTextSlot(p.Text0298, ReservedText0298);

    CopyTextSlot(p.LastDriverPath, "**");
    CopyTextSlot(p.LastProjectPath, "**");
    CopyTextSlot(p.Text12A3, "0.0");

    p.BuffersOutQueueIndex = 2;
    p.BufferSizeIndex = 0;
    p.BuffersInQueueIndex = 2;

    SetDefaultPlacements();
    std::memcpy(p.WindowRects, WindowPlacements, sizeof p.WindowRects);

    CopyTextSlot(p.MikeCalFilePath, "");
    CopyTextSlot(p.PreampCalFilePath, "");
    MoveMlsBlock(p, true);
    return 0;
}

int ApplyPreferencesRecord() {
    if (Preferences == nullptr) return 0;
    ValueRepairs repairs;
    RepairPreferencesRecord(*Preferences, repairs);
    MoveCommon(*Preferences, false);
    // What the variables now hold is also what the record shows.
    Preferences->PlotStartFrequencyIndex = PlotStartFrequencyIndex;
    Preferences->PlotStopFrequencyIndex = PlotStopFrequencyIndex;
    return 0;
}

int CollectPreferencesRecord() {
    if (Preferences == nullptr) return 0;
    for (auto& slot : WindowPlacements) {
        ClampWindowPlacement(slot, FrameClientWidth, FrameClientHeight);
    }
    MoveCommon(*Preferences, true);
    Preferences->Reserved0264[0] = 0;
    Preferences->Reserved0264[1] = 0;
    return 0;
}

void PreferencesFilePath(char* out, std::size_t capacity) {
    if (out == nullptr || capacity == 0) return;
    CopyTextSlot(out, capacity, ProgramDirectory);
    const std::size_t used = std::strlen(out);
    CopyTextSlot(out + used, capacity - used, kPreferencesFileName);
}

int ReadPreferencesFile(platform::HWND owner) {
    char path[kDirectorySlot + 32];
    PreferencesFilePath(path, sizeof path);
    std::vector<std::uint8_t> bytes;
    if (Preferences == nullptr ||
        ReadFileHead(path, sizeof(PreferencesRecord), bytes) != FileStatus::kOk) {
        platform::MessageBox(owner, "Unable To OPEN Preferences File", kCaption,
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return 0;
    }
    // A short file overwrites only its own length; the rest keeps the defaults, and the user is
    // told which settings those are.
    if (!bytes.empty()) std::memcpy(Preferences, bytes.data(), bytes.size());
    ValueRepairs repairs;
    RepairPreferencesRecord(*Preferences, repairs);
    ApplyPreferencesRecord();
    // One message for the file: what it lacked, then what it held out of range.
    std::string text = ShortPreferencesText(path, bytes.size());
    if (!repairs.Empty()) {
        if (!text.empty()) text += "\n\n";
        text += repairs.Text(
            "Some settings of the preferences file were out of range or not numbers and have "
            "been replaced by their defaults:\n");
    }
    if (!text.empty()) {
        platform::MessageBox(owner, text.c_str(), kCaption,
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
    }
    return 1;
}

int WritePreferencesFile(platform::HWND owner) {
    char path[kDirectorySlot + 32];
    PreferencesFilePath(path, sizeof path);
    if (Preferences != nullptr) CollectPreferencesRecord();
    if (Preferences == nullptr ||
        WriteFileAtomic(path, Preferences, sizeof(PreferencesRecord)) != FileStatus::kOk) {
        // The message, then why the file was not saved (when the save got that far).
        std::string text = "Unable To SAVE Preferences File";
        if (Preferences != nullptr && !LastSaveFailure().empty()) {
            text += "\n\n" + LastSaveFailure() + ".";
        }
        platform::MessageBox(owner, text.c_str(), kCaption,
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return 0;
    }
    return 1;
}

}  // namespace shell
