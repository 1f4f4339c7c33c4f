#include "platform/testing/Harness.h"

#include <QApplication>
#include <QLayout>
#include <clocale>
#include <cstdlib>

#include "platform/internal/Clock.h"
#include "platform/internal/Headless.h"
#include "platform/internal/Queue.h"
#include "platform/internal/Surface.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/HostScripts.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/WindowTable.h"

namespace platform::testing {
namespace {
int quit_code = -1;
}

void StartHeadless(int& argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
    std::setlocale(LC_NUMERIC, "C");
    internal::SetHeadless(true);
    InstallHostHooks();
    internal::UseVirtualClock(true, 0);
    ui::EnsureLoopInstalled();
}

void ResetLayer() {
    ui::ResetUi();
    ui::ResetTimers();
    ui::ResetHooks();
    ui::ResetMenus();
    ui::ClearQuit();
    internal::ClearPosted();
    ClearMessageBoxLog();
    ClearDialogScripts();
    ClearFileDialogLog();
    internal::UseVirtualClock(true, 0);
    quit_code = -1;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    internal::ClearPosted();
}

int PumpUntilIdle(HWND dialog) {
    int handled = 0;
    MSG msg;
    // Bounded, so that a procedure that keeps itself busy fails the test instead of hanging it.
    while (handled < 200000 && PeekMessage(&msg, HWND{}, 0, 0, PM_REMOVE)) {
        ++handled;
        if (msg.message == WM_QUIT) {
            quit_code = static_cast<int>(msg.wParam);
            continue;
        }
        const HWND modal = ui::CurrentModalDialog();
        const HWND first = modal ? modal : dialog;
        if (first && IsDialogMessage(first, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    return handled;
}

int QuitCode() { return quit_code; }

void AdvanceTime(std::int64_t ms) {
    if (!internal::IsVirtualClock()) internal::UseVirtualClock(true, 0);
    const std::int64_t target = internal::NowMs() + ms;
    PumpUntilIdle();
    for (int guard = 0; guard < 1000000; ++guard) {
        const std::int64_t due = ui::NextDueMs();
        if (due < 0 || due > target) break;
        const std::int64_t now = internal::NowMs();
        if (due > now) internal::AdvanceVirtualTime(due - now);
        PumpUntilIdle();
    }
    const std::int64_t now = internal::NowMs();
    if (target > now) internal::AdvanceVirtualTime(target - now);
    PumpUntilIdle();
}

std::int64_t Now() { return internal::NowMs(); }

bool ShownClientRect(HWND hwnd, RECT* out) {
    ui::Window* w = ui::Find(hwnd);
    if (!w || !w->widget || !out) return false;
    QWidget* widget = w->widget;
    QCoreApplication::sendPostedEvents();
    if (w->kind == ui::Kind::MdiChild && w->outer && w->outer->layout())
        w->outer->layout()->activate();
    QPoint origin = QPoint(w->inner.left, w->inner.top);
    const QSize size(widget->width() - w->inner.left - w->inner.right,
                     widget->height() - w->inner.top - w->inner.bottom);
    ui::Window* parent = ui::Find(w->parent);
    if (parent && parent->widget) {
        origin = widget->mapTo(parent->widget->window(), origin);
        origin -= parent->widget->mapTo(parent->widget->window(),
                                        QPoint(parent->inner.left, parent->inner.top));
    } else {
        origin = widget->mapToGlobal(origin);
    }
    *out = RECT{origin.x(), origin.y(), origin.x() + size.width(), origin.y() + size.height()};
    return true;
}

bool SaveWindowImage(HWND hwnd, const std::string& path) {
    QImage* image = internal::WindowImage(hwnd);
    return image && image->save(QString::fromLocal8Bit(path.c_str()), "PNG");
}

}  // namespace platform::testing
