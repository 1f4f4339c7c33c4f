// The frame's menu commands driven through the menu bar: System Design, project save and load
// with scripted file dialogs, the busy gate, help and the clipboard copy.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "frame/FrameCommands.h"
#include "platform/gdi/Clipboard.h"
#include "platform/gdi/Gdi.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Window.h"
#include "tests/frame/FrameTestSupport.h"

namespace shell::test {
using namespace frame;
namespace {

using platform::testing::ChooseMenuItem;
using platform::testing::MessageBoxLog;

struct PortSlot {
    int slot;
    int port;
};

struct DesignCase {
    int command;
    int ways;
    int left_input;
    std::vector<PortSlot> left;
    int right_input;
    std::vector<PortSlot> right;
};

void input_pump() { platform::testing::PumpUntilIdle(); }

const std::vector<DesignCase>& DesignCases() {
    static const std::vector<DesignCase> cases = {
        {kCmdStereo2Way, 2, 1, {{8, 1}, {9, 2}}, 3, {{8, 3}, {9, 4}}},
        {kCmdStereo3Way, 3, 1, {{6, 2}, {9, 3}, {12, 1}}, 2, {{6, 5}, {9, 6}, {12, 4}}},
        {kCmdStereo4Way,
         4,
         1,
         {{6, 2}, {9, 3}, {12, 1}, {18, 4}},
         2,
         {{6, 6}, {9, 7}, {12, 5}, {18, 8}}},
        {kCmdStereo5Way,
         5,
         1,
         {{7, 4}, {11, 3}, {15, 2}, {19, 5}, {23, 1}},
         2,
         {{7, 9}, {11, 8}, {15, 7}, {19, 10}, {23, 6}}},
        {kCmdStereo6Way,
         6,
         1,
         {{7, 4}, {11, 3}, {15, 2}, {19, 5}, {23, 6}, {32, 1}},
         2,
         {{7, 10}, {11, 9}, {15, 8}, {19, 11}, {23, 12}, {32, 7}}},
        {kCmdStereo7Way,
         7,
         1,
         {{7, 4}, {11, 3}, {15, 2}, {19, 5}, {23, 6}, {27, 1}, {31, 7}},
         2,
         {{7, 11}, {11, 10}, {15, 9}, {19, 12}, {23, 13}, {27, 8}, {31, 14}}},
        {kCmdStereo8Way,
         8,
         1,
         {{7, 4}, {11, 3}, {15, 2}, {19, 5}, {23, 6}, {27, 1}, {31, 7}, {35, 8}},
         2,
         {{7, 12}, {11, 11}, {15, 10}, {19, 13}, {23, 14}, {27, 9}, {31, 15}, {35, 16}}},
    };
    return cases;
}

int OutputPortCount(const PaneStore& store) {
    int count = 0;
    for (int e = 0; e < store.ElementCount; ++e)
        count += store.ElementGeometry[e].kind == kElementOutputPort;
    return count;
}

void ExpectPorts(const PaneStore& store, int input, const std::vector<PortSlot>& outputs,
                 int ways) {
    EXPECT_EQ(store.ElementGeometry[0].kind, kElementInputNode);
    EXPECT_EQ(store.ElementParams[0][kParamInputPort], static_cast<float>(input));
    EXPECT_EQ(OutputPortCount(store), ways) << "one output port per way";
    for (const PortSlot& p : outputs) {
        EXPECT_EQ(store.ElementGeometry[p.slot].kind, kElementOutputPort) << "slot " << p.slot;
        EXPECT_EQ(store.ElementParams[p.slot][kParamOutputPort], static_cast<float>(p.port))
            << "slot " << p.slot;
    }
}

TEST_F(FrameTest, SystemDesignCommandsFillBothStereoChannelsGui) {
    ASSERT_EQ(Start(), kStarted);
    for (const DesignCase& c : DesignCases()) {
        SCOPED_TRACE("command " + std::to_string(c.command));
        network::ActivePane = 3;
        network::ToolMode = 5;
        Project.Settings.SystemConfiguration = kSystemQuadro;
        ASSERT_TRUE(ChooseMenuItem(FrameWindow, static_cast<platform::UINT>(c.command)));
        ExpectPorts(PaneStores[0], c.left_input, c.left, c.ways);
        ExpectPorts(PaneStores[2], c.right_input, c.right, c.ways);
        for (int k : {1, 3, 4, 5, 6}) EXPECT_EQ(PaneStores[k].ElementCount, 0);
        EXPECT_EQ(network::ActivePane, 0);
        EXPECT_EQ(network::ToolMode, 1);
        EXPECT_EQ(Project.Settings.SystemConfiguration, kSystemStereo);
        EXPECT_TRUE(platform::IsWindow(Splitter1Window));
        EXPECT_TRUE(platform::IsWindow(ComponentCADSelectionDialog));
    }
    EXPECT_TRUE(MessageBoxLog().size() <= 1u) << "only the start-up preferences message";
}

TEST_F(FrameTest, SystemDesignCommandsCloseAndOpenTheirWindowsGui) {
    struct WindowCase {
        int command;
        bool closes_groups;  // 200-202: settings and tool windows, Quadro and BBM, SPL plot raised
    };
    const WindowCase cases[] = {{kCmdStereo2Way, true},  {kCmdStereo3Way, true},
                                {kCmdStereo4Way, true},  {kCmdStereo5Way, false},
                                {kCmdStereo6Way, false}, {kCmdStereo7Way, false},
                                {kCmdStereo8Way, false}};
    ASSERT_EQ(Start(), kStarted);
    for (const WindowCase& c : cases) {
        SCOPED_TRACE("command " + std::to_string(c.command));
        CloseSystemWindows();
        OpenHomeTheatreConfig();
        OpenQuadroConfig();
        OpenBbmConfig();
        OpenPreferencesChild();
        input_pump();
        ASSERT_TRUE(ChooseMenuItem(FrameWindow, static_cast<platform::UINT>(c.command)));
        EXPECT_FALSE(SplitterWindow) << "the Home Theatre window always closes";
        EXPECT_EQ(static_cast<bool>(Splitter2Window), !c.closes_groups);
        EXPECT_EQ(static_cast<bool>(Splitter3Window), !c.closes_groups);
        EXPECT_EQ(static_cast<bool>(PreferencesChildWindow), !c.closes_groups);
        EXPECT_EQ(static_cast<bool>(SplPlottingWindow), c.closes_groups);
        EXPECT_TRUE(platform::IsWindow(Splitter1Window));
        EXPECT_TRUE(platform::IsWindow(ComponentCADSelectionDialog));
        CloseSettingsWindows();
    }
}

TEST_F(FrameTest, CommandsAreIgnoredWhileAudioIsBusyGui) {
    ASSERT_EQ(Start(), kStarted);
    platform::testing::ClearMessageBoxLog();
    auto before = std::make_unique<PaneStore>(PaneStores[0]);
    AudioBusy = 1;
    for (int command : {kCmdStereo2Way, kCmdStereo8Way, kCmdOpenProjectFile, kCmdSaveProjectAs,
                        kCmdCurrentSystem, kCmdHelp, kCmdExit}) {
        ASSERT_TRUE(ChooseMenuItem(FrameWindow, static_cast<platform::UINT>(command)));
    }
    EXPECT_EQ(std::memcmp(before.get(), &PaneStores[0], sizeof(PaneStore)), 0);
    EXPECT_TRUE(MessageBoxLog().empty());
    EXPECT_TRUE(platform::testing::FileDialogLog().empty());
    EXPECT_TRUE(platform::IsWindow(Splitter1Window)) << "help would have closed it";
    AudioBusy = 0;
}

TEST_F(FrameTest, ProjectSaveAndLoadThroughTheMenuBringsThePanesBackGui) {
    ASSERT_EQ(Start(), kStarted);
    const std::string path = (dir_ / "two by four.HIF").string();
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdStereo4Way));
    std::vector<std::unique_ptr<PaneStore>> saved;
    for (const PaneStore& store : PaneStores) saved.push_back(std::make_unique<PaneStore>(store));

    platform::testing::ScriptFileDialogAnswers({path});
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdSaveProjectAs));
    ASSERT_EQ(platform::testing::FileDialogLog().size(), 1u);
    EXPECT_TRUE(platform::testing::FileDialogLog()[0].save);
    EXPECT_EQ(std::filesystem::file_size(path), kProjectImageBytes);
    EXPECT_EQ(WindowTitle(FrameWindow), std::string(kBaseTitle) + " - " + path);
    EXPECT_EQ(ModalDialogOpen, 0);

    // Another design, and Front-Right made the active pane with its network in the working one.
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdStereo2Way));
    platform::SendMessage(ComponentCADSelectionDialog, platform::WM_COMMAND, kFrontRightButton, 0);
    ASSERT_EQ(network::ActivePane, 3);
    ASSERT_NE(std::memcmp(saved[2].get(), &PaneStores[2], sizeof(PaneStore)), 0);

    platform::testing::ClearMessageBoxLog();
    platform::testing::ScriptMessageBoxAnswers({platform::IDYES});
    platform::testing::ScriptFileDialogAnswers({path});
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdOpenProjectFile));
    ASSERT_GE(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text,
              "Last chance to save current data !\n\nDO YOU WISH TO LOAD NEW PROJECT ?");
    EXPECT_EQ(MessageBoxLog()[0].type, platform::MB_YESNO | platform::MB_ICONQUESTION);
    EXPECT_EQ(MessageBoxLog().size(), 1u);

    for (int k = 0; k < kPaneCount; ++k) {
        // The tool word is carried by the pane's PaneToolModes entry, not the store.
        PaneStore expected = *saved[k];
        expected.ToolMode = PaneStores[k].ToolMode;
        EXPECT_EQ(std::memcmp(&expected, &PaneStores[k], sizeof(PaneStore)), 0) << "pane " << k + 1;
    }
    EXPECT_EQ(network::ActivePane, 0) << "no pane is active after a load";
    EXPECT_EQ(network::ToolMode, 1);
    EXPECT_STREQ(Preferences->LastProjectPath, path.c_str());
    EXPECT_EQ(MenuText(MainMenu, kCmdLastProjectFile), path);
    EXPECT_STREQ(Project.Settings.TextArea, path.c_str());
    EXPECT_EQ(WindowTitle(FrameWindow), std::string(kBaseTitle) + " - " + path);
    EXPECT_TRUE(platform::IsWindow(Splitter1Window));
    EXPECT_TRUE(platform::IsWindow(ComponentCADSelectionDialog));
    EXPECT_EQ(ModalDialogOpen, 0);

    // A pane edits only while it is the active pane, and saves into its own store: the click
    // that would have written the 2-way network over the loaded Front-Right one does nothing.
    const int active = network::ActivePane;
    if (active != 0) network::SavePaneStore(active);
    PaneStore expected = *saved[2];
    expected.ToolMode = PaneStores[2].ToolMode;
    EXPECT_EQ(std::memcmp(&expected, &PaneStores[2], sizeof(PaneStore)), 0);
}

TEST_F(FrameTest, LastProjectFileStartsTheDialogOnThatPathGui) {
    ASSERT_EQ(Start(), kStarted);
    const std::string path = (dir_ / "last.HIF").string();
    ASSERT_EQ(WriteProjectFile(FrameWindow, path.c_str()), 1);
    std::strcpy(Preferences->LastProjectPath, path.c_str());
    platform::testing::ScriptMessageBoxAnswers({platform::IDYES});
    platform::testing::ScriptFileDialogAnswers({path});
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdLastProjectFile));
    ASSERT_EQ(platform::testing::FileDialogLog().size(), 1u);
    EXPECT_EQ(platform::testing::FileDialogLog()[0].initial_path, path);
    EXPECT_FALSE(platform::testing::FileDialogLog()[0].save);
}

TEST_F(FrameTest, ProjectLoadWithAutoLoadRunsTheChannelChainGui) {
    ASSERT_EQ(Start(), kStarted);
    const std::string path = (dir_ / "auto.HIF").string();
    ASSERT_EQ(WriteProjectFile(FrameWindow, path.c_str()), 1);
    Preferences->AutoLoadProject = 1;
    platform::testing::ScriptMessageBoxAnswers({platform::IDYES});
    platform::testing::ScriptFileDialogAnswers({path});
    ClearPlayerCommands();
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdOpenProjectFile));
    AdvanceTimeWatchingPlayer(1500);
    EXPECT_EQ(PlayerCommands(),
              (std::vector<int>{kFrontLeftButton, kFrontRightButton, kPlayButton}));
}

TEST_F(FrameTest, ProjectLoadAnsweredNoOpensNoDialogGui) {
    ASSERT_EQ(Start(), kStarted);
    platform::testing::ScriptMessageBoxAnswers({platform::IDNO});
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdOpenProjectFile));
    EXPECT_TRUE(platform::testing::FileDialogLog().empty());
    EXPECT_EQ(ModalDialogOpen, 0);
}

TEST_F(FrameTest, CancelledProjectDialogChangesNothingGui) {
    ASSERT_EQ(Start(), kStarted);
    auto before = std::make_unique<PaneStore>(PaneStores[0]);
    network::ActivePane = 1;
    platform::testing::ScriptMessageBoxAnswers({platform::IDYES});
    platform::testing::ScriptFileDialogAnswers({""});
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdOpenProjectFile));
    EXPECT_EQ(platform::testing::FileDialogLog().size(), 1u);
    EXPECT_EQ(network::ActivePane, 1);
    EXPECT_EQ(std::memcmp(before.get(), &PaneStores[0], sizeof(PaneStore)), 0);
    EXPECT_EQ(WindowTitle(FrameWindow), kStartTitle);
}

TEST_F(FrameTest, OlderPaneCopyDoesNotClearTheLivePaneEntryGui) {
    ASSERT_EQ(Start(), kStarted);
    ASSERT_TRUE(platform::IsWindow(OpenQuadroConfig()));
    platform::testing::PumpUntilIdle();
    const platform::HWND quadro_pane1 = network::PaneWindows[0];
    ASSERT_TRUE(platform::IsChild(Splitter2Window, quadro_pane1));

    // 2 x 5-way leaves the Quadro window open beside a Stereo window.
    platform::SendMessage(MdiClientWindow, platform::WM_MDIDESTROY,
                          static_cast<platform::WPARAM>(Splitter1Window.value), 0);
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdStereo5Way));
    ASSERT_TRUE(platform::IsWindow(Splitter2Window)) << "204 leaves the Quadro window open";
    ASSERT_TRUE(platform::IsWindow(Splitter1Window));
    const platform::HWND stereo_pane1 = network::PaneWindows[0];
    EXPECT_TRUE(platform::IsChild(Splitter1Window, stereo_pane1));
    EXPECT_NE(stereo_pane1, quadro_pane1);

    platform::SendMessage(MdiClientWindow, platform::WM_MDIDESTROY,
                          static_cast<platform::WPARAM>(Splitter2Window.value), 0);
    platform::testing::PumpUntilIdle();
    EXPECT_FALSE(Splitter2Window);
    EXPECT_EQ(network::PaneWindows[0], stereo_pane1) << "the live pane keeps its entry";
    EXPECT_TRUE(platform::IsChild(Splitter1Window, network::PaneWindows[2]));
    EXPECT_FALSE(network::PaneWindows[3]) << "Rear-Left lived only in the Quadro window";
    EXPECT_FALSE(network::PaneWindows[5]);

    // The 3-way command closes the Quadro window.
    ASSERT_TRUE(platform::IsWindow(OpenQuadroConfig()));
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdStereo3Way));
    EXPECT_FALSE(Splitter2Window);
}

TEST_F(FrameTest, CurrentSystemReopensTheConfigurationWindowAndCheckBoxesGui) {
    ASSERT_EQ(Start(), kStarted);
    Project.Settings.SystemConfiguration = kSystemBbm;
    Project.Settings.UseHbtData = 1;
    Project.Settings.SplOnlyEq = 0;
    WideWindow = 1;
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdCurrentSystem));
    EXPECT_FALSE(Splitter1Window);
    EXPECT_TRUE(platform::IsWindow(Splitter3Window));
    ASSERT_TRUE(platform::IsWindow(ComponentCADSelectionDialog));
    EXPECT_EQ(platform::IsDlgButtonChecked(ComponentCADSelectionDialog, kUseHbtDataCheck), 1u);
    EXPECT_EQ(platform::IsDlgButtonChecked(ComponentCADSelectionDialog, kSplOnlyEqCheck), 0u);
    EXPECT_EQ(platform::IsDlgButtonChecked(ComponentCADSelectionDialog, kWideWindowCheck), 1u);
    EXPECT_TRUE(platform::IsWindow(SplPlottingWindow));
    for (int k = 0; k < kPaneCount; ++k) {
        EXPECT_TRUE(platform::IsChild(Splitter3Window, network::PaneWindows[k]))
            << "pane " << k + 1;
    }
}

TEST_F(FrameTest, HelpWithoutItsFileSaysSoGui) {
    ASSERT_EQ(Start(), kStarted);
    platform::testing::ClearMessageBoxLog();
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdHelp));
    EXPECT_EQ(CountBoxes("Unable To Locate QuorvexEqualizer_Help.CHM File"), 1);
    EXPECT_FALSE(Splitter1Window) << "help closes the system windows";

    WriteBytes(dir_ / "QuorvexEqualizer_Help.CHM", "help", 4);
    platform::testing::ClearMessageBoxLog();
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdHelp));
    EXPECT_TRUE(MessageBoxLog().empty());
    EXPECT_EQ(std::string(ScratchPath), (dir_ / "QuorvexEqualizer_Help.CHM").string());
}

TEST_F(FrameTest, ClipboardCopySaysWhetherItWorkedGui) {
    ASSERT_EQ(Start(), kStarted);
    platform::testing::ClearMessageBoxLog();
    EXPECT_EQ(CopyWindowToClipboard(FrameWindow), 1);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, "Screen Copied");
    const platform::HBITMAP copy = platform::GetClipboardBitmap();
    EXPECT_TRUE(copy);
    platform::DeleteObject(copy);

    // The clipboard held by someone else: the copy fails and says so.
    platform::testing::ClearMessageBoxLog();
    const int beeps = platform::testing::BeepCount();
    ASSERT_TRUE(platform::OpenClipboard(platform::HWND{}));
    EXPECT_EQ(CopyWindowToClipboard(FrameWindow), 0);
    platform::CloseClipboard();
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text, "Screen Copied");
    EXPECT_NE(MessageBoxLog()[0].text.find("Failed"), std::string::npos);
    EXPECT_GT(platform::testing::BeepCount(), beeps);

    // No bitmap can be made.
    platform::testing::ClearMessageBoxLog();
    const int width = FrameClientWidth;
    FrameClientWidth = 0;
    EXPECT_EQ(CopyWindowToClipboard(FrameWindow), 0);
    FrameClientWidth = width;
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text, "Screen Copied");
}

}  // namespace
}  // namespace shell::test

namespace shell::test {
namespace {

// The settings menu items open their windows as a person would find them: Preferences closes
// the system and editor windows first; Pen Colours opens only while neither settings window is
// open; Assign Profiles runs its dialog modally with the remote control held off.
TEST_F(FrameTest, SettingsCommandsOpenTheirWindowsGui) {
    ASSERT_EQ(Start(), kStarted);
    ASSERT_TRUE(platform::IsWindow(Splitter1Window));

    ASSERT_TRUE(ChooseMenuItem(FrameWindow, static_cast<platform::UINT>(kCmdPenColours)));
    ASSERT_TRUE(platform::IsWindow(PenColourChildWindow));
    const platform::HWND pen_colours = PenColourChildWindow;
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, static_cast<platform::UINT>(kCmdPenColours)));
    EXPECT_EQ(PenColourChildWindow, pen_colours) << "a second Pen Colours window was opened";

    ASSERT_TRUE(ChooseMenuItem(FrameWindow, static_cast<platform::UINT>(kCmdPreferences)));
    ASSERT_TRUE(platform::IsWindow(PreferencesChildWindow));
    EXPECT_FALSE(Splitter1Window) << "the Stereo window stays open beside the preferences";
    const platform::HWND preferences = PreferencesChildWindow;
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, static_cast<platform::UINT>(kCmdPreferences)));
    EXPECT_EQ(PreferencesChildWindow, preferences);

    // With the preferences open, Pen Colours does nothing.
    platform::SendMessage(MdiClientWindow, platform::WM_MDIDESTROY, pen_colours.value, 0);
    platform::testing::PumpUntilIdle();
    ASSERT_FALSE(PenColourChildWindow);
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, static_cast<platform::UINT>(kCmdPenColours)));
    EXPECT_FALSE(PenColourChildWindow);

    int modal_seen = -1;
    platform::testing::OnModalDialog("ProjectFile", [&](platform::HWND dialog) {
        modal_seen = ModalDialogOpen;
        platform::EndDialog(dialog, 0);
    });
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, static_cast<platform::UINT>(kCmdAssignProfiles)));
    EXPECT_EQ(modal_seen, 1) << "the profiles dialog did not run, or ran with the remote active";
    EXPECT_EQ(ModalDialogOpen, 0);
    CloseSettingsWindows();
}

// Where a tool dialog opens against its plots, on the screens the program meets: a 1280 x 800
// work area with the HBT editor (900 x 500 client at (2, 48)), the diffraction plot (675 x 455)
// and the two MLS views stacked at the left.
TEST(PlaceToolDialog, OpensBesideItsPlotsWhereTheScreenHasRoom) {
    struct Case {
        const char* name;
        platform::POINT stored;
        int width, height;
        std::vector<platform::RECT> plots;
        platform::RECT work;
        platform::POINT expected;
    };
    const platform::RECT small{0, 0, 1280, 800};
    const platform::RECT editor{2, 48, 902, 548};
    const std::vector<Case> cases = {
        {"a place clear of the plot stays", {910, 60}, 300, 200, {editor}, small, {910, 60}},
        {"no plot open: the stored place", {5, 82}, 600, 242, {}, small, {5, 82}},
        {"over the editor: below it, where it fits", {5, 82}, 600, 242, {editor}, small, {5, 548}},
        {"right of the plot when that is nearer",
         {600, 60},
         300,
         700,
         {platform::RECT{0, 40, 650, 750}},
         small,
         {650, 60}},
        {"the two MLS views count as one block",
         {5, 82},
         300,
         717,
         {platform::RECT{2, 48, 652, 398}, platform::RECT{2, 408, 652, 758}},
         small,
         {652, 82}},
        {"no room anywhere: the place that covers least",
         {0, 460},
         615,
         510,
         {platform::RECT{2, 48, 677, 503}},
         small,
         {665, 290}},
        {"a dialog larger than the screen stays", {5, 82}, 1400, 300, {editor}, small, {5, 82}},
        {"a sliver over the plot is where the person wanted it",
         {890, 100},
         300,
         400,
         {editor},
         small,
         {890, 100}},
        {"left of a plot at the right edge",
         {900, 100},
         300,
         400,
         {platform::RECT{700, 40, 1280, 800}},
         small,
         {400, 100}},
    };
    for (const Case& c : cases) {
        const platform::POINT at = PlaceToolDialog(c.stored, c.width, c.height, c.plots.data(),
                                                   static_cast<int>(c.plots.size()), c.work);
        EXPECT_EQ(at.x, c.expected.x) << c.name;
        EXPECT_EQ(at.y, c.expected.y) << c.name;
    }
}

}  // namespace
}  // namespace shell::test
