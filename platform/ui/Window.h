// Windows: classes, creation and destruction, geometry, texts, sending messages, the default
// procedures (plain, frame, MDI child), the MDI client's requests, mouse capture, cursors and the
// system metrics. UI thread only. Every call given 0 or a destroyed window does nothing and
// reports failure (FALSE, 0 or an empty result).
#pragma once

#include "platform/Types.h"
#include "platform/ui/Messages.h"

namespace platform {

// --- Window styles -------------------------------------------------------------------------------
inline constexpr DWORD WS_OVERLAPPED = 0x00000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
inline constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_VSCROLL = 0x00200000;
inline constexpr DWORD WS_HSCROLL = 0x00100000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_THICKFRAME = 0x00040000;
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
inline constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
inline constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

inline constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr DWORD WS_EX_MDICHILD = 0x00000040;

// Class styles.
inline constexpr UINT CS_VREDRAW = 0x0001;
inline constexpr UINT CS_HREDRAW = 0x0002;
inline constexpr UINT CS_DBLCLKS = 0x0008;

// Position or size chosen by the layer.
inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// --- Classes -----------------------------------------------------------------------------------
struct WNDCLASS {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;  // bytes reachable through Get/SetWindowLong at offsets 0, 4, ...
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;  // e.g. GetSysColorBrush(COLOR_BTNFACE); 0 paints white
    const char* lpszMenuName;
    const char* lpszClassName;
};

// Registers a class; returns a non-zero atom, or 0 when the name is taken or the record is bad.
WORD RegisterClass(const WNDCLASS* wc);
BOOL UnregisterClass(const char* className, HINSTANCE instance);

// What WM_CREATE's lParam points to.
struct CREATESTRUCT {
    void* lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    DWORD style;
    const char* lpszName;
    const char* lpszClass;
    DWORD dwExStyle;
};

// Creates a window of a registered class or of a control class ("BUTTON", "EDIT", "STATIC",
// "LISTBOX", "COMBOBOX", "SCROLLBAR", "SysTabControl32", "MDICLIENT"). For a child window `menu`
// carries the control identifier (HMENU::FromIndex(id)). WM_CREATE is sent before this returns,
// followed by WM_SIZE and WM_MOVE; a WM_CREATE answer of -1 destroys the window and returns 0.
// A window whose parent is an MDI client becomes an MDI child.
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                    int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                    void* param);
HWND CreateWindow(const char* className, const char* title, DWORD style, int x, int y, int width,
                  int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);

// Sends WM_DESTROY to the window and then to its children (and owned windows), removes their
// timers and invalidates every handle. The capture and focus go with it.
BOOL DestroyWindow(HWND hwnd);

BOOL IsWindow(HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsWindowEnabled(HWND hwnd);
BOOL IsChild(HWND parent, HWND hwnd);
HWND GetParent(HWND hwnd);  // the parent of a child, the owner of a top-level window
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND hwnd);

// Show commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_NORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_MAXIMIZE = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_RESTORE = 9;
inline constexpr int SW_SHOWDEFAULT = 10;

// Returns whether the window was visible before.
BOOL ShowWindow(HWND hwnd, int command);
BOOL EnableWindow(HWND hwnd, BOOL enable);  // returns whether it was disabled before

// Window rectangles: children in their parent's client coordinates, top-level windows on the
// screen. The outer rectangle includes the decorations whose sizes GetSystemMetrics reports.
// The largest window size and position the layer takes (CreateWindow, MoveWindow,
// SetWindowPos): a larger width or height is cut to kMaxWindowExtent (a window's backing image
// is width x height pixels), a position is kept within +-kMaxWindowCoordinate, so that no right
// or bottom edge overflows.
inline constexpr int kMaxWindowExtent = 8192;
inline constexpr int kMaxWindowCoordinate = 4 * kMaxWindowExtent;
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);

inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;
inline constexpr UINT SWP_NOREDRAW = 0x0008;
inline constexpr UINT SWP_NOACTIVATE = 0x0010;
inline constexpr UINT SWP_SHOWWINDOW = 0x0040;
inline constexpr UINT SWP_HIDEWINDOW = 0x0080;
inline const HWND HWND_TOP = HWND{};
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL BringWindowToTop(HWND hwnd);
BOOL SetForegroundWindow(HWND hwnd);

BOOL GetClientRect(HWND hwnd, RECT* out);  // (0, 0, client width, client height)
BOOL GetWindowRect(HWND hwnd, RECT* out);  // outer rectangle on the screen
BOOL ClientToScreen(HWND hwnd, POINT* point);
BOOL ScreenToClient(HWND hwnd, POINT* point);

// Texts are Latin-1 bytes; they cross into Qt and back unchanged.
BOOL SetWindowText(HWND hwnd, const char* text);
int GetWindowText(HWND hwnd, char* buffer, int size);  // returns the length copied
int GetWindowTextLength(HWND hwnd);

// Extra window bytes of the class, read and written as 32-bit words at byte offsets; the system
// keeps small integers there. GWL_USERDATA is one more word of every window.
inline constexpr int GWL_USERDATA = -21;
LONG_PTR GetWindowLong(HWND hwnd, int offset);
LONG_PTR SetWindowLong(HWND hwnd, int offset, LONG_PTR value);  // returns the previous value
WORD GetWindowWord(HWND hwnd, int offset);
WORD SetWindowWord(HWND hwnd, int offset, WORD value);

// --- Messages to procedures ----------------------------------------------------------------------
// Calls the window's procedure at once and returns its result (0 for a stale handle).
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// System commands (WM_SYSCOMMAND wParam).
inline constexpr WPARAM SC_CLOSE = 0xF060;

// Default processing: WM_SYSCOMMAND SC_CLOSE sends WM_CLOSE, WM_CLOSE destroys the window,
// WM_PAINT validates, WM_ERASEBKGND fills with the class background, WM_SETTEXT and WM_GETTEXT
// keep the title, WM_SETCURSOR sets the class cursor.
LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// The frame's default: commands of the MDI window list activate their child.
LRESULT DefFrameProc(HWND hwnd, HWND mdiClient, UINT message, WPARAM wParam, LPARAM lParam);
// The MDI child's default: closing goes through the MDI client; the title feeds the window list.
LRESULT DefMDIChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// --- MDI -------------------------------------------------------------------------------------
// lParam of the MDI client's WM_CREATE (given as CreateWindow's param).
struct CLIENTCREATESTRUCT {
    HMENU hWindowMenu;  // the window list is appended to this menu
    UINT idFirstChild;  // identifier of the first window-list item
};
// lParam of WM_MDICREATE, sent to the MDI client; the result is the child's handle value.
struct MDICREATESTRUCT {
    const char* szClass;
    const char* szTitle;
    HINSTANCE hOwner;
    int x;
    int y;
    int cx;
    int cy;
    DWORD style;
    LPARAM lParam;  // reaches WM_CREATE as the creation parameter
};
inline constexpr UINT WM_MDICREATE = 0x0220;
inline constexpr UINT WM_MDIDESTROY = 0x0221;  // wParam: the child
// Sent to the MDI client with the child in wParam; the children receive it with the child
// losing activation in wParam and the one gaining it in lParam.
// (WM_MDIACTIVATE itself is declared with the other messages.)
inline constexpr UINT WM_MDIRESTORE = 0x0223;
inline constexpr UINT WM_MDINEXT = 0x0224;
inline constexpr UINT WM_MDIMAXIMIZE = 0x0225;
inline constexpr UINT WM_MDITILE = 0x0226;
inline constexpr UINT WM_MDICASCADE = 0x0227;
inline constexpr UINT WM_MDIICONARRANGE = 0x0228;
inline constexpr UINT WM_MDIGETACTIVE = 0x0229;

// Handle values travel in message parameters as their index.
inline LPARAM HandleToParam(HWND hwnd) { return static_cast<LPARAM>(hwnd.value); }
inline HWND ParamToHandle(std::uintptr_t v) {
    return HWND::FromIndex(static_cast<std::uint32_t>(v));
}

// --- Focus, capture, cursor -------------------------------------------------------------------
HWND SetFocus(HWND hwnd);  // returns the window that had the focus
HWND GetFocus();
HWND GetActiveWindow();
HWND SetCapture(HWND hwnd);  // mouse messages go to it until ReleaseCapture
BOOL ReleaseCapture();
HWND GetCapture();

inline const char* const IDC_ARROW = "#32512";
inline const char* const IDC_WAIT = "#32514";
inline const char* const IDC_SIZENS = "#32645";
inline const char* const IDC_SIZEWE = "#32644";
HCURSOR LoadCursor(HINSTANCE instance, const char* name);  // instance 0: the system cursors
HCURSOR SetCursor(HCURSOR cursor);  // shown over the window under the mouse; returns the previous
HCURSOR GetCursor();
BOOL SetCursorPos(int x, int y);  // moves the pointer where the platform allows it
BOOL GetCursorPos(POINT* out);
HICON LoadIcon(HINSTANCE instance, const char* name);
BOOL DestroyIcon(HICON icon);

// --- System metrics --------------------------------------------------------------------------
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CYHSCROLL = 3;
inline constexpr int SM_CYCAPTION = 4;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CYMENU = 15;
inline constexpr int SM_CXFRAME = 32;
inline constexpr int SM_CYFRAME = 33;
inline constexpr int SM_CXEDGE = 45;
inline constexpr int SM_CYEDGE = 46;
// Sizes of the layer's real decorations: MDI children (caption, frame), the frame's menu bar,
// client edges, scroll bars; and the screen.
int GetSystemMetrics(int index);

inline constexpr UINT SPI_GETWORKAREA = 0x0030;
// SPI_GETWORKAREA writes the desktop's work area (RECT) to `param`.
BOOL SystemParametersInfo(UINT action, UINT uiParam, void* param, UINT winIni);

}  // namespace platform
