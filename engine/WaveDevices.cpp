#include "engine/WaveDevices.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/Globals.h"
#include "platform/ui/MessageBox.h"
#include "shell/DevicesLeftOpen.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"

namespace engine {

using namespace platform;

HWAVEIN WaveInHandle;
HWAVEOUT WaveOutHandle;
WAVEHDR InputHeaders[kMaxWaveHeaders];
WAVEHDR OutputHeaders[kMaxWaveHeaders];
std::int32_t InputBufferCount = kStartBufferCount;
std::int32_t OutputBufferCount = kStartBufferCount;
HMMIO WavFile;
std::uint32_t WavFormatBytes = 0;
std::uint32_t WavDataSize = 0;
std::uint32_t WavDataLeft = 0;

namespace {

char* g_input_data = nullptr;                   // kMaxWaveHeaders x kInputSlotBytes
char* g_output_data = nullptr;                  // kMaxWaveHeaders x kOutputSlotBytes
unsigned char g_wav_format[kMaxFmtChunkBytes];  // the 'fmt ' chunk copy

void ShowDeviceError(MMRESULT code, bool input, const char* caption) {
    char text[128] = {};
    if (input)
        waveInGetErrorText(code, text, sizeof text);
    else
        waveOutGetErrorText(code, text, sizeof text);
    text[127] = 0;
    MessageBox(shell::FrameWindow, text, caption, MB_OK | MB_ICONEXCLAMATION);
}

void ShowWavMessage(const char* text) { MessageBox(shell::FrameWindow, text, "QV MEssage", MB_OK); }

int CountOf(std::int32_t count) {
    return count < 2 ? 2 : count > kMaxWaveHeaders ? kMaxWaveHeaders : count;
}

std::uint16_t Word16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t Word32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The extensible format tag with the PCM sub-format and 16 valid bits is 16-bit PCM as well.
bool ExtensiblePcm16(const unsigned char* chunk, std::uint32_t bytes) {
    // The PCM sub-format identifier as WAV files store it (00000001-0000-0010-8000-00AA00389B71).
    static constexpr unsigned char kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                        0x10, 0x00, 0x80, 0x00, 0x00, 0xAA,
                                                        0x00, 0x38, 0x9B, 0x71};
    if (Word16(chunk) != WAVE_FORMAT_EXTENSIBLE || bytes < 40 || Word16(chunk + 16) < 22) {
        return false;
    }
    const std::uint16_t valid_bits = Word16(chunk + 18);
    return (valid_bits == 16 || valid_bits == 0) &&
           std::memcmp(chunk + 24, kPcmSubFormat, sizeof kPcmSubFormat) == 0;
}

// The wave calls of one direction, so that the closing steps are written once for both.
template <class Handle>
struct WaveSide {
    Handle& handle;
    WAVEHDR (&headers)[kMaxWaveHeaders];
    bool input;
    MMRESULT (*reset)(Handle);
    MMRESULT (*unprepare)(Handle, WAVEHDR*, UINT);
    MMRESULT (*close)(Handle);
};

WaveSide<HWAVEIN> InputSide() {
    return {WaveInHandle, InputHeaders, true, &waveInReset, &waveInUnprepareHeader, &waveInClose};
}
WaveSide<HWAVEOUT> OutputSide() {
    return {WaveOutHandle, OutputHeaders,           false,
            &waveOutReset, &waveOutUnprepareHeader, &waveOutClose};
}

// Reset (every queued header comes back), unprepare what was prepared, close; true when closed.
template <class Handle>
bool ResetUnprepareClose(const WaveSide<Handle>& side) {
    side.reset(side.handle);
    for (WAVEHDR& h : side.headers)
        if (h.dwFlags & WHDR_PREPARED) side.unprepare(side.handle, &h, sizeof h);
    return shell::DeviceClosed(side.close(side.handle));
}

// A device that would not close is handed over to the devices left open, which whoever needs a
// sound device next closes first; the player's handle is free again either way.
template <class Handle>
void LetGo(const WaveSide<Handle>& side, bool closed) {
    if (!closed) shell::KeepDeviceLeftOpen(side.handle);
    side.handle = 0;
}

// Undoes a side that is partly set up: reset, unprepare what was prepared, close.
template <class Handle>
void Unwind(const WaveSide<Handle>& side) {
    if (!side.handle) return;
    LetGo(side, ResetUnprepareClose(side));
}

void UnwindInput() { Unwind(InputSide()); }
void UnwindOutput() { Unwind(OutputSide()); }

// The closing steps after any stop: reset, unprepare each prepared header, close. The first
// failure of a side shows the device's error text under its step's caption (reset, unprepare,
// close); what a failed step leaves behind (a reset that left headers queued makes the unprepare
// and the close fail too) is not reported again. A refused close resets, unprepares and closes
// once more; a device that still will not close is left open for the next opener to close.
// Returns 1 when any step failed, else 0; the handle is cleared either way.
template <class Handle>
int CloseSide(const WaveSide<Handle>& side, const char* const (&captions)[3], MMRESULT stop,
              const char* stop_caption) {
    bool failed = false;
    const auto step = [&](MMRESULT code, const char* caption) {
        if (code == MMSYSERR_NOERROR) return;
        if (!failed) ShowDeviceError(code, side.input, caption);
        failed = true;
    };
    step(stop, stop_caption);
    step(side.reset(side.handle), captions[0]);
    for (WAVEHDR& h : side.headers)
        if (h.dwFlags & WHDR_PREPARED) step(side.unprepare(side.handle, &h, sizeof h), captions[1]);
    const MMRESULT close = side.close(side.handle);
    step(close, captions[2]);
    LetGo(side, shell::DeviceClosed(close) || ResetUnprepareClose(side));
    return failed ? 1 : 0;
}

}  // namespace

int AllocWaveBuffers() {
    // On 64-byte lines, as every array a block passes through.
    if (!g_input_data) {
        g_input_data =
            static_cast<char*>(std::aligned_alloc(64, kMaxWaveHeaders * kInputSlotBytes));
        if (g_input_data) std::memset(g_input_data, 0, kMaxWaveHeaders * kInputSlotBytes);
    }
    if (!g_output_data) {
        g_output_data =
            static_cast<char*>(std::aligned_alloc(64, kMaxWaveHeaders * kOutputSlotBytes));
        if (g_output_data) std::memset(g_output_data, 0, kMaxWaveHeaders * kOutputSlotBytes);
    }
    return g_input_data && g_output_data ? 0 : 1;
}

int ConfiguredSampleRate() {
    const int index = shell::Project.Settings.SampleRateIndex;
    if (index < 0 || index >= shell::kSampleRateCount) return 0;
    std::int32_t rate = 0;
    if (!shell::ParseIntegerText(shell::SampleRateNames[index], &rate)) return 0;
    return rate;
}

int ConfiguredBlockFrames() {
    if (!shell::Preferences) return shell::BlockFrames;
    return shell::BlockFramesOf(shell::Preferences->BufferSizeIndex);
}

void TakeBufferSettings() {
    if (!shell::Preferences) return;
    const int out_index = shell::Preferences->BuffersOutQueueIndex;
    const int in_index = shell::Preferences->BuffersInQueueIndex;
    if (out_index >= 0 && out_index <= 8) OutputBufferCount = out_index + 2;
    if (in_index >= 0 && in_index <= 8) InputBufferCount = in_index + 2;
    shell::SetBlockFrames(shell::Preferences->BufferSizeIndex);
}

void TakePlaySettings() {
    PlayOpenedWith = PlaySettings{shell::InputLayout, shell::OutputLayout, ConfiguredSampleRate()};
    TakeBufferSettings();
}

int InputDeviceChannels() {
    if (PlayOpenedWith.input_layout == 1) return 8;
    if (PlayOpenedWith.input_layout == 2) return 12;
    return 2;
}

bool PlaysWavClock() { return PlayOpenedWith.input_layout == 0 && WavModeOfRun == 1; }

std::uint32_t InputBufferBytes() {
    const std::uint32_t f = static_cast<std::uint32_t>(shell::BlockFrames);
    if (PlaysWavClock()) return 4 * f;
    return static_cast<std::uint32_t>(InputDeviceChannels()) * 4 * f;
}

std::uint32_t OutputBufferBytes() {
    const std::uint32_t f = static_cast<std::uint32_t>(shell::BlockFrames);
    const int layout = PlayOpenedWith.output_layout;
    const int channels = layout == 1 ? 16 : layout == 2 ? 10 : 8;
    return static_cast<std::uint32_t>(channels) * 4 * f;
}

void FillDeviceFormat(WAVEFORMATEXTENSIBLE& format, int channels, DWORD mask) {
    std::memset(&format, 0, sizeof format);
    const DWORD rate = static_cast<DWORD>(PlayOpenedWith.sample_rate);
    format.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    format.Format.nChannels = static_cast<WORD>(channels);
    format.Format.nSamplesPerSec = rate;
    format.Format.nBlockAlign = static_cast<WORD>(channels * 4);
    format.Format.nAvgBytesPerSec = rate * format.Format.nBlockAlign;
    format.Format.wBitsPerSample = 32;
    format.Format.cbSize = 22;
    format.Samples.wValidBitsPerSample = 24;
    format.dwChannelMask = mask;
    format.SubFormat = KSDATAFORMAT_SUBTYPE_PCM;
}

int CheckWaveFile() {
    if (!WavFile) return 1;
    // A WAV file plays at the project's rate, and WAV files are taken at 44100..48000 Hz only: at
    // any other project rate no file can play, whatever it holds.
    const int project_rate = PlayOpenedWith.sample_rate;
    if (project_rate < 44100 || project_rate > 48000) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "The project's sampling rate is %d Hz, but WAV files play only when the "
                      "project runs at 44100 to 48000 Hz.",
                      project_rate);
        ShowWavMessage(text);
        ReleaseWaveFile();
        return 1;
    }
    mmioSeek(WavFile, 0, SEEK_SET_ORIGIN);
    // A WAV file starts with its RIFF chunk of form 'WAVE': any other start is refused at once,
    // without looking further into the file.
    MMCKINFO riff{};
    if (mmioDescend(WavFile, &riff, nullptr, 0) != 0 || riff.ckid != FOURCC_RIFF ||
        riff.fccType != mmioFOURCC('W', 'A', 'V', 'E')) {
        ShowWavMessage("Not a WAV-audio file");
        ReleaseWaveFile();
        return 1;
    }
    MMCKINFO fmt{};
    fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(WavFile, &fmt, &riff, MMIO_FINDCHUNK) != 0) {
        ShowWavMessage("Unable to locate 'fmt' chunk");
        ReleaseWaveFile();
        return 1;
    }
    // The chunk must hold at least the PCM fields and stay within a sane size.
    if (fmt.cksize < 16 || fmt.cksize > kMaxFmtChunkBytes) {
        ShowWavMessage("Error reading 'fmt' chunk");
        ReleaseWaveFile();
        return 1;
    }
    std::memset(g_wav_format, 0, sizeof g_wav_format);
    WavFormatBytes = fmt.cksize;
    if (mmioRead(WavFile, reinterpret_cast<char*>(g_wav_format), static_cast<LONG>(fmt.cksize)) !=
        static_cast<LONG>(fmt.cksize)) {
        ShowWavMessage("Error reading 'fmt' chunk");
        ReleaseWaveFile();
        return 1;
    }
    char text[256];
    const std::uint16_t tag = Word16(g_wav_format);
    const std::uint16_t channels = Word16(g_wav_format + 2);
    const std::uint32_t rate = Word32(g_wav_format + 4);
    const std::uint16_t bits = Word16(g_wav_format + 14);
    const char* refusal = nullptr;
    if (rate != static_cast<std::uint32_t>(project_rate)) {
        // Played at the project's rate, the file would sound too fast or too slow. The project's
        // rate lies within 44100..48000 here, so a file at that rate lies there too.
        std::snprintf(text, sizeof text,
                      "The WAV file is sampled at %u Hz, but the project's sampling rate is %d "
                      "Hz.\nPlease choose a WAV file sampled at %d Hz.",
                      static_cast<unsigned>(rate), project_rate, project_rate);
        refusal = text;
    } else if (channels != 2) {
        std::snprintf(text, sizeof text, "Channels = %d", channels);
        refusal = text;
    } else if (bits != 16) {
        std::snprintf(text, sizeof text, "Bits Per Channel = %d", bits);
        refusal = text;
    } else if (tag != WAVE_FORMAT_PCM && !ExtensiblePcm16(g_wav_format, fmt.cksize)) {
        std::snprintf(text, sizeof text, "Format Tag = %d", tag);
        refusal = text;
    }
    if (refusal) {
        ShowWavMessage(refusal);
        ReleaseWaveFile();
        return 1;
    }
    mmioAscend(WavFile, &fmt, 0);
    MMCKINFO data{};
    data.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(WavFile, &data, &riff, MMIO_FINDCHUNK) != 0) {
        ShowWavMessage("Unable to locate 'data' chunk");
        ReleaseWaveFile();
        return 1;
    }
    // A data chunk without one whole stereo frame has nothing to play: say so, open nothing.
    if (data.cksize < 4) {
        ShowWavMessage(kEmptyDataText);
        ReleaseWaveFile();
        return 1;
    }
    WavDataSize = data.cksize;
    WavDataLeft = data.cksize;
    return 0;
}

int ReadWaveData(char* buffer, int bytes) {
    if (!WavFile || bytes <= 0) return -1;
    const std::uint32_t want = static_cast<std::uint32_t>(bytes) < WavDataLeft
                                   ? static_cast<std::uint32_t>(bytes)
                                   : WavDataLeft;
    if (want == 0) return 0;
    const LONG got = mmioRead(WavFile, buffer, static_cast<LONG>(want));
    if (got < 0) return -1;
    WavDataLeft -= static_cast<std::uint32_t>(got);
    if (got == 0) WavDataLeft = 0;  // the file ends before its declared data
    return got;
}

void ReleaseWaveFile() {
    WavFormatBytes = 0;
    if (WavFile) {
        mmioClose(WavFile, 0);
        WavFile = 0;
    }
    WavDataSize = 0;
    WavDataLeft = 0;
}

int OpenWaveInput(HWND dialog) {
    if (AllocWaveBuffers() != 0) return 1;
    const int count = CountOf(InputBufferCount);
    MMRESULT result;
    if (PlaysWavClock()) {
        if (CheckWaveFile() != 0) return 1;
        WAVEFORMATEX clock{};
        clock.wFormatTag = WAVE_FORMAT_PCM;
        clock.nChannels = 2;
        clock.nSamplesPerSec = static_cast<DWORD>(PlayOpenedWith.sample_rate);
        clock.wBitsPerSample = 16;
        clock.nBlockAlign = 4;
        clock.nAvgBytesPerSec = 4 * clock.nSamplesPerSec;
        clock.cbSize = 0;
        result = waveInOpen(&WaveInHandle, static_cast<UINT>(shell::PlayerDeviceWords[0]), &clock,
                            dialog, 0, CALLBACK_WINDOW);
    } else {
        WAVEFORMATEXTENSIBLE format;
        FillDeviceFormat(format, InputDeviceChannels(),
                         PlayOpenedWith.input_layout == 0 ? 0x3u : 0xFFFFFFFFu);
        result = waveInOpen(&WaveInHandle, static_cast<UINT>(shell::PlayerDeviceWords[0]),
                            &format.Format, dialog, 0, CALLBACK_WINDOW);
    }
    if (result != MMSYSERR_NOERROR) {
        WaveInHandle = 0;
        ShowDeviceError(result, true, "QV MEssage");
        return 1;
    }
    const std::uint32_t bytes = InputBufferBytes();
    for (WAVEHDR& h : InputHeaders) std::memset(&h, 0, sizeof h);
    for (int i = 0; i < count; ++i) {
        WAVEHDR& h = InputHeaders[i];
        h.lpData = g_input_data + static_cast<std::size_t>(i) * kInputSlotBytes;
        h.dwBufferLength = bytes;
        result = waveInPrepareHeader(WaveInHandle, &h, sizeof h);
        if (result == MMSYSERR_NOERROR) result = waveInAddBuffer(WaveInHandle, &h, sizeof h);
        if (result != MMSYSERR_NOERROR) {
            ShowDeviceError(result, true, "QV MEssage");
            UnwindInput();
            return 1;
        }
    }
    return 0;
}

int OpenWaveOutput(HWND dialog) {
    if (AllocWaveBuffers() != 0) return 1;
    const int count = CountOf(OutputBufferCount);
    const int layout = PlayOpenedWith.output_layout;
    const int channels = layout == 1 ? 16 : layout == 2 ? 10 : 8;
    const DWORD mask = layout == 1 ? 0xFFFFu : layout == 2 ? 0xFFFFFFFFu : 0x63Fu;
    WAVEFORMATEXTENSIBLE format;
    FillDeviceFormat(format, channels, mask);
    MMRESULT result = waveOutOpen(&WaveOutHandle, static_cast<UINT>(shell::PlayerDeviceWords[8]),
                                  &format.Format, dialog, 0, CALLBACK_WINDOW);
    if (result != MMSYSERR_NOERROR) {
        WaveOutHandle = 0;
        ShowDeviceError(result, false, "QV Message");
        return 1;
    }
    const std::uint32_t bytes = OutputBufferBytes();
    for (WAVEHDR& h : OutputHeaders) std::memset(&h, 0, sizeof h);
    for (int i = 0; i < count; ++i) {
        WAVEHDR& h = OutputHeaders[i];
        h.lpData = g_output_data + static_cast<std::size_t>(i) * kOutputSlotBytes;
        h.dwBufferLength = bytes;
        // The first write plays silence, never the end of a previous run.
        std::memset(h.lpData, 0, bytes);
        result = waveOutPrepareHeader(WaveOutHandle, &h, sizeof h);
        if (result != MMSYSERR_NOERROR) {
            ShowDeviceError(result, false, "QV Message");
            UnwindOutput();
            return 1;
        }
    }
    return 0;
}

int StartWaveInput() {
    const MMRESULT result = waveInStart(WaveInHandle);
    if (result != MMSYSERR_NOERROR) {
        ShowDeviceError(result, true, "QV MEssage");
        return 1;
    }
    return 0;
}

int WriteAllOutputBuffers(int* written) {
    const int count = CountOf(OutputBufferCount);
    int queued = 0;
    MMRESULT first_failure = MMSYSERR_NOERROR;
    for (int i = 0; i < count; ++i) {
        WAVEHDR& h = OutputHeaders[i];
        h.dwFlags = WHDR_PREPARED;
        const MMRESULT result = waveOutWrite(WaveOutHandle, &h, sizeof h);
        if (result == MMSYSERR_NOERROR)
            written[queued++] = i;
        else if (first_failure == MMSYSERR_NOERROR)
            first_failure = result;
    }
    if (first_failure != MMSYSERR_NOERROR) ShowDeviceError(first_failure, false, "QV MEssage");
    return queued;
}

int CloseWaveInput() {
    if (!WaveInHandle) return 0;
    static constexpr const char* kCaptions[3] = {"QV MEssage 2", "QV MEssage 3", "QV MEssage 4"};
    return CloseSide(InputSide(), kCaptions, waveInStop(WaveInHandle), "QV MEssage 1");
}

int CloseWaveOutput() {
    if (!WaveOutHandle) return 0;
    static constexpr const char* kCaptions[3] = {"QV MEssage 5", "QV MEssage 6", "QV MEssage 7"};
    return CloseSide(OutputSide(), kCaptions, MMSYSERR_NOERROR, "");
}

}  // namespace engine
