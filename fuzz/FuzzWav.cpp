// Fuzz target of the WAV reader: the input is the WAV file chosen for playback. A file that the
// check refuses opens nothing; one that it accepts is read block by block into the engine's
// inputs and played through unit filters: the outputs repeat the file's samples on the 24-bit
// scale, never more.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/Convolution.h"
#include "engine/Globals.h"
#include "engine/WaveDevices.h"
#include "fuzz/FuzzSupport.h"
#include "platform/audio/Mmio.h"
#include "platform/testing/MessageBoxLog.h"

namespace {

constexpr int kF = 1024;
engine::ConvolutionMemory g_memory{};
std::vector<std::vector<float>> g_spectra;
std::vector<const float*> g_pointers;
std::int32_t g_routing[engine::kInputCount][engine::kOutputCount] = {};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::StartWorld(argc, argv);
    fuzz::Require(engine::AllocConvolutionMemory(g_memory) == 0, "engine memory");
    // Unit filters: a tap of 1 at time 0 (a flat spectrum in partition 0).
    g_spectra.assign(engine::kOutputCount * engine::kPartitionCount, std::vector<float>(4 * kF));
    for (int o = 0; o < engine::kOutputCount; ++o) {
        for (int k = 0; k < 2 * kF; ++k) g_spectra[o * engine::kPartitionCount][2 * k] = 1.0f;
        g_routing[o % 2][o] = 1;  // file left to odd outputs, right to even
    }
    for (auto& s : g_spectra) g_pointers.push_back(s.data());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::testing::ClearMessageBoxLog();  // the reader's messages; nothing else is touched
    const std::string path = fuzz::WriteScratchFile("play.wav", data, size);
    engine::WavFile = platform::mmioOpen(path.c_str(), nullptr, platform::MMIO_READ);
    if (!engine::WavFile) return 0;
    if (engine::CheckWaveFile() != 0) {
        fuzz::Require(!engine::WavFile, "a refused file is closed");
        return 0;
    }
    fuzz::Require(engine::WavDataSize >= 4, "an accepted file holds a frame");
    fuzz::Require(engine::PrepareConvolutionRun(g_memory, kF, 1, g_routing, g_pointers.data()) == 0,
                  "engine run");
    engine::BlockGains gains{};
    gains.master = 1.0f;
    for (float& t : gains.trims) t = 1.0f;
    static std::vector<char> raw(4 * kF);
    static std::vector<std::int32_t> out(static_cast<std::size_t>(kF) * 16);
    for (int block = 0; block < 4; ++block) {
        std::memset(raw.data(), 0, raw.size());
        const int got = engine::ReadWaveData(raw.data(), static_cast<int>(raw.size()));
        if (got <= 0) break;
        fuzz::Require(got <= static_cast<int>(raw.size()), "read within the block");
        for (int n = 0; n < kF; ++n) {
            std::int16_t left, right;
            std::memcpy(&left, raw.data() + 4 * n, 2);
            std::memcpy(&right, raw.data() + 4 * n + 2, 2);
            g_memory.input_slots[engine::kSlotOfInput[0]][n] = left * 256.0f;
            g_memory.input_slots[engine::kSlotOfInput[1]][n] = right * 256.0f;
        }
        engine::TransformInputs(g_memory, engine::kInputsOfWorkerA, 4,
                                g_memory.work[engine::kWorkInputA]);
        engine::TransformInputs(g_memory, engine::kInputsOfWorkerB, 4,
                                g_memory.work[engine::kWorkInputB]);
        engine::ConvolveOutputs(g_memory, 0, 7, gains, out.data(),
                                g_memory.work[engine::kWorkOutputLow]);
        engine::ConvolveOutputs(g_memory, 8, 15, gains, out.data(),
                                g_memory.work[engine::kWorkOutputHigh]);
        for (int n = 0; n < kF; ++n) {
            for (int o = 0; o < engine::kOutputCount; ++o) {
                const float in = g_memory.input_slots[engine::kSlotOfInput[o % 2]][n];
                const double value = out[static_cast<std::size_t>(n) * 16 + o] / 256.0;
                fuzz::Require(std::fabs(value) <= 32768.0 * 256.0, "above the file's scale");
                // Single-precision transforms: within a few units of the 24-bit scale.
                fuzz::Require(std::fabs(value - in) <= 8.0, "the file's sample, unchanged");
            }
        }
    }
    engine::ReleaseWaveFile();
    return 0;
}
