// Wave-in and wave-out devices with the buffer-header protocol.
//
// A device is opened with a format and a callback window. The caller prepares headers that point
// at its own buffer memory, queues them (waveInAddBuffer, waveOutWrite), and gets each one back,
// whole, as MM_WIM_DATA or MM_WOM_DONE posted to the callback window (wParam = the device handle's
// value, lParam = the header's address). WHDR_DONE and dwBytesRecorded are set before the message
// is posted, and headers come back in the order they were queued. A reset returns every queued
// header done, in order; nothing that was already returned is posted again.
//
// Devices come from the ALSA backend, or from the virtual sound card (platform/audio/VirtualCard.h)
// when the test harness or QV_VIRTUAL_AUDIO=1 (or =loopback) selects it. All calls are thread-safe;
// the system makes them from the UI thread. Values of codes and messages are the layer's own.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/Types.h"

namespace platform {

using MMRESULT = UINT;
using DWORD_PTR = std::uintptr_t;

// Results. Every call returns MMSYSERR_NOERROR (0) on success.
inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_ERROR = 1;         // unspecified failure of the device
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;   // device id out of range
inline constexpr MMRESULT MMSYSERR_ALLOCATED = 3;     // device already open
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 4;   // 0, closed or foreign handle
inline constexpr MMRESULT MMSYSERR_NODRIVER = 5;      // backend missing or device gone
inline constexpr MMRESULT MMSYSERR_NOMEM = 6;         // out of memory or queue full
inline constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 7;  // call not offered by the device
inline constexpr MMRESULT MMSYSERR_BADERRNUM = 8;     // unknown result code
inline constexpr MMRESULT MMSYSERR_INVALFLAG = 9;     // flags not understood
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 10;   // null pointer, bad size or length
inline constexpr MMRESULT WAVERR_BADFORMAT = 40;      // format refused by the device
inline constexpr MMRESULT WAVERR_STILLPLAYING = 41;   // header queued, or queue not empty
inline constexpr MMRESULT WAVERR_UNPREPARED = 42;     // header not prepared

// Messages posted to the callback window.
inline constexpr UINT MM_WOM_OPEN = 0x3C1;
inline constexpr UINT MM_WOM_CLOSE = 0x3C2;
inline constexpr UINT MM_WOM_DONE = 0x3C3;
inline constexpr UINT MM_WIM_OPEN = 0x3C4;
inline constexpr UINT MM_WIM_CLOSE = 0x3C5;
inline constexpr UINT MM_WIM_DATA = 0x3C6;

// Open flags.
inline constexpr DWORD CALLBACK_NULL = 0x00000000;
inline constexpr DWORD CALLBACK_WINDOW = 0x00010000;

// Format tags.
inline constexpr WORD WAVE_FORMAT_PCM = 0x0001;
inline constexpr WORD WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

// Description of a stream: plain PCM (cbSize 0), or the first part of WAVEFORMATEXTENSIBLE
// (tag WAVE_FORMAT_EXTENSIBLE, cbSize 22). A call parameter, never a file image.
struct WAVEFORMATEX {
    WORD wFormatTag;        // WAVE_FORMAT_PCM or WAVE_FORMAT_EXTENSIBLE
    WORD nChannels;         // 1..16
    DWORD nSamplesPerSec;   // frames per second
    DWORD nAvgBytesPerSec;  // nBlockAlign x nSamplesPerSec
    WORD nBlockAlign;       // bytes per frame: nChannels x container bytes
    WORD wBitsPerSample;    // container bits: 16, or 32 with the extensible tag
    WORD cbSize;            // bytes of extension that follow: 0 or 22
};

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
constexpr bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}

// The layer's identifier of integer PCM samples in the extensible format.
inline constexpr GUID KSDATAFORMAT_SUBTYPE_PCM = {
    0x00000001, 0x5156, 0x4D50, {'Q', 'V', 'P', 'C', 'M', 0, 0, 1}};

// Multi-channel format: 32-bit containers carrying wValidBitsPerSample significant bits (24) in
// their upper bits, and the speaker positions of the channels (informational).
struct WAVEFORMATEXTENSIBLE {
    WAVEFORMATEX Format;
    union {
        WORD wValidBitsPerSample;  // 24 (or 16 in 16-bit containers)
        WORD wSamplesPerBlock;
        WORD wReserved;
    } Samples;
    DWORD dwChannelMask;  // speaker bits; 0, 0x3, 0x63F, 0xFFFF, 0xFFFFFFFF are all accepted
    GUID SubFormat;       // KSDATAFORMAT_SUBTYPE_PCM
};

// Buffer header. The caller owns it and its buffer; between waveInAddBuffer/waveOutWrite and its
// return (WHDR_DONE set) the device owns both and the caller must not touch them.
struct WAVEHDR {
    char* lpData;           // buffer
    DWORD dwBufferLength;   // bytes; whole frames are moved
    DWORD dwBytesRecorded;  // input: bytes filled when returned
    DWORD_PTR dwUser;       // the caller's
    DWORD dwFlags;          // WHDR_*
    DWORD dwLoops;          // ignored
    WAVEHDR* lpNext;        // unused by the layer
    DWORD_PTR reserved;     // unused by the layer
};
using LPWAVEHDR = WAVEHDR*;

inline constexpr DWORD WHDR_DONE = 0x00000001;      // returned by the device
inline constexpr DWORD WHDR_PREPARED = 0x00000002;  // prepared, may be queued
inline constexpr DWORD WHDR_INQUEUE = 0x00000010;   // owned by the device

// Capabilities of a device: its name (at most 31 characters, terminated) and channel count.
struct WAVEINCAPS {
    char szPname[32];
    WORD wChannels;
};
struct WAVEOUTCAPS {
    char szPname[32];
    WORD wChannels;
};

// Device lists.
UINT waveInGetNumDevs();
UINT waveOutGetNumDevs();
MMRESULT waveInGetDevCaps(UINT device_id, WAVEINCAPS* caps, UINT caps_size);
MMRESULT waveOutGetDevCaps(UINT device_id, WAVEOUTCAPS* caps, UINT caps_size);

// A terminated text for every result code, cut to `text_size` characters including the
// terminator. An unknown code gets a text too and the result MMSYSERR_BADERRNUM.
MMRESULT waveInGetErrorText(MMRESULT error, char* text, UINT text_size);
MMRESULT waveOutGetErrorText(MMRESULT error, char* text, UINT text_size);

// Wave input. `callback` receives MM_WIM_OPEN, MM_WIM_DATA, MM_WIM_CLOSE with CALLBACK_WINDOW.
// On failure *handle becomes 0 and nothing stays open.
MMRESULT waveInOpen(HWAVEIN* handle, UINT device_id, const WAVEFORMATEX* format, HWND callback,
                    DWORD_PTR instance, DWORD flags);
MMRESULT waveInPrepareHeader(HWAVEIN handle, WAVEHDR* header, UINT header_size);
MMRESULT waveInUnprepareHeader(HWAVEIN handle, WAVEHDR* header, UINT header_size);
MMRESULT waveInAddBuffer(HWAVEIN handle, WAVEHDR* header, UINT header_size);
MMRESULT waveInStart(HWAVEIN handle);
// Stops recording; a partly filled header is returned done, empty ones stay queued.
MMRESULT waveInStop(HWAVEIN handle);
// Stops recording and returns every queued header done.
MMRESULT waveInReset(HWAVEIN handle);
// Fails with WAVERR_STILLPLAYING while headers are queued.
MMRESULT waveInClose(HWAVEIN handle);

// Wave output. Playback runs from the first write; a header comes back when its last frame has
// been played. `callback` receives MM_WOM_OPEN, MM_WOM_DONE, MM_WOM_CLOSE with CALLBACK_WINDOW.
MMRESULT waveOutOpen(HWAVEOUT* handle, UINT device_id, const WAVEFORMATEX* format, HWND callback,
                     DWORD_PTR instance, DWORD flags);
MMRESULT waveOutPrepareHeader(HWAVEOUT handle, WAVEHDR* header, UINT header_size);
MMRESULT waveOutUnprepareHeader(HWAVEOUT handle, WAVEHDR* header, UINT header_size);
MMRESULT waveOutWrite(HWAVEOUT handle, WAVEHDR* header, UINT header_size);
// Stops playback and returns every queued header done.
MMRESULT waveOutReset(HWAVEOUT handle);
MMRESULT waveOutClose(HWAVEOUT handle);

// Over- and underruns a device has had since it was opened: each one was recovered from (the
// stream goes on) and counted here. Input: frames lost while nothing was queued (one per gap).
// Output: a gap between played data (running dry at the end of the data is no underrun until
// more data follows). -1 for a bad handle.
long WaveInXrunCount(HWAVEIN handle);
long WaveOutXrunCount(HWAVEOUT handle);

}  // namespace platform
