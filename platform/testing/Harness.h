// What tests need to drive the system as a person would, headless.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace platform::testing {

// Creates the application on Qt's offscreen platform (unless a platform was chosen), with the
// "C" numeric locale, the virtual clock at 0 and scripted answers for dialogs. Call once, first
// thing in main().
void StartHeadless(int& argc, char** argv);

// Puts the layer back as a fresh start would leave it: destroys every window and menu, forgets
// classes, timers, hooks, posted messages and the quit request, empties the message-box, dialog
// and file-dialog scripts and logs, and sets the virtual clock to 0. Registered templates stay.
void ResetLayer();

// Runs the message loop until nothing is left to do (no posted message, due timer or invalid
// window), as the program's loop would: each message is first offered to IsDialogMessage of the
// innermost modal dialog, or of `dialog` when given. Returns the number of messages handled.
int PumpUntilIdle(HWND dialog = HWND{});
// The code of a WM_QUIT met by PumpUntilIdle since the last reset, or -1.
int QuitCode();

// Moves the virtual clock forward by `ms`, stopping at every timer that falls due on the way
// (in order) and pumping until idle there, so a chain of timers runs as it would in real time.
void AdvanceTime(std::int64_t ms);
std::int64_t Now();

// Where Qt actually shows the window's client area, in its parent's client coordinates (the
// screen for top-level windows), read from the widgets rather than the layer's records; FALSE
// for a stale handle. Tests compare it with what the messages reported.
bool ShownClientRect(HWND hwnd, RECT* out);

// Saves what a window shows (its backing image, or the composed client area) as a PNG file.
bool SaveWindowImage(HWND hwnd, const std::string& path);

}  // namespace platform::testing
