// The room a control's text needs, measured with the control's own widget, font and style.

#include "platform/testing/TextRoom.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGroupBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <algorithm>

#include "platform/ui/WindowTable.h"

namespace platform::testing {
namespace {

using ui::Kind;
using ui::Window;

// Push buttons, check boxes and radio buttons: the text's width against the contents rectangle
// the style draws the label in (inside the frame, after the box indicator).
void ButtonRoom(const Window& w, QAbstractButton* button, QStyle::SubElement contents,
                TextRoom* room) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect r = button->style()->subElementRect(contents, &option, button);
    const QFontMetrics metrics(button->font());
    room->needed_width = metrics.horizontalAdvance(ui::ToQt(w.text));
    room->width = r.width();
    room->needed_height = metrics.height();
    room->height = r.height();
}

// A group box: the caption and the same inset on both of its sides within the box.
void GroupRoom(const Window& w, QGroupBox* box, TextRoom* room) {
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.textAlignment = box->alignment();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect label =
        box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    const QFontMetrics metrics(box->font());
    room->needed_width = metrics.horizontalAdvance(ui::ToQt(w.text)) + 2 * std::max(label.x(), 0);
    room->width = box->width();
    room->needed_height = metrics.height();
    room->height = box->height();
}

// A static draws its text from the top left, broken at spaces (Controls.cpp, PaintLayerControl):
// it needs its widest line across and one cell (ascent + descent) per line down, the lines a line
// spacing apart. (A layout rounds a line up to whole pixels; a cell is what the font gives a line.)
void StaticRoom(const Window& w, QWidget* widget, TextRoom* room) {
    const QFontMetrics metrics(widget->font());
    const QRect area(0, 0, std::max(widget->width(), 1), 1 << 20);
    const QRect used = metrics.boundingRect(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                                            ui::ToQt(w.text));
    const int spacing = std::max(metrics.lineSpacing(), 1);
    const int lines = std::max(1, (used.height() + spacing / 2) / spacing);
    room->needed_width = used.width();
    room->width = widget->width();
    room->needed_height = (lines - 1) * spacing + metrics.ascent() + metrics.descent();
    room->height = widget->height();
}

}  // namespace

std::vector<TextRoom> DialogTextRooms(HWND dialog) {
    std::vector<TextRoom> rooms;
    for (HWND child : ui::Children(dialog)) {
        const Window* w = ui::Find(child);
        if (!w || !w->widget || w->text.empty()) continue;
        TextRoom room;
        room.id = w->id;
        room.text = w->text;
        QWidget* widget = w->widget;
        auto* button = qobject_cast<QAbstractButton*>(widget);
        auto* box = qobject_cast<QGroupBox*>(widget);
        if (w->kind == Kind::PushButton && button) {
            room.kind = "button";
            ButtonRoom(*w, button, QStyle::SE_PushButtonContents, &room);
        } else if (w->kind == Kind::CheckBox && button) {
            room.kind = "check box";
            ButtonRoom(*w, button, QStyle::SE_CheckBoxContents, &room);
        } else if (w->kind == Kind::RadioButton && button) {
            room.kind = "radio button";
            ButtonRoom(*w, button, QStyle::SE_RadioButtonContents, &room);
        } else if (w->kind == Kind::GroupBox && box) {
            room.kind = "group box";
            GroupRoom(*w, box, &room);
        } else if (w->kind == Kind::StaticText) {
            room.kind = "static";
            StaticRoom(*w, widget, &room);
        } else {
            continue;
        }
        rooms.push_back(room);
    }
    return rooms;
}

}  // namespace platform::testing
