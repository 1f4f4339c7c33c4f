// Window management shared by the frame and the other subsystems: the MDI-child openers, the
// group closers, the frame title, placement notes, the clipboard copy and program paths.
#include "shell/FrameWindows.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/gdi/Clipboard.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/Ids.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"

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

void NotePlacementMove(WindowPlacement& slot, platform::LPARAM lParam) {
    const int x = platform::LOWORD(static_cast<std::uintptr_t>(lParam));
    const int y = platform::HIWORD(static_cast<std::uintptr_t>(lParam));
    slot.X = x - platform::GetSystemMetrics(platform::SM_CXFRAME);
    slot.Y = y - platform::GetSystemMetrics(platform::SM_CYCAPTION) -
             platform::GetSystemMetrics(platform::SM_CYFRAME);
    if (slot.X > FrameClientWidth) slot.X = 0;
    if (slot.Y > FrameClientHeight) slot.Y = 0;
}

void NotePlacementSize(WindowPlacement& slot, int client_width, int client_height) {
    const int frame_x = platform::GetSystemMetrics(platform::SM_CXFRAME);
    const int frame_y = platform::GetSystemMetrics(platform::SM_CYFRAME);
    const int caption = platform::GetSystemMetrics(platform::SM_CYCAPTION);
    slot.Width = client_width + 2 * frame_x;
    slot.Height = client_height + caption + 2 * frame_y;
    if (slot.X < 0 || slot.X > FrameClientWidth) slot.X = 0;
    if (slot.Y < 0 || slot.Y > FrameClientHeight) slot.Y = 0;
    slot.Width = std::min(slot.Width, FrameClientWidth);
    slot.Height = std::min(slot.Height, FrameClientHeight);
}

platform::LRESULT PageChildMessage(HWND window, platform::UINT message, platform::WPARAM wParam,
                                   platform::LPARAM lParam, WindowPlacement& placement,
                                   const char* title, HWND& child_window) {
    switch (message) {
        case platform::WM_ERASEBKGND: {
            const platform::HDC dc = platform::HDC::FromIndex(static_cast<std::uint32_t>(wParam));
            platform::RECT client{};
            platform::GetClientRect(window, &client);
            const platform::HBRUSH old_brush =
                platform::SelectObject(dc, platform::GetSysColorBrush(platform::COLOR_BTNFACE));
            platform::Rectangle(dc, client.left, client.top, client.right, client.bottom);
            if (old_brush) platform::SelectObject(dc, old_brush);
            return 1;
        }
        case platform::WM_RBUTTONDOWN:
            CopyWindowToClipboard(FrameWindow);
            return 0;
        case platform::WM_MOVE:
            NotePlacementMove(placement, lParam);
            platform::SetWindowText(window, title);
            platform::DefMDIChildProc(window, message, wParam, lParam);
            return 0;
        case platform::WM_SIZE:
            NotePlacementSize(placement, platform::LOWORD(static_cast<std::uintptr_t>(lParam)),
                              platform::HIWORD(static_cast<std::uintptr_t>(lParam)));
            platform::SetWindowText(window, title);
            platform::DefMDIChildProc(window, message, wParam, lParam);
            return 0;
        case platform::WM_DESTROY:
            if (child_window == window) child_window = 0;
            platform::DefMDIChildProc(window, message, wParam, lParam);
            return 0;
        default:
            return platform::DefMDIChildProc(window, message, wParam, lParam);
    }
}

bool ProgramPath(const char* name, char* out, std::size_t capacity) {
    const std::size_t directory = std::strlen(ProgramDirectory);
    const std::size_t length = std::strlen(name);
    if (out == nullptr || capacity == 0) return false;
    if (directory + length + 1 > capacity) {
        out[0] = '\0';
        return false;
    }
    std::memmove(out, ProgramDirectory, directory);
    std::memcpy(out + directory, name, length + 1);
    return true;
}

}  // namespace shell
