#include "engine/PlayerDialog.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/Engine.h"
#include "engine/Globals.h"
#include "engine/Ids.h"
#include "engine/KeyHook.h"
#include "network/CopySpeakerDialog.h"
#include "network/EditorState.h"
#include "network/Ids.h"
#include "network/PaneDrawing.h"
#include "network/WorkingNetwork.h"
#include "platform/audio/Wave.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/FrameWindows.h"
#include "shell/FrequencyGrid.h"
#include "shell/GdiObjects.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"
#include "solver/Globals.h"
#include "solver/NetworkCheck.h"
#include "solver/PlotControlDialog.h"
#include "solver/SolveNetwork.h"

namespace engine {

using namespace platform;

namespace {

constexpr int kVolumeTop = 66;
constexpr const char* kCopySpeakerTemplate = "QUORVEX_LINEARIZER_COPY_SPEAKER";

// Handles kept at initialisation.
HWND PaletteControl;

bool Busy() { return shell::AudioBusy == 1; }

void SetCheck(HWND dialog, int id, std::int32_t word) {
    CheckDlgButton(dialog, id, word == 1 ? BST_CHECKED : BST_UNCHECKED);
}

void Toggle(HWND dialog, int id, std::int32_t& word) {
    word = word == 1 ? 0 : 1;
    SetCheck(dialog, id, word);
}

void InvalidatePanes(bool all, int pane) {
    for (int k = 1; k <= shell::kPaneCount; ++k) {
        const HWND window = network::PaneWindows[k - 1];
        if ((all || k == pane) && IsWindow(window)) InvalidateRect(window, nullptr, TRUE);
    }
}

// The SPL plot window invalidated and raised; opened when it is closed.
void ShowSplPlot() {
    if (IsWindow(shell::SplPlottingWindow)) {
        InvalidateRect(shell::SplPlottingWindow, nullptr, TRUE);
    } else {
        shell::OpenSplPlotting();
    }
    BringWindowToTop(shell::SplPlottingWindow);
}

// ---- Initialisation ----

void InitDialog(HWND dialog) {
    InitPlayer(dialog);  // meters, buffer counts, F, MasterGain, trims, hotkey outputs
    network::CopySpeakerFlags[0] = 1;      // source Front Left
    network::CopySpeakerFlags[7 + 2] = 1;  // target Front Right
    shell::BuildFrequencyGrids();
    PaletteControl = GetDlgItem(dialog, network::kElementPalette);

    shell::ProjectSettings& settings = shell::Project.Settings;
    SetCheck(dialog, network::kShowNodesCheck, network::ShowNodes);
    SetCheck(dialog, network::kShowRasterCheck, network::ShowRaster);
    SetCheck(dialog, kUseHbtDataCheck, settings.UseHbtData);
    SetCheck(dialog, kSplOnlyEqCheck, settings.SplOnlyEq);
    SetCheck(dialog, kWideWindowCheck, shell::WideWindow);
    SetCheck(dialog, kPlayWavFileCheck, PlayWavMode);

    // The thumb shows the stored volume, so the first scroll step starts from it.
    const HWND volume = GetDlgItem(dialog, kVolumeScrollBar);
    SetScrollRange(volume, SB_CTL, 0, kVolumeTop, FALSE);
    int position = settings.VolumeSliderPosition;
    position = position < 0 ? 0 : (position > kVolumeTop ? kVolumeTop : position);
    SetScrollPos(volume, SB_CTL, position, TRUE);

    shell::AudioBusy = 0;
    network::UpdateToolButtons(dialog);

    char title[64];
    const double bbm = settings.BbmLevel > 0.0f ? settings.BbmLevel : 0.5;
    std::snprintf(title, sizeof title, "BBM %.1fdB ", 20.0 * std::log10(bbm));
    SetWindowText(dialog, title);

    InstallPlayerKeyHook(dialog);

    shell::ComponentCADSelectionDialog = dialog;
}

// ---- Palette ----

void PaletteRelease(HWND dialog, int x, int y) {
    if (Busy() || !(x > 0 && x < 40 && y > 0 && y < 240)) return;
    network::ElementPending = 1;
    network::WireDragActive = 0;
    const int kind = PaletteKindAt(x, y);
    if (kind != 0) network::PendingElementKind = kind;

    const int chosen = network::PendingElementKind;
    const HWND target = PaletteControl ? PaletteControl : dialog;
    const HDC hdc = GetDC(target);
    network::DrawElementPalette(hdc);
    if (chosen >= 1 && chosen <= 6) {
        const HPEN old_pen = SelectObject(hdc, shell::BlackPen);
        const HBRUSH old_brush = SelectObject(hdc, shell::CyanBrush);
        Rectangle(hdc, 0, 40 * (chosen - 1), 40, 40 * chosen);
        SelectObject(hdc, old_brush);
        const POINT at = network::PaletteSymbolPoint(chosen);
        network::DrawElementSymbol(chosen, hdc, at.x, at.y);
        SelectObject(hdc, old_pen);
    }
    ReleaseDC(target, hdc);
    network::ToolMode = network::kToolDraw;
    network::UpdateToolButtons(dialog);
}

// ---- Commands ----

void SetTool(HWND dialog, int mode) {
    network::ToolMode = mode;
    for (auto& pane_mode : shell::PaneToolModes) pane_mode = mode;
    if (mode == network::kToolMove) {
        for (auto& g : shell::WorkingNetwork.ElementGeometry) g.moveFlag = 0;
        for (auto& w : shell::WorkingNetwork.Wire) w.moveMark = 0;
    }
    network::UpdateToolButtons(dialog);
}

void ChannelButton(int id) {
    const int pane = PaneOfChannelButton(id);
    if (pane == 0) return;
    network::SetActivePane(pane);
    network::RestorePaneStore(pane);
    if (solver::CheckSystemNetwork() != 0) return;
    solver::SolveNetwork();
    ShowSplPlot();
    InvalidatePanes(pane >= 4, pane);
}

void CurveSelection(HWND dialog) {
    shell::ModalDialogOpen = 1;
    const INT_PTR result = DialogBox(shell::AppInstance, solver::kPlotControlTemplate, dialog,
                                     solver::PlotControlDlgProc);
    if (result > 0) {
        // The check concerns the channel whose network the working tables hold: the active one
        // or, after a load deactivated the panes, the one last shown. Before any channel was
        // restored they hold the start-up template, which nobody chose: nothing to check.
        if (network::ActivePane != 0 || network::RestoredPane != 0) solver::CheckSystemNetwork();
        ShowSplPlot();
    }
    shell::ModalDialogOpen = 0;
}

void CopySpeaker(HWND dialog) {
    DialogBox(shell::AppInstance, kCopySpeakerTemplate, dialog, &network::CopySpeakerDlgProc);
}

void ClearPlots() {
    for (shell::CurveRecord* curve : shell::SystemCurveTable) {
        if (curve == nullptr) continue;
        for (int i = 0; i <= shell::kCurveVisible; ++i) curve->v[i] = 0.0f;
    }
    constexpr int kClearedPoints = 131072;
    for (int o = 0; o < solver::kOutputPorts; ++o) {
        if (shell::ComplexPoint* filter = shell::FirSpectrumTables[0][o]) {
            for (int k = 0; k < kClearedPoints; ++k) filter[k] = shell::ComplexPoint{0.0f, 0.0f};
        }
        if (shell::ComplexPoint* final_response = shell::FirSpectrumTables[1][o]) {
            for (int k = 0; k < kClearedPoints; ++k) {
                final_response[k] = shell::ComplexPoint{1e-7f, 0.0f};
            }
        }
        solver::FirSpectrumStamps[o] = solver::SpectrumStamp{0, 0, 0};
    }
    if (IsWindow(shell::SplPlottingWindow)) InvalidateRect(shell::SplPlottingWindow, nullptr, TRUE);
}

void Command(HWND dialog, int id) {
    shell::ProjectSettings& settings = shell::Project.Settings;
    switch (id) {
        case kPlayCommand:
            PlayCommand(dialog);
            return;
        case kStopCommand:
            StopCommand(dialog);
            return;
        case kPlayWavFileCheck:
            Toggle(dialog, id, PlayWavMode);
            return;
        case kWideWindowCheck:
            Toggle(dialog, id, shell::WideWindow);
            return;
        default:
            break;
    }
    if (Busy()) return;
    switch (id) {
        case network::kDrawButton:
            SetTool(dialog, network::kToolDraw);
            break;
        case network::kMoveButton:
            SetTool(dialog, network::kToolMove);
            break;
        case network::kWipeCompButton:
            SetTool(dialog, network::kToolWipeComp);
            break;
        case network::kWipeWireButton:
            SetTool(dialog, network::kToolWipeWire);
            break;
        case network::kShowNodesCheck:
            Toggle(dialog, id, network::ShowNodes);
            InvalidatePanes(true, 0);
            break;
        case network::kShowRasterCheck:
            Toggle(dialog, id, network::ShowRaster);
            InvalidatePanes(true, 0);
            break;
        case network::kCopySpeakerButton:
            CopySpeaker(dialog);
            break;
        case network::kCurveSelectionButton:
            CurveSelection(dialog);
            break;
        case kTestTonesButton:
            if (TestTonesCommand(dialog) > 0) ShowSplPlot();
            break;
        case network::kClearPlotsButton:
            ClearPlots();
            break;
        case kUseHbtDataCheck:
            Toggle(dialog, id, settings.UseHbtData);
            break;
        case kSplOnlyEqCheck:
            Toggle(dialog, id, settings.SplOnlyEq);
            break;
        default:
            if (PaneOfChannelButton(id) != 0) ChannelButton(id);
            break;
    }
}

// ---- Volume ----

void VolumeScroll(HWND dialog, WPARAM wParam, LPARAM lParam) {
    const HWND bar = GetDlgItem(dialog, kVolumeScrollBar);
    if (!bar || ParamToHandle(static_cast<std::uintptr_t>(lParam)) != bar) return;
    int position = GetScrollPos(bar, SB_CTL);
    switch (LOWORD(wParam)) {
        case SB_LINELEFT:
            position -= 1;
            break;
        case SB_LINERIGHT:
            position += 1;
            break;
        case SB_PAGELEFT:
            position -= 3;
            break;
        case SB_PAGERIGHT:
            position += 3;
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
            position = HIWORD(wParam);
            break;
        case SB_LEFT:
            position = 0;
            break;
        case SB_RIGHT:
            position = kVolumeTop;
            break;
        default:
            return;  // end of scroll: no change
    }
    SetVolumePosition(dialog, position);
}

INT_PTR GainReadout(HDC hdc) {
    SetTextColor(hdc, RGB(0, 0, 0));
    SetBkColor(hdc, RGB(255, 255, 0));
    const HFONT old_font =
        SelectObject(hdc, shell::SystemFont ? shell::SystemFont : GetStockObject(SYSTEM_FONT));
    char text[64];
    std::snprintf(text, sizeof text, "Gain = %ddB (%.3f)    ",
                  shell::Project.Settings.VolumeSliderPosition - 51,
                  static_cast<double>(MasterGain));
    TextOut(hdc, 0, 0, text, static_cast<int>(std::strlen(text)));
    SelectObject(hdc, old_font);
    return static_cast<INT_PTR>(shell::CyanBrush.value);
}

// ---- Play and STOP buttons ----

INT_PTR DrawPlayButton(const DRAWITEMSTRUCT* item) {
    if (item == nullptr || (item->CtlID != kPlayCommand && item->CtlID != kStopCommand))
        return FALSE;
    const bool play = item->CtlID == kPlayCommand;
    const bool pressed = (item->itemState & ODS_SELECTED) != 0;
    const HDC hdc = item->hDC;
    const RECT face{0, 0, 47, 38};
    FillRect(hdc, &face,
             pressed ? shell::MeterBrushRamp[4] : (play ? shell::YellowBrush : shell::CyanBrush));
    const HPEN old_pen = SelectObject(hdc, shell::BlackPen);
    MoveToEx(hdc, 2, 36, nullptr);
    LineTo(hdc, 45, 36);
    LineTo(hdc, 45, 1);
    SelectObject(hdc, old_pen);
    SetTextColor(hdc, RGB(0, 0, 0));
    const int old_mode = SetBkMode(hdc, TRANSPARENT);
    const char* text = pressed ? (play ? "Starting" : "Will Do") : (play ? "PLAY" : "STOP");
    TextOut(hdc, pressed ? 2 : 8, 10, text, static_cast<int>(std::strlen(text)));
    SetBkMode(hdc, old_mode);
    return TRUE;
}

// ---- Paint and move ----

void Paint(HWND dialog) {
    if (PaletteControl) {
        InvalidateRect(PaletteControl, nullptr, TRUE);
        UpdateWindow(PaletteControl);
        const HDC hdc = GetDC(PaletteControl);
        network::DrawElementPalette(hdc);
        ReleaseDC(PaletteControl, hdc);
    }
    ClearMeters(dialog);
}

void Moved(LPARAM lParam) {
    shell::WindowPlacement& slot = shell::WindowPlacements[shell::kSlotComponentCADSelection];
    int x = GET_X_LPARAM(lParam) - GetSystemMetrics(SM_CXEDGE) - 1;
    int y = GET_Y_LPARAM(lParam) - GetSystemMetrics(SM_CYCAPTION) - GetSystemMetrics(SM_CYEDGE) - 1;
    if (x > shell::FrameClientWidth) x = 0;
    if (y > shell::FrameClientHeight) y = 0;
    slot.X = x;
    slot.Y = y;
}

void Closing(HWND dialog) {
    ClosePlayer(dialog);
    if (shell::ComponentCADSelectionDialog == dialog) shell::ComponentCADSelectionDialog = 0;
}

}  // namespace

int PaneOfChannelButton(int id) {
    switch (id) {
        case network::kFrontLeftButton:
            return 1;
        case network::kCentreButton:
            return 2;
        case network::kFrontRightButton:
            return 3;
        case network::kRearLeftButton:
            return 4;
        case network::kSubButton:
            return 5;
        case network::kRearRightButton:
            return 6;
        case network::kSub2Button:
            return 7;
        default:
            return 0;
    }
}

int PaletteKindAt(int x, int y) {
    if (!(x > 0 && x < 40 && y > 0 && y < 240)) return 0;
    if (y % 40 == 0) return 0;  // on a border: the kind pending before stays
    return y / 40 + 1;
}

INT_PTR SystemDesignPlayerDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            InitDialog(dialog);
            return TRUE;
        case WM_PAINT:
            Paint(dialog);
            return FALSE;
        case WM_MOVE:
            Moved(lParam);
            return FALSE;
        case WM_LBUTTONUP:
            PaletteRelease(dialog, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return FALSE;
        case WM_COMMAND:
            Command(dialog, LOWORD(wParam));
            return TRUE;
        case WM_HSCROLL:
            VolumeScroll(dialog, wParam, lParam);
            return TRUE;
        case WM_CTLCOLORSTATIC:
            if (GetDlgCtrlID(ParamToHandle(static_cast<std::uintptr_t>(lParam))) == kGainReadout) {
                return GainReadout(HDC::FromIndex(static_cast<std::uint32_t>(wParam)));
            }
            return FALSE;
        case WM_DRAWITEM:
            return DrawPlayButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_TIMER:
            PlayerTimer(dialog, wParam);
            return TRUE;
        case MM_WIM_DATA:
            OnWaveInData(dialog, wParam, lParam);
            return TRUE;
        case MM_WOM_DONE:
            OnWaveOutDone(dialog, wParam, lParam);
            return TRUE;
        case WM_CLOSE:
            Closing(dialog);
            EndDialog(dialog, 1);
            return TRUE;
        case WM_DESTROY:
            RemovePlayerKeyHook();
            Closing(dialog);
            PaletteControl = 0;
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace engine
