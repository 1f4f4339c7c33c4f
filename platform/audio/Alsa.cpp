// ALSA backend of the wave devices.
//
// Devices are the machine's hardware ("hw:") and plug ("plughw:") PCMs, listed with their channel
// counts by probing each one. An open device has one I/O thread that owns the PCM: it moves the
// queued headers' frames straight between their buffers and ALSA (S32_LE with 24 significant
// bits, or S16_LE, interleaved, no conversion), returns each header when it is full or played,
// recovers from over- and underruns and counts them. Start, stop and reset run on that thread as
// commands, so that no other thread ever touches the PCM.

#include <alsa/asoundlib.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/Devices.h"
#include "platform/sys/Threads.h"

namespace platform::audio {

struct AlsaStream {
    Device* device;
    snd_pcm_t* pcm;
    char pcm_name[64];
    snd_pcm_uframes_t period;
    snd_pcm_uframes_t buffer;
    int wake_fd;
    std::vector<pollfd> fds;  // wake_fd first, then the PCM's
    std::thread thread;

    // Playback: the oldest `written` queued headers are wholly in the ring and come back when
    // the ring's play position passes end_frame of each; write_bytes of the next one are in.
    int written;
    DWORD write_bytes;
    std::int64_t frames_written;
    std::int64_t end_frame[kMaxQueued];
    bool starved;  // the ring ran dry with nothing queued: the next write is after a gap

    std::mutex command_mutex;
    std::condition_variable command_done;
    bool command_pending;
    int command;  // AlsaCommand, or kQuit
    MMRESULT command_result;
};

namespace {

constexpr int kQuit = 100;
constexpr int kMaxListed = 64;
constexpr int kChannelCap = 64;

struct Entry {
    char pcm[64];
    char name[32];
    int channels;
};

std::mutex list_mutex;
std::vector<Entry> in_list, out_list;
bool list_valid = false;
std::chrono::steady_clock::time_point list_time;
std::vector<std::string> name_override;

void QuietErrors(const char*, int, const char*, int, const char*, ...) {}

void InstallQuietErrors() {
    static const bool installed = [] {
        snd_lib_error_set_handler(QuietErrors);
        return true;
    }();
    (void)installed;
}

snd_pcm_stream_t StreamOf(Direction d) {
    return d == Direction::In ? SND_PCM_STREAM_CAPTURE : SND_PCM_STREAM_PLAYBACK;
}

// Largest channel count the PCM offers; 0 when it is busy, -1 when it cannot be opened.
int ProbeChannels(const char* pcm_name, Direction direction) {
    snd_pcm_t* pcm = nullptr;
    int err = snd_pcm_open(&pcm, pcm_name, StreamOf(direction), SND_PCM_NONBLOCK);
    if (err == -EBUSY) return 0;
    if (err < 0) return -1;
    snd_pcm_hw_params_t* hw = nullptr;
    int channels = -1;
    if (snd_pcm_hw_params_malloc(&hw) == 0) {
        unsigned int max = 0;
        if (snd_pcm_hw_params_any(pcm, hw) >= 0 &&
            snd_pcm_hw_params_get_channels_max(hw, &max) >= 0)
            channels = static_cast<int>(std::min<unsigned int>(max, kChannelCap));
        snd_pcm_hw_params_free(hw);
    }
    snd_pcm_close(pcm);
    return channels;
}

void AddEntry(std::vector<Entry>& list, const char* pcm_name, const char* name, int channels) {
    if (static_cast<int>(list.size()) >= kMaxListed) return;
    Entry e{};
    std::snprintf(e.pcm, sizeof(e.pcm), "%s", pcm_name);
    std::snprintf(e.name, sizeof(e.name), "%s", name);
    e.channels = channels;
    list.push_back(e);
}

void Enumerate(Direction direction, std::vector<Entry>& list) {
    list.clear();
    if (!name_override.empty()) {
        for (const std::string& n : name_override) {
            int channels = ProbeChannels(n.c_str(), direction);
            if (channels >= 0) AddEntry(list, n.c_str(), n.c_str(), channels);
        }
        return;
    }
    void** hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) < 0 || hints == nullptr) return;
    for (void** h = hints; *h != nullptr; ++h) {
        char* name = snd_device_name_get_hint(*h, "NAME");
        char* desc = snd_device_name_get_hint(*h, "DESC");
        char* ioid = snd_device_name_get_hint(*h, "IOID");
        const bool wanted_io =
            ioid == nullptr ||
            std::strcmp(ioid, direction == Direction::In ? "Input" : "Output") == 0;
        const bool hw = name != nullptr && std::strncmp(name, "hw:", 3) == 0;
        const bool plug = name != nullptr && std::strncmp(name, "plughw:", 7) == 0;
        if (wanted_io && (hw || plug)) {
            // The channel count of a plug device is that of the hardware under it.
            std::string probe = plug ? std::string("hw:") + (name + 7) : std::string(name);
            int channels = ProbeChannels(probe.c_str(), direction);
            if (channels >= 0) {
                char shown[32];
                std::string first_line = desc != nullptr ? desc : name;
                first_line = first_line.substr(0, first_line.find('\n'));
                std::snprintf(shown, sizeof(shown), "%s%s", plug ? "Plug " : "",
                              first_line.c_str());
                AddEntry(list, name, shown, channels);
            }
        }
        std::free(name);
        std::free(desc);
        std::free(ioid);
    }
    snd_device_name_free_hint(hints);
}

bool AnyAlsaOpen() {
    for (Direction dir : {Direction::In, Direction::Out}) {
        Device* table = DeviceTable(dir);
        for (int i = 0; i < kMaxOpenDevices; ++i)
            if (table[i].open && table[i].backend == AudioBackend::Alsa) return true;
    }
    return false;
}

// Under list_mutex. The list is kept while a device is open, so that ids stay what they were.
void RefreshList() {
    const auto now = std::chrono::steady_clock::now();
    if (list_valid && now - list_time < std::chrono::seconds(3)) return;
    {
        std::lock_guard lock(AudioMutex());
        if (list_valid && AnyAlsaOpen()) return;
    }
    InstallQuietErrors();
    Enumerate(Direction::In, in_list);
    Enumerate(Direction::Out, out_list);
    list_valid = true;
    list_time = now;
}

MMRESULT OpenError(int err) {
    if (err == -EBUSY) return MMSYSERR_ALLOCATED;
    if (err == -ENOENT || err == -ENODEV || err == -ENXIO) return MMSYSERR_NODRIVER;
    if (err == -ENOMEM) return MMSYSERR_NOMEM;
    return MMSYSERR_ERROR;
}

// Configures the PCM for the device's format. Returns 0 or a negative ALSA error.
int Configure(AlsaStream& s, const StreamFormat& f) {
    snd_pcm_hw_params_t* hw = nullptr;
    int err = snd_pcm_hw_params_malloc(&hw);
    if (err < 0) return err;
    snd_pcm_uframes_t period = f.rate > 48000 ? 2048 : 1024;
    snd_pcm_uframes_t buffer = period * 4;
    if ((err = snd_pcm_hw_params_any(s.pcm, hw)) >= 0 &&
        (err = snd_pcm_hw_params_set_access(s.pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED)) >= 0 &&
        (err = snd_pcm_hw_params_set_format(
             s.pcm, hw, f.container_bytes == 4 ? SND_PCM_FORMAT_S32_LE : SND_PCM_FORMAT_S16_LE)) >=
            0 &&
        (err = snd_pcm_hw_params_set_channels(s.pcm, hw, static_cast<unsigned>(f.channels))) >= 0 &&
        (err = snd_pcm_hw_params_set_rate(s.pcm, hw, f.rate, 0)) >= 0 &&
        (err = snd_pcm_hw_params_set_period_size_near(s.pcm, hw, &period, nullptr)) >= 0 &&
        (err = snd_pcm_hw_params_set_buffer_size_near(s.pcm, hw, &buffer)) >= 0) {
        err = snd_pcm_hw_params(s.pcm, hw);
    }
    snd_pcm_hw_params_free(hw);
    return err < 0 ? err : 0;
}

int ConfigureSoftware(AlsaStream& s, Direction direction) {
    snd_pcm_uframes_t period = 0, buffer = 0;
    int err = snd_pcm_get_params(s.pcm, &buffer, &period);
    if (err < 0) return err;
    s.period = period;
    s.buffer = buffer;
    snd_pcm_sw_params_t* sw = nullptr;
    if ((err = snd_pcm_sw_params_malloc(&sw)) < 0) return err;
    // Playback starts when the ring is full (or by hand when the queue runs out before that);
    // capture starts by command.
    const snd_pcm_uframes_t threshold = direction == Direction::Out ? buffer : buffer * 2;
    if ((err = snd_pcm_sw_params_current(s.pcm, sw)) >= 0 &&
        (err = snd_pcm_sw_params_set_start_threshold(s.pcm, sw, threshold)) >= 0 &&
        (err = snd_pcm_sw_params_set_avail_min(s.pcm, sw, period)) >= 0) {
        err = snd_pcm_sw_params(s.pcm, sw);
    }
    snd_pcm_sw_params_free(sw);
    if (err < 0) return err;
    return snd_pcm_prepare(s.pcm);
}

void Wake(AlsaStream& s) {
    const std::uint64_t one = 1;
    ssize_t written = write(s.wake_fd, &one, sizeof(one));
    (void)written;  // a full counter already wakes the thread
}

// I/O thread: over- or underrun, or a lost device. A playback ring that ran dry after the last
// queued header is the end of the stream, not an underrun; it counts only if more data follows.
void Recover(AlsaStream& s, int err) {
    Device& d = *s.device;
    if (err == -EPIPE || err == -ESTRPIPE) {
        bool ran_dry = false;
        if (d.direction == Direction::Out) {
            std::lock_guard lock(AudioMutex());
            // Whatever was in the ring has been played (or lost with the device's time).
            while (s.written > 0) {
                CompleteHead(d);
                --s.written;
            }
            ran_dry = d.count == 0 && err == -EPIPE;
            s.starved = ran_dry;
        }
        if (!ran_dry) d.xruns.fetch_add(1);
        if (err == -ESTRPIPE) {
            for (int i = 0; i < 100 && snd_pcm_resume(s.pcm) == -EAGAIN; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (snd_pcm_prepare(s.pcm) >= 0) {
            bool restart = false;
            {
                std::lock_guard lock(AudioMutex());
                restart = d.direction == Direction::In && d.running;
            }
            if (restart) snd_pcm_start(s.pcm);
            return;
        }
    }
    // The device is gone: give every header back and refuse new ones.
    snd_pcm_drop(s.pcm);
    std::lock_guard lock(AudioMutex());
    d.failed = true;
    d.running = false;
    s.written = 0;
    s.write_bytes = 0;
    ReturnAllQueued(d);
}

// I/O thread: moves as many frames as ALSA gives into the oldest header.
void TransferCapture(AlsaStream& s) {
    Device& d = *s.device;
    snd_pcm_sframes_t avail = snd_pcm_avail_update(s.pcm);
    if (avail < 0) {
        Recover(s, static_cast<int>(avail));
        return;
    }
    WAVEHDR* h = nullptr;
    DWORD offset = 0;
    {
        std::lock_guard lock(AudioMutex());
        if (d.count == 0 || d.failed || !d.running) return;
        h = d.queue[d.head];
        offset = d.head_bytes;
    }
    const DWORD block = static_cast<DWORD>(d.format.block_align);
    const snd_pcm_uframes_t left = (h->dwBufferLength - offset) / block;
    const snd_pcm_uframes_t n =
        std::min<snd_pcm_uframes_t>(static_cast<snd_pcm_uframes_t>(avail), left);
    if (n == 0) return;
    // Only this thread takes headers off the queue, so `h` stays queued meanwhile.
    snd_pcm_sframes_t moved = snd_pcm_readi(s.pcm, h->lpData + offset, n);
    if (moved == -EAGAIN) return;
    if (moved < 0) {
        Recover(s, static_cast<int>(moved));
        return;
    }
    std::lock_guard lock(AudioMutex());
    d.head_bytes += static_cast<DWORD>(moved) * block;
    if (h->dwBufferLength - d.head_bytes < block) CompleteHead(d);
}

// I/O thread: returns the headers the ring has played, then writes as many frames as the ring
// takes from the next header that is not yet wholly in it.
void TransferPlayback(AlsaStream& s) {
    Device& d = *s.device;
    snd_pcm_sframes_t avail = snd_pcm_avail_update(s.pcm);
    if (avail < 0) {
        Recover(s, static_cast<int>(avail));
        return;
    }
    const auto in_ring = static_cast<std::int64_t>(s.buffer) - static_cast<std::int64_t>(avail);
    const std::int64_t played = s.frames_written - std::max<std::int64_t>(in_ring, 0);
    WAVEHDR* h = nullptr;
    {
        std::lock_guard lock(AudioMutex());
        while (s.written > 0 && s.end_frame[d.head] <= played) {
            CompleteHead(d);
            --s.written;
        }
        if (d.failed || d.count <= s.written)
            h = nullptr;
        else
            h = d.queue[(d.head + s.written) % kMaxQueued];
        if (h != nullptr && s.starved) {
            d.xruns.fetch_add(1);  // data after the ring ran dry: a gap in the stream
            s.starved = false;
        }
    }
    const DWORD block = static_cast<DWORD>(d.format.block_align);
    if (h != nullptr && avail > 0) {
        const snd_pcm_uframes_t left = (h->dwBufferLength - s.write_bytes) / block;
        const snd_pcm_uframes_t n =
            std::min<snd_pcm_uframes_t>(static_cast<snd_pcm_uframes_t>(avail), left);
        snd_pcm_sframes_t moved = snd_pcm_writei(s.pcm, h->lpData + s.write_bytes, n);
        if (moved == -EAGAIN) return;
        if (moved < 0) {
            Recover(s, static_cast<int>(moved));
            return;
        }
        s.frames_written += moved;
        s.write_bytes += static_cast<DWORD>(moved) * block;
        avail -= moved;
        if (h->dwBufferLength - s.write_bytes < block) {
            std::lock_guard lock(AudioMutex());
            s.end_frame[(d.head + s.written) % kMaxQueued] = s.frames_written;
            ++s.written;
            s.write_bytes = 0;
            d.running = true;
        }
    }
    if (snd_pcm_state(s.pcm) == SND_PCM_STATE_PREPARED && s.frames_written > 0) {
        bool more;
        {
            std::lock_guard lock(AudioMutex());
            more = d.count > s.written;
        }
        // The ring is full, or the queue ran out before it filled: play.
        if (!more || avail == 0) snd_pcm_start(s.pcm);
    }
}

// I/O thread: runs one command of the API.
MMRESULT RunCommand(AlsaStream& s, int command) {
    Device& d = *s.device;
    switch (command) {
        case static_cast<int>(AlsaCommand::Start): {
            {
                std::lock_guard lock(AudioMutex());
                if (d.failed) return MMSYSERR_NODRIVER;
                d.running = true;
                d.starved = false;
            }
            snd_pcm_state_t st = snd_pcm_state(s.pcm);
            if (st != SND_PCM_STATE_PREPARED && st != SND_PCM_STATE_RUNNING) snd_pcm_prepare(s.pcm);
            if (snd_pcm_state(s.pcm) == SND_PCM_STATE_PREPARED) {
                int err = snd_pcm_start(s.pcm);
                if (err < 0) {
                    std::lock_guard lock(AudioMutex());
                    d.running = false;
                    return MMSYSERR_ERROR;
                }
            }
            return MMSYSERR_NOERROR;
        }
        case static_cast<int>(AlsaCommand::Stop): {
            snd_pcm_drop(s.pcm);
            snd_pcm_prepare(s.pcm);
            std::lock_guard lock(AudioMutex());
            d.running = false;
            if (d.count > 0 && d.head_bytes > 0) CompleteHead(d);
            return MMSYSERR_NOERROR;
        }
        case static_cast<int>(AlsaCommand::Reset): {
            snd_pcm_drop(s.pcm);
            snd_pcm_prepare(s.pcm);
            std::lock_guard lock(AudioMutex());
            d.running = false;
            ReturnAllQueued(d);
            s.written = 0;
            s.write_bytes = 0;
            s.starved = false;
            return MMSYSERR_NOERROR;
        }
        default:
            snd_pcm_drop(s.pcm);
            return MMSYSERR_NOERROR;
    }
}

void IoThread(AlsaStream* s) {
    Device& d = *s->device;
    const bool capture = d.direction == Direction::In;
    for (;;) {
        int command = -1;
        {
            std::lock_guard lock(s->command_mutex);
            if (s->command_pending) command = s->command;
        }
        if (command >= 0) {
            MMRESULT r = RunCommand(*s, command);
            {
                std::lock_guard lock(s->command_mutex);
                s->command_result = r;
                s->command_pending = false;
            }
            s->command_done.notify_all();
            if (command == kQuit) return;
        }
        bool want;
        {
            std::lock_guard lock(AudioMutex());
            want = !d.failed && d.count > 0 && (!capture || d.running);
        }
        nfds_t nfds = 1;
        s->fds[0] = pollfd{s->wake_fd, POLLIN, 0};
        if (want) {
            int n = snd_pcm_poll_descriptors(s->pcm, s->fds.data() + 1,
                                             static_cast<unsigned>(s->fds.size() - 1));
            if (n > 0) nfds += static_cast<nfds_t>(n);
        }
        int ready = poll(s->fds.data(), nfds, want ? 1000 : -1);
        if (ready > 0 && (s->fds[0].revents & POLLIN)) {
            std::uint64_t counter;
            ssize_t got = read(s->wake_fd, &counter, sizeof(counter));
            (void)got;
        }
        if (want) {
            if (capture)
                TransferCapture(*s);
            else
                TransferPlayback(*s);
        }
    }
}

void RaisePriority(std::thread& t) {
    // Without the right to real-time scheduling the thread keeps its normal priority.
    (void)SetRealtimeLevel(t.native_handle(), RealtimeRank::kSoundTransfer);
}

}  // namespace

UINT AlsaDeviceCount(Direction direction) {
    std::lock_guard lock(list_mutex);
    RefreshList();
    return static_cast<UINT>(direction == Direction::In ? in_list.size() : out_list.size());
}

bool AlsaDeviceCaps(Direction direction, UINT id, char name[32], int* channels) {
    std::lock_guard lock(list_mutex);
    RefreshList();
    const auto& list = direction == Direction::In ? in_list : out_list;
    if (id >= list.size()) return false;
    std::snprintf(name, 32, "%s", list[id].name);
    *channels = list[id].channels;
    return true;
}

bool AlsaNamesOverridden() {
    std::lock_guard lock(list_mutex);
    return !name_override.empty();
}

MMRESULT AlsaOpen(Device& d, UINT id) {
    char pcm_name[64];
    {
        std::lock_guard lock(list_mutex);
        RefreshList();
        const auto& list = d.direction == Direction::In ? in_list : out_list;
        if (id >= list.size()) return MMSYSERR_BADDEVICEID;
        std::snprintf(pcm_name, sizeof(pcm_name), "%s", list[id].pcm);
    }
    auto* s = new (std::nothrow) AlsaStream();
    if (s == nullptr) return MMSYSERR_NOMEM;
    s->device = &d;
    std::snprintf(s->pcm_name, sizeof(s->pcm_name), "%s", pcm_name);
    s->wake_fd = -1;
    int err = snd_pcm_open(&s->pcm, pcm_name, StreamOf(d.direction), SND_PCM_NONBLOCK);
    if (err < 0) {
        delete s;
        return OpenError(err);
    }
    MMRESULT result = MMSYSERR_NOERROR;
    if (Configure(*s, d.format) < 0) result = WAVERR_BADFORMAT;
    if (result == MMSYSERR_NOERROR && ConfigureSoftware(*s, d.direction) < 0)
        result = MMSYSERR_ERROR;
    if (result == MMSYSERR_NOERROR) {
        s->wake_fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (s->wake_fd < 0) result = MMSYSERR_NOMEM;
    }
    if (result == MMSYSERR_NOERROR) {
        int n = snd_pcm_poll_descriptors_count(s->pcm);
        s->fds.assign(static_cast<std::size_t>(1 + std::max(n, 0)), pollfd{});
        d.alsa = s;
        try {
            s->thread = std::thread(IoThread, s);
            RaisePriority(s->thread);
        } catch (...) {
            d.alsa = nullptr;
            result = MMSYSERR_NOMEM;
        }
    }
    if (result != MMSYSERR_NOERROR) {
        snd_pcm_close(s->pcm);
        if (s->wake_fd >= 0) close(s->wake_fd);
        delete s;
    }
    return result;
}

MMRESULT AlsaRun(Device& d, AlsaCommand command) {
    AlsaStream* s = d.alsa;
    if (s == nullptr) return MMSYSERR_NODRIVER;
    std::unique_lock lock(s->command_mutex);
    s->command_done.wait(lock, [&] { return !s->command_pending; });
    s->command = static_cast<int>(command);
    s->command_pending = true;
    Wake(*s);
    s->command_done.wait(lock, [&] { return !s->command_pending; });
    return s->command_result;
}

void AlsaKick(Device& d) {
    if (d.alsa != nullptr) Wake(*d.alsa);
}

void AlsaClose(Device& d) {
    AlsaStream* s = d.alsa;
    if (s == nullptr) return;
    {
        std::unique_lock lock(s->command_mutex);
        s->command_done.wait(lock, [&] { return !s->command_pending; });
        s->command = kQuit;
        s->command_pending = true;
        Wake(*s);
    }
    s->thread.join();
    snd_pcm_close(s->pcm);
    close(s->wake_fd);
    d.alsa = nullptr;
    delete s;
}

void AlsaStreamInfo(const Device& d, WaveStreamInfo* info) {
    if (d.alsa == nullptr) return;
    std::snprintf(info->device_name, sizeof(info->device_name), "%s", d.alsa->pcm_name);
    info->period_frames = static_cast<DWORD>(d.alsa->period);
    info->buffer_frames = static_cast<DWORD>(d.alsa->buffer);
}

}  // namespace platform::audio

namespace platform {

void SetAlsaDeviceNames(const char* const* names, int count) {
    std::lock_guard lock(audio::list_mutex);
    audio::name_override.clear();
    for (int i = 0; i < count && names != nullptr; ++i)
        if (names[i] != nullptr) audio::name_override.emplace_back(names[i]);
    audio::list_valid = false;
}

}  // namespace platform
