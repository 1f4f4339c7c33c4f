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
    case 1: return kOrange;
    case 3:
    case 5: return kBlue;
    case 4: return kMagenta;
    default: return kGreen;
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

}  // namespace

double OutputMeterThreshold(int k) {
    BuildOutputThresholds();
    return k < 0 ? 0.0 : g_output_thresholds[k < kOutputThresholdCount ? k : kOutputThresholdCount - 1];
}

int InputMeterStep(double level) {
    int k = 0;
    for (int i = 1; i <= 33; ++i)
        if (level >= kInputMeterThresholds[i]) k = i;
    return k;
}

int OutputMeterStep(double level) {
    BuildOutputThresholds();
    int k = 0;
    for (int i = 1; i <= 44; ++i)
        if (level >= g_output_thresholds[i]) k = i;
    return k;
}

int DrawInputMeters(HWND window, const float* levels) {
    if (++g_input_calls >= 2) {
        Wipe(window);
        g_input_calls = 0;
    }
    float values[8];
    for (int i = 0; i < 8; ++i) values[i] = levels[i];
    if (values[7] == -1.0f) {
        Wipe(window);
        values[7] = 0.0f;
    }
    const HDC dc = GetDC(window);
    if (!dc) return 0;
    RECT rc{};
    GetClientRect(window, &rc);
    MoveToEx(dc, rc.left, 23, nullptr);
    LineTo(dc, rc.right, 23);
    for (int i = 0; i < 8; ++i) {
        const int x = rc.left + 4 + 8 * i;
        const int h = 5 * InputMeterStep(values[i]);
        Line(dc, x, rc.bottom - 2, x, rc.bottom - 7 - h, PenOf(InputBarPen(i)));
        if (values[i] >= kInputMeterThresholds[34])
            Line(dc, x, rc.bottom - 172, x, rc.bottom - 177, PenOf(kRed));
    }
    ReleaseDC(window, dc);
    return 0;
}

int DrawOutputMeters(HWND window, const float* levels) {
    BuildOutputThresholds();
    if (++g_output_calls >= 2) {
        Wipe(window);
        g_output_calls = 0;
    }
    float values[16];
    for (int i = 0; i < 16; ++i) values[i] = levels[i];
    if (values[15] == -1.0f) {
        Wipe(window);
        values[15] = 0.0f;
    }
    const HDC dc = GetDC(window);
    if (!dc) return 0;
    RECT rc{};
    GetClientRect(window, &rc);
    MoveToEx(dc, rc.left, 23, nullptr);
    LineTo(dc, rc.right, 23);
    for (int i = 0; i < 16; ++i) {
        const int x = rc.left + 4 + 8 * i;
        const int h = 4 * OutputMeterStep(values[i]);
        Line(dc, x, rc.bottom, x, rc.bottom - 7 - h, PenOf(OutputBarPen(i)));
        if (values[i] >= g_output_thresholds[45])
            Line(dc, x, rc.bottom - 177, x, rc.bottom - 184, PenOf(kRed));
    }
    ReleaseDC(window, dc);
    return 0;
}

}  // namespace engine
