#include "platform/testing/OnScreen.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWindow>
#include <chrono>
#include <clocale>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/internal/Clock.h"
#include "platform/internal/Queue.h"
#include "platform/testing/Harness.h"
#include "platform/testing/HostScripts.h"
#include "platform/testing/XInput.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/WindowTable.h"

namespace platform::testing {
namespace {

RECT ToRect(const QRect& r) { return RECT{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }

QRect GlobalRect(const QWidget* widget, const QRect& local) {
    return QRect(widget->mapToGlobal(local.topLeft()), local.size());
}

QWidget* TopWidgetOf(HWND hwnd) {
    ui::Window* w = ui::Find(ui::TopLevelOf(hwnd));
    if (!w) return nullptr;
    QWidget* widget = w->outer ? w->outer.data() : w->widget.data();
    return widget ? widget->window() : nullptr;
}

std::string Plain(QString text) { return text.remove(QLatin1Char('&')).toStdString(); }

// Counts the times a shown Qt modal window loses the keyboard after it first took it.
class ModalKeyboardWatch : public QObject {
  public:
    int losses = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::Show && type != QEvent::WindowActivate &&
            type != QEvent::WindowDeactivate)
            return false;
        auto* modal = qobject_cast<QDialog*>(watched);
        if (!modal || !modal->isModal()) return false;
        if (type == QEvent::Show) {
            losses = 0;
            taken_ = false;
        } else if (type == QEvent::WindowActivate) {
            taken_ = true;
        } else if (taken_ && modal->isVisible()) {
            ++losses;
        }
        return false;
    }

  private:
    bool taken_ = false;
};

ModalKeyboardWatch* modal_watch = nullptr;

}  // namespace

void StartOnScreen(int& argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
    QApplication::setQuitOnLastWindowClosed(false);
    std::setlocale(LC_NUMERIC, "C");
    InstallHostHooks();
    ui::EnsureLoopInstalled();
    modal_watch = new ModalKeyboardWatch;
    app->installEventFilter(modal_watch);
}

bool RunOnUiThread(const std::function<void()>& fn, int timeout_ms) {
    struct State {
        std::mutex mutex;
        std::condition_variable done_cv;
        bool abandoned = false;
        bool running = false;
        bool done = false;
    };
    auto state = std::make_shared<State>();
    const std::function<void()>* call = &fn;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [state, call] {
            {
                std::lock_guard<std::mutex> lock(state->mutex);
                if (state->abandoned) return;
                state->running = true;
            }
            (*call)();
            std::lock_guard<std::mutex> lock(state->mutex);
            state->done = true;
            state->done_cv.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock<std::mutex> lock(state->mutex);
    if (state->done_cv.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                                [&] { return state->done; }))
        return true;
    if (state->running) {
        // Started in time: it may still use what `fn` refers to, so wait for its end.
        state->done_cv.wait(lock, [&] { return state->done; });
        return true;
    }
    state->abandoned = true;
    return false;
}

bool WaitOnUi(const std::function<bool()>& condition, int timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        bool holds = false;
        const int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              deadline - std::chrono::steady_clock::now())
                                              .count());
        if (!RunOnUiThread([&] { holds = condition(); }, std::max(left, 1))) return false;
        if (holds) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool ScreenClientRect(HWND hwnd, RECT* out) {
    ui::Window* w = ui::Find(hwnd);
    if (!w || !w->widget || !out) return false;
    const QWidget* widget = w->widget;
    const QRect local(w->inner.left, w->inner.top, widget->width() - w->inner.left - w->inner.right,
                      widget->height() - w->inner.top - w->inner.bottom);
    *out = ToRect(GlobalRect(widget, local));
    return true;
}

bool ScreenWindowRect(HWND hwnd, RECT* out) {
    ui::Window* w = ui::Find(hwnd);
    if (!w || !out) return false;
    QWidget* outer = w->outer ? w->outer.data() : w->widget.data();
    if (!outer) return false;
    if (outer->isWindow()) {
        *out = ToRect(outer->frameGeometry());
        return true;
    }
    *out = ToRect(GlobalRect(outer, outer->rect()));
    return true;
}

RECT WorkArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? ToRect(screen->availableGeometry()) : RECT{};
}

bool TakesInput(HWND hwnd) {
    ui::Window* w = ui::Find(hwnd);
    if (!w || !w->widget) return false;
    if (!w->widget->isEnabled()) return false;
    return !w->outer || w->outer->isEnabled();
}

bool MenuBarTakesInput(HWND frame) {
    ui::Window* w = ui::Find(frame);
    auto* main = w ? qobject_cast<QMainWindow*>(w->outer.data()) : nullptr;
    return main && main->menuBar()->isEnabled() && main->menuBar()->isVisible();
}

bool MenuTitleRect(HWND frame, int index, RECT* out) {
    ui::FlushMenuBars();
    ui::Window* w = ui::Find(frame);
    auto* main = w ? qobject_cast<QMainWindow*>(w->outer.data()) : nullptr;
    if (!main || !out) return false;
    QMenuBar* bar = main->menuBar();
    const auto actions = bar->actions();
    if (index < 0 || index >= actions.size()) return false;
    *out = ToRect(GlobalRect(bar, bar->actionGeometry(actions[index])));
    return true;
}

bool OpenMenuItemRect(UINT id, RECT* out) {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu || !out) return false;
    for (QAction* action : menu->actions()) {
        if (action->data().isValid() && action->data().toUInt() == id) {
            *out = ToRect(GlobalRect(menu, menu->actionGeometry(action)));
            return true;
        }
    }
    return false;
}

bool AnyMenuOpen() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; }

HWND WindowAt(int x, int y) { return ui::HwndOfWidget(QApplication::widgetAt(x, y)); }

std::string WindowTitleAt(int x, int y) {
    const QWidget* widget = QApplication::widgetAt(x, y);
    return widget ? widget->window()->windowTitle().toStdString() : std::string();
}

unsigned long NativeWindowOf(HWND hwnd) {
    QWidget* top = TopWidgetOf(hwnd);
    return top ? static_cast<unsigned long>(top->winId()) : 0;
}

bool ShownOnScreen(HWND hwnd) {
    QWidget* top = TopWidgetOf(hwnd);
    return top && top->isVisible() && top->windowHandle() && top->windowHandle()->isExposed();
}

bool HoldsKeyboard(HWND hwnd) {
    QWidget* top = TopWidgetOf(hwnd);
    return top != nullptr && top->isVisible() && top->isActiveWindow();
}

bool ActiveQtModal(QtModal* out) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !out || !modal->isVisible()) return false;
    out->kind = "other";
    out->text.clear();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        out->kind = "message box";
        out->text = box->text().toStdString();
    } else if (qobject_cast<QFileDialog*>(modal)) {
        out->kind = "file dialog";
    }
    out->title = modal->windowTitle().toStdString();
    out->window = static_cast<unsigned long>(modal->winId());
    out->frame = ToRect(modal->geometry());
    out->active = modal->isActiveWindow();
    return true;
}

bool QtModalButtonRect(const std::string& text, RECT* out) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !out) return false;
    for (QAbstractButton* button : modal->findChildren<QAbstractButton*>()) {
        if (button->isVisible() && Plain(button->text()) == text) {
            *out = ToRect(GlobalRect(button, button->rect()));
            return true;
        }
    }
    return false;
}

bool FileNameField(NameField* out) {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return false;
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!edit || !edit->isVisible()) return false;
    if (!out) return true;
    out->rect = ToRect(GlobalRect(edit, edit->rect()));
    out->text = edit->text().toStdString();
    out->all_selected = !edit->text().isEmpty() && edit->selectedText() == edit->text();
    out->has_keyboard = dialog->isActiveWindow() && edit->hasFocus();
    return true;
}

int ModalKeyboardLosses() { return modal_watch ? modal_watch->losses : 0; }

bool QtModalEdit(const std::string& name, RECT* out, std::string* text) {
    QWidget* modal = QApplication::activeModalWidget();
    auto* edit = modal ? modal->findChild<QLineEdit*>(QString::fromStdString(name)) : nullptr;
    if (!edit || !edit->isVisible() || !edit->isEnabled()) return false;
    if (out) *out = ToRect(GlobalRect(edit, edit->rect()));
    if (text) *text = edit->text().toStdString();
    return true;
}

bool FileChooserLists(const std::string& name) {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    auto* view = dialog ? dialog->findChild<QListView*>(QStringLiteral("listView")) : nullptr;
    if (!view || !view->model()) return false;
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(root); ++row)
        if (view->model()->index(row, 0, root).data().toString().toStdString() == name) return true;
    return false;
}

std::string FocusedEditText() {
    auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    return edit ? edit->text().toStdString() : std::string();
}

bool ProgramAtRest() {
    // A modal dialog's loop runs inside the procedure that opened it.
    if (internal::PostedCount() != 0 || QApplication::activeModalWidget() ||
        (ui::SendDepth() != 0 && !ui::CurrentModalDialog()))
        return false;
    for (const HWND h : ui::AllWindows()) {
        const ui::Window* w = ui::Find(h);
        if (w && w->invalid && IsWindowVisible(h)) return false;
    }
    return true;
}

HWND InnermostModalDialog() { return ui::CurrentModalDialog(); }

std::string TemplateOf(HWND dialog) {
    ui::Window* w = ui::Find(dialog);
    return w ? w->template_name : std::string();
}

bool EndOneModal() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        return true;
    }
    if (const HWND dialog = ui::CurrentModalDialog()) {
        EndDialog(dialog, IDCANCEL);
        PostMessage(HWND{}, WM_NULL, 0, 0);  // the dialog's loop looks at its state again
        return true;
    }
    return false;
}

void ResetLayerOnScreen() {
    ResetLayer();
    internal::UseVirtualClock(false);
}

bool SaveScreenImage(const std::string& path) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return false;
    QPixmap shot = screen->grabWindow(0);
    if (shot.isNull()) return false;
    // The server's root image does not always hold what a top-level window shows (windows drawn
    // off screen by the server); each window of the program is painted in again from its own
    // contents, bottom to top in the server's stacking order.
    std::map<unsigned long, QWidget*> by_root_child;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible() || top->windowType() == Qt::Popup) continue;
        by_root_child[RootChildHolding(static_cast<unsigned long>(top->winId()))] = top;
    }
    QPainter painter(&shot);
    for (unsigned long child : RootChildrenBottomToTop()) {
        auto it = by_root_child.find(child);
        if (it == by_root_child.end()) continue;
        QWidget* top = it->second;
        const QPixmap own = screen->grabWindow(top->winId());
        if (!own.isNull()) painter.drawPixmap(top->mapToGlobal(QPoint(0, 0)), own);
    }
    painter.end();
    return shot.save(QString::fromStdString(path), "PNG");
}

std::vector<COLORREF> ShownClientPixels(HWND hwnd, int stride) {
    std::vector<COLORREF> out;
    ui::Window* w = ui::Find(hwnd);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!w || !w->widget || !w->widget->isVisible() || !screen || stride < 1) return out;
    QWidget* top = w->widget->window();
    const QPoint at = w->widget->mapTo(top, QPoint(w->inner.left, w->inner.top));
    const int cw = ui::ClientWidth(*w);
    const int ch = ui::ClientHeight(*w);
    const QImage shown = screen->grabWindow(top->winId(), at.x(), at.y(), cw, ch).toImage();
    if (shown.isNull()) return out;
    for (int y = 0; y < shown.height(); y += stride)
        for (int x = 0; x < shown.width(); x += stride) {
            const QRgb p = shown.pixel(x, y);
            out.push_back(RGB(qRed(p), qGreen(p), qBlue(p)));
        }
    return out;
}

std::vector<COLORREF> ShownScreenPixels(const RECT& area) {
    std::vector<COLORREF> out;
    QScreen* screen = QGuiApplication::primaryScreen();
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (!screen || width <= 0 || height <= 0) return out;
    const QImage shown = screen->grabWindow(0, area.left, area.top, width, height).toImage();
    if (shown.width() != width || shown.height() != height) return out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const QRgb p = shown.pixel(x, y);
            out.push_back(RGB(qRed(p), qGreen(p), qBlue(p)));
        }
    return out;
}

}  // namespace platform::testing
