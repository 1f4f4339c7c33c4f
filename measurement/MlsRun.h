// One stereo MLS measurement on the sound card: the run owns both wave devices from the start of
// the playback until both are closed again, whichever way it ends (the capture arrives, a wave
// call fails, or the owner window stops it), and it alone sets and clears AudioBusy for it.
//
// Refused while AudioBusy is set (silently), while a device left open by the player or a run still
// will not close (shell/DevicesLeftOpen.h, with its message), or while any other sound device is
// open (with the device's "already in use" text).
// Use (UI thread only):
//   1. StartMlsRun(window, owner): generates the sequence of MlsOrder at MlsOutputLevel into
//      MlsPlaybackBuffer, opens output MlsOutputDevice and input MlsInputDevice (both 0) with
//      `window` as their callback window, queues the capture buffer, starts recording and
//      playback, and sets AudioBusy = 1.
//   2. The window passes every MM_WIM_DATA and MM_WOM_DONE it receives to OnMlsRunMessage. When
//      the capture comes back, the run copies it into MlsCaptureCopy (a short capture is
//      zero-filled up to kMlsCaptureBytes and reported), stops and closes both devices, clears
//      AudioBusy and answers kMlsRunCaptured: the window then processes MlsCaptureCopy.
//   3. StopMlsRun() (e.g. from the window's WM_DESTROY) resets and closes whatever is open and
//      clears AudioBusy when it ran; it does nothing when no run is active.
// A failing wave call is reported in a message box ("QV Message", the device family's error text,
// owned by `owner`); the run then closes everything it opened and clears AudioBusy.
// A device whose close fails is reset and closed once more; if it still will not close, it goes
// to the devices left open (shell/DevicesLeftOpen.h), which whoever needs a sound device next
// closes first, and the run holds nothing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/Types.h"

namespace measurement {

// Results of StartMlsRun.
inline constexpr int kMlsRunStarted = 0;
inline constexpr int kMlsRunFailed = 1;   // a wave call or the sequence failed (reported)
inline constexpr int kMlsRunRefused = 2;  // AudioBusy was set, or a run is active

// Answers of OnMlsRunMessage.
inline constexpr int kMlsRunNotMine = 0;   // not a message of the active run
inline constexpr int kMlsRunHandled = 1;   // taken; nothing for the window to do
inline constexpr int kMlsRunCaptured = 2;  // MlsCaptureCopy holds the new capture; all closed
inline constexpr int kMlsRunAborted = 3;   // a wave call failed (reported); all closed

int StartMlsRun(platform::HWND window, platform::HWND owner);
int OnMlsRunMessage(platform::UINT message, platform::WPARAM wparam, platform::LPARAM lparam);
void StopMlsRun();

// True from a successful StartMlsRun until the run ends.
bool MlsRunActive();
// The callback window of the active run (null when none).
platform::HWND MlsRunWindow();
// Bytes the last finished capture really recorded (kMlsCaptureBytes for a full one).
std::size_t MlsRunRecordedBytes();

// Reports a failing wave call: the family's error text (128 characters) in a "QV Message" box
// owned by `owner`, followed by `suffix` (e.g. " 7") when given.
void ReportWaveError(platform::HWND owner, bool input, unsigned result, const char* suffix);

}  // namespace measurement
