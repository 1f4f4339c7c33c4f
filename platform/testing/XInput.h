// A person's hands on a real X server: pointer moves, button clicks and key strokes sent through
// the XTEST extension, so that they reach the program exactly as a person's input would (through
// the server, the window manager and Qt's own event handling). One object per thread; it opens
// its own connection to the display.
#pragma once

#include <string>
#include <vector>

namespace platform::testing {

class XInput {
  public:
    enum Modifier : unsigned { kShift = 1, kControl = 2, kAlt = 4 };

    XInput() = default;
    XInput(const XInput&) = delete;
    XInput& operator=(const XInput&) = delete;
    ~XInput();

    // Connects to `display` (":N"); false when it cannot or the server has no XTEST.
    bool Open(const std::string& display);

    // Screen coordinates. Button 1 left, 3 right.
    void MoveTo(int x, int y);
    void Click(int x, int y, int button = 1);
    void DoubleClick(int x, int y);
    // Presses the left button at one point, moves with it held and lets it go at the other.
    void Drag(int from_x, int from_y, int to_x, int to_y);
    // A key by its X keysym name ("Return", "Escape", "Tab", "Home", "a", "F4"), with modifiers
    // held around it.
    void Key(const std::string& keysym, unsigned modifiers = 0);
    // Types printable ASCII text character by character (Shift where the keyboard needs it).
    void Type(const std::string& text);

    // Asks the window to close as a window manager's close box does: a WM_PROTOCOLS client
    // message with WM_DELETE_WINDOW sent to the X window.
    void SendDeleteWindow(unsigned long window);

    // The X window's outer extent on screen, including the frame a window manager put around it
    // (x, y, width, height); false when the window is unknown.
    bool FramedExtent(unsigned long window, int out[4]);

  private:
    void KeyCode(unsigned code, bool press);
    void Sync();
    void* display_ = nullptr;
};

// The windows directly under the root window of DISPLAY, bottom to top, and the one of them that
// holds `window` (itself, or the frame a window manager made around it). Own connection each.
std::vector<unsigned long> RootChildrenBottomToTop();
unsigned long RootChildHolding(unsigned long window);

}  // namespace platform::testing
