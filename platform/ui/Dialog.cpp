// Dialogs from templates: creation, the modal loop, ending, the default dialog procedure and the
// item helpers.

#include "platform/ui/Dialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "platform/gdi/Gdi.h"
#include "platform/internal/Fonts.h"
#include "platform/internal/Headless.h"
#include "platform/ui/HostHooks.h"
#include "platform/ui/WindowTable.h"

namespace platform {
namespace ui {
namespace {

std::vector<HWND> modal_stack;
int modal_loops = 0;  // modal loops running now, nested ones included

constexpr int kDefaultDialogPoints = 8;

struct ControlClass {
    const char* name;
    DWORD style;
};

ControlClass ClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
            return {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP};
        case ControlKind::DefPushButton:
            return {"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP};
        case ControlKind::OwnerDrawButton:
            return {"BUTTON", BS_OWNERDRAW | WS_TABSTOP};
        case ControlKind::CheckBox:
            return {"BUTTON", BS_CHECKBOX | WS_TABSTOP};
        case ControlKind::RadioButton:
            return {"BUTTON", BS_RADIOBUTTON | WS_TABSTOP};
        case ControlKind::AutoCheckBox:
            return {"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP};
        case ControlKind::GroupBox:
            return {"BUTTON", BS_GROUPBOX};
        case ControlKind::StaticText:
            return {"STATIC", SS_LEFT};
        case ControlKind::StaticCanvas:
            return {"STATIC", SS_OWNERDRAW};
        case ControlKind::Edit:
            return {"EDIT", ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER};
        case ControlKind::ListBox:
            return {"LISTBOX", LBS_NOTIFY | WS_TABSTOP | WS_BORDER};
        case ControlKind::DropDownList:
            return {"COMBOBOX", CBS_DROPDOWNLIST | WS_TABSTOP};
        case ControlKind::HScrollBar:
            return {"SCROLLBAR", SBS_HORZ};
        case ControlKind::VScrollBar:
            return {"SCROLLBAR", SBS_VERT};
        case ControlKind::TabControl:
            return {"SysTabControl32", WS_TABSTOP};
    }
    return {"STATIC", SS_LEFT};
}

HWND FirstTabStop(HWND dialog) {
    for (HWND h : Children(dialog)) {
        Window* c = Find(h);
        if (c && (c->style & WS_TABSTOP) && c->enabled) return h;
    }
    return HWND{};
}

// The font of a template: its face and point size, or the dialog face at 8 points; points are
// taken at 96 pixels per inch. One font per face and size serves every dialog that asks for it.
HFONT TemplateFont(const DialogTemplate& t) {
    const std::string face = t.font_face ? t.font_face : "MS Shell Dlg";
    const int points = t.font_size > 0 ? t.font_size : kDefaultDialogPoints;
    static std::map<std::pair<std::string, int>, HFONT> fonts;
    HFONT& font = fonts[{face, points}];
    if (!internal::FontExists(font)) {
        const int character_height = -((points * 96 + 36) / 72);
        font =
            CreateFont(character_height, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0, face.c_str());
    }
    return font;
}

// Dialog units to pixels, each value on its own and rounded half away from zero.
int UnitsToPixels(int units, int base, int per_base) {
    return static_cast<int>(std::lround(static_cast<double>(units) * base / per_base));
}

HWND Create(HINSTANCE instance, const char* name, HWND owner, DLGPROC proc, LPARAM param,
            bool modal) {
    const DialogTemplate* t = FindDialogTemplate(name);
    if (!t) return HWND{};
    const bool child = (t->style & WS_CHILD) != 0;
    if (child && !Find(owner)) return HWND{};
    if (owner && !Find(owner)) owner = HWND{};
    const HFONT font = TemplateFont(*t);
    const SIZE base = internal::FontBaseUnits(font);
    int x = UnitsToPixels(t->x, base.cx, 4);
    int y = UnitsToPixels(t->y, base.cy, 8);
    int cx = UnitsToPixels(t->cx, base.cx, 4);
    int cy = UnitsToPixels(t->cy, base.cy, 8);
    DWORD style = t->style & ~WS_VISIBLE;
    if (!child) {
        // A captioned top-level dialog: the template gives the client area.
        style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        const int edge_x = GetSystemMetrics(SM_CXEDGE) + 1;
        const int edge_y = GetSystemMetrics(SM_CYEDGE) + 1;
        cx += 2 * edge_x;
        cy += GetSystemMetrics(SM_CYCAPTION) + 2 * edge_y;
        POINT origin{0, 0};
        if (owner) ClientToScreen(owner, &origin);
        x += origin.x;
        y += origin.y;
        // Placed from its owner, it still opens whole on the screen (an owner near the screen's
        // edge would put it partly off).
        RECT work{};
        if (SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0) && work.right > work.left) {
            x = std::max<int>(work.left, std::min<int>(x, work.right - cx));
            y = std::max<int>(work.top, std::min<int>(y, work.bottom - cy));
        }
    }
    SetPendingDialog(proc, t->name ? t->name : "", modal);
    const HWND dialog = CreateWindowEx(0, "#32770", t->title, style, x, y, cx, cy, owner, HMENU{},
                                       instance, nullptr);
    if (!dialog) return HWND{};
    if (Window* d = Find(dialog)) d->base_units = base;
    SendMessage(dialog, WM_SETFONT, static_cast<WPARAM>(font.value), FALSE);
    for (std::size_t i = 0; i < t->control_count; ++i) {
        const ControlTemplate& c = t->controls[i];
        const ControlClass cc = ClassOf(c.kind);
        const HWND control =
            CreateWindowEx(0, cc.name, c.text, WS_CHILD | WS_VISIBLE | cc.style | c.style,
                           UnitsToPixels(c.x, base.cx, 4), UnitsToPixels(c.y, base.cy, 8),
                           UnitsToPixels(c.cx, base.cx, 4), UnitsToPixels(c.cy, base.cy, 8), dialog,
                           HMENU::FromIndex(static_cast<std::uint32_t>(c.id)), instance, nullptr);
        if (control) SendMessage(control, WM_SETFONT, static_cast<WPARAM>(font.value), FALSE);
    }
    if (!Find(dialog)) return HWND{};
    const HWND first = FirstTabStop(dialog);
    const LRESULT focus =
        SendMessage(dialog, WM_INITDIALOG, static_cast<WPARAM>(first.value), param);
    if (!Find(dialog)) return HWND{};
    if (focus && first) SetFocus(first);
    Window* d = Find(dialog);
    if (d && !d->ended && (child || (t->style & WS_VISIBLE))) ShowWindow(dialog, SW_SHOW);
    return Find(dialog) ? dialog : HWND{};
}

}  // namespace

ModalLoopScope::ModalLoopScope() { ++modal_loops; }
ModalLoopScope::~ModalLoopScope() { --modal_loops; }

HWND CurrentModalDialog() {
    while (!modal_stack.empty() && !Find(modal_stack.back())) modal_stack.pop_back();
    return modal_stack.empty() ? HWND{} : modal_stack.back();
}

LRESULT DialogWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* d = Find(hwnd);
    if (!d) return 0;
    if (message == WM_CREATE) return 0;
    const DLGPROC proc = d->dlgproc;
    const INT_PTR r = proc ? proc(hwnd, message, wParam, lParam) : FALSE;
    switch (message) {
        case WM_INITDIALOG:
        case WM_CTLCOLORSTATIC:
            return r;
        default:
            break;
    }
    if (r) return r;
    return DefDlgProc(hwnd, message, wParam, lParam);
}

}  // namespace ui

HWND CreateDialogParam(HINSTANCE instance, const char* name, HWND owner, DLGPROC proc,
                       LPARAM param) {
    return ui::Create(instance, name, owner, proc, param, false);
}

HWND CreateDialog(HINSTANCE instance, const char* name, HWND owner, DLGPROC proc) {
    return CreateDialogParam(instance, name, owner, proc, 0);
}

INT_PTR DialogBoxParam(HINSTANCE instance, const char* name, HWND owner, DLGPROC proc,
                       LPARAM param) {
    const HWND owner_top = ui::TopLevelOf(owner);
    const bool owner_enabled = owner_top && IsWindowEnabled(owner_top);
    const QPointer<QWidget> holder = ui::KeyboardHolder();
    if (owner_top) EnableWindow(owner_top, FALSE);
    const HWND dialog = ui::Create(instance, name, owner, proc, param, true);
    if (!dialog) {
        if (owner_top) EnableWindow(owner_top, owner_enabled);
        return -1;
    }
    ui::modal_stack.push_back(dialog);
    // From its first showing: a host's answer to the dialog runs inside its loop.
    const ui::ModalLoopScope loop;
    if (ui::Window* d = ui::Find(dialog); d && !d->ended) {
        ShowWindow(dialog, SW_SHOW);
        if ((d = ui::Find(dialog)) && !d->ended)
            ui::TakeKeyboard(d->outer ? d->outer.data() : d->widget.data());
    }
    if (internal::Headless() && Hooks().modal_loop_started) {
        ui::Window* d = ui::Find(dialog);
        if (d && !d->ended) Hooks().modal_loop_started(dialog, d->template_name);
    }
    for (;;) {
        ui::Window* d = ui::Find(dialog);
        if (!d || d->ended) break;
        MSG msg;
        if (internal::Headless()) {
            if (!PeekMessage(&msg, HWND{}, 0, 0, PM_REMOVE)) {
                // Nothing more will happen: a dialog the host left open is cancelled.
                if (Hooks().modal_loop_idle) Hooks().modal_loop_idle(d->template_name);
                EndDialog(dialog, IDCANCEL);
                continue;
            }
        } else if (!GetMessage(&msg, HWND{}, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!IsDialogMessage(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
    ui::Window* d = ui::Find(dialog);
    const INT_PTR result = d ? d->result : IDCANCEL;
    std::erase(ui::modal_stack, dialog);
    if (owner_top) EnableWindow(owner_top, owner_enabled);
    DestroyWindow(dialog);
    ui::GiveKeyboardBack(holder);
    return result;
}

bool ModalLoopRunning() { return ui::modal_loops > 0; }

INT_PTR DialogBox(HINSTANCE instance, const char* name, HWND owner, DLGPROC proc) {
    return DialogBoxParam(instance, name, owner, proc, 0);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    ui::Window* d = ui::FindDialogOf(dialog);
    if (!d || d->destroying) return FALSE;
    d->result = result;
    d->ended = true;
    if (!d->modal) {
        DestroyWindow(dialog);
    } else {
        ShowWindow(dialog, SW_HIDE);
        // The modal loop may be waiting in GetMessage for input that will never come now that
        // the dialog is hidden: wake it, so it sees the end and gives the owner back at once.
        PostMessage(HWND{}, WM_NULL, 0, 0);
    }
    return TRUE;
}

LRESULT DefDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!ui::Find(dialog)) return 0;
    switch (message) {
        case WM_CLOSE:
            SendMessage(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                        HandleToParam(GetDlgItem(dialog, IDCANCEL)));
            return 0;
        case WM_SYSCOMMAND:
        case WM_PAINT:
        case WM_ERASEBKGND:
        case WM_SETFONT:
        case WM_GETFONT:
        case WM_SETTEXT:
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
            return DefWindowProc(dialog, message, wParam, lParam);
        default:
            return 0;
    }
}

BOOL MapDialogRect(HWND dialog, RECT* rect) {
    const ui::Window* d = ui::Find(dialog);
    if (!d || !d->is_dialog || !rect || d->base_units.cx <= 0 || d->base_units.cy <= 0)
        return FALSE;
    rect->left = ui::UnitsToPixels(rect->left, d->base_units.cx, 4);
    rect->right = ui::UnitsToPixels(rect->right, d->base_units.cx, 4);
    rect->top = ui::UnitsToPixels(rect->top, d->base_units.cy, 8);
    rect->bottom = ui::UnitsToPixels(rect->bottom, d->base_units.cy, 8);
    return TRUE;
}

BOOL SetDlgItemText(HWND dialog, int id, const char* text) {
    return SetWindowText(GetDlgItem(dialog, id), text);
}

UINT GetDlgItemText(HWND dialog, int id, char* buffer, int size) {
    if (buffer && size > 0) buffer[0] = 0;
    return static_cast<UINT>(GetWindowText(GetDlgItem(dialog, id), buffer, size));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    char text[16];
    if (isSigned)
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    else
        std::snprintf(text, sizeof text, "%u", value);
    return SetDlgItemText(dialog, id, text);
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
    if (translated) *translated = FALSE;
    char text[64];
    if (!GetDlgItem(dialog, id)) return 0;
    GetDlgItemText(dialog, id, text, sizeof text);
    const char* p = text;
    while (*p == ' ') ++p;
    bool negative = false;
    if (isSigned && *p == '-') {
        negative = true;
        ++p;
    }
    if (*p < '0' || *p > '9') return 0;
    long long value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p++ - '0');
        if (value > 0xFFFFFFFFLL) return 0;
    }
    while (*p == ' ') ++p;
    if (*p) return 0;
    if (isSigned && (negative ? -value < INT32_MIN : value > INT32_MAX)) return 0;
    if (translated) *translated = TRUE;
    return static_cast<UINT>(negative ? -value : value);
}

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessage(GetDlgItem(dialog, id), message, wParam, lParam);
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    const HWND item = GetDlgItem(dialog, id);
    if (!item) return FALSE;
    SendMessage(item, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    return static_cast<UINT>(SendMessage(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0));
}

BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
    if (!ui::Find(dialog)) return FALSE;
    for (int id = firstId; id <= lastId; ++id)
        SendDlgItemMessage(dialog, id, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED, 0);
    return TRUE;
}

}  // namespace platform
