#include "shell/PlotFrame.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/gdi/Gdi.h"
#include "shell/Curves.h"
#include "shell/FrequencyGrid.h"
#include "shell/PreferencesRecord.h"

namespace shell {
namespace {

constexpr platform::COLORREF kGridGreen = platform::RGB(0, 128, 0);

// Next frequency of the vertical grid: 1, 2, .. 9 times each power of ten.
double NextGridFrequency(double f) {
    if (f < 10.0) return f + 1.0;
    if (f < 100.0) return f + 10.0;
    if (f < 1000.0) return f + 100.0;
    if (f < 10000.0) return f + 1000.0;
    return f + 10000.0;
}

bool IsLabelled(double f) {
    static const double kLabels[] = {1,     2,     3,     4,     5,     6,    8,    10,
                                     20,    30,    40,    60,    80,    100,  200,  300,
                                     400,   600,   1000,  2000,  3000,  4000, 6000, 8000,
                                     10000, 20000, 30000, 40000, 60000, 80000};
    for (double label : kLabels) {
        if (f == label) return true;
    }
    return false;
}

int PenStyle(float type) {
    const int t = std::isfinite(type) && std::fabs(type) < 16.0f ? static_cast<int>(type) : 0;
    if (t == 2) return platform::PS_DOT;
    if (t == 3) return platform::PS_DASH;
    return platform::PS_SOLID;  // below 2, and any type the colour window does not offer
}

int PenChannel(float value) {
    if (!(value >= 0.0f && value <= 255.0f)) return 0;
    return static_cast<int>(value);
}

int PenWidth(float value) {
    if (!(value >= 0.0f && value <= 16.0f)) return 1;
    return static_cast<int>(value);
}

void TextAt(platform::HDC hdc, int x, int y, const char* text) {
    platform::TextOut(hdc, x, y, text, static_cast<int>(std::strlen(text)));
}

}  // namespace

double PlotStartFrequency() {
    const int i = PlotStartFrequencyIndex;
    return kPlotStartFrequencies[(i >= 0 && i < kPlotRangeCount) ? i : kDefaultPlotStartIndex];
}

double PlotStopFrequency() {
    const int i = PlotStopFrequencyIndex;
    return kPlotStopFrequencies[(i >= 0 && i < kPlotRangeCount) ? i : kDefaultPlotStopIndex];
}

double FrequencyAxis::x(double f) const { return a * std::log10(f) + b; }

FrequencyAxis MakeFrequencyAxis(int width) {
    const double fstart = PlotStartFrequency();
    FrequencyAxis axis;
    axis.a = (width - 80) / std::log10(PlotStopFrequency() / fstart);
    axis.b = 60.0 - axis.a * std::log10(fstart);
    return axis;
}

double PlotRowStep(int height) { return (height - 40) / 18.0; }

void DrawPlotGrid(platform::HDC hdc, int w, int h) {
    const double r = PlotRowStep(h);
    for (int i = 1; i <= 17; ++i) {
        const int y = static_cast<int>(20 + i * r);
        for (int x = 60; x < w - 20; x += 2) platform::SetPixel(hdc, x, y, kGridGreen);
    }
    const FrequencyAxis axis = MakeFrequencyAxis(w);
    const double fstop = PlotStopFrequency();
    for (double f = PlotStartFrequency(); f < fstop + 1.0; f = NextGridFrequency(f)) {
        const int x = static_cast<int>(axis.x(f));
        for (int y = 19; y < h - 22; y += 2) platform::SetPixel(hdc, x, y, kGridGreen);
    }
}

void DrawFrequencyLabels(platform::HDC hdc, int w, int h, bool through_stop) {
    const FrequencyAxis axis = MakeFrequencyAxis(w);
    const double last = PlotStopFrequency() + (through_stop ? 1.0 : 0.0);
    char text[32];
    for (double f = PlotStartFrequency(); f < last; f = NextGridFrequency(f)) {
        if (!IsLabelled(f)) continue;
        if (f < 1000.0) {
            std::snprintf(text, sizeof text, "%.0f", f);
        } else {
            std::snprintf(text, sizeof text, "%.0fk", f / 1000.0);
        }
        TextAt(hdc, static_cast<int>(axis.x(f) - 1.0), h - 15, text);
    }
    TextAt(hdc, w - 20, h - 15, "Hz");
}

platform::HPEN CreateCurvePen(const float* v) {
    return platform::CreatePen(
        PenStyle(v[kCurvePenStyle]), PenWidth(v[kCurvePenWidth]),
        platform::RGB(PenChannel(v[kCurvePenRed]), PenChannel(v[kCurvePenGreen]),
                      PenChannel(v[kCurvePenBlue])));
}

int ClampedCurveY(double y, int h) {
    if (!(y >= 19.0)) return std::isnan(y) ? h - 21 : 19;
    if (y > h - 21) return h - 21;
    return static_cast<int>(y);
}

}  // namespace shell
