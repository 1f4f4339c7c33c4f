// What the tests on a real X server need beside the input itself: the application started on the
// display named by DISPLAY (the xcb platform, as a person runs the program), a way for a driver
// thread to run code on the UI thread while the program's own loops run there, and what the
// screen shows: where windows and controls are, whether they take input, which modal window is up.
//
// Except for StartOnScreen, RunOnUiThread and WaitOnUi, every function reads Qt's widgets and the
// layer's records and must run on the UI thread (inside RunOnUiThread).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace platform::testing {

// Creates the application on the xcb platform with the "C" numeric locale, real time and real
// dialogs (no scripted answers). The caller then runs the program's entry on this thread.
void StartOnScreen(int& argc, char** argv);

// Runs `fn` on the UI thread inside whichever loop runs there (the program's, a dialog's or a
// message box's) and waits for it. False when the UI thread did not get to it within the time;
// `fn` is then never run.
bool RunOnUiThread(const std::function<void()>& fn, int timeout_ms = 20000);

// Evaluates `condition` on the UI thread every few milliseconds until it holds; false on timeout.
bool WaitOnUi(const std::function<bool()>& condition, int timeout_ms = 10000);

// Screen rectangles. The client area of a window or control; the whole window as a person sees
// it (for top-level windows with the frame a window manager drew around it, for MDI children
// their Qt frame); the screen's work area.
bool ScreenClientRect(HWND hwnd, RECT* out);
bool ScreenWindowRect(HWND hwnd, RECT* out);
RECT WorkArea();

// Whether the window takes input as Qt sees it (the widget and everything above it enabled).
bool TakesInput(HWND hwnd);
// Whether the frame's menu bar takes input.
bool MenuBarTakesInput(HWND frame);
// The screen rectangle of the menu bar's title `index` (0 = first), or of the item with command
// `id` in the open popup menu.
bool MenuTitleRect(HWND frame, int index, RECT* out);
bool OpenMenuItemRect(UINT id, RECT* out);
bool AnyMenuOpen();

// The layer's window under the screen point (the innermost one Qt shows there), or 0.
HWND WindowAt(int x, int y);
// The title of the top-level window Qt shows at the screen point ("" for none).
std::string WindowTitleAt(int x, int y);

// The X window of the top-level window that holds `hwnd`.
unsigned long NativeWindowOf(HWND hwnd);
// Whether the top-level window that holds `hwnd` is on the screen: mapped by the X server (and
// framed by a window manager) and exposed, so that a click there reaches it.
bool ShownOnScreen(HWND hwnd);
// Whether the X server has given the keyboard to the top-level window that holds `hwnd` (Qt has
// seen its focus arrive), so that a key typed now reaches it. The layer's own focus moves at once;
// the server's follows a moment later, later still through a window manager.
bool HoldsKeyboard(HWND hwnd);

// The modal window Qt shows (message box, file chooser), if any.
struct QtModal {
    std::string kind;   // "message box", "file dialog" or "other"
    std::string title;  // window title
    std::string text;   // a message box's text
    unsigned long window = 0;
    RECT frame{};         // its client area on screen
    bool active = false;  // it has the keyboard focus
};
bool ActiveQtModal(QtModal* out);
// A button of the Qt modal window by its text (mnemonics ignored), on screen.
bool QtModalButtonRect(const std::string& text, RECT* out);
// The file chooser's name field: where it is, what it holds, whether all of it is selected (typing
// replaces it), and whether it takes the keys typed now: the chooser is the active window (the X
// server has given it the keyboard) and the field holds its focus.
struct NameField {
    RECT rect{};
    std::string text;
    bool all_selected = false;
    bool has_keyboard = false;
};
bool FileNameField(NameField* out);
// How often the Qt modal window shown last (message box, file chooser) has let the keyboard go
// while open, after it first took it (its window deactivated): keys typed then reach no window.
int ModalKeyboardLosses();
// An enabled edit of the Qt modal window by its object name ("filename" in the print dialog).
bool QtModalEdit(const std::string& name, RECT* out, std::string* text);
// Whether the open file chooser lists a file of this name in its folder.
bool FileChooserLists(const std::string& name);
// The text of the Qt widget that has the keyboard focus when it is an edit ("" otherwise).
std::string FocusedEditText();

// Whether the program has done everything it was given: the loop its UI thread runs (the
// program's own, or a modal dialog's) waits for input, with no message posted, no window waiting
// to be painted, no box or chooser up and, outside a modal dialog, no window procedure running.
bool ProgramAtRest();

// The innermost modal dialog of the layer running now (0 when none) and its template's name.
HWND InnermostModalDialog();
std::string TemplateOf(HWND dialog);

// Ends what is still open when a test gives up: the Qt modal window (as its close box would), or
// the innermost modal dialog of the layer (with IDCANCEL). False when nothing was open.
bool EndOneModal();

// Puts the layer back as a fresh start would leave it (as ResetLayer does), on the real clock.
void ResetLayerOnScreen();

// Saves what the screen shows as a PNG: the root window, with every top-level window of this
// program painted in again from its own contents, in stacking order.
bool SaveScreenImage(const std::string& path);

// What the X server shows of the window's client area (the pixels Qt has put on screen, not the
// window's backing image), every `stride`-th pixel each way, row by row; empty when the window
// is not shown.
std::vector<COLORREF> ShownClientPixels(HWND hwnd, int stride);
// What the X server shows in a rectangle of the screen, whatever window lies there (or none),
// row by row; empty when the rectangle is empty or cannot be read.
std::vector<COLORREF> ShownScreenPixels(const RECT& area);

}  // namespace platform::testing
