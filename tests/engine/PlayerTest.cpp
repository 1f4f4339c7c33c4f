// The Play road and scheduler on the virtual sound card: pass-through end to end with constant
// latency, Play/STOP cycles (also during the start chain and by closing), injected device
// failures, a capture stall, a fast output clock, and what is left afterwards.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <ostream>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/Engine.h"
#include "engine/Globals.h"
#include "engine/Ids.h"
#include "engine/WaveDevices.h"
#include "engine/Workers.h"
#include "platform/audio/VirtualCard.h"
#include "platform/audio/Wave.h"
#include "platform/gdi/Gdi.h"
#include "platform/sys/Threads.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/DevicesLeftOpen.h"
#include "shell/Globals.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"
#include "tests/ReadableNames.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

using namespace platform;
namespace pt = platform::testing;

int g_pane_commands = 0;

LRESULT PlayerWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case engine::kPlayCommand:
                    engine::PlayCommand(hwnd);
                    return 0;
                case engine::kStopCommand:
                    engine::StopCommand(hwnd);
                    return 0;
                case engine::kFrontLeftButton:
                case engine::kFrontRightButton:
                    ++g_pane_commands;
                    return 0;
            }
            break;
        case WM_TIMER:
            if (engine::PlayerTimer(hwnd, wParam)) return 0;
            break;
        case MM_WIM_DATA:
            engine::OnWaveInData(hwnd, wParam, lParam);
            return 0;
        case MM_WOM_DONE:
            engine::OnWaveOutDone(hwnd, wParam, lParam);
            return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

constexpr int kF = 1024;
constexpr int kReadoutIds[] = {engine::kRingWordsReadout,   engine::kRingInReadout,
                               engine::kRingOutReadout,     engine::kProcessTimeReadout,
                               engine::kBlockPeriodReadout, engine::kBlockCountReadout};

// Unit-impulse filters (partition 0 all ones) for every output.
std::vector<float> g_unit_spectra;
std::vector<const float*> g_unit_pointers;
std::int32_t g_routing[8][16];
int NoBuild() { return 0; }

class Player : public ::testing::Test {
  protected:
    HWND dialog{};
    shell::PreferencesRecord* preferences_ = nullptr;

    void SetUp() override {
        // The block size and the queue counts are set here, not by a preferences record that an
        // earlier test of the process may have allocated (a play would take them from it).
        preferences_ = std::exchange(shell::Preferences, nullptr);
        g_pane_commands = 0;
        pt::ResetLayer();
        ASSERT_TRUE(VirtualCardReset());
        engine::test::ResetFolders();
        shell::BlockFrames = kF;
        shell::BlockFrames2 = 2 * kF;
        shell::BlockFrames4 = 4 * kF;
        shell::InputLayout = 0;
        shell::OutputLayout = 1;
        shell::PlayerDeviceWords[0] = 1;  // "QV Virtual In 1-2"
        shell::PlayerDeviceWords[8] = 0;  // "QV Virtual Out 1-16"
        shell::Project.Settings.SampleRateIndex = 5;
        shell::Project.Settings.VolumeSliderPosition = 51;
        engine::InputBufferCount = 3;
        engine::OutputBufferCount = 3;

        g_unit_spectra.assign(static_cast<std::size_t>(16 * 8) * 4 * kF, 0.0f);
        g_unit_pointers.clear();
        for (int i = 0; i < 16 * 8; ++i) {
            float* s = g_unit_spectra.data() + static_cast<std::size_t>(i) * 4 * kF;
            if (i % 8 == 0)
                for (int k = 0; k < 2 * kF; ++k) s[2 * k] = 1.0f;
            g_unit_pointers.push_back(s);
        }
        for (auto& row : g_routing)
            for (auto& v : row) v = 0;
        for (int o = 0; o < 16; ++o) g_routing[o % 2][o] = 1;  // input 1 odd outputs, 2 even
        engine::SetFilterSource({NoBuild, g_unit_pointers.data(), g_routing});

        WNDCLASS wc{};
        wc.lpfnWndProc = PlayerWndProc;
        wc.lpszClassName = "EnginePlayerTest";
        RegisterClass(&wc);  // the layer forgets classes at every reset
        dialog = CreateWindow("EnginePlayerTest", "System Design + Player", 0, 0, 0, 200, 200,
                              HWND{}, HMENU{}, HINSTANCE{}, nullptr);
        ASSERT_TRUE(dialog);
        // The six read-outs of the player, as plain child windows.
        WNDCLASS readout{};
        readout.lpfnWndProc = DefWindowProc;
        readout.lpszClassName = "EnginePlayerReadout";
        RegisterClass(&readout);
        for (int id : kReadoutIds)
            CreateWindow("EnginePlayerReadout", "", WS_CHILD, 0, 0, 60, 20, dialog,
                         HMENU::FromIndex(static_cast<std::uint32_t>(id)), HINSTANCE{}, nullptr);
        engine::InitPlayer(dialog);
        engine::MasterGain = 1.0f;
        pt::ClearMessageBoxLog();
    }

    void TearDown() override {
        engine::ClosePlayer(dialog);
        EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
        EXPECT_EQ(shell::AudioBusy, 0);
        EXPECT_EQ(OpenWaveDeviceCount(), 0) << "devices left open";
        EXPECT_FALSE(engine::WorkersRunning());
        engine::SetFilterSource({nullptr, nullptr, nullptr});
        VirtualCardRecordOutput(0);
        DestroyWindow(dialog);
        shell::Preferences = preferences_;
    }

    void Play() {
        SendMessage(dialog, WM_COMMAND, engine::kPlayCommand, 0);
        pt::AdvanceTime(1600);
    }
    void Blocks(int count) {
        for (int i = 0; i < count; ++i) {
            VirtualCardStep(kF, 48000);
            pt::PumpUntilIdle();
        }
    }
    std::string Readout(int id) {
        char text[64] = {};
        GetDlgItemText(dialog, id, text, sizeof text);
        return text;
    }
};

std::vector<std::int32_t> Ramp(int length, int step, int offset) {
    std::vector<std::int32_t> v(length);
    for (int n = 0; n < length; ++n) v[n] = ((n * step + offset) % 2000000) - 1000000;
    return v;
}

TEST_F(Player, PassThroughEndToEndWithConstantLatency) {
    const int blocks = 300;
    const auto left = Ramp(blocks * kF, 37, 0);
    const auto right = Ramp(blocks * kF, 53, 500000);
    VirtualCardSetInputSignal(0, left.data(), left.size(), false);
    VirtualCardSetInputSignal(1, right.data(), right.size(), false);
    VirtualCardRecordOutput(static_cast<std::size_t>(blocks + 8) * kF);
    Play();
    ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
    EXPECT_EQ(shell::AudioBusy, 1);
    EXPECT_EQ(g_pane_commands, 2);
    // Every thread on the block's path asks for real-time scheduling while the run plays.
    for (int w = 0; w < 4; ++w)
        EXPECT_EQ(engine::WorkerThreadPriority(w), THREAD_PRIORITY_TIME_CRITICAL) << w;
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_TIME_CRITICAL);
    // Every array a block passes through starts on a 64-byte line.
    const void* arrays[] = {engine::InterleavedOutputBlock,  engine::OutputHeaders[0].lpData,
                            engine::OutputHeaders[1].lpData, engine::InputHeaders[0].lpData,
                            engine::Dsp.input_slots[0],      engine::Dsp.words[0],
                            engine::Dsp.words[15],           engine::Dsp.tails[3]};
    for (const void* a : arrays) EXPECT_EQ(reinterpret_cast<std::uintptr_t>(a) % 64, 0u) << a;
    Blocks(blocks);
    const std::size_t recorded = VirtualCardRecordedFrames();
    ASSERT_GT(recorded, static_cast<std::size_t>(blocks - 10) * kF);
    // The latency: where output 1 first carries the start of the left ramp.
    long latency = -1;
    for (long lag = 0; lag < 8 * kF && latency < 0; ++lag) {
        bool match = true;
        for (int n = 0; n < 64 && match; ++n)
            match = std::abs(VirtualCardRecordedSample(0, lag + n) - left[n]) <= 1;
        if (match) latency = lag;
    }
    ASSERT_GE(latency, 0) << "the input never reached output 1";
    for (int o = 0; o < 16; ++o) {
        const auto& in = o % 2 == 0 ? left : right;
        for (std::size_t t = latency; t < recorded && t - latency < in.size(); ++t)
            ASSERT_NEAR(VirtualCardRecordedSample(o, t), in[t - latency], 1)
                << "output " << o + 1 << " frame " << t << " latency " << latency;
    }
    EXPECT_EQ(engine::CurrentPlayerCounters().underruns, 0);
    SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
    EXPECT_EQ(shell::AudioBusy, 0);
    EXPECT_EQ(shell::Project.Settings.VolumeSliderPosition, 9);
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
}

// A filter that is not finite is refused by the engine: its output plays silence, the others
// play, and the user is told which output before playback starts.
TEST_F(Player, AFilterThatIsNoNumberSilencesItsOutputWithAMessage) {
    g_unit_spectra[static_cast<std::size_t>(4 * 8) * 4 * kF + 10] =
        std::numeric_limits<float>::quiet_NaN();  // output 5
    const auto in = Ramp(24 * kF, 37, 11);
    VirtualCardSetInputSignal(0, in.data(), in.size(), false);
    VirtualCardRecordOutput(static_cast<std::size_t>(24) * kF);
    Play();
    ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
    ASSERT_EQ(pt::MessageBoxLog().size(), 1u);
    EXPECT_EQ(pt::MessageBoxLog()[0].text,
              "Output 5 will play nothing: its filter holds values that are not numbers or are "
              "out of range.");
    Blocks(20);
    bool output1_heard = false;
    for (std::size_t t = 0; t < VirtualCardRecordedFrames(); ++t) {
        ASSERT_EQ(VirtualCardRecordedSample(4, t), 0) << "frame " << t;
        output1_heard = output1_heard || VirtualCardRecordedSample(0, t) != 0;
    }
    EXPECT_TRUE(output1_heard);
    SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
}

TEST_F(Player, HundredPlayStopCyclesIncludingStopDuringTheStartChainAndClose) {
    for (int cycle = 0; cycle < 100; ++cycle) {
        SendMessage(dialog, WM_COMMAND, engine::kPlayCommand, 0);
        switch (cycle % 4) {
            case 0:  // STOP during the chain
                pt::AdvanceTime(700);
                SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
                pt::AdvanceTime(2000);
                ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped) << cycle;
                break;
            case 1:  // a second Play while starting is ignored; STOP while playing
                pt::AdvanceTime(600);
                SendMessage(dialog, WM_COMMAND, engine::kPlayCommand, 0);
                pt::AdvanceTime(1000);
                ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing)
                    << cycle
                    << (pt::MessageBoxLog().empty() ? "" : pt::MessageBoxLog().back().text);
                Blocks(3);
                SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
                break;
            case 2:  // closing the dialog while playing stops first
                pt::AdvanceTime(1600);
                Blocks(2);
                engine::ClosePlayer(dialog);
                break;
            default:  // Play while playing is ignored
                pt::AdvanceTime(1600);
                Blocks(1);
                SendMessage(dialog, WM_COMMAND, engine::kPlayCommand, 0);
                pt::AdvanceTime(600);  // no second start chain runs
                Blocks(1);
                ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing) << cycle;
                SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
                break;
        }
        ASSERT_EQ(shell::AudioBusy, 0) << cycle;
        ASSERT_EQ(OpenWaveDeviceCount(), 0) << cycle;
        ASSERT_FALSE(engine::WorkersRunning()) << cycle;
    }
    for (const auto& box : pt::MessageBoxLog())
        ADD_FAILURE() << "message \"" << box.text << "\" (" << box.caption << ")";
}

struct FailureCase {
    WaveCall call;
    const char* caption;
};
void PrintTo(const FailureCase& c, std::ostream* os) {
    static const char* const kCalls[] = {"InOpen",   "InPrepare",    "InAdd",       "InStart",
                                         "InStop",   "InReset",      "InUnprepare", "InClose",
                                         "InCaps",   "OutOpen",      "OutPrepare",  "OutWrite",
                                         "OutReset", "OutUnprepare", "OutClose",    "OutCaps"};
    *os << "failed " << kCalls[static_cast<int>(c.call)];
}
class PlayerFailure : public Player, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(PlayerFailure, AFailedStartReleasesEverythingAndTheNextPlayWorks) {
    VirtualCardFailCall(GetParam().call, MMSYSERR_NOMEM);
    Play();
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
    EXPECT_EQ(shell::AudioBusy, 0);
    EXPECT_EQ(OpenWaveDeviceCount(), 0);
    ASSERT_FALSE(pt::MessageBoxLog().empty());
    EXPECT_EQ(pt::MessageBoxLog().back().caption, GetParam().caption);
    pt::ClearMessageBoxLog();
    Play();
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
    Blocks(4);
    SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
    EXPECT_TRUE(pt::MessageBoxLog().empty());
}

INSTANTIATE_TEST_SUITE_P(Calls, PlayerFailure,
                         ::testing::Values(FailureCase{WaveCall::InOpen, "QV MEssage"},
                                           FailureCase{WaveCall::InPrepare, "QV MEssage"},
                                           FailureCase{WaveCall::InAdd, "QV MEssage"},
                                           FailureCase{WaveCall::OutOpen, "QV Message"},
                                           FailureCase{WaveCall::OutPrepare, "QV Message"},
                                           FailureCase{WaveCall::InStart, "QV MEssage"}),
                         qvtest::ReadableName());

TEST_F(Player, CaptureStallEndsPlaybackWithAMessage) {
    Play();
    ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
    Blocks(5);
    pt::AdvanceTime(1500);  // no captured block for 1.5 s
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
    EXPECT_EQ(shell::AudioBusy, 0);
    ASSERT_EQ(pt::MessageBoxLog().size(), 1u);
    EXPECT_EQ(pt::MessageBoxLog()[0].caption, "QV Message");
}

// Busy child processes at normal priority, one per core, killed and reaped when it goes.
class CpuLoad {
  public:
    CpuLoad() {
        const long cores = sysconf(_SC_NPROCESSORS_ONLN);
        for (long i = 0; i < (cores > 0 ? cores : 2); ++i) {
            const pid_t pid = fork();
            if (pid != 0) {
                if (pid > 0) children_.push_back(pid);
                continue;
            }
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            volatile double x = 1.0;
            for (;;) x = std::sqrt(x * 1.000001 + 0.5);
        }
    }
    ~CpuLoad() {
        for (pid_t pid : children_) kill(pid, SIGKILL);
        for (pid_t pid : children_) waitpid(pid, nullptr, 0);
    }

  private:
    std::vector<pid_t> children_;
};

// On a loaded machine and without real-time priority the stall is still noticed within the
// stage time-out, not after the scheduler's spin.
TEST_F(Player, StalledWorkerEndsPlaybackWithAMessageAndNoHang) {
    RefuseRealtimeForTest(true);
    const CpuLoad load;
    Play();
    Blocks(3);
    engine::WorkerStallMsForTest = 600;
    Blocks(1);
    engine::WorkerStallMsForTest = 0;
    RefuseRealtimeForTest(false);
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
    ASSERT_EQ(pt::MessageBoxLog().size(), 1u);
    EXPECT_FALSE(engine::WorkersRunning());
}

TEST_F(Player, FastOutputClockNeverUnderflowsTheRing) {
    VirtualCardSetDrift(0.0, 1000.0);
    Play();
    Blocks(470);  // about ten seconds
    EXPECT_EQ(engine::CurrentPlayerCounters().underruns, 0);
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
}

TEST_F(Player, RateChecks) {
    shell::Project.Settings.SampleRateIndex = 2;  // 22050
    SendMessage(dialog, WM_COMMAND, engine::kPlayCommand, 0);
    pt::AdvanceTime(2000);
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
    ASSERT_EQ(pt::MessageBoxLog().size(), 1u);
    EXPECT_EQ(pt::MessageBoxLog()[0].text,
              "Sampling Rate In This Release Must Be Set To\n44100 / 48000 / 96000 "
              "Samples/Second");
    shell::Project.Settings.SampleRateIndex = 6;  // 96000 with 1024 frames
    SendMessage(dialog, WM_COMMAND, engine::kPlayCommand, 0);
    ASSERT_EQ(pt::MessageBoxLog().size(), 2u);
    EXPECT_EQ(pt::MessageBoxLog()[1].text,
              "For 96kHz Sampling Rate, Please select 2048 OR 4096 buffer Size\n");
}

// The read-outs follow the blocks on the display timer. With the output clock stopped the ring
// grows a block (16F words) per block; the eleventh raises it to 176F > 160F and empties it:
// "GB" then shows 0 and "In" the 11 blocks counted before.
TEST_F(Player, ReadoutsAndTheRingOverflowEdge) {
    VirtualCardSetDrift(0.0, -1000000.0);
    Play();
    ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
    struct Row {
        int blocks;  // blocks so far
        const char* gb;
        const char* in;
        std::int64_t overflows;
    } rows[] = {{1, "GB = 16384 ", "In = 1 ", 0},
                {10, "GB = 163840 ", "In = 10 ", 0},
                {11, "GB = 0 ", "In = 11 ", 1},
                {12, "GB = 16384 ", "In = 1 ", 1}};
    int done = 0;
    for (const Row& r : rows) {
        Blocks(r.blocks - done);
        done = r.blocks;
        pt::AdvanceTime(engine::kDisplayPeriodMs);
        EXPECT_EQ(Readout(engine::kRingWordsReadout), r.gb) << r.blocks;
        EXPECT_EQ(Readout(engine::kRingInReadout), r.in) << r.blocks;
        EXPECT_EQ(Readout(engine::kBlockCountReadout), "Fr=" + std::to_string(r.blocks));
        EXPECT_EQ(engine::CurrentPlayerCounters().ring_overflows, r.overflows) << r.blocks;
    }
    EXPECT_EQ(Readout(engine::kProcessTimeReadout).rfind("Pt=", 0), 0u);
    EXPECT_EQ(Readout(engine::kBlockPeriodReadout).rfind("Lt=", 0), 0u);
    EXPECT_EQ(Readout(engine::kRingOutReadout), "Out = 0  ") << "no output buffer came back";
    // With the output running again, "Out" shows the blocks left after a buffer's refill.
    VirtualCardSetDrift(0.0, 0.0);
    Blocks(3);
    SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
    EXPECT_EQ(Readout(engine::kRingOutReadout).rfind("Out = ", 0), 0u);
    EXPECT_EQ(Readout(engine::kBlockCountReadout), "Fr=15") << "STOP shows the last block's";
}

// Pixels of a meter's bars above their stubs that differ from its background.
int MeterBarPixels(HWND dialog, int control) {
    const HWND meter = GetDlgItem(dialog, control);
    const HDC dc = GetDC(meter);
    RECT rc{};
    GetClientRect(meter, &rc);
    const COLORREF background = GetPixel(dc, rc.right - 2, 2);
    int count = 0;
    for (int y = 30; y < rc.bottom - 12; ++y)
        for (int x = 0; x < rc.right; ++x) count += GetPixel(dc, x, y) != background ? 1 : 0;
    ReleaseDC(meter, dc);
    return count;
}

// A test tone through Play: the workers are never handed a block, every output carries the sine,
// the meters' peaks are the block's, and the workers leave with their exit codes at STOP, which
// leaves both meters silent.
TEST_F(Player, TestTonePeaksAndWorkerExitCodes) {
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "EnginePlayerMeter";
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    RegisterClass(&wc);
    ShowWindow(dialog, SW_SHOW);
    for (const int control : {engine::kInputMeterControl, engine::kOutputMeterControl})
        CreateWindow("EnginePlayerMeter", "", WS_CHILD | WS_VISIBLE, 0, 0, 140, 200, dialog,
                     HMENU::FromIndex(control), HINSTANCE{}, nullptr);
    const std::vector<std::int32_t> level(24 * kF, 40000);
    VirtualCardSetInputSignal(0, level.data(), level.size(), false);
    engine::TestToneSelector = 17;
    shell::Project.Settings.VolumeSliderPosition = 51;
    VirtualCardRecordOutput(static_cast<std::size_t>(24) * kF);
    Play();
    ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
    Blocks(12);
    for (int w = 0; w < 4; ++w) EXPECT_EQ(engine::WorkerBusy[w].load(), 0) << w;
    float in[8], out[16];
    engine::LastBlockPeaks(in, out);
    EXPECT_EQ(in[0], 40000.0f) << "left, on the 24-bit scale";
    EXPECT_EQ(in[2], 0.0f) << "right";
    for (int o = 0; o < 16; ++o) EXPECT_NEAR(out[o], 356000000.0f, 356000.0f) << o;
    bool sounds[16] = {};
    for (std::size_t t = 0; t < VirtualCardRecordedFrames(); ++t)
        for (int o = 0; o < 16; ++o) sounds[o] = sounds[o] || VirtualCardRecordedSample(o, t) != 0;
    for (int o = 0; o < 16; ++o) EXPECT_TRUE(sounds[o]) << o;
    // The display timer draws those peaks into the meters; STOP wipes both.
    const int in_meter = engine::kInputMeterControl, out_meter = engine::kOutputMeterControl;
    EXPECT_EQ(MeterBarPixels(dialog, out_meter), 0);
    pt::AdvanceTime(engine::kDisplayPeriodMs);
    EXPECT_GT(MeterBarPixels(dialog, out_meter), 16 * 100) << "sixteen bars";
    EXPECT_GT(MeterBarPixels(dialog, in_meter), 0) << "the input's bar";
    SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
    EXPECT_EQ(MeterBarPixels(dialog, out_meter), 0);
    EXPECT_EQ(MeterBarPixels(dialog, in_meter), 0) << "the input's bar stays after STOP";
    const int codes[4] = {3, 4, 1, 1};  // input A, input B, output Low, High
    for (int w = 0; w < 4; ++w) EXPECT_EQ(engine::WorkerExitCodes[w].load(), codes[w]) << w;
}

// Writes of the first output batch that fail: the headers the device took play on (one message);
// with none taken the play ends, releases everything, and the next Play works.
struct FirstBatchCase {
    int skip;
    int times;
    bool plays;
};
void PrintTo(const FirstBatchCase& c, std::ostream* os) {
    if (c.times < 0)
        *os << "every write fails";
    else
        *os << "writes " << c.skip + 1 << " to " << c.skip + c.times << " fail";
}
class PlayerFirstBatch : public Player, public ::testing::WithParamInterface<FirstBatchCase> {};

TEST_P(PlayerFirstBatch, OnlyTheWrittenHeadersCirculateAndWithNoneThePlayEnds) {
    const FirstBatchCase c = GetParam();
    const int blocks = 40;
    const auto left = Ramp(blocks * kF, 37, 0);
    VirtualCardSetInputSignal(0, left.data(), left.size(), false);
    VirtualCardSetInputSignal(1, left.data(), left.size(), false);
    VirtualCardRecordOutput(static_cast<std::size_t>(blocks + 8) * kF);
    // times -1: every header of the batch.
    const int times = c.times < 0 ? engine::OutputBufferCount : c.times;
    VirtualCardFailCall(WaveCall::OutWrite, MMSYSERR_ERROR, c.skip, times);
    Play();
    Blocks(blocks);
    ASSERT_EQ(pt::MessageBoxLog().size(), 1u);
    EXPECT_EQ(pt::MessageBoxLog()[0].caption, "QV MEssage");
    if (!c.plays) {
        EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
        EXPECT_EQ(shell::AudioBusy, 0);
        EXPECT_EQ(OpenWaveDeviceCount(), 0);
        EXPECT_FALSE(engine::WorkersRunning());
        pt::ClearMessageBoxLog();
        Play();
        EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
        Blocks(4);
        EXPECT_TRUE(pt::MessageBoxLog().empty());
        return;
    }
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
    EXPECT_EQ(engine::CurrentPlayerCounters().ring_overflows, 0);
    std::size_t sounding = 0;
    for (std::size_t t = 0; t < VirtualCardRecordedFrames(); ++t)
        sounding += VirtualCardRecordedSample(0, t) != 0 ? 1 : 0;
    EXPECT_GT(sounding, static_cast<std::size_t>(blocks - 10) * kF);
}

INSTANTIATE_TEST_SUITE_P(Table, PlayerFirstBatch,
                         ::testing::Values(FirstBatchCase{0, 1, true}, FirstBatchCase{1, 1, true},
                                           FirstBatchCase{2, 1, true}, FirstBatchCase{0, 2, true},
                                           FirstBatchCase{0, -1, false}),
                         qvtest::ReadableName());

// A close step that fails at STOP: one message for the one failure; a device that does not close
// is left open and closed before the next Play opens anything, which then works (a close that
// keeps failing refuses one Play with a message first).
struct CloseFailureCase {
    WaveCall call;
    int times;
    const char* caption;
    int held;           // devices still open after STOP
    int refused_plays;  // Plays refused before one plays
};
void PrintTo(const CloseFailureCase& c, std::ostream* os) {
    *os << c.caption << " failing " << c.times << " times";
}
class PlayerCloseFailure : public Player, public ::testing::WithParamInterface<CloseFailureCase> {};

TEST_P(PlayerCloseFailure, OneMessageAndTheNextPlayWorks) {
    const CloseFailureCase c = GetParam();
    Play();
    Blocks(3);
    VirtualCardFailCall(c.call, MMSYSERR_ERROR, 0, c.times);
    SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
    ASSERT_EQ(pt::MessageBoxLog().size(), 1u);
    EXPECT_EQ(pt::MessageBoxLog()[0].caption, c.caption);
    EXPECT_EQ(OpenWaveDeviceCount(), c.held);
    EXPECT_EQ(shell::AudioBusy, 0);
    for (int refused = 0; refused < c.refused_plays; ++refused) {
        pt::ClearMessageBoxLog();
        Play();
        EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
        ASSERT_EQ(pt::MessageBoxLog().size(), 1u);
        EXPECT_EQ(pt::MessageBoxLog()[0].text, shell::kDeviceLeftOpenText);
        EXPECT_EQ(OpenWaveDeviceCount(), c.held);
    }
    pt::ClearMessageBoxLog();
    Play();
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
    Blocks(3);
    SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
    EXPECT_TRUE(pt::MessageBoxLog().empty());
    EXPECT_EQ(OpenWaveDeviceCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlayerCloseFailure,
    ::testing::Values(CloseFailureCase{WaveCall::InClose, 2, "QV MEssage 4", 1, 0},
                      CloseFailureCase{WaveCall::OutClose, 2, "QV MEssage 7", 1, 0},
                      CloseFailureCase{WaveCall::InClose, 4, "QV MEssage 4", 1, 1},
                      CloseFailureCase{WaveCall::InClose, 1, "QV MEssage 4", 0, 0},
                      CloseFailureCase{WaveCall::InReset, 1, "QV MEssage 2", 0, 0},
                      CloseFailureCase{WaveCall::OutReset, 1, "QV MEssage 5", 0, 0}),
    qvtest::ReadableName());

// A measurement that takes the busy word while the start chain runs keeps it: the play gives way
// with a message before it opens a device, and leaves the measurement's busy word alone.
TEST_F(Player, TheBusyWordIsCheckedAgainBeforeTheDevicesOpen) {
    SendMessage(dialog, WM_COMMAND, engine::kPlayCommand, 0);
    pt::AdvanceTime(700);
    shell::AudioBusy = 1;  // as a measurement started now sets it
    pt::AdvanceTime(1500);
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
    EXPECT_EQ(shell::AudioBusy, 1);
    EXPECT_EQ(OpenWaveDeviceCount(), 0);
    EXPECT_FALSE(engine::WorkersRunning());
    ASSERT_EQ(pt::MessageBoxLog().size(), 1u);
    EXPECT_EQ(pt::MessageBoxLog()[0].text,
              "The sound device is already in use; close the program or window that uses it.");
    SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
    EXPECT_EQ(shell::AudioBusy, 1) << "STOP clears only the busy word the play set";
    shell::AudioBusy = 0;  // the measurement ends
    Play();
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
    SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
}

// The program away for ten blocks: the card's input overran and its output ran dry; both count
// in the player's counters.
TEST_F(Player, TheCardsOwnOverrunsAndUnderrunsAreCounted) {
    Play();
    Blocks(6);
    EXPECT_EQ(engine::CurrentPlayerCounters().card_input_xruns, 0);
    VirtualCardStep(10 * kF, 48000);
    pt::PumpUntilIdle();
    Blocks(6);
    const engine::PlayerCounters c = engine::CurrentPlayerCounters();
    EXPECT_GE(c.card_input_xruns, 1);
    EXPECT_GE(c.card_output_xruns, 1);
    EXPECT_GE(c.input_drops, c.card_input_xruns);
    EXPECT_GE(c.underruns, c.card_output_xruns);
    SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
    EXPECT_GE(engine::CurrentPlayerCounters().card_input_xruns, c.card_input_xruns);
}

// The title's note appears only when no thread of the play got real-time scheduling.
TEST_F(Player, TheNoRealtimeNoteOnlyWhenNoneWasGranted) {
    for (const bool refuse : {true, false}) {
        SetWindowText(dialog, "System Design + Player");
        RefuseRealtimeForTest(refuse);
        Play();
        ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
        const bool granted =
            ThreadHasRealtimePriority(GetCurrentThread()) || engine::WorkersHaveRealtimePriority();
        char title[128] = {};
        GetWindowText(dialog, title, sizeof title);
        SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
        RefuseRealtimeForTest(false);
        EXPECT_EQ(std::string(title), granted ? "System Design + Player"
                                              : "System Design + Player (no real-time priority)")
            << refuse;
        if (refuse) {
            EXPECT_FALSE(granted);
        }
    }
}

}  // namespace

// ---- WAV input -------------------------------------------------------------------------------

namespace wav {

void Put16(std::string& s, int v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
std::string Chunk(const char* id, const std::string& body, std::uint32_t declared = 0xFFFFFFFF) {
    std::string s(id, 4);
    Put32(s, declared == 0xFFFFFFFF ? static_cast<std::uint32_t>(body.size()) : declared);
    s += body;
    if (body.size() % 2) s.push_back(0);
    return s;
}
std::string Fmt(int tag, int channels, std::uint32_t rate, int bits, int extra = 0) {
    std::string f;
    Put16(f, tag);
    Put16(f, channels);
    Put32(f, rate);
    Put32(f, rate * channels * bits / 8);
    Put16(f, channels * bits / 8);
    Put16(f, bits);
    if (extra) {
        Put16(f, extra);
        f += std::string(static_cast<std::size_t>(extra), '\0');
    }
    return f;
}
std::string Riff(const std::string& chunks) { return Chunk("RIFF", std::string("WAVE") + chunks); }

// Sub-format identifiers as WAV files store them.
const std::string kPcmSubFormat("\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71",
                                16);
const std::string kFloatSubFormat(
    "\x03\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 16);

// A 40-byte 'fmt ' chunk with the extensible tag: 2 channels at 48 kHz in 16-bit containers.
std::string Extensible(int valid_bits, const std::string& sub_format) {
    std::string f = Fmt(0xFFFE, 2, 48000, 16);
    Put16(f, 22);
    Put16(f, valid_bits);
    Put32(f, 0x3);  // front left, front right
    return f + sub_format;
}

std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = ::testing::TempDir() + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
    return path;
}

}  // namespace wav

class WavPlayer : public Player {
  protected:
    void SetUp() override {
        Player::SetUp();
        engine::PlayWavMode = 1;
    }
};

// Unit-impulse filters for F frames per block (partition 0 of every output all ones).
void UseUnitFilters(int f) {
    g_unit_spectra.assign(static_cast<std::size_t>(16 * 8) * 4 * f, 0.0f);
    g_unit_pointers.clear();
    for (int i = 0; i < 16 * 8; ++i) {
        float* s = g_unit_spectra.data() + static_cast<std::size_t>(i) * 4 * f;
        if (i % 8 == 0)
            for (int k = 0; k < 2 * f; ++k) s[2 * k] = 1.0f;
        g_unit_pointers.push_back(s);
    }
    engine::SetFilterSource({NoBuild, g_unit_pointers.data(), g_routing});
}

struct WavEndCase {
    int frames;         // F
    int buffers;        // input and output headers
    int file_frames;    // stereo frames in the file
    int output_layout;  // 0: 8 outputs, 1: 16, 2: 8 + S/PDIF
};
void PrintTo(const WavEndCase& c, std::ostream* os) {
    *os << "F " << c.frames << ", " << c.buffers << " buffers, " << c.file_frames
        << " frames, output layout " << c.output_layout;
}
std::string WavEndText(const WavEndCase& c) {
    std::string text = "F";
    text += std::to_string(c.frames) + "_Buffers" + std::to_string(c.buffers) + "_Frames" +
            std::to_string(c.file_frames) + "_Layout" + std::to_string(c.output_layout);
    return text;
}
std::string WavEndName(const ::testing::TestParamInfo<WavEndCase>& info) {
    return WavEndText(info.param);
}
class WavEnd : public WavPlayer, public ::testing::WithParamInterface<WavEndCase> {};

// Output o plays input (o % 8) + 1. From a stereo file the input ports hear the sides the live
// two-input layout gives them, so every template's ports hear the channel it means; and the file
// is played to its last frame, then silence, before playback stops by itself.
TEST_P(WavEnd, EveryInputPortHearsItsSideAndTheFilePlaysToItsLastFrame) {
    const WavEndCase c = GetParam();
    shell::BlockFrames = c.frames;
    shell::BlockFrames2 = 2 * c.frames;
    shell::BlockFrames4 = 4 * c.frames;
    shell::OutputLayout = c.output_layout;
    engine::InputBufferCount = c.buffers;
    engine::OutputBufferCount = c.buffers;
    for (auto& row : g_routing)
        for (auto& v : row) v = 0;
    for (int o = 0; o < 16; ++o) g_routing[o % 8][o] = 1;
    UseUnitFilters(c.frames);
    constexpr int kRightSide[8] = {0, 1, 1, 0, 0, 1, 0, 1};  // inputs 1..8: 0 left, 1 right

    std::vector<int> side[2] = {std::vector<int>(c.file_frames), std::vector<int>(c.file_frames)};
    std::string data;
    for (int n = 0; n < c.file_frames; ++n) {
        // Within +-3900 (a million on the 24-bit scale), where the float transforms stay exact
        // to one unit.
        side[0][n] = (n * 7919) % 7801 - 3900;
        side[1][n] = 3800 - (n * 104729) % 7603;
        wav::Put16(data, side[0][n]);
        wav::Put16(data, side[1][n]);
    }
    // A LIST chunk after the data is never played as samples.
    const std::string path = wav::Write(
        "engine_end_" + WavEndText(c) + ".wav",
        wav::Riff(wav::Chunk("fmt ", wav::Fmt(1, 2, 48000, 16)) + wav::Chunk("data", data) +
                  wav::Chunk("LIST", std::string(4000, '\x7f'))));
    pt::ScriptFileDialogAnswers({path});
    const int file_blocks = (c.file_frames + c.frames - 1) / c.frames;
    const int most_blocks = file_blocks + 8 + c.buffers + 8;
    VirtualCardRecordOutput(static_cast<std::size_t>(most_blocks + 4) * c.frames);
    Play();
    ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
    int steps = 0;
    for (; steps < most_blocks && engine::CurrentPlayState() == engine::PlayState::Playing;
         ++steps) {
        VirtualCardStep(c.frames, 48000);
        pt::PumpUntilIdle();
    }
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped) << "after " << steps;
    EXPECT_EQ(shell::AudioBusy, 0);
    EXPECT_EQ(engine::WavFile, HMMIO{});
    EXPECT_TRUE(pt::MessageBoxLog().empty());

    long latency = -1;
    for (long lag = 0; lag < 12L * c.frames && latency < 0; ++lag) {
        bool match = true;
        for (int n = 0; n < 40 && n < c.file_frames && match; ++n)
            match = std::abs(VirtualCardRecordedSample(0, lag + n) - side[0][n] * 256) <= 1;
        if (match) latency = lag;
    }
    ASSERT_GE(latency, 0) << "the left side never reached output 1";
    const std::size_t end = static_cast<std::size_t>(latency) + c.file_frames;
    const std::size_t recorded = VirtualCardRecordedFrames();
    ASSERT_GE(recorded, end + c.frames) << "the end of the file (and the silence after it) was cut";
    const int channels = c.output_layout == 1 ? 16 : c.output_layout == 2 ? 10 : 8;
    const int active = c.output_layout == 1 ? 16 : 8;
    for (int o = 0; o < channels; ++o) {
        const std::vector<int>& heard = side[kRightSide[o % 8]];
        for (std::size_t t = latency; t < recorded; ++t) {
            const int want = o < active && t < end ? heard[t - latency] * 256 : 0;
            ASSERT_NEAR(VirtualCardRecordedSample(o, t), want, 1)
                << "output " << o + 1 << " (input " << o % 8 + 1 << ") frame " << t - latency;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, WavEnd,
                         ::testing::Values(WavEndCase{1024, 3, 10540, 0},
                                           WavEndCase{1024, 3, 10540, 1},
                                           WavEndCase{1024, 4, 5 * 1024, 2},
                                           WavEndCase{2048, 2, 700, 1},
                                           WavEndCase{4096, 10, 3 * 4096 + 1234, 1}),
                         WavEndName);

// 16-bit stereo PCM stored with the extensible tag and the PCM sub-format is PCM: it plays.
TEST_F(WavPlayer, ExtensiblePcmSixteenBitStereoPlays) {
    std::string data;
    for (int n = 0; n < 3 * kF; ++n) {
        wav::Put16(data, (n * 13) % 4000 - 2000);
        wav::Put16(data, 0);
    }
    const std::string bytes = wav::Riff(
        wav::Chunk("fmt ", wav::Extensible(16, wav::kPcmSubFormat)) + wav::Chunk("data", data));
    pt::ScriptFileDialogAnswers({wav::Write("engine_extensible.wav", bytes)});
    Play();
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
    EXPECT_TRUE(pt::MessageBoxLog().empty());
    SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
}

struct BadWavCase {
    const char* name;
    std::string bytes;
    std::string message;
    int rate_index = 5;  // the project's sampling rate: 4 = 44100, 5 = 48000, 6 = 96000
};
void PrintTo(const BadWavCase& c, std::ostream* os) { *os << c.name; }
class BadWav : public WavPlayer, public ::testing::WithParamInterface<BadWavCase> {};

TEST_P(BadWav, RefusedWithItsMessageAndNothingPlays) {
    shell::Project.Settings.SampleRateIndex = GetParam().rate_index;
    shell::SetBlockFrames(GetParam().rate_index == 6 ? 1 : 0);  // 96 kHz plays blocks of 2048
    UseUnitFilters(shell::BlockFrames);
    const std::string path = wav::Write(GetParam().name, GetParam().bytes);
    pt::ScriptFileDialogAnswers({path});
    Play();
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
    EXPECT_EQ(shell::AudioBusy, 0);
    EXPECT_EQ(OpenWaveDeviceCount(), 0);
    EXPECT_EQ(engine::WavFile, HMMIO{});
    ASSERT_EQ(pt::MessageBoxLog().size(), 1u);
    EXPECT_EQ(pt::MessageBoxLog()[0].text, GetParam().message);
    EXPECT_EQ(pt::MessageBoxLog()[0].caption, "QV MEssage");
    EXPECT_EQ(pt::MessageBoxLog()[0].type, MB_OK);
}

const std::string kSomeData(4 * kF, '\x01');

// A file is played at the project's rate: at any other it would sound too fast or too slow.
std::string OtherRate(const char* file, const char* project) {
    return std::string("The WAV file is sampled at ") + file +
           " Hz, but the project's sampling rate is " + project +
           " Hz.\nPlease choose a WAV file sampled at " + project + " Hz.";
}
// At a project rate no WAV file can have, whatever the file.
std::string NoWavRate(const char* project) {
    return std::string("The project's sampling rate is ") + project +
           " Hz, but WAV files play only when the project runs at 44100 to 48000 Hz.";
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadWav,
    ::testing::Values(
        BadWavCase{"engine_text.wav", std::string("just some text, not a wave file\n"),
                   "Not a WAV-audio file"},
        // A WAV file starts with its RIFF chunk; one further in is not looked for.
        BadWavCase{"engine_late_riff.wav",
                   std::string(8, '\0') + wav::Riff(wav::Chunk("fmt ", wav::Fmt(1, 2, 48000, 16)) +
                                                    wav::Chunk("data", kSomeData)),
                   "Not a WAV-audio file"},
        BadWavCase{"engine_mono.wav",
                   wav::Riff(wav::Chunk("fmt ", wav::Fmt(1, 1, 48000, 16)) +
                             wav::Chunk("data", kSomeData)),
                   "Channels = 1"},
        BadWavCase{"engine_96k.wav",
                   wav::Riff(wav::Chunk("fmt ", wav::Fmt(1, 2, 96000, 16)) +
                             wav::Chunk("data", kSomeData)),
                   OtherRate("96000", "48000")},
        BadWavCase{"engine_48k_at_44k.wav",
                   wav::Riff(wav::Chunk("fmt ", wav::Fmt(1, 2, 48000, 16)) +
                             wav::Chunk("data", kSomeData)),
                   OtherRate("48000", "44100"), 4},
        BadWavCase{"engine_96k_at_96k.wav",
                   wav::Riff(wav::Chunk("fmt ", wav::Fmt(1, 2, 96000, 16)) +
                             wav::Chunk("data", kSomeData)),
                   NoWavRate("96000"), 6},
        BadWavCase{"engine_48k_at_96k.wav",
                   wav::Riff(wav::Chunk("fmt ", wav::Fmt(1, 2, 48000, 16)) +
                             wav::Chunk("data", kSomeData)),
                   NoWavRate("96000"), 6},
        BadWavCase{"engine_text_at_96k.wav", std::string("just some text, not a wave file\n"),
                   NoWavRate("96000"), 6},
        BadWavCase{"engine_24bit.wav",
                   wav::Riff(wav::Chunk("fmt ", wav::Fmt(1, 2, 48000, 24)) +
                             wav::Chunk("data", kSomeData)),
                   "Bits Per Channel = 24"},
        BadWavCase{"engine_float.wav",
                   wav::Riff(wav::Chunk("fmt ", wav::Fmt(3, 2, 48000, 16)) +
                             wav::Chunk("data", kSomeData)),
                   "Format Tag = 3"},
        BadWavCase{"engine_shortfmt.wav",
                   wav::Riff(wav::Chunk("fmt ", wav::Fmt(1, 2, 48000, 16).substr(0, 8)) +
                             wav::Chunk("data", kSomeData)),
                   "Error reading 'fmt' chunk"},
        BadWavCase{"engine_hugefmt.wav",
                   wav::Riff(wav::Chunk("fmt ", wav::Fmt(1, 2, 48000, 16), 0x7FFFFFF0)),
                   "Error reading 'fmt' chunk"},
        BadWavCase{"engine_truncfmt.wav",
                   wav::Riff(wav::Chunk("fmt ", wav::Fmt(1, 2, 48000, 16), 40)),
                   "Error reading 'fmt' chunk"},
        BadWavCase{"engine_nofmt.wav", wav::Riff(wav::Chunk("data", kSomeData)),
                   "Unable to locate 'fmt' chunk"},
        BadWavCase{
            "engine_emptydata.wav",
            wav::Riff(wav::Chunk("fmt ", wav::Fmt(1, 2, 48000, 16)) + wav::Chunk("data", "")),
            engine::kEmptyDataText},
        BadWavCase{
            "engine_halfframe.wav",
            wav::Riff(wav::Chunk("fmt ", wav::Fmt(1, 2, 48000, 16)) + wav::Chunk("data", "ab")),
            engine::kEmptyDataText},
        BadWavCase{"engine_rate2e31.wav",
                   wav::Riff(wav::Chunk("fmt ", wav::Fmt(1, 2, 2147483648u, 16)) +
                             wav::Chunk("data", kSomeData)),
                   OtherRate("2147483648", "48000")},
        BadWavCase{"engine_rate4e9.wav",
                   wav::Riff(wav::Chunk("fmt ", wav::Fmt(1, 2, 4294967295u, 16)) +
                             wav::Chunk("data", kSomeData)),
                   OtherRate("4294967295", "48000")},
        BadWavCase{"engine_extensible_float.wav",
                   wav::Riff(wav::Chunk("fmt ", wav::Extensible(16, wav::kFloatSubFormat)) +
                             wav::Chunk("data", kSomeData)),
                   "Format Tag = 65534"},
        BadWavCase{"engine_nodata.wav",
                   wav::Riff(wav::Chunk("fmt ", wav::Fmt(1, 2, 48000, 16)) +
                             wav::Chunk("LIST", kSomeData)),
                   "Unable to locate 'data' chunk"}),
    qvtest::ReadableName());

// The first output write fails: the file still plays to its end and the play stops by itself.
TEST_F(WavPlayer, AFailedFirstWriteStillEndsTheFile) {
    std::string data;
    for (int n = 0; n < 5 * kF; ++n) {
        wav::Put16(data, (n * 13) % 4000 - 2000);
        wav::Put16(data, 0);
    }
    pt::ScriptFileDialogAnswers({wav::Write(
        "engine_firstwrite.wav",
        wav::Riff(wav::Chunk("fmt ", wav::Fmt(1, 2, 48000, 16)) + wav::Chunk("data", data)))});
    VirtualCardFailCall(WaveCall::OutWrite, MMSYSERR_ERROR);
    Play();
    int blocks = 0;
    for (; blocks < 200 && engine::CurrentPlayState() == engine::PlayState::Playing; ++blocks)
        Blocks(1);
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped) << blocks;
    EXPECT_LT(blocks, 40);
    EXPECT_EQ(shell::AudioBusy, 0);
    EXPECT_EQ(engine::WavFile, HMMIO{});
    EXPECT_EQ(pt::MessageBoxLog().size(), 1u);
}

TEST_F(WavPlayer, CancelledFileDialogStartsNothing) {
    pt::ScriptFileDialogAnswers({""});
    SendMessage(dialog, WM_COMMAND, engine::kPlayCommand, 0);
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
    pt::AdvanceTime(2000);
    EXPECT_EQ(g_pane_commands, 0);
    EXPECT_TRUE(pt::MessageBoxLog().empty());
}

TEST_F(WavPlayer, StopDuringTheStartChainReleasesTheFile) {
    std::string data(8 * kF, '\0');
    const std::string path = wav::Write(
        "engine_chain.wav",
        wav::Riff(wav::Chunk("fmt ", wav::Fmt(1, 2, 44100, 16)) + wav::Chunk("data", data)));
    pt::ScriptFileDialogAnswers({path});
    SendMessage(dialog, WM_COMMAND, engine::kPlayCommand, 0);
    EXPECT_NE(engine::WavFile, HMMIO{});
    pt::AdvanceTime(800);
    SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
    EXPECT_EQ(engine::WavFile, HMMIO{});
    pt::AdvanceTime(2000);
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
    EXPECT_EQ(OpenWaveDeviceCount(), 0);
}

// ---- Input and output layouts end to end --------------------------------------------------------

struct LayoutCase {
    int input_layout;   // 0: 2 inputs, 1: 8, 2: 12
    int output_layout;  // 0: 8 outputs, 1: 16, 2: 8 + S/PDIF
};
void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << "input layout " << c.input_layout << ", output layout " << c.output_layout;
}
class PlayerLayouts : public Player, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(PlayerLayouts, EveryRoutedInputReachesItsOutputsAndNothingElseSounds) {
    const LayoutCase c = GetParam();
    shell::InputLayout = c.input_layout;
    shell::OutputLayout = c.output_layout;
    shell::PlayerDeviceWords[0] = c.input_layout == 0 ? 1 : 0;
    const int channels_in = c.input_layout == 0 ? 2 : 8;
    const int channels_out = c.output_layout == 1 ? 16 : c.output_layout == 2 ? 10 : 8;
    for (auto& row : g_routing)
        for (auto& v : row) v = 0;
    // Input of card channel k (live, 8/12 channels) is input k + 1; with two channels the left
    // feeds inputs 1, 4, 5, 7 and the right inputs 2, 3, 6, 8. Output 7 stays unrouted; outputs
    // 9 and 10 are routed but silent with S/PDIF.
    std::vector<int> source(16, -1);  // card channel heard by each output
    for (int o = 0; o < 16; ++o) {
        if (o == 6) continue;
        const int input = (o * 5 + 2) % 8;
        g_routing[input][o] = 1;
        if (channels_in == 8)
            source[o] = input;
        else
            source[o] = (input == 0 || input == 3 || input == 4 || input == 6) ? 0 : 1;
    }
    const int blocks = 40;
    std::vector<std::vector<std::int32_t>> in(12);
    for (int k = 0; k < 12; ++k) {
        in[k] = Ramp(blocks * kF, 13 + 7 * k, 90000 * k);
        VirtualCardSetInputSignal(k, in[k].data(), in[k].size(), false);
    }
    VirtualCardRecordOutput(static_cast<std::size_t>(blocks + 8) * kF);
    Play();
    ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
    Blocks(blocks);
    long latency = -1;
    for (long lag = 0; lag < 8 * kF && latency < 0; ++lag) {
        bool match = true;
        for (int n = 0; n < 32 && match; ++n)
            match = std::abs(VirtualCardRecordedSample(0, lag + n) - in[source[0]][n]) <= 1;
        if (match) latency = lag;
    }
    ASSERT_GE(latency, 0);
    const std::size_t recorded = VirtualCardRecordedFrames();
    const int active = c.output_layout == 1 ? 16 : 8;
    for (int o = 0; o < channels_out; ++o)
        for (std::size_t t = latency; t < recorded; t += 7) {
            const int want = (o < active && source[o] >= 0) ? in[source[o]][t - latency] : 0;
            ASSERT_NEAR(VirtualCardRecordedSample(o, t), want, 1)
                << "output " << o + 1 << " frame " << t - latency;
        }
    SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, PlayerLayouts,
                         ::testing::Values(LayoutCase{0, 0}, LayoutCase{0, 2}, LayoutCase{1, 1},
                                           LayoutCase{1, 0}, LayoutCase{2, 2}, LayoutCase{2, 1}),
                         qvtest::ReadableName());

TEST_F(Player, CloseStepFailuresAreReportedAndTheDevicesStillClose) {
    Play();
    ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
    Blocks(3);
    VirtualCardFailCall(WaveCall::InStop, MMSYSERR_ERROR);
    VirtualCardFailCall(WaveCall::OutReset, MMSYSERR_ERROR);
    SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
    // Every step is tried and each failure shown with its own caption: the failed stop of the
    // input, the failed reset of the output and what that reset left behind (6, 7).
    std::vector<std::string> captions;
    for (const auto& box : pt::MessageBoxLog()) captions.push_back(box.caption);
    ASSERT_GE(captions.size(), 2u);
    EXPECT_EQ(captions[0], "QV MEssage 1");
    EXPECT_EQ(captions[1], "QV MEssage 5");
    EXPECT_EQ(OpenWaveDeviceCount(), 0);
    pt::ClearMessageBoxLog();
    Play();  // the next Play works
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
    SendMessage(dialog, WM_COMMAND, engine::kStopCommand, 0);
}

TEST_F(Player, AFailedOutputWriteIsReportedAndPlaybackGoesOn) {
    Play();
    Blocks(3);
    VirtualCardFailCall(WaveCall::OutWrite, MMSYSERR_ERROR);
    Blocks(4);
    ASSERT_EQ(pt::MessageBoxLog().size(), 1u);
    EXPECT_EQ(pt::MessageBoxLog()[0].caption, "QV MEssage");
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
    const auto before = engine::CurrentPlayerCounters().blocks;
    Blocks(4);
    EXPECT_EQ(engine::CurrentPlayerCounters().blocks, before + 4);
}

TEST_F(Player, InputBlocksAreTakenInQueueOrderAcrossTheWrap) {
    // Two input headers come back per step: both are processed, oldest first, so a ramp arrives
    // whole at the output (a swapped pair would break it).
    const int blocks = 60;
    const auto left = Ramp(blocks * kF, 37, 0);
    VirtualCardSetInputSignal(0, left.data(), left.size(), false);
    VirtualCardSetInputSignal(1, left.data(), left.size(), false);
    VirtualCardRecordOutput(static_cast<std::size_t>(blocks + 8) * kF);
    Play();
    for (int i = 0; i < blocks / 2; ++i) {
        VirtualCardStep(2 * kF, 48000);
        pt::PumpUntilIdle();
    }
    long latency = -1;
    for (long lag = 0; lag < 10 * kF && latency < 0; ++lag)
        if (std::abs(VirtualCardRecordedSample(0, lag + 5) - left[5]) <= 1 &&
            std::abs(VirtualCardRecordedSample(0, lag + 6) - left[6]) <= 1)
            latency = lag;
    ASSERT_GE(latency, 0);
    for (std::size_t t = latency; t < VirtualCardRecordedFrames(); ++t)
        ASSERT_NEAR(VirtualCardRecordedSample(0, t), left[t - latency], 1) << t - latency;
}

TEST_F(Player, AnUnderrunPlaysSilenceAndIsCounted) {
    // The output clock runs 5 % fast: the ring runs dry now and then. What is played is always
    // either the input (at the constant latency of that stretch) or silence, never stale words.
    const int blocks = 120;
    const auto left = Ramp(blocks * kF, 37, 0);
    VirtualCardSetInputSignal(0, left.data(), left.size(), false);
    VirtualCardSetInputSignal(1, left.data(), left.size(), false);
    VirtualCardSetDrift(0.0, 50000.0);
    VirtualCardRecordOutput(static_cast<std::size_t>(blocks + 16) * kF);
    Play();
    Blocks(blocks);
    EXPECT_GT(engine::CurrentPlayerCounters().underruns, 0);
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
    // Every recorded word is silence or one of the input's values (within the one unit of the
    // transforms).
    std::unordered_set<std::int32_t> values(left.begin(), left.end());
    bool sounding = false;
    long silent_after_start = 0;
    for (std::size_t t = 0; t < VirtualCardRecordedFrames(); ++t) {
        const std::int32_t v = VirtualCardRecordedSample(0, t);
        if (v == 0) {
            silent_after_start += sounding ? 1 : 0;
            continue;
        }
        sounding = true;
        ASSERT_TRUE(values.count(v) || values.count(v - 1) || values.count(v + 1))
            << "frame " << t << " word " << v;
    }
    EXPECT_GE(silent_after_start, kF / 2) << "an underrun plays silence";
}
