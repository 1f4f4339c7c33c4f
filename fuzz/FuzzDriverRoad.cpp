// Fuzz target of the open-driver road: a driver file opened as the File menu opens it (the
// native record and both foreign sizes), then what a user does with it: the record check, the
// HBT calculation, the baffle's edge diffraction, the calibration export, and Save Driver As.
// The foreign files are 2.1 MB, so an input patches a clean file instead: its first byte picks
// the layout (native, the smaller or the larger foreign one) and the steps taken; then 8-byte
// patches, a little-endian 32-bit place (modulo the file's 32-bit words) and the word written
// there. The checks: whatever is accepted holds curves a driver file may carry; a refused
// calculation changes nothing; an exported calibration opens again; and a saved driver opens
// again byte for byte what was saved.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "driverdata/BaffleEdges.h"
#include "driverdata/DriverFiles.h"
#include "driverdata/EdgeDiffraction.h"
#include "driverdata/ExportFiles.h"
#include "driverdata/Globals.h"
#include "driverdata/HbtInput.h"
#include "driverdata/HilbertBode.h"
#include "fuzz/FuzzSupport.h"
#include "shell/BaffleRecord.h"
#include "shell/DriverRecord.h"
#include "shell/FrequencyGrid.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"

namespace {

using shell::DriverRecord;
using shell::kGridPoints;

std::vector<std::uint8_t> g_clean[3];

// A measured-looking woofer: a second-order roll-off below 60 Hz and above 3 kHz around 88 dB.
float WooferLevel(double f) {
    const double low = std::pow(f / 60.0, 4.0);
    const double high = std::pow(3000.0 / f, 4.0);
    return static_cast<float>(88.0 + 10.0 * std::log10(low / (1.0 + low) * high / (1.0 + high)));
}

void BuildCleanFiles() {
    auto record = std::make_unique<DriverRecord>();
    shell::InitDriverRecord(record.get());
    for (int k = 0; k < kGridPoints; ++k) {
        record->Spl[k] = WooferLevel(shell::FrequencyGrid[k]);
        record->Phase[k] = -0.02f * static_cast<float>(k);
        record->MikeCalibration[k] = {0.5f, 1.0f};
    }
    shell::CopyTextSlot(record->Efficiency, "88.0");
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(record.get());
    g_clean[0].assign(bytes, bytes + sizeof(DriverRecord));

    const std::size_t sizes[2] = {driverdata::kDravenicFileBytes, driverdata::kSonvexaFileBytes};
    for (int layout = 1; layout <= 2; ++layout) {
        std::vector<std::uint8_t>& image = g_clean[layout];
        image.assign(sizes[layout - 1], 0);
        auto put = [&image](std::size_t offset, float value) {
            std::memcpy(&image[offset], &value, 4);
        };
        for (int i = 0; i < driverdata::kForeignPoints; ++i) {
            const double f = 10.0 * std::pow(5000.0, i / (driverdata::kForeignPoints - 1.0));
            put(driverdata::kForeignSpl + 4 * static_cast<std::size_t>(i), WooferLevel(f));
            put(driverdata::kForeignPhase + 4 * static_cast<std::size_t>(i), -0.05f * i);
            put(driverdata::kForeignReal + 4 * static_cast<std::size_t>(i), 1.0f);
            if (layout == 2) {
                put(driverdata::kForeignMikeCal + 8 * static_cast<std::size_t>(i), 0.25f);
                put(driverdata::kForeignPreampCal + 8 * static_cast<std::size_t>(i) + 4, 2.0f);
            }
        }
        std::memcpy(&image[driverdata::kForeignEfficiency], "87.5", 4);
        put(driverdata::kForeignDistance, 1.0f);
        if (layout == 2) {
            const std::int32_t start = 3, stop = 5;
            std::memcpy(&image[driverdata::kForeignStartIndex], &start, 4);
            std::memcpy(&image[driverdata::kForeignStopIndex], &stop, 4);
        }
    }
}

std::vector<std::uint8_t> FileBytes(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return bytes;
    std::uint8_t buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return bytes;
}

bool SameHbt(const DriverRecord& a, const DriverRecord& b) {
    return std::memcmp(a.HbtReal, b.HbtReal, sizeof a.HbtReal) == 0 &&
           std::memcmp(a.HbtImag, b.HbtImag, sizeof a.HbtImag) == 0 && a.HbtValid == b.HbtValid;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::StartWorld(argc, argv);
    fuzz::ResetWorld();
    BuildCleanFiles();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ResetWorld();
    driverdata::ResetGlobals();
    shell::InitBaffleRecord();
    shell::InitDriverRecord(shell::CurrentDriverRecord);
    std::memset(shell::MikeCalibrationCurve, 0, sizeof(shell::CalibrationCurve));
    std::memset(shell::PreampCalibrationCurve, 0, sizeof(shell::CalibrationCurve));
    const std::uint8_t steps = size > 0 ? data[0] : 0;
    std::vector<std::uint8_t> image = g_clean[steps % 3];
    const std::size_t words = image.size() / 4;
    for (std::size_t at = 1; at + 8 <= size; at += 8) {
        std::uint32_t place = 0;
        std::memcpy(&place, data + at, 4);
        std::memcpy(&image[4 * (place % words)], data + at + 4, 4);
    }
    const std::string path = fuzz::WriteScratchFile("driver.frd", image.data(), image.size());
    if (driverdata::ReadDriverFile(nullptr, path.c_str()) != 1) return 0;
    DriverRecord& r = *shell::CurrentDriverRecord;
    fuzz::Require(shell::DriverCurvesInRange(r), "accepted driver curves");
    fuzz::Require(shell::CalibrationInRange(shell::MikeCalibrationCurve) &&
                      shell::CalibrationInRange(shell::PreampCalibrationCurve),
                  "live calibrations after an accepted driver");

    // Calculate, as the HBT editor's button runs it (the slowest step: every other input).
    if ((steps & 8) != 0) {
        shell::BuildExtendedFrequencyGrid();
        const auto before = std::make_unique<DriverRecord>(r);
        if (driverdata::HbtEfficiencyUsable() && driverdata::CalculateHilbertBode() == 0) {
            fuzz::Require(shell::DriverCurvesInRange(r), "HBT response");
        } else {
            fuzz::Require(SameHbt(*before, r), "a refused calculation changed the response");
        }
    }

    // The baffle the native record brought: its edge sum at three frequencies.
    if ((steps & 16) != 0 && driverdata::BuildBaffleEdges() == 0) {
        const shell::BafflePoint& p = shell::Baffle->Points[0];
        for (int k : {0, 1000, 1999}) {
            driverdata::DiffractionAccumulator = {0.0f, 0.0f};
            driverdata::EdgeDiffractionAtFrequency(p.x, p.y, k, 0);
            fuzz::Require(std::isfinite(driverdata::DiffractionAccumulator.re) &&
                              std::isfinite(driverdata::DiffractionAccumulator.im),
                          "edge diffraction");
        }
    }

    // The calibration export opens again whenever it is written.
    shell::Mls.MlsUseMikeCal = 1;
    shell::Mls.MlsUsePreampCal = 0;
    const std::string cal = fuzz::WriteScratchFile("mike.cal", nullptr, 0);
    if (driverdata::ExportCalFile(nullptr, cal.c_str()) == 1) {
        fuzz::Require(driverdata::ReadMikeCalFile(nullptr, cal.c_str()) == 1,
                      "an exported calibration is refused");
    }

    // Save Driver As, then open what was saved: the same record, byte for byte.
    const std::string saved = fuzz::WriteScratchFile("saved.frd", nullptr, 0);
    fuzz::Require(driverdata::WriteDriverFile(nullptr, saved.c_str()) == 1, "save refused");
    const std::vector<std::uint8_t> written = FileBytes(saved);
    fuzz::Require(written.size() == sizeof(DriverRecord), "saved size");
    shell::InitDriverRecord(shell::CurrentDriverRecord);
    fuzz::Require(driverdata::ReadDriverFile(nullptr, saved.c_str()) == 1, "saved file refused");
    const auto* read = reinterpret_cast<const std::uint8_t*>(shell::CurrentDriverRecord);
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (written[i] == read[i]) continue;
        std::fprintf(stderr, "saved byte 0x%zx: 0x%02x, read back 0x%02x\n", i, written[i],
                     read[i]);
        fuzz::Require(false, "saved driver reads back changed");
    }
    return 0;
}
