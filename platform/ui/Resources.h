// Dialog templates and menus as data. The program's own templates live in resources/ (one file
// each) and are registered at start-up; CreateDialog, DialogBox and LoadMenu find them by name.
//
// Coordinates and sizes of templates are dialog units of the template's font (its face and point
// size; "MS Shell Dlg" 8 pt when it names none, points at 96 pixels per inch). The layer turns them
// into pixels as a dialog manager does: the base units are the font's average width of the
// letters "A" to "Z" and "a" to "z" (rounded) and its cell height; x values become
// x * average width / 4, y values y * cell height / 8, each value rounded on its own. A control
// at {x, y, cx, cy} units covers those pixels of the dialog's client area; the template's own
// size is the client size. MapDialogRect (Dialog.h) does the same sum for a live dialog. A creator
// that moves or sizes the dialog afterwards works in pixels (outer size, see GetSystemMetrics
// SM_CXEDGE / SM_CYCAPTION for a dialog's decorations). Texts must fit their controls in that
// font: a test over every registered template checks it.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/Types.h"

namespace platform {

enum class ControlKind {
    PushButton,       // BN_CLICKED
    DefPushButton,    // the button that Enter presses
    OwnerDrawButton,  // drawn by the dialog on WM_DRAWITEM; BN_CLICKED
    CheckBox,         // not automatic: the procedure sets the check
    RadioButton,      // not automatic
    AutoCheckBox,     // toggles itself, then BN_CLICKED
    GroupBox,         // a frame with a caption
    StaticText,       // text; asks its parent for colours with WM_CTLCOLORSTATIC
    StaticCanvas,     // custom-drawn (GetDC on it), transparent to the mouse
    Edit,             // EN_CHANGE on every change; EM_LIMITTEXT
    ListBox,          // LBN_SELCHANGE
    DropDownList,     // CBN_SELCHANGE
    HScrollBar,       // WM_HSCROLL to the parent
    VScrollBar,       // WM_VSCROLL to the parent
    TabControl,       // TCN_SELCHANGE in WM_NOTIFY
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;  // Latin-1; may be 0
    int x;
    int y;
    int cx;
    int cy;
    DWORD style;  // extra window styles (WS_DISABLED, WS_TABSTOP, ES_..., ...)
};

struct DialogTemplate {
    const char* name;   // the name CreateDialog and DialogBox are given
    const char* title;  // caption
    int x;              // position relative to the owner's client area (child dialogs: parent)
    int y;
    int cx;  // client size
    int cy;
    const char* font_face;  // 0: the layer's dialog font
    int font_size;          // points
    DWORD style;            // WS_CHILD for tab pages; 0 for a captioned dialog
    const ControlTemplate* controls;
    std::size_t control_count;
};

// One entry of a menu, flattened: `level` 0 entries are the bar's popups, level 1 their items,
// level 2 the items of a nested popup. An entry followed by deeper entries is a popup; `text` 0
// is a separator.
struct MenuItemTemplate {
    int level;
    const char* text;
    UINT id;
};

struct MenuTemplate {
    const char* name;
    const MenuItemTemplate* items;
    std::size_t item_count;
};

// Registers a template under its name (a second registration of the same name replaces the
// first). The data must outlive the layer (static data).
void RegisterDialogTemplate(const DialogTemplate* dialog);
void RegisterMenu(const MenuTemplate* menu);
const DialogTemplate* FindDialogTemplate(const char* name);
const MenuTemplate* FindMenuTemplate(const char* name);
// Every registered dialog template, in the order of registration.
std::vector<const DialogTemplate*> RegisteredDialogTemplates();

}  // namespace platform
