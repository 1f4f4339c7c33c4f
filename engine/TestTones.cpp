#include "engine/TestTones.h"

#include <cmath>
#include <cstring>

#include "engine/Convolution.h"
#include "engine/Globals.h"
#include "shell/Globals.h"
#include "shell/ProjectImage.h"

namespace engine {

const char* const TestTonePortNames[kTestTonePortCount] = {
    "NONE",   "Port 1",  "Port 2",  "Port 3",  "Port 4",  "Port 5",  "Port 6",  "Port 7",  "Port 8",
    "Port 9", "Port 10", "Port 11", "Port 12", "Port 13", "Port 14", "Port 15", "Port 16", "ALL"};

namespace {
constexpr double kTwoPi = 6.283185307179586;  // the tone's own 2 pi, as the phase wraps on it
}  // namespace

void GenerateToneBlock(float frequency, int frames, int channels, int selector, int volume_position,
                       double rate, double& phase, std::int32_t* block) {
    if (volume_position < 0) volume_position = 0;  // the scroll bar's range, whatever is stored
    if (volume_position > 66) volume_position = 66;
    const float amplitude =
        static_cast<float>(std::pow(10.0, (volume_position - 51) * 0.05) * 100.0);
    const double peak = 3560000.0 * double(amplitude);
    std::memset(block, 0, sizeof(std::int32_t) * static_cast<std::size_t>(frames) * channels);
    const double step = kTwoPi * double(frequency) / rate;
    for (int n = 0; n < frames; ++n) {
        double value = std::sin(phase) * peak;
        // The largest volume stays below 2^31; clamp anyway so that no value is out of range.
        if (!(value == value)) value = 0.0;
        if (value > 2147483647.0) value = 2147483647.0;
        if (value < -2147483647.0) value = -2147483647.0;
        const std::int32_t word = static_cast<std::int32_t>(value);
        std::int32_t* frame = block + static_cast<std::size_t>(n) * channels;
        if (selector == 17) {
            for (int c = 0; c < channels; ++c) frame[c] = word;
        } else if (selector >= 1 && selector <= channels) {
            frame[selector - 1] = word;
        }
        phase += step;
        if (phase > kTwoPi) phase -= kTwoPi;
    }
}

void GenerateTestTone(float frequency, int frames) {
    // The rate and outputs the play opened its devices with.
    const double rate = PlayOpenedWith.sample_rate > 0 ? PlayOpenedWith.sample_rate : 48000.0;
    GenerateToneBlock(frequency, frames, OutputChannelCount(PlayOpenedWith.output_layout),
                      TestToneSelector, shell::Project.Settings.VolumeSliderPosition, rate,
                      TestTonePhase, InterleavedOutputBlock);
}

}  // namespace engine
