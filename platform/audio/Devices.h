// Inside the audio layer: the table of open wave devices shared by the API (WaveApi.cpp), the
// virtual card (VirtualCard.cpp) and the ALSA backend (Alsa.cpp). Not for the system's code.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/audio/VirtualCard.h"
#include "platform/audio/Wave.h"

namespace platform::audio {

enum class Direction { In, Out };

inline constexpr int kMaxOpenDevices = 16;  // per direction
inline constexpr int kMaxQueued = 64;       // headers queued on one device

struct StreamFormat {
    int channels;
    DWORD rate;
    int container_bytes;  // 2 or 4
    int valid_bits;       // 16 or 24
    int block_align;      // channels x container_bytes
};

struct AlsaStream;  // Alsa.cpp

struct Device {
    bool open;
    std::uint32_t generation;
    std::uint32_t handle_value;  // generation << 8 | (slot + 1)
    Direction direction;
    AudioBackend backend;
    UINT device_id;
    HWND window;
    bool post;  // CALLBACK_WINDOW
    StreamFormat format;

    // Queued headers, oldest first: queue[(head + i) % kMaxQueued], i < count.
    WAVEHDR* queue[kMaxQueued];
    int head;
    int count;
    DWORD head_bytes;  // bytes moved into or out of the oldest header

    bool running;  // input: started; output: has played since the last reset
    bool failed;   // the backend lost the device: queued headers were returned, new ones refused
    bool starved;  // input: running with nothing queued (one xrun per episode);
                   // output: ran dry after playing (an xrun if more data follows)
    std::atomic<long> xruns;

    AlsaStream* alsa;

    // Virtual card: the device's frames so far on its clock, and frames recorded since start.
    std::int64_t clock_frames;
    std::int64_t input_frames;
};

// One lock for the device table and the virtual card. Held only for bookkeeping and for copying
// whole frames; never while waiting for a device.
std::mutex& AudioMutex();

Device* DeviceTable(Direction direction);  // kMaxOpenDevices entries

// Under AudioMutex: the oldest queued header is complete. Sets its bytes recorded (input), then
// WHDR_DONE (clearing WHDR_INQUEUE), then posts MM_WIM_DATA or MM_WOM_DONE.
void CompleteHead(Device& device);
// Under AudioMutex: returns every queued header done, in queue order.
void ReturnAllQueued(Device& device);

// ALSA backend (Alsa.cpp).
UINT AlsaDeviceCount(Direction direction);
bool AlsaDeviceCaps(Direction direction, UINT id, char name[32], int* channels);
// Opens the PCM, configures it and starts the device's I/O thread. Called without AudioMutex.
MMRESULT AlsaOpen(Device& device, UINT id);
// Stops the thread and closes the PCM. Called without AudioMutex.
void AlsaClose(Device& device);
// A header was queued: wakes the I/O thread. Under AudioMutex or not.
void AlsaKick(Device& device);
enum class AlsaCommand { Start, Stop, Reset };
// Runs `command` on the I/O thread and waits for it. Called without AudioMutex.
MMRESULT AlsaRun(Device& device, AlsaCommand command);
void AlsaStreamInfo(const Device& device, WaveStreamInfo* info);
bool AlsaNamesOverridden();

// Virtual card (VirtualCard.cpp); all under AudioMutex.
UINT VirtualDeviceCount(Direction direction);
bool VirtualDeviceCaps(Direction direction, UINT id, char name[32], int* channels);
void VirtualOnOpen(Device& device);
void VirtualOnClose();
void VirtualOnStart(Device& device);
// Returns the injected failure of `call`, or MMSYSERR_NOERROR.
MMRESULT VirtualTakeFailure(WaveCall call);

}  // namespace platform::audio
