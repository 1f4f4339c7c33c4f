// The curve text lines and the calibration-text reader: no file access, no window.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "driverdata/ExportFiles.h"
#include "driverdata/NumberTokens.h"
#include "shell/FrequencyGrid.h"
#include "shell/NumberText.h"

namespace driverdata {

using shell::CalibrationPoint;
using shell::FrequencyGrid;
using shell::kGridPoints;

namespace {

void AppendNumber(std::string& line, float value) {
    char text[64];
    if (!shell::FormatNumberText(text, sizeof text, static_cast<double>(value), 2)) {
        std::strcpy(text, "0.00");
    }
    line += text;
}

// A grid frequency and the one read from a file are the same point when they differ by no more
// than the export's two decimals (half of 0.01 Hz) and a tiny relative part (the single precision
// of the grid, the seven digits of an exponent form). The relative part lies far below the finest
// grid step (1/2000 of the narrowest plot range, about 0.05 %); the two decimals are coarser than
// a step only near 1 Hz, and a grid one step off never matches at all 2000 points.
constexpr double kExportRounding = 0.005;
constexpr double kRelativeTolerance = 1e-5;

// How far the file may fall short of either end of the grid, in grid steps: one step (an export
// written under the grid's other form, or under a plot's rebuilt grid) and a quarter for the
// single-precision drift of a plot's rebuilt grid.
constexpr double kEndSlackSteps = 1.25;

// One (frequency, dB, degrees) triplet; a number that is missing or is no number reads as 0.
struct Triplet {
    double value[3];
    bool valid[3];
};

// The next triplet, false at the end of the text.
bool NextTriplet(TokenScanner& scanner, Triplet* t) {
    *t = Triplet{};
    for (int i = 0; i < 3; ++i) {
        if (!scanner.Next(&t->value[i], &t->valid[i])) return i > 0;
    }
    return true;
}

float PhaseRule(double degrees) {
    float phase = static_cast<float>(degrees);
    if (phase < -180.0f) phase = -179.9f;
    if (phase > 180.0f) phase = 179.9f;
    return phase;
}

// An angle difference folded into [-180, 180).
double Wrap(double degrees) { return degrees - 360.0 * std::floor((degrees + 180.0) / 360.0); }

// Reads the first 2000 triplets by position. True when every frequency the text holds there is
// the grid's at that position; *held counts the points with a number for level and phase.
bool OnGridByPosition(const std::uint8_t* data, std::size_t size, CalibrationPoint* curve,
                      int* held) {
    TokenScanner scanner{data, size, 0, TokenSet::kCalibration};
    bool on_grid = true;
    Triplet t;
    for (int n = 0; n < kGridPoints && NextTriplet(scanner, &t); ++n) {
        const double grid = FrequencyGrid[n];
        if (!t.valid[0] ||
            std::fabs(t.value[0] - grid) > kExportRounding + kRelativeTolerance * grid) {
            on_grid = false;
        }
        if (t.valid[1] && t.valid[2]) ++*held;
        curve[n] = {static_cast<float>(t.value[1]), PhaseRule(t.value[2])};
    }
    return on_grid;
}

// A file point on the log-frequency axis, its phase unwrapped along the file.
struct FilePoint {
    double log_f;
    double db;
    double degrees;
};

// A phase within +-180 stays as it is (both 180 and -180); beyond, it is folded back. A level
// interpolated between two single-precision values stays one.
CalibrationPoint PointAt(const FilePoint& p) {
    const double degrees = std::fabs(p.degrees) <= 180.0 ? p.degrees : Wrap(p.degrees);
    const double db = std::clamp(p.db, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX));
    return {static_cast<float>(db), PhaseRule(degrees)};
}

// Interpolates a text whose frequencies rise and span the grid, each end within kEndSlackSteps
// grid steps (the grid points beyond an end take that end's values). False when the text is not
// such a text; `curve` is then partly written.
bool ReadAcrossGrid(const std::uint8_t* data, std::size_t size, CalibrationPoint* curve) {
    TokenScanner scanner{data, size, 0, TokenSet::kCalibration};
    FilePoint previous{};
    double previous_read = 0.0;  // the last phase as the file gave it
    int k = 0;
    bool first = true;
    Triplet t;
    while (k < kGridPoints && NextTriplet(scanner, &t)) {
        if (!t.valid[0] || !t.valid[1] || !t.valid[2] || t.value[0] <= 0.0) return false;
        const double read = PhaseRule(t.value[2]);
        FilePoint p{std::log(t.value[0]), t.value[1], read};
        if (!first) {
            if (p.log_f <= previous.log_f) return false;
            p.degrees = previous.degrees + Wrap(read - previous_read);
        }
        for (; k < kGridPoints && std::log(FrequencyGrid[k]) <= p.log_f; ++k) {
            const double g = std::log(FrequencyGrid[k]);
            if (first) {
                const double step = std::log(FrequencyGrid[1] / FrequencyGrid[0]);
                if (p.log_f - g > kEndSlackSteps * step) return false;
                curve[k] = PointAt(p);
                continue;
            }
            const double u = (g - previous.log_f) / (p.log_f - previous.log_f);
            curve[k] = PointAt({g, previous.db + u * (p.db - previous.db),
                                previous.degrees + u * (p.degrees - previous.degrees)});
        }
        previous = p;
        previous_read = read;
        first = false;
    }
    if (first) return false;
    if (k < kGridPoints) {
        const double top = std::log(FrequencyGrid[kGridPoints - 1]);
        const double step =
            std::log(FrequencyGrid[kGridPoints - 1] / FrequencyGrid[kGridPoints - 2]);
        if (top - previous.log_f > kEndSlackSteps * step) return false;
        for (; k < kGridPoints; ++k) curve[k] = PointAt(previous);
    }
    return true;
}

}  // namespace

std::string CalibrationFileShortMessage(const char* path, int held) {
    std::string text = "Calibration File Incomplete: Calibration NOT Changed\n\n";
    text += path != nullptr ? path : "";
    char count[128];
    std::snprintf(count, sizeof count,
                  "\n\nholds values for %d of the %d points of a calibration curve (one "
                  "frequency, dB and degrees per point).",
                  held, kGridPoints);
    text += count;
    return text;
}

std::string CalibrationFileGridMessage(const char* path) {
    std::string text = "Calibration Frequencies Do Not Match: Calibration NOT Changed\n\n";
    text += path != nullptr ? path : "";
    text +=
        "\n\nThe frequencies in this file do not match the program's frequency grid (one "
        "frequency, dB and degrees per line, rising across the plot's frequency range).";
    return text;
}

std::string CurveLine(float frequency, float level, float phase) {
    std::string line;
    AppendNumber(line, frequency);
    line += "    ";
    AppendNumber(line, level);
    line += "    ";
    AppendNumber(line, phase);
    line += "  \r\n";
    return line;
}

CalibrationTextResult ParseCalibrationText(const std::uint8_t* data, std::size_t size,
                                           shell::CalibrationPoint* curve) {
    int held = 0;
    if (OnGridByPosition(data, size, curve, &held)) {
        if (held < kGridPoints) return {CalibrationTextStatus::kShort, held};
    } else if (!ReadAcrossGrid(data, size, curve)) {
        return {CalibrationTextStatus::kOffGrid, held};
    }
    curve[kGridPoints - 1] = curve[kGridPoints - 2];
    // 0 dB at the first bin above 1000 Hz; a grid ending at or below 1000 Hz uses its last bin.
    int reference = kGridPoints - 1;
    for (int k = 0; k < kGridPoints; ++k) {
        if (FrequencyGrid[k] > 1000.0f) {
            reference = k;
            break;
        }
    }
    const float offset = curve[reference].Db;
    for (int k = 0; k < kGridPoints; ++k) curve[k].Db -= offset;
    return {CalibrationTextStatus::kRead, kGridPoints};
}

}  // namespace driverdata
