// The controls' widgets and how a person's actions on them become notifications to the parent.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>

#include "platform/internal/Surface.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Widgets.h"
#include "platform/ui/WindowTable.h"

namespace platform::ui {
namespace {

// Check boxes and radio buttons take a click anywhere on the control, not only on the box and
// the text, as the system's do.
class CheckBoxWidget : public QCheckBox {
  public:
    using QCheckBox::QCheckBox;

  protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

// Check boxes and radio buttons that leave their check to the procedure.
class ManualCheckBox : public CheckBoxWidget {
  public:
    using CheckBoxWidget::CheckBoxWidget;

  protected:
    void nextCheckState() override {}
};

class ManualRadioButton : public QRadioButton {
  public:
    using QRadioButton::QRadioButton;

  protected:
    void nextCheckState() override {}
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

// An edit whose limit applies to typing only, as the system expects: the program may still set a
// longer text.
class EditWidget : public QLineEdit {
  public:
    EditWidget(HWND hwnd, QWidget* parent) : QLineEdit(parent), hwnd_(hwnd) {}

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        Window* w = Find(hwnd_);
        const QString typed = event->text();
        if (w && w->text_limit > 0 && !typed.isEmpty() && typed.at(0).isPrint()) {
            const auto after = text().size() - selectedText().size() + typed.size();
            if (after > w->text_limit) {
                MessageBeep(0);
                return;
            }
        }
        QLineEdit::keyPressEvent(event);
    }

  private:
    HWND hwnd_;
};

// An owner-drawn button: shows its backing image, which the parent draws on WM_DRAWITEM.
class OwnerDrawWidget : public QPushButton {
  public:
    OwnerDrawWidget(HWND hwnd, QWidget* parent) : QPushButton(parent), hwnd_(hwnd) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (Window* w = Find(hwnd_); w && w->image) painter.drawImage(0, 0, *w->image);
    }

  private:
    HWND hwnd_;
};

// A tab control: the tab row on top; the pages are child windows the program places below it.
class TabWidget : public QWidget {
  public:
    explicit TabWidget(QWidget* parent) : QWidget(parent), bar(new QTabBar(this)) {
        bar->setDrawBase(true);
        bar->setExpanding(false);
    }
    QTabBar* bar;

  protected:
    void resizeEvent(QResizeEvent*) override {
        bar->setGeometry(0, 0, width(), bar->sizeHint().height());
    }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(240, 240, 240));
        painter.setPen(QColor(160, 160, 160));
        const int top = bar->sizeHint().height() - 1;
        painter.drawRect(0, top, width() - 1, height() - top - 1);
    }
};

// Scroll-bar codes of a Qt slider action.
bool ScrollCode(int action, UINT* code) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            *code = SB_LINEDOWN;
            return true;
        case QAbstractSlider::SliderSingleStepSub:
            *code = SB_LINEUP;
            return true;
        case QAbstractSlider::SliderPageStepAdd:
            *code = SB_PAGEDOWN;
            return true;
        case QAbstractSlider::SliderPageStepSub:
            *code = SB_PAGEUP;
            return true;
        case QAbstractSlider::SliderToMinimum:
            *code = SB_TOP;
            return true;
        case QAbstractSlider::SliderToMaximum:
            *code = SB_BOTTOM;
            return true;
        case QAbstractSlider::SliderMove:
            *code = SB_THUMBTRACK;
            return true;
        default:
            return false;
    }
}

ScrollState* StateOf(Window& w, int bar) {
    if (bar == SB_CTL) return w.kind == Kind::ScrollBar ? &w.scroll : nullptr;
    if (bar == SB_HORZ) return &w.hscroll;
    if (bar == SB_VERT) return &w.vscroll;
    return nullptr;
}

// Putting the thumb back must not count as a person's action.
bool restoring_thumb = false;

void PutThumb(QScrollBar* bar, int position) {
    restoring_thumb = true;
    bar->setSliderPosition(position);
    restoring_thumb = false;
}

// A person works the bar: tell the procedure, then put the thumb where the procedure left the
// position (the bars do not move by themselves).
void ConnectScrollBar(QScrollBar* bar, HWND owner_of_state, int which, HWND receiver,
                      LPARAM control_param) {
    const UINT message = bar->orientation() == Qt::Horizontal ? WM_HSCROLL : WM_VSCROLL;
    QObject::connect(bar, &QAbstractSlider::actionTriggered, bar, [=](int action) {
        UINT code;
        if (restoring_thumb || !ScrollCode(action, &code)) return;
        const int pos = bar->sliderPosition();
        SendMessage(receiver, message, MAKEWPARAM(static_cast<int>(code), pos), control_param);
        Window* w = Find(owner_of_state);
        ScrollState* s = w ? StateOf(*w, which) : nullptr;
        if (s && !bar->isSliderDown()) PutThumb(bar, s->pos);
    });
    QObject::connect(bar, &QAbstractSlider::sliderReleased, bar, [=]() {
        const int pos = bar->sliderPosition();
        SendMessage(receiver, message, MAKEWPARAM(static_cast<int>(SB_THUMBPOSITION), pos),
                    control_param);
        SendMessage(receiver, message, MAKEWPARAM(static_cast<int>(SB_ENDSCROLL), 0),
                    control_param);
        Window* w = Find(owner_of_state);
        ScrollState* s = w ? StateOf(*w, which) : nullptr;
        if (s) PutThumb(bar, s->pos);
    });
}

QScrollBar* MakeScrollBar(Qt::Orientation orientation, QWidget* parent, const ScrollState& s) {
    auto* bar = new QScrollBar(orientation, parent);
    bar->setRange(s.min, s.max);
    bar->setValue(s.pos);
    bar->setPageStep(1);
    bar->setSingleStep(1);
    bar->setTracking(true);
    return bar;
}

}  // namespace

void Notify(HWND control, UINT code) {
    Window* w = Find(control);
    if (!w || !w->parent) return;
    SendMessage(w->parent, WM_COMMAND, MAKEWPARAM(w->id, static_cast<int>(code)),
                HandleToParam(control));
}

QWidget* CreateControlWidget(Window& w, QWidget* parent) {
    const HWND hwnd = w.self;
    const QString text = ToQt(w.text);
    QWidget* widget = nullptr;
    switch (w.kind) {
        case Kind::PushButton: {
            auto* b = new QPushButton(text, parent);
            b->setAutoDefault(false);
            QObject::connect(b, &QPushButton::clicked, b, [hwnd] { Notify(hwnd, BN_CLICKED); });
            widget = b;
            break;
        }
        case Kind::CheckBox:
        case Kind::RadioButton: {
            QAbstractButton* b = nullptr;
            const bool automatic = (w.style & 0x0F) == BS_AUTOCHECKBOX;
            if (w.kind == Kind::RadioButton)
                b = new ManualRadioButton(text, parent);
            else if (automatic)
                b = new CheckBoxWidget(text, parent);
            else
                b = new ManualCheckBox(text, parent);
            b->setAutoExclusive(false);
            QObject::connect(b, &QAbstractButton::clicked, b, [hwnd, b] {
                if (Window* self = Find(hwnd)) self->check = b->isChecked() ? 1 : 0;
                Notify(hwnd, BN_CLICKED);
            });
            widget = b;
            break;
        }
        case Kind::GroupBox: {
            auto* g = new QGroupBox(text, parent);
            g->setAttribute(Qt::WA_TransparentForMouseEvents);
            widget = g;
            break;
        }
        case Kind::StaticText:
        case Kind::StaticCanvas: {
            auto* c = new CanvasWidget(hwnd, parent);
            c->SetMouseTransparent(true);
            c->setFocusPolicy(Qt::NoFocus);
            widget = c;
            break;
        }
        case Kind::OwnerDrawButton: {
            auto* b = new OwnerDrawWidget(hwnd, parent);
            auto set_pressed = [hwnd](bool down) {
                Window* self = Find(hwnd);
                if (!self) return;
                self->pressed = down;
                InvalidateRect(hwnd, nullptr, FALSE);
                UpdateWindow(hwnd);
            };
            QObject::connect(b, &QPushButton::pressed, b, [=] { set_pressed(true); });
            QObject::connect(b, &QPushButton::released, b, [=] { set_pressed(false); });
            QObject::connect(b, &QPushButton::clicked, b, [hwnd] { Notify(hwnd, BN_CLICKED); });
            widget = b;
            break;
        }
        case Kind::Edit: {
            auto* e = new EditWidget(hwnd, parent);
            e->setText(text);
            QObject::connect(e, &QLineEdit::textEdited, e, [hwnd] { Notify(hwnd, EN_CHANGE); });
            widget = e;
            break;
        }
        case Kind::ListBox: {
            auto* l = new QListWidget(parent);
            // A list box scrolls sideways only when it was made with a horizontal scroll bar;
            // otherwise a row too wide is cut at the right edge, and no bar covers the rows.
            l->setHorizontalScrollBarPolicy((w.style & WS_HSCROLL) ? Qt::ScrollBarAsNeeded
                                                                   : Qt::ScrollBarAlwaysOff);
            QObject::connect(l, &QListWidget::currentRowChanged, l, [hwnd](int row) {
                Window* self = Find(hwnd);
                if (!self) return;
                self->cur_sel = row;
                self->caret = row < 0 ? 0 : row;
                Notify(hwnd, LBN_SELCHANGE);
            });
            QObject::connect(l, &QListWidget::itemDoubleClicked, l,
                             [hwnd] { Notify(hwnd, LBN_DBLCLK); });
            widget = l;
            break;
        }
        case Kind::ComboBox: {
            auto* c = new QComboBox(parent);
            c->setEditable(false);
            QObject::connect(c, &QComboBox::activated, c, [hwnd](int index) {
                Window* self = Find(hwnd);
                if (!self) return;
                self->cur_sel = index;
                Notify(hwnd, CBN_SELCHANGE);
            });
            widget = c;
            break;
        }
        case Kind::ScrollBar: {
            const auto orientation = (w.style & SBS_VERT) ? Qt::Vertical : Qt::Horizontal;
            QScrollBar* bar = MakeScrollBar(orientation, parent, w.scroll);
            ConnectScrollBar(bar, hwnd, SB_CTL, w.parent, HandleToParam(hwnd));
            widget = bar;
            break;
        }
        case Kind::TabControl: {
            auto* t = new TabWidget(parent);
            QObject::connect(t->bar, &QTabBar::currentChanged, t, [hwnd](int index) {
                Window* self = Find(hwnd);
                if (!self) return;
                self->cur_sel = index;
                NMHDR header{hwnd, static_cast<UINT_PTR>(self->id), TCN_SELCHANGE};
                SendMessage(self->parent, WM_NOTIFY, static_cast<WPARAM>(self->id),
                            reinterpret_cast<LPARAM>(&header));
            });
            widget = t;
            break;
        }
        default:
            widget = new QWidget(parent);
            break;
    }
    BindWidget(widget, hwnd);
    if (w.kind != Kind::StaticText && w.kind != Kind::StaticCanvas && w.kind != Kind::GroupBox)
        widget->setFocusPolicy((w.style & WS_TABSTOP) || w.kind == Kind::Edit ? Qt::StrongFocus
                                                                              : Qt::ClickFocus);
    return widget;
}

bool IsLayerPainted(const Window& w) {
    return w.kind == Kind::StaticText || w.kind == Kind::OwnerDrawButton;
}

void PaintLayerControl(Window& w) {
    w.invalid = false;
    w.erase = false;
    if (!w.image) return;
    const HWND hwnd = w.self;
    const RECT whole{0, 0, w.image->width(), w.image->height()};
    if (w.kind == Kind::OwnerDrawButton) {
        const HDC hdc = internal::CreateSurfaceDC(hwnd, w.image.get(), whole);
        DRAWITEMSTRUCT dis{ODT_BUTTON,
                           static_cast<UINT>(w.id),
                           0,
                           ODA_DRAWENTIRE,
                           w.pressed ? ODS_SELECTED : 0u,
                           hwnd,
                           hdc,
                           whole,
                           0};
        SendMessage(w.parent, WM_DRAWITEM, static_cast<WPARAM>(w.id),
                    reinterpret_cast<LPARAM>(&dis));
        if (hdc) internal::DestroySurfaceDC(hdc);
        internal::ImageChanged(hwnd);
        return;
    }
    // A static: ask the parent for its background (a trial run on a scratch image tells the
    // brush), fill, draw the text, then let the parent draw over it.
    COLORREF bg = BackgroundColour(w);
    HBRUSH brush{};
    if (w.parent) {
        QImage scratch = w.image->copy();
        const HDC trial = internal::CreateSurfaceDC(hwnd, &scratch, whole);
        brush = HBRUSH::FromIndex(static_cast<std::uint32_t>(SendMessage(
            w.parent, WM_CTLCOLORSTATIC, static_cast<WPARAM>(trial.value), HandleToParam(hwnd))));
        if (trial) internal::DestroySurfaceDC(trial);
        COLORREF c;
        if (brush && internal::BrushColour(brush, &c)) bg = c;
    }
    Window* self = Find(hwnd);
    if (!self || !self->image) return;
    {
        QPainter painter(self->image.get());
        painter.fillRect(self->image->rect(), QColor(GetRValue(bg), GetGValue(bg), GetBValue(bg)));
        if (!self->text.empty() && self->widget) {
            painter.setFont(self->widget->font());
            painter.setPen(Qt::black);
            const int align = (self->style & 0x1F) == SS_CENTER ? Qt::AlignHCenter : Qt::AlignLeft;
            painter.drawText(self->image->rect(), align | Qt::AlignTop | Qt::TextWordWrap,
                             ToQt(self->text));
        }
    }
    if (brush) {
        const HDC hdc = internal::CreateSurfaceDC(hwnd, self->image.get(), whole);
        SendMessage(self->parent, WM_CTLCOLORSTATIC, static_cast<WPARAM>(hdc.value),
                    HandleToParam(hwnd));
        if (hdc) internal::DestroySurfaceDC(hdc);
    }
    internal::ImageChanged(hwnd);
}

void CreateWindowBars(Window& w) {
    if (!w.widget) return;
    const HWND hwnd = w.self;
    if (w.style & WS_HSCROLL) {
        QScrollBar* bar = MakeScrollBar(Qt::Horizontal, w.widget, w.hscroll);
        bar->setObjectName(QStringLiteral("qv_hbar"));
        ConnectScrollBar(bar, hwnd, SB_HORZ, hwnd, 0);
    }
    if (w.style & WS_VSCROLL) {
        QScrollBar* bar = MakeScrollBar(Qt::Vertical, w.widget, w.vscroll);
        bar->setObjectName(QStringLiteral("qv_vbar"));
        ConnectScrollBar(bar, hwnd, SB_VERT, hwnd, 0);
    }
}

QScrollBar* WindowBar(Window& w, int which) {
    if (!w.widget) return nullptr;
    return w.widget->findChild<QScrollBar*>(
        which == SB_HORZ ? QStringLiteral("qv_hbar") : QStringLiteral("qv_vbar"),
        Qt::FindDirectChildrenOnly);
}

void PlaceWindowBars(Window& w) {
    const int cw = ClientWidth(w);
    const int ch = ClientHeight(w);
    const int extent = GetSystemMetrics(SM_CXVSCROLL);
    if (QScrollBar* h = WindowBar(w, SB_HORZ))
        h->setGeometry(w.inner.left, w.inner.top + ch, cw, GetSystemMetrics(SM_CYHSCROLL));
    if (QScrollBar* v = WindowBar(w, SB_VERT))
        v->setGeometry(w.inner.left + cw, w.inner.top, extent, ch);
}

void WindowBarChanged(Window& w, int which) {
    QScrollBar* bar = nullptr;
    ScrollState* s = StateOf(w, which);
    if (!s) return;
    if (which == SB_CTL)
        bar = qobject_cast<QScrollBar*>(w.widget.data());
    else
        bar = WindowBar(w, which);
    if (!bar) return;
    const QSignalBlocker block(bar);
    bar->setRange(s->min, s->max);
    bar->setSliderPosition(s->pos);
    bar->setValue(s->pos);
}

ScrollState* ScrollStateOf(Window& w, int bar) { return StateOf(w, bar); }

}  // namespace platform::ui
