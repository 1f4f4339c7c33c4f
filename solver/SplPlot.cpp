#include "solver/SplPlot.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "network/EditorState.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Window.h"
#include "shell/FrequencyGrid.h"
#include "shell/NumberText.h"
#include "shell/PlotFrame.h"
#include "shell/PreferencesRecord.h"
#include "solver/Globals.h"
#include "solver/SharedState.h"

namespace solver {

namespace {

using platform::HDC;

constexpr platform::COLORREF kPlotBlue = platform::RGB(0, 0, 192);

// The fonts of the plot, created per paint: labels, axis numbers, channel title.
struct PlotFonts {
    platform::HFONT label;
    platform::HFONT small;
    platform::HFONT title;
};

platform::HFONT MakeFont(int height, int width, int weight, const char* face) {
    return platform::CreateFont(height, width, 0, 0, weight, 0, 0, 0, platform::ANSI_CHARSET,
                                platform::OUT_DEFAULT_PRECIS, platform::CLIP_DEFAULT_PRECIS,
                                platform::DEFAULT_QUALITY, 33, face);
}

void TextAt(HDC hdc, int x, int y, const char* text) {
    platform::TextOut(hdc, x, y, text, static_cast<int>(std::strlen(text)));
}

void DrawAxisLabels(HDC hdc, int w, int h, platform::HFONT small) {
    const platform::HFONT old_font = platform::SelectObject(hdc, small);
    shell::DrawFrequencyLabels(hdc, w, h);
    char text[32];
    const double r = shell::PlotRowStep(h);
    const int d = SplScaleStep();
    for (int i = 0; i <= 18; ++i) {
        std::snprintf(text, sizeof text, "%.0f", static_cast<double>((4 - i) * d));
        TextAt(hdc, 3, static_cast<int>(10 + i * r), text);
    }
    TextAt(hdc, 3, h - 15, "dB");
    for (int i = 0; i <= 18; ++i) {
        std::snprintf(text, sizeof text, "%.0f", static_cast<double>(180 - 20 * i));
        TextAt(hdc, 30, static_cast<int>(10 + i * r), text);
    }
    TextAt(hdc, 30, h - 15, "deg");
    platform::SelectObject(hdc, old_font);
}

// Legend rows stand 9 pixels apart; their face has a 9-pixel line (ascent and descent), so that
// rows neither touch nor move from their places. At the face's own width the longest texts
// ("Driver 16 Phase", "HBT + Filter 16 Phase") end before their legend lines.
constexpr int kLegendPitch = 9;
constexpr int kLegendCharWidth = 0;

// One family of curves: blocks, legend text, scale and legend placement.
struct Family {
    int first;
    int count;
    const char* legend;  // with %d for the port, or a plain text
    bool phase;
    int text_x_from_right;  // legend text x = W - this, or the absolute x when right is false
    bool right;
    int line_x0;  // legend line, relative to W when right
    int line_x1;
    int legend_base;  // legend y = 9 (block - legend_base) + 25, or fixed_y
    int fixed_y;
};

const Family kFamilies[] = {
    {0, 16, "Filter %d SPL", false, 110, true, 50, 25, 0, -1},
    {16, 16, "Driver %d SPL", false, 110, true, 50, 25, 0, -1},
    {32, 16, "HBT %d SPL", false, 110, true, 50, 25, 0, -1},
    {48, 16, "Final %d SPL", false, 110, true, 50, 25, 0, -1},
    {64, 16, "Filter %d Phase", true, 210, true, 145, 120, 64, -1},
    {80, 16, "Driver %d Phase", true, 210, true, 145, 120, 64, -1},
    {96, 16, "HBT %d Phase", true, 210, true, 145, 120, 64, -1},
    {112, 16, "Final %d Phase", true, 210, true, 145, 120, 64, -1},
    {129, 1, "System SPL", false, 110, true, 50, 25, 0, 619},
    {130, 1, "System Phase", true, 210, true, 145, 120, 0, 619},
    {133, 16, "HBT + Filter %d SPL", false, 65, false, 145, 170, 133, -1},
    {149, 16, "HBT + Filter %d Phase", true, 180, false, 270, 295, 149, -1},
};

void DrawCurve(HDC hdc, int w, int h, int block, const Family& family) {
    const float* v = SystemCurve(block);
    const platform::HPEN pen = shell::CreateCurvePen(v);
    const platform::HPEN old_pen = platform::SelectObject(hdc, pen);

    char text[48];
    if (family.count > 1) {
        std::snprintf(text, sizeof text, family.legend, block - family.first + 1);
    } else {
        std::snprintf(text, sizeof text, "%s", family.legend);
    }
    const int text_x = family.right ? w - family.text_x_from_right : family.text_x_from_right;
    const int text_y =
        family.fixed_y >= 0 ? family.fixed_y : kLegendPitch * (block - family.legend_base) + 25;
    TextAt(hdc, text_x, text_y, text);
    const int x0 = family.right ? w - family.line_x0 : family.line_x0;
    const int x1 = family.right ? w - family.line_x1 : family.line_x1;
    platform::MoveToEx(hdc, x0, text_y + 5, nullptr);
    platform::LineTo(hdc, x1, text_y + 5);

    const double r = shell::PlotRowStep(h);
    const double d = SplScaleStep();
    for (int k = 0; k < shell::kGridPoints; ++k) {
        const int x = static_cast<int>(60 + 0.0005 * k * (w - 80));
        const double y = family.phase ? 20 + 9 * r - 0.05 * r * v[k] : 20 + 4 * r - (r / d) * v[k];
        const int yc = shell::ClampedCurveY(y, h);
        if (k == 0) {
            platform::MoveToEx(hdc, x, yc, nullptr);
        } else {
            platform::LineTo(hdc, x, yc);
        }
    }
    platform::SelectObject(hdc, old_pen);
    platform::DeleteObject(pen);
}

}  // namespace

const char* ChannelName(int pane) {
    static const char* const kNames[] = {"No Channel Selected", "Front-Left", "Center",
                                         "Front-Right",         "Rear-Left",  "Subwoofer",
                                         "Rear-Right",          "Subwoofer 2"};
    if (pane < 0 || pane > 7) return kNames[0];
    return kNames[pane];
}

double SplPlotStartFrequency() { return shell::PlotStartFrequency(); }

double SplPlotStopFrequency() { return shell::PlotStopFrequency(); }

int SplScaleStep() {
    std::int32_t step = 0;
    // A fraction is dropped; a step below 1 or a text that is not a number counts as 5.
    double value = 0.0;
    if (shell::ParseNumberSlot(SplScaleStepText, sizeof SplScaleStepText, &value) && value >= 1.0 &&
        value < 1.0e6) {
        step = static_cast<std::int32_t>(value);
    }
    return step >= 1 ? step : 5;
}

const char* SplPlotTitle() {
    return CurrentOutputLayout() == 1 ? "Quorvex Equalizer Frequency Domain, 16 Outputs"
                                      : "Quorvex Equalizer Frequency Domain, 8 Outputs";
}

int DrawSplPhaseFrame(HDC hdc, int w, int h, platform::HWND window) {
    const PlotFonts fonts{MakeFont(12, 5, 100, "Arial"), MakeFont(6, 4, 100, "Helv"),
                          MakeFont(24, 14, 700, "Arial")};
    const platform::HPEN blue2 = platform::CreatePen(platform::PS_SOLID, 2, kPlotBlue);
    const platform::HPEN blue1 = platform::CreatePen(platform::PS_SOLID, 1, kPlotBlue);
    const platform::HPEN black = platform::CreatePen(platform::PS_SOLID, 1, platform::RGB(0, 0, 0));
    const platform::HBRUSH grey = platform::CreateSolidBrush(platform::RGB(212, 212, 212));
    const platform::HBRUSH yellow = platform::CreateSolidBrush(platform::RGB(255, 255, 0));

    const platform::HPEN old_pen = platform::SelectObject(hdc, blue2);
    const platform::HBRUSH old_brush = platform::SelectObject(hdc, grey);
    platform::Rectangle(hdc, 59, 18, w - 19, h - 20);
    shell::DrawPlotGrid(hdc, w, h);
    const int y9 = static_cast<int>(20 + 9 * shell::PlotRowStep(h));
    platform::SelectObject(hdc, blue1);
    platform::MoveToEx(hdc, 60, y9, nullptr);
    platform::LineTo(hdc, w - 20, y9);

    platform::SetBkMode(hdc, platform::TRANSPARENT);
    platform::SelectObject(hdc, yellow);
    platform::SelectObject(hdc, black);
    platform::RoundRect(hdc, w / 2 - 120, 1, w / 2 + 135, 21, 15, 15);
    TextAt(hdc, w / 2 - 80, 2, "SPL / Phase vs. Frequency");
    DrawAxisLabels(hdc, w, h, fonts.small);

    if (window) platform::SetWindowText(window, SplPlotTitle());

    const platform::HFONT old_font = platform::SelectObject(hdc, fonts.title);
    platform::SetTextColor(hdc, platform::RGB(228, 0, 0));
    // The channel whose solve the curves show; none while no channel is in use.
    TextAt(hdc, 67, h - 45, ChannelName(network::ActivePane == 0 ? 0 : PlottedPane));
    platform::SelectObject(hdc, old_font);
    platform::SetBkMode(hdc, platform::OPAQUE);
    platform::SetTextColor(hdc, platform::RGB(0, 0, 0));

    platform::SelectObject(hdc, old_pen);
    platform::SelectObject(hdc, old_brush);
    platform::DeleteObject(blue2);
    platform::DeleteObject(blue1);
    platform::DeleteObject(black);
    platform::DeleteObject(grey);
    platform::DeleteObject(yellow);
    platform::DeleteObject(fonts.small);
    platform::DeleteObject(fonts.title);
    platform::DeleteObject(fonts.label);
    return DrawSplPhaseCurves(hdc, w, h);
}

int DrawSplPhaseCurves(HDC hdc, int w, int h) {
    platform::SetBkMode(hdc, platform::TRANSPARENT);
    const platform::HFONT label =
        MakeFont(kLegendPitch, kLegendCharWidth, 100, "Arial");  // a 9-pixel line
    const platform::HFONT old_font = platform::SelectObject(hdc, label);
    for (const Family& family : kFamilies) {
        for (int block = family.first; block < family.first + family.count; ++block) {
            if (SystemCurve(block)[shell::kCurveVisible] == 1.0f) {
                DrawCurve(hdc, w, h, block, family);
            }
        }
    }
    platform::SelectObject(hdc, old_font);
    platform::DeleteObject(label);
    platform::SetBkMode(hdc, platform::OPAQUE);
    platform::SetTextColor(hdc, platform::RGB(0, 0, 0));
    return 0;
}

}  // namespace solver
