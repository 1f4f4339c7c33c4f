// The System-Wide Preferences window (class "Preferences_Child"): audio settings, MLS signs and
// delay, the remote control's trim outputs and the graph colour scheme on one page. Every control
// writes its setting at once; there is no OK or Cancel. UI thread only.
#pragma once

#include "platform/Types.h"

namespace frame {

// Control ids of the page besides the colour controls (ColourEditing.h).
inline constexpr int kInvertMlsDataBox = 10023;
inline constexpr int kInvertMlsRefBox = 10024;
inline constexpr int kInputs2Box = 10001;
inline constexpr int kInputs8Box = 10002;
inline constexpr int kInputs12Box = 10003;
inline constexpr int kOutputs8Box = 10025;
inline constexpr int kOutputs16Box = 10027;
inline constexpr int kOutputsSpdifBox = 10029;
inline constexpr int kMlsDelayEdit = 10028;
inline constexpr int kInsertOutput1Edit = 10054;
inline constexpr int kInsertOutput2Edit = 10055;
inline constexpr int kArrowOutput1Edit = 10152;
inline constexpr int kArrowOutput2Edit = 10154;
inline constexpr int kArrowOutput3Edit = 10153;
inline constexpr int kArrowOutput4Edit = 10155;
inline constexpr int kSampleRateList = 10120;
inline constexpr int kBufferSizeList = 10052;
inline constexpr int kBuffersOutList = 10051;
inline constexpr int kBuffersInList = 10053;
inline constexpr int kWaveInDeviceList = 10060;
inline constexpr int kWaveOutDeviceList = 10070;

inline constexpr const char* kPreferencesTitle = "System-Wide Preferences";
// The device-count labels above the device lists, with the number of devices of each direction
// (the input label's "ot" is the program's own wording).
inline constexpr const char* kPreferredInputLabel = "Preferred Input [out ot %d]";
inline constexpr const char* kPreferredOutputLabel = "Preferred Output [out of %d]";

// The window procedure of class "Preferences_Child". It creates its controls on WM_CREATE, so
// the window is complete whoever opens it.
platform::LRESULT PreferencesChildWndProc(platform::HWND window, platform::UINT message,
                                          platform::WPARAM wParam, platform::LPARAM lParam);

// Creates and fills the child controls of `window` (does nothing when they exist); returns 0.
int CreatePreferencesControls(platform::HWND window);

// Draws the page and brings every control up to date; returns 0.
int PaintPreferences(platform::HWND window, platform::HDC dc);

// One WM_COMMAND or WM_HSCROLL of the window's controls; returns 0.
int OnPreferencesCommand(platform::HWND window, platform::HDC dc, platform::UINT message,
                         platform::WPARAM wParam, platform::LPARAM lParam);

// Rewrites WaveInDeviceTexts / WaveOutDeviceTexts for the devices present (at most 64 per
// direction, every text cut to its 128-byte slot) and the matching rows of the window's device
// lists (when `window` is not 0). Returns the device counts the system reports (before the cut
// at 64), which the page shows.
struct DeviceListCounts {
    int inputs;
    int outputs;
};
DeviceListCounts RefreshDeviceLists(platform::HWND window);

}  // namespace frame
