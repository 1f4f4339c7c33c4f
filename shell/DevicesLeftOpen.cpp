#include "shell/DevicesLeftOpen.h"

#include "platform/audio/Wave.h"
#include "platform/ui/MessageBox.h"
#include "shell/Globals.h"

namespace shell {

namespace {

using platform::MMRESULT;

// The variables below get their start values from SetStartValues, before main runs and again on
// every reset. The player holds at most one device of each direction, and opens none while one
// is kept here, so one of each is all there can be.
platform::HWAVEIN g_input;
platform::HWAVEOUT g_output;

void SetStartValues() {
    g_input = 0;
    g_output = 0;
}

[[maybe_unused]] const bool kStartValuesReady = (SetStartValues(), true);

// A handle the layer no longer knows (the device is gone) counts as closed.
bool Closed(MMRESULT close) {
    return close == platform::MMSYSERR_NOERROR || close == platform::MMSYSERR_INVALHANDLE;
}

// Reset (every queued header comes back), then close.
bool ResetAndClose(platform::HWAVEIN d) {
    platform::waveInReset(d);
    return Closed(platform::waveInClose(d));
}
bool ResetAndClose(platform::HWAVEOUT d) {
    platform::waveOutReset(d);
    return Closed(platform::waveOutClose(d));
}

// Closes the kept device, if any (twice when the close is refused); true when none is left.
template <class Handle>
bool CloseKept(Handle& kept) {
    if (kept && (ResetAndClose(kept) || ResetAndClose(kept))) kept = 0;
    return !kept;
}

}  // namespace

void KeepDeviceLeftOpen(platform::HWAVEIN device) {
    if (device) g_input = device;
}
void KeepDeviceLeftOpen(platform::HWAVEOUT device) {
    if (device) g_output = device;
}

int CloseDevicesLeftOpen() {
    const bool input_closed = CloseKept(g_input);
    if (CloseKept(g_output) && input_closed) return 0;
    platform::MessageBox(FrameWindow, kDeviceLeftOpenText, "QV Message",
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
    return 1;
}

void ForgetDevicesLeftOpen() { SetStartValues(); }

}  // namespace shell
