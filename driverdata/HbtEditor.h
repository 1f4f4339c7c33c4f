// The HBT editor: the modeless "TransferFunction" dialog with the transform's tails, Pin,
// efficiency, distance and commands, and the Editor_Child window that plots the current driver's
// SPL for editing by mouse and arrow keys together with the HBT result. Both work on the current
// DriverRecord in place. UI thread only.
#pragma once

#include <cstdint>

#include "platform/Types.h"

namespace driverdata {

inline constexpr const char* kTransferFunctionTemplate = "TRANSFERFUNCTION";
inline constexpr const char* kHbtEditorTitle = "HBT Editor Window";

platform::INT_PTR TransferFunctionDlgProc(platform::HWND dialog, platform::UINT message,
                                          platform::WPARAM wParam, platform::LPARAM lParam);
platform::LRESULT EditorChildWndProc(platform::HWND window, platform::UINT message,
                                     platform::WPARAM wParam, platform::LPARAM lParam);

// An arrow key on the plot of `window`: left / right move the cursor bin (wrapping), up / down
// raise / lower its level by one pixel (kept to 35 .. 124.75 dB). Returns the cursor bin.
int HbtEditorKeyCursor(platform::HWND window, platform::WPARAM key);
// A mouse message on the plot of `window`: the left button sets the bin under the mouse to the
// level under it (dragging sets each bin it passes over); the right button draws a straight line
// from where it went down to where it comes up, previewed while it moves.
void HbtEditorMouse(platform::HWND window, platform::UINT message, platform::LPARAM lParam);

// The HBT response as a calibration curve: level and phase of every point into the microphone
// (mike true) or preamplifier calibration, its copy in the driver record and the two MLS view
// curves (entries 25 / 26, or 27 / 28). 0 done; 1 after kCalibrationOutOfRange when a level
// lies outside the driver level bounds (nothing changed).
int UseHbtAsCalibration(bool mike);
inline constexpr const char* kCalibrationOutOfRange =
    "HBT Level Out Of Range: Calibration NOT Changed";

// Editor state, process-wide; kept between openings.
extern std::int32_t HbtPlotWidth;  // client size of Editor_Child
extern std::int32_t HbtPlotHeight;
extern std::int32_t ShowReferencePhase;   // 0/1, initially 1
extern std::int32_t HbtDistancePosition;  // 0..10000
extern std::int32_t HbtCursorBin;         // 0..1999
extern float HbtCursorX;                  // cursor pixel, initially 60
extern std::int32_t HbtLeftDrag;
extern std::int32_t HbtRightDrag;
extern std::int32_t HbtLineStartBin;
extern std::int32_t HbtLineStopBin;
extern float HbtLineStartY;
extern float HbtLineStopY;

// Start values of the editor state (start-up and tests).
void ResetHbtEditor();

}  // namespace driverdata
