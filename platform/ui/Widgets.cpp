// The Qt widgets behind the layer's windows.

#include "platform/ui/Widgets.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowTable.h"

namespace platform::ui {

namespace {
QPointer<QWidget> last_mouse_widget;
}

QWidget* LastMouseWidget() { return last_mouse_widget; }

unsigned long KeyStateFlags(const QMouseEvent* event) {
    unsigned long flags = 0;
    if (event->buttons() & Qt::LeftButton) flags |= MK_LBUTTON;
    if (event->buttons() & Qt::RightButton) flags |= MK_RBUTTON;
    if (event->modifiers() & Qt::ShiftModifier) flags |= MK_SHIFT;
    if (event->modifiers() & Qt::ControlModifier) flags |= MK_CONTROL;
    return flags;
}

CanvasWidget::CanvasWidget(HWND hwnd, QWidget* parent) : QWidget(parent), hwnd_(hwnd) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    BindWidget(this, hwnd);
}

void CanvasWidget::SetMouseTransparent(bool on) {
    setAttribute(Qt::WA_TransparentForMouseEvents, on);
}

void CanvasWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Window* w = Find(hwnd_);
    if (!w) return;
    const int left = w->inner.left;
    const int top = w->inner.top;
    if (left > 0 || top > 0) {
        // The client edge: a sunken two-pixel border.
        painter.fillRect(rect(), QColor(240, 240, 240));
        painter.setPen(QColor(160, 160, 160));
        painter.drawLine(0, 0, width() - 1, 0);
        painter.drawLine(0, 0, 0, height() - 1);
        painter.setPen(QColor(105, 105, 105));
        painter.drawLine(1, 1, width() - 2, 1);
        painter.drawLine(1, 1, 1, height() - 2);
        painter.setPen(QColor(255, 255, 255));
        painter.drawLine(0, height() - 1, width() - 1, height() - 1);
        painter.drawLine(width() - 1, 0, width() - 1, height() - 1);
    } else if (w->inner.right > 0 || w->inner.bottom > 0) {
        painter.fillRect(rect(), QColor(240, 240, 240));
    }
    if (w->image) painter.drawImage(QPoint(left, top), *w->image);
}

void CanvasWidget::PostMouse(unsigned message, QMouseEvent* event) {
    Window* w = Find(hwnd_);
    if (!w) return;
    last_mouse_widget = this;
    QPoint p = event->position().toPoint() - QPoint(w->inner.left, w->inner.top);
    HWND target = hwnd_;
    const HWND capture = GetCapture();
    if (capture && capture != hwnd_) {
        POINT pt{p.x(), p.y()};
        ClientToScreen(hwnd_, &pt);
        ScreenToClient(capture, &pt);
        p = QPoint(pt.x, pt.y);
        target = capture;
    } else if (!capture &&
               (p.x() < 0 || p.y() < 0 || p.x() >= ClientWidth(*w) || p.y() >= ClientHeight(*w))) {
        return;  // on the client edge or a window bar
    }
    PostMessage(target, message, KeyStateFlags(event), MAKELPARAM(p.x(), p.y()));
}

void CanvasWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) PostMouse(WM_LBUTTONDOWN, event);
    if (event->button() == Qt::RightButton) PostMouse(WM_RBUTTONDOWN, event);
}

void CanvasWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) PostMouse(WM_LBUTTONUP, event);
    if (event->button() == Qt::RightButton) PostMouse(WM_RBUTTONUP, event);
}

void CanvasWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt reports press, release, double click, release: the order the system expects. Windows
    // of classes without the double-click style get a second button-down instead.
    Window* w = Find(hwnd_);
    const bool dblclks = w && (w->is_dialog || (w->cls && (w->cls->style & CS_DBLCLKS)));
    if (event->button() == Qt::LeftButton)
        PostMouse(dblclks ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, event);
    if (event->button() == Qt::RightButton)
        PostMouse(dblclks ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN, event);
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* event) { PostMouse(WM_MOUSEMOVE, event); }

void CanvasWidget::resizeEvent(QResizeEvent*) {
    if (isWindow()) OnQtGeometry(hwnd_);
}

void CanvasWidget::moveEvent(QMoveEvent*) {
    if (isWindow()) OnQtGeometry(hwnd_);
}

void CanvasWidget::closeEvent(QCloseEvent* event) {
    event->ignore();
    OnQtClose(hwnd_);
}

template <class QtBase>
WindowTableWidget<QtBase>::WindowTableWidget(HWND hwnd) : hwnd_(hwnd) {
    BindWidget(this, hwnd);
}

template <class QtBase>
void WindowTableWidget<QtBase>::resizeEvent(QResizeEvent* event) {
    QtBase::resizeEvent(event);
    OnQtGeometry(hwnd_);
}

template <class QtBase>
void WindowTableWidget<QtBase>::moveEvent(QMoveEvent* event) {
    QtBase::moveEvent(event);
    OnQtGeometry(hwnd_);
}

template <class QtBase>
void WindowTableWidget<QtBase>::closeEvent(QCloseEvent* event) {
    event->ignore();
    OnQtClose(hwnd_);
}

template class WindowTableWidget<QMainWindow>;
template class WindowTableWidget<QMdiSubWindow>;

FrameWidget::FrameWidget(HWND hwnd) : WindowTableWidget(hwnd) {}

void FrameWidget::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    const QMargins m = contentsMargins();
    if (m.isNull()) return;
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    QStyleOptionTitleBar caption;
    caption.initFrom(this);
    caption.rect = QRect(0, 0, width(), m.top());
    caption.text = windowTitle();
    caption.subControls = QStyle::SC_TitleBarLabel;
    caption.titleBarFlags = Qt::Window | Qt::WindowTitleHint;
    caption.titleBarState = Qt::WindowActive;
    caption.state |= QStyle::State_Active;
    style()->drawComplexControl(QStyle::CC_TitleBar, &caption, &painter, this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void FrameWidget::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange) update();
}

MdiSubWidget::MdiSubWidget(HWND hwnd) : WindowTableWidget(hwnd) {
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void MdiSubWidget::changeEvent(QEvent* event) {
    QMdiSubWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) OnQtGeometry(hwnd());
}

}  // namespace platform::ui
