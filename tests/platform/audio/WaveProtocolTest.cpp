// The buffer-header protocol on the virtual card: formats, device lists, error texts, the errors
// the system tests for, reset and close, failure injection.

#include <cstring>
#include <set>
#include <string>

#include "AudioTestSupport.h"

namespace platform::test {
namespace {

constexpr DWORD kRate = 48000;

struct Buffers {
    std::vector<std::vector<char>> memory;
    std::vector<WAVEHDR> headers;
    Buffers(int count, DWORD bytes) : memory(count, std::vector<char>(bytes)), headers(count) {
        for (int i = 0; i < count; ++i) {
            headers[i] = WAVEHDR{};
            headers[i].lpData = memory[i].data();
            headers[i].dwBufferLength = bytes;
        }
    }
};

using WaveProtocolAudioTest = VirtualCardFixture;

TEST_F(WaveProtocolAudioTest, DefaultDeviceListsNameEveryDeviceWithItsChannels) {
    ASSERT_EQ(waveInGetNumDevs(), 2u);
    ASSERT_EQ(waveOutGetNumDevs(), 2u);
    struct Row {
        bool input;
        UINT id;
        const char* name;
        int channels;
    } rows[] = {{true, 0, "QV Virtual In 1-12", 12},
                {true, 1, "QV Virtual In 1-2", 2},
                {false, 0, "QV Virtual Out 1-16", 16},
                {false, 1, "QV Virtual Out 1-2", 2}};
    for (const Row& r : rows) {
        char name[32];
        int channels = 0;
        if (r.input) {
            WAVEINCAPS caps{};
            ASSERT_EQ(waveInGetDevCaps(r.id, &caps, sizeof(caps)), MMSYSERR_NOERROR);
            std::memcpy(name, caps.szPname, 32);
            channels = caps.wChannels;
        } else {
            WAVEOUTCAPS caps{};
            ASSERT_EQ(waveOutGetDevCaps(r.id, &caps, sizeof(caps)), MMSYSERR_NOERROR);
            std::memcpy(name, caps.szPname, 32);
            channels = caps.wChannels;
        }
        EXPECT_STREQ(name, r.name) << "device " << r.id << (r.input ? " in" : " out");
        EXPECT_EQ(channels, r.channels) << r.name;
    }
    WAVEINCAPS in_caps{};
    EXPECT_EQ(waveInGetDevCaps(2, &in_caps, sizeof(in_caps)), MMSYSERR_BADDEVICEID);
    WAVEOUTCAPS out_caps{};
    EXPECT_EQ(waveOutGetDevCaps(7, &out_caps, sizeof(out_caps)), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(waveOutGetDevCaps(0, &out_caps, sizeof(out_caps) - 1), MMSYSERR_INVALPARAM);
}

TEST_F(WaveProtocolAudioTest, DeviceNamesAreCutTo31Characters) {
    VirtualDeviceSpec in{};
    std::memcpy(in.name, "0123456789012345678901234567890123456789", sizeof(in.name));  // no end
    in.channels = 8;
    VirtualDeviceSpec out[3]{};
    for (int i = 0; i < 3; ++i) {
        std::snprintf(out[i].name, sizeof(out[i].name), "Out %d", i);
        out[i].channels = 10;
    }
    ASSERT_TRUE(VirtualCardSetDevices(&in, 1, out, 3));
    EXPECT_EQ(waveInGetNumDevs(), 1u);
    EXPECT_EQ(waveOutGetNumDevs(), 3u);
    WAVEINCAPS caps{};
    std::memset(&caps, 'x', sizeof(caps));
    ASSERT_EQ(waveInGetDevCaps(0, &caps, sizeof(caps)), MMSYSERR_NOERROR);
    EXPECT_EQ(std::string(caps.szPname), std::string("0123456789012345678901234567890"));
    EXPECT_EQ(caps.wChannels, 8);
    VirtualDeviceSpec bad{};
    bad.channels = 17;
    EXPECT_FALSE(VirtualCardSetDevices(&bad, 1, out, 3)) << "17 channels accepted";
}

TEST_F(WaveProtocolAudioTest, ErrorTextsAreDistinctBoundedAndTerminated) {
    const MMRESULT codes[] = {MMSYSERR_NOERROR,    MMSYSERR_ERROR,        MMSYSERR_BADDEVICEID,
                              MMSYSERR_ALLOCATED,  MMSYSERR_INVALHANDLE,  MMSYSERR_NODRIVER,
                              MMSYSERR_NOMEM,      MMSYSERR_NOTSUPPORTED, MMSYSERR_BADERRNUM,
                              MMSYSERR_INVALFLAG,  MMSYSERR_INVALPARAM,   WAVERR_BADFORMAT,
                              WAVERR_STILLPLAYING, WAVERR_UNPREPARED};
    std::set<std::string> seen;
    for (MMRESULT code : codes) {
        char text[128];
        std::memset(text, 'x', sizeof(text));
        ASSERT_EQ(waveInGetErrorText(code, text, sizeof(text)), MMSYSERR_NOERROR) << code;
        ASSERT_NE(std::memchr(text, '\0', sizeof(text)), nullptr) << code;
        EXPECT_GT(std::strlen(text), 10u) << code;
        EXPECT_TRUE(seen.insert(text).second) << "text repeated for " << code << ": " << text;
        char out_text[128];
        ASSERT_EQ(waveOutGetErrorText(code, out_text, sizeof(out_text)), MMSYSERR_NOERROR);
        EXPECT_STREQ(out_text, text);
    }
    char text[128];
    EXPECT_EQ(waveInGetErrorText(999, text, sizeof(text)), MMSYSERR_BADERRNUM);
    EXPECT_NE(std::string(text).find("999"), std::string::npos) << text;
    char small[8];
    std::memset(small, 'x', sizeof(small));
    ASSERT_EQ(waveOutGetErrorText(WAVERR_BADFORMAT, small, sizeof(small)), MMSYSERR_NOERROR);
    EXPECT_EQ(std::strlen(small), 7u);
    EXPECT_EQ(waveOutGetErrorText(WAVERR_BADFORMAT, nullptr, 10), MMSYSERR_INVALPARAM);
}

TEST_F(WaveProtocolAudioTest, FormatsTheSystemUsesOpenAndOthersAreRefused) {
    struct Row {
        const char* what;
        WAVEFORMATEXTENSIBLE format;
        MMRESULT expected;
    };
    std::vector<Row> rows;
    const DWORD rates[] = {11025, 12000, 22050, 24000, 44100, 48000, 96000, 192000};
    for (DWORD rate : rates) {
        for (int channels : {2, 8, 10, 12, 16}) {
            rows.push_back(
                {"extensible", Extensible(channels, rate, 0xFFFFFFFF), MMSYSERR_NOERROR});
        }
        WAVEFORMATEXTENSIBLE pcm{};
        pcm.Format = Pcm16(2, rate);
        rows.push_back({"pcm16 stereo", pcm, MMSYSERR_NOERROR});
    }
    auto bad = [&](const char* what, auto change) {
        WAVEFORMATEXTENSIBLE f = Extensible(8, 48000, 0x63F);
        change(f);
        rows.push_back({what, f, WAVERR_BADFORMAT});
    };
    bad("rate 44000", [](auto& f) {
        f.Format.nSamplesPerSec = 44000;
        f.Format.nAvgBytesPerSec = 44000 * f.Format.nBlockAlign;
    });
    bad("block align", [](auto& f) { f.Format.nBlockAlign = 24; });
    bad("average bytes", [](auto& f) { f.Format.nAvgBytesPerSec += 1; });
    bad("24 valid bits in 24-bit containers", [](auto& f) {
        f.Format.wBitsPerSample = 24;
        f.Format.nBlockAlign = 24;
        f.Format.nAvgBytesPerSec = 24 * 48000;
    });
    bad("20 valid bits", [](auto& f) { f.Samples.wValidBitsPerSample = 20; });
    bad("short extension", [](auto& f) { f.Format.cbSize = 0; });
    bad("sub-format", [](auto& f) { f.SubFormat.Data1 = 3; });
    bad("tag", [](auto& f) { f.Format.wFormatTag = 3; });
    bad("17 channels", [](auto& f) {
        f.Format.nChannels = 17;
        f.Format.nBlockAlign = 68;
        f.Format.nAvgBytesPerSec = 68 * 48000;
    });
    bad("no channels", [](auto& f) {
        f.Format.nChannels = 0;
        f.Format.nBlockAlign = 0;
        f.Format.nAvgBytesPerSec = 0;
    });
    for (const Row& r : rows) {
        HWAVEOUT out{};
        MMRESULT got = waveOutOpen(&out, 0, AsFormat(r.format), kWindow, 0, CALLBACK_WINDOW);
        EXPECT_EQ(got, r.expected) << r.what << ", " << r.format.Format.nChannels << " channels, "
                                   << r.format.Format.nSamplesPerSec << " Hz";
        if (got == MMSYSERR_NOERROR) {
            EXPECT_TRUE(out);
            EXPECT_EQ(waveOutClose(out), MMSYSERR_NOERROR);
        } else {
            EXPECT_FALSE(out) << r.what << ": handle set on failure";
        }
    }
    // More channels than the device has.
    HWAVEIN in{};
    auto sixteen = Extensible(16, 48000);
    EXPECT_EQ(waveInOpen(&in, 0, AsFormat(sixteen), kWindow, 0, CALLBACK_WINDOW), WAVERR_BADFORMAT);
    auto three = Extensible(3, 48000);
    EXPECT_EQ(waveInOpen(&in, 1, AsFormat(three), kWindow, 0, CALLBACK_WINDOW), WAVERR_BADFORMAT);
    EXPECT_EQ(OpenWaveDeviceCount(), 0);
}

TEST_F(WaveProtocolAudioTest, OpenAndCloseArePostedAndHandlesGoStale) {
    auto f = Extensible(2, kRate, 0x3);
    HWAVEIN in{};
    ASSERT_EQ(waveInOpen(&in, 1, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), MMSYSERR_NOERROR);
    HWAVEIN second{};
    EXPECT_EQ(waveInOpen(&second, 1, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), MMSYSERR_ALLOCATED);
    EXPECT_FALSE(second);
    EXPECT_EQ(waveInOpen(&second, 2, AsFormat(f), kWindow, 0, CALLBACK_WINDOW),
              MMSYSERR_BADDEVICEID);
    EXPECT_EQ(waveInOpen(&second, 0, AsFormat(f), kWindow, 0, 0x7), MMSYSERR_INVALFLAG);
    ASSERT_EQ(waveInClose(in), MMSYSERR_NOERROR);
    auto messages = TakeAll();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, MM_WIM_OPEN);
    EXPECT_EQ(messages[1].message, MM_WIM_CLOSE);
    for (const MSG& m : messages) {
        EXPECT_EQ(m.hwnd, kWindow);
        EXPECT_EQ(m.wParam, in.value);
    }
    // Every call on a closed or null handle fails harmlessly.
    std::vector<char> memory(64);
    WAVEHDR h{};
    h.lpData = memory.data();
    h.dwBufferLength = 64;
    for (HWAVEIN stale : {in, HWAVEIN{}}) {
        EXPECT_EQ(waveInPrepareHeader(stale, &h, sizeof(h)), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveInAddBuffer(stale, &h, sizeof(h)), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveInStart(stale), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveInStop(stale), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveInReset(stale), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveInUnprepareHeader(stale, &h, sizeof(h)), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(waveInClose(stale), MMSYSERR_INVALHANDLE);
        EXPECT_EQ(WaveInXrunCount(stale), -1);
    }
    // A new open of the same device gets a different handle value.
    HWAVEIN again{};
    ASSERT_EQ(waveInOpen(&again, 1, AsFormat(f), HWND{}, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_NE(again.value, in.value);
    EXPECT_EQ(waveInClose(in), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveInClose(again), MMSYSERR_NOERROR);
    EXPECT_TRUE(TakeAll().empty()) << "CALLBACK_NULL posted messages";
}

TEST_F(WaveProtocolAudioTest, HeaderRulesPrepareQueueUnprepare) {
    auto f = Extensible(2, kRate, 0x3);
    HWAVEIN in{};
    ASSERT_EQ(waveInOpen(&in, 1, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), MMSYSERR_NOERROR);
    Buffers b(2, 8 * 64);
    WAVEHDR& h = b.headers[0];
    EXPECT_EQ(waveInAddBuffer(in, &h, sizeof(h)), WAVERR_UNPREPARED);
    EXPECT_EQ(waveInPrepareHeader(in, &h, sizeof(h) - 1), MMSYSERR_INVALPARAM);
    ASSERT_EQ(waveInPrepareHeader(in, &h, sizeof(h)), MMSYSERR_NOERROR);
    EXPECT_EQ(h.dwFlags, WHDR_PREPARED);
    ASSERT_EQ(waveInAddBuffer(in, &h, sizeof(h)), MMSYSERR_NOERROR);
    EXPECT_EQ(h.dwFlags, WHDR_PREPARED | WHDR_INQUEUE);
    EXPECT_EQ(waveInAddBuffer(in, &h, sizeof(h)), WAVERR_STILLPLAYING) << "queued twice";
    EXPECT_EQ(waveInUnprepareHeader(in, &h, sizeof(h)), WAVERR_STILLPLAYING);
    EXPECT_EQ(h.dwFlags, WHDR_PREPARED | WHDR_INQUEUE) << "a failed unprepare changed the header";
    EXPECT_EQ(waveInClose(in), WAVERR_STILLPLAYING);
    // A buffer shorter than one frame is refused.
    WAVEHDR& tiny = b.headers[1];
    tiny.dwBufferLength = 7;
    ASSERT_EQ(waveInPrepareHeader(in, &tiny, sizeof(tiny)), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInAddBuffer(in, &tiny, sizeof(tiny)), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveInUnprepareHeader(in, &tiny, sizeof(tiny)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveInReset(in), MMSYSERR_NOERROR);
    EXPECT_EQ(h.dwFlags, WHDR_PREPARED | WHDR_DONE);
    EXPECT_EQ(waveInUnprepareHeader(in, &h, sizeof(h)), MMSYSERR_NOERROR);
    EXPECT_EQ(h.dwFlags, WHDR_DONE);
    EXPECT_EQ(waveInClose(in), MMSYSERR_NOERROR);
}

// Reset returns every queued header done, in order, once; a second reset posts nothing.
TEST_F(WaveProtocolAudioTest, ResetReturnsQueuedHeadersDoneInOrder) {
    for (bool input : {true, false}) {
        SCOPED_TRACE(input ? "wave-in" : "wave-out");
        auto f = Extensible(2, kRate, 0x3);
        const DWORD frames = 256;
        Buffers b(3, frames * 8);
        HWAVEIN in{};
        HWAVEOUT out{};
        if (input) {
            ASSERT_EQ(waveInOpen(&in, 1, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), 0u);
            for (auto& h : b.headers) {
                ASSERT_EQ(waveInPrepareHeader(in, &h, sizeof(h)), 0u);
                ASSERT_EQ(waveInAddBuffer(in, &h, sizeof(h)), 0u);
            }
            ASSERT_EQ(waveInStart(in), 0u);
        } else {
            ASSERT_EQ(waveOutOpen(&out, 1, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), 0u);
            for (auto& h : b.headers) {
                ASSERT_EQ(waveOutPrepareHeader(out, &h, sizeof(h)), 0u);
                ASSERT_EQ(waveOutWrite(out, &h, sizeof(h)), 0u);
            }
        }
        TakeAll();
        VirtualCardStep(frames + frames / 2, kRate);  // the first is done, the second half
        const UINT done_message = input ? MM_WIM_DATA : MM_WOM_DONE;
        auto first = TakeOnly(done_message);
        ASSERT_EQ(first.size(), 1u);
        EXPECT_EQ(HeaderOf(first[0]), &b.headers[0]);
        ASSERT_EQ(input ? waveInReset(in) : waveOutReset(out), 0u);
        auto rest = TakeOnly(done_message);
        ASSERT_EQ(rest.size(), 2u);
        for (int i = 0; i < 2; ++i) {
            WAVEHDR* h = HeaderOf(rest[i]);
            EXPECT_EQ(h, &b.headers[i + 1]) << "order";
            EXPECT_EQ(h->dwFlags, WHDR_PREPARED | WHDR_DONE);
            EXPECT_EQ(rest[i].wParam, input ? in.value : out.value);
        }
        if (input) {
            EXPECT_EQ(b.headers[0].dwBytesRecorded, frames * 8);
            EXPECT_EQ(b.headers[1].dwBytesRecorded, frames / 2 * 8) << "partly recorded";
            EXPECT_EQ(b.headers[2].dwBytesRecorded, 0u);
        }
        ASSERT_EQ(input ? waveInReset(in) : waveOutReset(out), 0u);
        VirtualCardStep(frames * 4, kRate);
        EXPECT_TRUE(TakeOnly(done_message).empty()) << "a returned header came back again";
        for (auto& h : b.headers) {
            ASSERT_EQ(input ? waveInUnprepareHeader(in, &h, sizeof(h))
                            : waveOutUnprepareHeader(out, &h, sizeof(h)),
                      0u);
        }
        ASSERT_EQ(input ? waveInClose(in) : waveOutClose(out), 0u);
        TakeAll();
    }
}

// The measurement plays one stereo buffer of 2,144,000 bytes while it records one of 2,108,000
// bytes; its done handlers stop, reset, unprepare and close the device that just returned its
// only header: no second done message may follow.
TEST_F(WaveProtocolAudioTest, ResetInsideTheDoneHandlerPostsNoSecondDone) {
    auto f = Extensible(2, kRate);
    std::vector<char> in_memory(2108000), out_memory(2144000);
    WAVEHDR in_header{}, out_header{};
    in_header.lpData = in_memory.data();
    in_header.dwBufferLength = static_cast<DWORD>(in_memory.size());
    in_header.dwLoops = 1;
    out_header.lpData = out_memory.data();
    out_header.dwBufferLength = static_cast<DWORD>(out_memory.size());
    out_header.dwLoops = 1;
    HWAVEOUT out{};
    HWAVEIN in{};
    ASSERT_EQ(waveOutOpen(&out, 0, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), 0u);
    ASSERT_EQ(waveInOpen(&in, 0, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), 0u);
    ASSERT_EQ(waveInPrepareHeader(in, &in_header, sizeof(in_header)), 0u);
    ASSERT_EQ(waveInAddBuffer(in, &in_header, sizeof(in_header)), 0u);
    ASSERT_EQ(waveOutPrepareHeader(out, &out_header, sizeof(out_header)), 0u);
    ASSERT_EQ(waveInStart(in), 0u);
    ASSERT_EQ(waveOutWrite(out, &out_header, sizeof(out_header)), 0u);
    TakeAll();
    int wim_data = 0, wom_done = 0;
    for (int step = 0; step < 70; ++step) {
        VirtualCardStep(4800, kRate);
        for (const MSG& m : TakeAll()) {
            if (m.message == MM_WIM_DATA) {
                ++wim_data;
                EXPECT_EQ(HeaderOf(m)->dwBytesRecorded, in_header.dwBufferLength);
                EXPECT_EQ(waveInStop(in), 0u);
                EXPECT_EQ(waveInReset(in), 0u);
                EXPECT_EQ(waveInUnprepareHeader(in, &in_header, sizeof(in_header)), 0u);
                EXPECT_EQ(waveInClose(in), 0u);
            } else if (m.message == MM_WOM_DONE) {
                ++wom_done;
                EXPECT_EQ(wim_data, 1) << "the shorter capture must end first";
                EXPECT_EQ(waveOutReset(out), 0u);
                EXPECT_EQ(waveOutUnprepareHeader(out, &out_header, sizeof(out_header)), 0u);
                EXPECT_EQ(waveOutClose(out), 0u);
            }
        }
    }
    EXPECT_EQ(wim_data, 1);
    EXPECT_EQ(wom_done, 1);
}

// waveInStop returns a partly filled header and keeps the empty ones queued.
TEST_F(WaveProtocolAudioTest, StopReturnsOnlyThePartlyFilledHeader) {
    auto f = Extensible(2, kRate);
    Buffers b(3, 100 * 8);
    HWAVEIN in{};
    ASSERT_EQ(waveInOpen(&in, 0, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), 0u);
    for (auto& h : b.headers) {
        ASSERT_EQ(waveInPrepareHeader(in, &h, sizeof(h)), 0u);
        ASSERT_EQ(waveInAddBuffer(in, &h, sizeof(h)), 0u);
    }
    VirtualCardStep(500, kRate);  // not started: nothing recorded
    EXPECT_TRUE(TakeOnly(MM_WIM_DATA).empty());
    ASSERT_EQ(waveInStart(in), 0u);
    VirtualCardStep(130, kRate);
    ASSERT_EQ(waveInStop(in), 0u);
    auto done = TakeOnly(MM_WIM_DATA);
    ASSERT_EQ(done.size(), 2u);
    EXPECT_EQ(b.headers[0].dwBytesRecorded, 800u);
    EXPECT_EQ(b.headers[1].dwBytesRecorded, 240u);
    EXPECT_EQ(b.headers[2].dwFlags, WHDR_PREPARED | WHDR_INQUEUE);
    VirtualCardStep(500, kRate);  // stopped: nothing moves
    EXPECT_TRUE(TakeOnly(MM_WIM_DATA).empty());
    EXPECT_EQ(waveInClose(in), WAVERR_STILLPLAYING);
    ASSERT_EQ(waveInReset(in), 0u);
    EXPECT_EQ(TakeOnly(MM_WIM_DATA).size(), 1u);
    EXPECT_EQ(waveInClose(in), 0u);
}

// Each injected failure returns its code, does nothing else, and leaves nothing open once the
// caller closes what it opened.
TEST_F(WaveProtocolAudioTest, InjectedFailuresReturnTheirErrorAndLeaveNothingOpen) {
    struct Row {
        WaveCall call;
        MMRESULT error;
    } rows[] = {{WaveCall::InOpen, MMSYSERR_ALLOCATED},  {WaveCall::OutOpen, MMSYSERR_NODRIVER},
                {WaveCall::InPrepare, MMSYSERR_NOMEM},   {WaveCall::OutPrepare, MMSYSERR_NOMEM},
                {WaveCall::InAdd, MMSYSERR_ERROR},       {WaveCall::OutWrite, MMSYSERR_ERROR},
                {WaveCall::InStart, MMSYSERR_ERROR},     {WaveCall::InReset, MMSYSERR_ERROR},
                {WaveCall::OutReset, MMSYSERR_ERROR},    {WaveCall::InClose, MMSYSERR_ERROR},
                {WaveCall::OutClose, MMSYSERR_ERROR},    {WaveCall::InUnprepare, MMSYSERR_ERROR},
                {WaveCall::OutUnprepare, MMSYSERR_ERROR}};
    auto f = Extensible(2, kRate);
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.call));
        VirtualCardFailCall(r.call, r.error);
        Buffers b(1, 64 * 8);
        WAVEHDR& h = b.headers[0];
        HWAVEIN in{};
        HWAVEOUT out{};
        MMRESULT got_in = waveInOpen(&in, 0, AsFormat(f), kWindow, 0, CALLBACK_WINDOW);
        MMRESULT got_out = waveOutOpen(&out, 0, AsFormat(f), kWindow, 0, CALLBACK_WINDOW);
        if (r.call == WaveCall::InOpen) {
            EXPECT_EQ(got_in, r.error);
            EXPECT_FALSE(in);
            EXPECT_EQ(got_out, 0u);
            EXPECT_EQ(OpenWaveDeviceCount(), 1) << "the failed open left a device";
            ASSERT_EQ(waveOutClose(out), 0u);
            EXPECT_EQ(TakeOnly(MM_WIM_OPEN).size(), 0u);
            TakeAll();
            continue;
        }
        if (r.call == WaveCall::OutOpen) {
            EXPECT_EQ(got_out, r.error);
            EXPECT_FALSE(out);
            EXPECT_EQ(got_in, 0u);
            ASSERT_EQ(waveInClose(in), 0u);
            TakeAll();
            continue;
        }
        ASSERT_EQ(got_in, 0u);
        ASSERT_EQ(got_out, 0u);
        const bool input_side = r.call == WaveCall::InPrepare || r.call == WaveCall::InAdd ||
                                r.call == WaveCall::InStart || r.call == WaveCall::InReset ||
                                r.call == WaveCall::InClose || r.call == WaveCall::InUnprepare;
        MMRESULT prepared = input_side ? waveInPrepareHeader(in, &h, sizeof(h))
                                       : waveOutPrepareHeader(out, &h, sizeof(h));
        if (r.call == WaveCall::InPrepare || r.call == WaveCall::OutPrepare) {
            EXPECT_EQ(prepared, r.error);
            EXPECT_EQ(h.dwFlags, 0u) << "a failed prepare marked the header";
        } else {
            ASSERT_EQ(prepared, 0u);
            MMRESULT queued =
                input_side ? waveInAddBuffer(in, &h, sizeof(h)) : waveOutWrite(out, &h, sizeof(h));
            if (r.call == WaveCall::InAdd || r.call == WaveCall::OutWrite) {
                EXPECT_EQ(queued, r.error);
                EXPECT_EQ(h.dwFlags, WHDR_PREPARED) << "a failed queue call queued the header";
            } else {
                ASSERT_EQ(queued, 0u);
                if (r.call == WaveCall::InStart) {
                    EXPECT_EQ(waveInStart(in), r.error);
                }
                MMRESULT reset = input_side ? waveInReset(in) : waveOutReset(out);
                if (r.call == WaveCall::InReset || r.call == WaveCall::OutReset) {
                    EXPECT_EQ(reset, r.error);
                    EXPECT_TRUE(h.dwFlags & WHDR_INQUEUE) << "a failed reset returned the header";
                    ASSERT_EQ(input_side ? waveInReset(in) : waveOutReset(out), 0u);
                }
                MMRESULT unprepared = input_side ? waveInUnprepareHeader(in, &h, sizeof(h))
                                                 : waveOutUnprepareHeader(out, &h, sizeof(h));
                if (r.call == WaveCall::InUnprepare || r.call == WaveCall::OutUnprepare) {
                    EXPECT_EQ(unprepared, r.error);
                    EXPECT_TRUE(h.dwFlags & WHDR_PREPARED);
                }
            }
        }
        MMRESULT closed_in = waveInClose(in);
        MMRESULT closed_out = waveOutClose(out);
        if (r.call == WaveCall::InClose) {
            EXPECT_EQ(closed_in, r.error);
            EXPECT_EQ(OpenWaveDeviceCount(), 1) << "a failed close closed the device";
            ASSERT_EQ(waveInClose(in), 0u) << "the failure was meant once";
        } else {
            EXPECT_EQ(closed_in, 0u);
        }
        if (r.call == WaveCall::OutClose) {
            EXPECT_EQ(closed_out, r.error);
            ASSERT_EQ(waveOutClose(out), 0u);
        } else {
            EXPECT_EQ(closed_out, 0u);
        }
        EXPECT_EQ(OpenWaveDeviceCount(), 0);
        TakeAll();
    }
}

TEST_F(WaveProtocolAudioTest, InjectedFailuresOfCapabilitiesAndStop) {
    VirtualCardFailCall(WaveCall::InCaps, MMSYSERR_NODRIVER);
    VirtualCardFailCall(WaveCall::OutCaps, MMSYSERR_NOMEM);
    WAVEINCAPS in_caps{};
    WAVEOUTCAPS out_caps{};
    EXPECT_EQ(waveInGetDevCaps(0, &in_caps, sizeof(in_caps)), MMSYSERR_NODRIVER);
    EXPECT_EQ(waveInGetDevCaps(0, &in_caps, sizeof(in_caps)), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutGetDevCaps(1, &out_caps, sizeof(out_caps)), MMSYSERR_NOMEM);
    EXPECT_EQ(waveOutGetDevCaps(1, &out_caps, sizeof(out_caps)), MMSYSERR_NOERROR);
    auto f = Extensible(2, kRate);
    Buffers b(1, 100 * 8);
    HWAVEIN in{};
    ASSERT_EQ(waveInOpen(&in, 0, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), 0u);
    ASSERT_EQ(waveInPrepareHeader(in, &b.headers[0], sizeof(WAVEHDR)), 0u);
    ASSERT_EQ(waveInAddBuffer(in, &b.headers[0], sizeof(WAVEHDR)), 0u);
    ASSERT_EQ(waveInStart(in), 0u);
    VirtualCardStep(50, kRate);
    VirtualCardFailCall(WaveCall::InStop, MMSYSERR_ERROR);
    EXPECT_EQ(waveInStop(in), MMSYSERR_ERROR);
    VirtualCardStep(50, kRate);  // still recording: the failed stop did nothing
    auto done = TakeOnly(MM_WIM_DATA);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(b.headers[0].dwBytesRecorded, 800u);
    ASSERT_EQ(waveInStop(in), 0u);
    ASSERT_EQ(waveInClose(in), 0u);
}

TEST_F(WaveProtocolAudioTest, InjectedFailureCanWaitForItsTurn) {
    auto f = Extensible(2, kRate);
    VirtualCardFailCall(WaveCall::OutWrite, MMSYSERR_NOMEM, 2, 1);
    Buffers b(4, 64 * 8);
    HWAVEOUT out{};
    ASSERT_EQ(waveOutOpen(&out, 0, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), 0u);
    MMRESULT results[4];
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(waveOutPrepareHeader(out, &b.headers[i], sizeof(WAVEHDR)), 0u);
        results[i] = waveOutWrite(out, &b.headers[i], sizeof(WAVEHDR));
    }
    EXPECT_EQ(results[0], 0u);
    EXPECT_EQ(results[1], 0u);
    EXPECT_EQ(results[2], MMSYSERR_NOMEM);
    EXPECT_EQ(results[3], 0u);
    ASSERT_EQ(waveOutReset(out), 0u);
    auto done = TakeOnly(MM_WOM_DONE);
    ASSERT_EQ(done.size(), 3u);
    EXPECT_EQ(HeaderOf(done[2]), &b.headers[3]);
    ASSERT_EQ(waveOutClose(out), 0u);
}

TEST_F(WaveProtocolAudioTest, LayerResetReturnsHeadersAndClosesEverything) {
    auto f = Extensible(2, kRate);
    Buffers b(2, 64 * 8);
    HWAVEIN in{};
    HWAVEOUT out{};
    ASSERT_EQ(waveInOpen(&in, 0, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), 0u);
    ASSERT_EQ(waveOutOpen(&out, 0, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), 0u);
    ASSERT_EQ(waveInPrepareHeader(in, &b.headers[0], sizeof(WAVEHDR)), 0u);
    ASSERT_EQ(waveInAddBuffer(in, &b.headers[0], sizeof(WAVEHDR)), 0u);
    ASSERT_EQ(waveOutPrepareHeader(out, &b.headers[1], sizeof(WAVEHDR)), 0u);
    ASSERT_EQ(waveOutWrite(out, &b.headers[1], sizeof(WAVEHDR)), 0u);
    VirtualCardFailCall(WaveCall::InClose, MMSYSERR_ERROR);  // must not keep the reset from closing
    TakeAll();
    ResetAudioLayer();
    EXPECT_EQ(OpenWaveDeviceCount(), 0);
    EXPECT_EQ(b.headers[0].dwFlags, WHDR_PREPARED | WHDR_DONE);
    EXPECT_EQ(b.headers[1].dwFlags, WHDR_PREPARED | WHDR_DONE);
    auto messages = TakeAll();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0].message, MM_WIM_DATA);
    EXPECT_EQ(messages[1].message, MM_WIM_CLOSE);
    EXPECT_EQ(messages[2].message, MM_WOM_DONE);
    EXPECT_EQ(messages[3].message, MM_WOM_CLOSE);
    ASSERT_TRUE(SelectAudioBackend(AudioBackend::Virtual));
}

TEST_F(WaveProtocolAudioTest, InputWithNothingQueuedCountsOneXrunPerGap) {
    auto f = Extensible(2, kRate);
    Buffers b(1, 100 * 8);
    HWAVEIN in{};
    ASSERT_EQ(waveInOpen(&in, 0, AsFormat(f), kWindow, 0, CALLBACK_WINDOW), 0u);
    ASSERT_EQ(waveInPrepareHeader(in, &b.headers[0], sizeof(WAVEHDR)), 0u);
    ASSERT_EQ(waveInStart(in), 0u);
    VirtualCardStep(300, kRate);
    EXPECT_EQ(WaveInXrunCount(in), 1);
    ASSERT_EQ(waveInAddBuffer(in, &b.headers[0], sizeof(WAVEHDR)), 0u);
    VirtualCardStep(100, kRate);
    EXPECT_EQ(TakeOnly(MM_WIM_DATA).size(), 1u);
    VirtualCardStep(100, kRate);
    EXPECT_EQ(WaveInXrunCount(in), 2);
    ASSERT_EQ(waveInReset(in), 0u);
    ASSERT_EQ(waveInClose(in), 0u);
}

}  // namespace
}  // namespace platform::test
