// The curve text lines and the calibration-text reader: no file access, no window.
#include <cstdio>
#include <cstring>
#include <string>

#include "driverdata/ExportFiles.h"
#include "driverdata/NumberTokens.h"
#include "shell/FrequencyGrid.h"
#include "shell/NumberText.h"

namespace driverdata {

using shell::kGridPoints;

namespace {

void AppendNumber(std::string& line, float value) {
    char text[64];
    if (!shell::FormatNumberText(text, sizeof text, static_cast<double>(value), 2)) {
        std::strcpy(text, "0.00");
    }
    line += text;
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

int ParseCalibrationText(const std::uint8_t* data, std::size_t size,
                         shell::CalibrationPoint* curve) {
    TokenScanner scanner{data, size, 0, TokenSet::kCalibration};
    int held = 0;
    for (int n = 0; n < kGridPoints; ++n) {
        double values[3] = {0.0, 0.0, 0.0};
        bool valid[3] = {false, false, false};
        for (int i = 0; i < 3; ++i) {
            if (!scanner.Next(&values[i], &valid[i])) values[i] = 0.0;
        }
        // The frequency is dropped; the point has its value when its level and phase are numbers.
        if (valid[1] && valid[2]) ++held;
        float phase = static_cast<float>(values[2]);
        if (phase < -180.0f) phase = -179.9f;
        if (phase > 180.0f) phase = 179.9f;
        curve[n].Db = static_cast<float>(values[1]);
        curve[n].Degrees = phase;
    }
    curve[kGridPoints - 1] = curve[kGridPoints - 2];
    // 0 dB at the first bin above 1000 Hz; a grid ending at or below 1000 Hz uses its last bin.
    int reference = kGridPoints - 1;
    for (int k = 0; k < kGridPoints; ++k) {
        if (shell::FrequencyGrid[k] > 1000.0f) {
            reference = k;
            break;
        }
    }
    const float offset = curve[reference].Db;
    for (int k = 0; k < kGridPoints; ++k) curve[k].Db -= offset;
    return held;
}

}  // namespace driverdata
