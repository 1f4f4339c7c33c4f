#include "driverdata/HbtEditorPlot.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "driverdata/HbtEditor.h"
#include "platform/gdi/Gdi.h"
#include "shell/DriverRecord.h"
#include "shell/FrequencyGrid.h"
#include "shell/GdiObjects.h"
#include "shell/NumberText.h"
#include "shell/PlotFrame.h"
#include "shell/StartupAllocation.h"

namespace driverdata {

using platform::HDC;

namespace {

constexpr int kPoints = shell::kGridPoints;
constexpr double kDegreesPerRadian = 57.288;

void TextAt(HDC hdc, int x, int y, const char* text) {
    platform::TextOut(hdc, x, y, text, static_cast<int>(std::strlen(text)));
}

// One polyline through the 2000 points x(k), y(value k) kept on the plot area.
template <class YOf>
void DrawCurve(HDC hdc, const HbtPlot& plot, platform::HPEN pen, YOf y_of) {
    static platform::POINT points[kPoints];
    for (int k = 0; k < kPoints; ++k) {
        points[k].x = static_cast<int>(plot.PointX(k));
        points[k].y = shell::ClampedCurveY(y_of(k), plot.h);
    }
    const platform::HPEN old = platform::SelectObject(hdc, pen);
    platform::Polyline(hdc, points, kPoints);
    platform::SelectObject(hdc, old);
}

double HbtDegrees(float re, float im) {
    return std::atan2(static_cast<double>(im), re == 0.0f ? 1e-12 : static_cast<double>(re)) *
           kDegreesPerRadian;
}

}  // namespace

bool HbtPlot::Editable(int x, int y) const {
    return !Empty() && x >= 60 && x < w - 19 && y >= 20 && y < h - 20;
}

int HbtPlot::BinAt(int x) const {
    if (Empty()) return 0;
    const int bin = static_cast<int>((x - 60) * 2000.0 / (w - 80));
    return bin < 0 ? 0 : bin > kPoints - 1 ? kPoints - 1 : bin;
}

float HbtPlot::LevelAt(int y) const {
    return static_cast<float>(160.0 - (7.0 * d + (y - 20)) / (0.2 * d));
}

HbtPlot HbtPlotOf(int width, int height) {
    HbtPlot plot;
    plot.w = width;
    plot.h = height;
    plot.d = (height - 40) / 18.0;
    return plot;
}

void DrawHbtPlotFrame(HDC hdc, int w, int h) {
    const HbtPlot plot = HbtPlotOf(w, h);
    const platform::HPEN old_pen = platform::SelectObject(hdc, shell::BluePen2);
    platform::Rectangle(hdc, 59, 18, w - 19, h - 20);
    if (!plot.Empty()) {
        shell::DrawPlotGrid(hdc, w, h);
        shell::BuildPlotFrequencyGrid(w);
    }
    platform::SelectObject(hdc, shell::DarkRedPen);
    const int middle = static_cast<int>(9.0 * plot.d + 20.0);
    platform::MoveToEx(hdc, 60, middle, nullptr);
    platform::LineTo(hdc, w - 20, middle);

    const int old_mode = platform::SetBkMode(hdc, platform::TRANSPARENT);
    const platform::HBRUSH old_brush = platform::SelectObject(hdc, shell::YellowBrush);
    platform::SelectObject(hdc, shell::BluePen2);
    platform::RoundRect(hdc, w / 2 - 120, 1, w / 2 + 135, 21, 15, 15);
    platform::SelectObject(hdc, old_brush);
    const platform::HFONT old_font = platform::SelectObject(hdc, shell::SystemFont);
    const bool impedance = shell::CurrentDriverRecord && shell::CurrentDriverRecord->CurveKind == 1;
    if (impedance) {
        TextAt(hdc, w / 2 - 100, 2, "Impedance / Phase vs. Frequency");
    } else {
        TextAt(hdc, w / 2 - 80, 2, "SPL / Phase vs. Frequency");
    }

    platform::SelectObject(hdc, shell::SmallFont);
    if (!plot.Empty()) shell::DrawFrequencyLabels(hdc, w, h, true);
    char text[16];
    for (int i = 0; i <= 18; ++i) {
        const int y = static_cast<int>(i * plot.d + 10.0);
        std::snprintf(text, sizeof text, "%.0f", 125.0 - 5.0 * i);
        text[4] = '\0';
        TextAt(hdc, 3, y, text);
        std::snprintf(text, sizeof text, "%.0f", 180.0 - 20.0 * i);
        TextAt(hdc, 30, y, text);
    }
    TextAt(hdc, 3, h - 15, "dB");
    TextAt(hdc, 30, h - 15, "deg");
    platform::SetBkMode(hdc, old_mode ? old_mode : platform::OPAQUE);
    platform::SelectObject(hdc, old_font);
    platform::SelectObject(hdc, old_pen);
}

void DrawHbtLevelCurve(HDC hdc, const HbtPlot& plot, const float* levels, platform::HPEN pen) {
    DrawCurve(hdc, plot, pen, [&](int k) { return plot.LevelY(levels[k]); });
}

void PaintHbtEditor(HDC hdc, int w, int h) {
    DrawHbtPlotFrame(hdc, w, h);
    const shell::DriverRecord* record = shell::CurrentDriverRecord;
    if (record == nullptr) return;
    const shell::DriverRecord& r = *record;
    const HbtPlot plot = HbtPlotOf(w, h);
    DrawHbtLevelCurve(hdc, plot, r.Spl, shell::MagentaPen4);
    if (ShowReferencePhase == 1) {
        DrawCurve(hdc, plot, shell::GreenPen2, [&](int k) { return plot.PhaseY(r.Phase[k]); });
    }
    // The transform took the efficiency off; the amplitude shows it added back.
    double efficiency = 0.0;
    if (!shell::ReadTypedSlot(r.Efficiency, shell::kTextSlot, &efficiency)) efficiency = 0.0;
    DrawCurve(hdc, plot, shell::BlackPen, [&](int k) {
        const double re = r.HbtReal[k];
        const double im = r.HbtImag[k];
        return plot.LevelY(efficiency + 10.0 * std::log10(re * re + im * im + 1e-16));
    });
    DrawCurve(hdc, plot, shell::BluePen,
              [&](int k) { return plot.PhaseY(HbtDegrees(r.HbtReal[k], r.HbtImag[k])); });
}

void RedrawHbtCurves(HDC hdc, int w, int h) {
    shell::DriverRecord* record = shell::CurrentDriverRecord;
    if (record == nullptr) return;
    record->CurveKind = 0;
    DrawHbtPlotFrame(hdc, w, h);
    const HbtPlot plot = HbtPlotOf(w, h);
    DrawHbtLevelCurve(hdc, plot, record->Spl, shell::MagentaPen4);
    DrawCurve(hdc, plot, shell::GreenPen2, [&](int k) { return plot.PhaseY(record->Phase[k]); });
}

}  // namespace driverdata
