// A person's hands in tests: mouse, keys and control input go through the same widgets, events
// and notifications as real input. Each call pumps until idle afterwards.
#pragma once

#include <cstddef>
#include <string>

#include "platform/Types.h"

namespace platform::testing {

enum class Button { Left, Right };

// Mouse at client point (x, y) of `hwnd`: the event goes to whatever widget lies there on screen
// (so controls transparent to the mouse pass it to their dialog).
void MouseDown(HWND hwnd, int x, int y, Button button = Button::Left);
void MouseUp(HWND hwnd, int x, int y, Button button = Button::Left);
void MouseMove(HWND hwnd, int x, int y, bool leftHeld = false);
void MouseClick(HWND hwnd, int x, int y, Button button = Button::Left);
void MouseDoubleClick(HWND hwnd, int x, int y, Button button = Button::Left);

// A key pressed and released while `hwnd` has the focus (virtual key VK_..., '0'..'9', 'A'..'Z'),
// with the modifiers held (kShift, kControl); the loop then offers the messages to `dialog` first
// when given (as the program's loop does with its modeless dialog).
enum KeyModifier : unsigned { kShift = 1, kControl = 2 };
void PressKey(HWND hwnd, WPARAM vk, HWND dialog = HWND{}, unsigned modifiers = 0);

// Controls by identifier.
void Click(HWND dialog, int id);  // buttons, check and radio boxes
void TypeText(HWND dialog, int id, const std::string& text, bool replace = true);  // edits
void Select(HWND dialog, int id, int index);     // list boxes, drop-down lists
void SelectTab(HWND dialog, int id, int index);  // tab controls
// Scroll-bar control `id` (or, with id -1, the window's own bar `bar`): SB_LINEUP .. SB_BOTTOM,
// or SB_THUMBTRACK to drag the thumb to `position` and let go (track, position, end).
void Scroll(HWND dialog, int id, UINT code, int position = 0, int bar = 0);
// The close box of a top-level window or MDI child.
void CloseBox(HWND hwnd);
// Whether the widgets that show `hwnd` (its client and its outer frame) take input, as a person
// sees them, whatever the layer's records say.
bool ShownEnabled(HWND hwnd);
// Types lower-case letters into the edit of a top-level window the layer did not make (as a file
// chooser or a message box is), owned by `owner`; returns what the edit then shows.
std::string TypeIntoForeignEdit(HWND owner, const std::string& letters);
// Chooses the item `id` in the menu bar of `frame`; FALSE when there is no such item.
bool ChooseMenuItem(HWND frame, UINT id);
// How many times a menu bar was built on screen since the layer was reset.
int MenuBarBuilds();
// How many times an MDI window list was built since the program started.
int WindowListBuilds();
// What a long session must not grow with each window it opens and closes: the menus behind the
// menu bar of `frame`, Qt's top-level widgets (menus are among them), the window table's slots
// (what a search through every window looks at) and the windows alive.
struct SessionCounts {
    int bar_menus = 0;
    int top_level_widgets = 0;
    std::size_t window_slots = 0;
    std::size_t live_windows = 0;
    bool operator==(const SessionCounts&) const = default;
};
SessionCounts CountSession(HWND frame);

}  // namespace platform::testing
