// The Qt widgets behind the layer's windows. Their paint events only copy backing images; their
// mouse input becomes posted messages; geometry changes and close requests made by a person are
// reported to the window table. Private to platform/ui.
#pragma once

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

#include "platform/Types.h"

namespace platform::ui {

// A canvas: shows the backing image of `hwnd` at its client origin, with the client edge and the
// window scroll bars around it. Mouse input inside the client area is posted to the window (or to
// the window holding the capture) in client coordinates.
class CanvasWidget : public QWidget {
  public:
    CanvasWidget(HWND hwnd, QWidget* parent);
    HWND hwnd() const { return hwnd_; }
    // Mouse input arriving here is meant for the window beneath (static canvases).
    void SetMouseTransparent(bool on);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void PostMouse(unsigned message, QMouseEvent* event);
    HWND hwnd_;
};

// A top-level Qt window of the window table (the frame, an MDI child's decoration): geometry
// changes go to the table after Qt has applied them, and the close box asks the table instead of
// closing. `QtBase` is QMainWindow or QMdiSubWindow (instantiated in Widgets.cpp).
template <class QtBase>
class WindowTableWidget : public QtBase {
  public:
    HWND hwnd() const { return hwnd_; }

  protected:
    explicit WindowTableWidget(HWND hwnd);
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    HWND hwnd_;
};

// The frame: a main window whose close box and geometry changes go to the window table.
class FrameWidget : public WindowTableWidget<QMainWindow> {
  public:
    explicit FrameWidget(HWND hwnd);

  protected:
    // The caption and borders in the window's margins, while no window manager draws them.
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
};

// An MDI child's decorated window around its canvas.
class MdiSubWidget : public WindowTableWidget<QMdiSubWindow> {
  public:
    explicit MdiSubWidget(HWND hwnd);

  protected:
    // Maximising and restoring change the decorations around the canvas.
    void changeEvent(QEvent* event) override;
};

// Mouse buttons and modifiers of a Qt event as MK_ flags.
unsigned long KeyStateFlags(const QMouseEvent* event);

}  // namespace platform::ui
