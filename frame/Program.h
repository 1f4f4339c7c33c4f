// The program entry: start-up (window classes, the frame with its fonts, pens and brushes, the
// program directory, the shared records, the preferences, the default network and the start
// windows), the message loop, closing and the release of everything. UI thread only.
#pragma once

#include "platform/Types.h"

namespace frame {

// Start-up codes of StartProgram.
enum StartCode : int {
    kStarted = 0,
    kStartNoFrame = 1,      // the frame window could not be created
    kStartPathTooLong = 2,  // a path derived from the program directory would not fit
    kStartOutOfMemory = 3,  // a start-up block could not be allocated
};

// Start-up steps 1-15. On any code but kStarted a message has been shown (when the frame exists)
// and everything made so far has been released; the program must end.
int StartProgram(platform::HINSTANCE instance, platform::HINSTANCE previous, int show_command);

// Step 16: the message loop, each message offered first to the player dialog. Returns the code
// that WM_QUIT carries.
int RunMessageLoop();

// The program's WinMain: StartProgram, then the loop. A refused start-up returns 1.
int ProgramWinMain(platform::HINSTANCE instance, platform::HINSTANCE previous,
                   const char* command_line, int show_command);

// The frame's window procedure.
platform::LRESULT FrameWndProc(platform::HWND hwnd, platform::UINT message, platform::WPARAM wParam,
                               platform::LPARAM lParam);

// The closing steps (frame WM_CLOSE and the Exit command): refused while AudioBusy is 1; writes
// the preferences, asks, and on Yes releases everything.
void CloseProgram();

// Frees the start-up blocks, the menu, the icon, the fonts, pens and brushes, then posts the
// quit message. Runs at most once per start; returns whether it ran now.
bool ReleaseProgramResources();
// How many times the release has run since the last StartProgram (0 or 1).
int ProgramReleaseCount();

// What the frame keeps between openings of its windows back at start values: the colour being
// edited in the settings windows and the profiles dialog's browse slots (tests; the program
// starts from them).
void ResetFrame();

// Empties all pane stores, builds the stereo N-way template twice and saves it into the
// Front-Left (pane 1) and Front-Right (pane 3) stores. The caller writes the port numbers.
void InstallStereoNetwork(int ways);

// The three start-up allocators; tests replace them to make an allocation fail.
struct StartupAllocators {
    int (*AllocMain)();
    int (*AllocCurve)();
    int (*AllocDsp)();
};
StartupAllocators& ProgramAllocators();

}  // namespace frame
