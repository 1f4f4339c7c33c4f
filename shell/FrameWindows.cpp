// Window management shared by the frame and the other subsystems: the MDI-child openers, the
// group closers, the player dialog's opener, the frame title and the clipboard copy.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/gdi/Clipboard.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/FrameCommands.h"
#include "shell/FrameGlobals.h"
#include "shell/Ids.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/Services.h"

namespace shell {

using platform::HWND;

namespace {

constexpr const char* kCaption = "QV Message";
constexpr const char* kInterimTitle = "Setting Internal Fields....";

// A stored rectangle fitted into the frame's client area: one larger than the client shrinks
// with its proportions kept, one reaching past the right or bottom edge moves back inside (a
// configuration window lays its bars out inside whatever size it gets). A rectangle that fits
// stays as stored.
WindowPlacement FitIntoFrameClient(int slot) {
    WindowPlacement place = WindowPlacements[slot];
    platform::RECT client{};
    if (!MdiClientWindow || !platform::GetClientRect(MdiClientWindow, &client)) return place;
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0 || place.Width <= 0 || place.Height <= 0) return place;
    if (place.Width > width || place.Height > height) {
        const double scale = std::min(static_cast<double>(width) / place.Width,
                                      static_cast<double>(height) / place.Height);
        place.Width = std::min(width, static_cast<int>(place.Width * scale));
        place.Height = std::min(height, static_cast<int>(place.Height * scale));
    }
    place.X = std::max(0, std::min(place.X, width - place.Width));
    place.Y = std::max(0, std::min(place.Y, height - place.Height));
    return place;
}

// WM_MDICREATE to the MDI client with the slot's rectangle (fitted into the frame's client
// area); keeps and returns the new child.
HWND OpenMdiChild(const char* class_name, const char* title, int slot, HWND& handle,
                 platform::DWORD style = 0) {
    const WindowPlacement place = FitIntoFrameClient(slot);
    platform::MDICREATESTRUCT create{};
    create.szClass = class_name;
    create.szTitle = title;
    create.hOwner = AppInstance;
    create.x = place.X;
    create.y = place.Y;
    create.cx = place.Width;
    create.cy = place.Height;
    create.style = style;
    create.lParam = 0;
    const platform::LRESULT result = platform::SendMessage(
        MdiClientWindow, platform::WM_MDICREATE, 0, reinterpret_cast<platform::LPARAM>(&create));
    handle = platform::ParamToHandle(static_cast<std::uintptr_t>(result));
    return handle;
}

void MdiDestroy(HWND& handle) {
    if (!handle) return;
    platform::SendMessage(MdiClientWindow, platform::WM_MDIDESTROY,
                          static_cast<platform::WPARAM>(handle.value), 0);
    // The child clears its own handle; a window that is already gone must not stay named.
    if (!platform::IsWindow(handle)) handle = 0;
}

void DestroyModeless(HWND& handle) {
    if (!handle) return;
    platform::DestroyWindow(handle);
    handle = 0;
}

}  // namespace

HWND OpenSplPlotting() {
    return OpenMdiChild("SPL_Plotting", kInterimTitle, kSlotSplPlotting, SplPlottingWindow);
}
HWND OpenHomeTheatreConfig() {
    return OpenMdiChild("Splitter", "Home Theatre System Configuration", kSlotHomeTheatre,
                        SplitterWindow);
}
HWND OpenStereoConfig() {
    return OpenMdiChild("Splitter1", "Stereo System Configuration", kSlotStereo, Splitter1Window);
}
HWND OpenQuadroConfig() {
    return OpenMdiChild("Splitter2", "Quadro System Configuration", kSlotQuadro, Splitter2Window);
}
HWND OpenBbmConfig() {
    return OpenMdiChild("Splitter3", "5.2 BBM System Configuration", kSlotBbm, Splitter3Window);
}
HWND OpenEditorChild() {
    return OpenMdiChild("Editor_Child", kInterimTitle, kSlotEditorChild, EditorChildWindow);
}
HWND OpenDiffractionChild() {
    return OpenMdiChild("Diffraction_Child", kInterimTitle, kSlotDiffractionChild,
                        DiffractionChildWindow);
}
HWND OpenPenColourChild() {
    return OpenMdiChild("PenColour_Child", kInterimTitle, kSlotPenColourChild,
                        PenColourChildWindow);
}
HWND OpenPreferencesChild() {
    return OpenMdiChild("Preferences_Child", kInterimTitle, kSlotPreferencesChild,
                        PreferencesChildWindow);
}
HWND OpenMlsImpChild() {
    // The impulse view scrolls through the impulse with its own horizontal bar.
    return OpenMdiChild("MLS_IMP_Child", kInterimTitle, kSlotMlsImpChild, MlsImpChildWindow,
                        platform::WS_HSCROLL);
}
HWND OpenMlsSplChild() {
    return OpenMdiChild("MLS_SPL_Child", kInterimTitle, kSlotMlsSplChild, MlsSplChildWindow);
}

HWND OpenConfigurationWindow(int system_configuration) {
    switch (system_configuration) {
        case kSystemStereo:
            return Splitter1Window ? Splitter1Window : OpenStereoConfig();
        case kSystemHomeTheatre:
            return SplitterWindow ? SplitterWindow : OpenHomeTheatreConfig();
        case kSystemQuadro:
            return Splitter2Window ? Splitter2Window : OpenQuadroConfig();
        case kSystemBbm:
            return Splitter3Window ? Splitter3Window : OpenBbmConfig();
        default:
            return HWND{};
    }
}

int CloseEditorWindows() {
    MdiDestroy(MlsImpChildWindow);
    MdiDestroy(MlsSplChildWindow);
    DestroyModeless(MlsControlDialog);
    MdiDestroy(DiffractionChildWindow);
    DestroyModeless(DiffractionCalculatorDialog);
    MdiDestroy(EditorChildWindow);
    DestroyModeless(TransferFunctionDialog);
    return 0;
}

int CloseSystemWindows() {
    DestroyModeless(ComponentCADSelectionDialog);
    MdiDestroy(SplPlottingWindow);
    MdiDestroy(SplitterWindow);
    MdiDestroy(Splitter1Window);
    MdiDestroy(Splitter2Window);
    MdiDestroy(Splitter3Window);
    return 0;
}

int CloseSettingsWindows() {
    MdiDestroy(PreferencesChildWindow);
    MdiDestroy(PenColourChildWindow);
    return 0;
}

HWND CreatePlayerDialog(HWND owner) {
    if (ComponentCADSelectionDialog) return ComponentCADSelectionDialog;
    const ProgramServicesTable& services = ProgramServices();
    if (services.PlayerDialogProc == nullptr || services.PlayerDialogTemplate == nullptr) {
        return HWND{};
    }
    // The stored position is taken before the dialog exists: the dialog keeps its slot up to
    // date on every move, also on the one its creation makes.
    const WindowPlacement place = WindowPlacements[kSlotComponentCADSelection];
    const HWND dialog = platform::CreateDialogParam(AppInstance, services.PlayerDialogTemplate,
                                                    owner, services.PlayerDialogProc, 0);
    if (!dialog) return HWND{};
    ComponentCADSelectionDialog = dialog;
    // Inside the work area, whatever the stored position says.
    platform::RECT work{};
    platform::SystemParametersInfo(platform::SPI_GETWORKAREA, 0, &work, 0);
    int x = place.X;
    int y = place.Y;
    if (work.right > work.left && work.bottom > work.top) {
        x = std::max<int>(work.left, std::min<int>(x, work.right - kPlayerDialogWidth));
        y = std::max<int>(work.top, std::min<int>(y, work.bottom - kPlayerDialogHeight));
    }
    platform::MoveWindow(dialog, x, y, kPlayerDialogWidth, kPlayerDialogHeight, platform::TRUE);
    platform::ShowWindow(dialog, platform::SW_SHOW);
    return dialog;
}

int ShowComponentCADSelection(HWND owner) {
    CreatePlayerDialog(owner);
    if (SplPlottingWindow) {
        platform::InvalidateRect(SplPlottingWindow, nullptr, platform::TRUE);
        platform::BringWindowToTop(SplPlottingWindow);
    } else if (OpenSplPlotting()) {
        platform::BringWindowToTop(SplPlottingWindow);
    }
    return 0;
}

void SetPlayerCheckBoxes() {
    const HWND dialog = ComponentCADSelectionDialog;
    if (!dialog) return;
    const ProjectSettings& settings = Project.Settings;
    auto check = [](std::int32_t flag) {
        return flag == 1 ? platform::BST_CHECKED : platform::BST_UNCHECKED;
    };
    platform::CheckDlgButton(dialog, kUseHbtDataCheck, check(settings.UseHbtData));
    platform::CheckDlgButton(dialog, kSplOnlyEqCheck, check(settings.SplOnlyEq));
    platform::CheckDlgButton(dialog, kWideWindowCheck, check(WideWindow));
}

void SetFrameTitleWithPath(const char* path) {
    std::snprintf(FrameTitle, sizeof FrameTitle, "%s - %s", kBaseTitle, path ? path : "");
    platform::SetWindowText(FrameWindow, FrameTitle);
}

void DeactivatePanesAfterLoad() {
    const ProgramServicesTable& services = ProgramServices();
    if (services.DeactivatePanes != nullptr) services.DeactivatePanes();
    if (services.UpdateToolButtons != nullptr && ComponentCADSelectionDialog) {
        services.UpdateToolButtons(ComponentCADSelectionDialog);
    }
}

int CopyWindowToClipboard(HWND window) {
    bool copied = false;
    const platform::HDC window_dc = platform::GetDC(window);
    const platform::HDC memory_dc = platform::CreateCompatibleDC(window_dc);
    const platform::HBITMAP bitmap =
        platform::CreateCompatibleBitmap(window_dc, FrameClientWidth, FrameClientHeight);
    if (bitmap && memory_dc) {
        const platform::HBITMAP previous = platform::SelectObject(memory_dc, bitmap);
        platform::BitBlt(memory_dc, 0, 0, FrameClientWidth, FrameClientHeight, window_dc, 0, 0,
                         platform::SRCCOPY);
        platform::SelectObject(memory_dc, previous);
        if (platform::OpenClipboard(window)) {
            platform::EmptyClipboard();
            // From here on the clipboard owns the bitmap, unless it refused it.
            copied = static_cast<bool>(platform::SetClipboardData(platform::CF_BITMAP, bitmap));
            platform::CloseClipboard();
        }
        if (!copied) platform::DeleteObject(bitmap);
    } else if (bitmap) {
        platform::DeleteObject(bitmap);
    }
    if (memory_dc) platform::DeleteDC(memory_dc);
    platform::ReleaseDC(window, window_dc);
    if (copied) {
        platform::MessageBox(FrameWindow, "Screen Copied", kCaption,
                             platform::MB_OK | platform::MB_ICONINFORMATION);
        return 1;
    }
    platform::MessageBeep(platform::MB_OK);
    platform::MessageBox(FrameWindow, "Screen Copy Failed: the clipboard did not take the image",
                         kCaption, platform::MB_OK | platform::MB_ICONEXCLAMATION);
    return 0;
}

}  // namespace shell
