#include "shell/DevicesLeftOpen.h"

#include "platform/ui/MessageBox.h"
#include "shell/Globals.h"

namespace shell {

namespace {

// The variables below get their start values from SetStartValues, before main runs and again on
// every reset. The player and a measurement each hold at most one device of each direction, and
// neither opens one while one is kept here, so one of each is all there can be.
platform::HWAVEIN g_input;
platform::HWAVEOUT g_output;

void SetStartValues() {
    g_input = 0;
    g_output = 0;
}

[[maybe_unused]] const bool kStartValuesReady = (SetStartValues(), true);

// Reset (every queued header comes back), then close.
bool ResetAndClose(platform::HWAVEIN d) {
    platform::waveInReset(d);
    return DeviceClosed(platform::waveInClose(d));
}
bool ResetAndClose(platform::HWAVEOUT d) {
    platform::waveOutReset(d);
    return DeviceClosed(platform::waveOutClose(d));
}

// Closes the kept device, if any (twice when the close is refused); true when none is left.
template <class Handle>
bool CloseKept(Handle& kept) {
    if (kept && (ResetAndClose(kept) || ResetAndClose(kept))) kept = 0;
    return !kept;
}

}  // namespace

bool DeviceClosed(platform::MMRESULT close) {
    return close == platform::MMSYSERR_NOERROR || close == platform::MMSYSERR_INVALHANDLE;
}

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
