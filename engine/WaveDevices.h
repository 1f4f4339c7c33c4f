// The player's wave devices: the wave-in and wave-out wrappers (24 valid bits in 32-bit
// containers, window callback to the player dialog) and the WAV file that replaces live input.
// Every wrapper reports a failure with the device's own error text and returns 1; 0 is success.
// UI thread only.
#pragma once

#include <cstdint>

#include "platform/Types.h"
#include "platform/audio/Mmio.h"
#include "platform/audio/Wave.h"

namespace engine {

inline constexpr int kMaxWaveHeaders = 10;
inline constexpr std::uint32_t kInputSlotBytes = 512 * 1024;    // per input header
inline constexpr std::uint32_t kOutputSlotBytes = 1024 * 1024;  // per output header
inline constexpr std::uint32_t kMaxFmtChunkBytes = 65536;

extern platform::HWAVEIN WaveInHandle;
extern platform::HWAVEOUT WaveOutHandle;
extern platform::WAVEHDR InputHeaders[kMaxWaveHeaders];
extern platform::WAVEHDR OutputHeaders[kMaxWaveHeaders];
// Buffers queued per device, 2..10: from the preferences when the player opens and when a play
// opens its devices.
inline constexpr std::int32_t kStartBufferCount = 2;
extern std::int32_t InputBufferCount;   // 2..10
extern std::int32_t OutputBufferCount;  // 2..10

// WAV input: the open file (0 = none), the copy of its 'fmt ' chunk (held while
// WavFormatBytes > 0), the size of its 'data' chunk and the bytes of it not yet read.
extern platform::HMMIO WavFile;
extern std::uint32_t WavFormatBytes;
extern std::uint32_t WavDataSize;
extern std::uint32_t WavDataLeft;

// The configured sample rate (44100 .. 96000 after Play's checks; 0 for a bad index).
int ConfiguredSampleRate();
// F as the preferences ask for it now (BlockFrames without preferences): what a play opens with.
int ConfiguredBlockFrames();
// BlockFrames and both queue counts from the preferences as they are now (nothing without them).
void TakeBufferSettings();
// PlayOpenedWith (Globals.h) from the layouts and the rate as they are now, and the buffer
// settings: called once by a play, before it builds its filters and opens its devices.
// Everything below reads these.
void TakePlaySettings();

// Channels of the input side for the play's layouts and mode (2, 8, 12; 2 for the WAV clock).
int InputDeviceChannels();
// Whether the play's input is a WAV file, clocked by a two-channel input.
bool PlaysWavClock();
// Bytes of one input / output buffer for the play's layouts, mode and F.
std::uint32_t InputBufferBytes();
std::uint32_t OutputBufferBytes();

// Fills the extensible device format for `channels` and `mask` at the play's rate.
void FillDeviceFormat(platform::WAVEFORMATEXTENSIBLE& format, int channels, platform::DWORD mask);

int OpenWaveInput(platform::HWND dialog);
int OpenWaveOutput(platform::HWND dialog);
int StartWaveInput();
// Writes every output header once; `written` receives the indices of those the device took, in
// order (room for kMaxWaveHeaders). The first refusal shows the device's error text; the others
// are written still. Returns how many were written.
int WriteAllOutputBuffers(int* written);
// Stop and close each side. Every step is tried even when one before it failed; the first failure
// of a side is reported with its step's caption, what it leaves behind is not. Returns 1 when any
// step failed. A device whose close failed twice is handed over to the devices left open
// (shell/DevicesLeftOpen.h), which the next Play, STOP while stopped, Test Tones, measurement or
// Exit tries to close first; the handle is cleared either way. Harmless when closed.
int CloseWaveInput();
int CloseWaveOutput();

// The message for a WAV file whose 'data' chunk holds not one whole frame.
inline constexpr const char* kEmptyDataText = "The 'data' chunk of this WAV file is empty";

// WAV file: checks that the project runs at 44100 .. 48000 Hz (else one message says that WAV
// files play only there, whatever the file), that the file starts with a RIFF 'WAVE' form, then
// the 'fmt ' chunk (16 bytes .. 64 KiB; the project's sampling rate, else a message naming both
// rates; 2 channels; 16 bits; PCM, or the extensible tag with the PCM sub-format and 16 valid
// bits) and finds the 'data' chunk, which must hold at least one frame; on a refusal shows the
// message, releases the format copy and closes the file, and returns 1.
int CheckWaveFile();
// Reads up to `bytes` of sample data (never past the 'data' chunk); returns the bytes read, 0 at
// the end of the data, -1 on a read error.
int ReadWaveData(char* buffer, int bytes);
// Releases the format copy and closes the file, each only when held.
void ReleaseWaveFile();

// Buffer memory of the headers; allocated with the engine memory.
int AllocWaveBuffers();

}  // namespace engine
