#include "measurement/Globals.h"
#include "measurement/RoomEq.h"

#include <cstring>
#include <initializer_list>
#include <new>

#include "measurement/CaptureFile.h"
#include "shell/PreferencesRecord.h"

namespace measurement {

const char* const MlsLengthNames[kMlsLengthCount] = {"8191",  "16383",  "32767",
                                                     "65535", "131071", "262143"};

std::int32_t MlsOrder = kMlsMaxOrder;
std::int32_t MlsImpulseStart = 50;
std::int32_t MlsLinPhase = 0;
std::int32_t SmoothingPasses = 4;
std::int32_t MlsImpulseValid = 0;
std::int32_t MlsRefPeak = 0;
std::int32_t MlsInPeak = 0;
float MlsRefPeakLevel = 0.0f;
float MlsInPeakLevel = 0.0f;
float MlsRefCorrection[shell::kGridPoints] = {};
std::int32_t MlsSplSlot = 0;
std::int32_t MlsPhaseSlot = 0;
std::int32_t MlsSplCalculated = 0;
char MlsStatusLine[96] = {};

std::uint8_t* MlsCaptureCopy = nullptr;
std::uint8_t* MlsCaptureSave = nullptr;

std::int32_t CalHpFamily = 1;
std::int32_t CalHpSlope = 5;
float CalHpFrequency = 10.0f;
std::int32_t CalLpFamily = 1;
std::int32_t CalLpSlope = 0;
float CalLpFrequency = 20000.0f;
float CalQ = 20.0f;
float CalGainDb = -10.0f;
std::int32_t CalInvert = 0;

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
}

void UpdateSmoothingPasses() {
    int index = shell::Mls.MlsSmoothingIndex;
    if (index < 0 || index > 5) index = 5;
    SmoothingPasses = (1 << (5 - index)) / 2;
}

void ResetGlobals() {
    MlsOrder = kMlsMaxOrder;
    MlsImpulseStart = 50;
    MlsLinPhase = 0;
    MlsImpulseValid = 0;
    MlsRefPeak = 0;
    MlsInPeak = 0;
    MlsRefPeakLevel = 0.0f;
    MlsInPeakLevel = 0.0f;
    std::memset(MlsRefCorrection, 0, sizeof(MlsRefCorrection));
    MlsSplSlot = 0;
    MlsPhaseSlot = 0;
    MlsSplCalculated = 0;
    ResetRoomEqState();
    MlsStatusLine[0] = '\0';
    FreeMlsCaptureCopies();
    CalHpFamily = 1;
    CalHpSlope = 5;
    CalHpFrequency = 10.0f;
    CalLpFamily = 1;
    CalLpSlope = 0;
    CalLpFrequency = 20000.0f;
    CalQ = 20.0f;
    CalGainDb = -10.0f;
    CalInvert = 0;
    UpdateSmoothingPasses();
}

}  // namespace measurement
