#include "engine/Meters.h"

#include <cmath>

#include "engine/Globals.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/GdiObjects.h"

namespace engine {

using namespace platform;

const double kInputMeterThresholds[kInputThresholdCount] = {
    21638,   25638,   30605,   36605,   43289,   52289,   61229,   72229,   86605,
    104605,  122496,  152496,  173262,  213262,  245067,  295067,  346629,  416629,
    490282,  590282,  693468,  853468,  980860,  1180860, 1387356, 1687356, 1962314,
    2312314, 2775551, 3315551, 3925814, 4792581, 5552778, 6752778, 7854000};

namespace {

enum MeterPen { kGreen = 0, kRed = 1, kBlue = 2, kOrange = 3, kMagenta = 4 };

// Where a full-scale input bar ends: 7 + 5 x 33 pixels above the client bottom.
constexpr int kZeroDbLineAboveBottom = 172;

double g_output_thresholds[kOutputThresholdCount];
bool g_output_thresholds_built = false;
int g_input_calls = 0;
int g_output_calls = 0;

void BuildOutputThresholds() {
    if (g_output_thresholds_built) return;
    for (int k = 0; k < kOutputThresholdCount; ++k)
        g_output_thresholds[k] = std::trunc(2010624000.0 * std::pow(0.85, 45 - k));
    g_output_thresholds_built = true;
}

// Wipes the control: it repaints itself empty at once.
void Wipe(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

HPEN PenOf(int which) { return shell::MeterPens[which]; }

int InputBarPen(int bar) {  // 0-based
    switch (bar) {
        case 1:
            return kOrange;
        case 3:
        case 5:
            return kBlue;
        case 4:
            return kMagenta;
        default:
            return kGreen;
    }
}

int OutputBarPen(int bar) {  // 0-based; output number bar + 1
    const int number = bar + 1;
    int pen = (number == 3 || number == 4) ? kOrange : kGreen;
    if (number == SubwooferOutputNumbers[0] || number == SubwooferOutputNumbers[1]) pen = kMagenta;
    for (int r : RearOutputNumbers)
        if (number == r) pen = kBlue;
    return pen;
}

void Line(HDC dc, int x0, int y0, int x1, int y1, HPEN pen) {
    const HPEN previous = SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    SelectObject(dc, previous);
}

// The highest step 1..last_step whose threshold `level` reaches, or 0.
int StepOf(const double* thresholds, int last_step, double level) {
    int k = 0;
    for (int i = 1; i <= last_step; ++i)
        if (level >= thresholds[i]) k = i;
    return k;
}

// One bank of meter bars: the input bank (8 bars) and the output bank (16 bars) differ only in
// these values.
struct MeterBank {
    int bars;                  // bars drawn, one per level; the last level -1 wipes the bank
    const double* thresholds;  // step thresholds, index 1..last_step; peak_step marks overload
    int last_step;
    int peak_step;
    int pixels_per_step;  // bar height per step
    int bar_base;         // bar foot, pixels above the client bottom
    int peak_low;         // overload mark, pixels above the client bottom
    int peak_high;
    int (*bar_pen)(int bar);  // MeterPen of bar 0..bars-1
};

// Draws one bank; every second call wipes the control first. `calls` counts the bank's calls.
int DrawMeterBank(HWND window, const float* levels, const MeterBank& bank, int& calls) {
    constexpr int kMostBars = 16;
    if (++calls >= 2) {
        Wipe(window);
        calls = 0;
    }
    float values[kMostBars];
    for (int i = 0; i < bank.bars; ++i) values[i] = levels[i];
    if (values[bank.bars - 1] == -1.0f) {
        Wipe(window);
        values[bank.bars - 1] = 0.0f;
    }
    const HDC dc = GetDC(window);
    if (!dc) return 0;
    RECT rc{};
    GetClientRect(window, &rc);
    // The 0 dB line stands where a full-scale input bar ends, counted from the bottom as the
    // bars are: 14 pixels below the top of the player's meters, 186 pixels tall.
    MoveToEx(dc, rc.left, rc.bottom - kZeroDbLineAboveBottom, nullptr);
    LineTo(dc, rc.right, rc.bottom - kZeroDbLineAboveBottom);
    for (int i = 0; i < bank.bars; ++i) {
        const int x = rc.left + 4 + 8 * i;
        const int h = bank.pixels_per_step * StepOf(bank.thresholds, bank.last_step, values[i]);
        Line(dc, x, rc.bottom - bank.bar_base, x, rc.bottom - 7 - h, PenOf(bank.bar_pen(i)));
        if (values[i] >= bank.thresholds[bank.peak_step])
            Line(dc, x, rc.bottom - bank.peak_low, x, rc.bottom - bank.peak_high, PenOf(kRed));
    }
    ReleaseDC(window, dc);
    return 0;
}

}  // namespace

double OutputMeterThreshold(int k) {
    BuildOutputThresholds();
    return k < 0 ? 0.0
                 : g_output_thresholds[k < kOutputThresholdCount ? k : kOutputThresholdCount - 1];
}

int InputMeterStep(double level) { return StepOf(kInputMeterThresholds, 33, level); }

int OutputMeterStep(double level) {
    BuildOutputThresholds();
    return StepOf(g_output_thresholds, 44, level);
}

int DrawInputMeters(HWND window, const float* levels) {
    static constexpr MeterBank kInputBank = {8,   kInputMeterThresholds, 33, 34, 5, 2, 172,
                                             177, &InputBarPen};
    return DrawMeterBank(window, levels, kInputBank, g_input_calls);
}

int DrawOutputMeters(HWND window, const float* levels) {
    BuildOutputThresholds();
    static constexpr MeterBank kOutputBank = {16,  g_output_thresholds, 44, 45, 4, 0, 177,
                                              184, &OutputBarPen};
    return DrawMeterBank(window, levels, kOutputBank, g_output_calls);
}

}  // namespace engine
