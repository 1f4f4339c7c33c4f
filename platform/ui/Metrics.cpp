// Focus, mouse capture, cursors, icons and the system metrics of the layer's decorations.

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include "platform/ui/WindowTable.h"

namespace platform {

using ui::Find;
using ui::Window;

namespace {

HWND focus_window;
HWND capture_window;
HCURSOR current_cursor;

// System cursors are handles 1..4.
Qt::CursorShape ShapeOf(HCURSOR cursor) {
    switch (cursor.value) {
        case 2:
            return Qt::WaitCursor;
        case 3:
            return Qt::SizeVerCursor;
        case 4:
            return Qt::SizeHorCursor;
        default:
            return Qt::ArrowCursor;
    }
}

int MenuBarHeight() {
    static int height = 0;
    if (height == 0) {
        QMenuBar bar;
        bar.addMenu(QStringLiteral("File"));
        height = bar.sizeHint().height();
        if (height <= 0) height = 19;
    }
    return height;
}

// The offscreen platform of the tests has no window activation.
bool Offscreen() { return QGuiApplication::platformName() == QLatin1String("offscreen"); }

// Makes the top-level window of `widget` the active one, where it stands in the stacking order
// (the frame activated must not cover the windows it owns). Without a window manager nobody else
// gives a newly mapped window the X input focus; Qt asks for it once the window is mapped.
void Activate(QWidget* widget) {
    QWidget* top = widget ? widget->window() : nullptr;
    if (!top || Offscreen() || !top->isVisible() || top->isActiveWindow()) return;
    top->activateWindow();
}

}  // namespace

namespace ui {

void TakeKeyboard(QWidget* window) {
    Activate(window);
    // Without a window manager the focus request can be lost to the window the key or click
    // that opened this one was meant for; it is asked again while the window is still new.
    if (!window || Offscreen()) return;
    const QPointer<QWidget> guard(window);
    for (int ms : {50, 200, 500})
        QTimer::singleShot(ms, window, [guard] {
            QWidget* modal = QApplication::activeModalWidget();
            if (guard && guard->isVisible() && (!modal || modal == guard->window()))
                Activate(guard);
        });
}

void ShowModal(QDialog* dialog) {
    // Shown, not opened: QDialog::open() makes a dialog modal to its parent only, and Qt then
    // hands the keyboard of a window the dialog blocks (the one that had the keyboard, losing it
    // now) to the owner it shares with the dialog, the frame, taking it from the dialog just
    // activated: keys typed then are lost.
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    TakeKeyboard(dialog);
}

QPointer<QWidget> KeyboardHolder() {
    if (QWidget* focus = QApplication::focusWidget()) return focus;
    if (Window* w = Find(focus_window)) return w->widget;
    return {};
}

void GiveKeyboardBack(const QPointer<QWidget>& holder) {
    if (!holder || !holder->isVisible() || !holder->isEnabled()) return;
    Activate(holder);
    holder->setFocus(Qt::OtherFocusReason);
}

}  // namespace ui

HWND SetFocus(HWND hwnd) {
    const HWND old = Find(focus_window) ? focus_window : HWND{};
    Window* w = Find(hwnd);
    if (!w) return old;
    focus_window = hwnd;
    if (old && old != hwnd) SendMessage(old, WM_KILLFOCUS, static_cast<WPARAM>(hwnd.value), 0);
    w = Find(hwnd);
    if (w && w->widget) {
        w->widget->setFocus(Qt::OtherFocusReason);
        // The keyboard goes to the window holding the focus: its top-level window becomes the
        // active one, unless another modal window holds the keyboard.
        QWidget* modal = QApplication::activeModalWidget();
        if (w->widget->isEnabled() && (!modal || modal == w->widget->window())) Activate(w->widget);
    }
    if (old != hwnd) SendMessage(hwnd, WM_SETFOCUS, static_cast<WPARAM>(old.value), 0);
    return old;
}

HWND GetFocus() {
    // Where Qt has the keyboard focus (a person clicked there), else what SetFocus chose last
    // (offscreen windows are never active, so Qt keeps no focus widget for them).
    if (const HWND qt_focus = ui::HwndOfWidget(QApplication::focusWidget())) return qt_focus;
    return Find(focus_window) ? focus_window : HWND{};
}

HWND GetActiveWindow() {
    const HWND focus = GetFocus();
    if (focus) return ui::TopLevelOf(focus);
    return ui::TopLevelOf(ui::HwndOfWidget(QApplication::activeWindow()));
}

HWND SetCapture(HWND hwnd) {
    const HWND old = Find(capture_window) ? capture_window : HWND{};
    if (!Find(hwnd)) return old;
    capture_window = hwnd;
    return old;
}

BOOL ReleaseCapture() {
    const HWND old = capture_window;
    capture_window = HWND{};
    if (Find(old)) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() { return Find(capture_window) ? capture_window : HWND{}; }

HCURSOR LoadCursor(HINSTANCE, const char* name) {
    if (!name) return HCURSOR{};
    const std::string n = name;
    if (n == IDC_ARROW) return HCURSOR::FromIndex(1);
    if (n == IDC_WAIT) return HCURSOR::FromIndex(2);
    if (n == IDC_SIZENS) return HCURSOR::FromIndex(3);
    if (n == IDC_SIZEWE) return HCURSOR::FromIndex(4);
    return HCURSOR{};
}

HCURSOR SetCursor(HCURSOR cursor) {
    const HCURSOR old = current_cursor;
    current_cursor = cursor;
    QWidget* target = nullptr;
    if (Window* w = Find(capture_window)) target = w->widget;
    if (!target) target = ui::LastMouseWidget();
    if (target) target->setCursor(ShapeOf(cursor));
    return old;
}

HCURSOR GetCursor() { return current_cursor; }

BOOL SetCursorPos(int x, int y) {
    QCursor::setPos(x, y);
    return TRUE;
}

BOOL GetCursorPos(POINT* out) {
    if (!out) return FALSE;
    const QPoint p = QCursor::pos();
    *out = POINT{p.x(), p.y()};
    return TRUE;
}

HICON LoadIcon(HINSTANCE, const char* name) { return name ? HICON::FromIndex(1) : HICON{}; }
BOOL DestroyIcon(HICON icon) { return icon ? TRUE : FALSE; }

int GetSystemMetrics(int index) {
    QStyle* style = QApplication::style();
    const int frame = style ? style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth) : 4;
    const int title = style ? style->pixelMetric(QStyle::PM_TitleBarHeight) : 24;
    const int bar = style ? style->pixelMetric(QStyle::PM_ScrollBarExtent) : 16;
    const QScreen* screen = QApplication::primaryScreen();
    switch (index) {
        case SM_CXSCREEN:
            return screen ? screen->geometry().width() : 1024;
        case SM_CYSCREEN:
            return screen ? screen->geometry().height() : 768;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
            return bar;
        // An MDI child's title bar is PM_TitleBarHeight tall and includes the top frame.
        case SM_CYCAPTION:
            return title - frame;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CYMENU:
            return MenuBarHeight();
        case SM_CXFRAME:
        case SM_CYFRAME:
            return frame;
        case SM_CXEDGE:
        case SM_CYEDGE:
            return 2;
        default:
            return 0;
    }
}

BOOL SystemParametersInfo(UINT action, UINT, void* param, UINT) {
    if (action != SPI_GETWORKAREA || !param) return FALSE;
    const QScreen* screen = QApplication::primaryScreen();
    const QRect r = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    *static_cast<RECT*>(param) = RECT{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
    return TRUE;
}

}  // namespace platform
