// A person's hands in tests: Qt events sent to the widgets that show the layer's windows.

#include "platform/testing/Input.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTabBar>

#include "platform/testing/Harness.h"
#include "platform/ui/WindowTable.h"

namespace platform::testing {
namespace {

// The widget a person would hit at client point (x, y) of `hwnd`, and the point in its
// coordinates.
QWidget* HitWidget(HWND hwnd, int x, int y, QPoint* local, QPoint* global) {
    ui::Window* w = ui::Find(hwnd);
    if (!w || !w->widget) return nullptr;
    QWidget* base = w->widget;
    const QPoint in_base(x + w->inner.left, y + w->inner.top);
    *global = base->mapToGlobal(in_base);
    QWidget* top = base->window();
    const QPoint in_top = top->mapFromGlobal(*global);
    QWidget* hit = top->childAt(in_top);
    if (!hit) hit = top;
    *local = hit->mapFromGlobal(*global);
    return hit;
}

Qt::MouseButton QtButton(Button b) { return b == Button::Left ? Qt::LeftButton : Qt::RightButton; }

void SendMouse(HWND hwnd, int x, int y, QEvent::Type type, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QPoint local, global;
    QWidget* hit = HitWidget(hwnd, x, y, &local, &global);
    if (!hit) return;
    QMouseEvent event(type, QPointF(local), QPointF(global), button, held, Qt::NoModifier);
    QApplication::sendEvent(hit, &event);
}

template <class T>
T* ControlWidget(HWND dialog, int id) {
    ui::Window* c = ui::Find(GetDlgItem(dialog, id));
    return c ? qobject_cast<T*>(c->widget.data()) : nullptr;
}

int QtKeyForChar(char c) {
    if (c >= '0' && c <= '9') return Qt::Key_0 + (c - '0');
    if (c >= 'a' && c <= 'z') return Qt::Key_A + (c - 'a');
    if (c >= 'A' && c <= 'Z') return Qt::Key_A + (c - 'A');
    if (c == '.') return Qt::Key_Period;
    if (c == '-') return Qt::Key_Minus;
    if (c == ' ') return Qt::Key_Space;
    return Qt::Key_unknown;
}

void SendKey(QWidget* target, int key, const QString& text,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

}  // namespace

void MouseDown(HWND hwnd, int x, int y, Button button) {
    SendMouse(hwnd, x, y, QEvent::MouseButtonPress, QtButton(button), QtButton(button));
    PumpUntilIdle();
}

void MouseUp(HWND hwnd, int x, int y, Button button) {
    SendMouse(hwnd, x, y, QEvent::MouseButtonRelease, QtButton(button), Qt::NoButton);
    PumpUntilIdle();
}

void MouseMove(HWND hwnd, int x, int y, bool leftHeld) {
    SendMouse(hwnd, x, y, QEvent::MouseMove, Qt::NoButton,
              leftHeld ? Qt::LeftButton : Qt::NoButton);
    PumpUntilIdle();
}

void MouseClick(HWND hwnd, int x, int y, Button button) {
    SendMouse(hwnd, x, y, QEvent::MouseButtonPress, QtButton(button), QtButton(button));
    SendMouse(hwnd, x, y, QEvent::MouseButtonRelease, QtButton(button), Qt::NoButton);
    PumpUntilIdle();
}

void MouseDoubleClick(HWND hwnd, int x, int y, Button button) {
    const Qt::MouseButton b = QtButton(button);
    SendMouse(hwnd, x, y, QEvent::MouseButtonPress, b, b);
    SendMouse(hwnd, x, y, QEvent::MouseButtonRelease, b, Qt::NoButton);
    SendMouse(hwnd, x, y, QEvent::MouseButtonDblClick, b, b);
    SendMouse(hwnd, x, y, QEvent::MouseButtonRelease, b, Qt::NoButton);
    PumpUntilIdle();
}

void PressKey(HWND hwnd, WPARAM vk, HWND dialog, unsigned modifiers) {
    ui::Window* w = ui::Find(hwnd);
    if (!w || !w->widget) return;
    QString text;
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        text = QChar(static_cast<char16_t>(vk));
    if (vk == VK_RETURN) text = QStringLiteral("\r");
    if (vk == VK_ESCAPE) text = QChar(char16_t{27});
    Qt::KeyboardModifiers qt_modifiers;
    if (modifiers & kShift) qt_modifiers |= Qt::ShiftModifier;
    if (modifiers & kControl) {
        qt_modifiers |= Qt::ControlModifier;
        if (vk >= 'A' && vk <= 'Z') text = QChar(static_cast<char16_t>(vk - 'A' + 1));
    }
    SendKey(w->widget, ui::QtKeyOf(vk), text, qt_modifiers);
    PumpUntilIdle(dialog);
}

void Click(HWND dialog, int id) {
    const HWND item = GetDlgItem(dialog, id);
    RECT r{};
    if (!GetClientRect(item, &r)) return;
    MouseClick(item, r.right / 2, r.bottom / 2);
}

void TypeText(HWND dialog, int id, const std::string& text, bool replace) {
    const HWND item = GetDlgItem(dialog, id);
    auto* edit = ControlWidget<QLineEdit>(dialog, id);
    if (!edit) return;
    SetFocus(item);
    if (replace) edit->selectAll();
    for (char c : text) SendKey(edit, QtKeyForChar(c), QString(QChar::fromLatin1(c)));
    PumpUntilIdle();
}

void Select(HWND dialog, int id, int index) {
    if (auto* list = ControlWidget<QListWidget>(dialog, id)) {
        list->setCurrentRow(index);
    } else if (auto* combo = ControlWidget<QComboBox>(dialog, id)) {
        if (index < 0 || index >= combo->count()) return;
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    PumpUntilIdle();
}

void SelectTab(HWND dialog, int id, int index) {
    ui::Window* c = ui::Find(GetDlgItem(dialog, id));
    QTabBar* bar = c && c->widget ? c->widget->findChild<QTabBar*>() : nullptr;
    if (bar) bar->setCurrentIndex(index);
    PumpUntilIdle();
}

void Scroll(HWND dialog, int id, UINT code, int position, int bar_kind) {
    QScrollBar* bar = nullptr;
    if (id == -1) {
        ui::Window* w = ui::Find(dialog);
        if (w && w->widget)
            bar = w->widget->findChild<QScrollBar*>(
                bar_kind == SB_VERT ? QStringLiteral("qv_vbar") : QStringLiteral("qv_hbar"));
    } else {
        bar = ControlWidget<QScrollBar>(dialog, id);
    }
    if (!bar) return;
    switch (code) {
        case SB_LINEUP:
            bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
            break;
        case SB_LINEDOWN:
            bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            break;
        case SB_PAGEUP:
            bar->triggerAction(QAbstractSlider::SliderPageStepSub);
            break;
        case SB_PAGEDOWN:
            bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
            break;
        case SB_TOP:
            bar->triggerAction(QAbstractSlider::SliderToMinimum);
            break;
        case SB_BOTTOM:
            bar->triggerAction(QAbstractSlider::SliderToMaximum);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            bar->setSliderDown(true);
            bar->setSliderPosition(position);
            bar->setSliderDown(false);
            break;
        default:
            break;
    }
    PumpUntilIdle();
}

void CloseBox(HWND hwnd) {
    ui::Window* w = ui::Find(hwnd);
    if (!w) return;
    QWidget* target = w->outer ? w->outer.data() : w->widget.data();
    if (target) target->close();
    PumpUntilIdle();
}

bool ChooseMenuItem(HWND frame, UINT id) {
    ui::FlushMenuBars();
    ui::Window* w = ui::Find(frame);
    auto* main = w ? qobject_cast<QMainWindow*>(w->outer.data()) : nullptr;
    if (!main) return false;
    for (QAction* action : main->menuBar()->findChildren<QAction*>()) {
        if (action->data().isValid() && action->data().toUInt() == id && action->isEnabled()) {
            action->trigger();
            PumpUntilIdle();
            return true;
        }
    }
    return false;
}

bool ShownEnabled(HWND hwnd) {
    ui::Window* w = ui::Find(hwnd);
    return w && w->widget && w->widget->isEnabled() && (!w->outer || w->outer->isEnabled());
}

std::string TypeIntoForeignEdit(HWND owner, const std::string& letters) {
    ui::Window* o = ui::Find(owner);
    if (!o) return {};
    QWidget chooser(o->outer ? o->outer.data() : o->widget.data(), Qt::Dialog);
    auto* edit = new QLineEdit(&chooser);
    chooser.show();
    for (char c : letters) {
        if (c < 'a' || c > 'z') continue;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A + (c - 'a'), Qt::NoModifier, QString(QChar(c)));
        QApplication::sendEvent(edit, &press);
    }
    return edit->text().toStdString();
}

int MenuBarBuilds() { return ui::MenuBarBuildCount(); }

int WindowListBuilds() { return ui::WindowListBuildCount(); }

SessionCounts CountSession(HWND frame) {
    PumpUntilIdle();  // menus and widgets let go are deleted when the loop runs
    SessionCounts counts;
    const ui::Window* w = ui::Find(frame);
    if (auto* main = w ? qobject_cast<QMainWindow*>(w->outer.data()) : nullptr)
        counts.bar_menus = static_cast<int>(
            main->menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly).size());
    counts.top_level_widgets = static_cast<int>(QApplication::topLevelWidgets().size());
    counts.window_slots = ui::WindowSlotCount();
    counts.live_windows = ui::AllWindows().size();
    return counts;
}

}  // namespace platform::testing
