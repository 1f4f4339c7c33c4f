// The ALSA backend on alsa-lib's built-in "null" PCM: list, open, configure (16 channels,
// S32_LE, 96 kHz, period 2048), stream whole buffers and close, in both directions.

#include <chrono>
#include <cstring>
#include <thread>

#include "AudioTestSupport.h"

namespace platform::test {
namespace {

class AlsaNullAudioTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SelectAudioBackend(AudioBackend::Alsa)) << "a device was left open";
        const char* names[] = {"null"};
        SetAlsaDeviceNames(names, 1);
        internal::ClearPosted();
    }
    void TearDown() override {
        EXPECT_EQ(OpenWaveDeviceCount(), 0) << "the test left a device open";
        SetAlsaDeviceNames(nullptr, 0);
        SelectAudioBackend(AudioBackend::Virtual);
        internal::ClearPosted();
    }

    // Waits (in real time: the ALSA thread runs on its own) for `count` messages of `message`.
    static std::vector<MSG> WaitFor(UINT message, std::size_t count) {
        std::vector<MSG> got;
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (got.size() < count && std::chrono::steady_clock::now() < give_up) {
            MSG m{};
            if (internal::TakePosted(&m, HWND{}, message, message, true))
                got.push_back(m);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return got;
    }
};

TEST_F(AlsaNullAudioTest, NullDeviceIsListedInBothDirections) {
    ASSERT_EQ(waveInGetNumDevs(), 1u);
    ASSERT_EQ(waveOutGetNumDevs(), 1u);
    WAVEINCAPS in_caps{};
    WAVEOUTCAPS out_caps{};
    ASSERT_EQ(waveInGetDevCaps(0, &in_caps, sizeof(in_caps)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutGetDevCaps(0, &out_caps, sizeof(out_caps)), MMSYSERR_NOERROR);
    EXPECT_STREQ(in_caps.szPname, "null");
    EXPECT_STREQ(out_caps.szPname, "null");
    EXPECT_GE(out_caps.wChannels, 16);
    EXPECT_EQ(waveOutGetDevCaps(1, &out_caps, sizeof(out_caps)), MMSYSERR_BADDEVICEID);
}

TEST_F(AlsaNullAudioTest, PcmsThatCannotOpenAreNotListed) {
    const char* names[] = {"qv_no_such_pcm", "null", "hw:63,0"};
    SetAlsaDeviceNames(names, 3);
    ASSERT_EQ(waveOutGetNumDevs(), 1u);
    WAVEOUTCAPS caps{};
    ASSERT_EQ(waveOutGetDevCaps(0, &caps, sizeof(caps)), MMSYSERR_NOERROR);
    EXPECT_STREQ(caps.szPname, "null");
    const char* none[] = {"hw:63,0"};
    SetAlsaDeviceNames(none, 1);
    EXPECT_EQ(waveInGetNumDevs(), 0u);
    HWAVEIN in{};
    auto f = Extensible(2, 48000);
    EXPECT_EQ(waveInOpen(&in, 0, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), MMSYSERR_BADDEVICEID);
    EXPECT_FALSE(in);
}

// The machine's own list (often empty on a build machine): every entry named and bounded.
TEST_F(AlsaNullAudioTest, MachineListHasBoundedNamesAndChannelCounts) {
    SetAlsaDeviceNames(nullptr, 0);
    for (bool input : {true, false}) {
        const UINT n = input ? waveInGetNumDevs() : waveOutGetNumDevs();
        EXPECT_LE(n, 64u);
        for (UINT id = 0; id < n; ++id) {
            WAVEINCAPS caps{};
            WAVEOUTCAPS out_caps{};
            MMRESULT r = input ? waveInGetDevCaps(id, &caps, sizeof(caps))
                               : waveOutGetDevCaps(id, &out_caps, sizeof(out_caps));
            ASSERT_EQ(r, MMSYSERR_NOERROR) << id;
            const char* name = input ? caps.szPname : out_caps.szPname;
            EXPECT_GT(std::strlen(name), 0u) << id;
            EXPECT_LE(std::strlen(name), 31u) << id;
            EXPECT_LE(input ? caps.wChannels : out_caps.wChannels, 64) << id;
        }
    }
}

TEST_F(AlsaNullAudioTest, OutputOpensConfiguresStreamsAndCloses) {
    constexpr int kChannels = 16, kFrames = 2048, kHeaders = 3;
    auto f = Extensible(kChannels, 96000, 0xFFFF);
    HWAVEOUT out{};
    ASSERT_EQ(waveOutOpen(&out, 0, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), MMSYSERR_NOERROR);
    WaveStreamInfo info{};
    ASSERT_EQ(WaveOutGetStreamInfo(out, &info), MMSYSERR_NOERROR);
    EXPECT_EQ(info.backend, AudioBackend::Alsa);
    EXPECT_STREQ(info.device_name, "null");
    EXPECT_EQ(info.channels, kChannels);
    EXPECT_EQ(info.rate, 96000u);
    EXPECT_EQ(info.container_bits, 32);
    EXPECT_EQ(info.valid_bits, 24);
    EXPECT_EQ(info.period_frames, static_cast<DWORD>(kFrames));
    EXPECT_GE(info.buffer_frames, info.period_frames);

    std::vector<std::vector<char>> memory(kHeaders, std::vector<char>(kFrames * kChannels * 4));
    WAVEHDR headers[kHeaders]{};
    for (int i = 0; i < kHeaders; ++i) {
        headers[i].lpData = memory[i].data();
        headers[i].dwBufferLength = static_cast<DWORD>(memory[i].size());
        ASSERT_EQ(waveOutPrepareHeader(out, &headers[i], sizeof(WAVEHDR)), 0u);
        ASSERT_EQ(waveOutWrite(out, &headers[i], sizeof(WAVEHDR)), 0u);
    }
    auto done = WaitFor(MM_WOM_DONE, kHeaders);
    ASSERT_EQ(done.size(), static_cast<std::size_t>(kHeaders)) << "buffers not returned";
    for (int i = 0; i < kHeaders; ++i) {
        EXPECT_EQ(HeaderOf(done[i]), &headers[i]) << "order";
        EXPECT_EQ(headers[i].dwFlags, WHDR_PREPARED | WHDR_DONE);
        EXPECT_EQ(done[i].wParam, out.value);
    }
    ASSERT_EQ(waveOutReset(out), 0u);
    for (auto& h : headers) ASSERT_EQ(waveOutUnprepareHeader(out, &h, sizeof(WAVEHDR)), 0u);
    ASSERT_EQ(waveOutClose(out), 0u);
    EXPECT_EQ(WaitFor(MM_WOM_CLOSE, 1).size(), 1u);
}

TEST_F(AlsaNullAudioTest, InputOpensConfiguresRecordsAndCloses) {
    constexpr int kChannels = 16, kFrames = 2048, kHeaders = 2;
    auto f = Extensible(kChannels, 96000, 0xFFFFFFFF);
    HWAVEIN in{};
    ASSERT_EQ(waveInOpen(&in, 0, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), MMSYSERR_NOERROR);
    HWAVEIN second{};
    EXPECT_EQ(waveInOpen(&second, 0, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), MMSYSERR_ALLOCATED);
    WaveStreamInfo info{};
    ASSERT_EQ(WaveInGetStreamInfo(in, &info), MMSYSERR_NOERROR);
    EXPECT_EQ(info.channels, kChannels);
    EXPECT_EQ(info.rate, 96000u);
    EXPECT_EQ(info.container_bits, 32);
    EXPECT_EQ(info.period_frames, static_cast<DWORD>(kFrames));

    std::vector<std::vector<char>> memory(kHeaders,
                                          std::vector<char>(kFrames * kChannels * 4, 'x'));
    WAVEHDR headers[kHeaders + 1]{};
    for (int i = 0; i < kHeaders; ++i) {
        headers[i].lpData = memory[i].data();
        headers[i].dwBufferLength = static_cast<DWORD>(memory[i].size());
        ASSERT_EQ(waveInPrepareHeader(in, &headers[i], sizeof(WAVEHDR)), 0u);
        ASSERT_EQ(waveInAddBuffer(in, &headers[i], sizeof(WAVEHDR)), 0u);
    }
    ASSERT_EQ(waveInStart(in), 0u);
    auto done = WaitFor(MM_WIM_DATA, kHeaders);
    ASSERT_EQ(done.size(), static_cast<std::size_t>(kHeaders)) << "buffers not returned";
    for (int i = 0; i < kHeaders; ++i) {
        EXPECT_EQ(HeaderOf(done[i]), &headers[i]) << "order";
        EXPECT_EQ(headers[i].dwBytesRecorded, headers[i].dwBufferLength);
        EXPECT_EQ(headers[i].dwFlags, WHDR_PREPARED | WHDR_DONE);
    }
    // A queued header comes back through reset; nothing is left for close.
    std::vector<char> extra(kFrames * kChannels * 4);
    headers[kHeaders].lpData = extra.data();
    headers[kHeaders].dwBufferLength = static_cast<DWORD>(extra.size());
    ASSERT_EQ(waveInStop(in), 0u);
    ASSERT_EQ(waveInPrepareHeader(in, &headers[kHeaders], sizeof(WAVEHDR)), 0u);
    ASSERT_EQ(waveInAddBuffer(in, &headers[kHeaders], sizeof(WAVEHDR)), 0u);
    EXPECT_EQ(waveInClose(in), WAVERR_STILLPLAYING);
    ASSERT_EQ(waveInReset(in), 0u);
    EXPECT_EQ(WaitFor(MM_WIM_DATA, 1).size(), 1u);
    EXPECT_EQ(headers[kHeaders].dwFlags, WHDR_PREPARED | WHDR_DONE);
    for (auto& h : headers) ASSERT_EQ(waveInUnprepareHeader(in, &h, sizeof(WAVEHDR)), 0u);
    ASSERT_EQ(waveInClose(in), 0u);
}

TEST_F(AlsaNullAudioTest, SixteenBitStereoAtFortyEightKilohertz) {
    auto f = Pcm16(2, 48000);
    HWAVEOUT out{};
    ASSERT_EQ(waveOutOpen(&out, 0, &f, kWindow, 0, CALLBACK_WINDOW), MMSYSERR_NOERROR);
    WaveStreamInfo info{};
    ASSERT_EQ(WaveOutGetStreamInfo(out, &info), MMSYSERR_NOERROR);
    EXPECT_EQ(info.container_bits, 16);
    EXPECT_EQ(info.period_frames, 1024u);
    ASSERT_EQ(waveOutClose(out), 0u);
}

}  // namespace
}  // namespace platform::test
