#include "measurement/GatingWindows.h"

#include <cmath>
#include <cstring>

#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"

namespace measurement {

const char* const MlsWindowNames[kMlsWindowTypeCount] = {
    "Blackmann-Harris",      "Hanning",
    "Rectangular",           "Kaiser-Bessel",
    "Semi-Rectangular",      "Blackmann-Harris Symm",
    "Hanning Symm",          "Kaiser-Bessel Symm",
    "Semi-Rectangular Symm", "Rectangular Symm",
};

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr float kPiF = 3.14159265358979323846f;

// The window terms; the argument t is the product c * i already formed in single precision.
float BlackmanHarris(float t) {
    return static_cast<float>(0.64125 - 0.48829 * std::cos(t + kPi) +
                              0.14128 * std::cos(2.0 * t + kPi) -
                              0.01168 * std::cos(3.0 * t + kPi));
}
float Hanning(float t) { return static_cast<float>(0.5 * (1.0 - std::cos(t + kPi))); }
float KaiserBessel(float t) {
    return static_cast<float>(0.5 *
                              (1.0 - 1.24 * std::cos(t + kPi) - 0.244 * std::cos(2.0 * t + kPi)));
}
float Taper(float t) { return static_cast<float>(0.5 * (1.0 - std::cos(static_cast<double>(t)))); }

using Term = float (*)(float);

// The half-window shape of each type: 0 Blackmann-Harris, 1 Hanning, 2 rectangular,
// 3 Kaiser-Bessel, 4 semi-rectangular.
constexpr int kRefShape[kMlsWindowTypeCount] = {0, 1, 2, 3, 4, 0, 1, 3, 4, 2};

Term TermOf(int shape) {
    if (shape == 0) return BlackmanHarris;
    if (shape == 1) return Hanning;
    return KaiserBessel;
}

// The half window of types 0..4 (the Ref window of every type) into `table`.
void HalfWindow(float* table, int type, float w) {
    const float c = 2.0f * kPiF / (2.0f * w - 1.0f);
    const int base = kRefShape[type];
    if (base == 2) {
        for (int i = 0; static_cast<float>(i) < w; ++i) table[i] = 1.0f;
        return;
    }
    if (base == 4) {
        for (int i = 0; static_cast<float>(i) < 0.875f * w; ++i) table[i] = 1.0f;
        const float c8 = 16.0f * kPiF / (2.0f * w - 1.0f);
        for (int i = static_cast<int>(0.875f * w); static_cast<float>(i) < w; ++i)
            table[i] = Taper(c8 * static_cast<float>(i));
        return;
    }
    const Term term = TermOf(base);
    for (int i = 0; static_cast<float>(i) < w; ++i) table[i] = term(c * static_cast<float>(i));
}

}  // namespace

GateWidths MlsGateWidths() {
    const int n = 1 << MeasuredOrder();
    char text[sizeof(shell::Mls.MlsWindowWidthText) + 1] = {};
    std::memcpy(text, shell::Mls.MlsWindowWidthText, sizeof(shell::Mls.MlsWindowWidthText));
    double value = 0.0;
    if (!shell::ReadTypedNumber(text, &value)) value = 0.0;
    float w = static_cast<float>(value);
    if (static_cast<float>(n - 1) < w) w = static_cast<float>(n - 1);
    std::int32_t wi = 0;
    if (!shell::ReadTypedInteger(text, &wi)) wi = 0;
    if (wi > n / 4 - 1) wi = n / 4 - 1;
    return {w, wi};
}

int BuildMlsWindows() {
    float* ref = shell::GateWindowRef;
    float* in = shell::GateWindowIn;
    if (ref == nullptr || in == nullptr) return 0;
    std::memset(ref, 0, sizeof(float) * kGateWindowEntries);
    std::memset(in, 0, sizeof(float) * kGateWindowEntries);
    const int order = MeasuredOrder();
    if (order < 2 || order > kMlsMaxOrder) return 0;
    const int type = shell::Mls.MlsWindowType;
    if (type < 0 || type >= kMlsWindowTypeCount) return 0;
    const GateWidths widths = MlsGateWidths();
    const float w = widths.w;
    const int wi = widths.wi;
    if (!(w > 0.0f)) return 0;

    HalfWindow(ref, type, w);
    if (type < 5) {
        std::memcpy(in, ref, sizeof(float) * kGateWindowEntries);
        return 0;
    }
    if (type == 9) {
        for (int i = 0; i < 2 * wi; ++i) in[i] = 1.0f;
        return 0;
    }
    if (wi <= 0) return 0;
    if (type == 8) {
        const int e = wi / 8;
        const int g = 15 * wi / 8;
        for (int i = 0; i < 2 * wi - e; ++i) in[i] = 1.0f;
        const float c3 = 16.0f * kPiF / static_cast<float>(2 * wi - 1);
        for (int i = 0; i < 2 * wi; ++i) {
            if (i < e) in[i] = Taper(c3 * static_cast<float>(i));
            if (i >= g) in[i - e] = Taper(c3 * static_cast<float>(i));
        }
        return 0;
    }
    // 5, 6, 7: a full window of width 2 Wi, rising to its centre at entry Wi.
    const Term term = TermOf(kRefShape[type]);
    const float c4 = 4.0f * kPiF / static_cast<float>(4 * wi - 1);
    for (int i = 0; i < wi; ++i) in[wi + i] = term(c4 * static_cast<float>(i));
    for (int i = wi; i < 2 * wi; ++i) in[i - wi] = term(c4 * static_cast<float>(i));
    return 0;
}

}  // namespace measurement
