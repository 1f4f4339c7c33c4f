// The controls' window procedure: texts, checks, lists, limits, scroll positions and tabs, and
// keys handed back to the widgets.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTabBar>
#include <algorithm>
#include <cstring>

#include "platform/ui/WindowTable.h"

namespace platform::ui {
namespace {

LRESULT ListMessage(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* list = qobject_cast<QListWidget*>(w.widget.data());
    auto* combo = qobject_cast<QComboBox*>(w.widget.data());
    const auto count = static_cast<int>(w.items.size());
    const auto index = static_cast<int>(static_cast<std::intptr_t>(wParam));
    auto sync = [&] {
        if (list) {
            const QSignalBlocker block(list);
            list->setCurrentRow(w.cur_sel);
            if (w.cur_sel < 0) list->clearSelection();
        }
        if (combo) {
            const QSignalBlocker block(combo);
            combo->setCurrentIndex(w.cur_sel);
        }
    };
    switch (message) {
        case LB_ADDSTRING:
        case CB_ADDSTRING:
        case LB_INSERTSTRING:
        case CB_INSERTSTRING: {
            const char* text = reinterpret_cast<const char*>(lParam);
            int at = count;
            if ((message == LB_INSERTSTRING || message == CB_INSERTSTRING) && index >= 0) {
                if (index > count) return LB_ERR;
                at = index;
            }
            w.items.insert(w.items.begin() + at, text ? text : "");
            if (list) {
                const QSignalBlocker block(list);
                list->insertItem(at, ToQt(text));
            }
            if (combo) {
                const QSignalBlocker block(combo);
                combo->insertItem(at, ToQt(text));
            }
            if (w.cur_sel >= at) ++w.cur_sel;
            sync();
            return at;
        }
        case LB_DELETESTRING:
        case CB_DELETESTRING:
            if (index < 0 || index >= count) return LB_ERR;
            w.items.erase(w.items.begin() + index);
            if (list) {
                const QSignalBlocker block(list);
                delete list->takeItem(index);
            }
            if (combo) {
                const QSignalBlocker block(combo);
                combo->removeItem(index);
            }
            if (w.cur_sel == index)
                w.cur_sel = -1;
            else if (w.cur_sel > index)
                --w.cur_sel;
            sync();
            return count - 1;
        case LB_RESETCONTENT:
        case CB_RESETCONTENT:
            w.items.clear();
            w.cur_sel = -1;
            w.caret = 0;
            if (list) {
                const QSignalBlocker block(list);
                list->clear();
            }
            if (combo) {
                const QSignalBlocker block(combo);
                combo->clear();
            }
            return 0;
        case LB_SETCURSEL:
        case CB_SETCURSEL:
            // Out of range (or -1) leaves nothing selected and answers LB_ERR.
            if (index < 0 || index >= count) {
                w.cur_sel = -1;
                sync();
                return LB_ERR;
            }
            w.cur_sel = index;
            w.caret = index;
            sync();
            return index;
        case LB_GETCURSEL:
        case CB_GETCURSEL:
            return w.cur_sel >= 0 && w.cur_sel < count ? w.cur_sel : LB_ERR;
        case LB_GETCOUNT:
        case CB_GETCOUNT:
            return count;
        case LB_GETTEXTLEN:
        case CB_GETLBTEXTLEN:
            if (index < 0 || index >= count) return LB_ERR;
            return static_cast<LRESULT>(w.items[static_cast<std::size_t>(index)].size());
        case LB_GETTEXT:
        case CB_GETLBTEXT: {
            if (index < 0 || index >= count || !lParam) return LB_ERR;
            const std::string& item = w.items[static_cast<std::size_t>(index)];
            std::memcpy(reinterpret_cast<char*>(lParam), item.c_str(), item.size() + 1);
            return static_cast<LRESULT>(item.size());
        }
        case LB_SETCARETINDEX:
            if (index < 0 || index >= count) return LB_ERR;
            w.caret = index;
            if (list) {
                const QSignalBlocker block(list);
                list->setCurrentRow(index, QItemSelectionModel::NoUpdate);
            }
            return 0;
        case LB_GETCARETINDEX:
            return w.caret;
        default:
            return 0;
    }
}

LRESULT TabMessage(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
    QTabBar* bar = w.widget ? w.widget->findChild<QTabBar*>() : nullptr;
    const auto count = static_cast<int>(w.items.size());
    const auto index = static_cast<int>(static_cast<std::intptr_t>(wParam));
    switch (message) {
        case TCM_INSERTITEM: {
            const auto* item = reinterpret_cast<const TCITEM*>(lParam);
            const char* text =
                item && (item->mask & TCIF_TEXT) && item->pszText ? item->pszText : "";
            const int at = std::clamp(index, 0, count);
            w.items.insert(w.items.begin() + at, text);
            if (bar) {
                const QSignalBlocker block(bar);
                bar->insertTab(at, ToQt(text));
            }
            if (w.cur_sel < 0)
                w.cur_sel = 0;
            else if (w.cur_sel >= at && count > 0)
                ++w.cur_sel;
            if (bar) {
                const QSignalBlocker block(bar);
                bar->setCurrentIndex(w.cur_sel);
            }
            return at;
        }
        case TCM_DELETEALLITEMS:
            w.items.clear();
            w.cur_sel = -1;
            if (bar) {
                const QSignalBlocker block(bar);
                while (bar->count() > 0) bar->removeTab(0);
            }
            return TRUE;
        case TCM_GETITEMCOUNT:
            return count;
        case TCM_GETCURSEL:
        case TCM_GETCURFOCUS:
            return w.cur_sel >= 0 && w.cur_sel < count ? w.cur_sel : -1;
        case TCM_SETCURSEL: {
            if (index < 0 || index >= count) return -1;
            const int old = w.cur_sel;
            w.cur_sel = index;
            if (bar) {
                const QSignalBlocker block(bar);
                bar->setCurrentIndex(index);
            }
            return old;
        }
        default:
            return 0;
    }
}

void SetControlText(Window& w, const char* text) {
    w.text = text ? text : "";
    const QString qt = ToQt(w.text);
    switch (w.kind) {
        case Kind::PushButton:
        case Kind::CheckBox:
        case Kind::RadioButton:
            if (auto* b = qobject_cast<QAbstractButton*>(w.widget.data())) b->setText(qt);
            break;
        case Kind::GroupBox:
            if (auto* g = qobject_cast<QGroupBox*>(w.widget.data())) g->setTitle(qt);
            break;
        case Kind::Edit:
            if (auto* e = qobject_cast<QLineEdit*>(w.widget.data())) {
                const QSignalBlocker block(e);
                e->setText(qt);
            }
            Notify(w.self, EN_CHANGE);  // a program change notifies like a typed one
            break;
        case Kind::StaticText:
            InvalidateRect(w.self, nullptr, TRUE);
            break;
        default:
            break;
    }
}

std::string ControlText(const Window& w) {
    if (w.kind == Kind::Edit)
        if (auto* e = qobject_cast<QLineEdit*>(w.widget.data())) return FromQt(e->text());
    return w.text;
}

void SetCheck(Window& w, int check) {
    w.check = check;
    if (auto* b = qobject_cast<QAbstractButton*>(w.widget.data())) {
        const QSignalBlocker block(b);
        b->setChecked(check != 0);
    }
}

LRESULT ControlWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    switch (message) {
        case WM_SETTEXT:
            SetControlText(*w, reinterpret_cast<const char*>(lParam));
            return TRUE;
        case WM_GETTEXT:
            return CopyText(ControlText(*w), wParam, lParam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(ControlText(*w).size());
        case BM_GETCHECK:
            return w->check;
        case BM_SETCHECK:
            SetCheck(*w, static_cast<int>(wParam));
            return 0;
        case BM_CLICK:
            if (auto* b = qobject_cast<QAbstractButton*>(w->widget.data())) b->click();
            return 0;
        case EM_LIMITTEXT:
            w->text_limit = static_cast<int>(wParam);
            return 0;
        case EM_SETSEL:
            if (auto* e = qobject_cast<QLineEdit*>(w->widget.data())) {
                const auto from = static_cast<int>(static_cast<std::intptr_t>(wParam));
                const auto to = static_cast<int>(lParam);
                if (from < 0)
                    e->deselect();
                else
                    e->setSelection(from,
                                    (to < 0 ? static_cast<int>(e->text().size()) : to) - from);
            }
            return 0;
        case SBM_SETPOS:
            return SetScrollPos(hwnd, SB_CTL, static_cast<int>(wParam), lParam != 0);
        case SBM_GETPOS:
            return GetScrollPos(hwnd, SB_CTL);
        case SBM_SETRANGE:
            SetScrollRange(hwnd, SB_CTL, static_cast<int>(wParam), static_cast<int>(lParam), TRUE);
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
            DeliverKey(*w, message, wParam, lParam);
            return 0;
        default:
            break;
    }
    if (message >= LB_ADDSTRING && message <= LB_GETCARETINDEX) {
        if (w->kind == Kind::ListBox) return ListMessage(*w, message, wParam, lParam);
        return 0;
    }
    if (message >= CB_ADDSTRING && message <= CB_SETCURSEL) {
        if (w->kind == Kind::ComboBox) return ListMessage(*w, message, wParam, lParam);
        return 0;
    }
    if (message >= TCM_GETITEMCOUNT && message <= TCM_GETCURFOCUS && w->kind == Kind::TabControl)
        return TabMessage(*w, message, wParam, lParam);
    return DefWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace

WNDPROC ControlProc(Kind) { return &ControlWndProc; }

void DeliverKey(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
    QWidget* target = w.widget;
    if (!target || w.kind == Kind::StaticText || w.kind == Kind::StaticCanvas) return;
    const auto ch = static_cast<char>((lParam >> 16) & 0xFF);
    const QString text = ch ? QString(QChar::fromLatin1(ch)) : QString();
    QKeyEvent event(message == WM_KEYDOWN ? QEvent::KeyPress : QEvent::KeyRelease,
                    QtKeyOfMessage(wParam, lParam),
                    static_cast<Qt::KeyboardModifiers>(ModifiersOfKey(lParam)), text,
                    ((lParam >> 30) & 1) != 0);
    BeginRedelivery(&event);
    QApplication::sendEvent(target, &event);
    EndRedelivery();
}

}  // namespace platform::ui

namespace platform {

using ui::Find;
using ui::Window;

int SetScrollPos(HWND hwnd, int bar, int position, BOOL) {
    Window* w = Find(hwnd);
    ui::ScrollState* s = w ? ui::ScrollStateOf(*w, bar) : nullptr;
    if (!s) return 0;
    const int old = s->pos;
    s->pos = std::clamp(position, std::min(s->min, s->max), std::max(s->min, s->max));
    ui::WindowBarChanged(*w, bar);
    return old;
}

int GetScrollPos(HWND hwnd, int bar) {
    Window* w = Find(hwnd);
    ui::ScrollState* s = w ? ui::ScrollStateOf(*w, bar) : nullptr;
    return s ? s->pos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int minimum, int maximum, BOOL) {
    Window* w = Find(hwnd);
    ui::ScrollState* s = w ? ui::ScrollStateOf(*w, bar) : nullptr;
    if (!s) return FALSE;
    s->min = minimum;
    s->max = maximum;
    s->pos = std::clamp(s->pos, std::min(minimum, maximum), std::max(minimum, maximum));
    ui::WindowBarChanged(*w, bar);
    return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* minimum, int* maximum) {
    Window* w = Find(hwnd);
    ui::ScrollState* s = w ? ui::ScrollStateOf(*w, bar) : nullptr;
    if (!s) return FALSE;
    if (minimum) *minimum = s->min;
    if (maximum) *maximum = s->max;
    return TRUE;
}

}  // namespace platform
