// The wave API: handles, the header protocol, format checks and error texts. The backends move
// the samples; this file keeps the queue of every device and returns headers.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/audio/Devices.h"
#include "platform/ui/Messages.h"

namespace platform {
namespace audio {
namespace {

std::mutex audio_mutex;
Device in_devices[kMaxOpenDevices];
Device out_devices[kMaxOpenDevices];
std::atomic<int> selected_backend{-1};  // -1: not chosen yet

constexpr DWORD kRates[] = {11025, 12000, 22050, 24000, 44100, 48000, 96000, 192000};

bool KnownRate(DWORD rate) {
    return std::find(std::begin(kRates), std::end(kRates), rate) != std::end(kRates);
}

// Checks a format and reduces it to what the backends need.
MMRESULT CheckFormat(const WAVEFORMATEX* f, StreamFormat* out) {
    if (f == nullptr) return MMSYSERR_INVALPARAM;
    int container_bits = f->wBitsPerSample;
    int valid_bits = container_bits;
    if (f->wFormatTag == WAVE_FORMAT_EXTENSIBLE) {
        if (f->cbSize < 22) return WAVERR_BADFORMAT;
        const auto* ext = reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(f);
        if (!(ext->SubFormat == KSDATAFORMAT_SUBTYPE_PCM)) return WAVERR_BADFORMAT;
        valid_bits = ext->Samples.wValidBitsPerSample;
        if (!((container_bits == 32 && valid_bits == 24) ||
              (container_bits == 16 && valid_bits == 16)))
            return WAVERR_BADFORMAT;
    } else if (f->wFormatTag == WAVE_FORMAT_PCM) {
        if (container_bits != 16) return WAVERR_BADFORMAT;
    } else {
        return WAVERR_BADFORMAT;
    }
    if (f->nChannels < 1 || f->nChannels > kVirtualMaxChannels) return WAVERR_BADFORMAT;
    if (!KnownRate(f->nSamplesPerSec)) return WAVERR_BADFORMAT;
    const int block = f->nChannels * container_bits / 8;
    if (f->nBlockAlign != block) return WAVERR_BADFORMAT;
    if (f->nAvgBytesPerSec != static_cast<DWORD>(block) * f->nSamplesPerSec)
        return WAVERR_BADFORMAT;
    *out = StreamFormat{f->nChannels, f->nSamplesPerSec, container_bits / 8, valid_bits, block};
    return MMSYSERR_NOERROR;
}

Device* Find(Direction direction, std::uint32_t value) {
    const std::uint32_t slot = (value & 0xFF);
    if (slot == 0 || slot > kMaxOpenDevices) return nullptr;
    Device& d = DeviceTable(direction)[slot - 1];
    if (!d.open || d.handle_value != value) return nullptr;
    return &d;
}

bool Virtual() { return SelectedAudioBackend() == AudioBackend::Virtual; }

WaveCall Call(Direction direction, WaveCall in_call, WaveCall out_call) {
    return direction == Direction::In ? in_call : out_call;
}

UINT DeviceCount(Direction direction) {
    if (Virtual()) {
        std::lock_guard lock(audio_mutex);
        return VirtualDeviceCount(direction);
    }
    return AlsaDeviceCount(direction);
}

MMRESULT DeviceCaps(Direction direction, UINT id, char name[32], WORD* channels, UINT caps_size,
                    UINT expected_size) {
    if (name == nullptr || channels == nullptr || caps_size < expected_size)
        return MMSYSERR_INVALPARAM;
    int count = 0;
    bool ok = false;
    if (Virtual()) {
        std::lock_guard lock(audio_mutex);
        MMRESULT injected =
            VirtualTakeFailure(Call(direction, WaveCall::InCaps, WaveCall::OutCaps));
        if (injected != MMSYSERR_NOERROR) return injected;
        ok = VirtualDeviceCaps(direction, id, name, &count);
    } else {
        ok = AlsaDeviceCaps(direction, id, name, &count);
    }
    if (!ok) return MMSYSERR_BADDEVICEID;
    name[31] = '\0';
    *channels = static_cast<WORD>(std::clamp(count, 0, 0xFFFF));
    return MMSYSERR_NOERROR;
}

MMRESULT Open(Direction direction, std::uint32_t* handle_value, UINT id, const WAVEFORMATEX* format,
              HWND callback, DWORD flags) {
    if (handle_value == nullptr) return MMSYSERR_INVALPARAM;
    *handle_value = 0;
    if (flags != CALLBACK_NULL && flags != CALLBACK_WINDOW) return MMSYSERR_INVALFLAG;
    StreamFormat sf{};
    const AudioBackend backend = SelectedAudioBackend();
    Device* table = DeviceTable(direction);
    Device* device = nullptr;
    {
        std::lock_guard lock(audio_mutex);
        if (backend == AudioBackend::Virtual) {
            MMRESULT injected =
                VirtualTakeFailure(Call(direction, WaveCall::InOpen, WaveCall::OutOpen));
            if (injected != MMSYSERR_NOERROR) return injected;
        }
        MMRESULT r = CheckFormat(format, &sf);
        if (r != MMSYSERR_NOERROR) return r;
        if (backend == AudioBackend::Virtual) {
            char name[32];
            int channels = 0;
            if (!VirtualDeviceCaps(direction, id, name, &channels)) return MMSYSERR_BADDEVICEID;
            if (sf.channels > channels) return WAVERR_BADFORMAT;
        }
        for (int i = 0; i < kMaxOpenDevices; ++i) {
            if (table[i].open && table[i].backend == backend && table[i].device_id == id)
                return MMSYSERR_ALLOCATED;
        }
        for (int i = 0; i < kMaxOpenDevices && device == nullptr; ++i) {
            if (table[i].open) continue;
            device = &table[i];
            device->open = true;
            device->generation = (device->generation + 1) & 0xFFFFFF;
            if (device->generation == 0) device->generation = 1;
            device->handle_value = (device->generation << 8) | static_cast<std::uint32_t>(i + 1);
        }
        if (device == nullptr) return MMSYSERR_ALLOCATED;
        device->direction = direction;
        device->backend = backend;
        device->device_id = id;
        device->window = callback;
        device->post = (flags == CALLBACK_WINDOW);
        device->format = sf;
        device->head = 0;
        device->count = 0;
        device->head_bytes = 0;
        device->running = false;
        device->starved = false;
        device->failed = false;
        device->xruns.store(0);
        device->alsa = nullptr;
        device->clock_frames = 0;
        device->input_frames = 0;
        if (backend == AudioBackend::Virtual) {
            VirtualOnOpen(*device);
            *handle_value = device->handle_value;
            if (device->post)
                PostMessage(device->window, direction == Direction::In ? MM_WIM_OPEN : MM_WOM_OPEN,
                            device->handle_value, 0);
            return MMSYSERR_NOERROR;
        }
    }
    MMRESULT r = AlsaOpen(*device, id);
    std::lock_guard lock(audio_mutex);
    if (r != MMSYSERR_NOERROR) {
        device->open = false;
        return r;
    }
    *handle_value = device->handle_value;
    if (device->post)
        PostMessage(device->window, direction == Direction::In ? MM_WIM_OPEN : MM_WOM_OPEN,
                    device->handle_value, 0);
    return MMSYSERR_NOERROR;
}

MMRESULT Prepare(Direction direction, std::uint32_t value, WAVEHDR* header, UINT size) {
    std::lock_guard lock(audio_mutex);
    Device* d = Find(direction, value);
    if (d == nullptr) return MMSYSERR_INVALHANDLE;
    if (d->backend == AudioBackend::Virtual) {
        MMRESULT injected =
            VirtualTakeFailure(Call(direction, WaveCall::InPrepare, WaveCall::OutPrepare));
        if (injected != MMSYSERR_NOERROR) return injected;
    }
    if (header == nullptr || size < sizeof(WAVEHDR) || header->lpData == nullptr ||
        header->dwBufferLength == 0)
        return MMSYSERR_INVALPARAM;
    if (header->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT Unprepare(Direction direction, std::uint32_t value, WAVEHDR* header, UINT size) {
    std::lock_guard lock(audio_mutex);
    Device* d = Find(direction, value);
    if (d == nullptr) return MMSYSERR_INVALHANDLE;
    if (d->backend == AudioBackend::Virtual) {
        MMRESULT injected =
            VirtualTakeFailure(Call(direction, WaveCall::InUnprepare, WaveCall::OutUnprepare));
        if (injected != MMSYSERR_NOERROR) return injected;
    }
    if (header == nullptr || size < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    if (std::atomic_ref<DWORD>(header->dwFlags).load(std::memory_order_acquire) & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT Queue(Direction direction, std::uint32_t value, WAVEHDR* header, UINT size) {
    std::lock_guard lock(audio_mutex);
    Device* d = Find(direction, value);
    if (d == nullptr) return MMSYSERR_INVALHANDLE;
    if (d->backend == AudioBackend::Virtual) {
        MMRESULT injected =
            VirtualTakeFailure(Call(direction, WaveCall::InAdd, WaveCall::OutWrite));
        if (injected != MMSYSERR_NOERROR) return injected;
    }
    if (header == nullptr || size < sizeof(WAVEHDR) || header->lpData == nullptr)
        return MMSYSERR_INVALPARAM;
    const DWORD flags = std::atomic_ref<DWORD>(header->dwFlags).load(std::memory_order_acquire);
    if (!(flags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (flags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    if (header->dwBufferLength < static_cast<DWORD>(d->format.block_align))
        return MMSYSERR_INVALPARAM;
    if (d->failed) return MMSYSERR_NODRIVER;
    if (d->count >= kMaxQueued) return MMSYSERR_NOMEM;
    header->dwBytesRecorded = 0;
    std::atomic_ref<DWORD>(header->dwFlags)
        .store((flags & ~WHDR_DONE) | WHDR_INQUEUE, std::memory_order_release);
    d->queue[(d->head + d->count) % kMaxQueued] = header;
    ++d->count;
    if (d->backend == AudioBackend::Alsa) AlsaKick(*d);
    return MMSYSERR_NOERROR;
}

// Start, stop and reset: the virtual card does them here, the ALSA I/O thread on its side.
MMRESULT Control(Direction direction, std::uint32_t value, AlsaCommand command) {
    Device* d = nullptr;
    {
        std::lock_guard lock(audio_mutex);
        d = Find(direction, value);
        if (d == nullptr) return MMSYSERR_INVALHANDLE;
        if (d->backend == AudioBackend::Virtual) {
            WaveCall call = WaveCall::InStart;
            if (command == AlsaCommand::Stop) call = WaveCall::InStop;
            if (command == AlsaCommand::Reset)
                call = direction == Direction::In ? WaveCall::InReset : WaveCall::OutReset;
            MMRESULT injected = VirtualTakeFailure(call);
            if (injected != MMSYSERR_NOERROR) return injected;
            switch (command) {
                case AlsaCommand::Start:
                    if (!d->running) VirtualOnStart(*d);
                    d->running = true;
                    break;
                case AlsaCommand::Stop:
                    d->running = false;
                    if (d->count > 0 && d->head_bytes > 0) CompleteHead(*d);
                    break;
                case AlsaCommand::Reset:
                    d->running = false;
                    d->starved = false;
                    d->input_frames = 0;
                    ReturnAllQueued(*d);
                    break;
            }
            return MMSYSERR_NOERROR;
        }
    }
    return AlsaRun(*d, command);
}

MMRESULT Close(Direction direction, std::uint32_t value) {
    Device* d = nullptr;
    {
        std::lock_guard lock(audio_mutex);
        d = Find(direction, value);
        if (d == nullptr) return MMSYSERR_INVALHANDLE;
        if (d->backend == AudioBackend::Virtual) {
            MMRESULT injected =
                VirtualTakeFailure(Call(direction, WaveCall::InClose, WaveCall::OutClose));
            if (injected != MMSYSERR_NOERROR) return injected;
        }
        if (d->count > 0) return WAVERR_STILLPLAYING;
        if (d->backend == AudioBackend::Virtual) {
            d->open = false;
            VirtualOnClose();
            if (d->post)
                PostMessage(d->window, direction == Direction::In ? MM_WIM_CLOSE : MM_WOM_CLOSE,
                            value, 0);
            return MMSYSERR_NOERROR;
        }
    }
    AlsaClose(*d);
    std::lock_guard lock(audio_mutex);
    d->open = false;
    if (d->post)
        PostMessage(d->window, direction == Direction::In ? MM_WIM_CLOSE : MM_WOM_CLOSE, value, 0);
    return MMSYSERR_NOERROR;
}

long Xruns(Direction direction, std::uint32_t value) {
    std::lock_guard lock(audio_mutex);
    Device* d = Find(direction, value);
    return d == nullptr ? -1 : d->xruns.load();
}

MMRESULT StreamInfo(Direction direction, std::uint32_t value, WaveStreamInfo* info) {
    if (info == nullptr) return MMSYSERR_INVALPARAM;
    std::lock_guard lock(audio_mutex);
    Device* d = Find(direction, value);
    if (d == nullptr) return MMSYSERR_INVALHANDLE;
    *info = WaveStreamInfo{};
    info->backend = d->backend;
    info->channels = d->format.channels;
    info->rate = d->format.rate;
    info->container_bits = d->format.container_bytes * 8;
    info->valid_bits = d->format.valid_bits;
    if (d->backend == AudioBackend::Alsa) {
        AlsaStreamInfo(*d, info);
    } else {
        int channels = 0;
        VirtualDeviceCaps(direction, d->device_id, info->device_name, &channels);
    }
    info->device_name[sizeof(info->device_name) - 1] = '\0';
    return MMSYSERR_NOERROR;
}

MMRESULT ErrorText(MMRESULT error, char* text, UINT size) {
    if (text == nullptr || size == 0) return MMSYSERR_INVALPARAM;
    const char* message = nullptr;
    switch (error) {
        case MMSYSERR_NOERROR:
            message = "The sound device reported no error.";
            break;
        case MMSYSERR_ERROR:
            message = "The sound device failed for an unknown reason.";
            break;
        case MMSYSERR_BADDEVICEID:
            message = "There is no sound device with this number.";
            break;
        case MMSYSERR_ALLOCATED:
            message =
                "The sound device is already in use; close the program or window that uses it.";
            break;
        case MMSYSERR_INVALHANDLE:
            message =
                "The sound device handle is not valid: the device is closed or was never opened.";
            break;
        case MMSYSERR_NODRIVER:
            message = "The sound device or its driver is not available.";
            break;
        case MMSYSERR_NOMEM:
            message = "Not enough memory, or too many buffers queued on the sound device.";
            break;
        case MMSYSERR_NOTSUPPORTED:
            message = "The sound device does not offer this function.";
            break;
        case MMSYSERR_BADERRNUM:
            message = "The sound device reported an unknown error number.";
            break;
        case MMSYSERR_INVALFLAG:
            message = "A flag given to the sound device is not valid.";
            break;
        case MMSYSERR_INVALPARAM:
            message = "A parameter given to the sound device is not valid.";
            break;
        case WAVERR_BADFORMAT:
            message =
                "The sound device cannot use this format (channels, sample rate or sample size).";
            break;
        case WAVERR_STILLPLAYING:
            message = "Buffers are still queued on the sound device; reset the device first.";
            break;
        case WAVERR_UNPREPARED:
            message = "The wave buffer header has not been prepared.";
            break;
        default:
            break;
    }
    if (message == nullptr) {
        std::snprintf(text, size, "Unknown sound device error %u.", error);
        return MMSYSERR_BADERRNUM;
    }
    std::snprintf(text, size, "%s", message);
    return MMSYSERR_NOERROR;
}

}  // namespace

std::mutex& AudioMutex() { return audio_mutex; }

Device* DeviceTable(Direction direction) {
    return direction == Direction::In ? in_devices : out_devices;
}

void CompleteHead(Device& d) {
    if (d.count == 0) return;
    WAVEHDR* h = d.queue[d.head];
    d.head = (d.head + 1) % kMaxQueued;
    --d.count;
    if (d.direction == Direction::In) h->dwBytesRecorded = d.head_bytes;
    d.head_bytes = 0;
    std::atomic_ref<DWORD> flags(h->dwFlags);
    flags.store((flags.load(std::memory_order_relaxed) & ~WHDR_INQUEUE) | WHDR_DONE,
                std::memory_order_release);
    if (d.post)
        PostMessage(d.window, d.direction == Direction::In ? MM_WIM_DATA : MM_WOM_DONE,
                    d.handle_value, reinterpret_cast<LPARAM>(h));
}

void ReturnAllQueued(Device& d) {
    while (d.count > 0) CompleteHead(d);
}

}  // namespace audio

using audio::Direction;

AudioBackend SelectedAudioBackend() {
    int v = audio::selected_backend.load(std::memory_order_acquire);
    if (v < 0) {
        const char* env = std::getenv("QV_VIRTUAL_AUDIO");
        const bool use_virtual =
            env != nullptr && (std::strcmp(env, "1") == 0 || std::strcmp(env, "loopback") == 0);
        int expected = -1;
        audio::selected_backend.compare_exchange_strong(
            expected, static_cast<int>(use_virtual ? AudioBackend::Virtual : AudioBackend::Alsa));
        v = audio::selected_backend.load(std::memory_order_acquire);
    }
    return static_cast<AudioBackend>(v);
}

bool SelectAudioBackend(AudioBackend backend) {
    std::lock_guard lock(audio::audio_mutex);
    for (int i = 0; i < audio::kMaxOpenDevices; ++i)
        if (audio::in_devices[i].open || audio::out_devices[i].open) return false;
    audio::selected_backend.store(static_cast<int>(backend), std::memory_order_release);
    return true;
}

int OpenWaveDeviceCount() {
    std::lock_guard lock(audio::audio_mutex);
    int n = 0;
    for (int i = 0; i < audio::kMaxOpenDevices; ++i)
        n += (audio::in_devices[i].open ? 1 : 0) + (audio::out_devices[i].open ? 1 : 0);
    return n;
}

void ResetAudioLayer() {
    VirtualCardStopPacer();
    for (Direction dir : {Direction::In, Direction::Out}) {
        for (int i = 0; i < audio::kMaxOpenDevices; ++i) {
            std::uint32_t value = 0;
            {
                std::lock_guard lock(audio::audio_mutex);
                audio::Device& d = audio::DeviceTable(dir)[i];
                if (d.open) value = d.handle_value;
            }
            if (value == 0) continue;
            const bool in = dir == Direction::In;
            VirtualCardFailCall(in ? WaveCall::InReset : WaveCall::OutReset, 0, 0, 0);
            VirtualCardFailCall(in ? WaveCall::InClose : WaveCall::OutClose, 0, 0, 0);
            audio::Control(dir, value, audio::AlsaCommand::Reset);
            audio::Close(dir, value);
        }
    }
    VirtualCardReset();
    SetAlsaDeviceNames(nullptr, 0);
    audio::selected_backend.store(-1, std::memory_order_release);
}

UINT waveInGetNumDevs() { return audio::DeviceCount(Direction::In); }
UINT waveOutGetNumDevs() { return audio::DeviceCount(Direction::Out); }

MMRESULT waveInGetDevCaps(UINT device_id, WAVEINCAPS* caps, UINT caps_size) {
    if (caps == nullptr) return MMSYSERR_INVALPARAM;
    return audio::DeviceCaps(Direction::In, device_id, caps->szPname, &caps->wChannels, caps_size,
                             sizeof(WAVEINCAPS));
}
MMRESULT waveOutGetDevCaps(UINT device_id, WAVEOUTCAPS* caps, UINT caps_size) {
    if (caps == nullptr) return MMSYSERR_INVALPARAM;
    return audio::DeviceCaps(Direction::Out, device_id, caps->szPname, &caps->wChannels, caps_size,
                             sizeof(WAVEOUTCAPS));
}

MMRESULT waveInGetErrorText(MMRESULT error, char* text, UINT size) {
    return audio::ErrorText(error, text, size);
}
MMRESULT waveOutGetErrorText(MMRESULT error, char* text, UINT size) {
    return audio::ErrorText(error, text, size);
}

MMRESULT waveInOpen(HWAVEIN* handle, UINT device_id, const WAVEFORMATEX* format, HWND callback,
                    DWORD_PTR /*instance*/, DWORD flags) {
    if (handle == nullptr) return MMSYSERR_INVALPARAM;
    std::uint32_t value = 0;
    MMRESULT r = audio::Open(Direction::In, &value, device_id, format, callback, flags);
    *handle = HWAVEIN::FromIndex(value);
    return r;
}
MMRESULT waveInPrepareHeader(HWAVEIN h, WAVEHDR* header, UINT size) {
    return audio::Prepare(Direction::In, h.value, header, size);
}
MMRESULT waveInUnprepareHeader(HWAVEIN h, WAVEHDR* header, UINT size) {
    return audio::Unprepare(Direction::In, h.value, header, size);
}
MMRESULT waveInAddBuffer(HWAVEIN h, WAVEHDR* header, UINT size) {
    return audio::Queue(Direction::In, h.value, header, size);
}
MMRESULT waveInStart(HWAVEIN h) {
    return audio::Control(Direction::In, h.value, audio::AlsaCommand::Start);
}
MMRESULT waveInStop(HWAVEIN h) {
    return audio::Control(Direction::In, h.value, audio::AlsaCommand::Stop);
}
MMRESULT waveInReset(HWAVEIN h) {
    return audio::Control(Direction::In, h.value, audio::AlsaCommand::Reset);
}
MMRESULT waveInClose(HWAVEIN h) { return audio::Close(Direction::In, h.value); }

MMRESULT waveOutOpen(HWAVEOUT* handle, UINT device_id, const WAVEFORMATEX* format, HWND callback,
                     DWORD_PTR /*instance*/, DWORD flags) {
    if (handle == nullptr) return MMSYSERR_INVALPARAM;
    std::uint32_t value = 0;
    MMRESULT r = audio::Open(Direction::Out, &value, device_id, format, callback, flags);
    *handle = HWAVEOUT::FromIndex(value);
    return r;
}
MMRESULT waveOutPrepareHeader(HWAVEOUT h, WAVEHDR* header, UINT size) {
    return audio::Prepare(Direction::Out, h.value, header, size);
}
MMRESULT waveOutUnprepareHeader(HWAVEOUT h, WAVEHDR* header, UINT size) {
    return audio::Unprepare(Direction::Out, h.value, header, size);
}
MMRESULT waveOutWrite(HWAVEOUT h, WAVEHDR* header, UINT size) {
    return audio::Queue(Direction::Out, h.value, header, size);
}
MMRESULT waveOutReset(HWAVEOUT h) {
    return audio::Control(Direction::Out, h.value, audio::AlsaCommand::Reset);
}
MMRESULT waveOutClose(HWAVEOUT h) { return audio::Close(Direction::Out, h.value); }

long WaveInXrunCount(HWAVEIN h) { return audio::Xruns(Direction::In, h.value); }
long WaveOutXrunCount(HWAVEOUT h) { return audio::Xruns(Direction::Out, h.value); }

MMRESULT WaveInGetStreamInfo(HWAVEIN h, WaveStreamInfo* info) {
    return audio::StreamInfo(Direction::In, h.value, info);
}
MMRESULT WaveOutGetStreamInfo(HWAVEOUT h, WaveStreamInfo* info) {
    return audio::StreamInfo(Direction::Out, h.value, info);
}

}  // namespace platform
