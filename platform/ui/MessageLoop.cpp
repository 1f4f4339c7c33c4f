// The message loop: which message comes next (posted, quit, timer, paint), waiting in Qt's event
// loop, keyboard input turned into posted messages, dispatching, dialog keys and the message-filter
// hooks.

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <thread>

#include "platform/internal/Clock.h"
#include "platform/internal/Queue.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Timer.h"
#include "platform/ui/WindowTable.h"

namespace platform {
namespace ui {
namespace {

bool quit_pending = false;
int quit_code = 0;
std::vector<const QEvent*> redelivered;  // innermost last
std::atomic<QAbstractEventDispatcher*> ui_dispatcher{nullptr};
QTimer* wake_timer = nullptr;

struct Hook {
    HHOOK handle;
    HOOKPROC proc;
};
std::vector<Hook> hooks;  // in installation order; the newest is called first
std::uint32_t next_hook = 1;

void Wake() {
    if (QAbstractEventDispatcher* d = ui_dispatcher.load(std::memory_order_acquire)) d->wakeUp();
}

// Qt key codes and the layer's virtual keys.
struct KeyPair {
    int qt;
    WPARAM vk;
};
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, VK_BACK},  {Qt::Key_Tab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},   {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Enter, VK_RETURN},    {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU},
    {Qt::Key_Escape, VK_ESCAPE},   {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR},    {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END},         {Qt::Key_Home, VK_HOME},
    {Qt::Key_Left, VK_LEFT},       {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},     {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Insert, VK_INSERT},   {Qt::Key_Delete, VK_DELETE},
    {Qt::Key_F1, VK_F1},           {Qt::Key_Period, VK_OEM_PERIOD},
    {Qt::Key_Minus, VK_OEM_MINUS},
};

// Turns key presses on the layer's widgets into posted WM_KEYDOWN / WM_KEYUP, so that the loop,
// IsDialogMessage and the message filter see them in order. The widget gets the key back when the
// message is dispatched to it, with the Qt key and modifiers it came with (kept in the high half
// of lParam, see KeyLParam). Keys for windows that are not the layer's own (file choosers, message
// boxes, open menus, a drop-down's list, the menu bar) go straight to them.
class KeyFilter : public QObject {
  public:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (std::find(redelivered.begin(), redelivered.end(), event) != redelivered.end())
            return false;
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
        auto* widget = qobject_cast<QWidget*>(object);
        if (!widget) return false;
        const HWND hwnd = LayerWindowOf(widget);
        if (!hwnd) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        const unsigned ch = text.size() == 1 ? text.at(0).toLatin1() & 0xFF : 0;
        LPARAM lparam = 1 | (static_cast<LPARAM>(ch) << 16);
        if (key->isAutoRepeat()) lparam |= LPARAM{1} << 30;
        lparam |= KeyLParam(key->key(), static_cast<int>(key->modifiers()));
        PostMessage(hwnd, event->type() == QEvent::KeyPress ? WM_KEYDOWN : WM_KEYUP,
                    VirtualKeyOf(key->key(), ch), lparam);
        return true;
    }

    // The layer window a key for this widget belongs to, without crossing into a top-level window
    // that the layer did not make.
    static HWND LayerWindowOf(const QWidget* widget) {
        for (; widget; widget = widget->parentWidget()) {
            if (qobject_cast<const QMenuBar*>(widget)) return HWND{};
            if (widget->property("qv_hwnd").isValid()) return HwndOfWidget(widget);
            if (widget->isWindow()) return HWND{};
        }
        return HWND{};
    }

    static WPARAM VirtualKeyOf(int qt, unsigned ch) {
        if (qt >= Qt::Key_0 && qt <= Qt::Key_9) return static_cast<WPARAM>('0' + (qt - Qt::Key_0));
        if (qt >= Qt::Key_A && qt <= Qt::Key_Z) return static_cast<WPARAM>('A' + (qt - Qt::Key_A));
        for (const auto& k : kKeys)
            if (k.qt == qt) return k.vk;
        return ch ? VK_OTHER : 0;
    }
};

}  // namespace

int QtKeyOf(WPARAM vk) {
    if (vk >= '0' && vk <= '9') return Qt::Key_0 + static_cast<int>(vk - '0');
    if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + static_cast<int>(vk - 'A');
    for (const auto& k : kKeys)
        if (k.vk == vk) return k.qt;
    return Qt::Key_unknown;
}

// Bits 32..35 of a key message's lParam hold the modifiers and bits 36..63 the Qt key that the
// person pressed; messages made by the program leave them 0.
LPARAM KeyLParam(int qt_key, int modifiers) {
    LPARAM bits = 0;
    if (modifiers & Qt::ShiftModifier) bits |= LPARAM{1} << 32;
    if (modifiers & Qt::ControlModifier) bits |= LPARAM{1} << 33;
    if (modifiers & Qt::AltModifier) bits |= LPARAM{1} << 34;
    if (modifiers & Qt::MetaModifier) bits |= LPARAM{1} << 35;
    bits |= static_cast<LPARAM>(static_cast<std::uint32_t>(qt_key) & 0x0FFFFFFF) << 36;
    return bits;
}

int ModifiersOfKey(LPARAM lParam) {
    int m = 0;
    if ((lParam >> 32) & 1) m |= Qt::ShiftModifier;
    if ((lParam >> 33) & 1) m |= Qt::ControlModifier;
    if ((lParam >> 34) & 1) m |= Qt::AltModifier;
    if ((lParam >> 35) & 1) m |= Qt::MetaModifier;
    return m;
}

int QtKeyOfMessage(WPARAM vk, LPARAM lParam) {
    const auto qt = static_cast<int>((static_cast<std::uint64_t>(lParam) >> 36) & 0x0FFFFFFF);
    return qt ? qt : QtKeyOf(vk);
}

void BeginRedelivery(const QEvent* event) { redelivered.push_back(event); }
void EndRedelivery() {
    if (!redelivered.empty()) redelivered.pop_back();
}

void EnsureLoopInstalled() {
    if (ui_dispatcher.load(std::memory_order_acquire) || !QCoreApplication::instance()) return;
    ui_dispatcher.store(QAbstractEventDispatcher::instance(), std::memory_order_release);
    internal::SetWakeFunction(&Wake);
    qApp->installEventFilter(new KeyFilter);
    wake_timer = new QTimer;
    wake_timer->setSingleShot(true);
}

bool CallMessageFilter(MSG* msg, int code) {
    if (hooks.empty()) return false;
    const Hook newest = hooks.back();
    return newest.proc(code, 0, reinterpret_cast<LPARAM>(msg)) != 0;
}

int& SendDepth() {
    static int depth = 0;
    return depth;
}

bool TakeQuit(MSG* msg, bool remove) {
    if (!quit_pending) return false;
    *msg = MSG{HWND{}, WM_QUIT, static_cast<WPARAM>(quit_code), 0, 0, POINT{0, 0}};
    if (remove) quit_pending = false;
    return true;
}

void ClearQuit() { quit_pending = false; }

void ResetHooks() { hooks.clear(); }

// Timers (Timer.cpp).
bool TakeDueTimer(MSG* msg, HWND hwnd, bool remove);

bool TakePaint(MSG* msg, HWND hwnd) {
    for (HWND h : AllWindows()) {
        Window* w = Find(h);
        if (!w || !w->invalid) continue;
        if (hwnd && h != hwnd && !IsChild(hwnd, h)) continue;
        if (!IsWindowVisible(h)) continue;
        if (IsLayerPainted(*w)) {
            PaintLayerControl(*w);
            continue;
        }
        *msg = MSG{h, WM_PAINT, 0, 0, static_cast<DWORD>(internal::NowMs()), POINT{0, 0}};
        return true;
    }
    return false;
}

}  // namespace ui

namespace {

bool InRange(UINT message, UINT min, UINT max) {
    return (min == 0 && max == 0) || (message >= min && message <= max);
}

}  // namespace

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (!msg) return FALSE;
    ui::EnsureLoopInstalled();
    const bool remove = (removeFlags & PM_REMOVE) != 0;
    if (ui::SendDepth() == 0) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ui::CollectGarbage();
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (internal::TakePosted(msg, hwnd, filterMin, filterMax, remove)) {
        msg->time = static_cast<DWORD>(internal::NowMs());
        return TRUE;
    }
    if (!hwnd && InRange(WM_QUIT, filterMin, filterMax) && ui::TakeQuit(msg, remove)) return TRUE;
    if (InRange(WM_TIMER, filterMin, filterMax) && ui::TakeDueTimer(msg, hwnd, remove)) return TRUE;
    if (InRange(WM_PAINT, filterMin, filterMax) && ui::TakePaint(msg, hwnd)) return TRUE;
    return FALSE;
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (!msg) return FALSE;
    for (;;) {
        if (PeekMessage(msg, hwnd, filterMin, filterMax, PM_REMOVE))
            return msg->message == WM_QUIT ? FALSE : TRUE;
        // Wait in Qt's event loop until an event, a post (which wakes the dispatcher) or the next
        // timer. On the virtual clock time moves only when a test moves it: look again soon.
        std::int64_t wait_ms = -1;
        const std::int64_t due = ui::NextDueMs();
        if (internal::IsVirtualClock())
            wait_ms = 20;
        else if (due >= 0)
            wait_ms = std::max<std::int64_t>(1, due - internal::NowMs());
        if (ui::wake_timer && wait_ms >= 0)
            ui::wake_timer->start(static_cast<int>(std::min<std::int64_t>(wait_ms, 1 << 30)));
        if (internal::PostedCount() == 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || msg->message != WM_KEYDOWN) return FALSE;
    const auto ch = static_cast<WPARAM>((msg->lParam >> 16) & 0xFF);
    if (ch == 0) return FALSE;
    internal::PostFirst(msg->hwnd, WM_CHAR, ch, msg->lParam);
    return TRUE;
}

LRESULT DispatchMessage(const MSG* msg) {
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam && (!msg->hwnd || ui::Find(msg->hwnd))) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    ui::Window* w = ui::Find(msg->hwnd);
    if (!w) return 0;
    if (msg->message == WM_PAINT) {
        w->painted = false;
        const LRESULT r = SendMessage(msg->hwnd, WM_PAINT, 0, 0);
        // A paint handler that never validates is not asked again and again.
        if ((w = ui::Find(msg->hwnd)) && !w->painted) w->invalid = false;
        return r;
    }
    return SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void PostQuitMessage(int exitCode) {
    ui::quit_pending = true;
    ui::quit_code = exitCode;
    ui::Wake();
}

namespace {

// The next control with WS_TABSTOP after (or before) the focus, in creation order.
HWND NextTabStop(HWND dialog, HWND from, bool backwards) {
    std::vector<HWND> stops;
    for (HWND h : ui::Children(dialog)) {
        ui::Window* c = ui::Find(h);
        if (c && (c->style & WS_TABSTOP) && c->enabled && c->visible) stops.push_back(h);
    }
    if (stops.empty()) return HWND{};
    auto it = std::find(stops.begin(), stops.end(), from);
    if (it == stops.end()) return stops.front();
    std::ptrdiff_t i = it - stops.begin();
    const auto n = static_cast<std::ptrdiff_t>(stops.size());
    i = backwards ? (i + n - 1) % n : (i + 1) % n;
    return stops[static_cast<std::size_t>(i)];
}

HWND DefaultButton(HWND dialog) {
    for (HWND h : ui::Children(dialog)) {
        ui::Window* c = ui::Find(h);
        if (c && c->kind == ui::Kind::PushButton && (c->style & 0x0F) == BS_DEFPUSHBUTTON) return h;
    }
    return HWND{};
}

}  // namespace

BOOL IsDialogMessage(HWND dialog, MSG* msg) {
    if (!msg || !ui::Find(dialog)) return FALSE;
    if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) return FALSE;
    if (ui::CallMessageFilter(msg, MSGF_DIALOGBOX)) return TRUE;
    if (msg->message == WM_KEYDOWN) {
        switch (msg->wParam) {
            case VK_RETURN: {
                ui::Window* focus = ui::Find(msg->hwnd);
                HWND button = (focus && focus->kind == ui::Kind::PushButton)
                                  ? msg->hwnd
                                  : DefaultButton(dialog);
                const int id = button ? GetDlgCtrlID(button) : IDOK;
                SendMessage(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                            HandleToParam(button ? button : GetDlgItem(dialog, id)));
                return TRUE;
            }
            case VK_ESCAPE:
                SendMessage(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                            HandleToParam(GetDlgItem(dialog, IDCANCEL)));
                return TRUE;
            case VK_TAB: {
                const bool backwards = ((msg->lParam >> 24) & 1) ||
                                       (ui::ModifiersOfKey(msg->lParam) & Qt::ShiftModifier);
                const HWND next = NextTabStop(dialog, msg->hwnd, backwards);
                if (next) SetFocus(next);
                return TRUE;
            }
            default:
                break;
        }
    }
    if (msg->message == WM_CHAR &&
        (msg->wParam == '\r' || msg->wParam == 27 || msg->wParam == '\t'))
        return TRUE;
    TranslateMessage(msg);
    DispatchMessage(msg);
    return TRUE;
}

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE, DWORD) {
    if (idHook != WH_MSGFILTER || !proc) return HHOOK{};
    const HHOOK handle = HHOOK::FromIndex(ui::next_hook++);
    ui::hooks.push_back(ui::Hook{handle, proc});
    return handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
    auto& hooks = ui::hooks;
    auto it = std::find_if(hooks.begin(), hooks.end(),
                           [&](const ui::Hook& h) { return h.handle == hook; });
    if (it == hooks.end()) return FALSE;
    hooks.erase(it);
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    auto& hooks = ui::hooks;
    auto it = std::find_if(hooks.begin(), hooks.end(),
                           [&](const ui::Hook& h) { return h.handle == hook; });
    if (it == hooks.end() || it == hooks.begin()) return 0;
    const ui::Hook next = *(it - 1);
    return next.proc(code, wParam, lParam);
}

DWORD GetCurrentThreadId() {
    return static_cast<DWORD>(std::hash<std::thread::id>{}(std::this_thread::get_id()));
}

}  // namespace platform
