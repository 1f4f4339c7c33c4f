// Window messages, their parameters, the thread's message queue and the message loop.
// Values are the layer's own; names are those the system's procedures switch over.
#pragma once

#include "platform/Types.h"

namespace platform {

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;  // layer clock, milliseconds
    POINT pt;
};

// Window messages.
inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_ACTIVATE = 0x0006;
inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_KILLFOCUS = 0x0008;
inline constexpr UINT WM_ENABLE = 0x000A;
inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_GETTEXT = 0x000D;
inline constexpr UINT WM_GETTEXTLENGTH = 0x000E;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_ERASEBKGND = 0x0014;
inline constexpr UINT WM_SHOWWINDOW = 0x0018;
inline constexpr UINT WM_SETCURSOR = 0x0020;
inline constexpr UINT WM_MOUSEACTIVATE = 0x0021;
inline constexpr UINT WM_CHILDACTIVATE = 0x0022;
inline constexpr UINT WM_DRAWITEM = 0x002B;
inline constexpr UINT WM_SETFONT = 0x0030;
inline constexpr UINT WM_GETFONT = 0x0031;
inline constexpr UINT WM_NOTIFY = 0x004E;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_CHAR = 0x0102;
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_SYSKEYUP = 0x0105;
inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_HSCROLL = 0x0114;
inline constexpr UINT WM_VSCROLL = 0x0115;
inline constexpr UINT WM_CTLCOLORSTATIC = 0x0138;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
inline constexpr UINT WM_CAPTURECHANGED = 0x0215;
inline constexpr UINT WM_MDIACTIVATE = 0x0222;
inline constexpr UINT WM_USER = 0x0400;

inline constexpr UINT WM_KEYFIRST = WM_KEYDOWN;
inline constexpr UINT WM_KEYLAST = 0x0109;
inline constexpr UINT WM_MOUSEFIRST = WM_MOUSEMOVE;
inline constexpr UINT WM_MOUSELAST = 0x020D;

// Key-state flags in wParam of mouse messages.
inline constexpr WPARAM MK_LBUTTON = 0x0001;
inline constexpr WPARAM MK_RBUTTON = 0x0002;
inline constexpr WPARAM MK_SHIFT = 0x0004;
inline constexpr WPARAM MK_CONTROL = 0x0008;

// WM_SIZE wParam.
inline constexpr WPARAM SIZE_RESTORED = 0;
inline constexpr WPARAM SIZE_MINIMIZED = 1;
inline constexpr WPARAM SIZE_MAXIMIZED = 2;

// Virtual keys in wParam of WM_KEYDOWN and WM_KEYUP. Digits and letters are their upper-case
// characters ('0'..'9', 'A'..'Z'). The lParam of a key message carries the repeat count in bits
// 0-15 and the key's Latin-1 character (0 for none) in bits 16-23; bit 30 is set for a repeat.
inline constexpr WPARAM VK_BACK = 0x08;
inline constexpr WPARAM VK_TAB = 0x09;
inline constexpr WPARAM VK_RETURN = 0x0D;
inline constexpr WPARAM VK_SHIFT = 0x10;
inline constexpr WPARAM VK_CONTROL = 0x11;
inline constexpr WPARAM VK_MENU = 0x12;
inline constexpr WPARAM VK_ESCAPE = 0x1B;
inline constexpr WPARAM VK_SPACE = 0x20;
inline constexpr WPARAM VK_PRIOR = 0x21;  // Page Up
inline constexpr WPARAM VK_NEXT = 0x22;   // Page Down
inline constexpr WPARAM VK_END = 0x23;
inline constexpr WPARAM VK_HOME = 0x24;
inline constexpr WPARAM VK_LEFT = 0x25;
inline constexpr WPARAM VK_UP = 0x26;
inline constexpr WPARAM VK_RIGHT = 0x27;
inline constexpr WPARAM VK_DOWN = 0x28;
inline constexpr WPARAM VK_INSERT = 0x2D;
inline constexpr WPARAM VK_DELETE = 0x2E;
inline constexpr WPARAM VK_F1 = 0x70;
inline constexpr WPARAM VK_OEM_PERIOD = 0xBE;
inline constexpr WPARAM VK_OEM_MINUS = 0xBD;
inline constexpr WPARAM VK_OTHER = 0xFF;  // a key with a character but no code of its own

// --- The queue and the loop (UI thread unless said otherwise) -----------------------------------

// Posts a message to the queue of the UI thread and wakes it. Any thread may call it.
// Returns FALSE only when the layer is not running.
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// PeekMessage flags.
inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;

// The next message, in this order: a posted message; the quit request of PostQuitMessage; a due
// WM_TIMER (earliest first); WM_PAINT for a window with an invalid region. GetMessage waits (the
// Qt event loop runs meanwhile, turning input into posted messages) and returns FALSE for
// WM_QUIT; PeekMessage returns FALSE at once when nothing is there.
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
// For a WM_KEYDOWN whose key has a character, queues WM_CHAR so that it comes next.
BOOL TranslateMessage(const MSG* msg);
// Hands the message to its window's procedure (a WM_TIMER with a timer procedure to that).
LRESULT DispatchMessage(const MSG* msg);
// Ends the loop: GetMessage returns FALSE with `exitCode` in wParam once the queue is empty.
void PostQuitMessage(int exitCode);

// If `msg` is for `dialog` or one of its controls, handles it the way dialogs handle keys
// (Enter = IDOK or the default button, Escape = IDCANCEL, Tab moves the focus), after offering it
// to the message-filter hooks (code MSGF_DIALOGBOX), and returns TRUE; otherwise FALSE.
BOOL IsDialogMessage(HWND dialog, MSG* msg);

// --- Message-filter hooks ---------------------------------------------------------------------
inline constexpr int WH_MSGFILTER = -1;
inline constexpr int MSGF_DIALOGBOX = 0;
inline constexpr int HC_ACTION = 0;
// code, wParam (0), lParam (the MSG*). A non-zero result keeps the message from its window.
using HOOKPROC = LRESULT (*)(int code, WPARAM wParam, LPARAM lParam);
HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE instance, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
DWORD GetCurrentThreadId();

}  // namespace platform
