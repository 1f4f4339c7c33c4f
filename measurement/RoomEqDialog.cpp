// The "Room_EQ" dialog: the room equalizer of one room-EQ element of the WorkingNetwork.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "measurement/CaptureFile.h"
#include "measurement/GatingWindows.h"
#include "measurement/Globals.h"
#include "measurement/Ids.h"
#include "measurement/MlsDeconvolution.h"
#include "measurement/MlsRun.h"
#include "measurement/MlsWindows.h"
#include "measurement/RoomEq.h"
#include "measurement/RoomEqLocation.h"
#include "measurement/RoomEqMinimumPhase.h"
#include "measurement/RoomEqPlots.h"
#include "network/EditorState.h"
#include "platform/audio/VirtualCard.h"
#include "platform/audio/Wave.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"

namespace measurement {

using namespace platform;

namespace {

constexpr const char* kTitle = "Minimum-Phase Room Equalizer";
constexpr int kMinimumWidth = 48;
constexpr double kMinimumMs = 1.0;
const char* const kZoomNames[] = {"1xAmpl",  "2xAmpl",  "4xAmpl", "8xAmpl",
                                  "16xAmpl", "32xAmpl", "64xAmpl"};

bool g_initializing = false;
// The location a run was started for: a location chosen while it runs does not move it.
int g_run_location = 0;

void Exclaim(HWND owner, const char* text) {
    MessageBox(owner, text, "QV Message", MB_OK | MB_ICONEXCLAMATION);
}

float* Params() {
    const int e = network::SelectedElement;
    if (e < 0 || e >= shell::kMaxElements) return nullptr;
    return shell::WorkingNetwork.ElementParams[e];
}

// The number an edit holds, read as every typed number is; false for a text without one, "nan",
// "inf" and values beyond single precision.
bool EditNumber(HWND dialog, int id, int chars, double* value) {
    char text[32] = {};
    GetDlgItemText(dialog, id, text, chars + 1 < 32 ? chars + 1 : 32);
    return shell::ReadTypedNumber(text, value);
}

void SetFloat(HWND dialog, int id, const char* format, double value) {
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    SetDlgItemText(dialog, id, text);
}

// A text into a settings slot, cut to fit with its terminating NUL.
void CopyText(char* slot, std::size_t capacity, const char* text) {
    std::memset(slot, 0, capacity);
    std::size_t n = std::strlen(text);
    if (n > capacity - 1) n = capacity - 1;
    std::memcpy(slot, text, n);
}

// A "%f" text cut to the width of a settings slot.
void StoreNumber(char* slot, std::size_t capacity, double value, std::size_t cut) {
    char text[48];
    std::snprintf(text, sizeof text, "%f", value);
    if (cut < sizeof text) text[cut] = '\0';
    CopyText(slot, capacity, text);
}

double WidthSetting() {
    double w = 0.0;
    if (!shell::ReadTypedSlot(shell::Mls.MlsWindowWidthText, sizeof shell::Mls.MlsWindowWidthText,
                              &w))
        w = 0.0;
    return w;
}

void Repaint(HWND dialog, int id, int (*painter)(HDC)) {
    const HWND pane = GetDlgItem(dialog, id);
    if (!pane.value) return;
    UpdateWindow(pane);
    const HDC hdc = GetDC(pane);
    painter(hdc);
    ReleaseDC(pane, hdc);
}

void PaintMeter(HWND dialog) {
    const HWND meter = GetDlgItem(dialog, kMeter);
    if (!meter.value) return;
    RECT r{};
    GetClientRect(meter, &r);
    const HDC hdc = GetDC(meter);
    DrawRoomEqLevelMeter(hdc, r.right, r.bottom, RoomEQInPeakLevel / 1200.0f,
                         RoomEQRefPeakLevel / 1200.0f);
    ReleaseDC(meter, hdc);
}

void PaintAll(HWND dialog) {
    Repaint(dialog, kImpulsePane, DrawRoomEQImpulsePlot);
    Repaint(dialog, kSplPane, DrawRoomEQSplPlot);
    Repaint(dialog, kDelayPane, DrawRoomEQGroupDelayPlot);
    Repaint(dialog, kMarks, DrawRoomEQLocationMarks);
    PaintMeter(dialog);
}

void ShowThreshold(HWND dialog) {
    char text[48];
    std::snprintf(text, sizeof text, "EQ Threshold = %d dB", RoomEqThreshold(RoomEQThresholdPos));
    SetDlgItemText(dialog, kThresholdText, text);
}

void ShowVolume(HWND dialog) {
    char text[32];
    std::snprintf(text, sizeof text, "Volume = %d%%", shell::Mls.MlsOutputLevel);
    SetDlgItemText(dialog, kLevelText, text);
}

void Evaluate(HWND dialog, RoomEqEvaluation from = RoomEqEvaluation::kRecalculate) {
    EvaluateRoomEq(network::SelectedElement, from);
    Repaint(dialog, kSplPane, DrawRoomEQSplPlot);
    Repaint(dialog, kDelayPane, DrawRoomEQGroupDelayPlot);
}

void FillCombo(HWND dialog, int id, const char* const* names, int count, int selected) {
    SendDlgItemMessage(dialog, id, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i)
        SendDlgItemMessage(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i]));
    SendDlgItemMessage(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

// The row of "Correct With Driver On" that shows the element's driver-correction port.
int CorrectionPortRow(const float* p) {
    const float port = p ? p[shell::kParamCorrectionPort] : -1.0f;
    return (port >= 0.0f && port < kOutputPortNameCount) ? static_cast<int>(port)
                                                         : kNoDriverCorrection;
}

int ComboIndex(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessage(dialog, id, CB_GETCURSEL, 0, 0));
}

void RebuildWindow() {
    // A width text that still reads below the smallest gate (not a finite number) is used as
    // that gate.
    if (WidthSetting() < kMinimumWidth)
        StoreNumber(shell::Mls.MlsWindowWidthText, sizeof shell::Mls.MlsWindowWidthText,
                    kMinimumWidth, 8);
    BuildMlsWindows();
    BuildRoomEqWindowRecord();
}

// ---- Initialisation ----

void InitDialog(HWND dialog) {
    g_initializing = true;
    RoomEQStartFrequencyIndex = kRoomEq10HzIndex;
    RoomEQStopFrequencyIndex = kRoomEq50kHzIndex;
    RoomEQLocation = 0;
    // The busy word stays as it is: a play or measurement running elsewhere keeps it.
    shell::Mls.MlsSampleRateIndex = 5;
    shell::Mls.MlsLengthIndex = 5;
    MlsOrder = 18;
    MlsImpulseStart = 50;
    shell::Mls.MlsShowPhase = 1;
    shell::Mls.MlsWindowType = 0;
    BuildRoomEqGrids();
    // The capture being processed starts empty; the held capture (MlsCaptureSave) stays what
    // the MLS views show until a location is processed.
    AllocMlsCaptureCopies();
    if (MlsCaptureCopy != nullptr) std::memset(MlsCaptureCopy, 0, kMlsCaptureBytes);

    const HWND volume = GetDlgItem(dialog, kLevelBar);
    SetScrollRange(volume, SB_CTL, 0, 100, FALSE);
    SetScrollPos(volume, SB_CTL, shell::Mls.MlsOutputLevel, TRUE);
    ShowVolume(dialog);
    FillCombo(dialog, kAmplitudeZoomCombo, kZoomNames, 7, shell::Mls.MlsAmplitudeZoomIndex);
    FillCombo(dialog, kRateCombo, shell::SampleRateNames, shell::kSampleRateCount,
              shell::Mls.MlsSampleRateIndex);
    FillCombo(dialog, kLengthCombo, MlsLengthNames, kMlsLengthCount, shell::Mls.MlsLengthIndex);
    float* p = Params();
    FillCombo(dialog, kCorrectionPort, OutputPortNames, kOutputPortNameCount, CorrectionPortRow(p));
    const HWND bar = GetDlgItem(dialog, kThresholdBar);
    SetScrollRange(bar, SB_CTL, kThresholdTop, kThresholdBottom, FALSE);
    SetScrollPos(bar, SB_CTL, RoomEQThresholdPos, TRUE);
    ShowThreshold(dialog);
    char width[16] = {};
    std::memcpy(width, shell::Mls.MlsWindowWidthText, sizeof shell::Mls.MlsWindowWidthText);
    SetDlgItemText(dialog, kWindowWidthEdit, width);
    const int rate = MlsSampleRate();
    StoreNumber(shell::Mls.MlsWindowMsText, sizeof shell::Mls.MlsWindowMsText,
                rate > 0 ? std::atof(width) * 1000.0 / rate : 0.0, 7);
    char ms[16] = {};
    std::memcpy(ms, shell::Mls.MlsWindowMsText, sizeof shell::Mls.MlsWindowMsText);
    SetDlgItemText(dialog, kWindowMsEdit, ms);
    if (p != nullptr) {
        SetFloat(dialog, kAddDbEdit, "%.1f", p[shell::kParamAddDb]);
        SetFloat(dialog, kPulseDelayEdit, "%.4f", p[shell::kParamDelay]);
        SetFloat(dialog, kFromEdit, "%.1f", p[shell::kParamF1]);
        SetFloat(dialog, kToEdit, "%.1f", p[shell::kParamF2]);
        SetFloat(dialog, kSlopeEdit, "%.2f", p[shell::kParamProjectedSlope]);
        CheckDlgButton(dialog, kBypass, p[shell::kParamBypass] == 1.0f);
        CheckDlgButton(dialog, kAmplitudeOnly, p[shell::kParamAmplitudeOnly] == 1.0f);
        CheckDlgButton(dialog, kScalarAverage, p[shell::kParamScalarAverage] == 1.0f);
    }
    CheckDlgButton(dialog, kSavedBufferBox, shell::Mls.MlsUseSavedBuffer == 1);
    CheckDlgButton(dialog, kShowPhaseBox, shell::Mls.MlsShowPhase == 1);
    CheckDlgButton(dialog, kShowEqPhase, RoomEQShowEqPhase == 1);
    CheckDlgButton(dialog, kShowEqSpl, RoomEQShowEqSpl == 1);
    CheckDlgButton(dialog, kShowEqualized, RoomEQShowEqualized == 1);
    CheckRadioButton(dialog, kFirstLocation, kLastLocation, kFirstLocation);
    for (float& t : RoomEQThresholdLine)
        t = static_cast<float>(RoomEqThreshold(RoomEQThresholdPos));
    g_initializing = false;
}

// ---- The location road ----

void EndRoad(HWND dialog) {
    SetCursor(LoadCursor(HINSTANCE{}, IDC_ARROW));
    SetFocus(dialog);
}

// The capture in MlsCaptureCopy processed for the frozen location, evaluated and auto-saved.
void ProcessAndSave(HWND dialog) {
    float* p = Params();
    if (p == nullptr) return EndRoad(dialog);
    SetCursor(LoadCursor(HINSTANCE{}, IDC_WAIT));
    const LocationResult result = ProcessRoomEqLocation(dialog, g_run_location, p);
    RoomEQRefPeakLevel = MlsRefPeakLevel;
    RoomEQInPeakLevel = MlsInPeakLevel;
    PaintMeter(dialog);
    Repaint(dialog, kImpulsePane, DrawRoomEQImpulsePlot);
    if (result != LocationResult::kDone) return;
    Repaint(dialog, kMarks, DrawRoomEQLocationMarks);
    Evaluate(dialog, RoomEqEvaluation::kLocationRoad);
    const std::string path = RoomEqAutoSavePath(network::ActivePane, g_run_location);
    if (!path.empty()) WriteMlsCaptureFile(shell::FrameWindow, path.c_str());
    EndRoad(dialog);
}

void StartLocation(HWND dialog) {
    if (shell::MlsFftBuffers[0] != nullptr) {
        std::memset(shell::MlsFftBuffers[0], 0, sizeof(float) * shell::kMlsFftBufferFloats);
        std::memset(shell::MlsFftBuffers[1], 0, sizeof(float) * shell::kMlsFftBufferFloats);
    }
    if (shell::AudioBusy != 0) return;
    if (shell::Mls.MlsUseSavedBuffer != 1) {
        // The run owns both devices and the busy word; its capture comes back as a message, and
        // is processed for the location frozen here (a run that is refused freezes nothing).
        if (StartMlsRun(dialog, shell::FrameWindow) == kMlsRunStarted)
            g_run_location = RoomEQLocation;
        return;
    }
    g_run_location = RoomEQLocation;
    // The saved-capture road holds the busy word while it runs (its file chooser is modal, and
    // a Play must not start meanwhile) and clears only that. A capture file that cannot be read
    // ends the location like a cancelled choice: the previous capture is neither processed nor
    // saved over this location's file.
    shell::AudioBusy = 1;
    if (OpenMlsCaptureFile() == CaptureLoad::kLoaded) {
        SendDlgItemMessage(dialog, kRateCombo, CB_SETCURSEL,
                           static_cast<WPARAM>(shell::Mls.MlsSampleRateIndex), 0);
        SendDlgItemMessage(dialog, kLengthCombo, CB_SETCURSEL,
                           static_cast<WPARAM>(shell::Mls.MlsLengthIndex), 0);
        PaintAll(dialog);
        ProcessAndSave(dialog);
    }
    shell::AudioBusy = 0;
}

// ---- Edits, selections, check boxes ----

// A value below the smallest the edit allows becomes that smallest, "%.1f", in the setting and
// in the edit itself (without running the edit's handler again).
void WriteBackMinimum(HWND dialog, int id, char* slot, std::size_t capacity, double minimum) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", minimum);
    CopyText(slot, capacity, text);
    g_initializing = true;
    SetDlgItemText(dialog, id, text);
    g_initializing = false;
}

void WidthEdited(HWND dialog) {
    char text[16] = {};
    GetDlgItemText(dialog, kWindowWidthEdit, text, sizeof shell::Mls.MlsWindowWidthText);
    CopyText(shell::Mls.MlsWindowWidthText, sizeof shell::Mls.MlsWindowWidthText, text);
    double width = std::atof(text);
    if (!(width >= kMinimumWidth)) {
        width = kMinimumWidth;
        WriteBackMinimum(dialog, kWindowWidthEdit, shell::Mls.MlsWindowWidthText,
                         sizeof shell::Mls.MlsWindowWidthText, kMinimumWidth);
    }
    const int rate = MlsSampleRate();
    double ms = rate > 0 ? width * 1000.0 / rate : kMinimumMs;
    if (ms < kMinimumMs) ms = kMinimumMs;
    StoreNumber(shell::Mls.MlsWindowMsText, sizeof shell::Mls.MlsWindowMsText, ms, 8);
    char shown[16] = {};
    std::memcpy(shown, shell::Mls.MlsWindowMsText, sizeof shell::Mls.MlsWindowMsText);
    g_initializing = true;  // the other edit's echo is not an edit of its own
    SetDlgItemText(dialog, kWindowMsEdit, shown);
    g_initializing = false;
    RebuildWindow();
}

void TimeEdited(HWND dialog) {
    char text[16] = {};
    GetDlgItemText(dialog, kWindowMsEdit, text, sizeof shell::Mls.MlsWindowMsText);
    CopyText(shell::Mls.MlsWindowMsText, sizeof shell::Mls.MlsWindowMsText, text);
    double ms = std::atof(text);
    if (!(ms >= kMinimumMs)) {
        ms = kMinimumMs;
        WriteBackMinimum(dialog, kWindowMsEdit, shell::Mls.MlsWindowMsText,
                         sizeof shell::Mls.MlsWindowMsText, kMinimumMs);
    }
    const double width = 0.001 * ms * MlsSampleRate();
    if (!(width >= kMinimumWidth)) {
        // At a low rate a short time is fewer samples than the smallest gate.
        WriteBackMinimum(dialog, kWindowWidthEdit, shell::Mls.MlsWindowWidthText,
                         sizeof shell::Mls.MlsWindowWidthText, kMinimumWidth);
        RebuildWindow();
        return;
    }
    StoreNumber(shell::Mls.MlsWindowWidthText, sizeof shell::Mls.MlsWindowWidthText, width, 8);
    char shown[16] = {};
    std::memcpy(shown, shell::Mls.MlsWindowWidthText, sizeof shell::Mls.MlsWindowWidthText);
    g_initializing = true;
    SetDlgItemText(dialog, kWindowWidthEdit, shown);
    g_initializing = false;
    RebuildWindow();
}

void ToggleSlot(HWND dialog, int id, float* p, int slot) {
    if (p == nullptr) return;
    p[slot] = p[slot] == 1.0f ? 0.0f : 1.0f;
    CheckDlgButton(dialog, id, p[slot] == 1.0f);
}

void ToggleFlag(HWND dialog, int id, std::int32_t& flag, bool repaint) {
    flag = flag == 1 ? 0 : 1;
    CheckDlgButton(dialog, id, flag == 1);
    if (repaint) InvalidateRect(dialog, nullptr, TRUE);
}

// While a capture runs, the settings it started with stay: a box of them chosen meanwhile shows
// its setting again. True when `id` is such a box and its choice was refused.
bool RefusedWhileCapturing(HWND dialog, int id, const float* p) {
    if (shell::AudioBusy == 0) return false;
    int row = 0;
    switch (id) {
        case kCorrectionPort:
            row = CorrectionPortRow(p);
            break;
        case kRateCombo:
            row = shell::Mls.MlsSampleRateIndex;
            break;
        case kLengthCombo:
            row = shell::Mls.MlsLengthIndex;
            break;
        default:
            return false;
    }
    SendDlgItemMessage(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
    return true;
}

INT_PTR Command(HWND dialog, int id) {
    float* p = Params();
    if (RefusedWhileCapturing(dialog, id, p)) return TRUE;
    if (id >= kFirstLocation && id <= kLastLocation) {
        // While a capture runs the location it belongs to stays as it was chosen.
        if (shell::AudioBusy != 0) return TRUE;
        RoomEQLocation = id - kFirstLocation;
        CheckRadioButton(dialog, kFirstLocation, kLastLocation, id);
        StartLocation(dialog);
        return TRUE;
    }
    switch (id) {
        case kRunButton:
            StartLocation(dialog);
            return TRUE;
        case kFromEdit:
        case kToEdit:
        case kSlopeEdit:
        case kPulseDelayEdit:
        case kAddDbEdit: {
            // A text that holds no number leaves the value as it is; a number is kept within the
            // edit's bounds, as the other element dialogs keep theirs.
            double v = 0.0;
            if (p == nullptr || !EditNumber(dialog, id, 9, &v)) return TRUE;
            const double level = kRoomEqMostLevelDb;
            const double delay = kRoomEqMostDelayMs;
            float* slot = &p[shell::kParamAddDb];
            double low = -level;
            double high = level;
            if (id == kFromEdit) {
                slot = &p[shell::kParamF1];
                low = 10.1;
                high = 250.0;
            } else if (id == kToEdit) {
                slot = &p[shell::kParamF2];
                low = 0.0;
                high = 250.0;
            } else if (id == kSlopeEdit) {
                slot = &p[shell::kParamProjectedSlope];
            } else if (id == kPulseDelayEdit) {
                slot = &p[shell::kParamDelay];
                low = -delay;
                high = delay;
            }
            *slot = static_cast<float>(std::clamp(v, low, high));
            return TRUE;
        }
        case kWindowWidthEdit:
            WidthEdited(dialog);
            return TRUE;
        case kWindowMsEdit:
            TimeEdited(dialog);
            return TRUE;
        case kCorrectionPort:
            if (p != nullptr) {
                const int i = ComboIndex(dialog, id);
                if (i >= 0 && i < kOutputPortNameCount)
                    p[shell::kParamCorrectionPort] = static_cast<float>(i);
            }
            return TRUE;
        case kRateCombo: {
            const int i = ComboIndex(dialog, id);
            if (i >= 0 && i < shell::kSampleRateCount) shell::Mls.MlsSampleRateIndex = i;
            return TRUE;
        }
        case kLengthCombo: {
            const int i = ComboIndex(dialog, id);
            if (i >= 0 && i < kMlsLengthCount) {
                shell::Mls.MlsLengthIndex = i;
                MlsOrder = i + kMlsMinOrder;
            }
            return TRUE;
        }
        case kAmplitudeZoomCombo: {
            const int i = ComboIndex(dialog, id);
            if (i >= 0 && i < 7) shell::Mls.MlsAmplitudeZoomIndex = i;
            Repaint(dialog, kImpulsePane, DrawRoomEQImpulsePlot);
            return TRUE;
        }
        case kShowPhaseBox:
            ToggleFlag(dialog, id, shell::Mls.MlsShowPhase, true);
            return TRUE;
        case kShowEqPhase:
            ToggleFlag(dialog, id, RoomEQShowEqPhase, true);
            return TRUE;
        case kShowEqSpl:
            ToggleFlag(dialog, id, RoomEQShowEqSpl, true);
            return TRUE;
        case kShowEqualized:
            ToggleFlag(dialog, id, RoomEQShowEqualized, true);
            return TRUE;
        case kSavedBufferBox:
            ToggleFlag(dialog, id, shell::Mls.MlsUseSavedBuffer, false);
            return TRUE;
        case kBypass:
            ToggleSlot(dialog, id, p, shell::kParamBypass);
            return TRUE;
        case kAmplitudeOnly:
            ToggleSlot(dialog, id, p, shell::kParamAmplitudeOnly);
            return TRUE;
        case kScalarAverage:
            ToggleSlot(dialog, id, p, shell::kParamScalarAverage);
            return TRUE;
        case kRecalculateButton:
            Evaluate(dialog);
            return TRUE;
        case kClearAll:
            // A capture in flight is ended first, so that it cannot come back and be stored under
            // whatever location is chosen next. The busy word is cleared only when no sound device
            // is open any more (a close that failed may have left it set).
            if (MlsRunActive() && MlsRunWindow() == dialog) StopMlsRun();
            ClearRoomEqData();
            if (platform::OpenWaveDeviceCount() == 0) shell::AudioBusy = 0;
            CheckRadioButton(dialog, kFirstLocation, kLastLocation, kFirstLocation);
            InvalidateRect(dialog, nullptr, TRUE);
            return TRUE;
        case 1:
            if (shell::AudioBusy != 0) return TRUE;
            StoreRoomEqCorrection(network::SelectedElement);
            EndDialog(dialog, 1);
            return TRUE;
        case 2:
            // Cancel also ends a capture in flight; nothing of it is kept.
            if (MlsRunActive() && MlsRunWindow() == dialog) StopMlsRun();
            if (shell::AudioBusy != 0) return TRUE;
            EndDialog(dialog, 2);
            return TRUE;
        default:
            return FALSE;
    }
}

// ---- Scroll bars and mouse ----

int ScrollTo(WPARAM wParam, int position, int top, int bottom) {
    switch (LOWORD(wParam)) {
        case SB_LINEUP:
            return position - 1;
        case SB_LINEDOWN:
            return position + 1;
        case SB_PAGEUP:
            return position - 10;
        case SB_PAGEDOWN:
            return position + 10;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            return static_cast<int>(HIWORD(wParam));
        case SB_TOP:
            return top;
        case SB_BOTTOM:
            return bottom;
        default:
            return position;
    }
}

void Scroll(HWND dialog, WPARAM wParam, LPARAM lParam, bool vertical) {
    const HWND bar = ParamToHandle(static_cast<std::uintptr_t>(lParam));
    const int id = GetDlgCtrlID(bar);
    if (vertical && id == kThresholdBar) {
        int pos = ScrollTo(wParam, GetScrollPos(bar, SB_CTL), kThresholdTop, kThresholdBottom);
        pos = pos < kThresholdTop ? kThresholdTop : pos > kThresholdBottom ? kThresholdBottom : pos;
        SetScrollPos(bar, SB_CTL, pos, TRUE);
        RoomEQThresholdPos = pos;
        ShowThreshold(dialog);
        Evaluate(dialog);
    } else if (!vertical && id == kLevelBar) {
        int pos = ScrollTo(wParam, GetScrollPos(bar, SB_CTL), 0, 100);
        pos = pos < 0 ? 0 : pos > 100 ? 100 : pos;
        SetScrollPos(bar, SB_CTL, pos, TRUE);
        shell::Mls.MlsOutputLevel = pos;
        ShowVolume(dialog);
    }
}

// The pane (SPL or group delay) under a dialog point and the grid point under it; -1 when none.
int PaneAt(HWND dialog, LPARAM lParam, int* point) {
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    for (int id : {kSplPane, kDelayPane}) {
        const HWND pane = GetDlgItem(dialog, id);
        RECT r{};
        if (!pane.value || !GetWindowRect(pane, &r)) continue;
        POINT tl{r.left, r.top};
        ScreenToClient(dialog, &tl);
        const int h = PaneHeight(pane, id == kSplPane ? kSplPlotH : kDelayPlotH);
        const int ly = y - tl.y;
        if (x >= tl.x && x < tl.x + (r.right - r.left) && ly > 20 && ly < h - 20) {
            *point = RoomEqPointAt(x - tl.x);
            return id;
        }
    }
    return -1;
}

void Mouse(HWND dialog, UINT message, LPARAM lParam) {
    int i = -1;
    const int pane = PaneAt(dialog, lParam, &i);
    const float* avg = shell::RoomEQCurves[kRoomEqAverage]->v;
    const float* avg_ph = shell::RoomEQCurves[kRoomEqAveragePh]->v;
    const float* delay = shell::RoomEQCurves[kRoomEqGroupDelay]->v;
    if (message == WM_MOUSEMOVE) {
        char title[160];
        if (pane < 0) {
            SetWindowText(dialog, kTitle);
        } else if (i >= 0 && pane == kSplPane) {
            std::snprintf(title, sizeof title,
                          "%s: Ampl = %.2f dB, Phase = %.2f deg, Freq = %.1f Hz", kTitle,
                          avg[i] + 90.0, static_cast<double>(avg_ph[i]),
                          static_cast<double>(RoomEQFrequencyGrid[i]));
            SetWindowText(dialog, title);
        } else if (i >= 0) {
            std::snprintf(title, sizeof title, "%s: Excess Group Delay = %.1f ms,  Freq = %.1f Hz",
                          kTitle, static_cast<double>(delay[i]),
                          static_cast<double>(RoomEQFrequencyGrid[i]));
            SetWindowText(dialog, title);
        }
        return;
    }
    float* p = Params();
    if (pane != kSplPane || i < 0 || p == nullptr) return;
    const float f = RoomEQFrequencyGrid[i];
    const bool lower = message == WM_LBUTTONDOWN;
    if (lower ? !(f < p[shell::kParamF2]) : !(p[shell::kParamF1] < f)) {
        Exclaim(shell::FrameWindow, "Frequency Selection Error");
        return;
    }
    SetFloat(dialog, lower ? kFromEdit : kToEdit, "%.1f", f);
    Command(dialog, lower ? kFromEdit : kToEdit);
    Evaluate(dialog);
}

}  // namespace

INT_PTR RoomEQDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            InitDialog(dialog);
            return TRUE;
        case MM_WIM_DATA:
        case MM_WOM_DONE:
            if (OnMlsRunMessage(message, wParam, lParam) == kMlsRunCaptured) ProcessAndSave(dialog);
            return TRUE;
        case WM_DESTROY:
            if (MlsRunActive() && MlsRunWindow() == dialog) StopMlsRun();
            // The shared MLS settings this dialog set stay; an open MLS page shows them.
            ShowMlsSettings();
            return FALSE;
        case WM_PAINT:
            PaintAll(dialog);
            return FALSE;
        case WM_COMMAND:
            if (g_initializing) return TRUE;
            return Command(dialog, LOWORD(wParam));
        case WM_HSCROLL:
        case WM_VSCROLL:
            Scroll(dialog, wParam, lParam, message == WM_VSCROLL);
            return TRUE;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            Mouse(dialog, message, lParam);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace measurement
