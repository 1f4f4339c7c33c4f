#include "measurement/MlsWindows.h"

#include <algorithm>

#include "measurement/Globals.h"
#include "measurement/MlsAcquire.h"
#include "measurement/MlsPlots.h"
#include "measurement/MlsProcess.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/DriverRecord.h"
#include "shell/FrameGlobals.h"
#include "shell/FrameWindows.h"
#include "shell/GdiObjects.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"

namespace measurement {

platform::HWND MlsControlTab{};
platform::HWND MlsControlPage{};
platform::HWND MlsSplTab{};
platform::HWND MlsSplPage{};
std::int32_t MlsSplPageIndex = 0;

namespace {

using platform::HWND;
using platform::LPARAM;
using platform::WPARAM;

int Metric(int index) { return platform::GetSystemMetrics(index); }

void InsertTab(HWND tab, int index, const char* text) {
    platform::TCITEM item{platform::TCIF_TEXT, text};
    platform::SendMessage(tab, platform::TCM_INSERTITEM, static_cast<WPARAM>(index),
                          reinterpret_cast<LPARAM>(&item));
}

HWND CreateTab(HWND parent, int id, int x, int y, int width, int height) {
    const HWND tab = platform::CreateWindowEx(
        0, "SysTabControl32", "", platform::WS_CHILD | platform::WS_VISIBLE | platform::WS_TABSTOP,
        x, y, width, height, parent, platform::HMENU::FromIndex(static_cast<std::uint32_t>(id)),
        shell::AppInstance, nullptr);
    if (tab) {
        platform::SendMessage(tab, platform::WM_SETFONT,
                              static_cast<WPARAM>(shell::SmallFont.value), 0);
    }
    return tab;
}

int TabSelection(HWND tab) {
    return static_cast<int>(platform::SendMessage(tab, platform::TCM_GETCURSEL, 0, 0));
}

// A position above the frame's client size starts at 0 again; a negative one too for the views.
void ClampPosition(shell::WindowPlacement& p, bool negative) {
    if (p.X > shell::FrameClientWidth || (negative && p.X < 0)) p.X = 0;
    if (p.Y > shell::FrameClientHeight || (negative && p.Y < 0)) p.Y = 0;
}
void ClampPlacement(shell::WindowPlacement& p) {
    ClampPosition(p, true);
    p.Width = std::min(p.Width, shell::FrameClientWidth);
    p.Height = std::min(p.Height, shell::FrameClientHeight);
}

// Where the plot page sits inside the SPL view's tab control.
void PlaceSplPage() {
    if (!MlsSplPage) return;
    const shell::WindowPlacement& p = shell::WindowPlacements[shell::kSlotMlsSplChild];
    platform::MoveWindow(
        MlsSplPage, 3, 27, p.Width - 3 * Metric(platform::SM_CXFRAME),
        p.Height - 3 * Metric(platform::SM_CYFRAME) - 2 * Metric(platform::SM_CYCAPTION),
        platform::TRUE);
    platform::ShowWindow(MlsSplPage, platform::SW_SHOW);
}

platform::DLGPROC SplPageProc(int index) {
    switch (index) {
        case 0:
            return &MlsSplDlgProc;
        case 1:
            return &MlsCalDlgProc;
        case 2:
            return &MlsPostDlgProc;
        default:
            return nullptr;
    }
}

void SwitchSplPage(int index) {
    const platform::DLGPROC proc = SplPageProc(index);
    if (!proc || !MlsSplTab) return;
    MlsSplPageIndex = index;
    if (MlsSplPage) platform::DestroyWindow(MlsSplPage);
    MlsSplPage = platform::CreateDialog(shell::AppInstance, kMlsSplPageTemplate, MlsSplTab, proc);
    PlaceSplPage();
}

// The page request to the SPL view: a TCN_SELCHANGE from the control dialog's tab carrying the
// page index.
void RequestSplPage(int index) {
    if (!shell::MlsSplChildWindow || !MlsSplTab) return;
    platform::SendMessage(MlsSplTab, platform::TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    platform::NMHDR note{MlsControlTab, 0, platform::TCN_SELCHANGE};
    platform::SendMessage(shell::MlsSplChildWindow, platform::WM_NOTIFY, static_cast<WPARAM>(index),
                          reinterpret_cast<LPARAM>(&note));
}

void OpenViews() {
    if (!shell::MlsSplChildWindow) shell::OpenMlsSplChild();
    if (!shell::MlsImpChildWindow) shell::OpenMlsImpChild();
}

void CreateControlPage(int index) {
    if (MlsControlPage) platform::DestroyWindow(MlsControlPage);
    MlsControlPage = HWND{};
    if (index == 0) {
        MlsControlPage = platform::CreateDialog(shell::AppInstance, kMlsAcquireTemplate,
                                                MlsControlTab, &MlsAcquireDlgProc);
    } else if (index == 1) {
        MlsControlPage = platform::CreateDialog(shell::AppInstance, kMlsProcessTemplate,
                                                MlsControlTab, &MlsProcessDlgProc);
    }
    if (MlsControlPage) platform::MoveWindow(MlsControlPage, 2, 24, 286, 654, platform::TRUE);
}

int VisibleFirst() { return MlsImpSpan() * MlsImpScrollPosition; }

void CursorLine(HWND view, int x) {
    const platform::HDC hdc = platform::GetDC(view);
    if (!hdc) return;
    const platform::HPEN old = platform::SelectObject(hdc, shell::BlackPen);
    platform::MoveToEx(hdc, x, 19, nullptr);
    platform::LineTo(hdc, x, MlsImpClientHeight - 20);
    platform::SelectObject(hdc, old);
    platform::ReleaseDC(view, hdc);
    MlsImpCursorX = x;
}

void AfterStartBinChange(HWND view) {
    SetMlsImpTitle(false);
    RefreshMlsImpulseCurves();
    const platform::HDC hdc = platform::GetDC(view);
    if (hdc) {
        DrawAcousticalDistance(hdc);
        platform::ReleaseDC(view, hdc);
    }
}

// A plot page paints only its plot and keeps the rest of what it showed, so that the curves are
// redrawn without a flicker. After a resize nothing of the old size may stay (title box, axis
// labels and grid lines drawn for another size): the next paint starts from an erased page, as a
// page chosen afresh does.
bool g_spl_page_resized = false;

// What the three plot pages share; `mode` is the page's.
platform::INT_PTR SplPageMessage(HWND page, platform::UINT message, LPARAM lparam, int mode) {
    switch (message) {
        case platform::WM_SIZE:
            g_spl_page_resized = true;
            platform::InvalidateRect(page, nullptr, platform::TRUE);
            return platform::TRUE;
        case platform::WM_PAINT: {
            platform::InvalidateRect(page, nullptr, platform::FALSE);
            platform::PAINTSTRUCT ps;
            const platform::HDC hdc = platform::BeginPaint(page, &ps);
            DrawMlsSplFrame(hdc, mode);
            platform::EndPaint(page, &ps);
            return platform::TRUE;
        }
        case platform::WM_ERASEBKGND:
            if (!g_spl_page_resized) return 1;
            g_spl_page_resized = false;
            return platform::FALSE;  // the default erase: the page's own background
        case platform::WM_LBUTTONUP:
            if (shell::MlsSplChildWindow)
                platform::InvalidateRect(shell::MlsSplChildWindow, nullptr, platform::TRUE);
            if (MlsSplPage) platform::InvalidateRect(MlsSplPage, nullptr, platform::FALSE);
            return platform::TRUE;
        case platform::WM_MOUSEMOVE:
            MlsSplMouseMove(mode, lparam);
            return platform::TRUE;
        case platform::WM_LBUTTONDOWN:
            MlsSplClick(page, mode, lparam);
            return platform::TRUE;
        case platform::WM_DESTROY:
            if (MlsSplPage == page) MlsSplPage = HWND{};
            return platform::TRUE;
        default:
            return platform::FALSE;
    }
}

}  // namespace

void ShowMlsSettings() {
    if (MlsControlPage) platform::SendMessage(MlsControlPage, kMlsSettingsChangedMessage, 0, 0);
}

void ShowMlsSplPage(int index) { RequestSplPage(index); }

platform::INT_PTR MlsControlDlgProc(HWND dialog, platform::UINT message, WPARAM wparam,
                                    LPARAM lparam) {
    switch (message) {
        case platform::WM_INITDIALOG:
            MlsControlTab = CreateTab(dialog, kMlsControlTabId, 1, 1, 290, 680);
            InsertTab(MlsControlTab, 0, "MLS");
            InsertTab(MlsControlTab, 1, "Processing");
            OpenViews();
            CreateControlPage(0);
            return 0;
        case platform::WM_NOTIFY: {
            const auto* note = reinterpret_cast<const platform::NMHDR*>(lparam);
            if (note == nullptr || note->code != platform::TCN_SELCHANGE ||
                note->hwndFrom != MlsControlTab)
                return 0;
            const int index = TabSelection(MlsControlTab);
            if (index == 0) {
                CreateControlPage(0);
                RequestSplPage(0);
            } else if (index == 1) {
                CreateControlPage(1);
                OpenViews();
                RequestSplPage(2);
            }
            return 0;
        }
        case platform::WM_MOVE: {
            shell::WindowPlacement& p = shell::WindowPlacements[shell::kSlotMlsControl];
            p.X = static_cast<std::int16_t>(platform::LOWORD(static_cast<std::uintptr_t>(lparam))) -
                  Metric(platform::SM_CXEDGE) - 1;
            p.Y = static_cast<std::int16_t>(platform::HIWORD(static_cast<std::uintptr_t>(lparam))) -
                  Metric(platform::SM_CYCAPTION) - Metric(platform::SM_CYEDGE) - 1;
            ClampPosition(p, false);
            return 0;
        }
        case platform::WM_SYSCOMMAND:
            if ((wparam & 0xFFF0) == platform::SC_CLOSE) {
                platform::DestroyWindow(dialog);
                shell::MlsControlDialog = HWND{};
                return 1;
            }
            return 0;
        case platform::WM_COMMAND:
            // Escape closes the tool as the close box does.
            if (platform::LOWORD(wparam) == platform::IDCANCEL) {
                platform::DestroyWindow(dialog);
                shell::MlsControlDialog = HWND{};
            }
            return 0;
        case platform::WM_DESTROY:
            // The page goes with the dialog; its own WM_DESTROY stops a running measurement.
            shell::MlsControlDialog = HWND{};
            MlsControlTab = HWND{};
            MlsControlPage = HWND{};
            if (MlsImpulseValid == 1 && shell::CurrentDriverRecord)
                shell::CurrentDriverRecord->CurveKind = 0;
            return 0;
        default:
            return 0;
    }
}

platform::LRESULT MlsSplChildWndProc(HWND window, platform::UINT message, WPARAM wparam,
                                     LPARAM lparam) {
    shell::WindowPlacement& p = shell::WindowPlacements[shell::kSlotMlsSplChild];
    switch (message) {
        case platform::WM_CREATE: {
            shell::MlsSplChildWindow = window;
            platform::RECT client{};
            platform::GetClientRect(window, &client);
            MlsSplTab = CreateTab(window, kMlsSplTabId, 0, 0, client.right, client.bottom);
            InsertTab(MlsSplTab, 0, "SPL + Phase");
            InsertTab(MlsSplTab, 1, "Mike + Preamp");
            InsertTab(MlsSplTab, 2, "Post Processing");
            MlsSplPageIndex = 0;
            MlsSplPage = platform::CreateDialog(shell::AppInstance, kMlsSplPageTemplate, MlsSplTab,
                                                &MlsSplDlgProc);
            break;
        }
        case platform::WM_SIZE: {
            const int w = platform::LOWORD(static_cast<std::uintptr_t>(lparam));
            const int h = platform::HIWORD(static_cast<std::uintptr_t>(lparam));
            MlsSplPlotWidth = w - 5;
            MlsSplPlotHeight = h - 33;
            p.Width = w + 2 * Metric(platform::SM_CXFRAME);
            p.Height = h + Metric(platform::SM_CYCAPTION) + 2 * Metric(platform::SM_CYFRAME);
            SetMlsSplTitle();
            ClampPlacement(p);
            if (MlsSplTab) {
                platform::MoveWindow(
                    MlsSplTab, 0, 0, p.Width - 2 * Metric(platform::SM_CXFRAME),
                    p.Height - 2 * Metric(platform::SM_CYFRAME) - Metric(platform::SM_CYCAPTION),
                    platform::TRUE);
                platform::ShowWindow(MlsSplTab, platform::SW_SHOW);
            }
            PlaceSplPage();
            break;
        }
        case platform::WM_MOVE:
            p.X = static_cast<std::int16_t>(platform::LOWORD(static_cast<std::uintptr_t>(lparam))) -
                  Metric(platform::SM_CXFRAME);
            p.Y = static_cast<std::int16_t>(platform::HIWORD(static_cast<std::uintptr_t>(lparam))) -
                  Metric(platform::SM_CYCAPTION) - Metric(platform::SM_CYFRAME);
            ClampPosition(p, false);
            SetMlsSplTitle();
            break;
        case platform::WM_NOTIFY: {
            const auto* note = reinterpret_cast<const platform::NMHDR*>(lparam);
            if (note == nullptr || note->code != platform::TCN_SELCHANGE) break;
            const int index = note->hwndFrom == MlsSplTab
                                  ? TabSelection(MlsSplTab)
                                  : static_cast<int>(platform::LOWORD(wparam));
            SwitchSplPage(index);
            return 0;
        }
        case platform::WM_DESTROY:
            shell::MlsSplChildWindow = HWND{};
            MlsSplTab = HWND{};
            MlsSplPage = HWND{};
            break;
        default:
            break;
    }
    return platform::DefMDIChildProc(window, message, wparam, lparam);
}

platform::INT_PTR MlsSplDlgProc(HWND page, platform::UINT message, WPARAM, LPARAM lparam) {
    return SplPageMessage(page, message, lparam, 0);
}
platform::INT_PTR MlsCalDlgProc(HWND page, platform::UINT message, WPARAM, LPARAM lparam) {
    return SplPageMessage(page, message, lparam, 1);
}
platform::INT_PTR MlsPostDlgProc(HWND page, platform::UINT message, WPARAM, LPARAM lparam) {
    return SplPageMessage(page, message, lparam, 2);
}

void OnMlsImpClick(HWND view, LPARAM lparam) {
    const int x = platform::GET_X_LPARAM(lparam);
    const int y = platform::GET_Y_LPARAM(lparam);
    const int w = MlsImpClientWidth;
    const int h = MlsImpClientHeight;
    // A view of 80 pixels or less has no time axis to click on.
    if (w <= 80 || x < 60 || x >= w - 18 || y < 20 || y >= h - 20) return;
    CursorLine(view, x);
    const int span = MlsImpSpan();
    MlsImpulseStart = static_cast<std::int32_t>(span * MlsImpScrollPosition +
                                                static_cast<double>((x - 60) * span) / (w - 80));
    ClampMlsImpulseStart();
    AfterStartBinChange(view);
}

void OnMlsImpKey(HWND view, WPARAM key) {
    const int span = MlsImpSpan();
    const int first = VisibleFirst();
    if (MlsImpulseStart < first || MlsImpulseStart > first + span) return;
    if (key == platform::VK_LEFT || key == platform::VK_RIGHT) {
        if (key == platform::VK_LEFT) {
            --MlsImpulseStart;
            if (MlsImpulseStart < first) MlsImpulseStart = first + span - 1;
        } else {
            ++MlsImpulseStart;
            if (MlsImpulseStart > first + span - 1) MlsImpulseStart = first;
        }
        if (MlsImpClientWidth > 80) {
            CursorLine(view, static_cast<int>((MlsImpulseStart - first) * MlsTimeZoom() * 0.0005 *
                                                  (MlsImpClientWidth - 80) +
                                              60));
        }
    }
    AfterStartBinChange(view);
}

platform::LRESULT MlsImpChildWndProc(HWND window, platform::UINT message, WPARAM wparam,
                                     LPARAM lparam) {
    shell::WindowPlacement& p = shell::WindowPlacements[shell::kSlotMlsImpChild];
    switch (message) {
        case platform::WM_CREATE:
            shell::MlsImpChildWindow = window;
            ClampMlsImpulseStart();
            platform::SetScrollRange(window, platform::SB_HORZ, 0, kMlsScrollMax, platform::FALSE);
            platform::SetScrollPos(window, platform::SB_HORZ, MlsImpScrollPosition, platform::TRUE);
            break;
        case platform::WM_SIZE: {
            MlsImpClientWidth = platform::LOWORD(static_cast<std::uintptr_t>(lparam));
            MlsImpClientHeight = platform::HIWORD(static_cast<std::uintptr_t>(lparam));
            p.Width = MlsImpClientWidth + 2 * Metric(platform::SM_CXFRAME);
            p.Height = MlsImpClientHeight + Metric(platform::SM_CYCAPTION) +
                       2 * Metric(platform::SM_CYFRAME) + Metric(platform::SM_CYHSCROLL);
            SetMlsImpTitle(true);
            ClampPlacement(p);
            break;
        }
        case platform::WM_MOVE:
            p.X = static_cast<std::int16_t>(platform::LOWORD(static_cast<std::uintptr_t>(lparam))) -
                  Metric(platform::SM_CXFRAME);
            p.Y = static_cast<std::int16_t>(platform::HIWORD(static_cast<std::uintptr_t>(lparam))) -
                  Metric(platform::SM_CYCAPTION) - Metric(platform::SM_CYFRAME);
            ClampPosition(p, false);
            SetMlsImpTitle(true);
            break;
        case platform::WM_HSCROLL: {
            int position = MlsImpScrollPosition;
            switch (platform::LOWORD(wparam)) {
                case platform::SB_LINELEFT:
                case platform::SB_PAGELEFT:
                    --position;
                    break;
                case platform::SB_LINERIGHT:
                case platform::SB_PAGERIGHT:
                    ++position;
                    break;
                case platform::SB_THUMBPOSITION:
                case platform::SB_THUMBTRACK:
                    position = static_cast<std::int16_t>(platform::HIWORD(wparam));
                    break;
                default:
                    break;
            }
            position = std::clamp(position, 0, kMlsScrollMax);
            if (position != platform::GetScrollPos(window, platform::SB_HORZ)) {
                MlsImpScrollPosition = position;
                RefreshMlsImpulseCurves();
                platform::SetScrollPos(window, platform::SB_HORZ, position, platform::TRUE);
                SetMlsImpTitle(true);
            }
            return 0;
        }
        case platform::WM_LBUTTONDOWN:
            OnMlsImpClick(window, lparam);
            return 0;
        case platform::WM_LBUTTONUP:
            return 0;
        case platform::WM_KEYDOWN:
            OnMlsImpKey(window, wparam);
            break;
        case platform::WM_MOUSEMOVE:
            if (shell::AudioBusy == 1 && shell::Mls.MlsUseSavedBuffer == 1)
                platform::SetCursor(
                    platform::LoadCursor(platform::HINSTANCE{}, platform::IDC_WAIT));
            return 0;
        case platform::WM_RBUTTONDOWN:
            shell::CopyWindowToClipboard(shell::FrameWindow);
            break;
        case platform::WM_PAINT: {
            platform::InvalidateRect(window, nullptr, platform::FALSE);
            platform::PAINTSTRUCT ps;
            const platform::HDC hdc = platform::BeginPaint(window, &ps);
            DrawMlsImpulseFrame(hdc);
            platform::EndPaint(window, &ps);
            return 0;
        }
        case platform::WM_DESTROY:
            shell::MlsImpChildWindow = HWND{};
            break;
        default:
            break;
    }
    return platform::DefMDIChildProc(window, message, wparam, lparam);
}

void ResetMlsWindows() {
    MlsControlTab = MlsControlPage = MlsSplTab = MlsSplPage = HWND{};
    MlsSplPageIndex = 0;
    MlsSplPlotWidth = MlsSplPlotHeight = MlsImpClientWidth = MlsImpClientHeight = 0;
    MlsImpScrollPosition = 0;
    MlsImpCursorX = 0;
    MlsCopyCount = 0;
    MlsSplPickedCurve = MlsCalPickedCurve = MlsPostPickedBuffer = 0;
}

}  // namespace measurement
