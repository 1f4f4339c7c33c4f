// Operations on existing windows: visibility, geometry, texts, extra bytes, sending messages and
// the default window procedure.

#include <QApplication>
#include <QMdiSubWindow>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cstring>

#include "platform/internal/Fonts.h"
#include "platform/ui/Paint.h"
#include "platform/ui/WindowTable.h"

namespace platform {

using ui::BoundedWindowRect;
using ui::Find;
using ui::Kind;
using ui::Window;

namespace {

// The offscreen platform of the tests has no stacking order to change.
bool Offscreen() { return QGuiApplication::platformName() == QLatin1String("offscreen"); }

bool VisibleChain(const Window* w) {
    while (w) {
        if (!w->visible || w->destroying) return false;
        if (!w->parent) return true;
        w = Find(w->parent);
    }
    return false;
}

// Client origin of a window on the screen, from the records alone.
POINT ClientOrigin(const Window& w) {
    POINT p{w.rect.left + w.insets.left, w.rect.top + w.insets.top};
    if (w.style & WS_CHILD) {
        if (Window* parent = Find(w.parent)) {
            const POINT po = ClientOrigin(*parent);
            p.x += po.x;
            p.y += po.y;
        }
    }
    return p;
}

void ChangeRect(HWND hwnd, RECT r, bool repaint) {
    Window* w = Find(hwnd);
    if (!w) return;
    const bool moved = r.left != w->rect.left || r.top != w->rect.top;
    const bool sized = (r.right - r.left) != (w->rect.right - w->rect.left) ||
                       (r.bottom - r.top) != (w->rect.bottom - w->rect.top);
    w->rect = r;
    ui::ApplyGeometry(*w);
    if (sized || repaint) InvalidateRect(hwnd, nullptr, TRUE);
    if (sized) {
        SendMessage(hwnd, WM_SIZE, SIZE_RESTORED,
                    MAKELPARAM(ui::ClientWidth(*w), ui::ClientHeight(*w)));
    }
    w = Find(hwnd);
    if (moved && w)
        SendMessage(hwnd, WM_MOVE, 0,
                    MAKELPARAM(w->rect.left + w->insets.left, w->rect.top + w->insets.top));
}

}  // namespace

BOOL IsWindowVisible(HWND hwnd) { return VisibleChain(Find(hwnd)) ? TRUE : FALSE; }

BOOL IsWindowEnabled(HWND hwnd) {
    Window* w = Find(hwnd);
    return w && w->enabled ? TRUE : FALSE;
}

BOOL IsChild(HWND parent, HWND hwnd) {
    Window* w = Find(hwnd);
    if (!Find(parent)) return FALSE;
    while (w && w->parent) {
        if (w->parent == parent) return TRUE;
        w = Find(w->parent);
    }
    return FALSE;
}

HWND GetParent(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return HWND{};
    return w->parent ? w->parent : w->owner;
}

HWND GetDlgItem(HWND dialog, int id) {
    const Window* d = Find(dialog);
    if (!d) return HWND{};
    for (HWND h : d->children) {
        const Window* c = Find(h);
        if (c && !c->destroying && c->id == id) return h;
    }
    return HWND{};
}

int GetDlgCtrlID(HWND hwnd) {
    Window* w = Find(hwnd);
    return w ? w->id : 0;
}

BOOL ShowWindow(HWND hwnd, int command) {
    Window* w = Find(hwnd);
    if (!w || w->destroying) return FALSE;
    const BOOL was = w->visible ? TRUE : FALSE;
    const bool show = command != SW_HIDE;
    if (show != w->visible) SendMessage(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    w = Find(hwnd);
    if (!w) return was;
    w->visible = show;
    QWidget* target = w->outer ? w->outer.data() : w->widget.data();
    if (target) {
        if (!show) {
            target->hide();
        } else if (command == SW_SHOWMAXIMIZED && target->isWindow()) {
            target->showMaximized();
        } else if (command == SW_SHOWMAXIMIZED && w->kind == Kind::MdiChild) {
            target->show();
            static_cast<QMdiSubWindow*>(target)->showMaximized();
        } else if (command == SW_SHOWMINIMIZED || command == SW_MINIMIZE) {
            target->show();
            target->showMinimized();
        } else {
            target->show();
            if (command != SW_SHOWNOACTIVATE && target->isWindow() && !Offscreen()) target->raise();
        }
    }
    if (show && target && target->isWindow() && !Offscreen()) ui::WatchDecorations(hwnd);
    if (show) InvalidateRect(hwnd, nullptr, TRUE);
    return was;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    const BOOL was_disabled = w->enabled ? FALSE : TRUE;
    if (w->enabled != (enable != FALSE)) {
        w->enabled = enable != FALSE;
        if (w->widget) w->widget->setEnabled(w->enabled);
        if (w->outer && w->outer != w->widget) w->outer->setEnabled(w->enabled);
        SendMessage(hwnd, WM_ENABLE, enable, 0);
    }
    return was_disabled;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    if (!Find(hwnd)) return FALSE;
    ChangeRect(hwnd, BoundedWindowRect(x, y, width, height), repaint);
    return TRUE;
}

BOOL SetWindowPos(HWND hwnd, HWND, int x, int y, int width, int height, UINT flags) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    const RECT& now = w->rect;
    const RECT r =
        BoundedWindowRect((flags & SWP_NOMOVE) ? now.left : x, (flags & SWP_NOMOVE) ? now.top : y,
                          (flags & SWP_NOSIZE) ? now.right - now.left : width,
                          (flags & SWP_NOSIZE) ? now.bottom - now.top : height);
    ChangeRect(hwnd, r, !(flags & SWP_NOREDRAW));
    if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, SW_SHOW);
    if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
    if (!(flags & SWP_NOZORDER)) BringWindowToTop(hwnd);
    return TRUE;
}

BOOL BringWindowToTop(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    if (w->kind == Kind::MdiChild) {
        SendMessage(w->parent, WM_MDIACTIVATE, static_cast<WPARAM>(hwnd.value), 0);
        return TRUE;
    }
    QWidget* target = w->outer ? w->outer.data() : w->widget.data();
    if (target && !Offscreen()) target->raise();
    return TRUE;
}

BOOL SetForegroundWindow(HWND hwnd) {
    Window* w = Find(ui::TopLevelOf(hwnd));
    if (!w) return FALSE;
    QWidget* target = w->outer ? w->outer.data() : w->widget.data();
    if (target) target->activateWindow();
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* out) {
    Window* w = Find(hwnd);
    if (!w || !out) return FALSE;
    *out = RECT{0, 0, ui::ClientWidth(*w), ui::ClientHeight(*w)};
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, RECT* out) {
    Window* w = Find(hwnd);
    if (!w || !out) return FALSE;
    const POINT origin = ClientOrigin(*w);
    out->left = origin.x - w->insets.left;
    out->top = origin.y - w->insets.top;
    out->right = out->left + (w->rect.right - w->rect.left);
    out->bottom = out->top + (w->rect.bottom - w->rect.top);
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point) {
    Window* w = Find(hwnd);
    if (!w || !point) return FALSE;
    const POINT origin = ClientOrigin(*w);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point) {
    Window* w = Find(hwnd);
    if (!w || !point) return FALSE;
    const POINT origin = ClientOrigin(*w);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL SetWindowText(HWND hwnd, const char* text) {
    if (!Find(hwnd)) return FALSE;
    return SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE
                                                                                        : FALSE;
}

int GetWindowText(HWND hwnd, char* buffer, int size) {
    if (buffer && size > 0) buffer[0] = 0;
    if (!Find(hwnd) || !buffer || size <= 0) return 0;
    return static_cast<int>(
        SendMessage(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND hwnd) {
    if (!Find(hwnd)) return 0;
    return static_cast<int>(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

LONG_PTR GetWindowLong(HWND hwnd, int offset) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    if (offset == GWL_USERDATA) return w->user_data;
    if (offset < 0 || static_cast<std::size_t>(offset) + 4 > w->extra.size()) return 0;
    std::int32_t v;
    std::memcpy(&v, w->extra.data() + offset, 4);
    return v;
}

LONG_PTR SetWindowLong(HWND hwnd, int offset, LONG_PTR value) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    if (offset == GWL_USERDATA) return std::exchange(w->user_data, value);
    if (offset < 0 || static_cast<std::size_t>(offset) + 4 > w->extra.size()) return 0;
    std::int32_t old;
    std::memcpy(&old, w->extra.data() + offset, 4);
    const auto v = static_cast<std::int32_t>(value);
    std::memcpy(w->extra.data() + offset, &v, 4);
    return old;
}

WORD GetWindowWord(HWND hwnd, int offset) {
    Window* w = Find(hwnd);
    if (!w || offset < 0 || static_cast<std::size_t>(offset) + 2 > w->extra.size()) return 0;
    WORD v;
    std::memcpy(&v, w->extra.data() + offset, 2);
    return v;
}

WORD SetWindowWord(HWND hwnd, int offset, WORD value) {
    Window* w = Find(hwnd);
    if (!w || offset < 0 || static_cast<std::size_t>(offset) + 2 > w->extra.size()) return 0;
    WORD old;
    std::memcpy(&old, w->extra.data() + offset, 2);
    std::memcpy(w->extra.data() + offset, &value, 2);
    return old;
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w || !w->proc) return 0;
    const WNDPROC proc = w->proc;
    ++ui::SendDepth();
    const LRESULT result = proc(hwnd, message, wParam, lParam);
    --ui::SendDepth();
    return result;
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!proc || !Find(hwnd)) return 0;
    return proc(hwnd, message, wParam, lParam);
}

namespace ui {

namespace {

// MDI children whose title on screen waits for the loop: a child titled at every step of a long
// computation is drawn with its last title once, not at every step.
std::vector<HWND> pending_titles;

void ShowPendingTitles() {
    const std::vector<HWND> windows = std::move(pending_titles);
    pending_titles.clear();
    for (HWND h : windows)
        if (Window* w = Find(h); w && w->outer) w->outer->setWindowTitle(ToQt(w->text));
}

void ShowTitleSoon(Window& w) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        w.outer->setWindowTitle(ToQt(w.text));
        return;
    }
    if (std::find(pending_titles.begin(), pending_titles.end(), w.self) != pending_titles.end())
        return;
    if (pending_titles.empty()) QTimer::singleShot(0, app, &ShowPendingTitles);
    pending_titles.push_back(w.self);
}

}  // namespace

// Keeps the title and shows it where the window has one on screen.
void StoreText(HWND hwnd, const char* text) {
    Window* w = Find(hwnd);
    if (!w) return;
    w->text = text ? text : "";
    if (w->kind == Kind::Frame && w->outer)
        w->outer->setWindowTitle(ToQt(w->text));
    else if (w->kind == Kind::MdiChild && w->outer) {
        ShowTitleSoon(*w);
        RebuildWindowList(w->parent);
    } else if (!(w->style & WS_CHILD) && w->widget) {
        w->widget->setWindowTitle(ToQt(w->text));
    }
}

LRESULT CopyText(const std::string& text, WPARAM size, LPARAM buffer) {
    char* out = reinterpret_cast<char*>(buffer);
    if (!out || size == 0) return 0;
    const std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(out, text.data(), n);
    out[n] = 0;
    return static_cast<LRESULT>(n);
}

}  // namespace ui

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    switch (message) {
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) SendMessage(hwnd, WM_CLOSE, 0, 0);
            return 0;
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND: {
            if (!w->image) return 0;
            const RECT r = w->paint_rect;
            const COLORREF bg = ui::BackgroundColour(*w);
            QPainter painter(w->image.get());
            painter.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top),
                             QColor(GetRValue(bg), GetGValue(bg), GetBValue(bg)));
            return 1;
        }
        case WM_SETTEXT:
            ui::StoreText(hwnd, reinterpret_cast<const char*>(lParam));
            return TRUE;
        case WM_GETTEXT:
            return ui::CopyText(w->text, wParam, lParam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(w->text.size());
        case WM_SETFONT:
            w->font = HFONT::FromIndex(static_cast<std::uint32_t>(wParam));
            if (w->widget) w->widget->setFont(internal::FontOf(w->font));
            if (w->kind == ui::Kind::ComboBox) ui::ApplyGeometry(*w);  // its closed height
            return 0;
        case WM_GETFONT:
            return static_cast<LRESULT>(w->font.value);
        default:
            return 0;
    }
}

}  // namespace platform
