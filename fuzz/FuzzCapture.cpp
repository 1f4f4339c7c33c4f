// Fuzz target of the MLS capture reader, driven on into the processing and Calculate SPL as the
// MLS page and the room equalizer's Use Saved IR take a capture. A capture file is 2.1 MB, so an
// input patches the file of a clean measurement instead (a sequence of order 16 at 48 kHz on the
// reference, a delayed and filtered copy on the measured channel): its first 8 bytes, when
// present, are the two index fields as stored (digit, NUL, padding); then 8-byte patches, a
// little-endian 32-bit place (taken modulo the 526,999 capture words) and the word written there.
// The empty file is the clean measurement itself. Whatever the file holds, it is refused, or the
// driver's curves after Calculate SPL are ones a driver file carries, or Calculate SPL refuses
// and the curves are unchanged.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "measurement/CaptureFile.h"
#include "measurement/Globals.h"
#include "measurement/MlsDeconvolution.h"
#include "measurement/MlsSequences.h"
#include "measurement/MlsSpl.h"
#include "shell/DriverRecord.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"

namespace {

constexpr int kLengthIndex = 3;  // order 16
constexpr std::size_t kWords = measurement::kMlsCaptureStoredBytes / 4;

std::vector<std::uint8_t> g_clean;

void PutWord(std::uint8_t* image, std::size_t word, std::int32_t value) {
    std::memcpy(image + 4 * word, &value, 4);
}

// The file of a clean measurement: the sequence on the reference channel 300 samples late, and
// on the measured one 350 samples late with a one-tap echo.
void BuildCleanCapture() {
    const int order = kLengthIndex + 13;
    const int length = (1 << order) - 1;
    fuzz::Require(measurement::BuildMlsSequence(order), "sequence");
    auto s = [&](long i) {
        const long j = ((i % length) + length) % length;
        return measurement::MlsBit(shell::MlsBitBuffer, static_cast<int>(j)) ? -1 : 1;
    };
    g_clean.assign(measurement::kMlsCaptureFileBytes, 0);
    for (std::size_t f = 0; 2 * f + 1 < kWords; ++f) {
        const long i = static_cast<long>(f);
        PutWord(g_clean.data(), 2 * f, 10000 * s(i - 300) * 256);
        PutWord(g_clean.data(), 2 * f + 1, (9000 * s(i - 350) - 3000 * s(i - 351)) * 256);
    }
    g_clean[measurement::kMlsRateFieldOffset] = '5';
    g_clean[measurement::kMlsLengthFieldOffset] = static_cast<std::uint8_t>('0' + kLengthIndex);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::StartWorld(argc, argv);
    BuildCleanCapture();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ResetWorld();
    measurement::ResetGlobals();  // which lets the capture copies go
    fuzz::Require(measurement::AllocMlsCaptureCopies(), "capture copies");
    shell::InitDriverRecord(shell::CurrentDriverRecord);
    std::vector<std::uint8_t> image = g_clean;
    if (size >= 8) {
        std::memcpy(&image[measurement::kMlsRateFieldOffset], data, 4);
        std::memcpy(&image[measurement::kMlsLengthFieldOffset], data + 4, 4);
    }
    for (std::size_t at = 8; at + 8 <= size; at += 8) {
        std::uint32_t place = 0;
        std::int32_t word = 0;
        std::memcpy(&place, data + at, 4);
        std::memcpy(&word, data + at + 4, 4);
        PutWord(image.data(), place % kWords, word);
    }
    const std::string path = fuzz::WriteScratchFile("capture.res", image.data(), image.size());
    if (measurement::ReadMlsCaptureFile(nullptr, path.c_str()) != measurement::CaptureLoad::kLoaded)
        return 0;
    // Order 18 and the highest rates process for seconds under the sanitizers; the reader and its
    // fields are what is fuzzed there, the processing is the same code at every order.
    if (measurement::MlsOrder > 16) return 0;

    // The page's settings of a measurement: Blackman gates over 30000 samples, no pulse delay,
    // the strongest smoothing.
    shell::Mls.MlsWindowType = 2;
    shell::CopyTextSlot(shell::Mls.MlsWindowWidthText, "30000");
    shell::CopyTextSlot(shell::Mls.MlsPulseDelayText, "0.0");
    shell::Mls.MlsSmoothingIndex = 5;
    measurement::UpdateSmoothingPasses();
    shell::Mls.MlsUsePreampCal = 0;
    measurement::MlsImpulseValid = 1;
    fuzz::Require(measurement::ProcessMlsCapture() == 0, "processing");
    measurement::MlsImpulseStart = 50;
    // The extremes of Add dB the page takes, with and without the calibrations.
    const char* add_db = (size / 8) % 3 == 0 ? "0.0" : (size / 8) % 3 == 1 ? "200" : "-200";
    shell::CopyTextSlot(shell::Mls.MlsAddDbText, add_db);
    shell::Mls.MlsUseMikeCal = static_cast<std::int32_t>(size % 2);
    const auto before = std::make_unique<shell::DriverRecord>(*shell::CurrentDriverRecord);
    if (measurement::CalculateMlsSpl(nullptr) != 0) {
        fuzz::Require(
            std::memcmp(before.get(), shell::CurrentDriverRecord, sizeof(shell::DriverRecord)) == 0,
            "a refused Calculate SPL left the driver as it was");
        return 0;
    }
    fuzz::Require(shell::DriverCurvesInRange(*shell::CurrentDriverRecord),
                  "driver curves after Calculate SPL");
    return 0;
}
