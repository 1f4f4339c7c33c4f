// Message boxes: a modal QMessageBox on screen, or the host's answer when unattended.

#include "platform/ui/MessageBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>

#include "platform/internal/Headless.h"
#include "platform/ui/HostHooks.h"
#include "platform/ui/WindowTable.h"

namespace platform {
namespace {

int DefaultAnswer(UINT type) {
    const UINT buttons = type & 0x0F;
    return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDYES : IDOK;
}

// The width a message box needs for a caption `text_width` pixels wide in a title bar: the
// caption at a larger title font, the window manager's icon and its three buttons, margins.
int CaptionRoom(int text_width) { return text_width * 5 / 4 + 4 * 24 + 32; }

int ShowOnScreen(HWND owner, const char* text, const char* caption, UINT type) {
    const QPointer<QWidget> holder = ui::KeyboardHolder();
    QWidget* parent = QApplication::activeWindow();
    if (ui::Window* w = ui::Find(ui::TopLevelOf(owner)))
        parent = w->outer ? w->outer.data() : w->widget.data();
    QMessageBox box(parent);
    box.setText(QString::fromLatin1(text ? text : ""));
    box.setWindowTitle(QString::fromLatin1(caption ? caption : ""));
    switch (type & 0xF0) {
        case MB_ICONHAND:
            box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONEXCLAMATION:
            box.setIcon(QMessageBox::Warning);
            break;
        case MB_ICONASTERISK:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
    }
    switch (type & 0x0F) {
        case MB_OKCANCEL:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MB_YESNO:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MB_YESNOCANCEL:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
            break;
    }
    // A box with a short text is narrow, and a window manager cuts its caption to fit the
    // title bar beside its buttons ("Q... ge"): the box is made wide enough for the caption.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        QFont title_font = box.font();
        title_font.setBold(true);
        const int need = CaptionRoom(QFontMetrics(title_font).horizontalAdvance(box.windowTitle()));
        grid->addItem(new QSpacerItem(need, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    // The box is modal for the person, while the layer's loop goes on dispatching posted
    // messages and timers (sound buffers keep coming back while a box is up).
    int answer = -1;
    QObject::connect(&box, &QMessageBox::finished, &box, [&answer](int r) {
        answer = r;
        PostMessage(HWND{}, WM_NULL, 0, 0);  // wakes the loop below
    });
    ui::ShowModal(&box);
    const ui::ModalLoopScope loop;
    while (answer < 0) {
        MSG msg;
        if (!GetMessage(&msg, HWND{}, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            QObject::disconnect(&box, nullptr, nullptr, nullptr);  // no wake-up left behind
            box.close();
            return IDCANCEL;
        }
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    ui::GiveKeyboardBack(holder);
    switch (answer) {
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        case QMessageBox::Cancel:
            return IDCANCEL;
        default:
            return IDOK;
    }
}

}  // namespace

int MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    const HostHooks& hooks = Hooks();
    MessageBoxRecord box{owner, text ? text : "", caption ? caption : "", type, 0};
    if (internal::Headless()) {
        box.answer = DefaultAnswer(type);
        if (hooks.answer_message_box) hooks.answer_message_box(box);
    } else {
        box.answer = ShowOnScreen(owner, text, caption, type);
    }
    if (hooks.message_box_shown) hooks.message_box_shown(box);
    return box.answer;
}

BOOL MessageBeep(UINT) {
    if (Hooks().beeped) Hooks().beeped();
    if (!internal::Headless()) QApplication::beep();
    return TRUE;
}

}  // namespace platform
