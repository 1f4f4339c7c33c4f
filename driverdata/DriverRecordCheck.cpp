// The checks and conversions of driver-file content: no file access, no window, so that they can
// be exercised on any bytes.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <vector>

#include "driverdata/DriverFiles.h"
#include "driverdata/NumberTokens.h"
#include "shell/BaffleRecord.h"
#include "shell/FrequencyGrid.h"
#include "shell/NumberText.h"
#include "shell/ValueRepairs.h"

namespace driverdata {

using shell::DriverRecord;
using shell::kGridPoints;

namespace {

constexpr float kStartFrequencies[8] = {1, 2, 5, 10, 20, 50, 100, 200};
constexpr float kStopFrequencies[8] = {500, 1000, 2000, 5000, 10000, 20000, 50000, 100000};

// ---- Mending a record ----

template <std::size_t N>
void Terminate(char (&slot)[N]) {
    shell::TerminateTextSlot(slot);
}
template <std::size_t R, std::size_t N>
void Terminate(char (&slots)[R][N]) {
    for (auto& slot : slots) shell::TerminateTextSlot(slot);
}

// A text slot the tools read as a number: kept as the file has it whenever it reads as a
// finite number (zero and negative values included: the tools that use it say what is wrong
// with it then); only a text that is no number gets `fallback`.
template <std::size_t N>
void MendNumberText(char (&slot)[N], const char* fallback, const char* what,
                    shell::ValueRepairs* repairs) {
    double value = 0.0;
    if (SlotNumber(slot, N, &value)) return;
    shell::CopyTextSlot(slot, fallback);
    if (repairs != nullptr) repairs->Note(what);
}

void MendRange(std::int32_t& word, std::int32_t low, std::int32_t high, std::int32_t fallback,
               const char* what, shell::ValueRepairs* repairs) {
    if (word >= low && word <= high) return;
    word = fallback;
    if (repairs != nullptr) repairs->Note(what);
}

void MendFlag(std::int32_t& word, const char* what, shell::ValueRepairs* repairs) {
    MendRange(word, 0, 1, 0, what, repairs);
}

void MendFloat(float& value, float fallback) {
    if (!std::isfinite(value)) value = fallback;
}

void MendCoordinate(float& value) {
    if (!std::isfinite(value)) value = 0.0f;
    value = std::clamp(value, -kMaxBaffleCoordinate, kMaxBaffleCoordinate);
}

bool AllFinite(const float* values, std::size_t count) {
    for (std::size_t k = 0; k < count; ++k) {
        if (!std::isfinite(values[k])) return false;
    }
    return true;
}

// ---- Foreign conversion ----

float LoadFloat(const std::uint8_t* image, std::size_t offset) {
    float value = 0.0f;
    std::memcpy(&value, image + offset, sizeof value);
    return value;
}

std::int32_t LoadInt(const std::uint8_t* image, std::size_t offset) {
    std::int32_t value = 0;
    std::memcpy(&value, image + offset, sizeof value);
    return value;
}

// Source point index per grid bin (the rule of ResampleForeignCurve).
void SourceIndexPerBin(float start_hz, float stop_hz, int* index) {
    const double points_per_decade =
        kForeignPoints / std::log10(static_cast<double>(stop_hz) / start_hz);
    int i = 0;
    for (int k = 0; k < kGridPoints; ++k) {
        const double f = shell::FrequencyGrid[k];
        while (i < kForeignPoints && start_hz * std::pow(10.0, i / points_per_decade) <= f) ++i;
        index[k] = std::min(i, kForeignPoints - 1);
    }
    for (int k = kGridPoints - 3; k < kGridPoints; ++k) index[k] = kForeignPoints - 1;
}

// Mean of bins k, k + 1, k + 2 for k = 0..1997 (stride in floats); 1998 and 1999 kept.
void Smooth3(float* values, int stride) {
    std::vector<float> work(kGridPoints);
    for (int k = 0; k < kGridPoints; ++k) work[k] = values[k * stride];
    for (int k = 0; k < kGridPoints - 2; ++k) {
        values[k * stride] = (work[k] + work[k + 1] + work[k + 2]) * (1.0f / 3.0f);
    }
}

}  // namespace

void ForeignFrequencyRange(const std::uint8_t* image, std::size_t size, float* start, float* stop) {
    *start = 10.0f;
    *stop = 50000.0f;
    if (size != kSonvexaFileBytes) return;
    const std::int32_t start_index = LoadInt(image, kForeignStartIndex);
    const std::int32_t stop_index = LoadInt(image, kForeignStopIndex);
    if (start_index >= 0 && start_index < 8) *start = kStartFrequencies[start_index];
    if (stop_index >= 0 && stop_index < 8) *stop = kStopFrequencies[stop_index];
}

void ResampleForeignCurve(const float* source, float start_hz, float stop_hz, float* target) {
    int index[kGridPoints];
    SourceIndexPerBin(start_hz, stop_hz, index);
    for (int k = 0; k < kGridPoints; ++k) target[k] = source[index[k]];
}

bool MendDriverRecord(DriverRecord& r, shell::ValueRepairs* repairs) {
    if (!shell::DriverCurvesInRange(r)) return false;
    // Every text slot ends inside its field.
    Terminate(r.Texts0400);
    Terminate(r.Efficiency);
    Terminate(r.Texts0458);
    Terminate(r.Diameter);
    Terminate(r.Texts0479);
    Terminate(r.Texts04C6);
    Terminate(r.Text04F2);
    Terminate(r.Text0506);
    Terminate(r.InputPower);
    Terminate(r.Text051C);
    Terminate(r.Texts0527);
    Terminate(r.Text0553);
    Terminate(r.Text0567);
    Terminate(r.LowPassSlope);
    Terminate(r.LowPassStart);
    Terminate(r.HighPassSlope);
    Terminate(r.HighPassStop);
    Terminate(r.Texts05A7);
    Terminate(r.ImportDelay);
    Terminate(r.ImportScale);
    Terminate(r.Text10000);
    Terminate(r.EnclosureWidth);
    Terminate(r.EnclosureHeight);
    Terminate(r.Texts1007A);
    Terminate(r.Text100DC);
    Terminate(r.Text10140);
    Terminate(r.Texts10154);
    Terminate(r.Text10175);
    Terminate(r.DiffractionPlotTop);
    Terminate(r.DiffractionPlotStep);
    Terminate(r.Texts101F2);
    Terminate(r.Texts1028C);
    Terminate(r.Text102AC);
    Terminate(r.Texts103EC);
    Terminate(r.Texts10424);
    Terminate(r.Texts10530);
    Terminate(r.Text10546);
    Terminate(r.Text1834C);
    Terminate(r.Text18B4C);
    Terminate(r.Text1934C);

    // Texts the tools read as numbers.
    MendNumberText(r.Efficiency, "90.0", "Efficiency", repairs);
    MendNumberText(r.Diameter, "25.0", "Driver diameter", repairs);
    MendNumberText(r.InputPower, "1.0", "Input power (Pin)", repairs);
    MendNumberText(r.LowPassSlope, "12.0", "Low-pass tail slope", repairs);
    MendNumberText(r.LowPassStart, "2000.0", "Low-pass tail start", repairs);
    MendNumberText(r.HighPassSlope, "12.0", "High-pass tail slope", repairs);
    MendNumberText(r.HighPassStop, "40.00", "High-pass tail stop", repairs);
    MendNumberText(r.ImportDelay, "0.0", "Converter delay", repairs);
    MendNumberText(r.ImportScale, "0.0", "Converter scale", repairs);
    MendNumberText(r.EnclosureWidth, "80.0", "Enclosure width", repairs);
    MendNumberText(r.EnclosureHeight, "80.0", "Enclosure height", repairs);
    MendNumberText(r.DiffractionPlotTop, "90", "Diffraction plot reference level", repairs);
    MendNumberText(r.DiffractionPlotStep, "5", "Diffraction plot scale", repairs);

    // Numbers, flags, counts and indices.
    if (!std::isfinite(r.Distance) || r.Distance <= 0.0f) {
        r.Distance = 1.0f;
        if (repairs != nullptr) repairs->Note("Distance");
    }
    if (!std::isfinite(r.MicDistance) || r.MicDistance <= 0.0f) {
        r.MicDistance = 100.0f;
        if (repairs != nullptr) repairs->Note("Microphone distance");
    }
    MendFlag(r.HbtValid, "Hilbert-Bode result flag", repairs);
    MendFlag(r.CurveKind, "Curve kind", repairs);
    MendFlag(r.DistanceInPhase, "Include distance in phase", repairs);
    MendFlag(r.DistanceInAmplitude, "Include distance in amplitude", repairs);
    // 0 one driver, 1 two drivers, 2 two drivers as well, 3 four drivers.
    MendRange(r.DriversMode, 0, 3, 0, "Drivers mode", repairs);
    if (r.ImportKind != 0 && r.ImportKind != 1 && r.ImportKind != 2 && r.ImportKind != 3 &&
        r.ImportKind != 5 && r.ImportKind != 6) {
        r.ImportKind = 0;
        if (repairs != nullptr) repairs->Note("Import kind");
    }
    MendRange(r.PlotStartFrequencyIndex, 0, 7, shell::kDefaultPlotStartIndex,
              "Plot start frequency", repairs);
    MendRange(r.PlotStopFrequencyIndex, 0, 7, shell::kDefaultPlotStopIndex, "Plot stop frequency",
              repairs);
    // The edge counters hold what a build of the outline can reach (one element per point of
    // the subdivided outline); the node count what the editor lets the outline hold.
    constexpr std::int32_t kLastNode = shell::kBaffleNodeSlots - 1;
    MendRange(r.EdgeElementCount, 0, shell::kEdgePointSlots, 4, "Edge element count", repairs);
    MendRange(r.BaffleNodeCount, 0, kLastNode, 4, "Baffle node count", repairs);
    MendRange(r.BaffleSideCount, 0, shell::kEdgePointSlots, 0, "Baffle side count", repairs);
    MendFloat(r.BaffleClosed, 0.0f);
    r.BaffleClosed = std::clamp(r.BaffleClosed, 0.0f, 2.0f);
    for (auto& node : r.BaffleNodes) {
        MendCoordinate(node[0]);
        MendCoordinate(node[1]);
    }
    const auto limit = static_cast<std::int32_t>(kMaxBaffleCoordinate);
    for (auto& point : r.BafflePoints) {
        point[0] = std::clamp(point[0], -limit, limit);
        point[1] = std::clamp(point[1], -limit, limit);
    }
    return true;
}

bool ConvertForeignDriver(const std::uint8_t* image, std::size_t size, DriverRecord& record) {
    if (size != kDravenicFileBytes && size != kSonvexaFileBytes) return false;
    const bool sonvexa = size == kSonvexaFileBytes;
    float start = 0.0f;
    float stop = 0.0f;
    ForeignFrequencyRange(image, size, &start, &stop);
    float source[4][kForeignPoints];
    const std::size_t offsets[4] = {kForeignSpl, kForeignPhase, kForeignReal, kForeignImag};
    for (int c = 0; c < 4; ++c) {
        std::memcpy(source[c], image + offsets[c], sizeof source[c]);
        if (!AllFinite(source[c], kForeignPoints)) return false;
    }
    float* targets[4] = {record.Spl, record.Phase, record.HbtReal, record.HbtImag};
    for (int c = 0; c < 4; ++c) ResampleForeignCurve(source[c], start, stop, targets[c]);

    // The efficiency text: at most its field, then terminated.
    char efficiency[kForeignEfficiencyField] = {};
    std::memcpy(efficiency, image + kForeignEfficiency, kForeignEfficiencyField - 1);
    shell::CopyTextSlot(record.Efficiency, efficiency);
    record.DistanceInPhase = LoadInt(image, kForeignDistanceInPhase);
    record.DistanceInAmplitude = LoadInt(image, kForeignDistanceInAmplitude);
    record.Distance = LoadFloat(image, kForeignDistance);

    Smooth3(record.Spl, 1);
    Smooth3(record.Phase, 1);
    if (sonvexa) {
        Smooth3(record.HbtReal, 1);
        Smooth3(record.HbtImag, 1);
        shell::CalibrationPoint* copies[2] = {record.MikeCalibration, record.PreampCalibration};
        const std::size_t tables[2] = {kForeignMikeCal, kForeignPreampCal};
        for (int c = 0; c < 2; ++c) {
            float db[kForeignPoints];
            float degrees[kForeignPoints];
            for (int i = 0; i < kForeignPoints; ++i) {
                db[i] = LoadFloat(image, tables[c] + 8 * static_cast<std::size_t>(i));
                degrees[i] = LoadFloat(image, tables[c] + 8 * static_cast<std::size_t>(i) + 4);
            }
            if (!AllFinite(db, kForeignPoints) || !AllFinite(degrees, kForeignPoints)) {
                return false;
            }
            float db_grid[kGridPoints];
            float degrees_grid[kGridPoints];
            ResampleForeignCurve(db, start, stop, db_grid);
            ResampleForeignCurve(degrees, start, stop, degrees_grid);
            for (int k = 0; k < kGridPoints; ++k) {
                copies[c][k].Db = db_grid[k];
                copies[c][k].Degrees = degrees_grid[k];
            }
            Smooth3(&copies[c][0].Db, 2);
            Smooth3(&copies[c][0].Degrees, 2);
        }
    }
    return true;
}

}  // namespace driverdata
