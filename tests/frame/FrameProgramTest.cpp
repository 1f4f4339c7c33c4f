// The program wired as its entry wires it (the real pane editor, templates, SPL plot and player
// dialog): start-up windows, and a pane edit after a project load, done with the mouse.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/Globals.h"
#include "engine/Ids.h"
#include "engine/WaveDevices.h"
#include "frame/PreferencesWindow.h"
#include "network/ElementDialogs.h"
#include "network/PaneEditor.h"
#include "platform/audio/VirtualCard.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "solver/SplPlot.h"
#include "tests/frame/FrameTestSupport.h"

namespace shell::test {
using namespace frame;
namespace {

namespace input = platform::testing;
using platform::HWND;

class FrameProgramTest : public FrameTest {
  protected:
    void SetUp() override { FrameTest::SetUp(); }
};

TEST_F(FrameProgramTest, StartOpensThePlayerDialogAndTheStereoPanesGui) {
    ASSERT_EQ(Start(), kStarted);
    EXPECT_EQ(CountBoxes("Unable To OPEN Preferences File"), 1);
    ASSERT_TRUE(platform::IsWindow(ComponentCADSelectionDialog));
    platform::RECT r{};
    platform::GetWindowRect(ComponentCADSelectionDialog, &r);
    EXPECT_EQ(r.right - r.left, kPlayerDialogWidth);
    EXPECT_EQ(r.bottom - r.top, kPlayerDialogHeight);
    EXPECT_TRUE(platform::IsWindow(Splitter1Window));
    EXPECT_TRUE(platform::IsWindow(SplPlottingWindow));
    EXPECT_TRUE(platform::IsChild(Splitter1Window, network::PaneWindows[0]));
    EXPECT_TRUE(platform::IsChild(Splitter1Window, network::PaneWindows[2]));
    // The SPL plot window is painted by the solver's plot, which completes its title.
    platform::UpdateWindow(SplPlottingWindow);
    EXPECT_EQ(WindowTitle(SplPlottingWindow), solver::SplPlotTitle());
}

// Chooses the ground from the toolbox palette (fifth cell) and presses in the middle of the pane.
void PlaceGround(HWND pane) {
    platform::RECT client{};
    platform::GetClientRect(pane, &client);
    ASSERT_GT(client.right, 40);
    ASSERT_GT(client.bottom, 40);
    const int x = client.right / 2 / 10 * 10;
    const int y = client.bottom / 2 / 10 * 10;
    input::MouseClick(ComponentCADSelectionDialog, 20, 180);
    ASSERT_EQ(network::PendingElementKind, kElementGround);
    // Posted to the pane itself: on screen the player dialog may stand in front of it.
    platform::PostMessage(pane, platform::WM_LBUTTONDOWN, platform::MK_LBUTTON,
                          platform::MAKELPARAM(x, y));
    platform::PostMessage(pane, platform::WM_LBUTTONUP, 0, platform::MAKELPARAM(x, y));
    input::PumpUntilIdle();
}

TEST_F(FrameProgramTest, EditInThePreviouslyActivePaneLeavesTheLoadedNetworkGui) {
    ASSERT_EQ(Start(), kStarted);
    const std::string path = (dir_ / "stereo.HIF").string();
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdStereo4Way));
    input::ScriptFileDialogAnswers({path});
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdSaveProjectAs));
    auto saved_right = std::make_unique<PaneStore>(PaneStores[2]);

    // A 2-way design, and Front-Right activated through its channel button.
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdStereo2Way));
    input::Click(ComponentCADSelectionDialog, kFrontRightButton);
    ASSERT_EQ(network::ActivePane, 3);

    input::ScriptMessageBoxAnswers({platform::IDYES});
    input::ScriptFileDialogAnswers({path});
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdOpenProjectFile));
    EXPECT_EQ(network::ActivePane, 0);
    EXPECT_EQ(network::ToolMode, 1);
    ASSERT_EQ(PaneStores[2].ElementCount, saved_right->ElementCount);

    const HWND right_pane = network::PaneWindows[2];
    ASSERT_TRUE(platform::IsChild(Splitter1Window, right_pane));
    PlaceGround(right_pane);
    EXPECT_EQ(PaneStores[2].ElementCount, saved_right->ElementCount)
        << "the click in the formerly active pane did nothing";
    EXPECT_EQ(std::memcmp(&PaneStores[2].ElementParams, &saved_right->ElementParams,
                          sizeof saved_right->ElementParams),
              0);

    // Once activated, the same edit lands in the loaded network.
    input::Click(ComponentCADSelectionDialog, kFrontRightButton);
    ASSERT_EQ(network::ActivePane, 3);
    PlaceGround(right_pane);
    EXPECT_EQ(PaneStores[2].ElementCount, saved_right->ElementCount + 1);
    EXPECT_EQ(PaneStores[2].ElementGeometry[saved_right->ElementCount].kind, kElementGround);
}

// The remote's digit keys, as a person uses them while music plays: key 1 stops playback, loads
// profile 1, and the frame's chain activates the panes and starts playback again by itself.
TEST_F(FrameProgramTest, ProfileKeyLoadsTheProjectAndPlaysAgainGui) {
    platform::VirtualCardReset();
    platform::VirtualCardFollowLayerClock(true);
    ASSERT_EQ(Start(), kStarted);
    const std::string path = (dir_ / "profile one.HIF").string();
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdStereo3Way));
    input::ScriptFileDialogAnswers({path});
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdSaveProjectAs));
    auto saved_left = std::make_unique<PaneStore>(PaneStores[0]);
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdStereo2Way));
    std::strcpy(Preferences->ProfilePaths[0], path.c_str());

    input::Click(ComponentCADSelectionDialog, kPlayButton);
    input::AdvanceTime(2000);
    input::PumpUntilIdle(ComponentCADSelectionDialog);
    ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);

    input::PressKey(ComponentCADSelectionDialog, '1', ComponentCADSelectionDialog);
    EXPECT_NE(engine::CurrentPlayState(), engine::PlayState::Playing) << "the key did not stop";
    EXPECT_EQ(std::memcmp(&PaneStores[0], saved_left.get(), sizeof(PaneStore)), 0)
        << "profile 1 was not loaded into Front-Left";
    EXPECT_EQ(network::ActivePane, 0);
    for (int step = 0; step < 20 && engine::CurrentPlayState() != engine::PlayState::Playing;
         ++step) {
        input::AdvanceTime(500);
        input::PumpUntilIdle(ComponentCADSelectionDialog);
    }
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing)
        << "playback did not start again after the profile load";
    EXPECT_EQ(CountBoxes("Requested Profile Not Found"), 0);
    EXPECT_EQ(CountBoxes("This Project File Is Not recognized"), 0);
    input::Click(ComponentCADSelectionDialog, engine::kStopCommand);
    input::PumpUntilIdle(ComponentCADSelectionDialog);
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
    platform::VirtualCardFollowLayerClock(false);
}

// ---- A stereo WAV file through every System Design template ----

struct DesignCase {
    int command;
    int ways;
};
void PrintTo(const DesignCase& c, std::ostream* os) { *os << "stereo 2 x " << c.ways << "-way"; }

class StereoWavThroughTemplates : public FrameProgramTest,
                                  public ::testing::WithParamInterface<DesignCase> {};

// The output ports of a pane's network.
std::vector<int> OutputPortsOf(const PaneStore& store) {
    std::vector<int> ports;
    for (int e = 0; e < kMaxElements && store.ElementGeometry[e].kind > 0; ++e) {
        if (store.ElementGeometry[e].kind == kElementOutputPort)
            ports.push_back(static_cast<int>(store.ElementParams[e][kParamOutputPort]));
    }
    return ports;
}

// A 48 kHz stereo file of 0.3 s: a 200 Hz tone on one side, silence on the other.
std::string ToneFile(const std::filesystem::path& dir, bool on_left) {
    std::string data;
    auto put16 = [&data](int v) {
        data.push_back(static_cast<char>(v & 0xFF));
        data.push_back(static_cast<char>((v >> 8) & 0xFF));
    };
    for (int n = 0; n < 14400; ++n) {
        const int tone =
            static_cast<int>(8000.0 * std::sin(2.0 * 3.141592653589793 * 200.0 * n / 48000.0));
        put16(on_left ? tone : 0);
        put16(on_left ? 0 : tone);
    }
    auto put32 = [](std::string& s, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    std::string fmt;
    for (std::uint32_t v : {1u | (2u << 16), 48000u, 192000u, 4u | (16u << 16)}) put32(fmt, v);
    std::string body = "WAVEfmt ";
    put32(body, static_cast<std::uint32_t>(fmt.size()));
    body += fmt + "data";
    put32(body, static_cast<std::uint32_t>(data.size()));
    body += data;
    std::string file = "RIFF";
    put32(file, static_cast<std::uint32_t>(body.size()));
    file += body;
    const std::filesystem::path path = dir / (on_left ? "left.wav" : "right.wav");
    WriteBytes(path, file.data(), file.size());
    return path.string();
}

// Front-Left's outputs play the left side of the file and nothing of the right; Front-Right's the
// right side and nothing of the left.
TEST_P(StereoWavThroughTemplates, EachFrontChannelPlaysItsOwnSideGui) {
    platform::VirtualCardReset();
    platform::VirtualCardFollowLayerClock(true);
    ASSERT_EQ(Start(), kStarted);
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, GetParam().command));
    const std::vector<int> left_ports = OutputPortsOf(PaneStores[0]);
    const std::vector<int> right_ports = OutputPortsOf(PaneStores[2]);
    ASSERT_EQ(static_cast<int>(left_ports.size()), GetParam().ways);
    ASSERT_EQ(static_cast<int>(right_ports.size()), GetParam().ways);
    OutputLayout = 1;  // 16 outputs: the larger designs use ports up to 16
    input::Click(ComponentCADSelectionDialog, engine::kPlayWavFileCheck);
    ASSERT_EQ(engine::PlayWavMode, 1);
    for (bool on_left : {true, false}) {
        SCOPED_TRACE(on_left ? "tone on the left" : "tone on the right");
        platform::VirtualCardRecordOutput(48000);
        input::ScriptFileDialogAnswers({ToneFile(dir_, on_left)});
        input::Click(ComponentCADSelectionDialog, kPlayButton);
        input::AdvanceTime(2000);
        input::PumpUntilIdle(ComponentCADSelectionDialog);
        for (int step = 0; step < 20 && engine::CurrentPlayState() != engine::PlayState::Stopped;
             ++step) {
            input::AdvanceTime(100);
            input::PumpUntilIdle(ComponentCADSelectionDialog);
        }
        ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped)
            << "the end of the file did not stop playback";
        const std::size_t frames = platform::VirtualCardRecordedFrames();
        ASSERT_GT(frames, 14400u);
        auto peak = [frames](int port) {
            std::int64_t most = 0;
            for (std::size_t t = 0; t < frames; ++t)
                most = std::max<std::int64_t>(
                    most, std::abs(static_cast<std::int64_t>(
                              platform::VirtualCardRecordedSample(port - 1, t))));
            return most;
        };
        for (int port : left_ports) {
            if (on_left)
                EXPECT_GT(peak(port), 1000) << "Front-Left output " << port << " is silent";
            else
                EXPECT_EQ(peak(port), 0) << "Front-Left output " << port << " hears the right";
        }
        for (int port : right_ports) {
            if (on_left)
                EXPECT_EQ(peak(port), 0) << "Front-Right output " << port << " hears the left";
            else
                EXPECT_GT(peak(port), 1000) << "Front-Right output " << port << " is silent";
        }
    }
    EXPECT_EQ(CountBoxes("Duplicate OUTPUT Ports Found"), 0);
    EXPECT_EQ(CountBoxes("Sound Card Is Selected For 8 Outputs"), 0);
    platform::VirtualCardRecordOutput(0);
    platform::VirtualCardFollowLayerClock(false);
}

// The program on the virtual card, following the layer's clock, with the Preferences window open
// beside the player and the 2 x 5-way design.
class PreferencesBesideThePlayer : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        platform::VirtualCardReset();
        platform::VirtualCardFollowLayerClock(true);
        ASSERT_EQ(Start(), kStarted);
        ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdPreferences));
        ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdStereo5Way));  // brings the player back
        ASSERT_TRUE(platform::IsWindow(PreferencesChildWindow));
        ASSERT_TRUE(platform::IsWindow(ComponentCADSelectionDialog));
    }
    void TearDown() override {
        platform::VirtualCardRecordOutput(0);
        platform::VirtualCardFollowLayerClock(false);
        FrameTest::TearDown();
    }
};

// A play keeps the layouts and the rate it opened its devices with: choosing others in the
// Preferences window while it plays leaves output 1 as the same play without the change; the
// change takes effect at the next Play.
TEST_F(PreferencesBesideThePlayer, ARunningPlayKeepsTheSettingsItOpenedWithGui) {
    // A different tone on each of the first two inputs.
    std::vector<std::int32_t> tones[2];
    for (int c = 0; c < 2; ++c)
        for (int n = 0; n < 4800; ++n)
            tones[c].push_back(
                static_cast<std::int32_t>(2e6 * std::sin(2.0 * M_PI * (c + 1) * n / 480.0)));
    for (int c = 0; c < 2; ++c)
        platform::VirtualCardSetInputSignal(c, tones[c].data(), tones[c].size(), true);
    struct Case {
        const char* what;
        int tone_port;  // 0: the networks play the inputs
        std::function<void()> change;
    };
    // A radio button's own click, wherever the window lies on the test screen.
    const auto press = [](int id) {
        platform::SendDlgItemMessage(PreferencesChildWindow, id, platform::BM_CLICK, 0, 0);
        input::PumpUntilIdle();
    };
    const Case cases[] = {
        {"Inputs 1-2, then Inputs 1-12", 0, [&] { press(kInputs12Box); }},
        {"16 Outputs, then 8 Outputs", 0, [&] { press(kOutputs8Box); }},
        {"a test tone at 48000 Hz, then 44100 Hz", 1,
         [] { input::Select(PreferencesChildWindow, kSampleRateList, 4); }},
    };
    const auto output_1 = [&](const Case& c, bool changed) {
        InputLayout = 0;
        OutputLayout = 1;
        Project.Settings.SampleRateIndex = 5;
        engine::TestToneSelector = c.tone_port;
        platform::VirtualCardRecordOutput(48000);
        input::Click(ComponentCADSelectionDialog, kPlayButton);
        input::AdvanceTime(2000);
        EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
        if (changed) c.change();
        input::AdvanceTime(600);
        input::Click(ComponentCADSelectionDialog, engine::kStopCommand);
        std::vector<std::int32_t> played(platform::VirtualCardRecordedFrames());
        for (std::size_t t = 0; t < played.size(); ++t)
            played[t] = platform::VirtualCardRecordedSample(0, t);
        return played;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::int32_t> kept = output_1(c, false);
        const std::vector<std::int32_t> played = output_1(c, true);
        ASSERT_GT(kept.size(), 24000u);
        ASSERT_EQ(played.size(), kept.size());
        EXPECT_GT(*std::max_element(kept.begin(), kept.end()), 1000) << "output 1 sounds";
        std::size_t differing = 0;
        for (std::size_t t = 0; t < kept.size(); ++t) differing += played[t] != kept[t];
        EXPECT_EQ(differing, 0u) << "frames of output 1 changed by the running play";
    }
}

// The buffer size and both queue counts chosen in Preferences, with the player open and stopped,
// are what the next Play opens its devices with, and its 96 kHz check reads them; a rate or a
// buffer size chosen while Play starts is checked again when the devices open.
TEST_F(PreferencesBesideThePlayer, BufferSettingsChosenInPreferencesApplyAtTheNextPlayGui) {
    OutputLayout = 1;  // the 2 x 5-way design plays on outputs up to 10
    const char* const k96k = "For 96kHz Sampling Rate, Please select 2048 OR 4096 buffer Size\n";
    struct Case {
        const char* what;
        int rate, size, out, in;  // rows chosen with the player stopped
        int later, row;           // a list and its row chosen while Play starts (0: none)
        int frames;               // F of the play; 0: refused with `message`
        const char* message;
    };
    const Case cases[] = {
        {"4096 frames", 5, 2, 2, 2, 0, 0, 4096, nullptr},
        {"7 output and 3 input buffers", 5, 0, 5, 1, 0, 0, 1024, nullptr},
        {"96000 Hz with 2048 frames", 6, 1, 2, 2, 0, 0, 2048, nullptr},
        {"96000 Hz with 1024 frames", 6, 0, 2, 2, 0, 0, 0, k96k},
        {"96000 Hz chosen while Play starts", 5, 0, 2, 2, kSampleRateList, 6, 0, k96k},
        {"1024 frames chosen while Play starts", 6, 1, 2, 2, kBufferSizeList, 0, 0, k96k},
        {"22050 Hz chosen while Play starts", 5, 1, 2, 2, kSampleRateList, 2, 0,
         "Sampling Rate In This Release Must Be Set To\n44100 / 48000 / 96000 Samples/Second"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& [list, row] : {std::pair{kSampleRateList, c.rate},
                                        {kBufferSizeList, c.size},
                                        {kBuffersOutList, c.out},
                                        {kBuffersInList, c.in}})
            input::Select(PreferencesChildWindow, list, row);
        input::ClearMessageBoxLog();
        input::Click(ComponentCADSelectionDialog, kPlayButton);
        input::AdvanceTime(600);
        if (c.later != 0) input::Select(PreferencesChildWindow, c.later, c.row);
        input::AdvanceTime(1400);
        EXPECT_EQ(input::MessageBoxLog().size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(input::MessageBoxLog()[0].text, c.message);
        }
        EXPECT_EQ(engine::CurrentPlayState() == engine::PlayState::Playing, c.frames != 0);
        if (c.frames == 0) continue;
        EXPECT_EQ(engine::InputHeaders[0].dwBufferLength, 2u * 4u * c.frames);
        EXPECT_EQ(engine::OutputHeaders[0].dwBufferLength, 16u * 4u * c.frames);
        EXPECT_EQ(engine::OutputBufferCount, c.out + 2);
        EXPECT_EQ(engine::InputBufferCount, c.in + 2);
        input::Click(ComponentCADSelectionDialog, engine::kStopCommand);
    }
}

// A dialog opened from Front-Left while Play, or a project load with auto-load, starts the
// channels, before or after a channel's step: the start waits for it, so it changes only what the
// user changed in it, in Front-Left; the room equalizer can be left; then the play runs and STOP
// stops it. A design chosen from the menu meanwhile is refused, as while the play runs: the play
// that starts is the design on screen.
TEST_F(FrameTest, ADialogOpenedWhileTheChannelsStartChangesOnlyItsOwnPaneGui) {
    platform::VirtualCardReset();
    platform::VirtualCardFollowLayerClock(true);
    ASSERT_EQ(Start(), kStarted);
    const std::string project = (dir_ / "auto.HIF").string();
    struct Case {
        const char* what;
        int design;    // the System Design command
        int at;        // ms after Play or the load when the user acts
        int kind;      // the kind of Front-Left's element right-clicked (0: `command` is chosen)
        bool by_load;  // the chain of a project load, else Play's own
        std::function<void(HWND)> answer;
        int port;  // Front-Left's first output port after the dialog (0: every value as it was)
        int command = 0;
    };
    const auto cancel = [](HWND d) { input::Click(d, platform::IDCANCEL); };
    const auto close_box = [](HWND d) { input::CloseBox(d); };
    const Case cases[] = {
        {"output port, Cancel", kCmdStereo3Way, 200, kElementOutputPort, false, cancel, 0},
        {"output port 7, OK", kCmdStereo3Way, 200, kElementOutputPort, false,
         [](HWND d) {
             input::TypeText(d, network::kInputPortEdit, "7");
             input::Click(d, platform::IDOK);
         },
         7},
        {"output port after Front Left's step, Cancel", kCmdStereo3Way, 700, kElementOutputPort,
         false, cancel, 0},
        {"room equalizer, close box", kCmdStereo5Way, 200, kElementRoomEq, false, close_box, 0},
        {"room equalizer after Front Right's step", kCmdStereo5Way, 1200, kElementRoomEq, false,
         close_box, 0},
        {"room equalizer, project load", kCmdStereo5Way, 200, kElementRoomEq, true, cancel, 0},
        {"2 x 5 Way chosen after Front Left's step",
         kCmdStereo3Way,
         700,
         0,
         false,
         {},
         0,
         kCmdStereo5Way},
        {"2 x 5 Way chosen after Front Right's step",
         kCmdStereo3Way,
         1200,
         0,
         false,
         {},
         0,
         kCmdStereo5Way},
        {"Open Project chosen after Front Right's step",
         kCmdStereo3Way,
         1200,
         0,
         false,
         {},
         0,
         kCmdOpenProjectFile},
    };
    // The drawing and the values of a channel's network.
    const auto network_of = [](int pane) {
        const PaneStore& s = PaneStores[pane];
        return std::pair{
            std::string(reinterpret_cast<const char*>(&s.ElementGeometry),
                        sizeof s.ElementGeometry),
            std::string(reinterpret_cast<const char*>(&s.ElementParams), sizeof s.ElementParams)};
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, c.design));
        OutputLayout = 1;
        if (c.by_load) {
            ASSERT_EQ(WriteProjectFile(FrameWindow, project.c_str()), 1);
            Preferences->AutoLoadProject = 1;
            input::ScriptMessageBoxAnswers({platform::IDYES});
            input::ScriptFileDialogAnswers({project});
            ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdOpenProjectFile));
        } else {
            input::Click(ComponentCADSelectionDialog, kPlayButton);
        }
        const auto left = network_of(0), right = network_of(2);
        std::vector<int> ports = OutputPortsOf(PaneStores[0]);
        if (c.port != 0) ports[0] = c.port;
        input::AdvanceTime(c.at);
        if (c.command != 0) {
            // Answers a load would take, had the command not been refused.
            input::ClearMessageBoxLog();
            input::ScriptMessageBoxAnswers({platform::IDYES});
            input::ScriptFileDialogAnswers({project});
            ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, c.command));
            EXPECT_TRUE(input::MessageBoxLog().empty()) << "the command was not refused";
            input::ClearMessageBoxLog();
            input::ScriptFileDialogAnswers({});
        } else {
            int slot = 0;
            while (PaneStores[0].ElementGeometry[slot].kind != c.kind) ++slot;
            const ElementGeometryRecord g = PaneStores[0].ElementGeometry[slot];
            bool waited = false;
            input::OnModalDialog(c.kind == kElementRoomEq ? "Room_EQ" : "EnterOutputPort",
                                 [&](HWND d) {
                                     input::AdvanceTime(2500);  // the whole start, had it gone on
                                     waited = AudioBusy == 0 && network::ActivePane == 1;
                                     c.answer(d);
                                 });
            platform::BringWindowToTop(Splitter1Window);
            input::MouseClick(network::PaneWindows[0], (g.x1 + g.x2) / 20 * 10,
                              (g.y1 + g.y2) / 20 * 10, input::Button::Right);
            input::PumpUntilIdle();
            EXPECT_EQ(input::PendingModalActions(), 0u) << "the dialog did not open";
            EXPECT_TRUE(input::UnansweredDialogs().empty()) << "the dialog could not be left";
            input::ClearDialogScripts();
            EXPECT_TRUE(waited) << "the start went on under the dialog";
        }
        input::AdvanceTime(c.by_load ? 3500 : 2000);
        EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
        EXPECT_TRUE(network_of(2) == right) << "Front-Right's network changed";
        EXPECT_TRUE(network_of(0).first == left.first) << "Front-Left's drawing changed";
        EXPECT_EQ(OutputPortsOf(PaneStores[0]), ports);
        if (c.port == 0) {
            EXPECT_TRUE(network_of(0) == left) << "Front-Left's values changed";
        }
        input::Click(ComponentCADSelectionDialog, engine::kStopCommand);
        EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
    }
    platform::VirtualCardFollowLayerClock(false);
}

INSTANTIATE_TEST_SUITE_P(
    Designs, StereoWavThroughTemplates,
    ::testing::Values(DesignCase{kCmdStereo2Way, 2}, DesignCase{kCmdStereo3Way, 3},
                      DesignCase{kCmdStereo4Way, 4}, DesignCase{kCmdStereo5Way, 5},
                      DesignCase{kCmdStereo6Way, 6}, DesignCase{kCmdStereo7Way, 7},
                      DesignCase{kCmdStereo8Way, 8}),
    [](const ::testing::TestParamInfo<DesignCase>& param_info) {
        return "Stereo" + std::to_string(param_info.param.ways) + "Way";
    });

}  // namespace
}  // namespace shell::test
