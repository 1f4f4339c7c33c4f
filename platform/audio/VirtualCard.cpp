// The virtual sound card: wave devices in memory, clocked by the test or by a pacer thread.
//
// Time is counted in ticks of 1/28,224,000 s, the least common multiple of every supported rate,
// so that a step of whole frames at any rate is exact. Each direction has its own clock (with
// its drift); a device's frame position is floor(ticks x rate x (1 + ppm/1e6) / 28,224,000).
// Within a step, outputs move first and inputs after them, in rounds of at most kRoundFrames, so
// that a loopback with latency 0 hears the frame played in the same round.

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/audio/Devices.h"
#include "platform/internal/Clock.h"
#include "platform/internal/Headless.h"
#include "platform/sys/Threads.h"

namespace platform {
namespace audio {
namespace {

constexpr std::int64_t kTicksPerSecond = 28224000;
constexpr std::int64_t kRoundFrames = 256;
constexpr std::int32_t kMax24 = 8388607;
constexpr std::int32_t kMin24 = -8388608;

struct Route {
    bool on;
    int output;
    int latency;
    int tap_count;
    std::vector<double> taps;  // sized when the loopback is configured, never while running
};

struct Failure {
    int skip;
    int times;
    MMRESULT result;
};

struct Card {
    VirtualDeviceSpec inputs[kVirtualMaxDevices];
    int input_count;
    VirtualDeviceSpec outputs[kVirtualMaxDevices];
    int output_count;

    std::vector<std::int32_t> script[kVirtualMaxChannels];
    bool script_repeat[kVirtualMaxChannels];

    Route routes[kVirtualMaxChannels];
    // Played output on the card's output clock, for the loopback: frames [history_from,
    // history_to) are held, frame f at f & (history_size - 1).
    std::vector<std::int32_t> history[kVirtualMaxChannels];
    std::int64_t history_size;
    std::int64_t history_from;
    std::int64_t history_to;
    std::uint32_t history_owner;  // handle value of the output device that feeds it

    std::vector<std::int32_t> record[kVirtualMaxChannels];
    std::size_t record_capacity;
    std::size_t record_frames;
    bool record_started;

    double input_ppm;
    double output_ppm;
    std::int64_t ticks;

    Failure failures[static_cast<int>(WaveCall::Count)];
};

Card card;  // under AudioMutex

// Pacer thread (its own lock, never taken while AudioMutex is held by the same thread).
std::mutex pacer_mutex;
std::condition_variable pacer_wake;
std::thread pacer_thread;
bool pacer_stop = false;
std::atomic<bool> pacer_running{false};

// Names are cut to 31 characters; the source need not be terminated within its 32.
void CopyName(char dst[32], const char* src) {
    const std::size_t n = strnlen(src, 31);
    std::memcpy(dst, src, n);
    dst[n] = '\0';
}

bool SpeakerLoopbackAsked() {
    const char* env = std::getenv("QV_VIRTUAL_AUDIO");
    return env != nullptr && std::strcmp(env, "loopback") == 0;
}

// Route of input `input` from output `output`; the history is sized to reach back over it.
void SetRoute(int input, int output, const double* taps, int tap_count, int latency) {
    Route& r = card.routes[input];
    r.on = true;
    r.output = output;
    r.latency = latency;
    r.tap_count = tap_count;
    r.taps.assign(taps, taps + tap_count);
    // The history must reach back over the latency and the response, plus the frames an output
    // may run ahead of an input within a step.
    const std::int64_t need = latency + tap_count + 65536;
    std::int64_t size = 1;
    while (size < need) size *= 2;
    if (size > card.history_size) {
        card.history_size = size;
        for (auto& h : card.history)
            if (!h.empty()) h.assign(static_cast<std::size_t>(size), 0);
        card.history_from = card.history_to;  // earlier frames are gone
    }
    if (card.history[output].empty())
        card.history[output].assign(static_cast<std::size_t>(card.history_size), 0);
}

void InstallSpeakerLoopback() {
    const double reference = 1.0;
    SetRoute(0, 0, &reference, 1, kSpeakerReferenceLatency);
    const std::vector<double> taps = SpeakerLoopbackResponse();
    SetRoute(1, 1, taps.data(), static_cast<int>(taps.size()), kSpeakerMicrophoneLatency);
}

void SetDefaults() {
    card.input_count = 2;
    CopyName(card.inputs[0].name, "QV Virtual In 1-12");
    card.inputs[0].channels = 12;
    CopyName(card.inputs[1].name, "QV Virtual In 1-2");
    card.inputs[1].channels = 2;
    card.output_count = 2;
    CopyName(card.outputs[0].name, "QV Virtual Out 1-16");
    card.outputs[0].channels = 16;
    CopyName(card.outputs[1].name, "QV Virtual Out 1-2");
    card.outputs[1].channels = 2;
    for (int c = 0; c < kVirtualMaxChannels; ++c) {
        card.script[c].clear();
        card.script[c].shrink_to_fit();
        card.script_repeat[c] = false;
        card.routes[c] = Route{};
        card.history[c].clear();
        card.history[c].shrink_to_fit();
        card.record[c].clear();
        card.record[c].shrink_to_fit();
    }
    card.history_size = 0;
    card.history_from = card.history_to = 0;
    card.history_owner = 0;
    card.record_capacity = card.record_frames = 0;
    card.record_started = false;
    card.input_ppm = card.output_ppm = 0.0;
    card.ticks = 0;
    for (auto& f : card.failures) f = Failure{};
    if (SpeakerLoopbackAsked()) InstallSpeakerLoopback();
}

struct CardInit {
    CardInit() { SetDefaults(); }
} card_init;

bool AnyOpen() {
    for (Direction dir : {Direction::In, Direction::Out}) {
        Device* table = DeviceTable(dir);
        for (int i = 0; i < kMaxOpenDevices; ++i)
            if (table[i].open) return true;
    }
    return false;
}

__extension__ typedef __int128 Wide;

std::int64_t ClockAt(std::int64_t ticks, DWORD rate, double ppm) {
    if (ppm == 0.0) return ticks * static_cast<std::int64_t>(rate) / kTicksPerSecond;
    if (ppm == std::floor(ppm) && std::fabs(ppm) < 1e6) {
        // Whole ppm: exact, so that 10 s at +1000 ppm is exactly 1.001 x the nominal frames.
        const Wide num =
            static_cast<Wide>(ticks) * rate * (1000000 + static_cast<std::int64_t>(ppm));
        const Wide den = static_cast<Wide>(kTicksPerSecond) * 1000000;
        Wide q = num / den;
        if (num % den != 0 && num < 0) --q;
        return static_cast<std::int64_t>(q);
    }
    const long double frames = static_cast<long double>(ticks) * rate *
                               (1.0L + static_cast<long double>(ppm) / 1e6L) / kTicksPerSecond;
    return static_cast<std::int64_t>(std::floor(frames));
}

std::int64_t DeviceClock(const Device& d) {
    return ClockAt(card.ticks, d.format.rate,
                   d.direction == Direction::In ? card.input_ppm : card.output_ppm);
}

std::int32_t ReadSample(const char* p, int container_bytes) {
    if (container_bytes == 4) {
        std::int32_t w;
        std::memcpy(&w, p, 4);
        return w >> 8;
    }
    std::int16_t s;
    std::memcpy(&s, p, 2);
    return static_cast<std::int32_t>(s) * 256;
}

void WriteSample(char* p, int container_bytes, double v) {
    if (container_bytes == 4) {
        const long long q = std::clamp<long long>(std::llround(v), kMin24, kMax24);
        const std::int32_t w = static_cast<std::int32_t>(q * 256);
        std::memcpy(p, &w, 4);
    } else {
        const long long q = std::clamp<long long>(std::llround(v / 256.0), -32768, 32767);
        const std::int16_t s = static_cast<std::int16_t>(q);
        std::memcpy(p, &s, 2);
    }
}

std::int32_t HistoryAt(int channel, std::int64_t frame) {
    if (card.history[channel].empty()) return 0;
    if (frame < card.history_from || frame >= card.history_to) return 0;
    return card.history[channel][static_cast<std::size_t>(frame & (card.history_size - 1))];
}

void KeepPlayedFrame(const Device& d, std::int64_t frame, const std::int32_t* samples) {
    if (card.history_owner == d.handle_value && card.history_size > 0) {
        if (frame != card.history_to) card.history_from = frame;  // a gap: start again
        for (int c = 0; c < kVirtualMaxChannels; ++c) {
            if (card.history[c].empty()) continue;
            card.history[c][static_cast<std::size_t>(frame & (card.history_size - 1))] =
                c < d.format.channels ? samples[c] : 0;
        }
        card.history_to = frame + 1;
        card.history_from = std::max(card.history_from, card.history_to - card.history_size);
    }
    if (card.record_started && card.history_owner == d.handle_value &&
        card.record_frames < card.record_capacity) {
        for (int c = 0; c < d.format.channels; ++c) card.record[c][card.record_frames] = samples[c];
        ++card.record_frames;
    }
}

// Output device: plays `frames` frames of its clock.
void PlayFrames(Device& d, std::int64_t frames) {
    std::int32_t samples[kVirtualMaxChannels];
    const StreamFormat& f = d.format;
    for (std::int64_t i = 0; i < frames; ++i) {
        const std::int64_t frame = d.clock_frames;
        ++d.clock_frames;
        if (d.count == 0) {
            // Ran dry: the end of the stream, or a gap if more data follows.
            if (d.running) d.starved = true;
            d.running = false;
            std::fill(std::begin(samples), std::end(samples), 0);
            KeepPlayedFrame(d, frame, samples);
            continue;
        }
        if (d.starved) d.xruns.fetch_add(1);  // data again after a gap: an underrun
        d.starved = false;
        WAVEHDR* h = d.queue[d.head];
        const char* p = h->lpData + d.head_bytes;
        for (int c = 0; c < f.channels; ++c)
            samples[c] = ReadSample(p + c * f.container_bytes, f.container_bytes);
        if (card.record_capacity > 0 && card.history_owner == d.handle_value)
            card.record_started = true;
        d.running = true;
        KeepPlayedFrame(d, frame, samples);
        d.head_bytes += static_cast<DWORD>(f.block_align);
        if (h->dwBufferLength - d.head_bytes < static_cast<DWORD>(f.block_align)) CompleteHead(d);
    }
}

double InputValue(int channel, std::int64_t script_frame, std::int64_t card_frame) {
    double v = 0.0;
    const auto& s = card.script[channel];
    if (!s.empty()) {
        const auto n = static_cast<std::int64_t>(s.size());
        if (script_frame < n)
            v = s[static_cast<std::size_t>(script_frame)];
        else if (card.script_repeat[channel])
            v = s[static_cast<std::size_t>(script_frame % n)];
    }
    const Route& r = card.routes[channel];
    if (r.on) {
        double sum = 0.0;
        for (int k = 0; k < r.tap_count; ++k)
            sum += r.taps[k] * HistoryAt(r.output, card_frame - r.latency - k);
        v += sum;
    }
    return v;
}

// Input device: records `frames` frames of its clock.
void RecordFrames(Device& d, std::int64_t frames) {
    const StreamFormat& f = d.format;
    for (std::int64_t i = 0; i < frames; ++i) {
        const std::int64_t frame = d.clock_frames;
        ++d.clock_frames;
        if (!d.running) continue;
        const std::int64_t script_frame = d.input_frames;
        ++d.input_frames;
        if (d.count == 0) {
            if (!d.starved) d.xruns.fetch_add(1);  // frames lost: nothing queued
            d.starved = true;
            continue;
        }
        d.starved = false;
        WAVEHDR* h = d.queue[d.head];
        char* p = h->lpData + d.head_bytes;
        for (int c = 0; c < f.channels; ++c)
            WriteSample(p + c * f.container_bytes, f.container_bytes,
                        InputValue(c, script_frame, frame));
        d.head_bytes += static_cast<DWORD>(f.block_align);
        if (h->dwBufferLength - d.head_bytes < static_cast<DWORD>(f.block_align)) CompleteHead(d);
    }
}

// Moves the clocks by `delta` ticks and every open virtual device with them.
void Advance(std::int64_t delta) {
    if (delta <= 0) return;
    card.ticks += delta;
    for (;;) {
        bool moved = false;
        for (Direction dir : {Direction::Out, Direction::In}) {
            Device* table = DeviceTable(dir);
            for (int i = 0; i < kMaxOpenDevices; ++i) {
                Device& d = table[i];
                if (!d.open || d.backend != AudioBackend::Virtual) continue;
                const std::int64_t n = std::min(DeviceClock(d) - d.clock_frames, kRoundFrames);
                if (n <= 0) continue;
                moved = true;
                if (dir == Direction::Out)
                    PlayFrames(d, n);
                else
                    RecordFrames(d, n);
            }
        }
        if (!moved) break;
    }
}

void PacerLoop() {
    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    std::int64_t start_ticks;
    {
        std::lock_guard lock(AudioMutex());
        start_ticks = card.ticks;
    }
    std::unique_lock pacer_lock(pacer_mutex);
    while (!pacer_stop) {
        pacer_wake.wait_for(pacer_lock, std::chrono::milliseconds(2));
        if (pacer_stop) break;
        const auto ns =
            std::chrono::duration_cast<std::chrono::nanoseconds>(clock::now() - start).count();
        const auto target = start_ticks + static_cast<std::int64_t>(static_cast<long double>(ns) *
                                                                    kTicksPerSecond / 1e9L);
        std::lock_guard lock(AudioMutex());
        Advance(target - card.ticks);
    }
}

// The pacer stands in for a card's own clock, which a busy machine does not slow down: it runs
// at the real-time priority of the ALSA transfer threads where the system allows it.
void RaisePacer() {
    (void)SetRealtimeLevel(pacer_thread.native_handle(), RealtimeRank::kSoundTransfer);
}

void StartPacer() {
    std::lock_guard lock(pacer_mutex);
    if (pacer_running.load()) return;
    pacer_stop = false;
    pacer_running.store(true);
    pacer_thread = std::thread(PacerLoop);
    RaisePacer();
}

// Following the layer's virtual clock.
std::atomic<bool> follow_layer_clock{false};
std::atomic<std::int64_t> layer_ms_seen{0};

void OnLayerTime() {
    const std::int64_t now = internal::NowMs();
    const std::int64_t before = layer_ms_seen.exchange(now);
    if (!follow_layer_clock.load() || !internal::IsVirtualClock() || now <= before) return;
    std::lock_guard lock(AudioMutex());
    Advance((now - before) * (kTicksPerSecond / 1000));
}

struct PacerJoin {
    ~PacerJoin() { VirtualCardStopPacer(); }
} pacer_join;

}  // namespace

UINT VirtualDeviceCount(Direction direction) {
    return static_cast<UINT>(direction == Direction::In ? card.input_count : card.output_count);
}

bool VirtualDeviceCaps(Direction direction, UINT id, char name[32], int* channels) {
    const int count = direction == Direction::In ? card.input_count : card.output_count;
    if (id >= static_cast<UINT>(count)) return false;
    const VirtualDeviceSpec& s = direction == Direction::In ? card.inputs[id] : card.outputs[id];
    CopyName(name, s.name);
    *channels = s.channels;
    return true;
}

void VirtualOnOpen(Device& d) {
    d.clock_frames = DeviceClock(d);
    if (d.direction == Direction::Out && card.history_owner == 0) {
        card.history_owner = d.handle_value;
        card.history_from = card.history_to = d.clock_frames;
    }
    if (!internal::Headless() && !pacer_running.load()) {
        // Outside the test harness the card keeps time by itself. The new thread waits for
        // AudioMutex, which the caller holds.
        std::lock_guard lock(pacer_mutex);
        if (!pacer_running.load()) {
            if (pacer_thread.joinable()) pacer_thread.join();
            pacer_stop = false;
            pacer_running.store(true);
            pacer_thread = std::thread(PacerLoop);
            RaisePacer();
        }
    }
}

void VirtualOnClose() {
    // The loopback source goes with its device.
    Device* table = DeviceTable(Direction::Out);
    bool owner_open = false;
    for (int i = 0; i < kMaxOpenDevices; ++i)
        if (table[i].open && table[i].handle_value == card.history_owner) owner_open = true;
    if (!owner_open) card.history_owner = 0;
}

void VirtualOnStart(Device& d) { d.starved = false; }

MMRESULT VirtualTakeFailure(WaveCall call) {
    Failure& f = card.failures[static_cast<int>(call)];
    if (f.times <= 0) return MMSYSERR_NOERROR;
    if (f.skip > 0) {
        --f.skip;
        return MMSYSERR_NOERROR;
    }
    --f.times;
    return f.result;
}

}  // namespace audio

using audio::AudioMutex;
using audio::card;

bool VirtualCardReset() {
    VirtualCardStopPacer();
    std::lock_guard lock(AudioMutex());
    if (audio::AnyOpen()) return false;
    audio::SetDefaults();
    audio::follow_layer_clock.store(false);
    return true;
}

bool VirtualCardSetDevices(const VirtualDeviceSpec* inputs, int input_count,
                           const VirtualDeviceSpec* outputs, int output_count) {
    if (input_count < 0 || input_count > kVirtualMaxDevices || output_count < 0 ||
        output_count > kVirtualMaxDevices)
        return false;
    std::lock_guard lock(AudioMutex());
    if (audio::AnyOpen()) return false;
    for (int i = 0; i < input_count; ++i) {
        if (inputs[i].channels < 1 || inputs[i].channels > kVirtualMaxChannels) return false;
    }
    for (int i = 0; i < output_count; ++i) {
        if (outputs[i].channels < 1 || outputs[i].channels > kVirtualMaxChannels) return false;
    }
    for (int i = 0; i < input_count; ++i) {
        audio::CopyName(card.inputs[i].name, inputs[i].name);
        card.inputs[i].channels = inputs[i].channels;
    }
    for (int i = 0; i < output_count; ++i) {
        audio::CopyName(card.outputs[i].name, outputs[i].name);
        card.outputs[i].channels = outputs[i].channels;
    }
    card.input_count = input_count;
    card.output_count = output_count;
    return true;
}

void VirtualCardSetInputSignal(int channel, const std::int32_t* samples, std::size_t count,
                               bool repeat) {
    if (channel < 0 || channel >= kVirtualMaxChannels) return;
    std::lock_guard lock(AudioMutex());
    card.script[channel].assign(samples, samples + (samples != nullptr ? count : 0));
    card.script_repeat[channel] = repeat;
}

bool VirtualCardSetLoopback(int input_channel, int output_channel, const double* taps,
                            int tap_count, int latency_frames) {
    if (input_channel < 0 || input_channel >= kVirtualMaxChannels || output_channel < 0 ||
        output_channel >= kVirtualMaxChannels || taps == nullptr || tap_count < 1 ||
        tap_count > kVirtualMaxLoopbackTaps || latency_frames < 0 || latency_frames > (1 << 20))
        return false;
    std::lock_guard lock(AudioMutex());
    audio::SetRoute(input_channel, output_channel, taps, tap_count, latency_frames);
    return true;
}

void VirtualCardClearLoopback() {
    std::lock_guard lock(AudioMutex());
    for (auto& r : card.routes) r.on = false;
}

void VirtualCardSetSpeakerLoopback() {
    std::lock_guard lock(AudioMutex());
    audio::InstallSpeakerLoopback();
}

std::vector<double> SpeakerLoopbackResponse() {
    // A closed box: a second-order Butterworth high-pass at kSpeakerLowCutHz, then a first-order
    // low-pass at kSpeakerHighCutHz for the tweeter's top end, both by the bilinear transform
    // (frequencies prewarped) at kSpeakerDesignRate, at half the output's level. The impulse
    // response is taken as it comes out of the two sections; after kSpeakerLoopbackTaps frames
    // its tail lies far below the 24-bit floor.
    const double pi = 3.14159265358979323846;
    const double fs = static_cast<double>(kSpeakerDesignRate);
    const double k_low = std::tan(pi * kSpeakerLowCutHz / fs);
    const double q = 1.0 / std::sqrt(2.0);
    const double norm = 1.0 / (1.0 + k_low / q + k_low * k_low);
    const double b0 = norm, b1 = -2.0 * norm, b2 = norm;
    const double a1 = 2.0 * (k_low * k_low - 1.0) * norm;
    const double a2 = (1.0 - k_low / q + k_low * k_low) * norm;
    const double k_high = std::tan(pi * kSpeakerHighCutHz / fs);
    const double c0 = k_high / (1.0 + k_high);
    const double d1 = (k_high - 1.0) / (k_high + 1.0);
    std::vector<double> taps(kSpeakerLoopbackTaps);
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0, z1_in = 0.0, z1_out = 0.0;
    for (int n = 0; n < kSpeakerLoopbackTaps; ++n) {
        const double x = n == 0 ? 1.0 : 0.0;
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        const double z = c0 * (y + z1_in) - d1 * z1_out;
        z1_in = y;
        z1_out = z;
        taps[static_cast<std::size_t>(n)] = kSpeakerGain * z;
    }
    return taps;
}

void VirtualCardRecordOutput(std::size_t max_frames) {
    std::lock_guard lock(AudioMutex());
    for (auto& r : card.record) {
        r.assign(max_frames, 0);
        if (max_frames == 0) r.shrink_to_fit();
    }
    card.record_capacity = max_frames;
    card.record_frames = 0;
    card.record_started = false;
}

std::size_t VirtualCardRecordedFrames() {
    std::lock_guard lock(AudioMutex());
    return card.record_frames;
}

std::int32_t VirtualCardRecordedSample(int channel, std::size_t frame) {
    std::lock_guard lock(AudioMutex());
    if (channel < 0 || channel >= kVirtualMaxChannels || frame >= card.record_frames) return 0;
    return card.record[channel][frame];
}

void VirtualCardSetDrift(double input_ppm, double output_ppm) {
    std::lock_guard lock(AudioMutex());
    // A device keeps its position; the new rate applies from here on, so the clocks restart
    // their count from the current frames.
    card.input_ppm = input_ppm;
    card.output_ppm = output_ppm;
    for (audio::Direction dir : {audio::Direction::In, audio::Direction::Out}) {
        audio::Device* table = audio::DeviceTable(dir);
        for (int i = 0; i < audio::kMaxOpenDevices; ++i) {
            audio::Device& d = table[i];
            if (d.open && d.backend == AudioBackend::Virtual) {
                const std::int64_t now = audio::DeviceClock(d);
                if (dir == audio::Direction::Out) {
                    if (card.history_owner == d.handle_value) {
                        card.history_from += now - d.clock_frames;
                        card.history_to += now - d.clock_frames;
                    }
                }
                d.clock_frames = now;
            }
        }
    }
}

void VirtualCardStep(std::int64_t frames, DWORD rate) {
    if (frames <= 0 || rate == 0 || audio::kTicksPerSecond % rate != 0) return;
    std::lock_guard lock(AudioMutex());
    audio::Advance(frames * (audio::kTicksPerSecond / rate));
}

void VirtualCardAdvanceMs(std::int64_t ms) {
    if (ms <= 0) return;
    std::lock_guard lock(AudioMutex());
    audio::Advance(ms * (audio::kTicksPerSecond / 1000));
}

std::int64_t VirtualCardClockFrames(bool input, DWORD rate) {
    std::lock_guard lock(AudioMutex());
    return audio::ClockAt(card.ticks, rate, input ? card.input_ppm : card.output_ppm);
}

void VirtualCardFollowLayerClock(bool on) {
    static std::once_flag once;
    std::call_once(once, [] { internal::AddTimeListener(audio::OnLayerTime); });
    audio::layer_ms_seen.store(internal::NowMs());
    audio::follow_layer_clock.store(on);
}

void VirtualCardStartPacer() { audio::StartPacer(); }

void VirtualCardStopPacer() {
    std::thread old;
    {
        std::lock_guard lock(audio::pacer_mutex);
        audio::pacer_stop = true;
        old = std::move(audio::pacer_thread);
    }
    audio::pacer_wake.notify_all();
    if (old.joinable()) old.join();
    audio::pacer_running.store(false);
}

void VirtualCardFailCall(WaveCall call, MMRESULT result, int skip, int times) {
    const int i = static_cast<int>(call);
    if (i < 0 || i >= static_cast<int>(WaveCall::Count)) return;
    std::lock_guard lock(AudioMutex());
    card.failures[i] = audio::Failure{std::max(skip, 0), std::max(times, 0), result};
}

}  // namespace platform
