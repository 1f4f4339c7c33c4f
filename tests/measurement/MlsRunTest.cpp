// The run object of a stereo MLS measurement on the virtual card: a full capture arrives in the
// capture copy with both devices closed and AudioBusy cleared; every failing wave call of the
// start and of the capture's end is reported and leaves nothing open; stopping mid-run closes
// everything; a second start and a start while another device is open are refused.
#include <ostream>

#include "MeasurementTestSupport.h"
#include "measurement/CaptureFile.h"
#include "measurement/MlsDeconvolution.h"
#include "measurement/MlsRun.h"
#include "platform/audio/VirtualCard.h"
#include "platform/ui/Window.h"
#include "shell/DevicesLeftOpen.h"
#include "tests/ReadableNames.h"

namespace measurement::test {
namespace {

using platform::WaveCall;

int last_answer = -1;

platform::LRESULT RunWindowProc(platform::HWND hwnd, platform::UINT msg, platform::WPARAM w,
                                platform::LPARAM l) {
    if (msg == platform::MM_WIM_DATA || msg == platform::MM_WOM_DONE) {
        const int answer = OnMlsRunMessage(msg, w, l);
        if (answer != kMlsRunNotMine) last_answer = answer;
        return 0;
    }
    return platform::DefWindowProc(hwnd, msg, w, l);
}

class MlsRunTest : public MeasurementTest {
  protected:
    void SetUp() override {
        MeasurementTest::SetUp();
        ASSERT_TRUE(AllocMlsCaptureCopies());
        platform::WNDCLASS wc{};
        wc.lpfnWndProc = &RunWindowProc;
        wc.lpszClassName = "MlsRunTestWindow";
        platform::RegisterClass(&wc);
        window_ =
            platform::CreateWindow("MlsRunTestWindow", "run", 0, 0, 0, 100, 100, platform::HWND{},
                                   platform::HMENU{}, platform::HINSTANCE{}, nullptr);
        ASSERT_TRUE(window_);
        shell::Mls.MlsSampleRateIndex = 5;
        shell::Mls.MlsOutputLevel = 20;
        shell::CopyTextSlot(shell::MlsOutputDelayText, "200");
        MlsOrder = 13;
        last_answer = -1;
        shell::AudioBusy = 0;
    }
    void TearDown() override {
        StopMlsRun();
        MeasurementTest::TearDown();
    }
    // Moves the card until the capture came back (or a limit), pumping the window's messages.
    void RunCard(int steps) {
        for (int i = 0; i < steps && MlsRunActive(); ++i) {
            platform::VirtualCardStep(8192, 48000);
            platform::testing::PumpUntilIdle();
        }
        platform::testing::PumpUntilIdle();
    }
    platform::HWND window_{};
};

TEST_F(MlsRunTest, FullCaptureArrivesWithBothDevicesClosedAndBusyCleared) {
    const double tap = 1.0;
    ASSERT_TRUE(platform::VirtualCardSetLoopback(0, 0, &tap, 1, 100));
    std::memset(MlsCaptureCopy, 0x5A, kMlsCaptureBytes);
    ASSERT_EQ(StartMlsRun(window_, window_), kMlsRunStarted);
    EXPECT_EQ(shell::AudioBusy, 1);
    EXPECT_EQ(platform::OpenWaveDeviceCount(), 2);
    EXPECT_EQ(StartMlsRun(window_, window_), kMlsRunRefused);
    RunCard(100);
    EXPECT_EQ(last_answer, kMlsRunCaptured);
    EXPECT_FALSE(MlsRunActive());
    EXPECT_EQ(shell::AudioBusy, 0);
    EXPECT_EQ(platform::OpenWaveDeviceCount(), 0);
    EXPECT_EQ(MlsRunRecordedBytes(), kMlsCaptureBytes);
    // The looped-back Ref channel holds the played sequence 100 frames late.
    const auto* words = reinterpret_cast<const std::int32_t*>(MlsCaptureCopy);
    const auto* played = shell::MlsPlaybackBuffer;
    for (int f = 0; f < 2000; ++f) EXPECT_EQ(words[2 * (f + 100)] >> 8, played[2 * f] >> 8) << f;
    EXPECT_TRUE(MessageTexts().empty());
}

struct FaultCase {
    WaveCall call;
    bool at_start;  // the start fails (else the capture's end)
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    static const char* const kCalls[] = {"InOpen",   "InPrepare",    "InAdd",       "InStart",
                                         "InStop",   "InReset",      "InUnprepare", "InClose",
                                         "InCaps",   "OutOpen",      "OutPrepare",  "OutWrite",
                                         "OutReset", "OutUnprepare", "OutClose",    "OutCaps"};
    *os << kCalls[static_cast<int>(c.call)]
        << (c.at_start ? " fails at the start" : " fails at the end");
}

class MlsRunFaultTest : public MlsRunTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(MlsRunFaultTest, InjectedFailureIsReportedAndLeavesNothingOpen) {
    const FaultCase c = GetParam();
    platform::VirtualCardFailCall(c.call, platform::MMSYSERR_ERROR);
    const int started = StartMlsRun(window_, window_);
    if (c.at_start) {
        EXPECT_EQ(started, kMlsRunFailed);
    } else {
        ASSERT_EQ(started, kMlsRunStarted);
        RunCard(100);
        EXPECT_EQ(last_answer, kMlsRunAborted);
    }
    EXPECT_FALSE(MlsRunActive());
    EXPECT_EQ(shell::AudioBusy, 0);
    EXPECT_EQ(platform::OpenWaveDeviceCount(), 0);
    ASSERT_EQ(MessageTexts().size(), 1u);
    // The program stays usable: the next run goes through.
    platform::testing::ClearMessageBoxLog();
    last_answer = -1;
    ASSERT_EQ(StartMlsRun(window_, window_), kMlsRunStarted);
    RunCard(100);
    EXPECT_EQ(last_answer, kMlsRunCaptured);
    EXPECT_EQ(platform::OpenWaveDeviceCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, MlsRunFaultTest,
    ::testing::Values(FaultCase{WaveCall::OutOpen, true}, FaultCase{WaveCall::InOpen, true},
                      FaultCase{WaveCall::InPrepare, true}, FaultCase{WaveCall::InAdd, true},
                      FaultCase{WaveCall::OutPrepare, true}, FaultCase{WaveCall::InStart, true},
                      FaultCase{WaveCall::OutWrite, true}, FaultCase{WaveCall::InStop, false},
                      FaultCase{WaveCall::InClose, false}, FaultCase{WaveCall::OutReset, false},
                      FaultCase{WaveCall::OutClose, false}),
    qvtest::ReadableName());

TEST_F(MlsRunTest, StopMidRunAndDestroyedWindowLeaveNothingOpen) {
    ASSERT_EQ(StartMlsRun(window_, window_), kMlsRunStarted);
    platform::VirtualCardStep(8192, 48000);
    StopMlsRun();
    EXPECT_EQ(shell::AudioBusy, 0);
    EXPECT_EQ(platform::OpenWaveDeviceCount(), 0);
    platform::DestroyWindow(window_);
    platform::testing::PumpUntilIdle();
    EXPECT_EQ(last_answer, -1);
}

// A run interrupted while a reset or close of its devices fails: one message; a device that will
// not close goes to the devices left open, which the next run closes first (or whoever else needs
// a device: STOP, Play, Test Tones, Exit), quietly; the run then works.
struct InterruptCase {
    WaveCall call;
    int times;
    int held;  // devices still open after the stop
};
void PrintTo(const InterruptCase& c, std::ostream* os) {
    PrintTo(FaultCase{c.call, false}, os);
    *os << " " << c.times << " times";
}
class MlsRunInterruptTest : public MlsRunTest,
                            public ::testing::WithParamInterface<InterruptCase> {};

TEST_P(MlsRunInterruptTest, OneMessageAndTheNextRunWorks) {
    const InterruptCase c = GetParam();
    for (const bool by_the_next_run : {false, true}) {
        ASSERT_EQ(StartMlsRun(window_, window_), kMlsRunStarted) << by_the_next_run;
        platform::VirtualCardStep(8192, 48000);
        platform::VirtualCardFailCall(c.call, platform::MMSYSERR_ERROR, 0, c.times);
        StopMlsRun();
        EXPECT_FALSE(MlsRunActive());
        EXPECT_EQ(shell::AudioBusy, 0);
        EXPECT_EQ(MessageTexts().size(), 1u);
        EXPECT_EQ(platform::OpenWaveDeviceCount(), c.held);
        platform::testing::ClearMessageBoxLog();
        StopMlsRun();  // the run holds nothing any more
        EXPECT_EQ(platform::OpenWaveDeviceCount(), c.held);
        if (!by_the_next_run) {
            EXPECT_EQ(shell::CloseDevicesLeftOpen(), 0);
            EXPECT_EQ(platform::OpenWaveDeviceCount(), 0);
        }
        last_answer = -1;
        ASSERT_EQ(StartMlsRun(window_, window_), kMlsRunStarted);
        RunCard(100);
        EXPECT_EQ(last_answer, kMlsRunCaptured);
        EXPECT_TRUE(MessageTexts().empty());
        EXPECT_EQ(platform::OpenWaveDeviceCount(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Calls, MlsRunInterruptTest,
                         ::testing::Values(InterruptCase{WaveCall::InReset, 1, 0},
                                           InterruptCase{WaveCall::InClose, 1, 0},
                                           InterruptCase{WaveCall::InClose, 2, 1},
                                           InterruptCase{WaveCall::OutReset, 1, 0},
                                           InterruptCase{WaveCall::OutClose, 2, 1},
                                           InterruptCase{WaveCall::OutClose, 3, 1}),
                         qvtest::ReadableName());

TEST_F(MlsRunTest, RefusedWhileBusyOrWhileAnotherDeviceIsOpen) {
    shell::AudioBusy = 1;
    EXPECT_EQ(StartMlsRun(window_, window_), kMlsRunRefused);
    shell::AudioBusy = 0;
    platform::WAVEFORMATEXTENSIBLE format;
    FillMlsWaveFormat(&format, 48000);
    platform::HWAVEOUT out{};
    ASSERT_EQ(platform::waveOutOpen(&out, 0, reinterpret_cast<platform::WAVEFORMATEX*>(&format), {},
                                    0, platform::CALLBACK_NULL),
              0u);
    EXPECT_EQ(StartMlsRun(window_, window_), kMlsRunRefused);
    EXPECT_EQ(shell::AudioBusy, 0);
    ASSERT_EQ(MessageTexts().size(), 1u) << "refused with the device's text";
    EXPECT_EQ(MessageTexts()[0],
              "The sound device is already in use; close the program or window that uses it.");
    platform::waveOutClose(out);
}

}  // namespace
}  // namespace measurement::test
