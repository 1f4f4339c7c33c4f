// Process-wide state of engine/: the convolution memory, the player's gains and trims, the test
// tone, and the scheduler's words. The system-wide busy and modal words (AudioBusy,
// ModalDialogOpen), the block size and the layouts are the shell's (shell/Globals.h).
#pragma once

#include <cstdint>

#include "engine/Convolution.h"

namespace engine {

// The convolution's memory; allocated by the first Play (AllocEngineMemory), never resized.
extern ConvolutionMemory Dsp;

// Linear volume applied by the output workers, from VolumeSliderPosition by MasterGainFor.
extern float MasterGain;
// Linear gain per output 1..16 (index 0..15), 1.0 by default, 0.1..10.0 by the remote keys.
extern float OutputTrims[kOutputCount];
// The trim a remote key changed last (shown in the player's title).
extern float LastTouchedTrim;
// 1-based outputs whose trims the Insert/Delete and Left/Right keys change; also the meter
// colours of those outputs.
extern std::int32_t SubwooferOutputNumbers[2];
extern std::int32_t RearOutputNumbers[4];

// Test tone: the typed frequency text, its value, the port chosen (0 none, 1..16, 17 all) and
// the running phase in radians (never reset: a tone continues across blocks and runs).
inline constexpr int kTestToneTextSlot = 10;
extern char TestToneText[kTestToneTextSlot];
extern float TestToneFrequency;
extern std::int32_t TestToneSelector;
extern double TestTonePhase;

// 1 = play a WAV file instead of live input (check box 4911; may be toggled at any time).
extern std::int32_t PlayWavMode;
// PlayWavMode as Play found it: what the current run reads (a toggle during a run takes effect
// at the next Play, so the file is opened and closed exactly once per run).
extern std::int32_t WavModeOfRun;

// What a play opened its devices with, taken once by TakePlaySettings (WaveDevices.h) when it
// opens them: the devices, the scheduler, the converters and the test tone read this copy until
// the play ends, so a layout or rate chosen in Preferences meanwhile takes effect at the next Play.
struct PlaySettings {
    std::int32_t input_layout;   // InputLayout: 0 "Inputs 1-2", 1 "Inputs 1-8", 2 "Inputs 1-12"
    std::int32_t output_layout;  // OutputLayout: 0 "8 Outputs", 1 "16 Outputs", 2 "8 + SPDIF"
    std::int32_t sample_rate;    // Hz, the project's rate (0 for a bad rate index)
};
extern PlaySettings PlayOpenedWith;

// Interleaved output block: F frames of 8, 16 or 10 words, written by the output workers or the
// test tone, queued by the scheduler. Allocated with Dsp, on a 64-byte line.
extern std::int32_t* InterleavedOutputBlock;

// Allocates Dsp and InterleavedOutputBlock once; 0 on success, 1 when memory is short.
int AllocEngineMemory();
void FreeEngineMemory();

// MasterGain for a volume position: 10^((position - 51) x 0.05) in double precision, stored as a
// float; 0 below 0.003 (position 0 mutes).
float MasterGainFor(int volume_position);

// Stops the player and puts every variable of this folder back to its start value (the wave
// devices' buffer counts and the convolution's vector hooks included), so that every test starts
// from a known state.
void ResetGlobals();

}  // namespace engine
