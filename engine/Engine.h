// Entry points of the real-time engine for the "System Design + Player" dialog procedure
// (SystemDesignPlayerDlgProc). The dialog procedure calls these from its message switch; all of
// them run on the UI thread.
//
//   WM_COMMAND 5000 (Play button, Home key, auto-load)   -> PlayCommand(dialog)
//   WM_COMMAND 5010 (STOP button, End key, profile keys) -> StopCommand(dialog)
//   WM_COMMAND 4811 (Test Tones button)                  -> TestTonesCommand(dialog)
//   WM_TIMER with wParam 10110..10114                    -> PlayerTimer(dialog, wParam)
//   MM_WIM_DATA                                          -> OnWaveInData(dialog, wParam, lParam)
//   MM_WOM_DONE                                          -> OnWaveOutDone(dialog, wParam, lParam)
//   WM_CLOSE / WM_DESTROY of the dialog (before it goes) -> ClosePlayer(dialog)
//   WM_INITDIALOG                                        -> InitPlayer(dialog) and
//                                                           InstallPlayerKeyHook(dialog)
//                                                           (engine/KeyHook.h)
//   WM_DESTROY                                           -> RemovePlayerKeyHook()
//   dialog title after init / project load               -> ShowBbmTitle(dialog) (KeyHook.h)
//   WM_PAINT (after its own painting)                    -> ClearMeters(dialog)
//   volume scroll bar / keys                             -> SetVolumePosition(dialog, position)
//
// The pane commands 20001 and 20002 that the start chain sends are the dialog's own
// (SendMessage WM_COMMAND to the dialog).
#pragma once

#include <cstdint>

#include "platform/Types.h"

namespace engine {

enum class PlayState { Stopped, Starting, Playing };
PlayState CurrentPlayState();

// Dialog initialisation of the engine's part: performance-counter scale, peaks, buffer counts and
// F from the preferences, MasterGain from the volume, trims 1.0, hotkey output numbers.
void InitPlayer(platform::HWND dialog);

// Play: ignored while starting or playing (and while AudioBusy is set by a measurement); checks
// the rate, opens the WAV file in WAV mode, starts the 10110 chain.
void PlayCommand(platform::HWND dialog);
// STOP: during the start chain kills the timers and releases the WAV file; while playing stops
// the workers (quit, wake, join), closes both devices, releases the WAV file, resets the volume;
// while stopped closes the devices an earlier run left open (shell/DevicesLeftOpen.h).
void StopCommand(platform::HWND dialog);
// The start chain (10110, 10111, 10112), the capture watchdog (10113) and the display of the
// read-outs and meters (10114, every kDisplayPeriodMs while playing). true when `id` is one of
// them.
bool PlayerTimer(platform::HWND dialog, platform::UINT_PTR id);
void OnWaveInData(platform::HWND dialog, platform::WPARAM wParam, platform::LPARAM lParam);
void OnWaveOutDone(platform::HWND dialog, platform::WPARAM wParam, platform::LPARAM lParam);
// Closing the dialog: STOP first (also during the start chain).
void ClosePlayer(platform::HWND dialog);
// Test Tones button: refused while starting or playing; closes the devices an earlier run left
// open, then runs the modal dialog with ModalDialogOpen set. Returns the dialog's result (0 when
// refused).
platform::INT_PTR TestTonesCommand(platform::HWND dialog);
// Volume: clamps to 0..66, stores VolumeSliderPosition, moves scroll bar 5020, recomputes
// MasterGain, empties control 30 (which repaints the gain read-out).
void SetVolumePosition(platform::HWND dialog, int position);
// Both meters wiped (the paint handler's and STOP's request).
void ClearMeters(platform::HWND dialog);

// Read-outs of the running play (tests and the dialog).
struct PlayerCounters {
    std::int64_t blocks;             // blocks processed since Play (BlockCounter)
    std::int64_t underruns;          // output buffers that found less than a block in the ring,
                                     // and the output device's own underruns
    std::int64_t ring_overflows;     // times the ring was emptied because it held more than 160F
    std::int64_t input_drops;        // captured buffers that came back short or could not re-queue,
                                     // and the input device's own overruns
    std::int32_t ring_fill;          // OutputRingFill, words
    std::int64_t late_blocks;        // blocks whose processing took longer than a block period
    double worst_block_ms;           // longest processing of one block (wall clock)
    std::int64_t card_output_xruns;  // of those, the output device's (WaveOutXrunCount)
    std::int64_t card_input_xruns;   // of those, the input device's (WaveInXrunCount)
};
PlayerCounters CurrentPlayerCounters();
// The peak magnitudes of the last block, as its meters show them: 8 inputs, 16 outputs.
void LastBlockPeaks(float* inputs, float* outputs);

// Where a play takes its filters from: the builder run by timer 10112 (the solver's
// BuildFirKernels), then the spectra (output o, partition p at [o * 8 + p]) and the routing
// matrix. Tests put their own in; null entries mean the solver's and the shell's.
struct FilterSource {
    int (*build)();
    const float* const* spectra;
    const std::int32_t (*routing)[16];
};
void SetFilterSource(const FilterSource& source);

// Back to a fresh start (ResetGlobals): any run is ended (workers joined, devices closed, file
// released), the filter source is the solver's again and the counters are 0.
void ResetPlayer();

// Capture watchdog: playback stops with a message when no captured block arrived for this long.
inline constexpr int kCaptureStallMs = 1000;

}  // namespace engine
