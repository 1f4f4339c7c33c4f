// Test tones: the modal "Test Tones" dialog that chooses a frequency and a port, and the
// generator that fills the interleaved output block with that sine in place of the convolution.
#pragma once

#include <cstdint>

#include "platform/Types.h"

namespace engine {

inline constexpr int kTestTonePortCount = 18;  // "NONE", "Port 1" .. "Port 16", "ALL"
extern const char* const TestTonePortNames[kTestTonePortCount];

// Dialog procedure of the template QUORVEX_LINEARIZER_TEST_TONES (edit 5038, list 5037,
// buttons 1 "Done" and 2 "Cancel"). Choices take effect at once; Cancel does not undo them.
platform::INT_PTR TestTonesDlgProc(platform::HWND dialog, platform::UINT message,
                                   platform::WPARAM wParam, platform::LPARAM lParam);

// One block of the tone: `frames` frames of `channels` words (8, 16 or 10) into `block`.
// `selector` 1..16 writes channel selector - 1 when the layout has it, 17 every channel; the
// peak is 3,560,000 x 10^((volume_position - 51) x 0.05) x 100 on the 32-bit word scale; the
// phase advances by 2 pi f / rate per frame and wraps once when above 2 pi.
// Real-time (UI thread, the scheduler): no allocation.
void GenerateToneBlock(float frequency, int frames, int channels, int selector, int volume_position,
                       double rate, double& phase, std::int32_t* block);

// The scheduler's call: the current selector and volume, the play's output layout and sample
// rate (PlayOpenedWith), TestTonePhase, into InterleavedOutputBlock.
void GenerateTestTone(float frequency, int frames);

}  // namespace engine
