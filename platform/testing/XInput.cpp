#include "platform/testing/XInput.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <thread>

namespace platform::testing {
namespace {

Display* D(void* p) { return static_cast<Display*>(p); }

// A short pause between strokes: Qt compresses and reorders nothing, but a person's strokes are
// never closer than this and some widgets act on the timing of presses.
void Pause(int ms = 8) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

XInput::~XInput() {
    if (display_) XCloseDisplay(D(display_));
}

bool XInput::Open(const std::string& display) {
    if (display_) XCloseDisplay(D(display_));
    display_ = XOpenDisplay(display.c_str());
    if (!display_) return false;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(D(display_), &event, &error, &major, &minor)) {
        XCloseDisplay(D(display_));
        display_ = nullptr;
        return false;
    }
    XTestGrabControl(D(display_), True);
    return true;
}

void XInput::Sync() { XSync(D(display_), False); }

void XInput::MoveTo(int x, int y) {
    XTestFakeMotionEvent(D(display_), -1, x, y, CurrentTime);
    Sync();
    Pause();
}

void XInput::Click(int x, int y, int button) {
    MoveTo(x, y);
    XTestFakeButtonEvent(D(display_), static_cast<unsigned>(button), True, CurrentTime);
    Sync();
    Pause(20);
    XTestFakeButtonEvent(D(display_), static_cast<unsigned>(button), False, CurrentTime);
    Sync();
    Pause(20);
}

void XInput::Drag(int from_x, int from_y, int to_x, int to_y) {
    MoveTo(from_x, from_y);
    XTestFakeButtonEvent(D(display_), 1, True, CurrentTime);
    Sync();
    Pause(50);
    // In steps, as a hand moves: a window manager starts a move only after the pointer has left
    // a small dead zone with the button held.
    constexpr int kSteps = 10;
    for (int i = 1; i <= kSteps; ++i) {
        MoveTo(from_x + (to_x - from_x) * i / kSteps, from_y + (to_y - from_y) * i / kSteps);
        Pause(20);
    }
    XTestFakeButtonEvent(D(display_), 1, False, CurrentTime);
    Sync();
    Pause(50);
}

void XInput::DoubleClick(int x, int y) {
    MoveTo(x, y);
    for (int i = 0; i < 2; ++i) {
        XTestFakeButtonEvent(D(display_), 1, True, CurrentTime);
        Sync();
        Pause(10);
        XTestFakeButtonEvent(D(display_), 1, False, CurrentTime);
        Sync();
        Pause(10);
    }
}

void XInput::KeyCode(unsigned code, bool press) {
    XTestFakeKeyEvent(D(display_), code, press ? True : False, CurrentTime);
    Sync();
    Pause();
}

void XInput::Key(const std::string& keysym, unsigned modifiers) {
    const KeySym sym = XStringToKeysym(keysym.c_str());
    const unsigned code = sym == NoSymbol ? 0 : XKeysymToKeycode(D(display_), sym);
    if (code == 0) return;
    std::vector<unsigned> held;
    if (modifiers & kControl) held.push_back(XKeysymToKeycode(D(display_), XK_Control_L));
    if (modifiers & kShift) held.push_back(XKeysymToKeycode(D(display_), XK_Shift_L));
    if (modifiers & kAlt) held.push_back(XKeysymToKeycode(D(display_), XK_Alt_L));
    for (unsigned m : held) KeyCode(m, true);
    KeyCode(code, true);
    KeyCode(code, false);
    for (auto it = held.rbegin(); it != held.rend(); ++it) KeyCode(*it, false);
}

void XInput::Type(const std::string& text) {
    const unsigned shift = XKeysymToKeycode(D(display_), XK_Shift_L);
    for (const char c : text) {
        // Printable Latin-1 characters are their own keysyms.
        const KeySym sym = static_cast<KeySym>(static_cast<unsigned char>(c));
        const unsigned code = XKeysymToKeycode(D(display_), sym);
        if (code == 0) continue;
        const bool shifted =
            XkbKeycodeToKeysym(D(display_), static_cast<::KeyCode>(code), 0, 0) != sym;
        if (shifted) KeyCode(shift, true);
        KeyCode(code, true);
        KeyCode(code, false);
        if (shifted) KeyCode(shift, false);
    }
}

void XInput::SendDeleteWindow(unsigned long window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(D(display_), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] =
        static_cast<long>(XInternAtom(D(display_), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(D(display_), window, False, NoEventMask, &event);
    Sync();
}

namespace {

// Walks up to the child of the root: the window itself, or the frame a manager made around it.
Window RootChild(Display* d, Window window) {
    Window current = window;
    for (;;) {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(d, current, &root, &parent, &children, &count)) return 0;
        if (children) XFree(children);
        if (parent == root || parent == 0) return current;
        current = parent;
    }
}

}  // namespace

std::vector<unsigned long> RootChildrenBottomToTop() {
    std::vector<unsigned long> out;
    Display* d = XOpenDisplay(nullptr);
    if (!d) return out;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i) out.push_back(children[i]);
        if (children) XFree(children);
    }
    XCloseDisplay(d);
    return out;
}

unsigned long RootChildHolding(unsigned long window) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return 0;
    const Window child = RootChild(d, window);
    XCloseDisplay(d);
    return child;
}

bool XInput::FramedExtent(unsigned long window, int out[4]) {
    Display* d = D(display_);
    const Window current = RootChild(d, window);
    if (!current) return false;
    XWindowAttributes a{};
    if (!XGetWindowAttributes(d, current, &a)) return false;
    out[0] = a.x;
    out[1] = a.y;
    out[2] = a.width + 2 * a.border_width;
    out[3] = a.height + 2 * a.border_width;
    return true;
}

}  // namespace platform::testing
