#include "measurement/RoomEqPlots.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "measurement/Globals.h"
#include "measurement/Ids.h"
#include "measurement/MlsAcquire.h"
#include "measurement/MlsDeconvolution.h"
#include "measurement/RoomEq.h"
#include "measurement/RoomEqLocation.h"
#include "measurement/RoomEqMinimumPhase.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Window.h"
#include "shell/FrequencyGrid.h"
#include "shell/GdiObjects.h"
#include "shell/PlotFrame.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"

namespace measurement {

using namespace platform;

namespace {

constexpr int kRows = 18;

const float* Record(int r) {
    return shell::RoomEQCurves[r] == nullptr ? nullptr : shell::RoomEQCurves[r]->v;
}
bool Visible(const float* v) { return v != nullptr && v[shell::kCurveVisible] == 1.0f; }

void Text(HDC hdc, int x, int y, const char* text) {
    TextOut(hdc, x, y, text, static_cast<int>(std::strlen(text)));
}

// A pen from a record's colour, width and type (0 or 1 solid, 2 dotted, 3 dashed); none for
// another type (the curve is then drawn with the context's current pen).
HPEN PenOf(const float* v) {
    const int type = static_cast<int>(v[shell::kCurvePenStyle]);
    int style;
    if (type == 0 || type == 1)
        style = PS_SOLID;
    else if (type == 2)
        style = PS_DOT;
    else if (type == 3)
        style = PS_DASH;
    else
        return HPEN{};
    const auto c = [&](int k) { return static_cast<int>(v[k]) & 0xFF; };
    return CreatePen(
        style, static_cast<int>(v[shell::kCurvePenWidth]),
        RGB(c(shell::kCurvePenRed), c(shell::kCurvePenGreen), c(shell::kCurvePenBlue)));
}

int ClampY(double y, int h) {
    if (!(y >= 19.0)) return 19;
    if (y > h - 21) return h - 21;
    return static_cast<int>(y);
}

double FrequencySpan(int w) { return 2.4 * w - 80.0; }

int PaneHeightOf(HDC hdc, int design) { return PaneHeight(WindowFromDC(hdc), design); }

// Every second, fourth, ... of `rows` + 1 labels `ys` apart when they would run into each other.
int RowLabelStride(HDC hdc, double ys) {
    SIZE cell{0, 0};
    GetTextExtentPoint32(hdc, "0", 1, &cell);
    return shell::LabelStride(ys, cell.cy);
}

// A polyline of `count` values with the record's pen (or the shared `pen` when given).
template <typename X, typename Y>
void Curve(HDC hdc, const float* v, int count, const HPEN* pen, X x_of, Y y_of) {
    const HPEN made = pen != nullptr ? HPEN{} : PenOf(v);
    const HPEN use = pen != nullptr ? *pen : made;
    const HPEN old = use.value ? SelectObject(hdc, use) : HPEN{};
    static POINT points[shell::kGridPoints];
    for (int j = 0; j < count; ++j) points[j] = {x_of(j), y_of(v[j])};
    Polyline(hdc, points, count);
    if (old.value) SelectObject(hdc, old);
    if (made.value) DeleteObject(made);
}

// Frame, horizontal grid and title box of every pane; the grey plot brush is released again.
// A pane is drawn over without an erase: it is cleared first, so the labels of another rate,
// range or location do not stay under the new ones and no text is drawn over itself.
void Frame(HDC hdc, int w, int h, int right_inset, const char* title, int title_x) {
    RECT client{0, 0, w, h};
    if (!GetClientRect(WindowFromDC(hdc), &client)) client = RECT{0, 0, w, h};
    FillRect(hdc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const HBRUSH grey = CreateSolidBrush(RGB(212, 212, 212));
    const HPEN old_pen = SelectObject(hdc, shell::BluePen2);
    const HBRUSH old_brush = SelectObject(hdc, grey);
    Rectangle(hdc, 59, 18, w - right_inset, h - 20);
    const double ys = (h - 40) / static_cast<double>(kRows);
    for (int k = 1; k < kRows; ++k) {
        const int y = static_cast<int>(20 + k * ys);
        for (int x = 60; x < w - 20; x += 2) SetPixel(hdc, x, y, RGB(0, 128, 0));
    }
    SetBkMode(hdc, TRANSPARENT);
    SelectObject(hdc, shell::YellowBrush);
    SelectObject(hdc, shell::BlackPen);
    RoundRect(hdc, w / 2 - 120, 1, w / 2 + 135, 21, 15, 15);
    const HFONT old_font = SelectObject(hdc, shell::SystemFont);
    Text(hdc, title_x, 2, title);
    SelectObject(hdc, old_font);
    SelectObject(hdc, old_brush);
    SelectObject(hdc, old_pen);
    DeleteObject(grey);
}

// Vertical grid and frequency labels of a frequency pane.
void FrequencyAxis(HDC hdc, int w, int h) {
    const float fstart = shell::kPlotStartFrequencies[RoomEQStartFrequencyIndex];
    const float fstop = shell::kPlotStopFrequencies[RoomEQStopFrequencyIndex];
    const double a = FrequencySpan(w) / std::log10(fstop / fstart);
    const double b = 60.0 - a * std::log10(fstart);
    const HFONT old_font = SelectObject(hdc, shell::LabelFont);
    shell::AxisLabelRow row(hdc, h - 20, 0, w - 30);
    for (double f = fstart; f < 280.0;) {
        const int x = static_cast<int>(a * std::log10(f) + b);
        for (int y = 19; y < h - 22; y += 2) SetPixel(hdc, x, y, RGB(0, 128, 0));
        const bool label = (f < 7 || f == 8) || (f >= 10 && f < 50) || f == 60 || f == 80 ||
                           (f >= 100 && f < 500) || f == 600 || (f >= 1000 && f < 5000) ||
                           f == 6000 || f == 8000 || (f >= 10000 && f < 50000) || f == 60000 ||
                           f == 80000;
        if (label) {
            char text[16];
            if (f < 1000)
                std::snprintf(text, sizeof text, "%.0f", f);
            else
                std::snprintf(text, sizeof text, "%.0fk", f / 1000);
            row.Draw(static_cast<int>(x - 1), text);
        }
        f += f < 10 ? 1 : f < 100 ? 10 : f < 1000 ? 100 : f < 10000 ? 1000 : 10000;
    }
    Text(hdc, w - 30, h - 20, "Hz");
    SelectObject(hdc, old_font);
}

// The location whose impulses the impulse pane shows.
int ShownLocation() {
    return (RoomEQLocation >= 0 && RoomEQLocation < kRoomEqLocations) ? RoomEQLocation : 0;
}

int PointX(int j, int w) { return static_cast<int>(60 + j * FrequencySpan(w) / 2000.0); }

void LegendEntry(HDC hdc, const float* v, int w, int y, const char* text) {
    Text(hdc, w - 130, y, text);
    const HPEN pen = PenOf(v);
    const HPEN old = pen.value ? SelectObject(hdc, pen) : HPEN{};
    MoveToEx(hdc, w - 50, y + 5, nullptr);
    LineTo(hdc, w - 25, y + 5);
    if (old.value) SelectObject(hdc, old);
    if (pen.value) DeleteObject(pen);
}

}  // namespace

int DrawRoomEQImpulsePlot(HDC hdc) {
    const int w = kImpulsePlotW, h = PaneHeightOf(hdc, kImpulsePlotH);
    Frame(hdc, w, h, 18, "Impulse Response", w / 2 - 60);
    const double ys = (h - 40) / static_cast<double>(kRows);
    for (int k = 1; k < 40; ++k) {
        const int x = static_cast<int>(60 + k * 0.025 * (w - 80));
        for (int y = 19; y < h - 22; y += 2) SetPixel(hdc, x, y, RGB(0, 128, 0));
    }
    const HPEN old_pen = SelectObject(hdc, shell::DarkRedPen);
    MoveToEx(hdc, 60, static_cast<int>(20 + 9 * ys), nullptr);
    LineTo(hdc, w - 20, static_cast<int>(20 + 9 * ys));
    SelectObject(hdc, old_pen);
    const HFONT old_font = SelectObject(hdc, shell::LabelFont);
    char text[16];
    const int stride = RowLabelStride(hdc, ys);
    for (int k = 0; k <= kRows; k += stride) {
        std::snprintf(text, sizeof text, "%.0f", 180.0 - 20.0 * k);
        Text(hdc, 30, static_cast<int>(10 + k * ys), text);
    }
    Text(hdc, 3, (h - 15) / 2, "DAC");
    // Time counts in the rate the shown location's impulses were measured at; before any, in the
    // rate chosen for the next measurement.
    const int measured = RoomEQImpulseRates[ShownLocation()];
    const int rate = measured > 0 ? measured : MlsSampleRate();
    shell::AxisLabelRow row(hdc, h - 20, 51, w - 30);
    for (int t = -150; t <= 2000 && rate > 0; t += 50) {
        // The label of sample t starts on its grid line (column t / 50), where the curves draw
        // sample t.
        const int x = static_cast<int>(60 + t / 50 * 0.025 * (w - 80));
        if (x <= 50) continue;
        std::snprintf(text, sizeof text, "%.0f", (t - 50) * 1000.0 / rate);
        row.Draw(x, text);
    }
    Text(hdc, w - 30, h - 20, "ms");
    SelectObject(hdc, old_font);
    return DrawRoomEQImpulseCurves(hdc);
}

int DrawRoomEQImpulseCurves(HDC hdc) {
    const int w = kImpulsePlotW, h = PaneHeightOf(hdc, kImpulsePlotH);
    const double ys = (h - 40) / static_cast<double>(kRows);
    const int l = ShownLocation();
    const double zoom = std::ldexp(1.0, shell::Mls.MlsAmplitudeZoomIndex & 7);
    const auto x_of = [&](int j) { return static_cast<int>(60 + j * (w - 80) / 2000.0); };
    const float* ref = Record(kRoomEqRefImpulse + l);
    const float* in = Record(kRoomEqInImpulse + l);
    const float* window = Record(kRoomEqWindow);
    if (Visible(ref))
        Curve(hdc, ref, shell::kGridPoints, nullptr, x_of,
              [&](float v) { return ClampY(20 + 4 * ys - 0.05 * ys * v, h); });
    if (Visible(in))
        Curve(hdc, in, shell::kGridPoints, nullptr, x_of,
              [&](float v) { return ClampY(20 + 9 * ys - zoom * 0.05 * ys * v, h); });
    if (Visible(window))
        Curve(hdc, window, shell::kGridPoints, &shell::DarkGreenPen, x_of,
              [&](float v) { return ClampY(20 + 9 * ys - 0.05 * ys * v, h); });
    const HBRUSH old_brush = SelectObject(hdc, shell::WhiteBrush);
    const HPEN old_pen = SelectObject(hdc, shell::BlackPen);
    RoundRect(hdc, w - 133, 20, w - 22, 70, 5, 5);
    const HFONT old_font = SelectObject(hdc, shell::SmallFont);
    if (Visible(ref)) LegendEntry(hdc, ref, w, 30 + 3 * l - 5, "Reference IR");
    if (Visible(in)) LegendEntry(hdc, in, w, 50 + 3 * l - 5, "Measured IR");
    SelectObject(hdc, old_font);
    SelectObject(hdc, old_pen);
    SelectObject(hdc, old_brush);
    return 0;
}

int DrawRoomEQSplPlot(HDC hdc) {
    const int w = kSplPlotW, h = PaneHeightOf(hdc, kSplPlotH);
    Frame(hdc, w, h, 19, "Measured SPL / Phase", w / 2 - 80);
    FrequencyAxis(hdc, w, h);
    const double ys = (h - 40) / static_cast<double>(kRows);
    const HPEN old_pen = SelectObject(hdc, shell::BluePen);
    MoveToEx(hdc, 60, static_cast<int>(20 + 9 * ys), nullptr);
    LineTo(hdc, w - 20, static_cast<int>(20 + 9 * ys));
    SelectObject(hdc, old_pen);
    const HFONT old_font = SelectObject(hdc, shell::LabelFont);
    char text[16];
    for (int k = 0; k <= kRows; k += RowLabelStride(hdc, ys)) {
        const int y = static_cast<int>(10 + k * ys);
        std::snprintf(text, sizeof text, "%.0f", 125.0 - 5.0 * k);
        Text(hdc, 3, y, text);
        std::snprintf(text, sizeof text, "%.0f", 180.0 - 20.0 * k);
        Text(hdc, 30, y, text);
    }
    Text(hdc, 3, h - 15, "dB");
    Text(hdc, 30, h - 15, "deg");
    SelectObject(hdc, old_font);
    return DrawRoomEQSplCurves(hdc);
}

int DrawRoomEQSplCurves(HDC hdc) {
    const int w = kSplPlotW, h = PaneHeightOf(hdc, kSplPlotH);
    const double ys = (h - 40) / static_cast<double>(kRows);
    const auto x_of = [&](int j) { return PointX(j, w); };
    const auto level_y = [&](float v) { return ClampY(20 + 7 * ys - (ys / 5) * v, h); };
    const auto phase_y = [&](float v) { return ClampY(20 + 9 * ys - 0.05 * ys * v, h); };
    const float* avg = Record(kRoomEqAverage);
    const float* avg_ph = Record(kRoomEqAveragePh);
    const float* corr = Record(kRoomEqCorrection);
    const float* corr_ph = Record(kRoomEqCorrectionPh);
    const float* equalized = Record(kRoomEqEqualized);
    const bool show_avg = Visible(avg);
    const bool show_avg_ph = shell::Mls.MlsShowPhase == 1 && Visible(avg_ph);
    const bool show_corr = RoomEQShowEqSpl == 1 && Visible(corr);
    const bool show_corr_ph = RoomEQShowEqPhase == 1 && Visible(corr_ph);
    const bool show_eq = RoomEQShowEqualized == 1 && Visible(equalized);
    if (show_avg) Curve(hdc, avg, kRoomEqDrawnPoints, nullptr, x_of, level_y);
    if (show_avg_ph) Curve(hdc, avg_ph, kRoomEqDrawnPoints, nullptr, x_of, phase_y);
    if (show_corr) Curve(hdc, corr, kRoomEqDrawnPoints, nullptr, x_of, level_y);
    if (show_corr_ph) Curve(hdc, corr_ph, kRoomEqDrawnPoints, nullptr, x_of, phase_y);
    Curve(hdc, RoomEQThresholdLine, kRoomEqDrawnPoints, &shell::BlackPen, x_of, level_y);
    if (show_eq) Curve(hdc, equalized, kRoomEqDrawnPoints, nullptr, x_of, level_y);
    const HBRUSH old_brush = SelectObject(hdc, shell::WhiteBrush);
    const HPEN old_pen = SelectObject(hdc, shell::BlackPen);
    RoundRect(hdc, w - 133, 20, w - 22, 116, 5, 5);
    const HFONT old_font = SelectObject(hdc, shell::SmallFont);
    if (show_avg) LegendEntry(hdc, avg, w, 20, "Measured SPL");
    if (show_avg_ph) LegendEntry(hdc, avg_ph, w, 40, "Measured PH");
    if (show_corr_ph) LegendEntry(hdc, corr_ph, w, 60, "Room EQ PH");
    if (show_corr) LegendEntry(hdc, corr, w, 80, "Room EQ SPL");
    if (show_eq) LegendEntry(hdc, equalized, w, 100, "Equalized Room");
    SelectObject(hdc, old_font);
    SelectObject(hdc, old_pen);
    SelectObject(hdc, old_brush);
    return 0;
}

int DrawRoomEQGroupDelayPlot(HDC hdc) {
    const int w = kDelayPlotW, h = PaneHeightOf(hdc, kDelayPlotH);
    Frame(hdc, w, h, 19, "Excess Group Delay", w / 2 - 60);
    FrequencyAxis(hdc, w, h);
    const double ys = (h - 40) / static_cast<double>(kRows);
    const HFONT old_font = SelectObject(hdc, shell::LabelFont);
    char text[16];
    for (int k = 0; k <= kRows; k += RowLabelStride(hdc, ys)) {
        std::snprintf(text, sizeof text, "%.0f", 20.0 * k - 20.0);
        Text(hdc, 20, h - 20 - static_cast<int>(10 + k * ys), text);
    }
    Text(hdc, 20, h - 15, "ms");
    SelectObject(hdc, old_font);
    return DrawRoomEQGroupDelayCurve(hdc);
}

int DrawRoomEQGroupDelayCurve(HDC hdc) {
    const int w = kDelayPlotW, h = PaneHeightOf(hdc, kDelayPlotH);
    const double ys = (h - 40) / static_cast<double>(kRows);
    const float* delay = Record(kRoomEqGroupDelay);
    const bool show = Visible(delay);
    if (show)
        Curve(
            hdc, delay, kRoomEqDrawnPoints, nullptr, [&](int j) { return PointX(j, w); },
            [&](float v) { return ClampY(20 + 17 * ys - 0.05 * ys * v, h); });
    const HBRUSH old_brush = SelectObject(hdc, shell::WhiteBrush);
    const HPEN old_pen = SelectObject(hdc, shell::BlackPen);
    RoundRect(hdc, w - 133, 20, w - 22, 35, 5, 5);
    const HFONT old_font = SelectObject(hdc, shell::SmallFont);
    if (show) LegendEntry(hdc, delay, w, 20, "Excess Gr Del");
    SelectObject(hdc, old_font);
    SelectObject(hdc, old_pen);
    SelectObject(hdc, old_brush);
    return 0;
}

int DrawRoomEQLocationMarks(HDC hdc) {
    static const int kTop[kRoomEqLocations] = {8, 32, 54, 77, 98, 122};
    const HWND marks = WindowFromDC(hdc);
    const HWND dialog = marks.value ? GetParent(marks) : HWND{};
    for (int l = 0; l < kRoomEqLocations; ++l) {
        const float* level = Record(kRoomEqLevel + l);
        const bool measured = level != nullptr && level[shell::kCurveHoldsData] == 1.0f;
        // Each square stands beside its own "Location" button, its middle on the button's,
        // whatever size a dialog unit has; the rows above are for a context without the dialog.
        int top = kTop[l];
        const HWND button = dialog.value ? GetDlgItem(dialog, kFirstLocation + l) : HWND{};
        RECT r{};
        if (button.value && GetWindowRect(button, &r)) {
            POINT middle{0, (r.top + r.bottom) / 2};
            ScreenToClient(marks, &middle);
            top = middle.y - 5;
        }
        const HBRUSH old = SelectObject(hdc, shell::MeterBrushRamp[measured ? 2 : 17]);
        Rectangle(hdc, 0, top, 10, top + 10);
        SelectObject(hdc, old);
    }
    return 0;
}

int DrawRoomEqLevelMeter(HDC hdc, int width, int height, float in_level, float ref_level) {
    // The MLS page's meter: the measured level in the left column, the reference in the right
    // one, 18 segments from the bottom, segment k lit in ramp colour 17 - k when the level is at
    // least 2k (a full-scale sample reads 34). The room equalizer's meter control is shorter than
    // the page's, so the segments share its height, at most 10 pixels apart as on the page.
    constexpr int kSegments = 18;
    const int pitch = std::clamp((height - 4) / kSegments, 2, 10);
    const RECT all{0, 0, width, height};
    FillRect(hdc, &all, GetSysColorBrush(COLOR_BTNFACE));
    const float levels[2] = {in_level, ref_level};
    for (int column = 0; column < 2; ++column) {
        const int x0 = column == 0 ? 5 : 22;
        const int lit = LitMeterSegments(levels[column]);
        for (int k = 0; k < kSegments; ++k) {
            const int bottom = height - 2 - pitch * k;
            Rectangle(hdc, x0, bottom - pitch - 1, x0 + 13, bottom);
            if (k < lit) {
                const RECT cell{x0 + 1, bottom - pitch, x0 + 12, bottom - 1};
                FillRect(hdc, &cell, shell::MeterBrushRamp[kSegments - 1 - k]);
            }
        }
    }
    return 0;
}

int PaneHeight(HWND pane, int design) {
    RECT r{};
    if (!pane.value || !GetClientRect(pane, &r) || r.bottom <= 40) return design;
    return r.bottom;
}

int RoomEqPointAt(int x) {
    const double i = std::trunc((x - 60) * 2000.0 / FrequencySpan(kSplPlotW));
    if (!(i >= 0.0) || i > kRoomEqDrawnPoints) return -1;
    return static_cast<int>(i);
}

}  // namespace measurement
