#include "shell/DevicesLeftOpen.h"

#include "platform/audio/Wave.h"
#include "platform/ui/MessageBox.h"
#include "shell/Globals.h"

namespace shell {

namespace {

using platform::MMRESULT;

// The variables below get their start values from SetStartValues, before main runs and again on
// every reset.
platform::HWAVEIN g_inputs[kMaxDevicesLeftOpen];
platform::HWAVEOUT g_outputs[kMaxDevicesLeftOpen];

void SetStartValues() {
    for (auto& d : g_inputs) d = 0;
    for (auto& d : g_outputs) d = 0;
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

template <class Handle>
void Keep(Handle (&kept)[kMaxDevicesLeftOpen], Handle device) {
    if (!device) return;
    for (Handle& slot : kept) {
        if (slot == device) return;
        if (!slot) {
            slot = device;
            return;
        }
    }
}

// Closes what it can; returns the devices still open.
template <class Handle>
int CloseKept(Handle (&kept)[kMaxDevicesLeftOpen]) {
    int open = 0;
    for (Handle& slot : kept) {
        if (!slot) continue;
        if (ResetAndClose(slot) || ResetAndClose(slot))
            slot = 0;
        else
            ++open;
    }
    return open;
}

template <class Handle>
int Count(const Handle (&kept)[kMaxDevicesLeftOpen]) {
    int count = 0;
    for (const Handle& slot : kept) count += slot ? 1 : 0;
    return count;
}

}  // namespace

void KeepDeviceLeftOpen(platform::HWAVEIN device) { Keep(g_inputs, device); }
void KeepDeviceLeftOpen(platform::HWAVEOUT device) { Keep(g_outputs, device); }

int DevicesLeftOpen() { return Count(g_inputs) + Count(g_outputs); }

int CloseDevicesLeftOpen() {
    if (DevicesLeftOpen() == 0) return 0;
    const int open = CloseKept(g_inputs) + CloseKept(g_outputs);
    if (open == 0) return 0;
    platform::MessageBox(FrameWindow, kDeviceLeftOpenText, "QV Message",
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
    return 1;
}

void ForgetDevicesLeftOpen() { SetStartValues(); }

}  // namespace shell
