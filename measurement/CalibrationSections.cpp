#include "measurement/CalibrationSections.h"

#include <cmath>
#include <complex>

#include "measurement/Globals.h"
#include "solver/FilterSections.h"

namespace measurement {

float* CalibrationFilterResponse(float* out, float f, int family, int slope, float fc) {
    out[0] = 1.0f;
    out[1] = 0.0f;
    if (family < solver::kBessel || family > solver::kQParametric || slope < 0 ||
        slope >= solver::kFilterSlopeCount)
        return out;
    solver::FilterSectionFields fields{};
    fields.family = static_cast<float>(family);
    fields.slope = static_cast<float>(slope);
    fields.fo = fc;
    fields.bypass = 0.0f;
    fields.r_or_q = CalQ;
    fields.gain_db = CalGainDb;
    const std::complex<float> h = solver::EvaluateFilterSection(fields, f, nullptr, nullptr);
    out[0] = h.real();
    out[1] = h.imag();
    return out;
}

void BuildCalibrationCurve(const float* grid, int points, shell::CalibrationPoint* out) {
    for (int k = 0; k < points; ++k) {
        float hp[2], lp[2];
        CalibrationFilterResponse(hp, grid[k], CalHpFamily, CalHpSlope, CalHpFrequency);
        CalibrationFilterResponse(lp, grid[k], CalLpFamily, CalLpSlope, CalLpFrequency);
        std::complex<double> h =
            std::complex<double>(hp[0], hp[1]) * std::complex<double>(lp[0], lp[1]);
        if (CalInvert == 1) h = 1.0 / h;
        out[k].Db = static_cast<float>(10.0 * std::log10(std::norm(h) + 1e-13));
        out[k].Degrees = static_cast<float>(std::atan2(h.imag(), h.real()) * 57.288);
    }
}

}  // namespace measurement
