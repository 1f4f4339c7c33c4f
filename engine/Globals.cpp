#include "engine/Globals.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/Engine.h"
#include "shell/ProjectImage.h"

namespace engine {

ConvolutionMemory Dsp;
// The variables below get their start values from SetStartValues, before main runs and again on
// every reset; none is written at its definition.
float MasterGain;
float OutputTrims[kOutputCount];
float LastTouchedTrim;
std::int32_t SubwooferOutputNumbers[2];
std::int32_t RearOutputNumbers[4];
char TestToneText[kTestToneTextSlot];
float TestToneFrequency;
std::int32_t TestToneSelector;
double TestTonePhase;
std::int32_t PlayWavMode;
std::int32_t WavModeOfRun;
PlaySettings PlayOpenedWith;
std::int32_t* InterleavedOutputBlock = nullptr;

namespace {
// Largest block: F = 4096 frames of 16 words.
constexpr std::size_t kInterleavedWords = 4096 * 16;
// The four workers interleave a quarter each: whole 64-byte lines, so no two of them write one.
constexpr std::size_t kLineBytes = 64;
static_assert(kInterleavedWords * sizeof(std::int32_t) % kLineBytes == 0);
// The one place of this file's start values.
void SetStartValues() {
    MasterGain = MasterGainFor(shell::kDefaultVolumePosition);
    for (float& trim : OutputTrims) trim = 1.0f;
    LastTouchedTrim = 1.0f;
    SubwooferOutputNumbers[0] = 1;
    SubwooferOutputNumbers[1] = 2;
    for (int i = 0; i < 4; ++i) RearOutputNumbers[i] = 3 + i;
    std::memset(TestToneText, 0, sizeof TestToneText);
    std::strcpy(TestToneText, "1000.0");
    TestToneFrequency = 1000.0f;
    TestToneSelector = 0;
    TestTonePhase = 0.0;
    PlayWavMode = 0;
    WavModeOfRun = 0;
    PlayOpenedWith = PlaySettings{0, 0, 0};
}

[[maybe_unused]] const bool kStartValuesReady = (SetStartValues(), true);

}  // namespace

int AllocEngineMemory() {
    if (Dsp.fft_table && InterleavedOutputBlock) return 0;
    if (!Dsp.fft_table && AllocConvolutionMemory(Dsp) != 0) return 1;
    if (!InterleavedOutputBlock) {
        InterleavedOutputBlock = static_cast<std::int32_t*>(
            std::aligned_alloc(kLineBytes, kInterleavedWords * sizeof(std::int32_t)));
        if (!InterleavedOutputBlock) return 1;
        std::memset(InterleavedOutputBlock, 0, kInterleavedWords * sizeof(std::int32_t));
    }
    return 0;
}

void FreeEngineMemory() {
    FreeConvolutionMemory(Dsp);
    std::free(InterleavedOutputBlock);
    InterleavedOutputBlock = nullptr;
}

float MasterGainFor(int volume_position) {
    // Positions outside the scroll bar's range (a damaged project) count as its ends.
    if (volume_position < 0) volume_position = 0;
    if (volume_position > 66) volume_position = 66;
    const double gain = std::pow(10.0, (volume_position - 51) * 0.05);
    return gain < 0.003 ? 0.0f : static_cast<float>(gain);
}

void ResetGlobals() {
    ResetPlayer();
    ResetConvolutionHooks();
    SetStartValues();
    if (InterleavedOutputBlock) std::memset(InterleavedOutputBlock, 0, kInterleavedWords * 4);
}

}  // namespace engine
