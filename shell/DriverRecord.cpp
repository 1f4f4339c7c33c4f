#include "shell/DriverRecord.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "shell/FileIo.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/ValueRepairs.h"

namespace shell {

namespace {

template <std::size_t Rows, std::size_t N>
void FillSlots(char (&slots)[Rows][N], const char* const (&texts)[Rows]) {
    for (std::size_t i = 0; i < Rows; ++i) CopyTextSlot(slots[i], texts[i]);
}

}  // namespace

int InitDriverRecord(DriverRecord* record) {
    if (record == nullptr) return 0;
    DriverRecord& r = *record;
    // Bytes that the defaults leave alone start at zero rather than at whatever memory held.
    std::memset(&r, 0, sizeof r);

    std::memset(r.Prefix, '#', 10);  // no terminator

    for (auto& slot : r.Texts0400) CopyTextSlot(slot, "0.0");
    CopyTextSlot(r.Texts0400[5], "60.0");  // 0x437
    CopyTextSlot(r.Efficiency, "90.0");
    for (auto& slot : r.Texts0458) CopyTextSlot(slot, "0.0");
    CopyTextSlot(r.Diameter, "25.0");
    for (auto& slot : r.Texts0479) CopyTextSlot(slot, "0.0");
    FillSlots(r.Texts04C6, {"1.00", "0.280", "1.280", "0.00393"});
    CopyTextSlot(r.Text04F2, "Alnico 5");
    CopyTextSlot(r.Text0506, "8.0");
    CopyTextSlot(r.InputPower, "1.0");
    for (auto& slot : r.Texts0527) CopyTextSlot(slot, "0.0");
    CopyTextSlot(r.Text0553, "Woofer");
    CopyTextSlot(r.Text0567, " ");
    CopyTextSlot(r.LowPassSlope, "12.0");
    CopyTextSlot(r.LowPassStart, "2000.0");
    CopyTextSlot(r.HighPassSlope, "12.0");
    CopyTextSlot(r.HighPassStop, "40.00");
    FillSlots(r.Texts05A7, {"-3.20", "10000.0", "0.0", "5.10"});
    CopyTextSlot(r.ImportDelay, "0.0");
    CopyTextSlot(r.ImportScale, "0.0");

    for (int k = 0; k < kGridPoints; ++k) {
        r.Spl[k] = 90.0f;
        r.Phase[k] = 0.0f;
        r.HbtReal[k] = 1.0f;
        r.HbtImag[k] = 0.0f;
    }
    r.HbtValid = 0;
    r.ImportKind = 0;
    r.Distance = 1.0f;
    CopyTextSlot(r.Text10000, "0.00");
    CopyTextSlot(r.EnclosureWidth, "80.0");
    CopyTextSlot(r.EnclosureHeight, "80.0");
    FillSlots(r.Texts1007A, {"22.5", "22.5", "22.5", "55.0", "55.0", "22.5", "55.0", "55.0"});
    r.MicDistance = 100.0f;
    CopyTextSlot(r.Text100DC, "0.0");

    // Copies of the printout settings as they are now.
    CopyTextSlot(r.Text10140, PrintoutSettings.ScaleText);
    r.Reserved1014C[0] = PrintoutSettings.Scale;
    r.Reserved1014C[1] = PrintoutSettings.Landscape;
    CopyTextSlot(r.Texts10154[0], PrintoutSettings.XOffsetText);
    CopyTextSlot(r.Texts10154[1], PrintoutSettings.YOffsetText);
    CopyTextSlot(r.Texts10154[2], PrintoutSettings.ColourCountText);
    CopyTextSlot(r.Text10175, "0.00");

    CopyTextSlot(r.DiffractionPlotTop, "90");
    CopyTextSlot(r.DiffractionPlotStep, "5");
    FillSlots(r.Texts101F2,
              {"1.0", "10", "0.5", "2", "1", "1", "0", "1", "2", "50", "0.2", "60.00"});
    const std::int32_t words10278[5] = {1, 1, 1, 0, 0};
    std::memcpy(r.Reserved10278, words10278, sizeof words10278);
    CopyTextSlot(r.Texts1028C[0], "10.00");
    CopyTextSlot(r.Texts1028C[1], "1.0");
    r.PlotStartFrequencyIndex = PlotStartFrequencyIndex;
    r.PlotStopFrequencyIndex = PlotStopFrequencyIndex;
    CopyTextSlot(r.Text102AC, "0.00");

    // Copies of the measurement settings as they are now.
    CopyTextSlot(r.Texts103EC[0], Mls.TextsA648[0]);
    CopyTextSlot(r.Texts103EC[1], Mls.TextsA648[2]);
    CopyTextSlot(r.Texts103EC[2], Mls.TextsA648[3]);
    r.MlsOutputLevelCopy = Mls.MlsOutputLevel;
    r.EdgeElementCount = Mls.MlsSampleRateIndex;
    r.BaffleNodeCount = Mls.ReservedA680;
    r.BaffleSideCount = Mls.ReservedA684;
    r.BaffleClosed = Mls.ReservedA688;
    for (int i = 0; i < 6; ++i) CopyTextSlot(r.Texts10424[i], Mls.TextsA68C[i]);
    CopyTextSlot(r.Texts10424[6], Mls.MlsAddDbText);
    CopyTextSlot(r.Texts10424[7], Mls.ProcessTextA6D9);
    for (int i = 0; i < 5; ++i) CopyTextSlot(r.Texts10424[8 + i], Mls.MlsProcessTexts0to4[i]);
    CopyTextSlot(r.Texts10424[13], "0.0");
    r.BaffleNodes[0][0] = 12.0f;
    r.BaffleNodes[0][1] = 12.0f;
    r.BafflePoints[0][0] = 10;
    r.BafflePoints[0][1] = 50000;
    r.Reserved10524[0] = Mls.MlsLengthIndex;
    r.Reserved10524[1] = Mls.MlsSmoothingIndex;
    r.Reserved10524[2] = Mls.MlsWindowType;
    CopyTextSlot(r.Texts10530[0], Mls.MlsWindowWidthText);
    CopyTextSlot(r.Texts10530[1], Mls.MlsPulseDelayText);
    CopyTextSlot(r.Text10546, "0.0");
    r.Reserved1055C[10] = 1;
    r.Reserved1055C[13] = 1;

    // Calibration copies stay (0, 0); the two long texts stay empty.
    CopyTextSlot(r.Text1934C, "0.0");
    return 0;
}

namespace {

void CheckPoint(float& value, float low, float high, float fallback, const std::string& what,
                ValueRepairs& repairs) {
    if (value >= low && value <= high) return;  // false for NaN
    value = fallback;
    repairs.Note(what);
}

}  // namespace

int RepairDriverData(ElementDriverBlock& block, const std::string& owner, ValueRepairs& repairs) {
    const int before = repairs.Count();
    const std::string spl = owner + ": driver SPL";
    const std::string phase = owner + ": driver phase";
    const std::string response = owner + ": driver response";
    for (int k = 0; k < kGridPoints; ++k) {
        CheckPoint(block.Spl[k], kDriverLevelLowDb, kDriverLevelHighDb, 90.0f, spl, repairs);
        CheckPoint(block.Phase[k], -kDriverPhaseLimit, kDriverPhaseLimit, 0.0f, phase, repairs);
        CheckPoint(block.Real[k], -kDriverResponseLimit, kDriverResponseLimit, 1.0f, response,
                   repairs);
        CheckPoint(block.Imag[k], -kDriverResponseLimit, kDriverResponseLimit, 0.0f, response,
                   repairs);
    }
    CheckPoint(block.Efficiency, kDriverLevelLowDb, kDriverLevelHighDb, 90.0f,
               owner + ": driver efficiency", repairs);
    return repairs.Count() - before;
}

namespace {

bool AllFinite(const float* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (!std::isfinite(values[i])) return false;
    }
    return true;
}

}  // namespace

DriverFileStatus ReadDriverFileData(const char* path, DriverRecord& scratch,
                                    ElementDriverBlock& out, ValueRepairs& repairs) {
    std::vector<std::uint8_t> bytes;
    const FileStatus status = ReadFileExact(path, kDriverRecordBytes, bytes);
    if (status == FileStatus::kWrongSize) return DriverFileStatus::kNotRecognized;
    if (status != FileStatus::kOk || bytes.size() != kDriverRecordBytes) {
        return DriverFileStatus::kOpenFailed;
    }
    std::memcpy(&scratch, bytes.data(), kDriverRecordBytes);
    // A file of the right size whose curves hold no numbers is not a driver file.
    if (!AllFinite(scratch.Spl, kGridPoints) || !AllFinite(scratch.Phase, kGridPoints) ||
        !AllFinite(scratch.HbtReal, kGridPoints) || !AllFinite(scratch.HbtImag, kGridPoints)) {
        return DriverFileStatus::kNotRecognized;
    }
    // The values are checked in a block of their own; `out` changes once they are sound.
    static ElementDriverBlock loaded;
    std::memcpy(loaded.Spl, scratch.Spl, sizeof loaded.Spl);
    std::memcpy(loaded.Phase, scratch.Phase, sizeof loaded.Phase);
    std::memcpy(loaded.Real, scratch.HbtReal, sizeof loaded.Real);
    std::memcpy(loaded.Imag, scratch.HbtImag, sizeof loaded.Imag);
    // The efficiency text fills its whole field when it is long: bound it before converting.
    char efficiency[sizeof scratch.Efficiency + 1];
    std::memcpy(efficiency, scratch.Efficiency, sizeof scratch.Efficiency);
    efficiency[sizeof scratch.Efficiency] = '\0';
    double value = 0.0;
    if (!ParseNumberText(efficiency, &value)) value = 0.0;
    // Beyond what a float holds counts as no number (0), as the element dialogs read texts.
    loaded.Efficiency = std::fabs(value) > 3.0e38 ? 0.0f : static_cast<float>(value);
    RepairDriverData(loaded, "This driver file", repairs);
    out = loaded;
    return DriverFileStatus::kLoaded;
}

}  // namespace shell
