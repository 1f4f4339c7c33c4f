// Control of the audio backend and of the virtual sound card, for tests and for running the
// whole program without a sound card.
//
// The virtual card implements the wave devices of platform/audio/Wave.h in memory. Its inputs
// play scripted per-channel signals; its outputs are recorded; each input channel can hear one
// output channel through an impulse response after a latency in frames (loopback). Input and
// output run on separate clocks with a settable drift. The test moves the clocks step by step
// (VirtualCardStep), or a pacer thread moves them at the nominal rate in real time. Every call
// of the wave API can be made to fail on request.
//
// Samples inside the card are on the 24-bit scale: a 32-bit container word w holds w >> 8, a
// 16-bit sample s holds s x 256. What an input device records is quantised to 24 bits (16 bits
// for a 16-bit format) after the loopback sum.
//
// All functions are thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/audio/Wave.h"

namespace platform {

// ---- Backend choice -------------------------------------------------------------------------

enum class AudioBackend { Alsa, Virtual };

// The backend in use. At first use it is the virtual card when QV_VIRTUAL_AUDIO is 1 or
// "loopback" (the virtual card with the loudspeaker loopback below), else ALSA.
AudioBackend SelectedAudioBackend();
// Chooses the backend. Refused (false) while a device is open.
bool SelectAudioBackend(AudioBackend backend);

// Limits the ALSA device list to the given PCM names, probed as usual (tests use "null");
// count 0 lists the machine's hardware and plug devices again.
void SetAlsaDeviceNames(const char* const* names, int count);

// How a device was configured by its backend.
struct WaveStreamInfo {
    AudioBackend backend;
    char device_name[64];  // ALSA PCM name, or the virtual device's name
    int channels;
    DWORD rate;
    int container_bits;   // 16 or 32
    int valid_bits;       // 16 or 24
    DWORD period_frames;  // ALSA period (the virtual card reports 0)
    DWORD buffer_frames;  // ALSA ring size (the virtual card reports 0)
};
MMRESULT WaveInGetStreamInfo(HWAVEIN handle, WaveStreamInfo* info);
MMRESULT WaveOutGetStreamInfo(HWAVEOUT handle, WaveStreamInfo* info);

// Devices open on any backend, both directions.
int OpenWaveDeviceCount();

// For the test harness's layer reset: resets and closes every open device (their queued headers
// come back done and are posted as usual), stops the pacer, puts the virtual card back to its
// defaults, lists the machine's ALSA devices again and chooses the backend as at start.
void ResetAudioLayer();

// ---- The virtual card -----------------------------------------------------------------------

inline constexpr int kVirtualMaxChannels = 16;
inline constexpr int kVirtualMaxDevices = 8;

struct VirtualDeviceSpec {
    char name[32];  // at most 31 characters
    int channels;   // 1..16
};

// Back to the defaults: wave-in devices "QV Virtual In 1-12" (12 channels) and "QV Virtual In
// 1-2" (2), wave-out devices "QV Virtual Out 1-16" (16) and "QV Virtual Out 1-2" (2); silent
// inputs, no loopback, no recording, no drift, no injected failures, clocks at 0, pacer off,
// not following the layer clock; with QV_VIRTUAL_AUDIO=loopback the loudspeaker loopback below.
// Refused (false) while a device is open.
bool VirtualCardReset();

// Replaces the device lists (up to kVirtualMaxDevices each). Refused while a device is open.
bool VirtualCardSetDevices(const VirtualDeviceSpec* inputs, int input_count,
                           const VirtualDeviceSpec* outputs, int output_count);

// Input channel `channel` (0-based) plays `count` samples (24-bit scale) from the frame at which
// recording starts; then silence, or the signal again when `repeat`. count 0 silences it.
void VirtualCardSetInputSignal(int channel, const std::int32_t* samples, std::size_t count,
                               bool repeat);

inline constexpr int kVirtualMaxLoopbackTaps = 16384;

// Input channel `input_channel` hears output channel `output_channel` (both 0-based) through the
// impulse response `taps` (at most kVirtualMaxLoopbackTaps) after `latency_frames`: input frame n
// receives sum over k of taps[k] x output[n - latency - k], frames counted on the card's clocks.
bool VirtualCardSetLoopback(int input_channel, int output_channel, const double* taps,
                            int tap_count, int latency_frames);

// The loudspeaker loopback, for trying the measurements without a sound card: output 1 returns
// on input 1 unchanged after kSpeakerReferenceLatency frames (the reference an amplifier output
// gives), output 2 returns on input 2 through SpeakerLoopbackResponse after
// kSpeakerMicrophoneLatency frames (a loudspeaker heard by a microphone about 0.7 m away).
// Frames are counted at the rate in use: the figures hold at kSpeakerDesignRate and scale with
// the rate elsewhere.
inline constexpr int kSpeakerDesignRate = 48000;
inline constexpr int kSpeakerReferenceLatency = 48;    // 1 ms
inline constexpr int kSpeakerMicrophoneLatency = 144;  // 1 ms + 2 ms of flight
inline constexpr double kSpeakerLowCutHz = 60.0;       // closed-box roll-off, 12 dB/octave
inline constexpr double kSpeakerHighCutHz = 16000.0;   // gentle top-end roll-off, 6 dB/octave
inline constexpr double kSpeakerGain = 0.5;            // -6 dB in the pass band
inline constexpr int kSpeakerLoopbackTaps = 2048;
void VirtualCardSetSpeakerLoopback();
// The impulse response of the loudspeaker (kSpeakerLoopbackTaps taps).
std::vector<double> SpeakerLoopbackResponse();

// Records what the output devices play (from their first written buffer on), up to `max_frames`
// frames per channel, allocated now. 0 stops recording and frees the memory.
void VirtualCardRecordOutput(std::size_t max_frames);
std::size_t VirtualCardRecordedFrames();
// Recorded sample of output channel `channel` at `frame` (24-bit scale); 0 outside the record.
std::int32_t VirtualCardRecordedSample(int channel, std::size_t frame);

// Clock drift in parts per million (+ runs fast). Applies from the next step on.
void VirtualCardSetDrift(double input_ppm, double output_ppm);

// Moves both clocks forward by `frames` frames at `rate` (one of 11025, 12000, 22050, 24000,
// 44100, 48000, 96000, 192000) of nominal time; every open device moves its share of frames and
// posts what completes. Called by the test (the pacer must be off).
void VirtualCardStep(std::int64_t frames, DWORD rate);
// The same in milliseconds of nominal time.
void VirtualCardAdvanceMs(std::int64_t ms);

// Frames each clock has moved since the last reset (nominal rate of the open devices).
std::int64_t VirtualCardClockFrames(bool input, DWORD rate);

// While on, every move of the layer's virtual clock (platform/internal/Clock.h) moves the card's
// clocks by the same time, on the thread that moved it: a test that advances the layer's time
// by 500 ms gets the timers and the audio of those 500 ms, in that call.
void VirtualCardFollowLayerClock(bool on);

// A thread that moves the clocks at the nominal rate in real time. Outside the test harness the
// pacer runs by itself while a virtual device is open.
void VirtualCardStartPacer();
void VirtualCardStopPacer();

// Failure injection: the `skip`+1-th next call of `call` (on the virtual card) returns `result`
// and does nothing else; `times` consecutive calls fail from there.
enum class WaveCall {
    InOpen,
    InPrepare,
    InAdd,
    InStart,
    InStop,
    InReset,
    InUnprepare,
    InClose,
    InCaps,
    OutOpen,
    OutPrepare,
    OutWrite,
    OutReset,
    OutUnprepare,
    OutClose,
    OutCaps,
    Count
};
void VirtualCardFailCall(WaveCall call, MMRESULT result, int skip = 0, int times = 1);

}  // namespace platform
