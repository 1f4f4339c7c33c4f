// Sound devices the program could not close. When the reset and close of a wave device keep
// failing at STOP (or when a failed start is undone), or at the end of an MLS measurement, the
// player or the measurement hands the device over here instead of keeping it: it stays open, and
// whoever is about to need a sound device first tries again to close it (Play, STOP while
// stopped, Test Tones, Run MLS and the room equalizer's locations, Exit), so the program never
// refuses a device that it holds itself. UI thread only.
#pragma once

#include "platform/Types.h"
#include "platform/audio/Wave.h"

namespace shell {

// Shown (caption "QV Message", exclamation icon, owner the frame window) when a device still
// will not close.
inline constexpr const char* kDeviceLeftOpenText =
    "A sound device could not be closed and is still in use.\n"
    "Press STOP to try again.";

// True when a wave device's close succeeded or the layer no longer knows its handle (the device is
// gone): either way it is closed.
bool DeviceClosed(platform::MMRESULT close);

// Takes over a device whose close failed (ignored when null). One of each direction is kept:
// neither the player nor a measurement opens a device while one is kept.
void KeepDeviceLeftOpen(platform::HWAVEIN device);
void KeepDeviceLeftOpen(platform::HWAVEOUT device);

// Tries again to close every kept device: reset and close, and once more when the close is
// refused; a device the layer no longer knows counts as closed. Returns 0 when none is left;
// otherwise tells the user once (kDeviceLeftOpenText) and returns 1. Does nothing, and says
// nothing, when no device is kept.
int CloseDevicesLeftOpen();

// Forgets the kept devices without closing them (the program's reset, after the audio layer's).
void ForgetDevicesLeftOpen();

}  // namespace shell
