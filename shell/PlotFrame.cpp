#include "shell/PlotFrame.h"

#include <algorithm>
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

// Pixels kept free between two labels of a row.
constexpr int kLabelGap = 3;

int TextWidth(platform::HDC hdc, const char* text) {
    platform::SIZE size{0, 0};
    platform::GetTextExtentPoint32(hdc, text, static_cast<int>(std::strlen(text)), &size);
    return size.cx;
}

int LabelStride(double spacing, int needed) {
    int stride = 1;
    while (stride < 1024 && stride * spacing < needed) stride *= 2;
    return stride;
}

bool AxisLabelRow::Draw(int x, const char* text) {
    const int width = TextWidth(hdc_, text);
    if (x < left_ || x < last_end_ + kLabelGap || x + width + kLabelGap > right_) return false;
    TextAt(hdc_, x, y_, text);
    last_end_ = x + width;
    return true;
}

void FrequencyLabelText(double f, char* text, std::size_t size) {
    if (f < 1000.0) {
        std::snprintf(text, size, "%.0f", f);
    } else {
        std::snprintf(text, size, "%.0fk", f / 1000.0);
    }
}

void DrawFrequencyLabels(platform::HDC hdc, int w, int h, bool through_stop) {
    const FrequencyAxis axis = MakeFrequencyAxis(w);
    const double stop = PlotStopFrequency();
    const int unit_x = std::min(w - 20, w - TextWidth(hdc, "Hz") - 1);
    // The stop frequency's label, when it has one, comes first: it stands at the right end,
    // moved left as far as it takes to end before "Hz", and the others give way to it.
    char stop_text[32];
    FrequencyLabelText(stop, stop_text, sizeof stop_text);
    const bool stop_label = through_stop && IsLabelled(stop);
    const int stop_x = std::min(static_cast<int>(axis.x(stop) - 1.0),
                                unit_x - kLabelGap - TextWidth(hdc, stop_text));
    AxisLabelRow row(hdc, h - 15, 0, stop_label ? stop_x : unit_x);
    char text[32];
    for (double f = PlotStartFrequency(); f < stop - 0.5; f = NextGridFrequency(f)) {
        if (!IsLabelled(f)) continue;
        FrequencyLabelText(f, text, sizeof text);
        row.Draw(static_cast<int>(axis.x(f) - 1.0), text);
    }
    if (stop_label && stop_x >= 0) TextAt(hdc, stop_x, h - 15, stop_text);
    TextAt(hdc, unit_x, h - 15, "Hz");
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
