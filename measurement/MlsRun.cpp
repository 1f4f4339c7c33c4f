#include "measurement/MlsRun.h"

#include <cstdio>
#include <cstring>

#include "measurement/CaptureFile.h"
#include "measurement/Globals.h"
#include "measurement/MlsDeconvolution.h"
#include "measurement/MlsSequences.h"
#include "platform/audio/VirtualCard.h"
#include "platform/audio/Wave.h"
#include "platform/ui/MessageBox.h"
#include "shell/DevicesLeftOpen.h"
#include "shell/Globals.h"
#include "shell/StartupAllocation.h"

namespace measurement {

namespace {

using platform::DWORD;
using platform::MMRESULT;

// The played part of MlsPlaybackBuffer: 268,000 stereo frames of 32-bit words.
constexpr DWORD kPlaybackBytes = static_cast<DWORD>(kMlsPlayedWords) * 4;
// Both measurement devices are the first of their kind (no control chooses others).
constexpr platform::UINT kMlsDevice = 0;

struct Run {
    bool active = false;
    platform::HWND window{};
    platform::HWND owner{};
    platform::HWAVEOUT out{};
    platform::HWAVEIN in{};
    platform::WAVEHDR out_header{};
    platform::WAVEHDR in_header{};
    bool out_prepared = false;
    bool in_prepared = false;
    std::size_t recorded = kMlsCaptureBytes;
};

Run run;

// The first failing step of a close, for the one message it gets.
struct CloseFailure {
    MMRESULT result = 0;
    bool input = false;
    void Note(MMRESULT r, bool side_input) {
        if (r == 0 || result != 0) return;
        result = r;
        input = side_input;
    }
};

// Stop, reset, unprepare, close; a refused close is tried once more after another reset. The
// handle is dropped only when the device closed.
void CloseInput(CloseFailure& failure) {
    failure.Note(platform::waveInStop(run.in), true);
    for (int attempt = 0; attempt < 2 && run.in; ++attempt) {
        failure.Note(platform::waveInReset(run.in), true);
        if (run.in_prepared) {
            const MMRESULT r =
                platform::waveInUnprepareHeader(run.in, &run.in_header, sizeof(run.in_header));
            failure.Note(r, true);
            run.in_prepared = r != 0;
        }
        const MMRESULT r = platform::waveInClose(run.in);
        failure.Note(r, true);
        if (shell::DeviceClosed(r)) run.in = nullptr;
    }
}

void CloseOutput(CloseFailure& failure) {
    for (int attempt = 0; attempt < 2 && run.out; ++attempt) {
        failure.Note(platform::waveOutReset(run.out), false);
        if (run.out_prepared) {
            const MMRESULT r =
                platform::waveOutUnprepareHeader(run.out, &run.out_header, sizeof(run.out_header));
            failure.Note(r, false);
            run.out_prepared = r != 0;
        }
        const MMRESULT r = platform::waveOutClose(run.out);
        failure.Note(r, false);
        if (shell::DeviceClosed(r)) run.out = nullptr;
    }
}

// Closes whatever the run holds (each step is attempted even after a failure) and clears
// AudioBusy when the run had set it. With `report`, the first failure is shown, once. A device
// that would not close goes to the devices left open, which whoever needs a sound device next
// (Play, STOP, Test Tones, the next run, Exit) closes first; the run holds nothing afterwards.
void CloseAll(bool report) {
    CloseFailure failure;
    if (run.in) CloseInput(failure);
    if (run.out) CloseOutput(failure);
    if (report && failure.result != 0)
        ReportWaveError(run.owner, failure.input, failure.result, nullptr);
    shell::KeepDeviceLeftOpen(run.in);
    shell::KeepDeviceLeftOpen(run.out);
    run.in = nullptr;
    run.out = nullptr;
    run.in_prepared = false;
    run.out_prepared = false;
    if (run.active) shell::AudioBusy = 0;
    run.active = false;
    run.window = nullptr;
}

// Reports a failure of the start and closes what was opened; AudioBusy stays as it was (0).
int StartFailed(bool input, MMRESULT result, const char* suffix) {
    ReportWaveError(run.owner, input, result, suffix);
    CloseAll(false);
    return kMlsRunFailed;
}

}  // namespace

void ReportWaveError(platform::HWND owner, bool input, unsigned result, const char* suffix) {
    char text[160] = {};
    if (input)
        platform::waveInGetErrorText(result, text, 128);
    else
        platform::waveOutGetErrorText(result, text, 128);
    if (suffix != nullptr) std::strncat(text, suffix, sizeof(text) - std::strlen(text) - 1);
    platform::MessageBox(owner, text, "QV Message", platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

int StartMlsRun(platform::HWND window, platform::HWND owner) {
    if (run.active || shell::AudioBusy == 1) return kMlsRunRefused;
    // A device the player or an earlier run could not close is closed first; while it still will
    // not close, the user is told (once) and the measurement does not start. Anything else still
    // holding a sound device (another program's window) refuses it with the device's text.
    if (shell::CloseDevicesLeftOpen() != 0) return kMlsRunRefused;
    if (platform::OpenWaveDeviceCount() > 0) {
        ReportWaveError(owner, true, platform::MMSYSERR_ALLOCATED, nullptr);
        return kMlsRunRefused;
    }
    if (shell::MlsCaptureBuffer == nullptr || shell::MlsPlaybackBuffer == nullptr ||
        MlsCaptureCopy == nullptr)
        return kMlsRunFailed;
    run = Run{};
    run.owner = owner;
    if (GenerateMls32(MlsOrder, owner) != 0) return kMlsRunFailed;
    const int rate = MlsSampleRate();
    if (rate <= 0) return kMlsRunFailed;
    platform::WAVEFORMATEXTENSIBLE format;
    FillMlsWaveFormat(&format, static_cast<DWORD>(rate));
    const auto* wave = reinterpret_cast<const platform::WAVEFORMATEX*>(&format);

    MMRESULT r =
        platform::waveOutOpen(&run.out, kMlsDevice, wave, window, 0, platform::CALLBACK_WINDOW);
    if (r != 0) {
        run.out = nullptr;
        return StartFailed(false, r, nullptr);
    }
    r = platform::waveInOpen(&run.in, kMlsDevice, wave, window, 0, platform::CALLBACK_WINDOW);
    if (r != 0) {
        run.in = nullptr;
        return StartFailed(true, r, nullptr);
    }
    run.in_header.lpData = reinterpret_cast<char*>(shell::MlsCaptureBuffer);
    run.in_header.dwBufferLength = static_cast<DWORD>(kMlsCaptureBytes);
    run.in_header.dwLoops = 1;
    r = platform::waveInPrepareHeader(run.in, &run.in_header, sizeof(run.in_header));
    if (r != 0) return StartFailed(true, r, nullptr);
    run.in_prepared = true;
    r = platform::waveInAddBuffer(run.in, &run.in_header, sizeof(run.in_header));
    if (r != 0) return StartFailed(true, r, " 7");
    run.out_header.lpData = reinterpret_cast<char*>(shell::MlsPlaybackBuffer);
    run.out_header.dwBufferLength = kPlaybackBytes;
    run.out_header.dwLoops = 1;
    r = platform::waveOutPrepareHeader(run.out, &run.out_header, sizeof(run.out_header));
    if (r != 0) return StartFailed(false, r, nullptr);
    run.out_prepared = true;
    r = platform::waveInStart(run.in);
    if (r != 0) return StartFailed(true, r, nullptr);
    r = platform::waveOutWrite(run.out, &run.out_header, sizeof(run.out_header));
    if (r != 0) return StartFailed(false, r, nullptr);
    run.window = window;
    run.active = true;
    shell::AudioBusy = 1;
    return kMlsRunStarted;
}

int OnMlsRunMessage(platform::UINT message, platform::WPARAM wparam, platform::LPARAM lparam) {
    if (!run.active) return kMlsRunNotMine;
    if (message == platform::MM_WOM_DONE) {
        // The playback outlasts the capture, so the capture normally closed it already; an
        // early end of the playback (a device that stopped) leaves the capture running.
        if (!run.out || wparam != run.out.value ||
            lparam != reinterpret_cast<platform::LPARAM>(&run.out_header))
            return kMlsRunNotMine;
        return kMlsRunHandled;
    }
    if (message != platform::MM_WIM_DATA) return kMlsRunNotMine;
    if (!run.in || wparam != run.in.value ||
        lparam != reinterpret_cast<platform::LPARAM>(&run.in_header))
        return kMlsRunNotMine;
    std::size_t bytes = run.in_header.dwBytesRecorded;
    if (bytes > kMlsCaptureBytes) bytes = kMlsCaptureBytes;
    run.recorded = bytes;
    // A short capture must not be processed with the tail of the previous one.
    std::memset(MlsCaptureCopy, 0, kMlsCaptureBytes);
    TakeMlsCapture(run.in_header.lpData, bytes);
    const platform::HWND owner = run.owner;
    // Every step is checked; the first failure is reported, and everything is closed anyway.
    MMRESULT r = platform::waveInStop(run.in);
    if (r == 0) r = platform::waveInReset(run.in);
    if (r == 0) r = platform::waveInUnprepareHeader(run.in, &run.in_header, sizeof(run.in_header));
    if (r == 0) {
        run.in_prepared = false;
        r = platform::waveInClose(run.in);
        if (r == 0) run.in = nullptr;
    }
    if (r != 0) {
        ReportWaveError(owner, true, r, nullptr);
        CloseAll(false);
        return kMlsRunAborted;
    }
    // The rest of the playback carries nothing the capture needs.
    r = platform::waveOutReset(run.out);
    if (r == 0)
        r = platform::waveOutUnprepareHeader(run.out, &run.out_header, sizeof(run.out_header));
    if (r == 0) {
        run.out_prepared = false;
        r = platform::waveOutClose(run.out);
        if (r == 0) run.out = nullptr;
    }
    if (r != 0) {
        ReportWaveError(owner, false, r, nullptr);
        CloseAll(false);
        return kMlsRunAborted;
    }
    CloseAll(false);
    if (bytes < kMlsCaptureBytes) {
        char text[160];
        std::snprintf(text, sizeof(text),
                      "The capture is short: %zu of %zu bytes recorded; the rest is silence.",
                      bytes, kMlsCaptureBytes);
        platform::MessageBox(owner, text, "QV Message",
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
    }
    return kMlsRunCaptured;
}

void StopMlsRun() {
    if (run.active) CloseAll(true);
}

bool MlsRunActive() { return run.active; }

platform::HWND MlsRunWindow() { return run.window; }

std::size_t MlsRunRecordedBytes() { return run.recorded; }

}  // namespace measurement
