// The window table: classes, creation, destruction, records and widgets.

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <memory>

#include "platform/internal/Surface.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Widgets.h"
#include "platform/ui/WindowTable.h"

namespace platform::ui {
namespace {

// A handle is its slot in the table (the low kSlotBits bits) and the slot's generation at
// creation (the high bits). A destroyed window's slot is used again, under the next generation, so
// the table stays as large as the most windows alive at once; a handle kept after its window went
// never finds a newer one. A slot whose generations are used up is not used again.
constexpr std::uint32_t kSlotBits = 16;
constexpr std::uint32_t kSlotMask = (1u << kSlotBits) - 1;
constexpr std::uint32_t kLastGeneration = (1u << (32 - kSlotBits)) - 1;

struct Slot {
    std::unique_ptr<Window> window;
    std::uint32_t generation = 0;  // of the window in it, or of the last one it held
};

struct Table {
    std::vector<Slot> records;           // slot 0 unused
    std::deque<std::uint32_t> unused;    // slots free to be used again, the longest free first
    std::map<std::uint64_t, HWND> live;  // every window in the table by its creation number
    std::uint64_t created = 0;
    std::vector<std::unique_ptr<Window>> graveyard;
    std::vector<std::unique_ptr<WindowClass>> classes;
    DLGPROC pending_dlgproc = nullptr;
    std::string pending_template;
    bool pending_modal = false;
};

Table& T() {
    static Table* table = new Table;
    if (table->records.empty()) table->records.emplace_back();
    return *table;
}

// A slot for a new window and the handle it gets there; 0 when every slot is taken.
HWND TakeSlot() {
    auto& t = T();
    std::uint32_t index = 0;
    if (!t.unused.empty()) {
        index = t.unused.front();
        t.unused.pop_front();
    } else if (t.records.size() <= kSlotMask) {
        index = static_cast<std::uint32_t>(t.records.size());
        t.records.emplace_back();
    } else {
        return HWND{};
    }
    Slot& slot = t.records[index];
    ++slot.generation;
    return HWND::FromIndex((slot.generation << kSlotBits) | index);
}

// Takes a window's record out of the table (it lives on in the graveyard until the loop runs
// again) and frees its slot.
void RemoveRecord(HWND hwnd) {
    auto& t = T();
    const std::uint32_t index = hwnd.value & kSlotMask;
    Slot& slot = t.records[index];
    Window& w = *slot.window;
    t.live.erase(w.serial);
    if (Window* parent = Find(w.parent)) std::erase(parent->children, hwnd);
    t.graveyard.push_back(std::move(slot.window));
    if (slot.generation < kLastGeneration) t.unused.push_back(index);
}

bool SameName(const std::string& a, const char* b) {
    if (!b || a.size() != std::strlen(b)) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

const WindowClass* FindClass(const char* name) {
    for (auto& c : T().classes)
        if (SameName(c->name, name)) return c.get();
    return nullptr;
}

bool IsBuiltIn(const char* name, const char* builtin) { return SameName(builtin, name); }

// The control kind of a built-in class, or false when `name` is not one.
bool ControlKindOf(const char* name, DWORD style, Kind* kind) {
    if (IsBuiltIn(name, "BUTTON")) {
        switch (style & 0x0F) {
            case BS_OWNERDRAW:
                *kind = Kind::OwnerDrawButton;
                break;
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
                *kind = Kind::CheckBox;
                break;
            case BS_RADIOBUTTON:
                *kind = Kind::RadioButton;
                break;
            case BS_GROUPBOX:
                *kind = Kind::GroupBox;
                break;
            default:
                *kind = Kind::PushButton;
                break;
        }
        return true;
    }
    if (IsBuiltIn(name, "STATIC")) {
        *kind = (style & 0x1F) == SS_OWNERDRAW ? Kind::StaticCanvas : Kind::StaticText;
        return true;
    }
    if (IsBuiltIn(name, "EDIT")) return (*kind = Kind::Edit), true;
    if (IsBuiltIn(name, "LISTBOX")) return (*kind = Kind::ListBox), true;
    if (IsBuiltIn(name, "COMBOBOX")) return (*kind = Kind::ComboBox), true;
    if (IsBuiltIn(name, "SCROLLBAR")) return (*kind = Kind::ScrollBar), true;
    if (IsBuiltIn(name, "SysTabControl32")) return (*kind = Kind::TabControl), true;
    if (IsBuiltIn(name, "MDICLIENT")) return (*kind = Kind::MdiClient), true;
    return false;
}

RECT MakeRect(int l, int t, int r, int b) { return RECT{l, t, r, b}; }

// Decorations of a window by kind and style.
void ComputeInsets(Window& w) {
    const int cxframe = GetSystemMetrics(SM_CXFRAME);
    const int cyframe = GetSystemMetrics(SM_CYFRAME);
    const int cycaption = GetSystemMetrics(SM_CYCAPTION);
    const int cxedge = GetSystemMetrics(SM_CXEDGE);
    const int cyedge = GetSystemMetrics(SM_CYEDGE);
    RECT outer{};
    RECT inner{};
    const bool child = (w.style & WS_CHILD) != 0;
    if (w.kind == Kind::Frame) {
        outer = MakeRect(cxframe, cycaption + cyframe, cxframe, cyframe);
        if (w.menu) outer.top += GetSystemMetrics(SM_CYMENU);
    } else if (w.kind == Kind::MdiChild) {
        outer = MakeRect(cxframe, cycaption + cyframe, cxframe, cyframe);
    } else if (!child && w.is_dialog) {
        outer = MakeRect(cxedge + 1, cycaption + cyedge + 1, cxedge + 1, cyedge + 1);
    } else if (!child && (w.style & WS_CAPTION) == WS_CAPTION) {
        outer = MakeRect(cxframe, cycaption + cyframe, cxframe, cyframe);
    }
    if (w.kind == Kind::Canvas || w.kind == Kind::MdiChild) {
        if (child && (w.ex_style & WS_EX_CLIENTEDGE))
            inner = MakeRect(cxedge, cyedge, cxedge, cyedge);
        else if (child && w.kind == Kind::Canvas && (w.style & WS_CAPTION) == WS_BORDER)
            inner = MakeRect(1, 1, 1, 1);
        if (w.style & WS_VSCROLL) inner.right += GetSystemMetrics(SM_CXVSCROLL);
        if (w.style & WS_HSCROLL) inner.bottom += GetSystemMetrics(SM_CYHSCROLL);
    }
    w.inner = inner;
    w.insets = MakeRect(outer.left + inner.left, outer.top + inner.top, outer.right + inner.right,
                        outer.bottom + inner.bottom);
}

// The decorations an MDI child shows now: its estimated caption and frame, or, while it is
// maximised, the margins its Qt window really keeps around the canvas (none when the frame's
// menu bar holds its buttons).
void FitMdiChildDecorations(Window& w) {
    ComputeInsets(w);
    const auto* sub = qobject_cast<const QMdiSubWindow*>(w.outer.data());
    if (!sub || !sub->isMaximized()) return;
    const QMargins m = sub->contentsMargins();
    w.insets = MakeRect(m.left() + w.inner.left, m.top() + w.inner.top, m.right() + w.inner.right,
                        m.bottom() + w.inner.bottom);
}

bool HasImage(Kind kind) {
    return kind == Kind::Canvas || kind == Kind::MdiChild || kind == Kind::Frame ||
           kind == Kind::StaticText || kind == Kind::StaticCanvas || kind == Kind::OwnerDrawButton;
}

// The widget children of `parent` are placed in, and where its client origin lies in it.
QWidget* ClientWidgetOf(Window& parent) { return parent.widget; }

}  // namespace

RECT BoundedWindowRect(int x, int y, int width, int height) {
    x = std::clamp(x, -kMaxWindowCoordinate, kMaxWindowCoordinate);
    y = std::clamp(y, -kMaxWindowCoordinate, kMaxWindowCoordinate);
    width = std::clamp(width, 0, kMaxWindowExtent);
    height = std::clamp(height, 0, kMaxWindowExtent);
    return RECT{x, y, x + width, y + height};
}

Window* Find(HWND hwnd) {
    auto& t = T();
    const std::uint32_t index = hwnd.value & kSlotMask;
    if (index == 0 || index >= t.records.size()) return nullptr;
    Window* w = t.records[index].window.get();
    return w && w->self == hwnd ? w : nullptr;
}

Window* FindDialogOf(HWND hwnd) {
    Window* w = Find(hwnd);
    return w && w->is_dialog ? w : nullptr;
}

std::vector<HWND> AllWindows() {
    std::vector<HWND> out;
    auto& t = T();
    out.reserve(t.live.size());
    for (const auto& [serial, hwnd] : t.live)
        if (const Window* w = Find(hwnd); w && !w->destroying) out.push_back(hwnd);
    return out;
}

std::vector<HWND> Children(HWND parent) {
    const Window* w = Find(parent);
    return w ? w->children : std::vector<HWND>{};
}

std::size_t WindowSlotCount() { return T().records.size() - 1; }

HWND TopLevelOf(HWND hwnd) {
    Window* w = Find(hwnd);
    while (w && w->parent) {
        Window* p = Find(w->parent);
        if (!p) break;
        w = p;
    }
    return w ? w->self : HWND{};
}

HWND HwndOfWidget(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget()) {
        const QVariant v = widget->property("qv_hwnd");
        if (v.isValid()) {
            const HWND h = HWND::FromIndex(v.toUInt());
            if (Find(h)) return h;
        }
    }
    return HWND{};
}

void BindWidget(QWidget* widget, HWND hwnd) { widget->setProperty("qv_hwnd", hwnd.value); }

int ClientWidth(const Window& w) {
    return std::max(0, (w.rect.right - w.rect.left) - w.insets.left - w.insets.right);
}
int ClientHeight(const Window& w) {
    return std::max(0, (w.rect.bottom - w.rect.top) - w.insets.top - w.insets.bottom);
}

COLORREF BackgroundColour(const Window& w) {
    COLORREF colour = RGB(255, 255, 255);
    if (w.cls && w.cls->background && internal::BrushColour(w.cls->background, &colour))
        return colour;
    // A static canvas draws nothing of its own: where it is erased it shows its dialog's colour.
    if (w.kind == Kind::StaticCanvas)
        if (const Window* parent = Find(w.parent)) return BackgroundColour(*parent);
    if (w.is_dialog || w.kind == Kind::StaticText || w.kind == Kind::StaticCanvas ||
        w.kind == Kind::OwnerDrawButton)
        return RGB(240, 240, 240);
    return colour;
}

void ResizeImage(Window& w) {
    if (!HasImage(w.kind)) return;
    const int cw = std::max(1, ClientWidth(w));
    const int ch = std::max(1, ClientHeight(w));
    if (w.image && w.image->width() == cw && w.image->height() == ch) return;
    const COLORREF bg = BackgroundColour(w);
    auto image = std::make_unique<QImage>(cw, ch, QImage::Format_RGB32);
    image->fill(qRgb(GetRValue(bg), GetGValue(bg), GetBValue(bg)));
    if (w.image) {
        QPainter painter(image.get());
        painter.drawImage(0, 0, *w.image);
    }
    w.image = std::move(image);
}

// The decorations around the frame's Qt window (which holds the menu bar).
static RECT FrameDecorations(const Window& w) {
    const int menu = w.menu ? GetSystemMetrics(SM_CYMENU) : 0;
    return MakeRect(w.insets.left, w.insets.top - menu, w.insets.right, w.insets.bottom);
}

void ApplyGeometry(Window& w) {
    const int width = w.rect.right - w.rect.left;
    const int height = w.rect.bottom - w.rect.top;
    if (w.kind == Kind::Frame && w.outer) {
        // The Qt window holds the menu bar; the decorations around it are the insets without it.
        // While the frame draws them itself they lie inside the Qt window, as its margins.
        const RECT d = FrameDecorations(w);
        if (w.own_decorations) {
            w.outer->setContentsMargins(d.left, d.top, d.right, d.bottom);
            w.outer->setGeometry(w.rect.left, w.rect.top, std::max(1, width), std::max(1, height));
        } else {
            w.outer->setContentsMargins(0, 0, 0, 0);
            w.outer->setGeometry(w.rect.left + d.left, w.rect.top + d.top,
                                 std::max(1, width - d.left - d.right),
                                 std::max(1, height - d.top - d.bottom));
        }
    } else if (w.kind == Kind::MdiChild && w.outer) {
        w.outer->setGeometry(w.rect.left, w.rect.top, std::max(1, width), std::max(1, height));
    } else if (!(w.style & WS_CHILD) && w.widget) {
        w.widget->setGeometry(w.rect.left + w.insets.left - w.inner.left,
                              w.rect.top + w.insets.top - w.inner.top,
                              std::max(1, ClientWidth(w) + w.inner.left + w.inner.right),
                              std::max(1, ClientHeight(w) + w.inner.top + w.inner.bottom));
    } else if (w.outer) {
        Window* p = Find(w.parent);
        const int ox = p ? p->inner.left : 0;
        const int oy = p ? p->inner.top : 0;
        int shown_height = height;
        if (w.kind == Kind::ComboBox) {
            // A drop-down list is one line high while closed (the height its font needs); the
            // height asked for is that of the list when it drops.
            const int closed = w.outer->sizeHint().height();
            if (closed > 0 && closed < height) {
                shown_height = closed;
                w.rect.bottom = w.rect.top + closed;
            }
        }
        w.outer->setGeometry(w.rect.left + ox, w.rect.top + oy, std::max(0, width),
                             std::max(0, shown_height));
    }
    ResizeImage(w);
    PlaceWindowBars(w);
}

namespace {
bool applying_qt_geometry = false;

// A window manager draws the caption and borders of top-level windows itself. Once it has framed
// a window, its real decorations replace the estimated ones (from the system metrics). Without a
// window manager there is no frame around the window and the estimates stay. True, with the
// insets the window has now in `real`, when they differ from the ones it had.
bool RealDecorations(const Window& w, RECT* real) {
    if (w.parent || (w.style & WS_CHILD) || w.kind == Kind::MdiChild) return false;
    // The offscreen platform of the tests invents margins of its own: no window manager there.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return false;
    QWidget* top = w.kind == Kind::Frame ? w.outer.data() : w.widget.data();
    if (!top || !top->isWindow() || !top->isVisible()) return false;
    const QRect g = top->geometry();
    const QRect f = top->frameGeometry();
    const int left = g.left() - f.left();
    const int top_edge = g.top() - f.top();
    const int right = f.right() - g.right();
    const int bottom = f.bottom() - g.bottom();
    if (left <= 0 && top_edge <= 0 && right <= 0 && bottom <= 0) return false;
    const int menu = (w.kind == Kind::Frame && w.menu) ? GetSystemMetrics(SM_CYMENU) : 0;
    *real = MakeRect(left + w.inner.left, top_edge + menu + w.inner.top, right + w.inner.right,
                     bottom + w.inner.bottom);
    return w.own_decorations || real->left != w.insets.left || real->top != w.insets.top ||
           real->right != w.insets.right || real->bottom != w.insets.bottom;
}

}  // namespace

void WatchDecorations(HWND hwnd) {
    Window* w = Find(hwnd);
    QWidget* top = w ? (w->outer ? w->outer.data() : w->widget.data()) : nullptr;
    if (!top) return;
    // A window manager frames a window some time after it is mapped, without telling Qt's
    // widgets (the client does not move): look every few milliseconds for one second.
    auto* timer = new QTimer(top);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, ticks, hwnd] {
        if (++*ticks >= 40 || !Find(hwnd)) {
            timer->deleteLater();
            return;
        }
        OnQtGeometry(hwnd);
    });
    timer->start(25);
}

void OnQtGeometry(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w || applying_qt_geometry || w->destroying) return;
    if (RECT real{}; RealDecorations(*w, &real)) {
        const int old_cw = ClientWidth(*w);
        const int old_ch = ClientHeight(*w);
        const int old_cx = w->rect.left + w->insets.left;
        const int old_cy = w->rect.top + w->insets.top;
        if (w->is_dialog) {
            // A dialog keeps its client area (its template's size) where it is; its outer
            // rectangle is that area with the frame around it, moved back inside the work area
            // when it was inside before and the real frame reaches past it.
            const RECT before = w->rect;
            RECT after = MakeRect(old_cx - real.left, old_cy - real.top,
                                  old_cx + old_cw + real.right, old_cy + old_ch + real.bottom);
            const QScreen* screen = QGuiApplication::primaryScreen();
            const QRect area = screen ? screen->availableGeometry() : QRect();
            const RECT work = MakeRect(area.left(), area.top(), area.left() + area.width(),
                                       area.top() + area.height());
            const auto inside = [&](const RECT& r) {
                return r.left >= work.left && r.top >= work.top && r.right <= work.right &&
                       r.bottom <= work.bottom;
            };
            if (screen && inside(before) && !inside(after)) {
                const int dx = std::max<int>(work.left - after.left,
                                             std::min<int>(0, work.right - after.right));
                const int dy = std::max<int>(work.top - after.top,
                                             std::min<int>(0, work.bottom - after.bottom));
                after =
                    MakeRect(after.left + dx, after.top + dy, after.right + dx, after.bottom + dy);
            }
            w->rect = after;
        }
        // Other windows keep the outer rectangle they were given (the frame: the work area);
        // their client area is what is left inside the decorations actually drawn.
        w->insets = real;
        w->own_decorations = false;
        applying_qt_geometry = true;
        ApplyGeometry(*w);
        applying_qt_geometry = false;
        const int cw = ClientWidth(*w);
        const int ch = ClientHeight(*w);
        const int cx = w->rect.left + w->insets.left;
        const int cy = w->rect.top + w->insets.top;
        if (cw != old_cw || ch != old_ch) {
            InvalidateRect(hwnd, nullptr, TRUE);
            SendMessage(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cw, ch));
        }
        if ((cx != old_cx || cy != old_cy) && Find(hwnd))
            SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(cx, cy));
        return;
    }
    const int old_cw = ClientWidth(*w);
    const int old_ch = ClientHeight(*w);
    const int old_cx = w->rect.left + w->insets.left;
    const int old_cy = w->rect.top + w->insets.top;
    // A maximised MDI child draws no caption or frame of its own (its buttons join the frame's
    // menu bar): its client area becomes the whole window, and it is laid out again.
    if (w->kind == Kind::MdiChild) FitMdiChildDecorations(*w);
    RECT r = w->rect;
    if (w->kind == Kind::Frame && w->outer) {
        const QRect g = w->outer->geometry();
        const RECT d = w->own_decorations ? RECT{} : FrameDecorations(*w);
        r = MakeRect(g.x() - d.left, g.y() - d.top, g.x() + g.width() + d.right,
                     g.y() + g.height() + d.bottom);
    } else if (w->kind == Kind::MdiChild && w->outer) {
        const QRect g = w->outer->geometry();
        r = MakeRect(g.x(), g.y(), g.x() + g.width(), g.y() + g.height());
    } else if (!(w->style & WS_CHILD) && w->widget) {
        const QRect g = w->widget->geometry();
        const int l = w->insets.left - w->inner.left;
        const int t = w->insets.top - w->inner.top;
        const int rr = w->insets.right - w->inner.right;
        const int b = w->insets.bottom - w->inner.bottom;
        r = MakeRect(g.x() - l, g.y() - t, g.x() + g.width() + rr, g.y() + g.height() + b);
    } else {
        return;
    }
    w->rect = r;
    const int cw = ClientWidth(*w);
    const int ch = ClientHeight(*w);
    const int cx = w->rect.left + w->insets.left;
    const int cy = w->rect.top + w->insets.top;
    const bool moved = cx != old_cx || cy != old_cy;
    const bool sized = cw != old_cw || ch != old_ch;
    if (!moved && !sized) return;
    ResizeImage(*w);
    PlaceWindowBars(*w);
    if (sized) {
        InvalidateRect(hwnd, nullptr, TRUE);
        SendMessage(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cw, ch));
    }
    if (moved && Find(hwnd)) SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(cx, cy));
}

void OnQtClose(HWND hwnd) {
    if (Find(hwnd)) SendMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void SetPendingDialog(DLGPROC proc, const std::string& template_name, bool modal) {
    T().pending_dlgproc = proc;
    T().pending_template = template_name;
    T().pending_modal = modal;
}

void CollectGarbage() { T().graveyard.clear(); }

QString ToQt(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}
QString ToQt(const char* s) { return QString::fromLatin1(s ? s : ""); }
std::string FromQt(const QString& s) { return s.toLatin1().toStdString(); }

void DiscardAll() {
    auto& t = T();
    std::vector<QPointer<QWidget>> widgets;
    for (Slot& slot : t.records)
        if (slot.window && !slot.window->parent && slot.window->outer)
            widgets.push_back(slot.window->outer);
    for (Slot& slot : t.records)
        if (slot.window) slot.window->destroying = true;
    for (QPointer<QWidget>& widget : widgets) delete widget.data();
    // The slots keep their generations: a handle of a discarded window finds nothing later.
    for (std::uint32_t i = 1; i < t.records.size(); ++i) {
        if (!t.records[i].window) continue;
        t.records[i].window.reset();
        if (t.records[i].generation < kLastGeneration) t.unused.push_back(i);
    }
    t.live.clear();
    t.graveyard.clear();
    ResetTimers();
}

void ResetUi() {
    for (HWND h : AllWindows()) {
        Window* w = Find(h);
        if (w && !w->parent) DestroyWindow(h);
    }
    for (HWND h : AllWindows()) DestroyWindow(h);
    CollectGarbage();
    T().classes.clear();
}

}  // namespace platform::ui

namespace platform {

using ui::Find;
using ui::Kind;
using ui::Window;

WORD RegisterClass(const WNDCLASS* wc) {
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc || ui::FindClass(wc->lpszClassName)) return 0;
    auto c = std::make_unique<ui::WindowClass>();
    c->name = wc->lpszClassName;
    c->proc = wc->lpfnWndProc;
    c->background = wc->hbrBackground;
    c->cursor = wc->hCursor;
    c->style = wc->style;
    c->wnd_extra = std::max(0, wc->cbWndExtra);
    ui::T().classes.push_back(std::move(c));
    return static_cast<WORD>(0xC000 + ui::T().classes.size());
}

BOOL UnregisterClass(const char* name, HINSTANCE) {
    auto& classes = ui::T().classes;
    for (auto it = classes.begin(); it != classes.end(); ++it) {
        if (!ui::SameName((*it)->name, name)) continue;
        for (HWND h : ui::AllWindows())
            if (Find(h)->cls == it->get()) return FALSE;  // still in use
        classes.erase(it);
        return TRUE;
    }
    return FALSE;
}

HWND CreateWindow(const char* className, const char* title, DWORD style, int x, int y, int width,
                  int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
    return CreateWindowEx(0, className, title, style, x, y, width, height, parent, menu, instance,
                          param);
}

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                    int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                    void* param) {
    ui::EnsureLoopInstalled();
    auto& t = ui::T();
    DLGPROC dlgproc = t.pending_dlgproc;
    std::string template_name = t.pending_template;
    const bool modal = t.pending_modal;
    t.pending_modal = false;
    t.pending_dlgproc = nullptr;
    t.pending_template.clear();

    Window* parent_w = nullptr;
    if (style & WS_CHILD) {
        parent_w = Find(parent);
        if (!parent_w) return HWND{};
    } else if (parent && !Find(parent)) {
        return HWND{};
    }
    Kind kind = Kind::Canvas;
    const ui::WindowClass* cls = nullptr;
    const bool is_dialog = dlgproc != nullptr || ui::SameName("#32770", className);
    if (!is_dialog && !ui::ControlKindOf(className, style, &kind)) {
        cls = ui::FindClass(className);
        if (!cls) return HWND{};
        kind = Kind::Canvas;
    }
    if (parent_w && parent_w->kind == Kind::MdiClient && kind == Kind::Canvas && !is_dialog) {
        kind = Kind::MdiChild;
        style |= WS_CHILD | WS_CAPTION;
    }
    if (!(style & WS_CHILD) && !parent_w && kind == Kind::Canvas && !is_dialog && menu &&
        (style & WS_CAPTION) == WS_CAPTION)
        kind = Kind::Frame;

    const HWND handle = ui::TakeSlot();
    if (!handle) return HWND{};
    auto record = std::make_unique<Window>();
    Window& w = *record;
    w.self = handle;
    w.serial = ++t.created;
    w.kind = kind;
    w.cls = cls;
    w.is_dialog = is_dialog;
    w.dlgproc = dlgproc;
    w.template_name = template_name;
    w.modal = modal;
    w.proc = is_dialog                 ? &ui::DialogWindowProc
             : cls                     ? cls->proc
             : kind == Kind::MdiClient ? &ui::MdiClientProc
                                       : ui::ControlProc(kind);
    w.style = style;
    w.ex_style = exStyle;
    if (style & WS_CHILD) {
        w.parent = parent;
        w.id = static_cast<int>(menu.value);
    } else {
        w.owner = parent ? ui::TopLevelOf(parent) : HWND{};
        w.menu = menu;
    }
    w.text = title ? title : "";
    w.enabled = !(style & WS_DISABLED);
    if (cls) w.extra.assign(static_cast<std::size_t>(cls->wnd_extra), 0);
    ui::ComputeInsets(w);
    if (x == CW_USEDEFAULT) x = 0, y = (y == CW_USEDEFAULT ? 0 : y);
    if (y == CW_USEDEFAULT) y = 0;
    if (width == CW_USEDEFAULT) width = 400, height = (height == CW_USEDEFAULT ? 300 : height);
    if (height == CW_USEDEFAULT) height = 300;
    w.rect = ui::BoundedWindowRect(x, y, width, height);
    // On a real screen nobody may frame the frame: it draws its decorations itself until a
    // window manager does (the offscreen platform of the tests shows nothing around it).
    w.own_decorations =
        kind == Kind::Frame && QGuiApplication::platformName() != QLatin1String("offscreen");
    w.invalid = ui::HasImage(kind);
    w.erase = true;
    w.invalid_rect = RECT{0, 0, 0x3FFFFFFF, 0x3FFFFFFF};
    const HWND hwnd = w.self;
    t.live.emplace(w.serial, hwnd);
    if (parent_w) parent_w->children.push_back(hwnd);
    t.records[hwnd.value & ui::kSlotMask].window = std::move(record);

    // Widgets.
    QWidget* parent_widget = parent_w ? ui::ClientWidgetOf(*parent_w) : nullptr;
    if (!parent_w && w.owner) {
        Window* o = Find(w.owner);
        if (o) parent_widget = o->outer ? o->outer.data() : o->widget.data();
    }
    switch (kind) {
        case Kind::Frame: {
            auto* frame = new ui::FrameWidget(hwnd);
            auto* canvas = new ui::CanvasWidget(hwnd, frame);
            frame->setCentralWidget(canvas);
            frame->setWindowTitle(ui::ToQt(w.text));
            w.outer = frame;
            w.widget = canvas;
            ui::AttachMenuBar(hwnd);
            break;
        }
        case Kind::MdiChild:
            ui::CreateMdiChildWidgets(w, *parent_w);
            break;
        case Kind::MdiClient: {
            auto* area = new QMdiArea(parent_widget);
            area->setFrameShape(QFrame::NoFrame);
            area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            area->setBackground(QBrush(QColor(171, 171, 171)));
            ui::BindWidget(area, hwnd);
            w.outer = area;
            w.widget = area;
            break;
        }
        case Kind::Canvas: {
            auto* canvas = new ui::CanvasWidget(hwnd, parent_widget);
            if (!(style & WS_CHILD)) {
                Qt::WindowFlags flags = Qt::Window;
                if (w.owner) flags = Qt::Dialog;
                canvas->setWindowFlags(flags);
                canvas->setWindowTitle(ui::ToQt(w.text));
            }
            w.outer = canvas;
            w.widget = canvas;
            ui::CreateWindowBars(w);
            break;
        }
        default: {
            QWidget* control = ui::CreateControlWidget(w, parent_widget);
            w.outer = control;
            w.widget = control;
            break;
        }
    }
    if (w.widget) w.widget->setEnabled(w.enabled);
    if (w.outer && kind != Kind::MdiChild) w.outer->hide();
    ui::applying_qt_geometry = true;
    ui::ApplyGeometry(w);
    ui::applying_qt_geometry = false;

    CREATESTRUCT cs{};
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.cx = width;
    cs.cy = height;
    cs.x = x;
    cs.y = y;
    cs.style = style;
    cs.lpszName = title;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    const LRESULT created = SendMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs));
    if (!Find(hwnd)) return HWND{};
    if (created == -1) {
        DestroyWindow(hwnd);
        return HWND{};
    }
    Window* self = Find(hwnd);
    SendMessage(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(ClientWidth(*self), ClientHeight(*self)));
    self = Find(hwnd);
    if (!self) return HWND{};
    SendMessage(hwnd, WM_MOVE, 0,
                MAKELPARAM(self->rect.left + self->insets.left, self->rect.top + self->insets.top));
    self = Find(hwnd);
    if (!self) return HWND{};
    if (kind == Kind::MdiChild) {
        ShowWindow(hwnd, SW_SHOW);
        SendMessage(self->parent, WM_MDIACTIVATE, static_cast<WPARAM>(hwnd.value), 0);
        ui::RebuildWindowList(self->parent);
    } else if (style & WS_VISIBLE) {
        ShowWindow(hwnd, SW_SHOW);
    }
    return Find(hwnd) ? hwnd : HWND{};
}

BOOL DestroyWindow(HWND hwnd) {
    Window* w = Find(hwnd);
    if (!w || w->destroying) return FALSE;
    // Owned windows go first, then the window, then its children.
    for (HWND h : ui::AllWindows()) {
        Window* o = Find(h);
        if (o && o->owner == hwnd && !o->parent) DestroyWindow(h);
    }
    w = Find(hwnd);
    if (!w || w->destroying) return FALSE;
    w->destroying = true;
    if (w->outer) w->outer->hide();
    if (GetCapture() == hwnd) ReleaseCapture();
    SendMessage(hwnd, WM_DESTROY, 0, 0);
    for (HWND child : ui::Children(hwnd)) DestroyWindow(child);
    ui::ForgetWindowTimers(hwnd);
    w = Find(hwnd);
    if (!w) return TRUE;
    const HWND parent = w->parent;
    const Kind kind = w->kind;
    if (w->outer) w->outer->deleteLater();
    ui::RemoveRecord(hwnd);
    if (kind == Kind::MdiChild) ui::MdiChildGone(parent, hwnd);
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    Window* w = Find(hwnd);
    return w && !w->destroying ? TRUE : FALSE;
}

}  // namespace platform
