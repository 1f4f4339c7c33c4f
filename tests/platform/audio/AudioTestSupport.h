// Shared helpers of the wave-device tests: formats, a fixture that starts every test on a fresh
// virtual card, and reading the messages the devices post.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/audio/VirtualCard.h"
#include "platform/audio/Wave.h"
#include "platform/internal/Queue.h"

namespace platform::test {

using namespace platform;

inline const HWND kWindow = HWND::FromIndex(4242);

inline WAVEFORMATEXTENSIBLE Extensible(int channels, DWORD rate, DWORD mask = 0) {
    WAVEFORMATEXTENSIBLE f{};
    f.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    f.Format.nChannels = static_cast<WORD>(channels);
    f.Format.nSamplesPerSec = rate;
    f.Format.wBitsPerSample = 32;
    f.Format.nBlockAlign = static_cast<WORD>(channels * 4);
    f.Format.nAvgBytesPerSec = f.Format.nBlockAlign * rate;
    f.Format.cbSize = 22;
    f.Samples.wValidBitsPerSample = 24;
    f.dwChannelMask = mask;
    f.SubFormat = KSDATAFORMAT_SUBTYPE_PCM;
    return f;
}

inline WAVEFORMATEX Pcm16(int channels, DWORD rate) {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = static_cast<WORD>(channels);
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = 16;
    f.nBlockAlign = static_cast<WORD>(channels * 2);
    f.nAvgBytesPerSec = f.nBlockAlign * rate;
    f.cbSize = 0;
    return f;
}

inline const WAVEFORMATEX* AsFormat(const WAVEFORMATEXTENSIBLE& f) { return &f.Format; }

// Every message posted so far, oldest first, taken off the queue.
inline std::vector<MSG> TakeAll() {
    std::vector<MSG> out;
    MSG m{};
    while (internal::TakePosted(&m, HWND{}, 0, 0, true)) out.push_back(m);
    return out;
}

inline std::vector<MSG> TakeOnly(UINT message) {
    std::vector<MSG> out;
    for (const MSG& m : TakeAll())
        if (m.message == message) out.push_back(m);
    return out;
}

inline WAVEHDR* HeaderOf(const MSG& m) { return reinterpret_cast<WAVEHDR*>(m.lParam); }

// Starts on a fresh virtual card, clocked by the test, with an empty message queue.
class VirtualCardFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SelectAudioBackend(AudioBackend::Virtual)) << "a device was left open";
        ASSERT_TRUE(VirtualCardReset());
        internal::ClearPosted();
    }
    void TearDown() override {
        EXPECT_EQ(OpenWaveDeviceCount(), 0) << "the test left a device open";
        VirtualCardReset();
        internal::ClearPosted();
    }
};

}  // namespace platform::test
