// Start-up, the start windows, the auto-load chain and closing, driven headless.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Window.h"
#include "shell/GdiObjects.h"
#include "tests/frame/FrameTestSupport.h"

namespace shell::test {
using namespace frame;
namespace {

using platform::testing::AdvanceTime;
using platform::testing::MessageBoxLog;

// Input port of slot 0 and the output ports of every output-port element of a store, by slot.
struct StorePorts {
    int input;
    std::vector<std::pair<int, int>> outputs;  // (slot, port), slots ascending
};

StorePorts PortsOf(const PaneStore& store) {
    StorePorts ports{};
    EXPECT_EQ(store.ElementGeometry[0].kind, kElementInputNode) << "slot 0 is not the input node";
    ports.input = static_cast<int>(store.ElementParams[0][kParamInputPort]);
    for (int e = 0; e < store.ElementCount; ++e) {
        if (store.ElementGeometry[e].kind == kElementOutputPort) {
            ports.outputs.emplace_back(e,
                                       static_cast<int>(store.ElementParams[e][kParamOutputPort]));
        }
    }
    return ports;
}

std::set<int> PortSet(const StorePorts& ports) {
    std::set<int> set;
    for (const auto& [slot, port] : ports.outputs) set.insert(port);
    return set;
}

TEST_F(FrameTest, StartWithoutPreferencesFileOpensTheStartWindowsGui) {
    ASSERT_EQ(Start(), kStarted);
    EXPECT_EQ(CountBoxes("Unable To OPEN Preferences File"), 1);
    ASSERT_EQ(MessageBoxLog().size(), 1u) << "only the preferences message is shown";
    EXPECT_EQ(MessageBoxLog()[0].caption, "QV Message");
    EXPECT_EQ(MessageBoxLog()[0].type & 0xF0u, platform::MB_ICONEXCLAMATION);

    EXPECT_EQ(MenuText(MainMenu, kCmdLastDriverFile), "**");
    EXPECT_EQ(MenuText(MainMenu, kCmdLastProjectFile), "**");
    EXPECT_EQ(WindowTitle(FrameWindow), kStartTitle);

    EXPECT_TRUE(platform::IsWindow(Splitter1Window)) << "Stereo window";
    EXPECT_TRUE(platform::IsWindow(SplPlottingWindow)) << "SPL plot window";
    ASSERT_TRUE(platform::IsWindow(ComponentCADSelectionDialog)) << "player dialog";
    EXPECT_FALSE(SplitterWindow);
    EXPECT_FALSE(Splitter2Window);
    EXPECT_FALSE(Splitter3Window);

    // The player dialog stands at its placement with its fixed size.
    platform::RECT frame_rect{}, dialog_rect{};
    platform::GetWindowRect(ComponentCADSelectionDialog, &dialog_rect);
    EXPECT_EQ(dialog_rect.right - dialog_rect.left, kPlayerDialogWidth);
    EXPECT_EQ(dialog_rect.bottom - dialog_rect.top, kPlayerDialogHeight);
    (void)frame_rect;

    // The Stereo window holds panes 1 and 3.
    EXPECT_TRUE(platform::IsWindow(network::PaneWindows[0]));
    EXPECT_TRUE(platform::IsWindow(network::PaneWindows[2]));
    EXPECT_TRUE(platform::IsChild(Splitter1Window, network::PaneWindows[0]));
    for (int k : {1, 3, 4, 5, 6}) EXPECT_FALSE(network::PaneWindows[k]) << "pane " << k + 1;

    // Front-Left: input 1, outputs 1-4; Front-Right: input 3, outputs 5-8; four ports each.
    const StorePorts left = PortsOf(PaneStores[0]);
    const StorePorts right = PortsOf(PaneStores[2]);
    EXPECT_EQ(left.input, 1);
    EXPECT_EQ(right.input, 3);
    EXPECT_EQ(left.outputs.size(), 4u);
    EXPECT_EQ(right.outputs.size(), 4u);
    EXPECT_EQ(PortSet(left), (std::set<int>{1, 2, 3, 4}));
    EXPECT_EQ(PortSet(right), (std::set<int>{5, 6, 7, 8}));
    for (int k : {1, 3, 4, 5, 6}) EXPECT_EQ(PaneStores[k].ElementCount, 0) << "pane " << k + 1;

    EXPECT_EQ(network::ActivePane, 0);
    EXPECT_EQ(network::ToolMode, 1);
    EXPECT_EQ(PlotFamilyFlags[0], 1);
    for (int f = 1; f < 12; ++f) EXPECT_EQ(PlotFamilyFlags[f], 0) << "family " << f;
    EXPECT_STREQ(CurrentDriverRecord->Diameter, "25.0");

    // The program directory is the whole current directory with its separator.
    EXPECT_EQ(std::string(ProgramDirectory), std::filesystem::current_path().string() + "/");
}

TEST_F(FrameTest, ShortPreferencesFileIsAppliedAndRecentItemsTakeItsPathsGui) {
    // A file cut after the last project path: the bytes it has replace the defaults.
    auto record = std::make_unique<PreferencesRecord>();
    InitPreferencesRecord(record.get());
    std::strcpy(record->LastDriverPath, "/drivers/woofer.WFR");
    std::strcpy(record->LastProjectPath, "/projects/living room.HIF");
    WriteBytes(dir_ / "QV_Preferences.pre", record.get(),
               offsetof(PreferencesRecord, LastProjectPath) + kPathSlot);
    ASSERT_EQ(Start(), kStarted);
    EXPECT_EQ(MessageBoxLog().size(), 1u) << "the short file is told once";
    EXPECT_EQ(MenuText(MainMenu, kCmdLastDriverFile), "/drivers/woofer.WFR");
    EXPECT_EQ(MenuText(MainMenu, kCmdLastProjectFile), "/projects/living room.HIF");
    EXPECT_EQ(Preferences->AutoLoadProject, 0) << "the rest keeps its defaults";
    EXPECT_TRUE(platform::IsWindow(Splitter1Window));
}

TEST_F(FrameTest, NoStartWindowsShowsOnlyTheFrameGui) {
    WritePreferencesFile(dir_, [](PreferencesRecord& r) { r.NoStartWindows = 1; });
    ASSERT_EQ(Start(), kStarted);
    EXPECT_TRUE(MessageBoxLog().empty());
    EXPECT_TRUE(platform::IsWindow(FrameWindow));
    EXPECT_FALSE(Splitter1Window);
    EXPECT_FALSE(SplPlottingWindow);
    EXPECT_FALSE(ComponentCADSelectionDialog);
    AdvanceTime(5000);
    EXPECT_FALSE(Splitter1Window) << "no chain runs";
    EXPECT_TRUE(PlayerCommands().empty());
}

TEST_F(FrameTest, StartOpensThePlayerWithTheOtherStartWindowsGui) {
    ASSERT_EQ(Start(), kStarted);
    EXPECT_TRUE(platform::IsWindow(ComponentCADSelectionDialog));
    EXPECT_TRUE(platform::IsWindow(Splitter1Window));
    EXPECT_TRUE(platform::IsWindow(SplPlottingWindow));
}

// ---- The auto-load chain ----

// Saves a project whose Front-Left store holds the 3-way template and whose configuration is
// `configuration`; returns its path and keeps a copy of that store in `saved`. The stores and
// the project settings are cleared again afterwards.
std::string SaveChainProject(const std::filesystem::path& dir, int configuration,
                             std::unique_ptr<PaneStore>* saved) {
    EnsureCurveBuffers();
    network::ClearAllPaneStores();
    network::ClearWorkingNetwork();
    network::Build3WayTemplate();
    network::SavePane1Store();
    *saved = std::make_unique<PaneStore>(PaneStores[0]);
    Project.Settings.SystemConfiguration = configuration;
    const std::string path = (dir / "chain.HIF").string();
    EXPECT_EQ(WriteProjectFile(platform::HWND{}, path.c_str()), 1);
    network::ClearAllPaneStores();
    InitProjectSettings(&Project);
    FreeCurveBuffers();
    return path;
}

// True when the element parameters of two stores agree, but for the output ports' hot nodes:
// the network editor numbers those whenever a pane shows its network.
bool SameNetworkParams(const PaneStore& a, const PaneStore& b) {
    for (int e = 0; e < kMaxElements; ++e) {
        for (int q = 0; q < kElementParamCount; ++q) {
            if (q != kParamHotNode && a.ElementParams[e][q] != b.ElementParams[e][q]) return false;
        }
    }
    return true;
}

struct ChainCase {
    int configuration;
    std::vector<int> buttons;  // pressed in order, then Play
};

TEST_F(FrameTest, AutoLoadChainLoadsTheLastProjectAndActivatesItsChannelsGui) {
    const ChainCase cases[] = {
        {kSystemStereo, {kFrontLeftButton, kFrontRightButton}},
        {kSystemHomeTheatre,
         {kFrontLeftButton, kCentreButton, kFrontRightButton, kRearLeftButton, kSubButton,
          kRearRightButton}},
        {kSystemQuadro, {kFrontLeftButton, kFrontRightButton, kRearLeftButton, kRearRightButton}},
        {kSystemBbm,
         {kFrontLeftButton, kCentreButton, kFrontRightButton, kRearLeftButton, kSubButton,
          kSub2Button, kRearRightButton}},
    };
    platform::HWND* const config_windows[4] = {&Splitter1Window, &SplitterWindow, &Splitter2Window,
                                               &Splitter3Window};
    for (const ChainCase& c : cases) {
        SCOPED_TRACE("configuration " + std::to_string(c.configuration));
        TearDown();
        SetUp();
        std::unique_ptr<PaneStore> saved;
        const std::string path = SaveChainProject(dir_, c.configuration, &saved);
        WritePreferencesFile(dir_, [&](PreferencesRecord& r) {
            r.AutoLoadProject = 1;
            std::strcpy(r.LastProjectPath, path.c_str());
        });

        ASSERT_EQ(Start(), kStarted);
        EXPECT_FALSE(Splitter1Window) << "nothing opens at start";
        EXPECT_FALSE(SplPlottingWindow);
        EXPECT_FALSE(ComponentCADSelectionDialog);

        AdvanceTime(99);
        EXPECT_NE(std::memcmp(&PaneStores[0], saved.get(), sizeof(PaneStore)), 0)
            << "the default network is still there";
        AdvanceTime(1);
        EXPECT_TRUE(MessageBoxLog().empty());
        EXPECT_TRUE(SameNetworkParams(PaneStores[0], *saved))
            << "the project's Front-Left network is loaded";
        EXPECT_EQ(PaneStores[2].ElementCount, 0) << "the project's Front-Right store is empty";
        EXPECT_EQ(std::string(ProjectFileName), "chain.HIF");
        EXPECT_TRUE(platform::IsWindow(*config_windows[c.configuration]));
        ASSERT_TRUE(platform::IsWindow(ComponentCADSelectionDialog));
        EXPECT_EQ(network::ActivePane, 0);
        EXPECT_TRUE(PlayerCommands().empty());

        std::vector<int> expected;
        for (int button : c.buttons) {
            AdvanceTime(499);
            EXPECT_EQ(PlayerCommands(), expected) << "no step before 500 ms";
            AdvanceTime(1);
            expected.push_back(button);
            EXPECT_EQ(PlayerCommands(), expected);
        }
        AdvanceTime(500);
        expected.push_back(kPlayButton);
        EXPECT_EQ(PlayerCommands(), expected);
        EXPECT_EQ(WindowTitle(FrameWindow), std::string(kBaseTitle) + " - " + path);
        AdvanceTime(5000);
        EXPECT_EQ(PlayerCommands(), expected) << "the chain ends with Play";
    }
}

// A project damaged in its settings: the auto-load says once which values it replaced, loads
// the defaults instead (a volume far above the scroll bar becomes the default position, an
// unknown system configuration Stereo) and the chain runs for the configuration it now has.
TEST_F(FrameTest, AutoLoadOfDamagedSettingsNamesTheReplacedValuesAndRunsTheChainGui) {
    std::unique_ptr<PaneStore> saved;
    const std::string path = SaveChainProject(dir_, kSystemStereo, &saved);
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        const std::int32_t volume = 1000;
        const std::int32_t configuration = 9;
        file.seekp(static_cast<std::streamoff>(kProjectSettingsOffset +
                                               offsetof(ProjectSettings, VolumeSliderPosition)));
        file.write(reinterpret_cast<const char*>(&volume), 4);
        file.seekp(static_cast<std::streamoff>(kProjectSettingsOffset +
                                               offsetof(ProjectSettings, SystemConfiguration)));
        file.write(reinterpret_cast<const char*>(&configuration), 4);
    }
    WritePreferencesFile(dir_, [&](PreferencesRecord& r) {
        r.AutoLoadProject = 1;
        std::strcpy(r.LastProjectPath, path.c_str());
    });
    ASSERT_EQ(Start(), kStarted);
    AdvanceTime(100);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("volume"), std::string::npos) << MessageBoxLog()[0].text;
    EXPECT_NE(MessageBoxLog()[0].text.find("system configuration"), std::string::npos);
    EXPECT_EQ(Project.Settings.VolumeSliderPosition, 9);
    EXPECT_EQ(Project.Settings.SystemConfiguration, kSystemStereo);
    EXPECT_TRUE(platform::IsWindow(Splitter1Window)) << "the Stereo window";
    AdvanceTimeWatchingPlayer(1500);
    EXPECT_EQ(PlayerCommands(),
              (std::vector<int>{kFrontLeftButton, kFrontRightButton, kPlayButton}));
}

TEST_F(FrameTest, AutoLoadRefusesAFileOfTheWrongSizeGui) {
    const std::vector<char> bytes(kProjectImageBytes - 1, 0);
    WriteBytes(dir_ / "short.HIF", bytes.data(), bytes.size());
    const std::string path = (dir_ / "short.HIF").string();
    WritePreferencesFile(dir_, [&](PreferencesRecord& r) {
        r.AutoLoadProject = 1;
        std::strcpy(r.LastProjectPath, path.c_str());
    });
    ASSERT_EQ(Start(), kStarted);
    auto before = std::make_unique<PaneStore>(PaneStores[0]);
    AdvanceTime(100);
    EXPECT_EQ(CountBoxes("This Project File Is Not recognized"), 1);
    EXPECT_FALSE(Splitter1Window);
    EXPECT_FALSE(ComponentCADSelectionDialog);
    EXPECT_EQ(std::memcmp(before.get(), &PaneStores[0], sizeof(PaneStore)), 0);
    AdvanceTime(3000);
    EXPECT_TRUE(PlayerCommands().empty());
}

TEST_F(FrameTest, AutoLoadOfAMissingFileShowsItsPathGui) {
    const std::string path = (dir_ / "gone.HIF").string();
    WritePreferencesFile(dir_, [&](PreferencesRecord& r) {
        r.AutoLoadProject = 1;
        std::strcpy(r.LastProjectPath, path.c_str());
    });
    ASSERT_EQ(Start(), kStarted);
    AdvanceTime(100);
    EXPECT_EQ(CountBoxes(path), 1);
    EXPECT_FALSE(Splitter1Window);
}

TEST_F(FrameTest, AutoLoadWithNoStartWindowsLoadsButShowsNothingGui) {
    std::unique_ptr<PaneStore> saved;
    const std::string path = SaveChainProject(dir_, kSystemStereo, &saved);
    WritePreferencesFile(dir_, [&](PreferencesRecord& r) {
        r.AutoLoadProject = 1;
        r.NoStartWindows = 1;
        std::strcpy(r.LastProjectPath, path.c_str());
    });
    ASSERT_EQ(Start(), kStarted);
    AdvanceTime(100);
    EXPECT_EQ(std::memcmp(&PaneStores[0].ElementParams, &saved->ElementParams,
                          sizeof saved->ElementParams),
              0)
        << "the project is unpacked";
    EXPECT_EQ(PaneStores[2].ElementCount, 0) << "the default Front-Right network is replaced";
    EXPECT_FALSE(Splitter1Window);
    EXPECT_FALSE(ComponentCADSelectionDialog);
    AdvanceTime(5000);
    EXPECT_TRUE(PlayerCommands().empty()) << "no channel is pressed and nothing plays";
}

// ---- Refused start-up ----

TEST_F(FrameTest, AllocationFailureEndsStartUpWithAMessageGui) {
    ProgramAllocators().AllocDsp = [] { return 3; };
    EXPECT_EQ(Start(), kStartOutOfMemory);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("Memory"), std::string::npos);
    EXPECT_EQ(Preferences, nullptr) << "what was allocated is released";
    EXPECT_EQ(FirSpectrumTables[0][0], nullptr);
    EXPECT_FALSE(FrameWindow);
    EXPECT_EQ(ProgramReleaseCount(), 1);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "QV_Preferences.pre"));
}

TEST_F(FrameTest, TooLongProgramDirectoryRefusesToStartGui) {
    // A folder path of more than 2048 characters.
    std::filesystem::path deep = dir_;
    while (deep.string().size() < kDirectorySlot + 10) deep /= std::string(200, 'd');
    std::filesystem::create_directories(deep);
    std::filesystem::current_path(deep);
    EXPECT_EQ(Start(), kStartPathTooLong);
    ASSERT_EQ(MessageBoxLog().size(), 1u) << "one message, and no preferences were read";
    EXPECT_NE(MessageBoxLog()[0].text.find("Too Long"), std::string::npos);
    EXPECT_EQ(Preferences, nullptr);
    EXPECT_FALSE(FrameWindow);
}

TEST_F(FrameTest, ProgramDirectoryJustShortEnoughStartsGui) {
    // Longest accepted: directory + separator + "QuorvexEqualizer_Help.CHM" + NUL = 2048.
    std::filesystem::path deep = dir_;
    const std::size_t target = kDirectorySlot - 1 - std::strlen("QuorvexEqualizer_Help.CHM") - 1;
    while (deep.string().size() + 201 < target) deep /= std::string(200, 'e');
    deep /= std::string(target - deep.string().size() - 1, 'f');
    ASSERT_EQ(deep.string().size(), target);
    std::filesystem::create_directories(deep);
    std::filesystem::current_path(deep);
    EXPECT_EQ(Start(), kStarted);
    EXPECT_EQ(std::strlen(ProgramDirectory), target + 1);
}

// ---- Closing ----

TEST_F(FrameTest, ClosingIsRefusedWhileAudioIsBusyGui) {
    ASSERT_EQ(Start(), kStarted);
    platform::testing::ClearMessageBoxLog();
    AudioBusy = 1;
    platform::SendMessage(FrameWindow, platform::WM_CLOSE, 0, 0);
    platform::testing::PumpUntilIdle();
    EXPECT_TRUE(MessageBoxLog().empty());
    EXPECT_FALSE(std::filesystem::exists(dir_ / "QV_Preferences.pre"));
    EXPECT_EQ(ProgramReleaseCount(), 0);
    EXPECT_NE(Preferences, nullptr);

    // The Exit command is refused the same way; after STOP the same close works.
    EXPECT_TRUE(platform::testing::ChooseMenuItem(FrameWindow, kCmdExit));
    EXPECT_TRUE(MessageBoxLog().empty());
    AudioBusy = 0;
    platform::testing::ScriptMessageBoxAnswers({platform::IDYES});
    platform::SendMessage(FrameWindow, platform::WM_CLOSE, 0, 0);
    EXPECT_EQ(ProgramReleaseCount(), 1);
}

TEST_F(FrameTest, ClosingAnsweredNoKeepsRunningWithThePreferencesWrittenGui) {
    ASSERT_EQ(Start(), kStarted);
    platform::testing::ClearMessageBoxLog();
    WindowPlacements[kSlotStereo].X = 17;  // a live variable that the file must carry
    platform::testing::ScriptMessageBoxAnswers({platform::IDNO});
    const int beeps = platform::testing::BeepCount();
    platform::SendMessage(FrameWindow, platform::WM_CLOSE, 0, 0);
    platform::testing::PumpUntilIdle();

    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, "Last chance to save data !\n\nDO YOU WISH TO EXIT ?");
    EXPECT_EQ(MessageBoxLog()[0].caption, "QV Message");
    EXPECT_EQ(MessageBoxLog()[0].type, platform::MB_YESNO | platform::MB_ICONQUESTION);
    EXPECT_GT(platform::testing::BeepCount(), beeps);

    const std::vector<std::uint8_t> file = ReadBytes(dir_ / "QV_Preferences.pre");
    ASSERT_EQ(file.size(), sizeof(PreferencesRecord));
    PreferencesRecord written{};
    std::memcpy(&written, file.data(), sizeof written);
    EXPECT_EQ(written.WindowRects[kSlotStereo].X, 17);

    EXPECT_EQ(ProgramReleaseCount(), 0);
    EXPECT_TRUE(platform::IsWindow(FrameWindow));
    EXPECT_NE(Preferences, nullptr);
    EXPECT_EQ(platform::testing::QuitCode(), -1);
}

TEST_F(FrameTest, ClosingAnsweredYesReleasesEverythingOnceGui) {
    ASSERT_EQ(Start(), kStarted);
    platform::testing::ScriptMessageBoxAnswers({platform::IDYES});
    EXPECT_TRUE(platform::testing::ChooseMenuItem(FrameWindow, kCmdExit));
    EXPECT_EQ(ProgramReleaseCount(), 1);
    EXPECT_EQ(platform::testing::QuitCode(), 0);
    EXPECT_EQ(Preferences, nullptr);
    EXPECT_EQ(FirSpectrumTables[1][0], nullptr);
    EXPECT_EQ(FftTwiddleTable, nullptr);
    EXPECT_FALSE(platform::IsMenu(MainMenu));
    EXPECT_FALSE(SmallFont);
    EXPECT_FALSE(BlackPen);
    EXPECT_FALSE(MeterBrushRamp[17]);
    EXPECT_FALSE(Splitter1Window) << "no window outlives the blocks it paints from";
    EXPECT_FALSE(ComponentCADSelectionDialog);
    EXPECT_TRUE(std::filesystem::exists(dir_ / "QV_Preferences.pre"));

    // The frame's own end does not release a second time, and a later close asks nothing.
    platform::testing::ClearMessageBoxLog();
    platform::SendMessage(FrameWindow, platform::WM_CLOSE, 0, 0);
    platform::DestroyWindow(FrameWindow);
    EXPECT_EQ(ProgramReleaseCount(), 1);
    EXPECT_TRUE(MessageBoxLog().empty());
}

TEST_F(FrameTest, DestroyingTheFrameReleasesOnceGui) {
    ASSERT_EQ(Start(), kStarted);
    platform::DestroyWindow(FrameWindow);
    EXPECT_EQ(ProgramReleaseCount(), 1);
    EXPECT_EQ(Preferences, nullptr);
    platform::testing::PumpUntilIdle();
    EXPECT_EQ(platform::testing::QuitCode(), 0);
}

}  // namespace
}  // namespace shell::test
