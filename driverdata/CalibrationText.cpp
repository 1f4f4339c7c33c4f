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

// How far an export of the plot range may fall short of either end of the grid, in grid steps,
// before it counts as cut short: one step (an export written under the grid's other form, or
// under a plot's rebuilt grid) and the single-precision drift of a plot's rebuilt grid, which
// reaches about a step at its top on the narrowest plots.
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

// The most points read below the grid's top frequency; a text with more is no calibration.
constexpr std::size_t kMostPoints = 1u << 18;
// A file's step and the grid's differ by less than this part when the file was written on the
// grid of the same plot range (its forms and plot widths differ by far less).
constexpr double kSameStep = 0.01;

// One line of numbers of a calibration text: frequency, dB and, in a file of three columns,
// degrees. A number beyond single precision (or beyond kMaxTokenChars) is held as not valid.
struct TextPoint {
    double value[3];
    bool valid[3];
};

bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }
bool IsBlankChar(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }
bool IsSeparatorChar(char c) { return IsBlankChar(c) || c == ',' || c == ';'; }

enum class LineKind {
    kNotData,       // blank, or starting with words: a header, a sensitivity line, a comment
    kData,          // numbers only, separated by blanks, commas or semicolons
    kDecimalComma,  // numbers written with a decimal comma ("0,35" beside blanks or semicolons)
    kMixed,         // starts with a number but holds something that is not one: a level written
                    // with another minus sign, "nan", a comment after the numbers
};

// Reads the line [first, last): its kind, and for data its numbers (the first three kept in
// `point`) and their count.
LineKind ReadLine(const char* first, const char* last, TextPoint* point, int* count) {
    *point = TextPoint{};
    *count = 0;
    const char* p = first;
    while (p < last && IsBlankChar(*p)) ++p;
    // A line that starts with a separator is a comment, whatever follows.
    if (p == last || *p == ',' || *p == ';') return LineKind::kNotData;
    bool comma_in_number = false;  // a comma between two digits
    bool other_separator = false;  // a blank or semicolon between two numbers
    while (p < last) {
        const char* token = p;
        while (p < last && !IsSeparatorChar(*p)) ++p;
        double value = 0.0;
        bool valid = false;
        if (!WholeNumber(token, p, &value, &valid)) {
            const bool words = *count == 0 && !StartsWithNumber(token, p);
            return words ? LineKind::kNotData : LineKind::kMixed;
        }
        if (*count < 3) {
            point->value[*count] = value;
            point->valid[*count] = valid;
        }
        ++*count;
        bool blank_or_semicolon = false;
        for (; p < last && IsSeparatorChar(*p); ++p) {
            if (*p != ',') {
                blank_or_semicolon = true;
            } else if (p > token && IsDigitChar(p[-1]) && p + 1 < last && IsDigitChar(p[1])) {
                comma_in_number = true;
            }
        }
        if (p < last && blank_or_semicolon) other_separator = true;
    }
    return comma_in_number && other_separator ? LineKind::kDecimalComma : LineKind::kData;
}

// The data lines of a text, checked as a whole.
struct TextScan {
    std::vector<TextPoint> points;  // the first 2000, and on to the first at the grid's top
    std::size_t data_lines = 0;
    int columns = 0;     // numbers per data line: 2 or 3
    bool layout = true;  // every data line holds `columns` numbers, none a decimal comma
    // The last data line whose frequency is not above the one before it (or not above 0), -1
    // when there is none. A first point at exactly 0 Hz (the DC bin an FFT tool writes) is no
    // data line: the list starts after it.
    std::ptrdiff_t last_fall = -1;
    bool too_long = false;
};

TextScan ScanText(const std::uint8_t* data, std::size_t size) {
    TextScan scan;
    const char* text = reinterpret_cast<const char*>(data);
    const double top = FrequencyGrid[kGridPoints - 1];
    double previous = 0.0;
    bool first = true;
    bool dc_passed = false;
    // A text saved as UTF-8 by some editors starts with the byte-order mark, not with its first
    // line.
    const bool marked = size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF;
    for (std::size_t begin = marked ? 3 : 0; begin < size && scan.layout;) {
        std::size_t end = begin;
        while (end < size && text[end] != '\n' && text[end] != '\r') ++end;
        TextPoint point;
        int count = 0;
        const LineKind kind = ReadLine(text + begin, text + end, &point, &count);
        begin = end + 1;
        if (kind == LineKind::kNotData) continue;
        if (kind != LineKind::kData || (count != 2 && count != 3)) {
            scan.layout = false;
            break;
        }
        if (scan.data_lines == 0 && !dc_passed && point.valid[0] && point.value[0] == 0.0) {
            dc_passed = true;
            continue;
        }
        if (scan.columns != 0 && count != scan.columns) {
            scan.layout = false;
            break;
        }
        scan.columns = count;
        if (point.valid[0]) {
            if (point.value[0] <= 0.0 || (!first && point.value[0] <= previous)) {
                scan.last_fall = static_cast<std::ptrdiff_t>(scan.data_lines);
            }
            previous = point.value[0];
            first = false;
        }
        ++scan.data_lines;
        const bool wanted = scan.points.size() < static_cast<std::size_t>(kGridPoints) ||
                            !(scan.points.back().value[0] >= top);
        if (!wanted) continue;
        if (scan.points.size() == kMostPoints) {
            scan.too_long = true;
            continue;
        }
        if (count == 2) {  // no phase column: 0 degrees
            point.value[2] = 0.0;
            point.valid[2] = true;
        }
        scan.points.push_back(point);
    }
    return scan;
}

bool Valid(const TextPoint& p) { return p.valid[0] && p.valid[1] && p.valid[2]; }

float PhaseRule(double degrees) {
    float phase = static_cast<float>(degrees);
    if (phase < -180.0f) phase = -179.9f;
    if (phase > 180.0f) phase = 179.9f;
    return phase;
}

// An angle difference folded into [-180, 180).
double Wrap(double degrees) { return degrees - 360.0 * std::floor((degrees + 180.0) / 360.0); }

// A text in the export's layout whose first 2000 frequencies are the grid's, point by point
// (within the export's two decimals): read by position. *held counts the points with a number for
// level and phase.
bool OnGridByPosition(const TextScan& scan, CalibrationPoint* curve, int* held) {
    if (scan.columns != 3) return false;
    const int n = static_cast<int>(std::min<std::size_t>(scan.points.size(), kGridPoints));
    for (int k = 0; k < n; ++k) {
        const TextPoint& t = scan.points[static_cast<std::size_t>(k)];
        const double grid = FrequencyGrid[k];
        if (!t.valid[0] ||
            std::fabs(t.value[0] - grid) > kExportRounding + kRelativeTolerance * grid) {
            return false;
        }
    }
    for (int k = 0; k < n; ++k) {
        const TextPoint& t = scan.points[static_cast<std::size_t>(k)];
        if (t.valid[1] && t.valid[2]) ++*held;
        curve[k] = {static_cast<float>(t.value[1]), PhaseRule(t.value[2])};
    }
    return n > 0;
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
bool RecoverGridFrequencies(const std::vector<TextPoint>& points,
                            std::vector<double>* frequencies) {
    std::vector<double>& written = *frequencies;
    written.clear();
    for (const TextPoint& t : points) {
        if (t.value[0] <= 0.0 || written.size() == kMostRecoveredPoints) {
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

// Of a text in the export's layout on the grid's own step (an export of this plot range, on any
// of the grid's forms) that keeps one end of the grid and stops short of the other by more than
// the export's slack (an export cut short): how many of its points lie on the grid; -1 for any
// other text.
int CutExportPoints(const TextScan& scan, const std::vector<double>& recovered) {
    const int n = static_cast<int>(recovered.size());
    if (scan.columns != 3 || n < 2) return -1;
    const double grid_step = std::log(FrequencyGrid[1] / FrequencyGrid[0]);
    const double step = std::log(recovered[n - 1] / recovered[0]) / (n - 1);
    if (std::fabs(step / grid_step - 1.0) > kSameStep) return -1;
    const double bottom_gap = std::log(recovered[0] / FrequencyGrid[0]) / grid_step;
    const double top_gap =
        std::log(FrequencyGrid[kGridPoints - 1] / scan.points.back().value[0]) / grid_step;
    const bool keeps_bottom = std::fabs(bottom_gap) <= kEndSlackSteps;
    const bool keeps_top = std::fabs(top_gap) <= kEndSlackSteps;
    if (keeps_bottom == keeps_top) return -1;
    if (bottom_gap <= kEndSlackSteps && top_gap <= kEndSlackSteps) return -1;
    int on_grid = 0;
    for (const TextPoint& t : scan.points) {
        on_grid += t.value[0] >= FrequencyGrid[0] * (1.0 - kRelativeTolerance) &&
                   t.value[0] <= FrequencyGrid[kGridPoints - 1] * (1.0 + kRelativeTolerance);
    }
    return std::min(on_grid, kGridPoints);
}

// Interpolates the text's points onto the grid in log frequency, the phase unwrapped along the
// file; the grid points beyond the file's first and last points take their values. The points
// take their frequencies from `frequencies` where it holds them, the rest as written.
void ReadAcrossGrid(const std::vector<TextPoint>& points, const std::vector<double>& frequencies,
                    CalibrationPoint* curve) {
    FilePoint previous{};
    double previous_read = 0.0;  // the last phase as the file gave it
    int k = 0;
    for (std::size_t i = 0; i < points.size() && k < kGridPoints; ++i) {
        const TextPoint& t = points[i];
        const double frequency = i < frequencies.size() ? frequencies[i] : t.value[0];
        const double read = PhaseRule(t.value[2]);
        FilePoint p{std::log(frequency), t.value[1], read};
        if (i > 0) p.degrees = previous.degrees + Wrap(read - previous_read);
        for (; k < kGridPoints && std::log(FrequencyGrid[k]) <= p.log_f; ++k) {
            const double g = std::log(FrequencyGrid[k]);
            if (i == 0) {
                curve[k] = PointAt(p);
                continue;
            }
            const double u = (g - previous.log_f) / (p.log_f - previous.log_f);
            curve[k] = PointAt({g, previous.db + u * (p.db - previous.db),
                                previous.degrees + u * (p.degrees - previous.degrees)});
        }
        previous = p;
        previous_read = read;
    }
    for (; k < kGridPoints; ++k) curve[k] = PointAt(previous);
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

std::string CalibrationFileLayoutMessage(const char* path) {
    std::string text = "Calibration File Not Recognized: Calibration NOT Changed\n\n";
    text += path != nullptr ? path : "";
    text +=
        "\n\nEach line of numbers must hold a frequency in Hz and a level in dB, and in a file of "
        "three columns a phase in degrees, written with decimal points; a calibration needs two "
        "such lines at least.";
    return text;
}

std::string CalibrationFileOrderMessage(const char* path) {
    std::string text = "Calibration Frequencies Do Not Rise: Calibration NOT Changed\n\n";
    text += path != nullptr ? path : "";
    text += "\n\nThe frequency on each line of numbers must lie above the one before it.";
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
    const TextScan scan = ScanText(data, size);
    if (!scan.layout || scan.too_long || scan.data_lines < 2) {
        return {CalibrationTextStatus::kLayout, 0};
    }
    int held = 0;
    if (OnGridByPosition(scan, curve, &held)) {
        // The grid's points rise (where two decimals write neighbours as one frequency too);
        // the lines after them must rise on from them.
        if (scan.last_fall >= kGridPoints) return {CalibrationTextStatus::kNotRising, 0};
        if (held < kGridPoints) return {CalibrationTextStatus::kShort, held};
    } else {
        for (const TextPoint& t : scan.points) {
            if (!Valid(t)) return {CalibrationTextStatus::kOutOfRange, 0};
        }
        // A text on an even log-frequency grid is read at the frequencies it was written at (which
        // rise, where two decimals wrote neighbours as one); any other at the frequencies it holds.
        std::vector<double> frequencies;
        RecoverGridFrequencies(scan.points, &frequencies);
        if (scan.last_fall >= std::ssize(frequencies)) {
            return {CalibrationTextStatus::kNotRising, 0};
        }
        const int cut = CutExportPoints(scan, frequencies);
        if (cut >= 0) return {CalibrationTextStatus::kShort, cut};
        ReadAcrossGrid(scan.points, frequencies, curve);
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
