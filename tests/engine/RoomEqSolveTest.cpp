// Done's curve reaches the channel: the solved SPL of a channel with a room-EQ element changes by
// the correction at each frequency, and Play hears it through the FIR build and the engine.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/Engine.h"
#include "engine/Globals.h"
#include "engine/Ids.h"
#include "engine/PlayerDialog.h"
#include "measurement/Globals.h"
#include "measurement/Ids.h"
#include "measurement/RoomEq.h"
#include "measurement/RoomEqLocation.h"
#include "measurement/RoomEqMinimumPhase.h"
#include "platform/audio/VirtualCard.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/Harness.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"
#include "shell/ProjectImage.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/solver/SolverTestSupport.h"

namespace measurement::test {
namespace {

using platform::HWND;
constexpr double kPi = 3.141592653589793;

TEST(RoomEqSolve, SolvedChannelCarriesTheCorrection) {
    solver::test::ResetSolverWorld();
    BuildRoomEqGrids();
    for (int r = 0; r < shell::kRoomEqCurveCount; ++r)
        std::memset(shell::RoomEQCurves[r], 0, sizeof(shell::CurveRecord));
    solver::test::NewNetwork(4);
    solver::test::AddInput(0, 1.0f);
    const int eq = solver::test::AddElement(shell::kElementRoomEq, 0, 1);
    solver::test::AddFilter(1, 2, 1.0f, 1.0f, 20000.0f);
    solver::test::AddPort(2, 3, 5.0f);
    solver::test::AddGround(3);
    float* p = shell::WorkingNetwork.ElementParams[eq];
    p[shell::kParamF1] = 30.0f;
    p[shell::kParamF2] = 120.0f;
    p[shell::kParamCorrectionPort] = 16.0f;
    network::ActivePane = 1;
    ASSERT_EQ(solver::SolveNetwork(), 0);
    std::vector<float> flat(shell::SystemCurveTable[4]->v,
                            shell::SystemCurveTable[4]->v + shell::kGridPoints);

    // One location 6 dB over the threshold everywhere: a 6 dB cut from 30 to 120 Hz.
    float* level = shell::RoomEQCurves[kRoomEqLevel]->v;
    for (int j = 0; j < kRoomEqPoints; ++j) level[j] = 6.0f;
    level[shell::kCurveHoldsData] = 1.0f;
    RoomEQThresholdPos = 70;
    ASSERT_EQ(EvaluateRoomEq(eq), 0);
    ASSERT_EQ(StoreRoomEqCorrection(eq), 0);
    ASSERT_EQ(solver::SolveNetwork(), 0);
    const float* corrected = shell::SystemCurveTable[4]->v;
    struct Case {
        double f;
        double cut_db;
    };
    const Case cases[] = {{15.0, 0.0}, {60.0, -6.0}, {100.0, -6.0}, {1000.0, 0.0}};
    for (const Case& c : cases) {
        int i = 0;
        while (shell::FrequencyGrid[i] < c.f) ++i;
        EXPECT_NEAR(corrected[i] - flat[i], c.cut_db, 0.05) << c.f;
    }
}

// Input 1 through a room-EQ element (band 20 .. 200 Hz) and a 20 kHz low pass to `output`,
// saved into `pane`; returns the element's slot.
int RoomEqChannel(int pane, float output) {
    solver::test::NewNetwork(4);
    solver::test::AddInput(0, 1.0f);
    const int eq = solver::test::AddElement(shell::kElementRoomEq, 0, 1);
    solver::test::AddFilter(1, 2, 1.0f, 1.0f, 20000.0f);
    solver::test::AddPort(2, 3, output);
    solver::test::AddGround(3);
    float* p = shell::WorkingNetwork.ElementParams[eq];
    p[shell::kParamF1] = 20.0f;
    p[shell::kParamF2] = 200.0f;
    p[shell::kParamCorrectionPort] = 16.0f;
    network::SavePaneStore(pane);
    return eq;
}

// Amplitude of the tone at `hz` in a whole second of an output channel from `start`.
double ToneAmplitude(int channel, std::size_t start, double hz) {
    double re = 0.0, im = 0.0;
    for (int n = 0; n < 48000; ++n) {
        const double x = platform::VirtualCardRecordedSample(channel, start + n);
        re += x * std::cos(2.0 * kPi * hz * n / 48000.0);
        im += x * std::sin(2.0 * kPi * hz * n / 48000.0);
    }
    return 2.0 * std::hypot(re, im) / 48000.0;
}

// The front-left channel gets Done's correction from the "Room_EQ" dialog, the front-right the
// same network without it; Play runs the player's own start (channel solves, FIR build, engine)
// on the virtual card with four tones on input 1. Each tone's level ratio between outputs 1 and 2
// is the correction: a 6 dB cut inside the band, nothing outside.
TEST(RoomEqSolve, PlayHearsTheCorrection) {
    struct Tone {
        double hz;
        double cut_db;
    };
    const Tone tones[] = {{60.0, -6.0}, {100.0, -6.0}, {400.0, 0.0}, {1000.0, 0.0}};
    constexpr int kF = 1024;
    platform::testing::ResetLayer();
    ASSERT_TRUE(platform::VirtualCardReset());
    struct CardBack {  // the tones and the recording do not reach the next test
        ~CardBack() { platform::VirtualCardReset(); }
    } card_back;
    engine::test::ResetFolders();
    solver::test::ResetSolverWorld();
    resources::RegisterAll();
    network::ClearAllPaneStores();
    BuildRoomEqGrids();
    for (int r = 0; r < shell::kRoomEqCurveCount; ++r)
        std::memset(shell::RoomEQCurves[r], 0, sizeof(shell::CurveRecord));
    float* level = shell::RoomEQCurves[kRoomEqLevel]->v;  // one location 6 dB over the threshold
    for (int j = 0; j < kRoomEqPoints; ++j) level[j] = 6.0f;
    level[shell::kCurveHoldsData] = 1.0f;
    RoomEQThresholdPos = 70;

    RoomEqChannel(3, 2.0f);
    network::SelectedElement = RoomEqChannel(1, 1.0f);
    network::ActivePane = 1;
    platform::testing::OnModalDialog("Room_EQ", [](HWND d) {
        platform::SendMessage(d, platform::WM_COMMAND, kRecalculateButton, 0);  // Re-Calculate EQ
        platform::SendMessage(d, platform::WM_COMMAND, 1, 0);                   // Done
    });
    ASSERT_EQ(platform::DialogBox(shell::AppInstance, "Room_EQ", HWND{}, &RoomEQDlgProc), 1);
    network::SavePaneStore(1);

    shell::Preferences->BufferSizeIndex = 0;  // F = 1024
    shell::Project.Settings.SampleRateIndex = 5;
    shell::Project.Settings.VolumeSliderPosition = 51;  // 0 dB
    shell::InputLayout = 0;
    shell::OutputLayout = 1;
    shell::PlayerDeviceWords[0] = 1;  // "QV Virtual In 1-2"
    shell::PlayerDeviceWords[8] = 0;  // "QV Virtual Out 1-16"
    std::vector<std::int32_t> input(100 * kF);
    for (std::size_t n = 0; n < input.size(); ++n) {
        double x = 0.0;
        for (const Tone& t : tones) x += 400000.0 * std::sin(2.0 * kPi * t.hz * n / 48000.0);
        input[n] = static_cast<std::int32_t>(x);
    }
    platform::VirtualCardSetInputSignal(0, input.data(), input.size(), false);
    platform::VirtualCardRecordOutput(input.size());
    const HWND player = platform::CreateDialog(platform::HINSTANCE{}, engine::kPlayerDialogTemplate,
                                               HWND{}, engine::SystemDesignPlayerDlgProc);
    ASSERT_TRUE(player);
    platform::SendMessage(player, platform::WM_COMMAND, engine::kPlayCommand, 0);
    platform::testing::AdvanceTime(1600);
    const bool playing = engine::CurrentPlayState() == engine::PlayState::Playing;
    for (int b = 0; playing && b < 90; ++b) {
        platform::VirtualCardStep(kF, 48000);
        platform::testing::PumpUntilIdle();
    }
    platform::SendMessage(player, platform::WM_COMMAND, engine::kStopCommand, 0);
    platform::DestroyWindow(player);
    ASSERT_TRUE(playing);
    ASSERT_GE(platform::VirtualCardRecordedFrames(), 30u * kF + 48000u);
    for (const Tone& t : tones) {
        const double corrected = ToneAmplitude(0, 30 * kF, t.hz);
        const double flat = ToneAmplitude(1, 30 * kF, t.hz);
        ASSERT_GT(flat, 1000.0) << t.hz;
        EXPECT_NEAR(20.0 * std::log10(corrected / flat), t.cut_db, 0.25) << t.hz;
    }
}

}  // namespace
}  // namespace measurement::test
