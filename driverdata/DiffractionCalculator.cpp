#include "driverdata/DiffractionCalculator.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstring>

#include "driverdata/BaffleEdges.h"
#include "driverdata/DiffractionDrawing.h"
#include "driverdata/EdgeDiffraction.h"
#include "driverdata/Ids.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/BaffleRecord.h"
#include "shell/DriverRecord.h"
#include "shell/FrameGlobals.h"
#include "shell/FrameWindows.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/Printout.h"
#include "shell/ScrollSteps.h"
#include "shell/StartupAllocation.h"

namespace driverdata {

using platform::HWND;
using platform::LPARAM;
using platform::WPARAM;

namespace {

constexpr const char* kChildTitle = "Enclosure Diffraction Modeling";
constexpr double kSqrtHalf = 0.7071;
constexpr int kAddMode = 1, kInsertMode = 2, kDeleteMode = 3, kMoveMode = 8;
constexpr int kMostNodes = 63;

// What the left button holds in Move mode (-1: nothing).
struct Grab {
    int node = -1;
    int driver = -1;
    int microphone = -1;
};
Grab g_grab;

shell::BaffleRecord& B() { return *shell::Baffle; }
shell::DriverRecord& Driver() { return *shell::CurrentDriverRecord; }

void Message(HWND owner, const char* text) {
    platform::MessageBox(owner, text, "QV Message", platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

template <class... Args>
void SetTextF(HWND dialog, int id, const char* format, Args... args) {
    char text[160];
    std::snprintf(text, sizeof text, format, args...);
    if (id == 0)
        platform::SetWindowText(dialog, text);
    else
        platform::SetDlgItemText(dialog, id, text);
}

// The plot window's title during a sweep, set at each of the 2000 frequencies: the text
// "%s  Frequency = %.1f Hz, SPL = %.2f" gives, with the numbers written by FormatNumberText
// (rounded exactly as printf rounds them) at a fraction of printf's cost.
void SetSweepTitle(HWND child, double frequency, double level) {
    char hz[32], db[32];
    if (!shell::FormatNumberText(hz, sizeof hz, frequency, 1) ||
        !shell::FormatNumberText(db, sizeof db, level, 2)) {
        SetTextF(child, 0, "%s  Frequency = %.1f Hz, SPL = %.2f", kChildTitle, frequency, level);
        return;
    }
    char text[160];
    char* out = text;
    const char* const parts[] = {kChildTitle, "  Frequency = ", hz, " Hz, SPL = ", db};
    for (const char* part : parts) {
        const std::size_t length = std::strlen(part);
        std::memcpy(out, part, length);
        out += length;
    }
    *out = '\0';
    platform::SetWindowText(child, text);
}

double SlotNumber(const char* slot, std::size_t capacity, double fallback) {
    double value = 0.0;
    return shell::ReadTypedSlot(slot, capacity, &value) ? value : fallback;
}

float Raster() { return static_cast<float>(shell::BaffleRasterCm(B())); }

double EditNumber(HWND dialog, int id, int most_chars, bool* ok) {
    char text[32] = {};
    platform::GetDlgItemText(dialog, id, text, std::min<int>(most_chars + 1, sizeof text));
    double value = 0.0;
    *ok = shell::ReadTypedNumber(text, &value);
    return value;
}

void ShowMicrophone(HWND dialog) {
    const float r = Raster();
    const shell::BafflePoint& m = B().Points[shell::kBaffleMicrophone];
    SetTextF(dialog, kDiffMicPosition, "MK X=%.1f,  Y=%.1f [cm]", r * m.x, r * m.y);
}

void ShowDriver(HWND dialog, int d, const char* format) {
    const float r = Raster();
    SetTextF(dialog, d == 0 ? kDiffDriver1Text : kDiffDriver2Text, format, r * B().Points[d].x,
             r * B().Points[d].y);
}

void SetActiveDrivers(int mode) {
    static constexpr int kActive[3][4] = {{1, 0, 0, 0}, {1, 1, 0, 0}, {1, 1, 1, 1}};
    const int row = mode == 0 ? 0 : mode == 3 ? 2 : 1;
    for (int i = 0; i < 4; ++i) B().Points[i].flag = kActive[row][i];
}

HWND Canvas(HWND dialog) { return platform::GetDlgItem(dialog, kDiffCanvas); }

void RedrawCanvas(HWND dialog) {
    ClearBaffleCanvas(Canvas(dialog));
    DrawBaffleScene(Canvas(dialog));
}

void SetEditMode(HWND dialog, int mode) {
    B().EditMode = mode;
    const struct {
        int mode;
        int id;
        const char* title;
    } kModes[] = {{kAddMode, kDiffModeAdd, "ADDING NODE"},
                  {kInsertMode, kDiffModeInsert, "INSERTING NODE"},
                  {kDeleteMode, kDiffModeDelete, "DELETING NODE"},
                  {kMoveMode, kDiffModeMove, "MOVING NODE"}};
    for (const auto& m : kModes) {
        platform::CheckDlgButton(dialog, m.id, m.mode == mode ? 1 : 0);
        if (m.mode == mode) platform::SetWindowText(dialog, m.title);
    }
}

void InitDialog(HWND dialog) {
    shell::BaffleRecord& b = B();
    b.EditMode = kMoveMode;
    shell::TerminateTextSlot(b.RasterText);
    platform::SetDlgItemText(dialog, kDiffRasterEdit, b.RasterText);
    const HWND scroll = platform::GetDlgItem(dialog, kDiffMicScroll);
    const int distance = static_cast<int>(std::clamp(Driver().MicDistance, 1.0f, 2000.0f));
    platform::SetScrollRange(scroll, platform::SB_CTL, 1, 2000, platform::FALSE);
    platform::SetScrollPos(scroll, platform::SB_CTL, distance, platform::TRUE);
    SetTextF(dialog, kDiffMicReadout, "%.2fm", 0.01 * distance);
    shell::TerminateTextSlot(Driver().Diameter);
    platform::SetDlgItemText(dialog, kDiffDiameter, Driver().Diameter);
    platform::CheckDlgButton(dialog, kDiffDirectivity, DiffractionDirectivity == 1);
    platform::CheckDlgButton(dialog, kDiffShowPhase, DiffractionShowPhase == 1);
    platform::CheckDlgButton(dialog, kDiffDipole, DiffractionDipole == 1);
    const HWND list = platform::GetDlgItem(dialog, kDiffPistonList);
    platform::SendMessage(list, platform::LB_RESETCONTENT, 0, 0);
    for (int i = 1; i <= 13; ++i) {
        char text[4];
        std::snprintf(text, sizeof text, "%d", i);
        platform::SendMessage(list, platform::LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    DiffractionListIndex = std::clamp(DiffractionListIndex, 0, 12);
    platform::SendMessage(list, platform::LB_SETCURSEL, static_cast<WPARAM>(DiffractionListIndex),
                          0);
    platform::CheckRadioButton(dialog, kDiffSquare, kDiffRound,
                               kDiffSquare + std::clamp(EdgeProfile, 0, 2));
    SetTextF(dialog, kDiffBevelA, "%.2f", EdgeBevelA);
    SetTextF(dialog, kDiffBevelB, "%.2f", EdgeBevelB);
    SetTextF(dialog, kDiffRoundR, "%.2f", EdgeRoundRadius);
    ShowMicrophone(dialog);
    const int mode = Driver().DriversMode;
    // Every mode with a second driver shows the tick: mode 1, and modes 2 and 3, which only a
    // driver file brings; a click from any of them goes back to one driver.
    platform::CheckDlgButton(dialog, kDiffTwoDrivers, mode >= 1 && mode <= 3);
    SetActiveDrivers(mode);
    if (b.Points[0].flag) ShowDriver(dialog, 0, "Driver 1 X=%.1f, Y=%.1f [cm]");
    if (b.Points[1].flag) ShowDriver(dialog, 1, "Driver 2 X=%.1f, Y=%.1f");
    SetEditMode(dialog, kMoveMode);
    SetTextF(dialog, kDiffInsertIndex, "%d", b.InsertAfter);
    // The canvas maps client pixels to the raster one to one: 4 pixels a unit from (4, 468).
    platform::MoveWindow(Canvas(dialog), 0, 0, 414, 474, platform::TRUE);
}

void ToggleDrivers(HWND dialog) {
    shell::BaffleRecord& b = B();
    int& mode = Driver().DriversMode;
    mode = mode == 0 ? 1 : 0;
    platform::CheckDlgButton(dialog, kDiffTwoDrivers, mode);
    b.Points[0].x = 50.0f;
    b.Points[0].y = 55.0f;
    if (mode == 0) {
        platform::SetWindowText(dialog, "PLACING DRIVER 1");
        SetActiveDrivers(0);
        ShowDriver(dialog, 0, "Driver 1 X=%.1f, Y=%.1f [cm]");
        platform::SetDlgItemText(dialog, kDiffDriver2Text, "   ");
    } else {
        platform::SetWindowText(dialog, "PLACING DRIVER 1 and 2");
        SetActiveDrivers(1);
        b.Points[1].x = 45.0f;
        b.Points[1].y = 50.0f;
        ShowDriver(dialog, 0, "Driver 1 X=%.1f, Y=%.1f [cm]");
        ShowDriver(dialog, 1, "Driver 2 X=%.1f, Y=%.1f [cm]");
    }
    SetEditMode(dialog, kMoveMode);
    RedrawCanvas(dialog);
}

void ClearCurves() {
    for (shell::CurveRecord* curve : shell::DiffractionCurveTable)
        if (curve) curve->v[shell::kCurveVisible] = 0.0f;
    DiffractionSplSlot = DiffractionPhaseSlot = DiffractionPowerSlot = 0;
    if (shell::DiffractionChildWindow)
        platform::InvalidateRect(shell::DiffractionChildWindow, nullptr, platform::TRUE);
}

void ReadEdgeSetting(HWND dialog, int id, float* setting) {
    bool ok = false;
    const double value = EditNumber(dialog, id, 6, &ok);
    if (ok && std::fabs(value) < 1.0e4) *setting = static_cast<float>(value);
}

void Command(HWND dialog, int id) {
    switch (id) {
        case kDiffModeAdd:
            SetEditMode(dialog, kAddMode);
            break;
        case kDiffModeInsert:
            SetEditMode(dialog, kInsertMode);
            break;
        case kDiffModeDelete:
            SetEditMode(dialog, kDeleteMode);
            break;
        case kDiffModeMove:
            SetEditMode(dialog, kMoveMode);
            break;
        case kDiffSquare:
        case kDiffBevel:
        case kDiffRound:
            EdgeProfile = id - kDiffSquare;
            platform::CheckRadioButton(dialog, kDiffSquare, kDiffRound, id);
            DrawEdgeProfileSketch(platform::GetDlgItem(dialog, kDiffSketch));
            break;
        case kDiffBevelA:
            ReadEdgeSetting(dialog, id, &EdgeBevelA);
            break;
        case kDiffBevelB:
            ReadEdgeSetting(dialog, id, &EdgeBevelB);
            break;
        case kDiffRoundR:
            ReadEdgeSetting(dialog, id, &EdgeRoundRadius);
            break;
        case kDiffDirectivity:
            DiffractionDirectivity = DiffractionDirectivity == 1 ? 0 : 1;
            platform::CheckDlgButton(dialog, id, DiffractionDirectivity);
            RedrawCanvas(dialog);
            break;
        case kDiffDipole:
            DiffractionDipole = DiffractionDipole == 1 ? 0 : 1;
            platform::CheckDlgButton(dialog, id, DiffractionDipole);
            break;
        case kDiffShowPhase:
            DiffractionShowPhase = DiffractionShowPhase == 1 ? 0 : 1;
            platform::CheckDlgButton(dialog, id, DiffractionShowPhase);
            if (shell::DiffractionChildWindow)
                platform::InvalidateRect(shell::DiffractionChildWindow, nullptr, platform::TRUE);
            break;
        case kDiffPistonList: {
            const auto index = static_cast<int>(
                platform::SendDlgItemMessage(dialog, id, platform::LB_GETCURSEL, 0, 0));
            if (index >= 0 && index <= 12) DiffractionListIndex = index;
            RedrawCanvas(dialog);
            break;
        }
        case kDiffInsertIndex: {
            bool ok = false;
            const double value = EditNumber(dialog, id, 8, &ok);
            // A negative or unreadable index is kept out: Insert then says it cannot insert.
            B().InsertAfter = ok && value >= 0.0 && value < 64.0 ? static_cast<int>(value) : -1;
            break;
        }
        case kDiffRasterEdit: {
            char text[16] = {};
            platform::GetDlgItemText(dialog, id, text, 11);
            double value = 0.0;
            if (!shell::ReadTypedNumber(text, &value) || value <= 0.0) {
                shell::CopyTextSlot(B().RasterText, "0.01");
                break;
            }
            // Beyond the raster's bounds the record keeps the bound it reached.
            if (value < shell::kSmallestRasterCm) std::strcpy(text, "0.01");
            if (value > shell::kLargestRasterCm) std::strcpy(text, "1000");
            shell::CopyTextSlot(B().RasterText, text);
            ShowMicrophone(dialog);
            if (B().Points[0].flag) ShowDriver(dialog, 0, "Location X=%.1f, Y=%.1f [cm]");
            break;
        }
        case kDiffDiameter: {
            char text[16] = {};
            platform::GetDlgItemText(dialog, id, text, 11);
            shell::CopyTextSlot(Driver().Diameter, text);
            break;
        }
        case kDiffTwoDrivers:
            ToggleDrivers(dialog);
            break;
        case kDiffExample1:
            LoadDiffractionExample1(dialog);
            break;
        case kDiffExample2:
            LoadDiffractionExample2(dialog);
            break;
        case kDiffClear:
            ClearCurves();
            break;
        case kDiffPlot:
            RunDiffractionPlot(dialog);
            break;
        case kDiffPrint:
            if (shell::FrameWindow) shell::PrintWindowImage(shell::FrameWindow, dialog);
            break;
        case platform::IDCANCEL:
            platform::DestroyWindow(dialog);
            break;
        default:
            break;
    }
}

void MicScroll(HWND dialog, WPARAM wParam) {
    const HWND scroll = platform::GetDlgItem(dialog, kDiffMicScroll);
    const int pos =
        shell::ScrolledPosition(platform::GetScrollPos(scroll, platform::SB_CTL),
                                platform::LOWORD(wParam), platform::HIWORD(wParam), 1, 2000);
    platform::SetScrollPos(scroll, platform::SB_CTL, pos, platform::TRUE);
    Driver().MicDistance = static_cast<float>(pos);
    SetTextF(dialog, kDiffMicReadout, "%.2fm", 0.01 * pos);
}

// The raster node under a client position, when it lies on the canvas.
bool RasterAt(LPARAM lParam, int* u, int* v) {
    const int x = static_cast<short>(platform::LOWORD(static_cast<std::uintptr_t>(lParam)));
    const int y = static_cast<short>(platform::HIWORD(static_cast<std::uintptr_t>(lParam)));
    if (!(x > 1 && x < 412 && y > 1 && y < 471)) return false;
    *u = (x - 4) / 4;
    *v = 116 - (y - 4) / 4;
    return true;
}

void AddNode(HWND dialog, int u, int v) {
    shell::BaffleRecord& b = B();
    const float r = Raster();
    SetTextF(dialog, 0, "PLACING NODE AT X=%.2f, Y=%.2f", r * u, r * v);
    const int count = std::clamp(b.NodeCount, 0, kMostNodes);
    for (int i = 1; i < count; ++i) {
        if (b.Nodes[i].x == u && b.Nodes[i].y == v) {
            Message(shell::FrameWindow, "SLPG Closed Incorrectly");
            return;
        }
    }
    if (count > 0 && b.Nodes[0].x == u && b.Nodes[0].y == v) {
        b.ClosedFlag = 2;
        RedrawCanvas(dialog);
        Message(shell::FrameWindow, "SLPG Closed");
        return;
    }
    if (count >= kMostNodes) {
        Message(shell::FrameWindow, "SLPG Size Exceeded");
        return;
    }
    b.Nodes[count] = shell::BaffleNode{u, v, 0, 0.0f, 0.0f, 0};
    b.NodeCount = count + 1;
    RedrawCanvas(dialog);
}

void InsertNode(HWND dialog, int u, int v) {
    shell::BaffleRecord& b = B();
    const float r = Raster();
    SetTextF(dialog, 0, "INSERTING ENCLOSURE NODE AT X=%.2f Y=%.2f", r * u, r * v);
    const int count = std::clamp(b.NodeCount, 0, kMostNodes);
    if (b.InsertAfter < 0 || b.InsertAfter > count - 1) {
        Message(shell::FrameWindow,
                "Unable To Execute\nRequested Insertion Point\nIs Beyond The End-Point");
        return;
    }
    if (count >= kMostNodes) {
        Message(shell::FrameWindow, "SLPG Size Exceeded");
        return;
    }
    for (int i = count; i > b.InsertAfter + 1; --i) b.Nodes[i] = b.Nodes[i - 1];
    b.Nodes[b.InsertAfter + 1] = shell::BaffleNode{u, v, 0, 0.0f, 0.0f, 0};
    b.NodeCount = count + 1;
    RedrawCanvas(dialog);
}

void DeleteNode(HWND dialog, int u, int v) {
    shell::BaffleRecord& b = B();
    const float r = Raster();
    const int count = std::clamp(b.NodeCount, 0, kMostNodes);
    for (int i = 0; i < count; ++i) {
        if (b.Nodes[i].x != u || b.Nodes[i].y != v) continue;
        SetTextF(dialog, 0, "DELETING ENCLOSURE NODE AT X=%.2f, Y=%.2f", r * u, r * v);
        for (int j = i; j + 1 < count; ++j) b.Nodes[j] = b.Nodes[j + 1];
        b.NodeCount = count - 1;
        if (b.NodeCount < 2) b.ClosedFlag = 0;
        break;
    }
    RedrawCanvas(dialog);
}

// The snapped position into whatever Move mode holds.
void PlaceGrabbed(HWND dialog, int u, int v) {
    shell::BaffleRecord& b = B();
    const float r = Raster();
    if (g_grab.node >= 0) {
        b.Nodes[g_grab.node].x = u;
        b.Nodes[g_grab.node].y = v;
        SetTextF(dialog, 0, "MOVING ENCLOSURE NODE AT X=%.2f, Y=%.2f", r * u, r * v);
    } else if (g_grab.driver >= 0) {
        const double diameter = SlotNumber(Driver().Diameter, shell::kTextSlot, 0.0);
        const double reach = r > 0.0f ? 0.55 * diameter / r : 0.0;
        shell::BafflePoint& p = b.Points[g_grab.driver];
        if (2.0 < u - reach && u + reach < 100.0) p.x = static_cast<float>(u);
        if (2.0 < v - reach && v + reach < 115.0) p.y = static_cast<float>(v);
        SetTextF(dialog, 0, "MOVING DRIVER NODE AT X=%.2f, Y=%.2f", r * u, r * v);
        if (g_grab.driver == 0) ShowDriver(dialog, 0, "Location X=%.1f, Y=%.1f [cm]");
    } else if (g_grab.microphone >= 0) {
        b.Points[shell::kBaffleMicrophone].x = static_cast<float>(u);
        b.Points[shell::kBaffleMicrophone].y = static_cast<float>(v);
        ShowMicrophone(dialog);
        SetTextF(dialog, 0, "MOVING MICROPHONE NODE AT X=%.2f, Y=%.2f", r * u, r * v);
    } else {
        SetTextF(dialog, 0, "JUST MOVING AROUND AT X=%.2f, Y=%.2f", r * u, r * v);
        return;
    }
    RedrawCanvas(dialog);
}

void GrabNearest(HWND dialog, int u, int v) {
    const shell::BaffleRecord& b = B();
    const shell::BafflePoint at{static_cast<float>(u), static_cast<float>(v), 0.0f, 0};
    float node_best = 1000000.0f, driver_best = 1000000.0f;
    int node = -1, driver = -1;
    const int count = std::clamp(b.NodeCount, 0, kMostNodes);
    for (int i = 0; i < count; ++i) {
        const shell::BafflePoint p{static_cast<float>(b.Nodes[i].x),
                                   static_cast<float>(b.Nodes[i].y), 0.0f, 0};
        const float d = PointDistance2D(at, p);
        if (d < node_best) node_best = d, node = i;
    }
    for (int i = 0; i < 4; ++i) {
        const float d = PointDistance2D(at, b.Points[i]);
        if (d < driver_best) driver_best = d, driver = i;
    }
    const float mic_best = PointDistance2D(at, b.Points[shell::kBaffleMicrophone]);
    g_grab = Grab{};
    float gx = 0.0f, gy = 0.0f;
    int shown = 1;
    if (node >= 0 && node_best <= driver_best && node_best <= mic_best) {
        g_grab.node = node;
        gx = static_cast<float>(b.Nodes[node].x), gy = static_cast<float>(b.Nodes[node].y);
        shown = node;
    } else if (driver >= 0 && driver_best <= mic_best) {
        g_grab.driver = driver;
        gx = b.Points[driver].x, gy = b.Points[driver].y;
        shown = driver;
    } else {
        g_grab.microphone = 1;
        gx = b.Points[shell::kBaffleMicrophone].x, gy = b.Points[shell::kBaffleMicrophone].y;
    }
    if (std::fabs(gx) < 1e5f && std::fabs(gy) < 1e5f) {
        platform::POINT cursor{static_cast<int>(4.0f * gx + 6.0f),
                               static_cast<int>(4.0f * (116.0f - gy) + 6.0f)};
        platform::ClientToScreen(dialog, &cursor);
        platform::SetCursorPos(cursor.x, cursor.y);
    }
    const float r = Raster();
    SetTextF(dialog, 0, "ClOSEST DISTANCE IS N %d  X=%.2f, Y=%.2f", shown, r * gx, r * gy);
}

void Mouse(HWND dialog, platform::UINT message, LPARAM lParam) {
    int u = 0, v = 0;
    if (!RasterAt(lParam, &u, &v)) return;
    const int mode = B().EditMode;
    const float r = Raster();
    switch (message) {
        case platform::WM_LBUTTONDOWN:
            if (mode == kAddMode) AddNode(dialog, u, v);
            if (mode == kInsertMode) InsertNode(dialog, u, v);
            if (mode == kDeleteMode) DeleteNode(dialog, u, v);
            if (mode == kMoveMode) GrabNearest(dialog, u, v);
            break;
        case platform::WM_MOUSEMOVE:
            if (mode == kMoveMode) {
                PlaceGrabbed(dialog, u, v);
            } else if (mode == kAddMode || mode == kInsertMode || mode == kDeleteMode) {
                const char* format = mode == kAddMode ? "PLACING NODE AT X=%.2f, Y=%.2f, Ns=%d"
                                     : mode == kInsertMode
                                         ? "INSERTING NODE AT X=%.2f, Y=%.2f, Ns=%d"
                                         : "DELETING NODE AT X=%.2f, Y=%.2f, Ns=%d";
                SetTextF(dialog, 0, format, r * u, r * v, shell::BaffleSideCount);
            }
            break;
        case platform::WM_LBUTTONUP:
            if (mode == kMoveMode &&
                (g_grab.node >= 0 || g_grab.driver >= 0 || g_grab.microphone >= 0)) {
                PlaceGrabbed(dialog, u, v);
            }
            g_grab = Grab{};
            break;
        default:
            break;
    }
}

// Checks a driver's position against the enclosure (all in the record's units).
bool DriverInside(const shell::BafflePoint& p, double width, double height) {
    return !(p.x < 2.5f || p.y < 2.5f || p.x > width - 2.5 || p.y > height - 2.5);
}

double Spacing(const shell::BafflePoint& a, const shell::BafflePoint& b) {
    const double dx = a.x - b.x, dy = a.y - b.y;
    return std::sqrt(0.0001 * (dx * dx + dy * dy));
}

// The mean pressure of one driver's piston samples at frequency k; `first_sample` numbers its
// samples among all drivers' samples of the sweep.
std::complex<double> DriverMean(const shell::BafflePoint& p, const PistonOffset* offsets, int count,
                                int k, int first_sample) {
    DiffractionAccumulator = DiffractionSum{0.0f, 0.0f};
    for (int i = 0; i < count; ++i)
        EdgeDiffractionAtFrequency(p.x + offsets[i].x, p.y + offsets[i].y, k, first_sample + i);
    return {DiffractionAccumulator.re / count, DiffractionAccumulator.im / count};
}

void PenOfRow(shell::CurveRecord* curve, int row) {
    const shell::ColourEntry& c = shell::CurveColourScheme[row];
    curve->v[shell::kCurveVisible] = 1.0f;
    curve->v[shell::kCurvePenRed] = static_cast<float>(c.Red);
    curve->v[shell::kCurvePenGreen] = static_cast<float>(c.Green);
    curve->v[shell::kCurvePenBlue] = static_cast<float>(c.Blue);
    curve->v[shell::kCurvePenWidth] = static_cast<float>(c.Thickness);
    curve->v[shell::kCurvePenStyle] = static_cast<float>(c.Type);
}

int NextSlot(std::int32_t& slot) {
    const int used = std::clamp<int>(slot, 0, 4);
    slot = used == 4 ? 0 : used + 1;
    return used;
}

}  // namespace

void LoadDiffractionExample1(HWND dialog) {
    shell::BaffleRecord& b = B();
    for (auto& node : b.Nodes) node = shell::BaffleNode{};
    static constexpr int kSquare[4][2] = {{0, 0}, {80, 0}, {80, 80}, {0, 80}};
    for (int i = 0; i < 4; ++i)
        b.Nodes[i] = shell::BaffleNode{kSquare[i][0], kSquare[i][1], 0, 0, 0, 0};
    b.NodeCount = 4;
    b.ClosedFlag = 2;
    shell::CopyTextSlot(b.RasterText, "1.0");
    b.InsertAfter = 1;
    b.EditMode = kAddMode;
    for (int i = 1; i < 4; ++i) b.Points[i] = shell::BafflePoint{};
    b.Points[0] = shell::BafflePoint{40.0f, 40.0f, 0.0f, 1};
    b.Points[shell::kBaffleMicrophone] = shell::BafflePoint{40.0f, 40.0f, 0.0f, 0};
    Driver().DriversMode = 0;
    shell::EdgeElementCount = shell::BaffleSideCount = 0;
    if (!dialog) return;
    platform::CheckDlgButton(dialog, kDiffTwoDrivers, 0);
    SetEditMode(dialog, kAddMode);
    ShowDriver(dialog, 0, "Driver 1 X=%.1f, Y=%.1f [cm]");
    ShowMicrophone(dialog);
    RedrawCanvas(dialog);
}

void LoadDiffractionExample2(HWND dialog) {
    shell::BaffleRecord& b = B();
    for (auto& node : b.Nodes) node = shell::BaffleNode{};
    b.NodeCount = 0;
    b.ClosedFlag = 0;
    shell::CopyTextSlot(b.RasterText, "1.0");
    b.InsertAfter = 1;
    b.EditMode = kAddMode;
    shell::EdgeElementCount = shell::BaffleSideCount = 0;
    Driver().DriversMode = 0;
    b.Points[shell::kBaffleMicrophone] = shell::BafflePoint{40.0f, 40.0f, 0.0f, 0};
    b.Points[0] = shell::BafflePoint{40.0f, 40.0f, 0.0f, 1};
    b.Points[1] = shell::BafflePoint{45.0f, 50.0f, 0.0f, 0};
    b.Points[2] = shell::BafflePoint{40.0f, 45.0f, 0.0f, 0};
    b.Points[3] = shell::BafflePoint{35.0f, 40.0f, 0.0f, 0};
    if (!dialog) return;
    platform::CheckDlgButton(dialog, kDiffTwoDrivers, 0);
    ShowMicrophone(dialog);
    ShowDriver(dialog, 0, "Driver 1 X=%.1f, Y=%.1f [cm]");
    RedrawCanvas(dialog);
}

int RunDiffractionPlot(HWND dialog) {
    if (!shell::Baffle || !shell::CurrentDriverRecord) return 1;
    if (BuildBaffleEdges() != 0) return 1;
    const HWND canvas = Canvas(dialog);
    ClearBaffleCanvas(canvas);
    DrawBaffleEdgeElements(canvas);
    BuildDiffractionFrequencyGrid(shell::SplPlotWidth);

    const double radius = 0.5 * SlotNumber(Driver().Diameter, shell::kTextSlot, 0.0);
    // A radius too small to sample (or not a number) would give no piston points at all.
    if (!(radius >= kSmallestPistonRadius && radius < 1.0e4)) {
        Message(dialog, "Driver's Dia Data Error");
        return 1;
    }
    const double width = SlotNumber(Driver().EnclosureWidth, shell::kTextSlot, 0.0);
    const double height = SlotNumber(Driver().EnclosureHeight, shell::kTextSlot, 0.0);
    if (!(width >= 5.0 && width <= 200.0 && height >= 5.0 && height <= 200.0)) {
        Message(dialog, "Enclosure Geometry Data Error");
        return 1;
    }
    const shell::BaffleRecord& b = B();
    const int mode = Driver().DriversMode;
    double spacing = 0.0;
    if (mode == 0) {
        if (!DriverInside(b.Points[0], width, height)) {
            Message(dialog, "Driver 1 Geometry Data Error");
            return 1;
        }
    } else {
        spacing = Spacing(b.Points[0], b.Points[1]);
        const bool apart =
            mode == 3 ? spacing > 0.0 && Spacing(b.Points[0], b.Points[2]) > 0.0 : spacing > 0.0;
        if (!apart) {
            Message(dialog, "Driver's Distance Data Error");
            return 1;
        }
        if (!DriverInside(b.Points[0], width, height)) {
            Message(dialog, "Driver 1 Geometry Data Error");
            return 1;
        }
        if (!DriverInside(b.Points[1], width, height)) {
            Message(dialog, "Driver 2 Geometry Data Error");
            return 1;
        }
    }
    DrawBaffleScene(canvas);

    static PistonOffset offsets[kMaxPistonSamples];
    const int n = PistonSampleOffsets(static_cast<float>(radius), DiffractionListIndex, offsets);
    if (n == 0) return 1;
    shell::CurveRecord* spl =
        shell::DiffractionCurveTable[std::clamp<int>(DiffractionSplSlot, 0, 4)];
    shell::CurveRecord* phase =
        shell::DiffractionCurveTable[5 + std::clamp<int>(DiffractionPhaseSlot, 0, 4)];
    if (!spl || !phase) return 1;
    for (int k = 0; k < shell::kGridPoints; ++k) {
        double level = 0.0, degrees = 0.0;
        if (mode == 0) {
            const std::complex<double> h = DriverMean(b.Points[0], offsets, n, k, 0);
            level = 10.0 * std::log10(std::norm(h));
            degrees = std::atan2(h.imag(), h.real()) * 57.288;
        } else if (mode == 3) {
            double m[4];
            for (int d = 0; d < 4; ++d)
                m[d] = std::abs(DriverMean(b.Points[d], offsets, n, k, d * n));
            const double m12 = std::hypot(0.5 * m[0], 0.5 * m[1]);
            const double m34 = std::hypot(0.5 * m[2], 0.5 * m[3]);
            level = 10.0 * std::log10(m12 * m12 + m34 * m34);
        } else {
            const std::complex<double> h1 = kSqrtHalf * DriverMean(b.Points[0], offsets, n, k, 0);
            const std::complex<double> h2 = kSqrtHalf * DriverMean(b.Points[1], offsets, n, k, n);
            level = 10.0 * std::log10(std::norm(h1) + std::norm(h2));
            const std::complex<double> sum = h1 + h2;
            degrees = sum.real() == 0.0 ? 0.0 : std::atan2(sum.imag(), sum.real()) * 57.288;
        }
        spl->v[k] = static_cast<float>(level);
        phase->v[k] = static_cast<float>(degrees);
        if (shell::DiffractionChildWindow)
            SetSweepTitle(shell::DiffractionChildWindow, DiffractionFrequencyGrid[k], level);
    }
    PenOfRow(spl, 1);
    NextSlot(DiffractionSplSlot);
    PenOfRow(phase, 2);
    NextSlot(DiffractionPhaseSlot);
    shell::CurveRecord* power =
        shell::DiffractionCurveTable[10 + std::clamp<int>(DiffractionPowerSlot, 0, 4)];
    if (power && mode >= 1) {
        for (int k = 0; k < shell::kGridPoints; ++k) {
            const double x = 6.284 * DiffractionFrequencyGrid[k] * spacing / 344.0;
            power->v[k] = static_cast<float>(10.0 * std::log10(1.0 + std::sin(x) / x));
        }
        PenOfRow(power, 3);
        NextSlot(DiffractionPowerSlot);
    } else if (power) {
        power->v[shell::kCurveVisible] = 0.0f;
    }
    if (shell::DiffractionChildWindow)
        platform::InvalidateRect(shell::DiffractionChildWindow, nullptr, platform::TRUE);
    return 0;
}

platform::INT_PTR DiffractionCalculatorDlgProc(HWND dialog, platform::UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (!shell::Baffle || !shell::CurrentDriverRecord) return platform::FALSE;
    switch (message) {
        case platform::WM_INITDIALOG:
            InitDialog(dialog);
            return platform::TRUE;
        case platform::WM_COMMAND:
            Command(dialog, platform::LOWORD(wParam));
            return platform::TRUE;
        case platform::WM_HSCROLL:
            if (lParam == platform::HandleToParam(platform::GetDlgItem(dialog, kDiffMicScroll)))
                MicScroll(dialog, wParam);
            return platform::TRUE;
        case platform::WM_PAINT: {
            platform::PAINTSTRUCT ps;
            platform::BeginPaint(dialog, &ps);
            platform::EndPaint(dialog, &ps);
            RedrawCanvas(dialog);
            DrawEdgeProfileSketch(platform::GetDlgItem(dialog, kDiffSketch));
            return platform::TRUE;
        }
        case platform::WM_MOVE: {
            shell::WindowPlacement& slot =
                shell::WindowPlacements[shell::kSlotDiffractionCalculator];
            const int x = static_cast<short>(platform::LOWORD(static_cast<std::uintptr_t>(lParam)));
            const int y = static_cast<short>(platform::HIWORD(static_cast<std::uintptr_t>(lParam)));
            slot.X = x - platform::GetSystemMetrics(platform::SM_CXEDGE) - 1;
            slot.Y = y - platform::GetSystemMetrics(platform::SM_CYCAPTION) -
                     platform::GetSystemMetrics(platform::SM_CYEDGE) - 1;
            if (slot.X > shell::FrameClientWidth) slot.X = 0;
            if (slot.Y > shell::FrameClientHeight) slot.Y = 0;
            return platform::TRUE;
        }
        case platform::WM_MOUSEMOVE:
        case platform::WM_LBUTTONDOWN:
        case platform::WM_LBUTTONUP:
            Mouse(dialog, message, lParam);
            return platform::TRUE;
        case platform::WM_RBUTTONDOWN:
            RedrawCanvas(dialog);
            shell::CopyWindowToClipboard(shell::FrameWindow);
            return platform::TRUE;
        case platform::WM_DESTROY:
            if (shell::DiffractionCalculatorDialog == dialog)
                shell::DiffractionCalculatorDialog = 0;
            g_grab = Grab{};
            return platform::TRUE;
        default:
            return platform::FALSE;
    }
}

platform::LRESULT DiffractionChildWndProc(HWND window, platform::UINT message, WPARAM wParam,
                                          LPARAM lParam) {
    switch (message) {
        case platform::WM_PAINT: {
            platform::InvalidateRect(window, nullptr, platform::FALSE);
            platform::PAINTSTRUCT ps;
            const platform::HDC hdc = platform::BeginPaint(window, &ps);
            platform::RECT client{};
            platform::GetClientRect(window, &client);
            PaintDiffractionPlot(hdc, client.right, client.bottom);
            platform::EndPaint(window, &ps);
            return 0;
        }
        case platform::WM_SIZE:
            shell::SplPlotWidth = platform::LOWORD(static_cast<std::uintptr_t>(lParam));
            shell::SplPlotHeight = platform::HIWORD(static_cast<std::uintptr_t>(lParam));
            break;
        case platform::WM_LBUTTONDOWN:
            if (!shell::PreferencesChildWindow && !shell::PenColourChildWindow) {
                shell::OpenPenColourChild();
                platform::UpdateWindow(shell::FrameWindow);
            }
            return 0;
        case platform::WM_RBUTTONDOWN:
            platform::InvalidateRect(window, nullptr, platform::TRUE);
            return 0;
        default:
            break;
    }
    return shell::PageChildMessage(window, message, wParam, lParam,
                                   shell::WindowPlacements[shell::kSlotDiffractionChild],
                                   kChildTitle, shell::DiffractionChildWindow);
}

void ResetDiffractionCalculator() { g_grab = Grab{}; }

}  // namespace driverdata
