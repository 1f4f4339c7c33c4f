// The curve text lines and the calibration-text reader: no file access, no window.
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

void ParseCalibrationText(const std::uint8_t* data, std::size_t size,
                          shell::CalibrationPoint* curve) {
    TokenScanner scanner{data, size, 0, TokenSet::kCalibration};
    for (int n = 0; n < kGridPoints; ++n) {
        double values[3] = {0.0, 0.0, 0.0};
        for (double& value : values) {
            bool valid = false;
            if (!scanner.Next(&value, &valid)) value = 0.0;
        }
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
}

}  // namespace driverdata
