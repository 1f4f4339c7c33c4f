#include "driverdata/HbtEditor.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "driverdata/HbtEditorPlot.h"
#include "driverdata/HbtInput.h"
#include "driverdata/HilbertBode.h"
#include "driverdata/Ids.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Help.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/DriverRecord.h"
#include "shell/FrameGlobals.h"
#include "shell/FrameWindows.h"
#include "shell/FrequencyGrid.h"
#include "shell/GdiObjects.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "shell/NumberText.h"
#include "shell/PlotFrame.h"
#include "shell/ScrollSteps.h"
#include "shell/StartupAllocation.h"

namespace driverdata {

// Start values from ResetHbtEditor, before main runs and on every reset.
std::int32_t HbtPlotWidth;
std::int32_t HbtPlotHeight;
std::int32_t ShowReferencePhase;
std::int32_t HbtDistancePosition;
std::int32_t HbtCursorBin;
float HbtCursorX;
std::int32_t HbtLeftDrag;
std::int32_t HbtRightDrag;
std::int32_t HbtLineStartBin;
std::int32_t HbtLineStopBin;
float HbtLineStartY;
float HbtLineStopY;

using platform::HDC;
using platform::HWND;
using platform::LPARAM;
using platform::WPARAM;

namespace {

constexpr int kPoints = shell::kGridPoints;
constexpr int kMostDistancePosition = 10000;
constexpr double kDegreesPerRadian = 57.288;

// The SPL with the straight line being drawn by the right button, shown while it moves; the
// driver's curve changes only when the button comes up on the plot.
float g_line_preview[kPoints];
bool g_preview_shown;
// The bin whose level the cursor mark sits on.
int g_marked_bin;

shell::DriverRecord& Driver() { return *shell::CurrentDriverRecord; }

HbtPlot CurrentPlot() { return HbtPlotOf(HbtPlotWidth, HbtPlotHeight); }

// A pixel from a plot value, kept within what a device context takes (marks are not kept to
// the plot area; a level far off it puts them off the window).
int Pixel(double v) {
    if (!(v > -30000.0)) return -30000;
    if (v > 30000.0) return 30000;
    return static_cast<int>(v);
}

// A zero-length line: the pen's own dot at (x, y).
void Mark(HDC hdc, platform::HPEN pen, int x, int y) {
    const platform::HPEN old = platform::SelectObject(hdc, pen);
    platform::MoveToEx(hdc, x, y, nullptr);
    platform::LineTo(hdc, x, y);
    platform::SelectObject(hdc, old);
}

void ShowBin(HWND window, const char* what, float level, int bin) {
    char text[160];
    std::snprintf(text, sizeof text, "%s  %s = %.2f %s, Freq = %.1f Hz, Bin = %d", kHbtEditorTitle,
                  what, static_cast<double>(level), "dB",
                  static_cast<double>(shell::FrequencyGrid[bin]), bin);
    platform::SetWindowText(window, text);
}

int ClampBin(int bin) { return bin < 0 ? 0 : bin > kPoints - 1 ? kPoints - 1 : bin; }

// Moves the cursor mark to bin b and sets the bin to the level under y.
void SetBinWithCursor(HDC hdc, const HbtPlot& plot, int b, int y) {
    float* spl = Driver().Spl;
    const int px = static_cast<int>(plot.PointX(b));
    if (static_cast<float>(px) != HbtCursorX) {
        const int old_bin = ClampBin(g_marked_bin);
        Mark(hdc, shell::MagentaPen4, Pixel(HbtCursorX),
             shell::ClampedCurveY(plot.LevelY(spl[old_bin]), plot.h));
        HbtCursorX = static_cast<float>(px);
    }
    Mark(hdc, shell::WhitePen6, Pixel(HbtCursorX), Pixel(plot.LevelY(spl[b])));
    spl[b] = plot.LevelAt(y);
    Mark(hdc, shell::BlackPen4, Pixel(HbtCursorX), Pixel(plot.LevelY(spl[b])));
    g_marked_bin = b;
}

// The straight line from the start bin to the stop bin (stop excluded: it holds the end level).
void FillLine(float* levels, int start, int stop) {
    const float slope = (levels[stop] - levels[start]) / static_cast<float>(stop - start);
    for (int u = start; u < stop; ++u)
        levels[u] = levels[start] + static_cast<float>(u - start) * slope;
}

// Takes a stale line preview off the screen.
void ErasePreview(HWND window) {
    if (!g_preview_shown) return;
    g_preview_shown = false;
    platform::InvalidateRect(window, nullptr, platform::TRUE);
}

void DrawLine(HWND window, HDC hdc, const HbtPlot& plot, int x, int y, bool commit) {
    float* levels = g_line_preview;
    if (commit) {
        levels = Driver().Spl;
    } else {
        std::memcpy(g_line_preview, Driver().Spl, sizeof g_line_preview);
    }
    const int stop = HbtLineStopBin;
    levels[stop] = plot.LevelAt(y);
    ShowBin(window, "Amplitude Stop", levels[stop], stop);
    HbtLineStopY = static_cast<float>(y);
    Mark(hdc, shell::MagentaPen4, x, y);
    FillLine(levels, HbtLineStartBin, stop);
    DrawHbtPlotFrame(hdc, plot.w, plot.h);
    DrawHbtLevelCurve(hdc, plot, levels, commit ? shell::MagentaPen4 : shell::RedPen2);
    g_preview_shown = !commit;
}

void MouseOn(HWND window, HDC hdc, platform::UINT message, int x, int y) {
    const HbtPlot plot = CurrentPlot();
    const bool inside = plot.Editable(x, y);
    switch (message) {
        case platform::WM_LBUTTONDOWN:
            if (!inside) break;
            HbtLeftDrag = 1;
            HbtRightDrag = 0;
            HbtCursorBin = plot.BinAt(x);
            SetBinWithCursor(hdc, plot, HbtCursorBin, y);
            break;
        case platform::WM_MOUSEMOVE:
            if (!inside) {
                HbtLeftDrag = HbtRightDrag = 0;
                ErasePreview(window);
            } else if (HbtLeftDrag == 1) {
                HbtCursorBin = plot.BinAt(x);
                SetBinWithCursor(hdc, plot, HbtCursorBin, y);
            } else if (HbtRightDrag == 1) {
                HbtLineStopBin = plot.BinAt(x);
                if (HbtLineStopBin > HbtLineStartBin) DrawLine(window, hdc, plot, x, y, false);
            }
            break;
        case platform::WM_LBUTTONUP:
            HbtLeftDrag = HbtRightDrag = 0;
            break;
        case platform::WM_RBUTTONDOWN: {
            if (!inside) break;
            HbtRightDrag = 1;
            HbtLeftDrag = 0;
            HbtLineStartBin = plot.BinAt(x);
            float& start = Driver().Spl[HbtLineStartBin];
            start = plot.LevelAt(y);
            ShowBin(window, "Amplitude Start", start, HbtLineStartBin);
            HbtLineStartY = static_cast<float>(y);
            Mark(hdc, shell::MagentaPen4, x, y);
            break;
        }
        case platform::WM_RBUTTONUP: {
            const bool drawing = HbtRightDrag == 1;
            HbtLeftDrag = HbtRightDrag = 0;
            HbtLineStopBin = plot.BinAt(x);
            if (drawing && inside && HbtLineStopBin > HbtLineStartBin) {
                DrawLine(window, hdc, plot, x, y, true);
            } else {
                ErasePreview(window);
            }
            break;
        }
        default:
            break;
    }
}

// ---- the dialog ----

struct TextField {
    int id;
    char* slot;
};

int FieldsOf(TextField* fields) {
    shell::DriverRecord& r = Driver();
    const TextField all[] = {
        {kHbtHighPassStop, r.HighPassStop}, {kHbtHighPassSlope, r.HighPassSlope},
        {kHbtLowPassStart, r.LowPassStart}, {kHbtLowPassSlope, r.LowPassSlope},
        {kHbtInputPower, r.InputPower},     {kHbtEfficiency, r.Efficiency}};
    for (int i = 0; i < 6; ++i) fields[i] = all[i];
    return 6;
}

void ShowDistance(HWND dialog) {
    const double d = Driver().Distance;
    char text[96];
    std::snprintf(text, sizeof text, "Dist = %.5f[m], Delay = %.5f[ms]", d, d / 344.0 * 1000.0);
    platform::SetDlgItemText(dialog, kHbtDistanceReadout, text);
}

void SetDistancePosition(HWND dialog, int position) {
    HbtDistancePosition = position;
    Driver().Distance = position == 0 ? 0.000001f : static_cast<float>(0.001 * position);
    platform::SetScrollPos(platform::GetDlgItem(dialog, kHbtDistanceScroll), platform::SB_CTL,
                           position, platform::TRUE);
    ShowDistance(dialog);
}

void InitDialog(HWND dialog) {
    shell::BuildExtendedFrequencyGrid();
    shell::DriverRecord& r = Driver();
    TextField fields[6];
    const int count = FieldsOf(fields);
    for (int i = 0; i < count; ++i) {
        shell::TerminateTextSlot(fields[i].slot, shell::kTextSlot);
        platform::SendDlgItemMessage(dialog, fields[i].id, platform::EM_LIMITTEXT,
                                     shell::kTextSlot - 1, 0);
    }
    // Each text is copied first: showing one edit's text reads it back into its field.
    char texts[6][shell::kTextSlot];
    for (int i = 0; i < count; ++i) std::memcpy(texts[i], fields[i].slot, shell::kTextSlot);
    for (int i = 0; i < count; ++i) platform::SetDlgItemText(dialog, fields[i].id, texts[i]);
    platform::CheckDlgButton(dialog, kHbtDistanceInPhase, r.DistanceInPhase == 1);
    platform::CheckDlgButton(dialog, kHbtDistanceInAmplitude, r.DistanceInAmplitude == 1);
    platform::CheckDlgButton(dialog, kHbtShowReferencePhase, ShowReferencePhase == 1);
    const HWND scroll = platform::GetDlgItem(dialog, kHbtDistanceScroll);
    platform::SetScrollRange(scroll, platform::SB_CTL, 0, kMostDistancePosition, platform::FALSE);
    const double metres = 1000.0 * r.Distance;
    const int position = !(metres > 0.0)                  ? 0
                         : metres > kMostDistancePosition ? kMostDistancePosition
                                                          : static_cast<int>(metres);
    HbtDistancePosition = position;
    platform::SetScrollPos(scroll, platform::SB_CTL, position, platform::TRUE);
    ShowDistance(dialog);
    r.CurveKind = 0;
}

void ReadField(HWND dialog, int id) {
    TextField fields[6];
    const int count = FieldsOf(fields);
    for (int i = 0; i < count; ++i) {
        if (fields[i].id != id) continue;
        platform::EnableWindow(platform::GetDlgItem(dialog, id), platform::TRUE);
        char text[shell::kTextSlot] = {};
        platform::GetDlgItemText(dialog, id, text, shell::kTextSlot);
        shell::CopyTextSlot(fields[i].slot, shell::kTextSlot, text);
    }
}

void InvalidateEditor() {
    if (shell::EditorChildWindow)
        platform::InvalidateRect(shell::EditorChildWindow, nullptr, platform::TRUE);
}

void Toggle(HWND dialog, int id, std::int32_t& flag) {
    flag = flag == 1 ? 0 : 1;
    platform::CheckDlgButton(dialog, id, flag);
}

void OpenHelp(HWND dialog) {
    platform::INT_PTR result = 0;
    if (shell::ProgramPath("HILBERT.CHM", shell::ScratchPath, sizeof shell::ScratchPath)) {
        result = platform::ShellExecute(dialog, "open", shell::ScratchPath, nullptr, nullptr,
                                        platform::SW_SHOWNORMAL);
    }
    if (result <= 32)
        platform::MessageBox(dialog, "HILBERT.CHM File", "QV MEssage", platform::MB_OK);
}

void Command(HWND dialog, int id) {
    switch (id) {
        case kHbtHighPassStop:
        case kHbtLowPassStart:
        case kHbtHighPassSlope:
        case kHbtLowPassSlope:
        case kHbtInputPower:
        case kHbtEfficiency:
            ReadField(dialog, id);
            break;
        case kHbtCalculate:
            if (HbtEfficiencyUsable()) CalculateHilbertBode();
            InvalidateEditor();
            break;
        case kHbtRefresh:
            if (shell::EditorChildWindow) {
                const HDC hdc = platform::GetDC(shell::EditorChildWindow);
                RedrawHbtCurves(hdc, HbtPlotWidth, HbtPlotHeight);
                platform::ReleaseDC(shell::EditorChildWindow, hdc);
            }
            break;
        case kHbtDistanceInPhase:
            Toggle(dialog, id, Driver().DistanceInPhase);
            break;
        case kHbtDistanceInAmplitude:
            Toggle(dialog, id, Driver().DistanceInAmplitude);
            break;
        case kHbtShowReferencePhase:
            Toggle(dialog, id, ShowReferencePhase);
            InvalidateEditor();
            break;
        case kHbtHelp:
            OpenHelp(dialog);
            break;
        case kHbtUseAsMikeCal:
            UseHbtAsCalibration(true);
            break;
        case kHbtUseAsPreampCal:
            UseHbtAsCalibration(false);
            break;
        case platform::IDCANCEL:
            platform::DestroyWindow(dialog);
            shell::TransferFunctionDialog = 0;
            break;
        default:
            break;
    }
}

void DistanceScroll(HWND dialog, WPARAM wParam) {
    const HWND scroll = platform::GetDlgItem(dialog, kHbtDistanceScroll);
    const int pos = shell::ScrolledPosition(platform::GetScrollPos(scroll, platform::SB_CTL),
                                            platform::LOWORD(wParam), platform::HIWORD(wParam), 0,
                                            kMostDistancePosition);
    SetDistancePosition(dialog, pos);
}

}  // namespace

int UseHbtAsCalibration(bool mike) {
    shell::DriverRecord& r = Driver();
    shell::CalibrationPoint* live =
        mike ? shell::MikeCalibrationCurve : shell::PreampCalibrationCurve;
    shell::CalibrationPoint* copy = mike ? r.MikeCalibration : r.PreampCalibration;
    const int entry = mike ? 25 : 27;
    shell::CurveRecord* levels = shell::MeasuredCurveTable[entry];
    shell::CurveRecord* phases = shell::MeasuredCurveTable[entry + 1];
    // The power is taken in double precision (a float square overflows from about 1e19 on), and
    // the curve replaces the calibration only when every level of it is one a driver file and
    // the MLS calculation can carry.
    static shell::CalibrationPoint curve[kPoints];
    for (int k = 0; k < kPoints; ++k) {
        const double re = r.HbtReal[k];
        const double im = r.HbtImag[k];
        const double db = 10.0 * std::log10(re * re + im * im + 1e-16);
        const double deg = std::atan2(im, re == 0.0 ? 1e-12 : re) * kDegreesPerRadian;
        if (!(db >= shell::kDriverLevelLowDb && db <= shell::kDriverLevelHighDb) ||
            !std::isfinite(deg)) {
            platform::MessageBox(shell::EditorChildWindow, kCalibrationOutOfRange, "QV Message",
                                 platform::MB_OK | platform::MB_ICONEXCLAMATION);
            return 1;
        }
        curve[k] = shell::CalibrationPoint{static_cast<float>(db), static_cast<float>(deg)};
    }
    for (int k = 0; k < kPoints; ++k) {
        if (live) live[k] = curve[k];
        copy[k] = curve[k];
        if (levels) levels->v[k] = curve[k].Db;
        if (phases) phases->v[k] = curve[k].Degrees;
    }
    return 0;
}

int HbtEditorKeyCursor(HWND window, WPARAM key) {
    const HbtPlot plot = CurrentPlot();
    int bin = ClampBin(HbtCursorBin);
    if (plot.Empty() || shell::CurrentDriverRecord == nullptr) return bin;
    float* spl = Driver().Spl;
    const HDC hdc = platform::GetDC(window);
    auto cursor_y = [&] { return shell::ClampedCurveY(plot.LevelY(spl[bin]), plot.h); };
    Mark(hdc, shell::MagentaPen4, Pixel(HbtCursorX), cursor_y());
    switch (key) {
        case platform::VK_LEFT:
        case platform::VK_RIGHT:
            bin = key == platform::VK_LEFT ? (bin == 0 ? kPoints - 1 : bin - 1)
                                           : (bin == kPoints - 1 ? 0 : bin + 1);
            HbtCursorX = static_cast<float>(plot.PointX(bin));
            break;
        case platform::VK_UP:
            Mark(hdc, shell::WhitePen6, Pixel(HbtCursorX), cursor_y());
            spl[bin] = static_cast<float>(spl[bin] + 5.0 / plot.d);
            if (spl[bin] > 124.75f) spl[bin] = 124.75f;
            break;
        case platform::VK_DOWN:
            Mark(hdc, shell::WhitePen6, Pixel(HbtCursorX), cursor_y());
            spl[bin] = static_cast<float>(spl[bin] - 5.0 / plot.d);
            if (spl[bin] < 35.0f) spl[bin] = 35.0f;
            break;
        default:
            break;
    }
    Mark(hdc, shell::BlackPen4, Pixel(HbtCursorX), cursor_y());
    platform::ReleaseDC(window, hdc);
    HbtCursorBin = bin;
    g_marked_bin = bin;
    return bin;
}

void HbtEditorMouse(HWND window, platform::UINT message, LPARAM lParam) {
    if (shell::CurrentDriverRecord == nullptr) return;
    const HDC hdc = platform::GetDC(window);
    MouseOn(window, hdc, message, platform::GET_X_LPARAM(lParam), platform::GET_Y_LPARAM(lParam));
    platform::ReleaseDC(window, hdc);
}

void ResetHbtEditor() {
    HbtPlotWidth = HbtPlotHeight = 0;
    ShowReferencePhase = 1;
    HbtDistancePosition = 0;
    HbtCursorBin = 0;
    HbtCursorX = 60.0f;
    HbtLeftDrag = HbtRightDrag = 0;
    HbtLineStartBin = HbtLineStopBin = 0;
    HbtLineStartY = HbtLineStopY = 0.0f;
    g_preview_shown = false;
    g_marked_bin = 0;
}

namespace {
[[maybe_unused]] const bool kEditorReady = (ResetHbtEditor(), true);
}  // namespace

platform::INT_PTR TransferFunctionDlgProc(HWND dialog, platform::UINT message, WPARAM wParam,
                                          LPARAM lParam) {
    if (shell::CurrentDriverRecord == nullptr) return platform::FALSE;
    switch (message) {
        case platform::WM_INITDIALOG:
            InitDialog(dialog);
            return platform::TRUE;
        case platform::WM_COMMAND:
            Command(dialog, platform::LOWORD(wParam));
            return platform::TRUE;
        case platform::WM_HSCROLL:
            if (lParam ==
                platform::HandleToParam(platform::GetDlgItem(dialog, kHbtDistanceScroll))) {
                DistanceScroll(dialog, wParam);
            }
            return platform::TRUE;
        case platform::WM_MOVE: {
            shell::WindowPlacement& slot = shell::WindowPlacements[shell::kSlotTransferFunction];
            slot.X = platform::GET_X_LPARAM(lParam) -
                     platform::GetSystemMetrics(platform::SM_CXEDGE) - 1;
            slot.Y = platform::GET_Y_LPARAM(lParam) -
                     platform::GetSystemMetrics(platform::SM_CYCAPTION) -
                     platform::GetSystemMetrics(platform::SM_CYEDGE) - 1;
            if (slot.X > shell::FrameClientWidth) slot.X = 0;
            if (slot.Y > shell::FrameClientHeight) slot.Y = 0;
            return platform::TRUE;
        }
        case platform::WM_RBUTTONDOWN:
            if (shell::FrameWindow) shell::CopyWindowToClipboard(shell::FrameWindow);
            return platform::TRUE;
        case platform::WM_DESTROY:
            if (shell::TransferFunctionDialog == dialog) shell::TransferFunctionDialog = 0;
            return platform::TRUE;
        default:
            return platform::FALSE;
    }
}

platform::LRESULT EditorChildWndProc(HWND window, platform::UINT message, WPARAM wParam,
                                     LPARAM lParam) {
    switch (message) {
        case platform::WM_SIZE:
            HbtPlotWidth = platform::LOWORD(static_cast<std::uintptr_t>(lParam));
            HbtPlotHeight = platform::HIWORD(static_cast<std::uintptr_t>(lParam));
            shell::NotePlacementSize(shell::WindowPlacements[shell::kSlotEditorChild], HbtPlotWidth,
                                     HbtPlotHeight);
            platform::SetWindowText(window, kHbtEditorTitle);
            break;
        case platform::WM_MOVE:
            shell::NotePlacementMove(shell::WindowPlacements[shell::kSlotEditorChild], lParam);
            platform::SetWindowText(window, kHbtEditorTitle);
            break;
        case platform::WM_DESTROY:
            if (shell::EditorChildWindow == window) shell::EditorChildWindow = 0;
            g_preview_shown = false;
            HbtLeftDrag = HbtRightDrag = 0;
            break;
        case platform::WM_PAINT: {
            platform::InvalidateRect(window, nullptr, platform::TRUE);
            platform::PAINTSTRUCT ps;
            const HDC hdc = platform::BeginPaint(window, &ps);
            PaintHbtEditor(hdc, HbtPlotWidth, HbtPlotHeight);
            platform::EndPaint(window, &ps);
            platform::SetWindowText(window, kHbtEditorTitle);
            g_preview_shown = false;
            return 0;
        }
        case platform::WM_KEYDOWN: {
            const int k = HbtEditorKeyCursor(window, wParam);
            if (k >= 0 && k < kPoints && shell::CurrentDriverRecord && !CurrentPlot().Empty()) {
                ShowBin(window, "Amplitude", Driver().Spl[k], k);
            } else {
                platform::SetWindowText(window, kHbtEditorTitle);
            }
            break;
        }
        case platform::WM_MOUSEMOVE: {
            HbtEditorMouse(window, message, lParam);
            const HbtPlot plot = CurrentPlot();
            const int x = platform::GET_X_LPARAM(lParam);
            const int y = platform::GET_Y_LPARAM(lParam);
            const int k = plot.Empty() ? -1 : static_cast<int>((x - 60) * 2000.0 / (plot.w - 80));
            if (k >= 0 && k < kPoints && y > 19 && y < plot.h - 20 && shell::CurrentDriverRecord) {
                ShowBin(window, "Amplitude", Driver().Spl[k], k);
            } else {
                platform::SetWindowText(window, kHbtEditorTitle);
            }
            return 0;
        }
        case platform::WM_LBUTTONDOWN:
        case platform::WM_LBUTTONUP:
        case platform::WM_RBUTTONDOWN:
        case platform::WM_RBUTTONUP:
            HbtEditorMouse(window, message, lParam);
            return 0;
        default:
            break;
    }
    return platform::DefMDIChildProc(window, message, wParam, lParam);
}

}  // namespace driverdata
