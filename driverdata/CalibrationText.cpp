// The curve text lines and the calibration-text reader: no file access, no window.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

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
// written under the grid's other form, or under a plot's rebuilt grid) and the single-precision
// drift of a plot's rebuilt grid, which reaches about a step at its top on the narrowest plots.
constexpr double kEndSlackSteps = 2.25;

// Recovering the frequencies of a text written on an even log-frequency grid (the program's own
// export under any plot range, grid form or plot width): its points lie one step apart, each
// within the rounding of its written frequency. A point is placed from the written frequencies of
// its neighbours up to kRecoveryReach points away on either side, allowing for the program's
// grids' own unevenness: single-precision frequencies (kStepJitter of a step) and a plot's
// single-precision axis, whose step drifts by up to about a thousandth of a step per point on the
// narrowest plots (kStepDriftPerPoint).
constexpr double kStepJitter = 0.002;
constexpr double kStepDriftPerPoint = 0.002;
constexpr int kRecoveryReach = 64;
// More points than this below the grid's top frequency are not the program's own export.
constexpr std::size_t kMostRecoveredPoints = 4 * kGridPoints;

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

// The frequencies a text written on an even log-frequency grid was written at, recovered from
// their two-decimal rounding (which near the bottom of a low plot range writes neighbouring points
// as one frequency): each point is placed one step from its neighbours, inside the rounding of its
// own and of its neighbours' written frequencies. Only the points up to the first at or above the
// grid's top frequency are recovered. False, and `frequencies` empty, when the text is not such a
// text.
bool RecoverGridFrequencies(const std::uint8_t* data, std::size_t size,
                            std::vector<double>* frequencies) {
    std::vector<double>& written = *frequencies;
    written.clear();
    TokenScanner scanner{data, size, 0, TokenSet::kCalibration};
    Triplet t;
    while (NextTriplet(scanner, &t)) {
        if (!t.valid[0] || !t.valid[1] || !t.valid[2] || t.value[0] <= 0.0 ||
            written.size() == kMostRecoveredPoints) {
            written.clear();
            return false;
        }
        written.push_back(t.value[0]);
        if (t.value[0] >= FrequencyGrid[kGridPoints - 1]) break;
    }
    // The text's own step (an export under another plot range has another), from its upper half,
    // whose two decimals are finest relative to the frequency.
    const int n = static_cast<int>(written.size());
    const int middle = n / 2;
    const double step = n < 3 ? 0.0 : std::log(written[n - 1] / written[middle]) / (n - 1 - middle);
    if (!(step > 0.0)) {
        written.clear();
        return false;
    }
    // On the log-frequency axis with the step taken out, every point of such a text lies at
    // nearly one height; point i's rounding bounds that height to [low[i], high[i]].
    std::vector<double> low(n), high(n);
    for (int i = 0; i < n; ++i) {
        const double rounding = kExportRounding + kRelativeTolerance * written[i];
        low[i] = written[i] > rounding ? std::log(written[i] - rounding) - i * step : -HUGE_VAL;
        high[i] = std::log(written[i] + rounding) - i * step;
    }
    std::vector<double> recovered(n);
    for (int i = 0; i < n; ++i) {
        double floor_height = -HUGE_VAL;
        double ceiling_height = HUGE_VAL;
        for (int j = std::max(0, i - kRecoveryReach); j <= std::min(n - 1, i + kRecoveryReach);
             ++j) {
            const double drift =
                (i == j ? 0.0 : kStepJitter + kStepDriftPerPoint * std::abs(i - j)) * step;
            floor_height = std::max(floor_height, low[j] - drift);
            ceiling_height = std::min(ceiling_height, high[j] + drift);
        }
        if (floor_height > ceiling_height || !std::isfinite(floor_height)) {
            written.clear();
            return false;
        }
        recovered[i] = std::exp(0.5 * (floor_height + ceiling_height) + i * step);
        if (i > 0 && recovered[i] <= recovered[i - 1]) {
            written.clear();
            return false;
        }
    }
    written = std::move(recovered);
    return true;
}

// Interpolates a text whose frequencies rise and span the grid, each end within kEndSlackSteps
// grid steps (the grid points beyond an end take that end's values). The first points take their
// frequencies from `frequencies` where it holds them, the rest as written. False when the text is
// not such a text; `curve` is then partly written.
bool ReadAcrossGrid(const std::uint8_t* data, std::size_t size,
                    const std::vector<double>& frequencies, CalibrationPoint* curve) {
    TokenScanner scanner{data, size, 0, TokenSet::kCalibration};
    FilePoint previous{};
    double previous_read = 0.0;  // the last phase as the file gave it
    int k = 0;
    std::size_t read_points = 0;
    bool first = true;
    Triplet t;
    while (k < kGridPoints && NextTriplet(scanner, &t)) {
        if (!t.valid[0] || !t.valid[1] || !t.valid[2] || t.value[0] <= 0.0) return false;
        const double frequency =
            read_points < frequencies.size() ? frequencies[read_points] : t.value[0];
        ++read_points;
        const double read = PhaseRule(t.value[2]);
        FilePoint p{std::log(frequency), t.value[1], read};
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
    } else {
        // A text on an even log-frequency grid is read at the frequencies it was written at; any
        // other at the frequencies it holds.
        std::vector<double> frequencies;
        RecoverGridFrequencies(data, size, &frequencies);
        if (!ReadAcrossGrid(data, size, frequencies, curve)) {
            return {CalibrationTextStatus::kOffGrid, held};
        }
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
