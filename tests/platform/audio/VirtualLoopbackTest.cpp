// Streaming on the virtual card: loopback through an impulse response, scripted inputs, the
// recorded output, separate clocks with drift, and the pacer.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "AudioTestSupport.h"
#include "platform/internal/Clock.h"

namespace platform::test {
namespace {

constexpr DWORD kRate = 48000;

std::int32_t Word(const std::vector<char>& memory, std::size_t frame, int channels, int channel) {
    std::int32_t w;
    std::memcpy(&w, memory.data() + (frame * channels + channel) * 4, 4);
    return w;
}

void PutWord(std::vector<char>& memory, std::size_t frame, int channels, int channel,
             std::int32_t w) {
    std::memcpy(memory.data() + (frame * channels + channel) * 4, &w, 4);
}

using VirtualLoopbackAudioTest = VirtualCardFixture;

// A 24-bit ramp written to output 3 comes back on input 1 after exactly the set latency, through
// a 3-tap impulse response, for 100 buffers; every header comes back in order with WHDR_DONE set
// before its message.
TEST_F(VirtualLoopbackAudioTest, RampOnOutput3ReturnsOnInput1ThroughResponseAfterLatency) {
    constexpr int kOutChannels = 16, kInChannels = 12, kFrames = 1024, kHeaders = 4;
    constexpr int kBuffers = 100, kLatency = 37;
    const double taps[3] = {0.5, 0.25, -0.125};
    const int total = kBuffers * kFrames;
    auto ramp = [&](std::int64_t n) -> std::int64_t {
        return (n < 0 || n >= total) ? 0 : 8 * n - 400000;  // multiples of 8: exact through taps
    };
    ASSERT_TRUE(VirtualCardSetLoopback(0, 2, taps, 3, kLatency));
    VirtualCardRecordOutput(total + 4 * kFrames);

    auto out_format = Extensible(kOutChannels, kRate, 0xFFFF);
    auto in_format = Extensible(kInChannels, kRate, 0xFFFFFFFF);
    HWAVEOUT out{};
    HWAVEIN in{};
    ASSERT_EQ(waveOutOpen(&out, 0, AsFormat(out_format), kWindow, 0, CALLBACK_WINDOW), 0u);
    ASSERT_EQ(waveInOpen(&in, 0, AsFormat(in_format), kWindow, 0, CALLBACK_WINDOW), 0u);
    std::vector<std::vector<char>> out_memory(kHeaders), in_memory(kHeaders);
    WAVEHDR out_headers[kHeaders]{}, in_headers[kHeaders]{};
    int next_block = 0;
    auto fill = [&](int i) {
        std::fill(out_memory[i].begin(), out_memory[i].end(), 0);
        for (int n = 0; n < kFrames; ++n) {
            const auto v = ramp(static_cast<std::int64_t>(next_block) * kFrames + n);
            PutWord(out_memory[i], n, kOutChannels, 2, static_cast<std::int32_t>(v * 256));
        }
        ++next_block;
    };
    for (int i = 0; i < kHeaders; ++i) {
        out_memory[i].assign(kFrames * kOutChannels * 4, 0);
        in_memory[i].assign(kFrames * kInChannels * 4, 0);
        out_headers[i].lpData = out_memory[i].data();
        out_headers[i].dwBufferLength = static_cast<DWORD>(out_memory[i].size());
        in_headers[i].lpData = in_memory[i].data();
        in_headers[i].dwBufferLength = static_cast<DWORD>(in_memory[i].size());
        ASSERT_EQ(waveOutPrepareHeader(out, &out_headers[i], sizeof(WAVEHDR)), 0u);
        ASSERT_EQ(waveInPrepareHeader(in, &in_headers[i], sizeof(WAVEHDR)), 0u);
        ASSERT_EQ(waveInAddBuffer(in, &in_headers[i], sizeof(WAVEHDR)), 0u);
        fill(i);
        ASSERT_EQ(waveOutWrite(out, &out_headers[i], sizeof(WAVEHDR)), 0u);
    }
    ASSERT_EQ(waveInStart(in), 0u);
    TakeAll();

    std::vector<std::int32_t> captured;  // input channel 0, 24-bit values
    int out_done = 0, in_done = 0;
    while (out_done < kBuffers + kHeaders || in_done < kBuffers + 1) {
        ASSERT_LT(captured.size(), static_cast<std::size_t>(total * 2)) << "stream stalled";
        VirtualCardStep(kFrames / 2, kRate);
        for (const MSG& m : TakeAll()) {
            WAVEHDR* h = HeaderOf(m);
            const DWORD flags = h->dwFlags;
            EXPECT_EQ(flags, WHDR_PREPARED | WHDR_DONE) << "flags when the message arrived";
            if (m.message == MM_WOM_DONE) {
                ASSERT_EQ(m.wParam, out.value);
                ASSERT_EQ(h, &out_headers[out_done % kHeaders]) << "output order at " << out_done;
                const int i = out_done % kHeaders;
                ++out_done;
                if (next_block < kBuffers + kHeaders) {
                    fill(i);
                    h->dwFlags = WHDR_PREPARED;
                    ASSERT_EQ(waveOutWrite(out, h, sizeof(WAVEHDR)), 0u);
                }
            } else if (m.message == MM_WIM_DATA) {
                ASSERT_EQ(m.wParam, in.value);
                ASSERT_EQ(h, &in_headers[in_done % kHeaders]) << "input order at " << in_done;
                ASSERT_EQ(h->dwBytesRecorded, h->dwBufferLength);
                const int i = in_done % kHeaders;
                ++in_done;
                for (int n = 0; n < kFrames; ++n) {
                    const std::int32_t w = Word(in_memory[i], n, kInChannels, 0);
                    ASSERT_EQ(w & 0xFF, 0) << "low byte of a 24-bit word";
                    captured.push_back(w >> 8);
                    for (int c = 1; c < kInChannels; ++c)
                        ASSERT_EQ(Word(in_memory[i], n, kInChannels, c), 0) << "channel " << c;
                }
                h->dwFlags = WHDR_PREPARED;
                ASSERT_EQ(waveInAddBuffer(in, h, sizeof(WAVEHDR)), 0u);
            }
        }
    }
    // Independent direct convolution, rounded to the 24-bit scale.
    ASSERT_GE(captured.size(), static_cast<std::size_t>(total + kLatency + 3));
    for (std::int64_t n = 0; n < total + kLatency + 3; ++n) {
        double expected = 0;
        for (int k = 0; k < 3; ++k)
            expected += taps[k] * static_cast<double>(ramp(n - kLatency - k));
        ASSERT_EQ(captured[static_cast<std::size_t>(n)],
                  static_cast<std::int32_t>(std::lround(expected)))
            << "input frame " << n;
    }
    // The card recorded what output 3 played, and silence on the other outputs.
    ASSERT_GE(VirtualCardRecordedFrames(), static_cast<std::size_t>(total));
    for (int n = 0; n < total; ++n) {
        ASSERT_EQ(VirtualCardRecordedSample(2, n), ramp(n)) << "recorded frame " << n;
        ASSERT_EQ(VirtualCardRecordedSample(0, n), 0);
        ASSERT_EQ(VirtualCardRecordedSample(15, n), 0);
    }
    EXPECT_EQ(WaveInXrunCount(in), 0);
    ASSERT_EQ(waveOutReset(out), 0u);
    ASSERT_EQ(waveInReset(in), 0u);
    for (int i = 0; i < kHeaders; ++i) {
        ASSERT_EQ(waveOutUnprepareHeader(out, &out_headers[i], sizeof(WAVEHDR)), 0u);
        ASSERT_EQ(waveInUnprepareHeader(in, &in_headers[i], sizeof(WAVEHDR)), 0u);
    }
    ASSERT_EQ(waveOutClose(out), 0u);
    ASSERT_EQ(waveInClose(in), 0u);
}

// A response of thousands of taps (a measured room or driver) is heard whole: a pulse train on
// output 0 comes back on input 1 as the direct sum of the sparse taps, after the latency. One tap
// past the limit is refused.
TEST_F(VirtualLoopbackAudioTest, LongResponseOfThousandsOfTapsIsHeardWhole) {
    constexpr int kTapCount = 6000, kLatency = 300, kFrames = 16384;
    std::vector<double> taps(kTapCount, 0.0);
    taps[0] = 0.5;
    taps[1234] = -0.25;
    taps[kTapCount - 1] = 0.125;
    std::vector<double> too_many(kVirtualMaxLoopbackTaps + 1, 0.0);
    EXPECT_FALSE(VirtualCardSetLoopback(1, 0, too_many.data(), kVirtualMaxLoopbackTaps + 1, 0));
    ASSERT_TRUE(VirtualCardSetLoopback(1, 0, taps.data(), kTapCount, kLatency));
    auto pulse = [](int n) -> std::int64_t {
        return (n >= 0 && n < 8000 && n % 997 == 0) ? 80000 : 0;
    };

    auto format = Extensible(2, kRate);
    HWAVEOUT out{};
    HWAVEIN in{};
    ASSERT_EQ(waveOutOpen(&out, 1, AsFormat(format), kWindow, 0, CALLBACK_WINDOW), 0u);
    ASSERT_EQ(waveInOpen(&in, 1, AsFormat(format), kWindow, 0, CALLBACK_WINDOW), 0u);
    std::vector<char> played(kFrames * 8, 0), recorded(kFrames * 8, 0);
    for (int n = 0; n < kFrames; ++n)
        PutWord(played, n, 2, 0, static_cast<std::int32_t>(pulse(n) * 256));
    WAVEHDR oh{}, ih{};
    oh.lpData = played.data();
    oh.dwBufferLength = static_cast<DWORD>(played.size());
    ih.lpData = recorded.data();
    ih.dwBufferLength = static_cast<DWORD>(recorded.size());
    ASSERT_EQ(waveOutPrepareHeader(out, &oh, sizeof(oh)), 0u);
    ASSERT_EQ(waveInPrepareHeader(in, &ih, sizeof(ih)), 0u);
    ASSERT_EQ(waveInAddBuffer(in, &ih, sizeof(ih)), 0u);
    ASSERT_EQ(waveInStart(in), 0u);
    ASSERT_EQ(waveOutWrite(out, &oh, sizeof(oh)), 0u);
    VirtualCardStep(kFrames, kRate);
    ASSERT_EQ(ih.dwFlags & WHDR_DONE, WHDR_DONE);
    for (int n = 0; n < kFrames; ++n) {
        double expected = 0.0;
        for (int k : {0, 1234, kTapCount - 1})
            expected += taps[k] * static_cast<double>(pulse(n - kLatency - k));
        ASSERT_EQ(Word(recorded, n, 2, 1) >> 8, static_cast<std::int32_t>(std::lround(expected)))
            << n;
    }
    ASSERT_EQ(waveInReset(in), 0u);
    ASSERT_EQ(waveOutReset(out), 0u);
    ASSERT_EQ(waveInUnprepareHeader(in, &ih, sizeof(ih)), 0u);
    ASSERT_EQ(waveOutUnprepareHeader(out, &oh, sizeof(oh)), 0u);
    ASSERT_EQ(waveInClose(in), 0u);
    ASSERT_EQ(waveOutClose(out), 0u);
    TakeAll();
}

// Scripted inputs are quantised to the format: 24 bits in 32-bit words, or 16 bits.
TEST_F(VirtualLoopbackAudioTest, ScriptedInputsAreQuantisedToTheFormat) {
    const std::vector<std::int32_t> left = {0, 1000, -1000, 8388607, -8388608, 300, 127, -129};
    const std::vector<std::int32_t> right = {5, 6, 7};
    VirtualCardSetInputSignal(0, left.data(), left.size(), false);
    VirtualCardSetInputSignal(1, right.data(), right.size(), true);
    struct Row {
        bool sixteen;
    } rows[] = {{false}, {true}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.sixteen ? "16-bit" : "24-in-32");
        WAVEFORMATEXTENSIBLE ext = Extensible(2, kRate);
        WAVEFORMATEX pcm = Pcm16(2, kRate);
        const WAVEFORMATEX* format = r.sixteen ? &pcm : AsFormat(ext);
        const int bytes = r.sixteen ? 2 : 4;
        std::vector<char> memory(10 * 2 * bytes);
        WAVEHDR h{};
        h.lpData = memory.data();
        h.dwBufferLength = static_cast<DWORD>(memory.size());
        HWAVEIN in{};
        ASSERT_EQ(waveInOpen(&in, 1, format, kWindow, 0, CALLBACK_WINDOW), 0u);
        ASSERT_EQ(waveInPrepareHeader(in, &h, sizeof(h)), 0u);
        ASSERT_EQ(waveInAddBuffer(in, &h, sizeof(h)), 0u);
        ASSERT_EQ(waveInStart(in), 0u);
        VirtualCardStep(10, kRate);
        ASSERT_EQ(h.dwFlags & WHDR_DONE, WHDR_DONE);
        for (int n = 0; n < 10; ++n) {
            const double l = n < static_cast<int>(left.size()) ? left[n] : 0;
            const double rr = right[n % right.size()];
            for (int c = 0; c < 2; ++c) {
                const double v = c == 0 ? l : rr;
                std::int64_t got, want;
                if (r.sixteen) {
                    std::int16_t s;
                    std::memcpy(&s, memory.data() + (n * 2 + c) * 2, 2);
                    got = s;
                    want = std::clamp<long long>(std::llround(v / 256.0), -32768, 32767);
                } else {
                    std::int32_t w;
                    std::memcpy(&w, memory.data() + (n * 2 + c) * 4, 4);
                    got = w;
                    want = static_cast<std::int64_t>(v) * 256;
                }
                EXPECT_EQ(got, want) << "frame " << n << " channel " << c;
            }
        }
        ASSERT_EQ(waveInReset(in), 0u);
        ASSERT_EQ(waveInClose(in), 0u);
        TakeAll();
    }
}

// With the output clock 1000 ppm fast, over 10 s of nominal time the output returns 1001
// buffers of 10 ms for every 1000 of the input.
TEST_F(VirtualLoopbackAudioTest, OutputClockDriftChangesTheCountOfDoneMessages) {
    struct Row {
        double input_ppm, output_ppm;
    } rows[] = {{0, 1000}, {0, 0}, {-500, 250}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.output_ppm);
        ASSERT_TRUE(VirtualCardReset());
        VirtualCardSetDrift(r.input_ppm, r.output_ppm);
        constexpr int kFrames = 480, kHeaders = 8;
        auto f = Extensible(2, kRate);
        HWAVEOUT out{};
        HWAVEIN in{};
        ASSERT_EQ(waveOutOpen(&out, 1, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), 0u);
        ASSERT_EQ(waveInOpen(&in, 1, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), 0u);
        std::vector<std::vector<char>> memory(2 * kHeaders, std::vector<char>(kFrames * 8));
        std::vector<WAVEHDR> headers(2 * kHeaders);
        for (int i = 0; i < 2 * kHeaders; ++i) {
            headers[i] = WAVEHDR{};
            headers[i].lpData = memory[i].data();
            headers[i].dwBufferLength = kFrames * 8;
            if (i < kHeaders) {
                ASSERT_EQ(waveOutPrepareHeader(out, &headers[i], sizeof(WAVEHDR)), 0u);
                ASSERT_EQ(waveOutWrite(out, &headers[i], sizeof(WAVEHDR)), 0u);
            } else {
                ASSERT_EQ(waveInPrepareHeader(in, &headers[i], sizeof(WAVEHDR)), 0u);
                ASSERT_EQ(waveInAddBuffer(in, &headers[i], sizeof(WAVEHDR)), 0u);
            }
        }
        ASSERT_EQ(waveInStart(in), 0u);
        TakeAll();
        long out_done = 0, in_done = 0;
        for (int ms = 0; ms < 10000; ms += 5) {
            VirtualCardAdvanceMs(5);
            for (const MSG& m : TakeAll()) {
                WAVEHDR* h = HeaderOf(m);
                h->dwFlags = WHDR_PREPARED;
                if (m.message == MM_WOM_DONE) {
                    ++out_done;
                    ASSERT_EQ(waveOutWrite(out, h, sizeof(WAVEHDR)), 0u);
                } else if (m.message == MM_WIM_DATA) {
                    ++in_done;
                    ASSERT_EQ(waveInAddBuffer(in, h, sizeof(WAVEHDR)), 0u);
                }
            }
        }
        const auto expected = [](double ppm) {
            return static_cast<long>(std::floor(10.0 * kRate * (1 + ppm * 1e-6) / kFrames + 1e-9));
        };
        EXPECT_EQ(out_done, expected(r.output_ppm));
        EXPECT_EQ(in_done, expected(r.input_ppm));
        EXPECT_EQ(WaveOutXrunCount(out), 0);
        EXPECT_EQ(WaveInXrunCount(in), 0);
        ASSERT_EQ(waveOutReset(out), 0u);
        ASSERT_EQ(waveInReset(in), 0u);
        ASSERT_EQ(waveOutClose(out), 0u);
        ASSERT_EQ(waveInClose(in), 0u);
        TakeAll();
    }
}

// An output that runs dry plays silence; the end of the data is no underrun, a gap before more
// data is one.
TEST_F(VirtualLoopbackAudioTest, OutputThatRunsDryPlaysSilenceAndAGapCountsAnUnderrun) {
    auto f = Extensible(2, kRate);
    VirtualCardRecordOutput(1000);
    std::vector<char> memory(100 * 8);
    for (int n = 0; n < 100; ++n) {
        PutWord(memory, n, 2, 0, (n + 1) * 256);
        PutWord(memory, n, 2, 1, -(n + 1) * 256);
    }
    WAVEHDR h{};
    h.lpData = memory.data();
    h.dwBufferLength = static_cast<DWORD>(memory.size());
    HWAVEOUT out{};
    ASSERT_EQ(waveOutOpen(&out, 1, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), 0u);
    ASSERT_EQ(waveOutPrepareHeader(out, &h, sizeof(h)), 0u);
    ASSERT_EQ(waveOutWrite(out, &h, sizeof(h)), 0u);
    VirtualCardStep(150, kRate);
    EXPECT_EQ(TakeOnly(MM_WOM_DONE).size(), 1u);
    EXPECT_EQ(WaveOutXrunCount(out), 0) << "the end of the data counted as an underrun";
    ASSERT_EQ(VirtualCardRecordedFrames(), 150u);
    for (int n = 0; n < 150; ++n) {
        EXPECT_EQ(VirtualCardRecordedSample(0, n), n < 100 ? n + 1 : 0) << n;
        EXPECT_EQ(VirtualCardRecordedSample(1, n), n < 100 ? -(n + 1) : 0) << n;
    }
    h.dwFlags = WHDR_PREPARED;
    ASSERT_EQ(waveOutWrite(out, &h, sizeof(h)), 0u);
    VirtualCardStep(250, kRate);
    EXPECT_EQ(TakeOnly(MM_WOM_DONE).size(), 1u);
    EXPECT_EQ(WaveOutXrunCount(out), 1) << "the gap before the second buffer";
    ASSERT_EQ(VirtualCardRecordedFrames(), 400u);
    EXPECT_EQ(VirtualCardRecordedSample(0, 150), 1) << "second buffer right after the write";
    EXPECT_EQ(VirtualCardRecordedSample(1, 249), -100);
    EXPECT_EQ(VirtualCardRecordedSample(0, 250), 0);
    ASSERT_EQ(waveOutClose(out), 0u);
}

// Opens device 1 for stereo input at kRate and starts recording into one header over `memory`.
void StartRecordingInto(std::vector<char>& memory, WAVEHDR& h, HWAVEIN& in) {
    auto f = Extensible(2, kRate);
    h.lpData = memory.data();
    h.dwBufferLength = static_cast<DWORD>(memory.size());
    ASSERT_EQ(waveInOpen(&in, 1, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), 0u);
    ASSERT_EQ(waveInPrepareHeader(in, &h, sizeof(h)), 0u);
    ASSERT_EQ(waveInAddBuffer(in, &h, sizeof(h)), 0u);
    ASSERT_EQ(waveInStart(in), 0u);
}

TEST_F(VirtualLoopbackAudioTest, CardCanFollowTheLayersVirtualClock) {
    const bool virtual_before = internal::IsVirtualClock();
    const std::int64_t ms_before = internal::NowMs();
    internal::UseVirtualClock(true, 1000);
    VirtualCardFollowLayerClock(true);
    std::vector<char> memory(480 * 8);  // 10 ms
    WAVEHDR h{};
    HWAVEIN in{};
    ASSERT_NO_FATAL_FAILURE(StartRecordingInto(memory, h, in));
    internal::AdvanceVirtualTime(9);
    EXPECT_TRUE(TakeOnly(MM_WIM_DATA).empty()) << "done after 9 of 10 ms";
    internal::AdvanceVirtualTime(1);
    EXPECT_EQ(TakeOnly(MM_WIM_DATA).size(), 1u);
    VirtualCardFollowLayerClock(false);
    internal::AdvanceVirtualTime(100);
    EXPECT_EQ(VirtualCardClockFrames(true, kRate), 480) << "moved after following ended";
    internal::UseVirtualClock(virtual_before, ms_before);
    ASSERT_EQ(waveInReset(in), 0u);
    ASSERT_EQ(waveInClose(in), 0u);
}

TEST_F(VirtualLoopbackAudioTest, PacerMovesTheClocksInRealTime) {
    std::vector<char> memory(48 * 8);  // 1 ms
    WAVEHDR h{};
    HWAVEIN in{};
    ASSERT_NO_FATAL_FAILURE(StartRecordingInto(memory, h, in));
    VirtualCardStartPacer();
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!(std::atomic_ref<DWORD>(h.dwFlags).load() & WHDR_DONE) &&
           std::chrono::steady_clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    VirtualCardStopPacer();
    EXPECT_TRUE(h.dwFlags & WHDR_DONE) << "the pacer never filled the buffer";
    EXPECT_GE(VirtualCardClockFrames(true, kRate), 48);
    ASSERT_EQ(waveInReset(in), 0u);
    ASSERT_EQ(waveInClose(in), 0u);
}

// The loudspeaker's response as a person would measure it: level at a few frequencies relative to
// the pass band, from the DFT of its impulse response. A 12 dB/octave roll-off below 60 Hz and a
// gentle fall at the top.
TEST(SpeakerLoopbackResponse, RollsOffLikeAClosedBox) {
    const std::vector<double> taps = SpeakerLoopbackResponse();
    ASSERT_EQ(taps.size(), static_cast<std::size_t>(kSpeakerLoopbackTaps));
    auto level_db = [&](double hz) {
        double re = 0.0, im = 0.0;
        for (std::size_t n = 0; n < taps.size(); ++n) {
            const double w =
                2.0 * 3.14159265358979 * hz * static_cast<double>(n) / kSpeakerDesignRate;
            re += taps[n] * std::cos(w);
            im -= taps[n] * std::sin(w);
        }
        return 10.0 * std::log10(re * re + im * im);
    };
    const double pass = 20.0 * std::log10(kSpeakerGain);
    struct Case {
        double hz;
        double low, high;  // dB relative to the pass band
    };
    const Case cases[] = {
        {15.0, -25.5, -22.5},  // two octaves below the cut: -24 dB
        {30.0, -13.5, -11.0},  // one octave below
        {60.0, -3.5, -2.5},    // the cut itself
        {1000.0, -0.2, 0.05},  // pass band
        {16000.0, -3.9,
         -2.5},  // the top-end cut (the bilinear zero at Nyquist steepens it a little)
    };
    for (const Case& c : cases) {
        const double db = level_db(c.hz) - pass;
        EXPECT_GE(db, c.low) << c.hz << " Hz";
        EXPECT_LE(db, c.high) << c.hz << " Hz";
    }
    // The tail has died away within the taps: nothing of it would be heard on a 24-bit input.
    double tail = 0.0;
    for (std::size_t n = taps.size() - 64; n < taps.size(); ++n)
        tail = std::max(tail, std::fabs(taps[n]));
    EXPECT_LT(tail, 1e-5);
}

// An impulse on both outputs comes back on input 1 after the reference latency, unchanged, and on
// input 2 after the microphone latency through the loudspeaker; with QV_VIRTUAL_AUDIO=loopback the
// card starts that way, with QV_VIRTUAL_AUDIO=1 its inputs stay silent.
TEST_F(VirtualLoopbackAudioTest, SpeakerLoopbackReturnsBothOutputsOnTheirInputs) {
    constexpr int kFrames = 4096;
    constexpr std::int32_t kPulse = 1 << 22;
    const std::vector<double> taps = SpeakerLoopbackResponse();
    struct Case {
        const char* name;
        const char* env;  // QV_VIRTUAL_AUDIO at the card's reset, or null to call the setter
        bool looped;
    };
    const Case cases[] = {
        {"set by the call", nullptr, true},
        {"QV_VIRTUAL_AUDIO=loopback", "loopback", true},
        {"QV_VIRTUAL_AUDIO=1", "1", false},
    };
    const char* saved = std::getenv("QV_VIRTUAL_AUDIO");
    const std::string saved_value = saved != nullptr ? saved : "";
    for (const Case& c : cases) {
        if (c.env != nullptr) {
            setenv("QV_VIRTUAL_AUDIO", c.env, 1);
            ASSERT_TRUE(VirtualCardReset()) << c.name;
        } else {
            VirtualCardSetSpeakerLoopback();
        }
        auto format = Extensible(2, kRate);
        HWAVEOUT out{};
        HWAVEIN in{};
        ASSERT_EQ(waveOutOpen(&out, 1, AsFormat(format), kWindow, 0, CALLBACK_WINDOW), 0u);
        ASSERT_EQ(waveInOpen(&in, 1, AsFormat(format), kWindow, 0, CALLBACK_WINDOW), 0u);
        std::vector<char> out_memory(kFrames * 8, 0), in_memory(kFrames * 8, 0);
        PutWord(out_memory, 0, 2, 0, kPulse * 256);
        PutWord(out_memory, 0, 2, 1, kPulse * 256);
        WAVEHDR out_header{}, in_header{};
        out_header.lpData = out_memory.data();
        out_header.dwBufferLength = static_cast<DWORD>(out_memory.size());
        in_header.lpData = in_memory.data();
        in_header.dwBufferLength = static_cast<DWORD>(in_memory.size());
        ASSERT_EQ(waveInPrepareHeader(in, &in_header, sizeof(WAVEHDR)), 0u);
        ASSERT_EQ(waveInAddBuffer(in, &in_header, sizeof(WAVEHDR)), 0u);
        ASSERT_EQ(waveOutPrepareHeader(out, &out_header, sizeof(WAVEHDR)), 0u);
        ASSERT_EQ(waveOutWrite(out, &out_header, sizeof(WAVEHDR)), 0u);
        ASSERT_EQ(waveInStart(in), 0u);
        VirtualCardStep(kFrames, kRate);
        ASSERT_NE(in_header.dwFlags & WHDR_DONE, 0u) << c.name;
        for (int n = 0; n < kFrames; ++n) {
            const std::int32_t ref = Word(in_memory, n, 2, 0) >> 8;
            const std::int32_t mic = Word(in_memory, n, 2, 1) >> 8;
            std::int32_t want_ref = 0, want_mic = 0;
            if (c.looped) {
                want_ref = n == kSpeakerReferenceLatency ? kPulse : 0;
                const int k = n - kSpeakerMicrophoneLatency;
                if (k >= 0 && k < kSpeakerLoopbackTaps)
                    want_mic = static_cast<std::int32_t>(std::llround(taps[k] * kPulse));
            }
            ASSERT_EQ(ref, want_ref) << c.name << ", reference at frame " << n;
            ASSERT_NEAR(mic, want_mic, 1) << c.name << ", microphone at frame " << n;
        }
        waveOutReset(out);
        waveInReset(in);
        waveOutUnprepareHeader(out, &out_header, sizeof(WAVEHDR));
        waveInUnprepareHeader(in, &in_header, sizeof(WAVEHDR));
        ASSERT_EQ(waveOutClose(out), 0u);
        ASSERT_EQ(waveInClose(in), 0u);
        TakeAll();
        if (saved != nullptr)
            setenv("QV_VIRTUAL_AUDIO", saved_value.c_str(), 1);
        else
            unsetenv("QV_VIRTUAL_AUDIO");
        ASSERT_TRUE(VirtualCardReset());
    }
}

}  // namespace
}  // namespace platform::test
