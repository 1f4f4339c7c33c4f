#include "measurement/MlsPlots.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "measurement/Globals.h"
#include "measurement/MlsDeconvolution.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/FrequencyGrid.h"
#include "shell/GdiObjects.h"
#include "shell/NumberText.h"
#include "shell/PlotFrame.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"
#include "solver/Globals.h"

namespace measurement {

std::int32_t MlsSplPlotWidth = 0;
std::int32_t MlsSplPlotHeight = 0;
std::int32_t MlsImpClientWidth = 0;
std::int32_t MlsImpClientHeight = 0;
std::int32_t MlsImpScrollPosition = 0;
std::int32_t MlsImpCursorX = 0;
std::int32_t MlsCopyCount = 0;
std::int32_t MlsSplPickedCurve = 0;
std::int32_t MlsCalPickedCurve = 0;
std::int32_t MlsPostPickedBuffer = 0;

namespace {

using platform::HDC;
using platform::HPEN;
using shell::CurveRecord;
using shell::kGridPoints;

constexpr int kCurveRef = 20;
constexpr int kCurveIn = 21;
constexpr int kCurveWindow = 22;
constexpr int kCopySlotFirst = 105;
constexpr int kCopySlots = 20;
constexpr double kDegrees = 57.288;

void TextAt(HDC hdc, int x, int y, const char* text, int most = -1) {
    int n = static_cast<int>(std::strlen(text));
    if (most >= 0 && n > most) n = most;
    platform::TextOut(hdc, x, y, text, n);
}

double SlotNumber(const char* slot, std::size_t capacity, double fallback) {
    double value = 0.0;
    return shell::ReadTypedSlot(slot, capacity, &value) ? value : fallback;
}

// Level axis of the painters: whole numbers of the scale texts; a step of 0 would put every point
// at infinity, so it counts as 5.
void PainterScale(double* top, double* step) {
    *top = std::trunc(SlotNumber(solver::SplScaleTopText, sizeof solver::SplScaleTopText, 90.0));
    *step = std::trunc(SlotNumber(solver::SplScaleStepText, sizeof solver::SplScaleStepText, 5.0));
    if (*step == 0.0) *step = 5.0;
}
// The same with the decimals, for the hit test and the read-out.
void ReadoutScale(double* top, double* step) {
    *top = SlotNumber(solver::SplScaleTopText, sizeof solver::SplScaleTopText, 90.0);
    *step = SlotNumber(solver::SplScaleStepText, sizeof solver::SplScaleStepText, 5.0);
    if (*step == 0.0) *step = 5.0;
}

double RowStep(int height) { return (height - 40) / 18.0; }

double LevelY(double v, double g, double top, double step) {
    return 20 + 7 * g + (g / step) * (top - 90.0 - v);
}
double PhaseY(double p, double g) { return 20 + 9 * g - 0.05 * g * p; }

int PointX(int k, double wprime) {
    return static_cast<int>(static_cast<float>(k * 0.0005 * wprime + 60.0));
}

bool Visible(const CurveRecord* c) { return c && c->v[shell::kCurveVisible] == 1.0f; }

double BufferLevel(const CurveRecord* re, const CurveRecord* im, int k) {
    const double a = re->v[k];
    const double b = im->v[k];
    return 10.0 * std::log10(a * a + b * b + 1e-13);
}
double BufferPhase(const CurveRecord* re, const CurveRecord* im, int k) {
    double a = re->v[k];
    if (a == 0.0) a = 1e-9;
    return kDegrees * std::atan2(static_cast<double>(im->v[k]), a);
}

// Draws one curve from the values `value(k)` through `map`, with the pen of `pen_of` and its
// legend stroke at `legend_y`.
template <class Value, class Map>
void DrawCurve(HDC hdc, const CurveRecord* pen_of, int wp, int hp, int legend_y, Value value,
               Map map) {
    const HPEN pen = shell::CreateCurvePen(pen_of->v);
    const HPEN old = platform::SelectObject(hdc, pen);
    platform::MoveToEx(hdc, wp - 50, legend_y, nullptr);
    platform::LineTo(hdc, wp - 25, legend_y);
    const double wprime = wp - 80;
    for (int k = 0; k < kGridPoints; ++k) {
        const int y = shell::ClampedCurveY(map(value(k)), hp);
        if (k == 0)
            platform::MoveToEx(hdc, PointX(k, wprime), y, nullptr);
        else
            platform::LineTo(hdc, PointX(k, wprime), y);
    }
    platform::SelectObject(hdc, old);
    platform::DeleteObject(pen);
}

// The rate the impulses shown were measured at.
double SampleRateValue() { return static_cast<double>(MeasuredSampleRate()); }

int WindowWidthValue() {
    std::int32_t width = 0;
    double value = 0.0;
    if (shell::ReadTypedSlot(shell::Mls.MlsWindowWidthText, sizeof shell::Mls.MlsWindowWidthText,
                             &value) &&
        std::isfinite(value))
        width = static_cast<std::int32_t>(std::clamp(value, 0.0, 1e7));
    return width;
}

// The candidates of a page for the read-out and the pick: level and phase of candidate p at k.
// Mode 0: curves 0..9; mode 1: 0 (microphone) and 2 (preamplifier); mode 2: buffers 0, 2, .., 10.
int CandidateCount(int mode) { return mode == 0 ? 10 : mode == 1 ? 2 : 6; }
int CandidateIndex(int mode, int n) { return mode == 0 ? n : 2 * n; }
bool CandidateAt(int mode, int p, int k, double* level, double* phase) {
    if (mode == 0 || mode == 1) {
        const int base = mode == 0 ? p : 25 + p;
        const int partner = mode == 0 ? 10 + p : 26 + p;
        const CurveRecord* l = shell::MeasuredCurveTable[base];
        const CurveRecord* ph = shell::MeasuredCurveTable[partner];
        if (!l || !ph) return false;
        *level = l->v[k];
        *phase = ph->v[k];
        return true;
    }
    if (p < 0 || p + 1 >= shell::kProcessBufferCount) return false;
    const CurveRecord* re = shell::ProcessBufferTable[p];
    const CurveRecord* im = shell::ProcessBufferTable[p + 1];
    if (!re || !im) return false;
    *level = BufferLevel(re, im, k);
    *phase = BufferPhase(re, im, k);
    return true;
}
int MaxCandidate(int mode) { return mode == 0 ? 9 : mode == 1 ? 2 : 10; }

std::int32_t& PickedOf(int mode) {
    return mode == 0 ? MlsSplPickedCurve : mode == 1 ? MlsCalPickedCurve : MlsPostPickedBuffer;
}

// A mouse position inside the plot: its grid point k.
bool PlotPoint(platform::LPARAM lparam, int* k, int* y) {
    const double wprime = MlsSplPlotWidth - 80.0;
    if (wprime <= 0.0) return false;  // no axis on so narrow a plot
    const int x = platform::GET_X_LPARAM(lparam) - 60;
    *y = platform::GET_Y_LPARAM(lparam);
    const double kk = x * 2000.0 / wprime;
    if (!(kk >= 0.0 && kk < 2000.0)) return false;
    *k = static_cast<int>(kk);
    return *y >= 20 && *y < MlsSplPlotHeight - 20;
}

}  // namespace

int MlsTimeZoom() { return 1 << std::clamp<int>(shell::Mls.MlsTimeZoomIndex, 0, 3); }
int MlsImpSpan() { return 2000 / MlsTimeZoom(); }

void ClampMlsImpulseStart() {
    MlsImpulseStart = std::clamp<std::int32_t>(MlsImpulseStart, 0, kMlsImpulseStartMax);
    MlsImpScrollPosition = std::clamp<std::int32_t>(MlsImpScrollPosition, 0, kMlsScrollMax);
}

void SetMlsSplTitle() {
    if (!shell::MlsSplChildWindow) return;
    char text[2200];
    const char* name = shell::Preferences ? shell::Preferences->MikeCalFilePath : "";
    std::snprintf(text, sizeof text, "%s  %.*s", "MLS Frequency Domain",
                  static_cast<int>(sizeof shell::Preferences->MikeCalFilePath), name);
    platform::SetWindowText(shell::MlsSplChildWindow, text);
}

void SetMlsImpTitle(bool blank) {
    if (!shell::MlsImpChildWindow) return;
    ClampMlsImpulseStart();
    const int span = MlsImpSpan();
    const float ref = shell::MlsRefSamples ? shell::MlsRefSamples[MlsImpulseStart] : 0.0f;
    const float in = shell::MlsInSamples ? shell::MlsInSamples[MlsImpulseStart] : 0.0f;
    char text[200];
    std::snprintf(text, sizeof text,
                  blank ? "%s  Ref=%.2f, In=%.2f, Bin=%d, Scroll [%d - %d]"
                        : "%s  Ref=%.2f, In=%.2f, Bin=%d, Scroll[%d - %d]",
                  "MLS Impulse Response", ref, in, MlsImpulseStart, span * MlsImpScrollPosition,
                  span * (MlsImpScrollPosition + 1));
    platform::SetWindowText(shell::MlsImpChildWindow, text);
}

bool BuildMlsSplGrid() {
    return MlsSplPlotWidth > 80 && shell::BuildPlotFrequencyGrid(MlsSplPlotWidth);
}

void DrawMlsSplFrame(HDC hdc, int mode) {
    const int wp = MlsSplPlotWidth;
    const int hp = MlsSplPlotHeight;
    const double g = RowStep(hp);
    const platform::HBRUSH grey = platform::CreateSolidBrush(platform::RGB(212, 212, 212));
    const HPEN old_pen = platform::SelectObject(hdc, shell::BluePen2);
    const platform::HBRUSH old_brush = platform::SelectObject(hdc, grey);
    platform::Rectangle(hdc, 59, 18, wp - 19, hp - 20);
    platform::SetBkMode(hdc, platform::TRANSPARENT);
    // A plot of 80 pixels or less has no axis: the shared grid keeps its frequencies.
    const bool axis = BuildMlsSplGrid();
    if (axis) shell::DrawPlotGrid(hdc, wp, hp);
    const platform::HFONT old_font = platform::SelectObject(hdc, shell::SmallFont);
    if (axis) shell::DrawFrequencyLabels(hdc, wp, hp);
    platform::SelectObject(hdc, shell::DarkRedPen);
    platform::MoveToEx(hdc, 60, static_cast<int>(9 * g + 20), nullptr);
    platform::LineTo(hdc, wp - 20, static_cast<int>(9 * g + 20));

    const int c = wp / 2;
    platform::SelectObject(hdc, shell::YellowBrush);
    platform::SelectObject(hdc, shell::BluePen2);
    platform::RoundRect(hdc, c - 120, 1, c + 135, 21, 15, 15);
    platform::SelectObject(hdc, shell::SystemFont);
    static const char* const kTitles[3] = {"Measured SPL / Phase", "Mike / Preamp Calibration",
                                           "Post Processing SPL / Phase"};
    TextAt(hdc, c - 80, 2, kTitles[std::clamp(mode, 0, 2)]);
    char text[32];
    if (mode == 2) {
        platform::SelectObject(hdc, shell::LabelFont);
        for (int i = 0; i <= 18; ++i) {
            std::snprintf(text, sizeof text, "%.0f", 360.0 - 20.0 * i);
            TextAt(hdc, wp - 18, static_cast<int>(10 + i * g), text, 4);
        }
    }
    double top = 90.0;
    double step = 5.0;
    PainterScale(&top, &step);
    platform::SelectObject(hdc, shell::SmallFont);
    for (int i = 0; i <= 18; ++i) {
        std::snprintf(text, sizeof text, "%.0f", 7 * step + top - i * step);
        TextAt(hdc, 3, static_cast<int>(10 + i * g), text, 4);
        std::snprintf(text, sizeof text, "%.0f", 180.0 - 20.0 * i);
        TextAt(hdc, 30, static_cast<int>(10 + i * g), text, 4);
    }
    TextAt(hdc, 3, hp - 15, "dB");
    TextAt(hdc, 30, hp - 15, "deg");

    // The band the gating window is too short to resolve.
    if (axis && ((shell::Mls.MlsShowWindow == 1 && mode == 0) || mode == 1 || mode == 2)) {
        const double fs = SampleRateValue();
        const int width = WindowWidthValue();
        int kmax = kGridPoints - 1;
        if (width > 0) {
            for (int k = 0; k < kGridPoints - 1; ++k) {
                if (shell::FrequencyGrid[k] > fs / width) {
                    kmax = k;
                    break;
                }
            }
        }
        const double wprime = wp - 80;
        for (int j = 0; j < kmax; j += 4)
            for (int y = 19; y < hp - 22; y += 4)
                platform::SetPixel(hdc, PointX(j, wprime), y, platform::RGB(128, 128, 128));
    }
    platform::SelectObject(hdc, old_font);
    platform::SelectObject(hdc, old_brush);
    platform::SelectObject(hdc, old_pen);
    platform::DeleteObject(grey);
    DrawMlsSplCurves(hdc, mode);
}

void DrawMlsSplCurves(HDC hdc, int mode) {
    const int wp = MlsSplPlotWidth;
    const int hp = MlsSplPlotHeight;
    if (wp <= 80) return;
    const double g = RowStep(hp);
    double top = 90.0;
    double step = 5.0;
    PainterScale(&top, &step);
    const auto level = [&](double v) { return LevelY(v, g, top, step); };
    const auto phase = [&](double p) { return PhaseY(p, g); };
    const platform::HFONT old_font = platform::SelectObject(hdc, shell::SmallFont);
    platform::SetBkMode(hdc, platform::TRANSPARENT);
    CurveRecord* const* table = shell::MeasuredCurveTable;
    if (mode == 0) {
        for (int i = 0; i < 20; ++i) {
            const CurveRecord* c = table[i];
            if (!Visible(c)) continue;
            if (i >= 10 && shell::Mls.MlsShowPhase != 1) continue;
            TextAt(hdc, wp - 75, i < 10 ? 25 : 45, i < 10 ? "SPL" : "PH");
            const auto value = [c](int k) { return static_cast<double>(c->v[k]); };
            if (i < 10)
                DrawCurve(hdc, c, wp, hp, 25 + 3 * i, value, level);
            else
                DrawCurve(hdc, c, wp, hp, 15 + 3 * i, value, phase);
        }
    } else if (mode == 1) {
        static const int kEntries[4] = {25, 26, 27, 28};
        static const int kStroke[4] = {25, 45, 31, 51};
        for (int n = 0; n < 4; ++n) {
            const CurveRecord* c = table[kEntries[n]];
            if (!Visible(c)) continue;
            const bool is_phase = (n % 2) == 1;
            TextAt(hdc, wp - 75, is_phase ? 45 : 25, is_phase ? "PH" : "SPL");
            const auto value = [c](int k) { return static_cast<double>(c->v[k]); };
            if (is_phase)
                DrawCurve(hdc, c, wp, hp, kStroke[n], value, phase);
            else
                DrawCurve(hdc, c, wp, hp, kStroke[n], value, level);
        }
    } else {
        CurveRecord* const* buffers = shell::ProcessBufferTable;
        for (int b = 0; b <= 10; b += 2) {
            const CurveRecord* re = buffers[b];
            const CurveRecord* im = buffers[b + 1];
            if (!re || !im || !Visible(re)) continue;
            TextAt(hdc, wp - 75, 25, "SPL");
            DrawCurve(
                hdc, re, wp, hp, 25 + 3 * b, [re, im](int k) { return BufferLevel(re, im, k); },
                level);
            if (shell::Mls.MlsShowPhase == 1) {
                TextAt(hdc, wp - 75, 75, "PH");
                DrawCurve(
                    hdc, im, wp, hp, 75 + 3 * b, [re, im](int k) { return BufferPhase(re, im, k); },
                    phase);
            }
        }
        const CurveRecord* difference = buffers[13];
        if (difference && Visible(buffers[12])) {
            TextAt(hdc, wp - 90, 111, "PH-DIF");
            DrawCurve(
                hdc, difference, wp, hp, 111,
                [difference](int k) { return static_cast<double>(difference->v[k]); },
                [g](double d) { return 20 + 18 * g - 0.05 * g * d; });
        }
    }
    platform::SelectObject(hdc, old_font);
}

void RefreshMlsImpulseCurves() {
    ClampMlsImpulseStart();
    CurveRecord* ref = shell::MeasuredCurveTable[kCurveRef];
    CurveRecord* in = shell::MeasuredCurveTable[kCurveIn];
    CurveRecord* window = shell::MeasuredCurveTable[kCurveWindow];
    if (ref && in && window && shell::MlsRefSamples && shell::MlsInSamples && shell::GateWindowIn) {
        const int z = MlsTimeZoom();
        const int first = MlsImpSpan() * MlsImpScrollPosition;
        for (int k = 0; k < kGridPoints; ++k) {
            const int n = first + k / z;
            ref->v[k] = 0.01f * shell::MlsRefSamples[n];
            in->v[k] = 0.01f * shell::MlsInSamples[n];
            window->v[k] =
                n >= MlsImpulseStart ? 145.0f * shell::GateWindowIn[n - MlsImpulseStart] : 0.0f;
        }
    }
    if (shell::MlsImpChildWindow)
        platform::InvalidateRect(shell::MlsImpChildWindow, nullptr, platform::FALSE);
}

void DrawMlsImpulseFrame(HDC hdc) {
    const int w = MlsImpClientWidth;
    const int h = MlsImpClientHeight;
    // The view is painted over without an erase: the margins around the plot are cleared first,
    // so the time labels of the last zoom or scroll position do not stay under the new ones and
    // no axis text is drawn over itself.
    const platform::RECT client{0, 0, w, h};
    platform::FillRect(hdc, &client, platform::GetSysColorBrush(platform::COLOR_BTNFACE));
    const double wprime = w - 80;
    const double g = RowStep(h);
    const platform::HBRUSH grey = platform::CreateSolidBrush(platform::RGB(212, 212, 212));
    const HPEN old_pen = platform::SelectObject(hdc, shell::BluePen2);
    const platform::HBRUSH old_brush = platform::SelectObject(hdc, grey);
    platform::Rectangle(hdc, 59, 18, w - 18, h - 20);
    const platform::COLORREF green = platform::RGB(0, 128, 0);
    for (int i = 1; i <= 17; ++i) {
        const int y = static_cast<int>(20 + i * g);
        for (int x = 60; x < w - 20; x += 2) platform::SetPixel(hdc, x, y, green);
    }
    if (wprime > 0) {
        for (int j = 1; j <= 39; ++j) {
            const int x = static_cast<int>(j * 0.025 * wprime + 60);
            for (int y = 19; y < h - 22; y += 2) platform::SetPixel(hdc, x, y, green);
        }
    }
    platform::SelectObject(hdc, shell::DarkRedPen);
    platform::MoveToEx(hdc, 60, static_cast<int>(9 * g + 20), nullptr);
    platform::LineTo(hdc, w - 20, static_cast<int>(9 * g + 20));
    const int c = w / 2;
    platform::SelectObject(hdc, shell::YellowBrush);
    platform::SelectObject(hdc, shell::BluePen2);
    platform::RoundRect(hdc, c - 120, 1, c + 135, 21, 15, 15);
    platform::SetBkMode(hdc, platform::TRANSPARENT);
    const platform::HFONT old_font = platform::SelectObject(hdc, shell::SystemFont);
    TextAt(hdc, c - 80, 2, "Impulse Response vs. Time");
    platform::SelectObject(hdc, shell::SmallFont);
    char text[32];
    for (int i = 0; i <= 18; ++i) {
        std::snprintf(text, sizeof text, "%.0f", 180.0 - 20.0 * i);
        TextAt(hdc, 30, static_cast<int>(10 + i * g), text, 4);
    }
    TextAt(hdc, 3, (h - 15) / 2, "DAC");
    const double fs = SampleRateValue();
    const double z = MlsTimeZoom();
    if (fs > 0 && wprime > 0) {
        const auto label = [&](int t) {
            const double ms = (1000.0 / z) * (t - 50 * z) / fs +
                              2000.0 * MlsImpScrollPosition * (1000.0 / z) / fs;
            std::snprintf(text, sizeof text, "%.1f", ms);
        };
        // Every second, fourth, ... label where the texts would run into each other, counted
        // from the one at sample 50.
        int widest = 0;
        for (int t = -150; t <= 1950; t += 50) {
            label(t);
            widest = std::max(widest, shell::TextWidth(hdc, text));
        }
        const int stride = shell::LabelStride(0.025 * wprime, widest + 4);
        shell::AxisLabelRow row(hdc, h - 15, 51, w - 20);
        for (int t = -150; t <= 1950; t += 50) {
            // The label of screen point t starts on its grid line (column t / 50), where the
            // curves draw point t.
            const int x = static_cast<int>(t / 50 * 0.025 * wprime + 60);
            if (x <= 50 || ((t - 50) / 50) % stride != 0) continue;
            label(t);
            row.Draw(x, text);
        }
    }
    TextAt(hdc, w - 20, h - 15, "ms");
    platform::SelectObject(hdc, old_font);
    platform::SelectObject(hdc, old_brush);
    platform::SelectObject(hdc, old_pen);
    platform::DeleteObject(grey);
    SetMlsImpTitle(false);
    DrawMlsImpulseCurves(hdc);
    DrawAcousticalDistance(hdc);
}

void DrawMlsImpulseCurves(HDC hdc) {
    const int w = MlsImpClientWidth;
    const int h = MlsImpClientHeight;
    if (w <= 80) return;
    ClampMlsImpulseStart();
    const double wprime = w - 80;
    const double g = RowStep(h);
    const int span = MlsImpSpan();
    const int first = span * MlsImpScrollPosition;
    const int z = MlsTimeZoom();
    if (first <= MlsImpulseStart && MlsImpulseStart <= first + span) {
        const int x = static_cast<int>((MlsImpulseStart - first) * z * 0.0005 * wprime + 60);
        const HPEN old = platform::SelectObject(hdc, shell::BlackPen);
        platform::SetROP2(hdc, platform::R2_NOT);
        platform::MoveToEx(hdc, x, 19, nullptr);
        platform::LineTo(hdc, x, h - 20);
        platform::SetROP2(hdc, platform::R2_COPYPEN);
        platform::SelectObject(hdc, old);
        MlsImpCursorX = x;
    }
    if (shell::Mls.MlsWindowType >= 5 && shell::Mls.MlsWindowType <= 9) {
        const int e = MlsImpulseStart + WindowWidthValue();
        if (first <= e && e <= first + span) {
            const int x = static_cast<int>((e - first) * z * 0.0005 * wprime + 60);
            const HPEN old = platform::SelectObject(hdc, shell::BluePen);
            platform::MoveToEx(hdc, x, 19, nullptr);
            platform::LineTo(hdc, x, h - 20);
            platform::SelectObject(hdc, old);
        }
    }
    const platform::HFONT old_font = platform::SelectObject(hdc, shell::SmallFont);
    platform::SetBkMode(hdc, platform::TRANSPARENT);
    const CurveRecord* ref = shell::MeasuredCurveTable[kCurveRef];
    const CurveRecord* in = shell::MeasuredCurveTable[kCurveIn];
    const CurveRecord* window = shell::MeasuredCurveTable[kCurveWindow];
    const double amplitude =
        static_cast<double>(1 << std::clamp<int>(shell::Mls.MlsAmplitudeZoomIndex, 0, 6));
    if (Visible(ref)) {
        TextAt(hdc, w - 75, 30, "Ref");
        DrawCurve(
            hdc, ref, w, h, 30, [ref](int k) { return static_cast<double>(ref->v[k]); },
            [g](double r) { return 20 + 4 * g - 0.05 * g * r; });
    }
    if (Visible(in)) {
        TextAt(hdc, w - 75, 50, "In");
        DrawCurve(
            hdc, in, w, h, 50, [in](int k) { return static_cast<double>(in->v[k]); },
            [g, amplitude](double u) { return 20 + 9 * g - amplitude * 0.05 * g * u; });
    }
    if (window && shell::Mls.MlsShowWindow == 1 && window->v[2002] == 1.0f) {
        const HPEN old = platform::SelectObject(hdc, shell::DarkGreenPen);
        for (int k = 0; k < kGridPoints; ++k) {
            const int y = shell::ClampedCurveY(20 + 9 * g - 0.05 * g * window->v[k], h);
            if (k == 0)
                platform::MoveToEx(hdc, PointX(k, wprime), y, nullptr);
            else
                platform::LineTo(hdc, PointX(k, wprime), y);
        }
        platform::SelectObject(hdc, old);
    }
    platform::SelectObject(hdc, old_font);
}

void DrawAcousticalDistance(HDC hdc) {
    const int h = MlsImpClientHeight;
    const double fs = SampleRateValue();
    const double delay =
        SlotNumber(shell::Mls.MlsPulseDelayText, sizeof shell::Mls.MlsPulseDelayText, 0.0);
    const double c = SlotNumber(shell::SpeedOfSoundText, sizeof shell::SpeedOfSoundText, 344.0);
    const double d = fs > 0 ? ((MlsImpulseStart - 50) / fs + 0.001 * delay) * c * 100.0 : 0.0;
    const platform::HBRUSH old_brush = platform::SelectObject(hdc, shell::YellowBrush);
    platform::SetROP2(hdc, platform::R2_COPYPEN);
    platform::Rectangle(hdc, 65, h - 47, 293, h - 27);
    const platform::HFONT old_font = platform::SelectObject(hdc, shell::SystemFont);
    platform::SetBkMode(hdc, platform::TRANSPARENT);
    char text[64];
    std::snprintf(text, sizeof text, "Acoustical Distance: %.3f cm", d);
    TextAt(hdc, 70, h - 45, text);
    platform::SelectObject(hdc, old_brush);
    platform::SelectObject(hdc, old_font);
    platform::SetBkMode(hdc, platform::OPAQUE);
}

void MlsSplMouseMove(int mode, platform::LPARAM lparam) {
    if (!shell::MlsSplChildWindow) return;
    int k = 0;
    int y = 0;
    if (!PlotPoint(lparam, &k, &y)) {
        SetMlsSplTitle();
        return;
    }
    std::int32_t& picked = PickedOf(mode);
    picked = std::clamp<std::int32_t>(picked, 0, MaxCandidate(mode));
    double level = 0.0;
    double phase = 0.0;
    if (!CandidateAt(mode, picked, k, &level, &phase)) return;
    char text[160];
    std::snprintf(text, sizeof text, "%s, Ampl = %.2f dB, Phase = %.2f deg, Freq = %.1f Hz",
                  "MLS Frequency Domain", level + 90.0, phase, shell::FrequencyGrid[k]);
    platform::SetWindowText(shell::MlsSplChildWindow, text);
}

void MlsSplClick(platform::HWND page, int mode, platform::LPARAM lparam) {
    int k = 0;
    int y = 0;
    if (!PlotPoint(lparam, &k, &y) || MlsCopyCount >= kCopySlots - 1) {
        SetMlsSplTitle();
        return;
    }
    double top = 90.0;
    double step = 5.0;
    ReadoutScale(&top, &step);
    const double g = RowStep(MlsSplPlotHeight);
    int found = -1;
    for (int n = 0; n < CandidateCount(mode) && found < 0; ++n) {
        const int p = CandidateIndex(mode, n);
        double level = 0.0;
        double phase = 0.0;
        if (!CandidateAt(mode, p, k, &level, &phase)) continue;
        const double cy = LevelY(level, g, top, step);
        if (cy > y - 3 && cy < y + 3) found = p;
    }
    if (found < 0) return;
    PickedOf(mode) = found;
    CurveRecord* level_copy = shell::MeasuredCurveTable[kCopySlotFirst + MlsCopyCount];
    CurveRecord* phase_copy = shell::MeasuredCurveTable[kCopySlotFirst + MlsCopyCount + 1];
    if (!level_copy || !phase_copy) return;
    if (mode == 0 || mode == 1) {
        const int base = mode == 0 ? found : 25 + found;
        const int partner = mode == 0 ? 10 + found : 26 + found;
        std::memcpy(level_copy->v, shell::MeasuredCurveTable[base]->v, sizeof(float) * 2008);
        std::memcpy(phase_copy->v, shell::MeasuredCurveTable[partner]->v, sizeof(float) * 2008);
    } else {
        const CurveRecord* re = shell::ProcessBufferTable[found];
        const CurveRecord* im = shell::ProcessBufferTable[found + 1];
        for (int j = 0; j < kGridPoints; ++j) {
            level_copy->v[j] = static_cast<float>(BufferLevel(re, im, j));
            phase_copy->v[j] = static_cast<float>(BufferPhase(re, im, j));
        }
        std::memcpy(level_copy->v + 2000, re->v + 2000, sizeof(float) * 8);
        std::memcpy(phase_copy->v + 2000, im->v + 2000, sizeof(float) * 8);
        level_copy->v[shell::kCurveVisible] = 1.0f;
        phase_copy->v[shell::kCurveVisible] = 1.0f;
    }
    level_copy->v[2007] = 1.0f;
    phase_copy->v[2007] = 2.0f;
    MlsCopyCount += 2;
    // The highlight of the copied level curve; releasing the button repaints it away.
    const platform::HDC hdc = platform::GetDC(page);
    if (hdc) {
        const HPEN old = platform::SelectObject(hdc, shell::MagentaPen2);
        const double wprime = MlsSplPlotWidth - 80.0;
        for (int j = 0; j < kGridPoints; ++j) {
            const int cy =
                shell::ClampedCurveY(LevelY(level_copy->v[j], g, top, step), MlsSplPlotHeight);
            if (j == 0)
                platform::MoveToEx(hdc, PointX(j, wprime), cy, nullptr);
            else
                platform::LineTo(hdc, PointX(j, wprime), cy);
        }
        platform::SelectObject(hdc, old);
        platform::ReleaseDC(page, hdc);
    }
    if (shell::MlsSplChildWindow) {
        char text[120];
        std::snprintf(text, sizeof text, "%s  Copied Curve %d, %d Buffer(s) Left",
                      "MLS Frequency Domain", found + 1, kCopySlots - MlsCopyCount);
        platform::SetWindowText(shell::MlsSplChildWindow, text);
    }
}

}  // namespace measurement
