// Whether a control's text shows whole: the room the text needs, in the font and the way the
// control draws it, against the room the control gives it.
#pragma once

#include <string>
#include <vector>

#include "platform/Types.h"

namespace platform::testing {

struct TextRoom {
    int id = 0;
    std::string kind;  // "button", "check box", "radio button", "group box", "static"
    std::string text;
    int needed_width = 0;  // pixels the text needs across (for a static: its widest line)
    int width = 0;         // pixels the control gives the text (after a box indicator, frames)
    int needed_height = 0;
    int height = 0;
};

// One entry per push button, check box, radio button, group box and static text with a text
// among the children of `dialog`, in creation order. Push buttons and boxes draw one line; a static
// breaks its text at spaces, so it needs the height of all its lines.
std::vector<TextRoom> DialogTextRooms(HWND dialog);

}  // namespace platform::testing
