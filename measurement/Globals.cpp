#include "measurement/Globals.h"

#include <cstring>
#include <initializer_list>
#include <new>

#include "measurement/CaptureFile.h"
#include "measurement/MlsProcess.h"
#include "measurement/MlsWindows.h"
#include "measurement/RoomEq.h"
#include "shell/PreferencesRecord.h"

namespace measurement {

const char* const MlsLengthNames[kMlsLengthCount] = {"8191",  "16383",  "32767",
                                                     "65535", "131071", "262143"};

// The variables below get their start values from SetStartValues, before main runs and again on
// every reset; none is written at its definition.
std::int32_t MlsOrder;
std::int32_t MlsImpulseStart;
std::int32_t MlsLinPhase;
std::int32_t SmoothingPasses;
std::int32_t MlsImpulseValid;
std::int32_t MlsRefPeak;
std::int32_t MlsInPeak;
float MlsRefPeakLevel;
float MlsInPeakLevel;
float MlsRefCorrection[shell::kGridPoints];
std::int32_t MlsSplSlot;
std::int32_t MlsPhaseSlot;
std::int32_t MlsSplCalculated;
char MlsStatusLine[96];

std::uint8_t* MlsCaptureCopy = nullptr;
std::uint8_t* MlsCaptureSave = nullptr;
std::int32_t MlsCaptureHeld;
std::int32_t MlsCaptureRateIndex;
std::int32_t MlsCaptureLengthIndex;

std::int32_t CalHpFamily;
std::int32_t CalHpSlope;
float CalHpFrequency;
std::int32_t CalLpFamily;
std::int32_t CalLpSlope;
float CalLpFrequency;
float CalQ;
float CalGainDb;
std::int32_t CalInvert;

namespace {

constexpr std::int32_t SmoothingPassesFor(int smoothing_index) {
    if (smoothing_index < 0 || smoothing_index > 5) smoothing_index = 5;
    return (1 << (5 - smoothing_index)) / 2;
}

// The one place of this file's start values.
void SetStartValues() {
    MlsOrder = kMlsMaxOrder;
    MlsImpulseStart = 50;
    MlsLinPhase = 0;
    SmoothingPasses = SmoothingPassesFor(shell::kDefaultMlsSmoothingIndex);
    MlsImpulseValid = 0;
    MlsRefPeak = 0;
    MlsInPeak = 0;
    MlsRefPeakLevel = 0.0f;
    MlsInPeakLevel = 0.0f;
    std::memset(MlsRefCorrection, 0, sizeof(MlsRefCorrection));
    MlsSplSlot = 0;
    MlsPhaseSlot = 0;
    MlsSplCalculated = 0;
    std::memset(MlsStatusLine, 0, sizeof MlsStatusLine);
    MlsCaptureHeld = 0;
    MlsCaptureRateIndex = 0;
    MlsCaptureLengthIndex = 0;
    CalHpFamily = 1;
    CalHpSlope = 5;
    CalHpFrequency = 10.0f;
    CalLpFamily = 1;
    CalLpSlope = 0;
    CalLpFrequency = 20000.0f;
    CalQ = 20.0f;
    CalGainDb = -10.0f;
    CalInvert = 0;
}

[[maybe_unused]] const bool kStartValuesReady = (SetStartValues(), true);

}  // namespace

bool AllocMlsCaptureCopies() {
    for (std::uint8_t** copy : {&MlsCaptureCopy, &MlsCaptureSave}) {
        if (*copy != nullptr) continue;
        *copy = new (std::nothrow) std::uint8_t[kMlsCaptureBytes]();
        if (*copy == nullptr) return false;
    }
    return true;
}

void FreeMlsCaptureCopies() {
    delete[] MlsCaptureCopy;
    delete[] MlsCaptureSave;
    MlsCaptureCopy = nullptr;
    MlsCaptureSave = nullptr;
    MlsCaptureHeld = 0;
}

bool KeepMlsCapture() {
    if (MlsCaptureCopy == nullptr || MlsCaptureSave == nullptr) return false;
    std::memcpy(MlsCaptureSave, MlsCaptureCopy, kMlsCaptureBytes);
    MlsCaptureRateIndex = shell::Mls.MlsSampleRateIndex;
    MlsCaptureLengthIndex = MlsOrder - kMlsMinOrder;
    MlsCaptureHeld = 1;
    return true;
}

int MeasuredRateIndex() {
    return MlsCaptureHeld == 1 ? MlsCaptureRateIndex : shell::Mls.MlsSampleRateIndex;
}

int MeasuredOrder() {
    return MlsCaptureHeld == 1 ? MlsCaptureLengthIndex + kMlsMinOrder : MlsOrder;
}

void UpdateSmoothingPasses() { SmoothingPasses = SmoothingPassesFor(shell::Mls.MlsSmoothingIndex); }

void ResetGlobals() {
    SetStartValues();
    FreeMlsCaptureCopies();
    // The smoothing follows the preferences as they are now (their defaults after a shell reset).
    UpdateSmoothingPasses();
    ResetRoomEqState();
    ResetProcessPage();
    ResetMlsWindows();
    ResetCaptureFileNames();
}

}  // namespace measurement
