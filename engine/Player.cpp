// The Play road and the audio scheduler of the player dialog: Play and its start chain, the
// per-block work on MM_WIM_DATA (convert, hand to the workers or the test tone, queue in the
// output ring, meters and read-outs), the refill of played buffers on MM_WOM_DONE, and STOP.
// There is no audio thread of its own: all of this runs on the UI thread.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/Engine.h"
#include "engine/Globals.h"
#include "engine/Ids.h"
#include "engine/KeyHook.h"
#include "engine/Meters.h"
#include "engine/TestTones.h"
#include "engine/WaveDevices.h"
#include "engine/Workers.h"
#include "platform/audio/Mmio.h"
#include "platform/sys/Threads.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Timer.h"
#include "platform/ui/Window.h"
#include "shell/DevicesLeftOpen.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"
#include "solver/FirKernels.h"
#include "solver/Globals.h"

namespace engine {

using namespace platform;

namespace {

constexpr int kRingWords = 1048576;     // 4 MiB of int32
constexpr int kRawInputWords = 131072;  // 512 KiB
// After the last block of a WAV file, this many silent blocks go through the filters: a filter
// is 8 partitions of F taps long, so they carry the file's last sound out of the convolution.
constexpr int kFilterTailBlocks = 8;
// The nine input slots with two channels: slot s hears the left (0) or the right (1) side. From
// a file, as live from two inputs, every slot is fed, so each input port of a network hears the
// same side either way (ports 1, 4, 5, 7 the left; 2, 3, 6, 8 the right).
constexpr int kStereoSource[kInputSlotCount] = {0, 1, 1, 0, 1, 0, 1, 0, 1};

PlayState g_state = PlayState::Stopped;
std::int32_t* g_ring = nullptr;
std::int32_t* g_raw = nullptr;
std::int32_t g_ring_fill = 0;
std::int32_t g_output_started = 0;
// End of a WAV file: -1 while the file plays; then the silent blocks still to go through the
// filters; 0 once they have, when the output side plays out the ring and the queued buffers and
// playback stops as STOP would.
constexpr int kWavFilePlaying = -1;
int g_wav_tail_blocks = kWavFilePlaying;
std::int64_t g_block_counter = 0;
std::int64_t g_underruns = 0;
std::int64_t g_overflows = 0;
std::int64_t g_input_drops = 0;
std::int64_t g_late_blocks = 0;
// Over- and underruns the devices of the run counted, as last read.
std::int64_t g_card_input_xruns = 0;
std::int64_t g_card_output_xruns = 0;
double g_worst_block_ms = 0.0;
double g_ms_per_count = 0.0;
std::int64_t g_previous_start = 0;
std::int64_t g_last_block_stamp = 0;
float g_input_peaks[8];
float g_output_peaks[16];
// What the display timer shows. The block path only stores numbers here: every text set and
// every meter drawn makes the window system allocate, which has no place on a block's path at
// real-time priority. A read-out's text is set only when it changed; the meters show the loudest
// peak of the blocks since they were last drawn.
enum ReadoutIndex { kGbShown, kInShown, kOutShown, kPtShown, kLtShown, kFrShown, kReadoutCount };
struct ReadoutSlot {
    int id;
    const char* format;
    bool integer;
    double value;
    char shown[32];
};
ReadoutSlot g_readouts[kReadoutCount] = {{kRingWordsReadout, "GB = %d ", true, 0.0, ""},
                                         {kRingInReadout, "In = %d ", true, 0.0, ""},
                                         {kRingOutReadout, "Out = %d  ", true, 0.0, ""},
                                         {kProcessTimeReadout, "Pt=%.2f  ", false, 0.0, ""},
                                         {kBlockPeriodReadout, "Lt=%.2f ", false, 0.0, ""},
                                         {kBlockCountReadout, "Fr=%d", true, 0.0, ""}};
float g_meter_input[8];
float g_meter_output[16];
bool g_meters_pending = false;
// Headers in the order they were queued on a device (oldest first). A header whose re-queue
// failed leaves the circulation.
struct HeaderQueue {
    int order[kMaxWaveHeaders];
    int head;
    int count;
    void Reset(int n) {
        for (int i = 0; i < kMaxWaveHeaders; ++i) order[i] = i;
        head = 0;
        count = n;
    }
    // Exactly these headers, in this order.
    void Assign(const int* indices, int n) {
        for (int i = 0; i < n; ++i) order[i] = indices[i];
        head = 0;
        count = n;
    }
    int Front() const { return count > 0 ? order[head] : -1; }
    void Pop() {
        head = (head + 1) % kMaxWaveHeaders;
        --count;
    }
    void Push(int index) {
        order[(head + count) % kMaxWaveHeaders] = index;
        ++count;
    }
};
HeaderQueue g_in_queue;
HeaderQueue g_out_queue;
char g_wav_path[256];
char g_wav_title[256];
OPENFILENAME g_wav_dialog;

FilterSource g_filters = {nullptr, nullptr, nullptr};

std::int64_t Counter() {
    LARGE_INTEGER c{};
    QueryPerformanceCounter(&c);
    return c.QuadPart;
}

double MsSince(std::int64_t stamp) { return double(Counter() - stamp) * g_ms_per_count; }

void Message(const char* text) {
    MessageBox(shell::FrameWindow, text, "QV Message", MB_OK | MB_ICONEXCLAMATION);
}

int Channels() { return OutputChannelCount(PlayOpenedWith.output_layout); }

// Outputs whose filter the engine refused (values that are not numbers or beyond its bound) play
// silence; the user is told which before playback starts.
void ReportRefusedFilters() {
    std::string outputs;
    const int active = PlayOpenedWith.output_layout == 1 ? kOutputCount : 8;
    for (int o = 0; o < active; ++o) {
        if (!Dsp.filter_refused[o] || Dsp.routed_input[o] < 0) continue;
        outputs += (outputs.empty() ? "" : ", ") + std::to_string(o + 1);
    }
    if (outputs.empty()) return;
    const std::string text = "Output " + outputs +
                             " will play nothing: its filter holds values that are not numbers "
                             "or are out of range.";
    Message(text.c_str());
}

int HeaderCount(std::int32_t count) {
    return count < 2 ? 2 : count > kMaxWaveHeaders ? kMaxWaveHeaders : count;
}

// Eight block periods, and never less than a quarter of a second: a stalled worker is noticed
// quickly, a machine that is merely busy for a moment (or a sanitizer build) is not stopped.
int StageTimeoutMs() {
    const int rate = PlayOpenedWith.sample_rate > 0 ? PlayOpenedWith.sample_rate : 48000;
    const int period = static_cast<int>(1000.0 * shell::BlockFrames / rate);
    return period * 8 < 250 ? 250 : period * 8;
}

void KillStartTimers(HWND dialog) {
    KillTimer(dialog, kStartTimerFrontLeft);
    KillTimer(dialog, kStartTimerFrontRight);
    KillTimer(dialog, kStartTimerOpen);
}

// While a run plays, the UI thread is the scheduler on every block's path: it asks for the
// same real-time scheduling as the workers, and gives it back when the run ends.
bool RaiseScheduler() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    return ThreadHasRealtimePriority(GetCurrentThread());
}

void LowerScheduler() {
    if (GetThreadPriority(GetCurrentThread()) != THREAD_PRIORITY_NORMAL)
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
}

// Where the system grants no real-time scheduling (no rtprio limit for the user), the play goes
// on and the player's title says so, once.
void ShowPriorityStatus(HWND dialog, bool realtime) {
    static constexpr char kNoRealtime[] = " (no real-time priority)";
    char title[128] = {};
    GetWindowText(dialog, title, sizeof title);
    if (realtime || std::strstr(title, kNoRealtime) != nullptr) return;
    if (std::strlen(title) + sizeof kNoRealtime > sizeof title) title[0] = '\0';
    std::strcat(title, kNoRealtime);
    SetWindowText(dialog, title);
}

// The devices' own over- and underrun counts (-1: no device).
void ReadCardXruns() {
    const long in = WaveInHandle ? WaveInXrunCount(WaveInHandle) : -1;
    const long out = WaveOutHandle ? WaveOutXrunCount(WaveOutHandle) : -1;
    if (in >= 0) g_card_input_xruns = in;
    if (out >= 0) g_card_output_xruns = out;
}

// Everything a run holds, released in order; each step only when held.
void ReleaseRun(HWND dialog) {
    KillTimer(dialog, kCaptureWatchdogTimer);
    KillTimer(dialog, kDisplayTimer);
    StopWorkers();
    LowerScheduler();
    ReadCardXruns();
    CloseWaveInput();
    CloseWaveOutput();
    ReleaseWaveFile();
}

void RefreshDisplay(HWND dialog);

void StopPlayback(HWND dialog) {
    const PlayState was = g_state;
    g_state = PlayState::Stopped;
    if (was == PlayState::Starting) {
        KillStartTimers(dialog);
        ReleaseWaveFile();
        return;
    }
    if (was != PlayState::Playing) return;
    shell::AudioBusy = 0;
    SetVolumePosition(dialog, 9);
    ReleaseRun(dialog);
    g_meters_pending = false;
    RefreshDisplay(dialog);  // the read-outs as the last block left them
    // Both meters show silence: nothing plays any more, in or out.
    ClearMeters(dialog);
}

void StopWithMessage(HWND dialog, const char* text) {
    StopPlayback(dialog);
    Message(text);
}

// Converts one captured buffer (or WAV frames) into the nine input slots. Every slot is written:
// slots no source feeds get zeros.
void ConvertBlock(const std::int32_t* words, int channels, bool wav, int frames) {
    float* const* slot = Dsp.input_slots;
    for (int s = 0; s < kInputSlotCount; ++s) std::memset(slot[s], 0, sizeof(float) * frames);
    for (float& p : g_input_peaks) p = 0.0f;
    if (wav) {
        // 16-bit frames, fed to the slots as the live two-input layout feeds them.
        const std::int16_t* pcm = reinterpret_cast<const std::int16_t*>(words);
        for (int n = 0; n < frames; ++n) {
            const float v[2] = {float(pcm[2 * n]) * 256.0f, float(pcm[2 * n + 1]) * 256.0f};
            for (int s = 0; s < kInputSlotCount; ++s) slot[s][n] = v[kStereoSource[s]];
            g_input_peaks[0] = std::fmax(g_input_peaks[0], std::fabs(v[0]));
            g_input_peaks[2] = std::fmax(g_input_peaks[2], std::fabs(v[1]));
        }
        return;
    }
    if (channels == 2) {
        for (int n = 0; n < frames; ++n) {
            const float v[2] = {float(words[2 * n] / 256), float(words[2 * n + 1] / 256)};
            for (int s = 0; s < kInputSlotCount; ++s) slot[s][n] = v[kStereoSource[s]];
            g_input_peaks[0] = std::fmax(g_input_peaks[0], std::fabs(v[0]));
            g_input_peaks[2] = std::fmax(g_input_peaks[2], std::fabs(v[1]));
        }
        return;
    }
    // 8 or 12 captured channels: card channel c (0..7) is input c + 1; channels 9-12 have no
    // routing row and are not used.
    for (int n = 0; n < frames; ++n)
        for (int c = 0; c < 8; ++c) {
            const float v = float(words[n * channels + c] / 256);
            slot[kSlotOfInput[c]][n] = v;
            g_input_peaks[c] = std::fmax(g_input_peaks[c], std::fabs(v));
        }
}

void SetReadout(ReadoutIndex index, double value) { g_readouts[index].value = value; }

// Display timer (and STOP): each read-out whose text changed, then the meters when a block came.
void RefreshDisplay(HWND dialog) {
    for (ReadoutSlot& r : g_readouts) {
        char text[sizeof r.shown];
        if (r.integer)
            std::snprintf(text, sizeof text, r.format, static_cast<int>(r.value));
        else
            std::snprintf(text, sizeof text, r.format, r.value);
        if (std::strcmp(text, r.shown) == 0) continue;
        std::memcpy(r.shown, text, sizeof text);
        SetDlgItemText(dialog, r.id, text);
    }
    if (!g_meters_pending) return;
    g_meters_pending = false;
    DrawInputMeters(GetDlgItem(dialog, kInputMeterControl), g_meter_input);
    DrawOutputMeters(GetDlgItem(dialog, kOutputMeterControl), g_meter_output);
    for (float& p : g_meter_input) p = 0.0f;
    for (float& p : g_meter_output) p = 0.0f;
}

// Back to the device at the end of the queue; false (after the device's message) when it failed.
bool RequeueInputHeader(int index) {
    WAVEHDR& h = InputHeaders[index];
    h.dwFlags = WHDR_PREPARED;
    h.dwBytesRecorded = 0;
    const MMRESULT requeue = waveInAddBuffer(WaveInHandle, &h, sizeof h);
    if (requeue != MMSYSERR_NOERROR) {
        ++g_input_drops;
        char text[128] = {};
        waveInGetErrorText(requeue, text, sizeof text);
        MessageBox(shell::FrameWindow, text, "QV MEssage", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    g_in_queue.Push(index);
    return true;
}

// One block from the input header `index` (already done); false when the play was stopped.
bool ProcessInputBlock(HWND dialog, int index) {
    const int f = shell::BlockFrames;
    const std::int64_t start = Counter();
    const auto wall_start = std::chrono::steady_clock::now();
    g_last_block_stamp = start;
    WAVEHDR& h = InputHeaders[index];
    const bool wav = PlaysWavClock();
    const int channels = InputDeviceChannels();
    if (wav) {
        const int want = 4 * f;
        if (g_wav_tail_blocks < 0) {
            const int got = ReadWaveData(reinterpret_cast<char*>(g_raw), want);
            // The end of the data, or a read error: what the file gave is played to its end.
            if (got <= 0) g_wav_tail_blocks = kFilterTailBlocks;
            // The last block of a file that ends mid-block is padded with silence.
            if (got > 0 && got < want)
                std::memset(reinterpret_cast<char*>(g_raw) + got, 0, want - got);
        }
        if (g_wav_tail_blocks >= 0) {
            if (g_wav_tail_blocks == 0) {
                // All of the file is in the ring or on the device: the clock keeps pacing while
                // the output side plays it out.
                RequeueInputHeader(index);
                if (g_output_started == 0 || g_out_queue.count == 0) StopPlayback(dialog);
                return g_state == PlayState::Playing;
            }
            --g_wav_tail_blocks;
            std::memset(g_raw, 0, want);
        }
    } else {
        const std::uint32_t full = InputBufferBytes();
        std::uint32_t bytes = h.dwBytesRecorded < full ? h.dwBytesRecorded : full;
        std::memcpy(g_raw, h.lpData, bytes);
        if (bytes < full) {
            std::memset(reinterpret_cast<char*>(g_raw) + bytes, 0, full - bytes);
            ++g_input_drops;
        }
    }
    if (!RequeueInputHeader(index)) return g_state == PlayState::Playing;

    const bool convolve = !(TestToneSelector >= 1 && TestToneSelector <= 17);
    if (convolve) AnnounceBlock();
    ConvertBlock(g_raw, channels, wav, f);
    for (int i = 0; i < 8; ++i) g_meter_input[i] = std::fmax(g_meter_input[i], g_input_peaks[i]);

    if (!convolve) {
        GenerateTestTone(TestToneFrequency, f);
    } else {
        BlockGains gains;
        gains.master = MasterGain;
        for (int o = 0; o < kOutputCount; ++o) gains.trims[o] = OutputTrims[o];
        const int timeout = StageTimeoutMs();
        if (!RunBlockStages(gains, InterleavedOutputBlock, timeout)) {
            StopWithMessage(dialog,
                            "The audio workers did not finish a block in time.\n"
                            "Playback has been stopped.");
            return false;
        }
    }

    // Output ring.
    const int w = f * Channels();
    if (g_ring_fill + w > kRingWords) g_ring_fill = 0;
    std::memcpy(g_ring + g_ring_fill, InterleavedOutputBlock, sizeof(std::int32_t) * w);
    g_ring_fill += w;
    if (g_ring_fill > w && g_output_started == 0) {
        g_output_started = 1;
        // Only the headers the device took circulate; with none the run cannot sound and ends
        // (the device's message has been shown).
        int written[kMaxWaveHeaders];
        g_out_queue.Assign(written, WriteAllOutputBuffers(written));
        if (g_out_queue.count == 0) {
            StopPlayback(dialog);
            return false;
        }
    }
    const int held = g_ring_fill / w;
    if (g_ring_fill > 160 * f) {
        g_ring_fill = 0;
        ++g_overflows;
    }
    SetReadout(kGbShown, g_ring_fill);
    SetReadout(kInShown, held);

    for (float& p : g_output_peaks) p = 0.0f;
    const int k = Channels();
    for (int n = 0; n < f; ++n)
        for (int c = 0; c < k && c < 16; ++c) {
            const float v = std::fabs(float(InterleavedOutputBlock[n * k + c]));
            if (v > g_output_peaks[c]) g_output_peaks[c] = v;
        }
    for (int c = 0; c < 16; ++c)
        g_meter_output[c] = std::fmax(g_meter_output[c], g_output_peaks[c]);
    g_meters_pending = true;

    const double wall_ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall_start)
            .count();
    if (wall_ms > g_worst_block_ms) g_worst_block_ms = wall_ms;
    const int rate = PlayOpenedWith.sample_rate;
    if (rate > 0 && wall_ms > 1000.0 * f / rate) ++g_late_blocks;
    ReadCardXruns();
    const std::int64_t end = Counter();
    SetReadout(kPtShown, double(end - start) * g_ms_per_count);
    ++g_block_counter;
    SetReadout(kFrShown, double(g_block_counter));
    SetReadout(kLtShown, double(start - g_previous_start) * g_ms_per_count);
    g_previous_start = start;
    return true;
}

// Play's checks of the sampling rate with the F the devices open with; false after the message.
bool RateAccepted(int rate, int frames) {
    if (rate < 44100 || rate > 96000) {
        Message(
            "Sampling Rate In This Release Must Be Set To\n44100 / 48000 / 96000 "
            "Samples/Second");
        return false;
    }
    if (rate == 96000 && frames == 1024) {
        Message("For 96kHz Sampling Rate, Please select 2048 OR 4096 buffer Size\n");
        return false;
    }
    return true;
}

// Timer 10112: filters, clean buffers, devices, workers, input.
void OpenRun(HWND dialog) {
    // The play keeps what it opens with; a rate or a buffer size chosen since Play was pressed is
    // checked again.
    TakePlaySettings();
    if (!RateAccepted(PlayOpenedWith.sample_rate, shell::BlockFrames)) {
        g_state = PlayState::Stopped;
        ReleaseWaveFile();
        return;
    }
    if (g_filters.build)
        g_filters.build();
    else
        solver::BuildFirKernels();
    if (AllocEngineMemory() != 0 || AllocWaveBuffers() != 0 || !g_ring || !g_raw) {
        g_state = PlayState::Stopped;
        ReleaseWaveFile();
        Message("Not enough memory to start playback.");
        return;
    }
    const int f = shell::BlockFrames;
    const float* const* spectra =
        g_filters.spectra ? g_filters.spectra : &shell::FilterSpectra[0][0];
    const std::int32_t(*routing)[16] =
        g_filters.routing ? g_filters.routing : solver::RoutingMatrix;
    if (PrepareConvolutionRun(Dsp, f, PlayOpenedWith.output_layout, routing, spectra) != 0) {
        g_state = PlayState::Stopped;
        ReleaseWaveFile();
        Message("The player's block size or output layout is not valid.");
        return;
    }
    ReportRefusedFilters();
    std::memset(InterleavedOutputBlock, 0, sizeof(std::int32_t) * 16 * 4096);
    g_block_counter = 0;
    g_ring_fill = 0;
    g_output_started = 0;
    g_wav_tail_blocks = kWavFilePlaying;
    g_underruns = 0;
    g_overflows = 0;
    g_input_drops = 0;
    g_late_blocks = 0;
    g_worst_block_ms = 0.0;
    g_card_input_xruns = 0;
    g_card_output_xruns = 0;
    for (ReadoutSlot& r : g_readouts) {
        r.value = 0.0;
        r.shown[0] = '\0';  // the first refresh sets every text
    }
    for (float& p : g_meter_input) p = 0.0f;
    for (float& p : g_meter_output) p = 0.0f;
    g_meters_pending = false;
    g_in_queue.Reset(HeaderCount(InputBufferCount));
    g_out_queue.Reset(0);
    // A measurement started during the start chain holds the sound devices and the busy word:
    // this play gives way.
    if (shell::AudioBusy == 1) {
        g_state = PlayState::Stopped;
        ReleaseWaveFile();
        char text[128] = {};
        waveOutGetErrorText(MMSYSERR_ALLOCATED, text, sizeof text);
        Message(text);
        return;
    }
    // A device an earlier play or measurement could not close is closed now; while it cannot
    // be, nothing is opened over it (the user has been told).
    if (shell::CloseDevicesLeftOpen() != 0) {
        g_state = PlayState::Stopped;
        ReleaseWaveFile();
        return;
    }
    if (OpenWaveInput(dialog) != 0 || OpenWaveOutput(dialog) != 0 || StartWorkers() != 0) {
        // A failed start leaves nothing held: the other device, the file and the workers go.
        g_state = PlayState::Stopped;
        ReleaseRun(dialog);
        return;
    }
    const bool scheduler_realtime = RaiseScheduler();
    ShowPriorityStatus(dialog, scheduler_realtime || WorkersHaveRealtimePriority());
    g_previous_start = Counter();
    g_last_block_stamp = g_previous_start;
    if (StartWaveInput() != 0) {
        g_state = PlayState::Stopped;
        ReleaseRun(dialog);
        return;
    }
    g_state = PlayState::Playing;
    shell::AudioBusy = 1;
    SetTimer(dialog, kCaptureWatchdogTimer, 250);
    SetTimer(dialog, kDisplayTimer, kDisplayPeriodMs);
}

}  // namespace

PlayState CurrentPlayState() { return g_state; }

void SetFilterSource(const FilterSource& source) { g_filters = source; }

void ResetPlayer() {
    g_state = PlayState::Stopped;
    StopWorkers();
    LowerScheduler();
    CloseWaveInput();
    CloseWaveOutput();
    ReleaseWaveFile();
    g_filters = FilterSource{nullptr, nullptr, nullptr};
    g_ring_fill = 0;
    g_output_started = 0;
    g_wav_tail_blocks = kWavFilePlaying;
    g_block_counter = 0;
    g_underruns = 0;
    g_overflows = 0;
    g_input_drops = 0;
    g_late_blocks = 0;
    g_worst_block_ms = 0.0;
    g_card_input_xruns = 0;
    g_card_output_xruns = 0;
    InputBufferCount = OutputBufferCount = kStartBufferCount;
}

PlayerCounters CurrentPlayerCounters() {
    return PlayerCounters{g_block_counter,   g_underruns + g_card_output_xruns,
                          g_overflows,       g_input_drops + g_card_input_xruns,
                          g_ring_fill,       g_late_blocks,
                          g_worst_block_ms,  g_card_output_xruns,
                          g_card_input_xruns};
}

void LastBlockPeaks(float* inputs, float* outputs) {
    std::memcpy(inputs, g_input_peaks, sizeof g_input_peaks);
    std::memcpy(outputs, g_output_peaks, sizeof g_output_peaks);
}

void InitPlayer(HWND dialog) {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    g_ms_per_count = frequency.QuadPart > 0 ? 1000.0 / double(frequency.QuadPart) : 0.0;
    for (float& p : g_input_peaks) p = 0.0f;
    for (float& p : g_output_peaks) p = 0.0f;
    TakeBufferSettings();
    MasterGain = MasterGainFor(shell::Project.Settings.VolumeSliderPosition);
    for (float& trim : OutputTrims) trim = 1.0f;
    UpdateHotkeyOutputNumbers();
    if (!g_ring) g_ring = new (std::nothrow) std::int32_t[kRingWords]();
    if (!g_raw) g_raw = new (std::nothrow) std::int32_t[kRawInputWords]();
    (void)dialog;
}

void PlayCommand(HWND dialog) {
    if (g_state != PlayState::Stopped || shell::AudioBusy == 1) return;
    const int frames = ConfiguredBlockFrames();
    if (!RateAccepted(ConfiguredSampleRate(), frames)) return;
    if (frames != 1024 && frames != 2048 && frames != 4096) return;
    WavModeOfRun = PlayWavMode == 1 ? 1 : 0;
    if (WavModeOfRun == 1) {
        g_wav_dialog = OPENFILENAME{};
        g_wav_dialog.lStructSize = 88;
        g_wav_dialog.hwndOwner = shell::FrameWindow;
        g_wav_dialog.lpstrFilter = "Wave Files (*.wav)\0*.wav\0\0";
        g_wav_path[0] = 0;
        g_wav_title[0] = 0;
        g_wav_dialog.lpstrFile = g_wav_path;
        g_wav_dialog.nMaxFile = sizeof g_wav_path;
        g_wav_dialog.lpstrFileTitle = g_wav_title;
        g_wav_dialog.nMaxFileTitle = sizeof g_wav_title;
        g_wav_dialog.lpstrDefExt = "*.*";
        g_wav_dialog.Flags = OFN_CREATEPROMPT | OFN_HIDEREADONLY;
        if (!GetOpenFileName(&g_wav_dialog)) return;
        ReleaseWaveFile();
        WavFile = mmioOpen(g_wav_path, nullptr, MMIO_READ | MMIO_ALLOCBUF);
        if (!WavFile) {
            MessageBox(shell::FrameWindow, "Failed to open file", "QV MEssage",
                       MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    }
    g_state = PlayState::Starting;
    SetTimer(dialog, kStartTimerFrontLeft, 500);
}

void StopCommand(HWND dialog) {
    // STOP while stopped: a device an earlier run could not close is closed now.
    if (g_state == PlayState::Stopped) {
        shell::CloseDevicesLeftOpen();
        return;
    }
    StopPlayback(dialog);
}

bool PlayerTimer(HWND dialog, UINT_PTR id) {
    // A step of the start chain puts another channel's network into the working network: while
    // a modal window is open (an element dialog or the room equalizer edits the network of the
    // pane it was opened from, and the pane stores it when it closes) the step waits, its timer
    // running on, and comes again after one more period.
    const bool chain_step =
        id == kStartTimerFrontLeft || id == kStartTimerFrontRight || id == kStartTimerOpen;
    if (chain_step && g_state == PlayState::Starting && ModalLoopRunning()) return true;
    switch (id) {
        case kStartTimerFrontLeft:
            KillTimer(dialog, id);
            if (g_state != PlayState::Starting) return true;
            SendMessage(dialog, WM_COMMAND, kFrontLeftButton, 0);
            if (g_state == PlayState::Starting) SetTimer(dialog, kStartTimerFrontRight, 500);
            return true;
        case kStartTimerFrontRight:
            KillTimer(dialog, id);
            if (g_state != PlayState::Starting) return true;
            SendMessage(dialog, WM_COMMAND, kFrontRightButton, 0);
            if (g_state == PlayState::Starting) SetTimer(dialog, kStartTimerOpen, 500);
            return true;
        case kStartTimerOpen:
            KillTimer(dialog, id);
            if (g_state == PlayState::Starting) OpenRun(dialog);
            return true;
        case kDisplayTimer:
            if (g_state == PlayState::Playing) RefreshDisplay(dialog);
            return true;
        case kCaptureWatchdogTimer:
            if (g_state == PlayState::Playing && MsSince(g_last_block_stamp) > kCaptureStallMs)
                StopWithMessage(dialog,
                                "No audio input arrived for more than a second.\n"
                                "Playback has been stopped.");
            return true;
        default:
            return false;
    }
}

void OnWaveInData(HWND dialog, WPARAM, LPARAM) {
    if (g_state != PlayState::Playing) return;
    // Every header that has come back, in the order it was queued.
    for (int served = 0; served < kMaxWaveHeaders && g_state == PlayState::Playing; ++served) {
        const int index = g_in_queue.Front();
        if (index < 0 || !(InputHeaders[index].dwFlags & WHDR_DONE)) break;
        g_in_queue.Pop();
        if (!ProcessInputBlock(dialog, index)) break;
    }
}

void OnWaveOutDone(HWND dialog, WPARAM, LPARAM) {
    if (g_state != PlayState::Playing || g_output_started == 0) return;
    const int w = shell::BlockFrames * Channels();
    // The end of a WAV file is in the ring: a buffer that comes back when the ring is empty has
    // nothing more to play and stays with the program.
    const bool playing_out = g_wav_tail_blocks == 0;
    for (int served = 0; served < kMaxWaveHeaders; ++served) {
        const int index = g_out_queue.Front();
        if (index < 0 || !(OutputHeaders[index].dwFlags & WHDR_DONE)) break;
        WAVEHDR& h = OutputHeaders[index];
        g_out_queue.Pop();
        if (playing_out && g_ring_fill == 0) continue;
        std::int32_t* out = reinterpret_cast<std::int32_t*>(h.lpData);
        if (g_ring_fill >= w) {
            std::memcpy(out, g_ring, sizeof(std::int32_t) * w);
            std::memmove(g_ring, g_ring + w, sizeof(std::int32_t) * (g_ring_fill - w));
            g_ring_fill -= w;
        } else {
            // Less than a block held: what there is, then silence; counted as an underrun.
            std::memcpy(out, g_ring, sizeof(std::int32_t) * g_ring_fill);
            std::memset(out + g_ring_fill, 0, sizeof(std::int32_t) * (w - g_ring_fill));
            g_ring_fill = 0;
            ++g_underruns;
        }
        SetReadout(kOutShown, g_ring_fill / w);
        h.dwFlags = WHDR_PREPARED;
        const MMRESULT result = waveOutWrite(WaveOutHandle, &h, sizeof h);
        if (result == MMSYSERR_NOERROR) {
            g_out_queue.Push(index);
        } else {
            char text[128] = {};
            waveOutGetErrorText(result, text, sizeof text);
            MessageBox(shell::FrameWindow, text, "QV MEssage", MB_OK | MB_ICONEXCLAMATION);
            if (g_state != PlayState::Playing) return;
        }
    }
    // No output header is left in circulation: nothing more can sound, so the run ends.
    if (!playing_out && g_out_queue.count == 0) {
        StopPlayback(dialog);
        return;
    }
    // Every buffer has come back and the ring is empty: the whole file has been played.
    if (playing_out && g_out_queue.count == 0 && g_ring_fill == 0) StopPlayback(dialog);
}

void ClosePlayer(HWND dialog) { StopPlayback(dialog); }

INT_PTR TestTonesCommand(HWND dialog) {
    if (g_state != PlayState::Stopped || shell::AudioBusy == 1) return 0;
    // The tone is played by the next Play: a device an earlier run could not close is closed now
    // (the dialog opens either way).
    shell::CloseDevicesLeftOpen();
    shell::ModalDialogOpen = 1;
    const INT_PTR result =
        DialogBox(shell::AppInstance, "QUORVEX_LINEARIZER_TEST_TONES", dialog, TestTonesDlgProc);
    shell::ModalDialogOpen = 0;
    return result;
}

void SetVolumePosition(HWND dialog, int position) {
    position = position < 0 ? 0 : position > 66 ? 66 : position;
    shell::Project.Settings.VolumeSliderPosition = position;
    SetScrollPos(GetDlgItem(dialog, kVolumeScrollBar), SB_CTL, position, TRUE);
    MasterGain = MasterGainFor(position);
    SetDlgItemText(dialog, kGainReadout, "");
}

void ClearMeters(HWND dialog) {
    const float in[8] = {0, 0, 0, 0, 0, 0, 0, -1.0f};
    const float out[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1.0f};
    DrawInputMeters(GetDlgItem(dialog, kInputMeterControl), in);
    DrawOutputMeters(GetDlgItem(dialog, kOutputMeterControl), out);
}

}  // namespace engine
