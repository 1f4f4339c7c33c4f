#include "measurement/MlsAcquire.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "driverdata/ExportFiles.h"
#include "measurement/CalibrationDialog.h"
#include "measurement/CalibrationSections.h"
#include "measurement/CaptureFile.h"
#include "measurement/GatingWindows.h"
#include "measurement/Globals.h"
#include "measurement/Ids.h"
#include "measurement/MlsDeconvolution.h"
#include "measurement/MlsPlots.h"
#include "measurement/MlsRun.h"
#include "measurement/MlsSequences.h"
#include "measurement/MlsSpl.h"
#include "measurement/MlsWindows.h"
#include "platform/audio/Wave.h"
#include "platform/gdi/Gdi.h"
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
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/Printout.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"

namespace measurement {

namespace {

using platform::HWND;
using platform::LPARAM;
using platform::WPARAM;

constexpr int kWindowCurve = 22;
constexpr int kWindowShowFlag = 2002;
constexpr int kMeterSegments = 18;
constexpr int kColourFilterSpl = 1;
constexpr int kColourDriverSpl = 2;
constexpr int kColourHbtSpl = 3;
constexpr int kColourSplCorrected = 4;

const char* const kAmplitudeZoomNames[7] = {"1xAmpl",  "2xAmpl",  "4xAmpl", "8xAmpl",
                                            "16xAmpl", "32xAmpl", "64xAmpl"};
const char* const kTimeZoomNames[4] = {"1xTime", "2xTime", "4xTime", "8xTime"};
const char* const kSmoothingNames[6] = {"1/3 oct",  "1/6 oct",  "1/12 oct",
                                        "1/24 oct", "1/48 oct", "None"};

// Guards that keep the width and the ms edit from writing back into each other.
bool g_width_guard = true;
bool g_ms_guard = true;

void Message(HWND owner, const char* text) {
    platform::MessageBox(owner, text, "QV Message", platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

void FillCombo(HWND page, int id, const char* const* names, int count) {
    for (int i = 0; i < count; ++i)
        platform::SendDlgItemMessage(page, id, platform::CB_ADDSTRING, 0,
                                     reinterpret_cast<LPARAM>(names[i]));
}

void SelectRow(HWND page, int id, int selected, int count) {
    platform::SendDlgItemMessage(page, id, platform::CB_SETCURSEL,
                                 static_cast<WPARAM>(std::clamp(selected, 0, count - 1)), 0);
}

int ComboRow(HWND page, int id) {
    return static_cast<int>(platform::SendDlgItemMessage(page, id, platform::CB_GETCURSEL, 0, 0));
}

void SetCheck(HWND page, int id, std::int32_t on) {
    platform::CheckDlgButton(page, id, on == 1 ? platform::BST_CHECKED : 0);
}

void Toggle(HWND page, int id, std::int32_t* setting) {
    *setting = *setting == 1 ? 0 : 1;
    SetCheck(page, id, *setting);
}

template <std::size_t N>
void ReadEditSlot(HWND page, int id, char (&slot)[N]) {
    char text[11] = {};
    platform::GetDlgItemText(page, id, text, sizeof text);
    shell::CopyTextSlot(slot, text);
}

double SlotNumber(const char* slot, std::size_t capacity) {
    double value = 0.0;
    return shell::ReadTypedSlot(slot, capacity, &value) && std::isfinite(value) ? value : 0.0;
}

// "%f" cut to 7 characters.
void FormatCut(char* out, double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", value);
    text[7] = '\0';
    std::strcpy(out, text);
}

void ShowOutputLevel(HWND page) {
    char text[32];
    std::snprintf(text, sizeof text, "Output = %d%%", shell::Mls.MlsOutputLevel);
    platform::SetDlgItemText(page, kLevelText, text);
}

void SetPen(shell::CurveRecord* curve, int colour) {
    const shell::ColourEntry& pen = shell::CurveColourScheme[colour];
    curve->v[shell::kCurvePenRed] = static_cast<float>(pen.Red);
    curve->v[shell::kCurvePenGreen] = static_cast<float>(pen.Green);
    curve->v[shell::kCurvePenBlue] = static_cast<float>(pen.Blue);
    curve->v[shell::kCurvePenWidth] = static_cast<float>(pen.Thickness);
    curve->v[shell::kCurvePenStyle] = static_cast<float>(pen.Type);
}

void SetWindowShowFlag() {
    if (shell::MeasuredCurveTable[kWindowCurve])
        shell::MeasuredCurveTable[kWindowCurve]->v[kWindowShowFlag] =
            shell::Mls.MlsShowWindow == 1 ? 1.0f : 0.0f;
}

void RedrawDistance() {
    if (!shell::MlsImpChildWindow) return;
    const platform::HDC hdc = platform::GetDC(shell::MlsImpChildWindow);
    if (!hdc) return;
    DrawAcousticalDistance(hdc);
    platform::ReleaseDC(shell::MlsImpChildWindow, hdc);
}

void WindowsChanged() {
    BuildMlsWindows();
    if (shell::Mls.MlsShowWindow == 1) SetWindowShowFlag();
    RefreshMlsImpulseCurves();
}

// Time [ms]: Window Width at the rate the next Calculate SPL gates with (the held capture's, or
// the chosen one when none is held). The edit is written without its handler, which would turn
// the 7-character ms text back into a width that is no longer the one typed.
void ShowWindowMs(HWND page) {
    const double fs = MeasuredSampleRate();
    const double width =
        SlotNumber(shell::Mls.MlsWindowWidthText, sizeof shell::Mls.MlsWindowWidthText);
    char text[16];
    FormatCut(text, fs > 0 ? width * 1000.0 / fs : 0.0);
    shell::CopyTextSlot(shell::Mls.MlsWindowMsText, text);
    g_ms_guard = false;
    platform::SetDlgItemText(page, kWindowMsEdit, text);
    g_ms_guard = true;
}

void WidthChanged(HWND page, bool from_ms_edit) {
    const double fs = MeasuredSampleRate();
    if (from_ms_edit) {
        ReadEditSlot(page, kWindowMsEdit, shell::Mls.MlsWindowMsText);
        const double ms = SlotNumber(shell::Mls.MlsWindowMsText, sizeof shell::Mls.MlsWindowMsText);
        char text[16];
        FormatCut(text, 0.001 * ms * fs);
        shell::CopyTextSlot(shell::Mls.MlsWindowWidthText, text);
        if (g_ms_guard) {
            g_width_guard = false;
            platform::SetDlgItemText(page, kWindowWidthEdit, text);
            g_width_guard = true;
        }
    } else {
        ReadEditSlot(page, kWindowWidthEdit, shell::Mls.MlsWindowWidthText);
        ShowWindowMs(page);
    }
    WindowsChanged();
}

void FillCalibrationEntries(const shell::CalibrationPoint* curve, int level_entry, int level_colour,
                            int phase_colour) {
    shell::CurveRecord* level = shell::MeasuredCurveTable[level_entry];
    shell::CurveRecord* phase = shell::MeasuredCurveTable[level_entry + 1];
    if (!level || !phase || !curve) return;
    for (int j = 0; j < shell::kGridPoints; ++j) {
        level->v[j] = curve[j].Db;
        phase->v[j] = curve[j].Degrees;
    }
    level->v[shell::kCurveVisible] = 1.0f;
    phase->v[shell::kCurveVisible] = 1.0f;
    SetPen(level, level_colour);
    SetPen(phase, phase_colour);
}

void FillMikeEntries() {
    FillCalibrationEntries(shell::MikeCalibrationCurve, 25, kColourFilterSpl, kColourDriverSpl);
}
void FillPreampEntries() {
    FillCalibrationEntries(shell::PreampCalibrationCurve, 27, kColourHbtSpl, kColourSplCorrected);
}

void InvalidateSplView() {
    if (shell::MlsSplChildWindow)
        platform::InvalidateRect(shell::MlsSplChildWindow, nullptr, platform::TRUE);
    if (MlsSplPage) platform::InvalidateRect(MlsSplPage, nullptr, platform::FALSE);
}

void ShowPage(int index) {
    ShowMlsSplPage(index);
    InvalidateSplView();
}

// Capture processing: a stored capture first when asked (a failed open counts as Cancel), then
// the samples, the meter, the deconvolution, the views.
void ProcessCapture(HWND page, bool load) {
    if (load) {
        const CaptureLoad result = OpenMlsCaptureFile();
        if (result != CaptureLoad::kLoaded) {
            // The stale capture is never processed as if it were the chosen file (RunMls clears
            // the busy word it set).
            return;
        }
        platform::SendDlgItemMessage(page, kRateCombo, platform::CB_SETCURSEL,
                                     static_cast<WPARAM>(shell::Mls.MlsSampleRateIndex), 0);
        platform::SendDlgItemMessage(page, kLengthCombo, platform::CB_SETCURSEL,
                                     static_cast<WPARAM>(shell::Mls.MlsLengthIndex), 0);
    }
    if (ProcessMlsCapture() != 0) return;
    ShowWindowMs(page);  // the capture held now gates at its own rate
    DrawInputLevelMeter(platform::GetDlgItem(page, kMeter), MlsInPeakLevel / 1200.0f,
                        MlsRefPeakLevel / 1200.0f);
    if (MlsImpulseValid == 1) {
        SetMlsImpTitle(false);
        RedrawDistance();
        if (shell::Mls.MlsShowWindow == 1) SetWindowShowFlag();
    }
    RefreshMlsImpulseCurves();
    if (shell::MlsImpChildWindow)
        platform::InvalidateRect(shell::MlsImpChildWindow, nullptr, platform::TRUE);
}

void RunMls(HWND page) {
    for (int b = 0; b < 2; ++b)
        if (shell::MlsFftBuffers[b])
            std::memset(shell::MlsFftBuffers[b], 0, sizeof(float) * shell::kMlsFftBufferFloats);
    if (shell::AudioBusy == 1 || MlsRunActive()) return;
    MlsImpulseValid = 1;
    const std::size_t floats = sizeof(float) * kMlsSampleEntries;
    for (float* buffer : {shell::HadamardWork, shell::FftWorkBuffer, shell::GateWindowRef,
                          shell::GateWindowIn, shell::MlsRefSamples, shell::MlsInSamples})
        if (buffer) std::memset(buffer, 0, floats);
    // The views no longer show the impulses of the held capture: until this run's capture (or a
    // loaded file) is processed, Save IR has nothing to write, and Calculate SPL no impulse to
    // read (a run that ends without a capture must not leave the old peaks over cleared samples).
    MlsCaptureHeld = 0;
    ShowWindowMs(page);
    MlsRefPeak = 0;
    MlsInPeak = 0;
    if (shell::MlsPlaybackBuffer)
        std::memset(shell::MlsPlaybackBuffer, 0, sizeof(std::int32_t) * kMlsPlayedWords);
    if (shell::CurrentDriverRecord) {
        std::fill(std::begin(shell::CurrentDriverRecord->Spl),
                  std::end(shell::CurrentDriverRecord->Spl), 1.0f);
        std::fill(std::begin(shell::CurrentDriverRecord->Phase),
                  std::end(shell::CurrentDriverRecord->Phase), 0.0f);
    }
    for (int j = 0; j < shell::kGridPoints; ++j) {
        if (shell::MlsRefResponse) shell::MlsRefResponse[j] = {0.0f, 0.0f};
        if (shell::MlsInResponse) shell::MlsInResponse[j] = {0.0f, 0.0f};
        MlsRefCorrection[j] = 0.0f;
    }
    if (shell::Mls.MlsUseSavedBuffer == 1) {
        shell::AudioBusy = 1;
        ProcessCapture(page, true);
        shell::AudioBusy = 0;
        return;
    }
    StartMlsRun(page, shell::FrameWindow);
}

void ClearSpl() {
    MlsSplSlot = 0;
    MlsPhaseSlot = 0;
    for (int e = 0; e < shell::kMeasuredCurveCount; ++e) {
        if ((e >= 20 && e < 25) || e > 104) continue;
        shell::CurveRecord* c = shell::MeasuredCurveTable[e];
        if (!c) continue;
        std::fill(c->v, c->v + shell::kGridPoints, 0.0f);
        c->v[shell::kCurveVisible] = 0.0f;
    }
    InvalidateSplView();
}

// The driver record's copy of a calibration, which Export Cal. Files writes, follows the curve in
// use.
void KeepDriverCopy(bool mike) {
    shell::DriverRecord* record = shell::CurrentDriverRecord;
    const shell::CalibrationPoint* live =
        mike ? shell::MikeCalibrationCurve : shell::PreampCalibrationCurve;
    if (!record || !live) return;
    std::memcpy(mike ? record->MikeCalibration : record->PreampCalibration, live,
                sizeof(shell::CalibrationPoint) * shell::kGridPoints);
}

void ImportCalibration(HWND page, bool mike) {
    (void)page;
    char* path = mike ? shell::Preferences->MikeCalFilePath : shell::Preferences->PreampCalFilePath;
    static char title[2048];
    title[0] = '\0';
    // The file dialog writes the chosen path into the setting; a refused file leaves the setting
    // naming the calibration that is still in use.
    char previous[shell::kPathSlot];
    std::memcpy(previous, path, shell::kPathSlot);
    int read = 0;
    if (mike) {
        driverdata::InitMikeCalFileDlg(shell::FrameWindow);
        read = driverdata::OpenMikeCalFile(shell::FrameWindow, path, title);
    } else {
        driverdata::InitPreampCalFileDlg(shell::FrameWindow);
        read = driverdata::OpenPreampCalFile(shell::FrameWindow, path, title);
    }
    if (read != 1) {
        std::memcpy(path, previous, shell::kPathSlot);
        return;
    }
    KeepDriverCopy(mike);
    if (mike) {
        SetMlsSplTitle();
        FillMikeEntries();
    } else {
        FillPreampEntries();
    }
    ShowPage(1);
}

void ResetCalibrations() {
    std::memset(shell::MikeCalibrationCurve, 0,
                sizeof(shell::CalibrationPoint) * shell::kGridPoints);
    std::memset(shell::PreampCalibrationCurve, 0,
                sizeof(shell::CalibrationPoint) * shell::kGridPoints);
    if (shell::CurrentDriverRecord) {
        std::memset(shell::CurrentDriverRecord->MikeCalibration, 0,
                    sizeof shell::CurrentDriverRecord->MikeCalibration);
        std::memset(shell::CurrentDriverRecord->PreampCalibration, 0,
                    sizeof shell::CurrentDriverRecord->PreampCalibration);
    }
    for (int e = 25; e <= 28; ++e)
        if (shell::MeasuredCurveTable[e])
            std::fill(shell::MeasuredCurveTable[e]->v,
                      shell::MeasuredCurveTable[e]->v + shell::kGridPoints, 0.0f);
    ShowPage(1);
}

void CreateCalibration() {
    if (shell::Mls.MlsUseMikeCal == 1 && shell::Mls.MlsUsePreampCal == 1) {
        Message(shell::FrameWindow,
                "Please Select Either Mike File Or Preamp File For Construction");
        return;
    }
    const platform::INT_PTR result =
        platform::DialogBox(shell::AppInstance, kCalibrationTemplate, shell::FrameWindow,
                            &EnterCreateCalibrationDlgProc);
    if (result != 1) return;
    CreateCalibrationCurves();
    ShowPage(1);
}

void ExportCalibration() {
    if (shell::Mls.MlsUseMikeCal == 1 && shell::Mls.MlsUsePreampCal == 1) {
        Message(shell::FrameWindow, "Please Select Either Mike File Or Preamp File For Saving");
        return;
    }
    // The curve in use may have come from the preferences file, which fills no driver record.
    if (shell::Mls.MlsUseMikeCal != shell::Mls.MlsUsePreampCal)
        KeepDriverCopy(shell::Mls.MlsUseMikeCal == 1);
    driverdata::InitExportDlg(shell::FrameWindow);
    driverdata::ExportCalFileAs(shell::FrameWindow, shell::ExportFilePath, shell::ExportFileTitle);
}

// The page's combos, edits, boxes and output level as the shared settings stand; the room
// equalizer sets some of them too.
void ShowSettings(HWND page) {
    SelectRow(page, kRateCombo, shell::Mls.MlsSampleRateIndex, shell::kSampleRateCount);
    SelectRow(page, kAmplitudeZoomCombo, shell::Mls.MlsAmplitudeZoomIndex, 7);
    SelectRow(page, kTimeZoomCombo, shell::Mls.MlsTimeZoomIndex, 4);
    SelectRow(page, kWindowTypeCombo, shell::Mls.MlsWindowType, kMlsWindowTypeCount);
    SelectRow(page, kLengthCombo, shell::Mls.MlsLengthIndex, kMlsLengthCount);
    SelectRow(page, kSmoothingCombo, shell::Mls.MlsSmoothingIndex, 6);
    g_width_guard = g_ms_guard = true;
    platform::SetDlgItemText(page, kWindowWidthEdit, shell::Mls.MlsWindowWidthText);
    platform::SetDlgItemText(page, kPulseDelayEdit, shell::Mls.MlsPulseDelayText);
    ShowWindowMs(page);
    platform::SetDlgItemText(page, kDelayReadEdit, shell::Mls.TextA778);
    platform::SetDlgItemText(page, kPreEmphasisEdit, shell::Mls.MlsPreEmphasisText);
    platform::SetDlgItemText(page, kAddDbEdit, shell::Mls.MlsAddDbText);
    if (shell::CurrentDriverRecord)
        platform::SetDlgItemText(page, kEfficiencyEdit, shell::CurrentDriverRecord->Efficiency);
    SetCheck(page, kBothChannelsBox, shell::Mls.MlsBothChannels);
    SetCheck(page, kDelayReadBox, shell::Mls.MlsDelayRead);
    SetCheck(page, kShowWindowBox, shell::Mls.MlsShowWindow);
    SetCheck(page, kSavedBufferBox, shell::Mls.MlsUseSavedBuffer);
    SetCheck(page, kShowPhaseBox, shell::Mls.MlsShowPhase);
    SetCheck(page, kLinPhaseBox, MlsLinPhase);
    SetCheck(page, kUseMikeBox, shell::Mls.MlsUseMikeCal);
    SetCheck(page, kUsePreampBox, shell::Mls.MlsUsePreampCal);
    const HWND bar = platform::GetDlgItem(page, kLevelBar);
    shell::Mls.MlsOutputLevel = std::clamp(shell::Mls.MlsOutputLevel, 0, 100);
    platform::SendMessage(bar, platform::SBM_SETRANGE, 0, 100);
    platform::SendMessage(bar, platform::SBM_SETPOS, static_cast<WPARAM>(shell::Mls.MlsOutputLevel),
                          platform::TRUE);
    ShowOutputLevel(page);
}

void InitPage(HWND page) {
    shell::BuildExtendedFrequencyGrid();
    FillCombo(page, kRateCombo, shell::SampleRateNames, shell::kSampleRateCount);
    FillCombo(page, kAmplitudeZoomCombo, kAmplitudeZoomNames, 7);
    FillCombo(page, kTimeZoomCombo, kTimeZoomNames, 4);
    FillCombo(page, kWindowTypeCombo, MlsWindowNames, kMlsWindowTypeCount);
    FillCombo(page, kLengthCombo, MlsLengthNames, kMlsLengthCount);
    FillCombo(page, kSmoothingCombo, kSmoothingNames, 6);
    // The page always measures with the longest sequence until a length is picked, and shows it.
    shell::Mls.MlsLengthIndex = kMlsLengthCount - 1;
    MlsOrder = kMlsMaxOrder;
    ShowSettings(page);
    // AudioBusy stays as it is: a page opened while a measurement or playback runs must not
    // release it.
    MlsImpCursorX = 0;
    UpdateSmoothingPasses();
    for (int j = 0; j < shell::kGridPoints; ++j) {
        if (shell::MlsRefResponse) shell::MlsRefResponse[j] = {0.0f, 0.0f};
        if (shell::MlsInResponse) shell::MlsInResponse[j] = {0.0f, 0.0f};
    }
    if (!AllocMlsCaptureCopies())
        Message(shell::FrameWindow, "Not enough memory for the capture buffers");
    WindowsChanged();
}

void LevelScroll(HWND page, WPARAM wparam) {
    int level = shell::Mls.MlsOutputLevel;
    switch (platform::LOWORD(wparam)) {
        case platform::SB_LINELEFT:
            level -= 1;
            break;
        case platform::SB_LINERIGHT:
            level += 1;
            break;
        case platform::SB_PAGELEFT:
            level -= 10;
            break;
        case platform::SB_PAGERIGHT:
            level += 10;
            break;
        case platform::SB_THUMBPOSITION:
        case platform::SB_THUMBTRACK:
            level = static_cast<std::int16_t>(platform::HIWORD(wparam));
            break;
        case platform::SB_LEFT:
            level = 0;
            break;
        case platform::SB_RIGHT:
            level = 100;
            break;
        default:
            break;
    }
    shell::Mls.MlsOutputLevel = std::clamp(level, 0, 100);
    platform::SendDlgItemMessage(page, kLevelBar, platform::SBM_SETPOS,
                                 static_cast<WPARAM>(shell::Mls.MlsOutputLevel), platform::TRUE);
    ShowOutputLevel(page);
}

void Command(HWND page, int id, int code) {
    const bool selection = code == platform::CBN_SELCHANGE;
    const bool changed = code == platform::EN_CHANGE;
    // The rate and the length of a measurement or a play in flight stay (a new length would
    // process it with the wrong tables): the box chosen meanwhile shows its setting again.
    if (selection && shell::AudioBusy == 1 && (id == kRateCombo || id == kLengthCombo)) {
        const int row =
            id == kRateCombo ? shell::Mls.MlsSampleRateIndex : shell::Mls.MlsLengthIndex;
        platform::SendDlgItemMessage(page, id, platform::CB_SETCURSEL, static_cast<WPARAM>(row), 0);
        return;
    }
    switch (id) {
        case kRunButton:
            RunMls(page);
            break;
        case kCalculateButton:
            CalculateMlsSpl(page);
            InvalidateSplView();
            break;
        case kSaveIrButton:
            SaveMlsCaptureAs();
            break;
        case kRateCombo:
            if (!selection) break;
            shell::Mls.MlsSampleRateIndex = std::max(0, ComboRow(page, id));
            ShowWindowMs(page);
            RedrawDistance();
            break;
        case kLengthCombo:
            if (!selection) break;
            shell::Mls.MlsLengthIndex = std::clamp(ComboRow(page, id), 0, kMlsLengthCount - 1);
            MlsOrder = shell::Mls.MlsLengthIndex + kMlsMinOrder;
            break;
        case kSmoothingCombo:
            if (!selection) break;
            shell::Mls.MlsSmoothingIndex = std::clamp(ComboRow(page, id), 0, 5);
            UpdateSmoothingPasses();
            break;
        case kWindowTypeCombo:
            if (!selection) break;
            shell::Mls.MlsWindowType = std::clamp(ComboRow(page, id), 0, kMlsWindowTypeCount - 1);
            WidthChanged(page, false);
            break;
        case kWindowWidthEdit:
            if (changed && g_width_guard) WidthChanged(page, false);
            break;
        case kWindowMsEdit:
            if (changed && g_ms_guard) WidthChanged(page, true);
            break;
        case kShowWindowBox:
            Toggle(page, id, &shell::Mls.MlsShowWindow);
            SetWindowShowFlag();
            WidthChanged(page, false);
            break;
        case kShowPhaseBox:
            Toggle(page, id, &shell::Mls.MlsShowPhase);
            InvalidateSplView();
            break;
        case kAmplitudeZoomCombo:
            if (!selection) break;
            shell::Mls.MlsAmplitudeZoomIndex = std::clamp(ComboRow(page, id), 0, 6);
            RefreshMlsImpulseCurves();
            break;
        case kTimeZoomCombo:
            if (!selection) break;
            shell::Mls.MlsTimeZoomIndex = std::clamp(ComboRow(page, id), 0, 3);
            RefreshMlsImpulseCurves();
            break;
        case kPulseDelayEdit:
            if (!changed) break;
            ReadEditSlot(page, id, shell::Mls.MlsPulseDelayText);
            RedrawDistance();
            break;
        case kEfficiencyEdit:
            if (changed && shell::CurrentDriverRecord)
                ReadEditSlot(page, id, shell::CurrentDriverRecord->Efficiency);
            break;
        case kAddDbEdit:
            if (changed) ReadEditSlot(page, id, shell::Mls.MlsAddDbText);
            break;
        case kPreEmphasisEdit:
            if (changed) ReadEditSlot(page, id, shell::Mls.MlsPreEmphasisText);
            break;
        case kDelayReadEdit:
            if (changed) ReadEditSlot(page, id, shell::Mls.TextA778);
            break;
        case kBothChannelsBox:
            Toggle(page, id, &shell::Mls.MlsBothChannels);
            break;
        case kDelayReadBox:
            Toggle(page, id, &shell::Mls.MlsDelayRead);
            break;
        case kSavedBufferBox:
            Toggle(page, id, &shell::Mls.MlsUseSavedBuffer);
            break;
        case kLinPhaseBox:
            Toggle(page, id, &MlsLinPhase);
            break;
        case kUseMikeBox:
            Toggle(page, id, &shell::Mls.MlsUseMikeCal);
            break;
        case kUsePreampBox:
            Toggle(page, id, &shell::Mls.MlsUsePreampCal);
            break;
        case kClearButton:
            ClearSpl();
            break;
        case kImportMikeButton:
            ImportCalibration(page, true);
            break;
        case kImportPreampButton:
            ImportCalibration(page, false);
            break;
        case kShowCalButton:
            if (shell::Mls.MlsUseMikeCal == 1) FillMikeEntries();
            if (shell::Mls.MlsUsePreampCal == 1) FillPreampEntries();
            ShowPage(1);
            break;
        case kResetCalButton:
            ResetCalibrations();
            break;
        case kCreateCalButton:
            CreateCalibration();
            break;
        case kExportCalButton:
            ExportCalibration();
            break;
        case kPrintButton:
            if (shell::FrameWindow) shell::PrintWindowImage(shell::FrameWindow, page);
            break;
        case kPenColoursButton:
            if (shell::PenColourChildWindow)
                platform::BringWindowToTop(shell::PenColourChildWindow);
            else
                shell::OpenPenColourChild();
            break;
        default:
            break;
    }
}

}  // namespace

int LitMeterSegments(float level) {
    int lit = 0;
    for (int k = 0; k < kMeterSegments; ++k)
        if (level >= 2.0f * k) lit = k + 1;
    return lit;
}

int DrawInputLevelMeter(HWND meter, float level1, float level2) {
    if (!meter) return 0;
    platform::InvalidateRect(meter, nullptr, platform::TRUE);
    platform::UpdateWindow(meter);
    const platform::HDC hdc = platform::GetDC(meter);
    if (!hdc) return 0;
    platform::RECT r{};
    platform::GetClientRect(meter, &r);
    const float levels[2] = {level1, level2};
    for (int column = 0; column < 2; ++column) {
        const int x0 = r.left + (column == 0 ? 5 : 22);
        const int lit = LitMeterSegments(levels[column]);
        for (int k = 0; k < kMeterSegments; ++k) {
            const int bottom = r.bottom - 2 - 10 * k;
            platform::Rectangle(hdc, x0, bottom - 11, x0 + 13, bottom);
            if (k < lit) {
                const platform::RECT cell{x0 + 1, bottom - 10, x0 + 12, bottom - 1};
                platform::FillRect(hdc, &cell, shell::MeterBrushRamp[kMeterSegments - 1 - k]);
            }
        }
    }
    platform::MoveToEx(hdc, r.left, 11, nullptr);
    platform::LineTo(hdc, r.right + 5, 11);
    platform::ReleaseDC(meter, hdc);
    return 0;
}

void CreateCalibrationCurves() {
    static shell::CalibrationPoint built[shell::kGridPoints];
    BuildCalibrationCurve(shell::FrequencyGrid, shell::kGridPoints, built);
    if (shell::Mls.MlsUseMikeCal == 1) {
        std::memcpy(shell::MikeCalibrationCurve, built, sizeof built);
        KeepDriverCopy(true);
        FillMikeEntries();
    }
    if (shell::Mls.MlsUsePreampCal == 1) {
        std::memcpy(shell::PreampCalibrationCurve, built, sizeof built);
        KeepDriverCopy(false);
        FillPreampEntries();
    }
}

platform::INT_PTR MlsAcquireDlgProc(HWND page, platform::UINT message, WPARAM wparam,
                                    LPARAM lparam) {
    switch (message) {
        case platform::WM_INITDIALOG:
            InitPage(page);
            return platform::TRUE;
        case platform::WM_COMMAND:
            Command(page, platform::LOWORD(wparam), platform::HIWORD(wparam));
            return platform::TRUE;
        case kMlsSettingsChangedMessage:
            ShowSettings(page);
            WindowsChanged();
            InvalidateSplView();
            return platform::TRUE;
        case platform::WM_HSCROLL:
            if (platform::ParamToHandle(static_cast<std::uintptr_t>(lparam)) ==
                platform::GetDlgItem(page, kLevelBar))
                LevelScroll(page, wparam);
            return platform::TRUE;
        case platform::MM_WIM_DATA:
        case platform::MM_WOM_DONE:
            if (OnMlsRunMessage(message, wparam, lparam) == kMlsRunCaptured)
                ProcessCapture(page, false);
            return platform::TRUE;
        case platform::WM_PAINT:
            DrawInputLevelMeter(platform::GetDlgItem(page, kMeter), MlsInPeakLevel / 1200.0f,
                                MlsRefPeakLevel / 1200.0f);
            return platform::FALSE;
        case platform::WM_MOUSEMOVE:
            if (shell::AudioBusy == 1 && shell::Mls.MlsUseSavedBuffer == 1)
                platform::SetCursor(
                    platform::LoadCursor(platform::HINSTANCE{}, platform::IDC_WAIT));
            return platform::TRUE;
        case platform::WM_DESTROY:
            // A measurement never outlives the window its devices report to. The capture copies
            // stay: the views keep showing the impulses, and Save IR writes the capture they came
            // from when the page opens again.
            if (MlsRunActive() && MlsRunWindow() == page) StopMlsRun();
            return platform::TRUE;
        default:
            return platform::FALSE;
    }
}

}  // namespace measurement
