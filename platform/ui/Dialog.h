// Dialogs from templates and the controls in them: buttons, check and radio boxes, statics,
// edits, list boxes, drop-down lists, scroll bars (controls and window bars) and tab controls,
// with their messages and notifications. UI thread only.
//
// Notifications reach the parent's procedure synchronously, the same whether a person or the
// program caused the change: WM_COMMAND (MAKEWPARAM(id, code), control handle value), WM_HSCROLL
// and WM_VSCROLL (MAKEWPARAM(code, position), control handle value), WM_NOTIFY (id, NMHDR*).
#pragma once

#include "platform/Types.h"
#include "platform/ui/MessageBox.h"  // IDOK, IDCANCEL
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

namespace platform {

// --- Dialogs ------------------------------------------------------------------------------------

// Modeless: creates the dialog of template `name` owned by `owner` (a child of `owner` when the
// template has WS_CHILD, as tab pages are), its controls, then sends WM_INITDIALOG (wParam: first
// control, lParam: `param`). A child dialog is shown at once; a top-level one when its creator
// calls ShowWindow (or at once when the template's style has WS_VISIBLE). A top-level dialog is
// placed at the template's x, y in the owner's client coordinates. The template's units become
// pixels by the base units of its font (Resources.h); the dialog and every control get that font
// (WM_SETFONT; WM_GETFONT tells it). Returns 0 for an unknown template, or for a child template
// without a live parent.
HWND CreateDialogParam(HINSTANCE instance, const char* name, HWND owner, DLGPROC proc,
                       LPARAM param);
HWND CreateDialog(HINSTANCE instance, const char* name, HWND owner, DLGPROC proc);

// Modal: as CreateDialogParam, then disables the owner's top-level window and runs a nested loop
// until EndDialog; returns EndDialog's result, or -1 when the template is unknown.
INT_PTR DialogBoxParam(HINSTANCE instance, const char* name, HWND owner, DLGPROC proc,
                       LPARAM param);
INT_PTR DialogBox(HINSTANCE instance, const char* name, HWND owner, DLGPROC proc);

// True while a modal loop runs on the UI thread: a modal dialog (DialogBox), or a message box or
// file chooser shown on screen. Work that runs on timers meanwhile, and would change what such a
// window was opened on, waits for it to close.
bool ModalLoopRunning();

// Ends a modal dialog with `result` (hidden now; its loop returns and destroys it); destroys a
// modeless one at once, so its WM_DESTROY runs before EndDialog returns.
BOOL EndDialog(HWND dialog, INT_PTR result);

// The default processing of dialogs: Enter = IDOK, Escape and the close box (WM_SYSCOMMAND
// SC_CLOSE, then WM_CLOSE) = WM_COMMAND IDCANCEL.
LRESULT DefDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Turns a rectangle in dialog units into pixels with the dialog's base units (those of its
// template's font): x values times the average character width / 4, y values times the character
// height / 8. FALSE when `dialog` is not a dialog.
BOOL MapDialogRect(HWND dialog, RECT* rect);

// --- Texts, numbers, checks
// ------------------------------------------------------------------------
BOOL SetDlgItemText(HWND dialog, int id, const char* text);
UINT GetDlgItemText(HWND dialog, int id, char* buffer, int size);  // length copied
// `translated` (may be 0) is FALSE when the text is not a number.
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);

inline constexpr UINT BST_UNCHECKED = 0;
inline constexpr UINT BST_CHECKED = 1;
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
// Checks `checkId` and clears the other radio buttons from firstId to lastId.
BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId);

// Control styles for CreateWindow (templates say the same with ControlKind).
inline constexpr DWORD BS_PUSHBUTTON = 0x0000;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
inline constexpr DWORD BS_CHECKBOX = 0x0002;
inline constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
inline constexpr DWORD BS_RADIOBUTTON = 0x0004;
inline constexpr DWORD BS_GROUPBOX = 0x0007;
inline constexpr DWORD BS_OWNERDRAW = 0x000B;
inline constexpr DWORD SS_LEFT = 0x0000;
inline constexpr DWORD SS_CENTER = 0x0001;
inline constexpr DWORD SS_OWNERDRAW = 0x000D;  // a static canvas
inline constexpr DWORD ES_LEFT = 0x0000;
inline constexpr DWORD ES_AUTOHSCROLL = 0x0080;
inline constexpr DWORD LBS_NOTIFY = 0x0001;
inline constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
inline constexpr DWORD SBS_HORZ = 0x0000;
inline constexpr DWORD SBS_VERT = 0x0001;

// --- Buttons -----------------------------------------------------------------------------------
inline constexpr UINT BN_CLICKED = 0;
inline constexpr UINT BM_GETCHECK = 0x00F0;
inline constexpr UINT BM_SETCHECK = 0x00F1;
inline constexpr UINT BM_CLICK = 0x00F5;

// WM_DRAWITEM lParam (owner-drawn buttons): draw into hDC, then return TRUE.
inline constexpr UINT ODT_BUTTON = 4;
inline constexpr UINT ODS_SELECTED = 0x0001;
inline constexpr UINT ODS_FOCUS = 0x0010;
inline constexpr UINT ODA_DRAWENTIRE = 0x0001;
inline constexpr UINT ODA_SELECT = 0x0002;
struct DRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
    HDC hDC;
    RECT rcItem;
    std::uintptr_t itemData;
};

// --- Edits -------------------------------------------------------------------------------------
inline constexpr UINT EN_SETFOCUS = 0x0100;
inline constexpr UINT EN_KILLFOCUS = 0x0200;
inline constexpr UINT EN_CHANGE = 0x0300;
inline constexpr UINT EM_LIMITTEXT = 0x00C5;  // wParam: most characters typed (0: the default)
inline constexpr UINT EM_SETSEL = 0x00B1;

// --- List boxes --------------------------------------------------------------------------------
inline constexpr LRESULT LB_ERR = -1;
inline constexpr UINT LBN_SELCHANGE = 1;
inline constexpr UINT LBN_DBLCLK = 2;
inline constexpr UINT LB_ADDSTRING = 0x0180;     // lParam: const char*; returns the index
inline constexpr UINT LB_INSERTSTRING = 0x0181;  // wParam: index (-1 = end)
inline constexpr UINT LB_DELETESTRING = 0x0182;
inline constexpr UINT LB_RESETCONTENT = 0x0184;
inline constexpr UINT LB_SETCURSEL = 0x0186;  // wParam: index or -1; LB_ERR when out of range
inline constexpr UINT LB_GETCURSEL = 0x0188;  // LB_ERR when nothing is selected
inline constexpr UINT LB_GETTEXT = 0x0189;    // wParam: index, lParam: char* buffer
inline constexpr UINT LB_GETTEXTLEN = 0x018A;
inline constexpr UINT LB_GETCOUNT = 0x018B;
inline constexpr UINT LB_SETCARETINDEX = 0x019E;
inline constexpr UINT LB_GETCARETINDEX = 0x019F;

// --- Drop-down lists ---------------------------------------------------------------------------
// Closed, a drop-down list is one line of its font high (its window rectangle too); the height it
// is created or moved with is that of the list when it drops.
inline constexpr LRESULT CB_ERR = -1;
inline constexpr UINT CBN_SELCHANGE = 1;
inline constexpr UINT CB_ADDSTRING = 0x0143;
inline constexpr UINT CB_DELETESTRING = 0x0144;
inline constexpr UINT CB_GETCOUNT = 0x0146;
inline constexpr UINT CB_GETCURSEL = 0x0147;
inline constexpr UINT CB_GETLBTEXT = 0x0148;
inline constexpr UINT CB_GETLBTEXTLEN = 0x0149;
inline constexpr UINT CB_INSERTSTRING = 0x014A;
inline constexpr UINT CB_RESETCONTENT = 0x014B;
inline constexpr UINT CB_SETCURSEL = 0x014E;

// --- Scroll bars ---------------------------------------------------------------------------------
// Request codes in the low word of WM_HSCROLL / WM_VSCROLL wParam; the high word carries the
// position for SB_THUMBPOSITION and SB_THUMBTRACK.
inline constexpr UINT SB_LINEUP = 0;
inline constexpr UINT SB_LINELEFT = 0;
inline constexpr UINT SB_LINEDOWN = 1;
inline constexpr UINT SB_LINERIGHT = 1;
inline constexpr UINT SB_PAGEUP = 2;
inline constexpr UINT SB_PAGELEFT = 2;
inline constexpr UINT SB_PAGEDOWN = 3;
inline constexpr UINT SB_PAGERIGHT = 3;
inline constexpr UINT SB_THUMBPOSITION = 4;
inline constexpr UINT SB_THUMBTRACK = 5;
inline constexpr UINT SB_TOP = 6;
inline constexpr UINT SB_LEFT = 6;
inline constexpr UINT SB_BOTTOM = 7;
inline constexpr UINT SB_RIGHT = 7;
inline constexpr UINT SB_ENDSCROLL = 8;

// Which bar: a window's own bars, or a scroll-bar control (its handle).
inline constexpr int SB_HORZ = 0;
inline constexpr int SB_VERT = 1;
inline constexpr int SB_CTL = 2;
int SetScrollPos(HWND hwnd, int bar, int position, BOOL redraw);  // previous position
int GetScrollPos(HWND hwnd, int bar);
BOOL SetScrollRange(HWND hwnd, int bar, int minimum, int maximum, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, int* minimum, int* maximum);
inline constexpr UINT SBM_SETPOS = 0x00E0;
inline constexpr UINT SBM_GETPOS = 0x00E1;
inline constexpr UINT SBM_SETRANGE = 0x00E2;  // wParam min, lParam max

// --- Tab controls ------------------------------------------------------------------------------
struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};
inline constexpr UINT TCN_SELCHANGE = static_cast<UINT>(-551);
inline constexpr UINT TCN_SELCHANGING = static_cast<UINT>(-552);
inline constexpr UINT TCIF_TEXT = 0x0001;
struct TCITEM {
    UINT mask;
    const char* pszText;
};
inline constexpr UINT TCM_GETITEMCOUNT = 0x1304;
inline constexpr UINT TCM_INSERTITEM = 0x1307;  // wParam: index, lParam: TCITEM*; returns index
inline constexpr UINT TCM_DELETEALLITEMS = 0x1309;
inline constexpr UINT TCM_GETCURSEL = 0x130B;
inline constexpr UINT TCM_SETCURSEL = 0x130C;  // no notification, as on the original platform
inline constexpr UINT TCM_GETCURFOCUS = 0x132F;

}  // namespace platform
