// The Pen Colours window: the colour page of the System-Wide Preferences window without the
// "Dialogue Box Background" entry. With entry 1 selected (chosen in the preferences window) this
// page edits no entry: its controls change only the shared edit state, as with no selection.
#include "frame/PenColourWindow.h"

#include "frame/ColourEditing.h"
#include "frame/ConfigWindows.h"
#include "frame/FrameCommands.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "shell/PreferencesRecord.h"

namespace frame {

using namespace shell;

using platform::HDC;
using platform::HWND;
using platform::LPARAM;
using platform::LRESULT;
using platform::UINT;
using platform::WPARAM;

namespace {

const ColourPageLayout& kLayout = kPenColourLayout;

// Commands reach the page only from its entry boxes and its two lists.
bool IsPageCommand(int id) { return (id >= 10008 && id <= 10022) || (id >= 10036 && id <= 10041); }

// Entry boxes are 20 pixels apart and 20 high; the page keeps a margin below the last one.
constexpr int kEntryRowHeight = 20;
constexpr int kBottomMargin = 10;

// The window opens tall enough to show its last entry row (the MLS curves): a stored or default
// rectangle that is shorter grows downwards. Later sizing by the user is left alone.
void ShowLastEntryRow(HWND window) {
    platform::RECT client{};
    if (!platform::GetClientRect(window, &client)) return;
    const int rows = kColourEntryCount - kLayout.first_entry + 1;
    const int needed = kLayout.entry_top + kEntryRowHeight * rows + kBottomMargin;
    if (client.bottom >= needed) return;
    platform::RECT outer{};
    platform::GetWindowRect(window, &outer);
    platform::POINT origin{outer.left, outer.top};
    platform::ScreenToClient(platform::GetParent(window), &origin);
    platform::MoveWindow(window, origin.x, origin.y, outer.right - outer.left,
                         outer.bottom - outer.top + needed - client.bottom, platform::TRUE);
}

}  // namespace

int CreatePenColourControls(HWND window) {
    if (!window || platform::GetDlgItem(window, kRedBarId)) return 0;
    LoadColourEditState(kLayout);
    CreateColourControls(window, kLayout);
    ShowLastEntryRow(window);
    return 0;
}

int PaintPenColour(HWND window, HDC dc) {
    PageText(dc, 10, 10, "Colour Scheme [click on X to exit]");
    PaintColourPage(dc, kLayout);
    ShowColourControls(window, kLayout);
    platform::SetWindowText(window, kPenColourTitle);
    return 0;
}

int OnPenColourCommand(HWND window, HDC dc, UINT message, WPARAM wParam, LPARAM lParam) {
    ColourEditMessage(window, dc, kLayout, message, wParam, lParam);
    return 0;
}

LRESULT PenColourChildWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case platform::WM_CREATE:
            CreatePenColourControls(window);
            return 0;
        case platform::WM_PAINT:
            PaintPageWindow(window, &PaintPenColour);
            return 0;
        case platform::WM_COMMAND:
        case platform::WM_HSCROLL: {
            if (!FromChildOf(window, lParam)) return 0;
            if (message == platform::WM_COMMAND && !IsPageCommand(platform::LOWORD(wParam))) {
                return 0;
            }
            const HDC dc = platform::GetDC(window);
            OnPenColourCommand(window, dc, message, wParam, lParam);
            platform::ReleaseDC(window, dc);
            return 0;
        }
        default:
            return PageChildMessage(window, message, wParam, lParam,
                                    WindowPlacements[kSlotPenColourChild], kPenColourTitle,
                                    PenColourChildWindow);
    }
}

}  // namespace frame
