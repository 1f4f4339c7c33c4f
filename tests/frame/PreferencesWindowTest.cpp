// The System-Wide Preferences and Pen Colours windows driven as a person would: every control
// writes its setting at once, the colour editing moves one step per message and stays in range,
// the device lists come from the wave devices, and the settings survive a restart.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "frame/ColourEditing.h"
#include "frame/FrameCommands.h"
#include "frame/PenColourWindow.h"
#include "frame/PreferencesWindow.h"
#include "frame/Program.h"
#include "frame/ResetProgram.h"
#include "platform/audio/VirtualCard.h"
#include "platform/audio/Wave.h"
#include "platform/gdi/Clipboard.h"
#include "platform/gdi/Gdi.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"
#include "tests/shell/ShellTestSupport.h"

namespace shell {
namespace {

using namespace frame;
using platform::HWND;
namespace pt = platform::testing;

// Device text tables for tests that run without the DSP blocks of start-up.
char g_in_texts[kDeviceTextCount][kDeviceTextSlot];
char g_out_texts[kDeviceTextCount][kDeviceTextSlot];

platform::LRESULT SettingsTestFrameProc(HWND hwnd, platform::UINT message, platform::WPARAM wParam,
                                        platform::LPARAM lParam) {
    if (message == platform::WM_CREATE) {
        platform::CLIENTCREATESTRUCT ccs{platform::HMENU{}, 40};
        MdiClientWindow = platform::CreateWindow(
            "MDICLIENT", nullptr, platform::WS_CHILD | platform::WS_VISIBLE, 0, 0, 0, 0, hwnd,
            platform::HMENU{}, platform::HINSTANCE{}, &ccs);
        return 0;
    }
    return platform::DefFrameProc(hwnd, MdiClientWindow, message, wParam, lParam);
}

void RegisterTestClass(const char* name, platform::WNDPROC proc) {
    platform::WNDCLASS wc{};
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = 2;
    wc.hbrBackground = platform::GetSysColorBrush(platform::COLOR_BTNFACE);
    wc.lpszClassName = name;
    ASSERT_TRUE(platform::RegisterClass(&wc)) << name;
}

class SettingsWindowGui : public ::testing::Test {
  protected:
    void SetUp() override {
        pt::ResetLayer();
        platform::SelectAudioBackend(platform::AudioBackend::Virtual);
        platform::VirtualCardReset();
        test::EnsureCurveBuffers();
        frame::ResetProgram();
        InitPreferencesRecord(Preferences);
        dir_ = test::MakeTempFolder("settings");
        CopyTextSlot(ProgramDirectory, (dir_.string() + "/").c_str());
        for (int d = 0; d < kDeviceTextCount; ++d) {
            CopyTextSlot(g_in_texts[d], "***");
            CopyTextSlot(g_out_texts[d], "***");
        }
        saved_in_ = WaveInDeviceTexts;
        saved_out_ = WaveOutDeviceTexts;
        WaveInDeviceTexts = g_in_texts;
        WaveOutDeviceTexts = g_out_texts;
        RegisterTestClass("SettingsTestFrame", &SettingsTestFrameProc);
        RegisterTestClass("Preferences_Child", &PreferencesChildWndProc);
        RegisterTestClass("PenColour_Child", &PenColourChildWndProc);
        FrameWindow = platform::CreateWindow("SettingsTestFrame", "frame",
                                             platform::WS_OVERLAPPEDWINDOW, 0, 0, 1300, 900, HWND{},
                                             platform::HMENU{}, platform::HINSTANCE{}, nullptr);
        ASSERT_TRUE(FrameWindow);
        platform::ShowWindow(FrameWindow, platform::SW_SHOW);
        platform::RECT client{};
        platform::GetClientRect(MdiClientWindow, &client);
        FrameClientWidth = std::max<int>(client.right, 1100);
        FrameClientHeight = std::max<int>(client.bottom, 760);
        pt::PumpUntilIdle();
        pt::ClearMessageBoxLog();
    }

    void TearDown() override {
        pt::PumpUntilIdle();
        pt::ResetLayer();
        platform::SetAlsaDeviceNames(nullptr, 0);
        platform::SelectAudioBackend(platform::AudioBackend::Virtual);
        platform::VirtualCardReset();
        WaveInDeviceTexts = saved_in_;
        WaveOutDeviceTexts = saved_out_;
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    HWND OpenPreferences() {
        const HWND window = OpenPreferencesChild();
        pt::PumpUntilIdle();
        return window;
    }
    HWND OpenPenColours() {
        const HWND window = OpenPenColourChild();
        pt::PumpUntilIdle();
        return window;
    }

    static int ScrollPos(HWND window, int id) {
        return platform::GetScrollPos(platform::GetDlgItem(window, id), platform::SB_CTL);
    }
    // Presses a check box through its own click, wherever it lies on the test screen.
    static void PressBox(HWND window, int id) {
        platform::SendDlgItemMessage(window, id, platform::BM_CLICK, 0, 0);
        pt::PumpUntilIdle();
    }
    static bool Checked(HWND window, int id) {
        return platform::IsDlgButtonChecked(window, id) == platform::BST_CHECKED;
    }
    static std::string ListText(HWND window, int id, int row) {
        char text[512] = {};
        platform::SendDlgItemMessage(window, id, platform::LB_GETTEXT,
                                     static_cast<platform::WPARAM>(row),
                                     reinterpret_cast<platform::LPARAM>(text));
        return text;
    }

    std::filesystem::path dir_;
    char (*saved_in_)[kDeviceTextSlot] = nullptr;
    char (*saved_out_)[kDeviceTextSlot] = nullptr;
};

// ---- The page and its controls ----

TEST_F(SettingsWindowGui, PreferencesOpensWithItsTitleControlsAndFocusInTheLastEdit) {
    const HWND window = OpenPreferences();
    ASSERT_TRUE(window);
    EXPECT_EQ(PreferencesChildWindow, window);
    char title[64] = {};
    platform::GetWindowText(window, title, sizeof title);
    EXPECT_STREQ(title, "System-Wide Preferences");
    const int ids[] = {10005, 10006, 10007, 10036, 10037, 10023, 10024, 10001, 10002,
                       10003, 10025, 10027, 10029, 10028, 10054, 10055, 10152, 10154,
                       10153, 10155, 10120, 10052, 10051, 10053, 10060, 10070};
    for (int id : ids) EXPECT_TRUE(platform::GetDlgItem(window, id)) << "control " << id;
    for (int e = 0; e < kColourEntryCount; ++e) {
        char text[64] = {};
        platform::GetWindowText(platform::GetDlgItem(window, kColourEntryBoxIds[e]), text,
                                sizeof text);
        EXPECT_STREQ(text, kColourEntryTexts[e]) << "entry " << e + 1;
    }
    EXPECT_EQ(platform::GetFocus(), platform::GetDlgItem(window, kArrowOutput4Edit));
    // Entry 2 is selected at start: its box is checked, the bars show its colour.
    EXPECT_TRUE(Checked(window, 10009));
    EXPECT_EQ(ScrollPos(window, kRedBarId), CurveColourScheme[1].Red);
    EXPECT_EQ(ScrollPos(window, kBlueBarId), CurveColourScheme[1].Blue);
    platform::DestroyWindow(window);
    pt::PumpUntilIdle();
    EXPECT_FALSE(PreferencesChildWindow);
}

TEST_F(SettingsWindowGui, EveryCheckBoxWritesItsSettingAtOnce) {
    const HWND window = OpenPreferences();
    struct Case {
        int id;
        std::int32_t* variable;
        std::int32_t expected;
    };
    const Case cases[] = {{10002, &InputLayout, 1},  {10003, &InputLayout, 2},
                          {10001, &InputLayout, 0},  {10027, &OutputLayout, 1},
                          {10029, &OutputLayout, 2}, {10025, &OutputLayout, 0}};
    for (const Case& c : cases) {
        pt::Click(window, c.id);
        EXPECT_EQ(*c.variable, c.expected) << "box " << c.id;
        EXPECT_TRUE(Checked(window, c.id)) << "box " << c.id;
    }
    // Each group keeps exactly one box checked.
    EXPECT_TRUE(Checked(window, 10001));
    EXPECT_FALSE(Checked(window, 10002));
    EXPECT_FALSE(Checked(window, 10003));
    EXPECT_TRUE(Checked(window, 10025));
    EXPECT_FALSE(Checked(window, 10027));
    EXPECT_FALSE(Checked(window, 10029));

    pt::Click(window, kInvertMlsDataBox);
    EXPECT_EQ(MlsDataSign, -1);
    EXPECT_TRUE(Checked(window, kInvertMlsDataBox));
    pt::Click(window, kInvertMlsDataBox);
    EXPECT_EQ(MlsDataSign, 1);
    EXPECT_FALSE(Checked(window, kInvertMlsDataBox));
    pt::Click(window, kInvertMlsRefBox);
    EXPECT_EQ(MlsRefSign, -1);
    EXPECT_TRUE(Checked(window, kInvertMlsRefBox));
}

TEST_F(SettingsWindowGui, ASignOtherThanPlusOrMinusOneFirstBecomesOne) {
    MlsRefSign = 7;
    const HWND window = OpenPreferences();
    EXPECT_FALSE(Checked(window, kInvertMlsRefBox));
    pt::Click(window, kInvertMlsRefBox);
    EXPECT_EQ(MlsRefSign, 1);
    EXPECT_FALSE(Checked(window, kInvertMlsRefBox));
}

TEST_F(SettingsWindowGui, EveryListWritesItsRowAtOnce) {
    const HWND window = OpenPreferences();
    struct Case {
        int id;
        int row;
        std::int32_t* field;
    };
    const Case cases[] = {
        {kSampleRateList, 6, &Project.Settings.SampleRateIndex},
        {kSampleRateList, 0, &Project.Settings.SampleRateIndex},
        {kBufferSizeList, 2, &Preferences->BufferSizeIndex},
        {kBuffersOutList, 5, &Preferences->BuffersOutQueueIndex},
        {kBuffersInList, 3, &Preferences->BuffersInQueueIndex},
        {kWaveInDeviceList, 1, &PlayerDeviceWords[0]},
        {kWaveOutDeviceList, 63, &PlayerDeviceWords[8]},  // a row beyond the devices present
    };
    for (const Case& c : cases) {
        pt::Select(window, c.id, c.row);
        EXPECT_EQ(*c.field, c.row) << "list " << c.id;
    }
}

TEST_F(SettingsWindowGui, EveryEditWritesItsTextCutToItsLength) {
    const HWND window = OpenPreferences();
    struct Case {
        int id;
        const char* typed;
        const char* expected;
        char* field;
    };
    auto& hotkeys = Project.Settings.HotkeyOutputTexts;
    const Case cases[] = {
        {kMlsDelayEdit, "1234567890123", "123456789", MlsOutputDelayText},
        {kInsertOutput1Edit, "7", "7", hotkeys[10]},
        {kInsertOutput2Edit, "123456789", "1234567", hotkeys[11]},
        {kArrowOutput1Edit, "11", "11", hotkeys[0]},
        {kArrowOutput2Edit, "12", "12", hotkeys[1]},
        {kArrowOutput3Edit, "13", "13", hotkeys[2]},
        {kArrowOutput4Edit, "", "", hotkeys[3]},
    };
    for (const Case& c : cases) {
        pt::TypeText(window, c.id, c.typed);
        // An emptied edit: the last character typed away.
        if (c.typed[0] == '\0') {
            pt::TypeText(window, c.id, "5");
            pt::PressKey(platform::GetDlgItem(window, c.id), platform::VK_BACK);
        }
        EXPECT_STREQ(c.field, c.expected) << "edit " << c.id;
    }
    // The texts the other trims use are left alone.
    EXPECT_STREQ(hotkeys[4], "0");
}

// ---- Colour editing ----

struct ScrollCase {
    unsigned code;
    int start;
    int thumb;
    int expected;
};

TEST_F(SettingsWindowGui, AScrollStepMovesTheColourOnceAndStopsAtTheEnds) {
    const HWND window = OpenPreferences();
    PressBox(window, kColourEntryBoxIds[4]);  // entry 5
    const ScrollCase cases[] = {
        {platform::SB_LINERIGHT, 100, 0, 101}, {platform::SB_LINELEFT, 100, 0, 99},
        {platform::SB_PAGERIGHT, 100, 0, 110}, {platform::SB_PAGELEFT, 100, 0, 90},
        {platform::SB_PAGERIGHT, 250, 0, 255}, {platform::SB_PAGELEFT, 4, 0, 0},
        {platform::SB_LINERIGHT, 255, 0, 255}, {platform::SB_LINELEFT, 0, 0, 0},
        {platform::SB_RIGHT, 17, 0, 255},      {platform::SB_LEFT, 200, 0, 0},
        {platform::SB_THUMBTRACK, 3, 77, 77},
    };
    for (const int bar : {kRedBarId, kGreenBarId, kBlueBarId}) {
        for (const ScrollCase& c : cases) {
            ColourEntry& entry = CurveColourScheme[4];
            std::int32_t& value = bar == kRedBarId     ? entry.Red
                                  : bar == kGreenBarId ? entry.Green
                                                       : entry.Blue;
            value = c.start;
            PressBox(window, kColourEntryBoxIds[4]);  // loads the entry into the page
            ASSERT_EQ(ScrollPos(window, bar), c.start);
            pt::Scroll(window, bar, c.code, c.thumb);
            EXPECT_EQ(value, c.expected)
                << "bar " << bar << " code " << c.code << " from " << c.start;
            EXPECT_EQ(ScrollPos(window, bar), c.expected);
            const ColourEntry state = ColourEditState;
            EXPECT_EQ(bar == kRedBarId     ? state.Red
                      : bar == kGreenBarId ? state.Green
                                           : state.Blue,
                      c.expected);
        }
    }
}

TEST_F(SettingsWindowGui, TheEditedEntrysSwatchIsRedrawnAtOnce) {
    const HWND window = OpenPreferences();
    PressBox(window, kColourEntryBoxIds[4]);  // entry 5, swatch (220, 384) to (320, 394)
    pt::Scroll(window, kRedBarId, platform::SB_THUMBTRACK, 7);
    pt::Scroll(window, kGreenBarId, platform::SB_THUMBTRACK, 140);
    pt::Scroll(window, kBlueBarId, platform::SB_THUMBTRACK, 251);
    const platform::HDC dc = platform::GetDC(window);
    EXPECT_EQ(platform::GetPixel(dc, 270, 389), platform::RGB(7, 140, 251));
    // Its outline is black, the neighbouring entry keeps its own colour.
    EXPECT_EQ(platform::GetPixel(dc, 220, 389), platform::RGB(0, 0, 0));
    const ColourEntry& next = CurveColourScheme[5];
    EXPECT_EQ(platform::GetPixel(dc, 270, 409), platform::RGB(next.Red, next.Green, next.Blue));
    platform::ReleaseDC(window, dc);
}

TEST_F(SettingsWindowGui, TheWindowKeepsItsPlacementInSlotThree) {
    const HWND window = OpenPreferences();
    platform::MoveWindow(window, 30, 40, 900, 600, platform::TRUE);
    pt::PumpUntilIdle();
    const WindowPlacement& slot = WindowPlacements[kSlotPreferencesChild];
    EXPECT_EQ(slot.X, 30);
    EXPECT_EQ(slot.Y, 40);
    EXPECT_EQ(slot.Width, 900);
    EXPECT_EQ(slot.Height, 600);
    const HWND pens = OpenPenColours();
    platform::MoveWindow(pens, 50, 60, 700, 500, platform::TRUE);
    pt::PumpUntilIdle();
    const WindowPlacement& pen_slot = WindowPlacements[kSlotPenColourChild];
    EXPECT_EQ(pen_slot.X, 50);
    EXPECT_EQ(pen_slot.Y, 60);
    EXPECT_EQ(pen_slot.Width, 700);
    EXPECT_EQ(pen_slot.Height, 500);
}

TEST_F(SettingsWindowGui, EntryBoxesSelectOneEntryAndTheListsSetItsPen) {
    const HWND window = OpenPreferences();
    for (int e = 0; e < kColourEntryCount; ++e) {
        PressBox(window, kColourEntryBoxIds[e]);
        for (int i = 0; i < kColourEntryCount; ++i) {
            EXPECT_EQ(CurveItemSelectFlags[i], i == e ? 1 : 0) << "clicked " << e + 1;
            EXPECT_EQ(Checked(window, kColourEntryBoxIds[i]), i == e) << "clicked " << e + 1;
        }
        EXPECT_EQ(std::memcmp(&ColourEditState, &CurveColourScheme[e], sizeof ColourEntry{}), 0);
    }
    // Clicking the selected entry again keeps it selected.
    PressBox(window, kColourEntryBoxIds[18]);
    EXPECT_EQ(CurveItemSelectFlags[18], 1);
    EXPECT_TRUE(Checked(window, kColourEntryBoxIds[18]));

    PressBox(window, kColourEntryBoxIds[6]);
    const ColourEntry others = CurveColourScheme[7];
    for (int row = 0; row < kThicknessRows; ++row) {
        pt::Select(window, kThicknessListId, row);
        EXPECT_EQ(CurveColourScheme[6].Thickness, row + 1);
        EXPECT_EQ(ColourEditState.Thickness, row + 1);
    }
    for (int row = 0; row < kTypeRows; ++row) {
        pt::Select(window, kTypeListId, row);
        EXPECT_EQ(CurveColourScheme[6].Type, row + 1);
    }
    EXPECT_EQ(std::memcmp(&others, &CurveColourScheme[7], sizeof others), 0);
}

TEST_F(SettingsWindowGui, WithNoEntrySelectedNothingReachesTheScheme) {
    // After a restart whose last selection was entry 17, no stored flag is set.
    std::fill(std::begin(CurveItemSelectFlags), std::end(CurveItemSelectFlags), 0);
    ColourEditState = ColourEntry{10, 20, 30, 2, 3};
    const HWND window = OpenPreferences();
    std::vector<ColourEntry> before(CurveColourScheme, CurveColourScheme + kColourEntryCount);
    EXPECT_EQ(ScrollPos(window, kGreenBarId), 20);
    pt::Scroll(window, kGreenBarId, platform::SB_PAGERIGHT);
    EXPECT_EQ(ColourEditState.Green, 30);
    pt::Select(window, kThicknessListId, 0);
    EXPECT_EQ(ColourEditState.Thickness, 1);
    EXPECT_EQ(std::memcmp(before.data(), CurveColourScheme, sizeof(ColourEntry) * before.size()),
              0);
    PressBox(window, kColourEntryBoxIds[16]);
    EXPECT_EQ(ColourEditState.Green, CurveColourScheme[16].Green);
}

TEST_F(SettingsWindowGui, OtherControlsDoNotMoveTheColour) {
    const HWND window = OpenPreferences();
    const ColourEntry before = CurveColourScheme[1];
    pt::Click(window, 10002);
    pt::Select(window, kBufferSizeList, 1);
    pt::TypeText(window, kMlsDelayEdit, "12");
    EXPECT_EQ(std::memcmp(&before, &CurveColourScheme[1], sizeof before), 0);
}

// Opened at a rectangle too short for the page (the first start's 900 x 500), the window grows
// so that the last entry row shows whole; a taller rectangle is kept as it is.
TEST_F(SettingsWindowGui, PenColoursOpensTallEnoughForItsLastRow) {
    const int heights[] = {500, 300, 800};
    for (int height : heights) {
        WindowPlacements[kSlotPenColourChild] = WindowPlacement{0, 0, 900, height};
        const HWND window = OpenPenColours();
        ASSERT_TRUE(window);
        platform::RECT client{};
        platform::GetClientRect(window, &client);
        const HWND last = platform::GetDlgItem(window, kColourEntryBoxIds[kColourEntryCount - 1]);
        ASSERT_TRUE(last);
        platform::RECT box{};
        platform::GetWindowRect(last, &box);
        platform::POINT bottom{box.left, box.bottom};
        platform::ScreenToClient(window, &bottom);
        EXPECT_LE(bottom.y, client.bottom) << "opened " << height << " high";
        platform::RECT outer{};
        platform::GetWindowRect(window, &outer);
        if (height == 800) {
            EXPECT_EQ(outer.bottom - outer.top, 800) << "a tall window is kept";
        }
        EXPECT_EQ(outer.right - outer.left, 900);
        platform::DestroyWindow(window);
        pt::PumpUntilIdle();
    }
}

TEST_F(SettingsWindowGui, PenColoursEditsEntriesTwoToNineteen) {
    const HWND window = OpenPenColours();
    ASSERT_TRUE(window);
    char title[64] = {};
    platform::GetWindowText(window, title, sizeof title);
    EXPECT_STREQ(title, "Pen Colours");
    EXPECT_FALSE(platform::GetDlgItem(window, kColourEntryBoxIds[0]));
    for (int e = 1; e < kColourEntryCount; ++e) {
        EXPECT_TRUE(platform::GetDlgItem(window, kColourEntryBoxIds[e])) << "entry " << e + 1;
    }
    PressBox(window, kColourEntryBoxIds[11]);  // entry 12
    EXPECT_EQ(SelectedColourEntry(), 12);
    CurveColourScheme[11].Blue = 40;
    PressBox(window, kColourEntryBoxIds[11]);
    pt::Scroll(window, kBlueBarId, platform::SB_PAGELEFT);
    EXPECT_EQ(CurveColourScheme[11].Blue, 30);
    pt::Scroll(window, kBlueBarId, platform::SB_LINERIGHT);
    EXPECT_EQ(CurveColourScheme[11].Blue, 31);
    pt::Select(window, kTypeListId, 1);
    EXPECT_EQ(CurveColourScheme[11].Type, 2);
    platform::DestroyWindow(window);
    pt::PumpUntilIdle();
    EXPECT_FALSE(PenColourChildWindow);
}

TEST_F(SettingsWindowGui, PenColoursLeavesTheBackgroundEntryAlone) {
    std::fill(std::begin(CurveItemSelectFlags), std::end(CurveItemSelectFlags), 0);
    CurveItemSelectFlags[0] = 1;
    const ColourEntry background = CurveColourScheme[0];
    const HWND window = OpenPenColours();
    pt::Scroll(window, kRedBarId, platform::SB_LINELEFT);
    pt::Select(window, kThicknessListId, 3);
    EXPECT_EQ(std::memcmp(&background, &CurveColourScheme[0], sizeof background), 0);
    EXPECT_EQ(CurveItemSelectFlags[0], 1);
}

TEST_F(SettingsWindowGui, BothColourWindowsWorkOnTheirOwnControls) {
    const HWND preferences = OpenPreferences();
    const HWND pens = OpenPenColours();
    ASSERT_TRUE(preferences);
    ASSERT_TRUE(pens);
    PressBox(pens, kColourEntryBoxIds[2]);  // entry 3
    CurveColourScheme[2].Red = 50;
    PressBox(preferences, kColourEntryBoxIds[2]);
    pt::Scroll(preferences, kRedBarId, platform::SB_LINERIGHT);
    EXPECT_EQ(CurveColourScheme[2].Red, 51);
    pt::Scroll(pens, kRedBarId, platform::SB_PAGERIGHT);
    EXPECT_EQ(CurveColourScheme[2].Red, 61);
    EXPECT_EQ(ScrollPos(pens, kRedBarId), 61);
}

// ---- Device lists ----

TEST_F(SettingsWindowGui, DeviceListsShowTheVirtualCardsDevices) {
    platform::VirtualCardFailCall(platform::WaveCall::OutCaps, platform::MMSYSERR_ERROR, 1);
    const HWND window = OpenPreferences();
    // Independent view of the same devices through the wave API.
    platform::WAVEINCAPS in{};
    ASSERT_EQ(platform::waveInGetDevCaps(0, &in, sizeof in), platform::MMSYSERR_NOERROR);
    const std::string expected_in0 =
        std::string(in.szPname) + ", ID: 0, " + std::to_string(in.wChannels);
    EXPECT_EQ(ListText(window, kWaveInDeviceList, 0), expected_in0);
    EXPECT_STREQ(WaveInDeviceTexts[0], expected_in0.c_str());
    EXPECT_EQ(ListText(window, kWaveInDeviceList, 0), "QV Virtual In 1-12, ID: 0, 12");
    EXPECT_EQ(ListText(window, kWaveOutDeviceList, 0), "QV Virtual Out 1-16, ID: 0, 16");
    EXPECT_EQ(ListText(window, kWaveOutDeviceList, 1), "Failed on waveOutGetDevCaps, device id 1");
    const int in_count = static_cast<int>(platform::waveInGetNumDevs());
    EXPECT_EQ(ListText(window, kWaveInDeviceList, in_count), "***");
    EXPECT_EQ(ListText(window, kWaveInDeviceList, 63), "***");
    EXPECT_EQ(platform::SendDlgItemMessage(window, kWaveInDeviceList, platform::LB_GETCOUNT, 0, 0),
              kDeviceTextCount);
}

TEST_F(SettingsWindowGui, AlsaDeviceListsStopAtSixtyFourWithBoundedTexts) {
    std::vector<const char*> names(70, "null");
    platform::SetAlsaDeviceNames(names.data(), static_cast<int>(names.size()));
    ASSERT_TRUE(platform::SelectAudioBackend(platform::AudioBackend::Alsa));
    const int reported = static_cast<int>(platform::waveOutGetNumDevs());
    if (reported == 0) GTEST_SKIP() << "the ALSA null device cannot be opened here";
    const HWND window = OpenPreferences();
    const DeviceListCounts counts = RefreshDeviceLists(window);
    EXPECT_EQ(counts.outputs, reported);
    const int listed = std::min(reported, kDeviceTextCount);
    EXPECT_EQ(listed, kDeviceTextCount) << "70 devices named, at most 64 listed";
    for (int d = 0; d < kDeviceTextCount; ++d) {
        EXPECT_LT(std::strlen(WaveOutDeviceTexts[d]), static_cast<std::size_t>(kDeviceTextSlot));
        if (d < listed) {
            platform::WAVEOUTCAPS caps{};
            ASSERT_EQ(
                platform::waveOutGetDevCaps(static_cast<platform::UINT>(d), &caps, sizeof caps),
                platform::MMSYSERR_NOERROR);
            const std::string expected = std::string(caps.szPname) + ", ID: " + std::to_string(d) +
                                         ", " + std::to_string(caps.wChannels);
            EXPECT_EQ(ListText(window, kWaveOutDeviceList, d), expected) << "row " << d;
        }
    }
    EXPECT_EQ(platform::SendDlgItemMessage(window, kWaveOutDeviceList, platform::LB_GETCOUNT, 0, 0),
              kDeviceTextCount);
}

// The labels above the device lists read as the program has always written them.
TEST(PreferencesLabels, DeviceCountLabelsReadAsWritten) {
    char text[64];
    std::snprintf(text, sizeof text, kPreferredInputLabel, 3);
    EXPECT_STREQ(text, "Preferred Input [out ot 3]");
    std::snprintf(text, sizeof text, kPreferredOutputLabel, 12);
    EXPECT_STREQ(text, "Preferred Output [out of 12]");
}

TEST_F(SettingsWindowGui, ADeviceIdWithoutARowLeavesTheListUnselected) {
    PlayerDeviceWords[0] = 70;
    Preferences->BuffersOutQueueIndex = 7;
    const HWND window = OpenPreferences();
    EXPECT_EQ(platform::SendDlgItemMessage(window, kWaveInDeviceList, platform::LB_GETCURSEL, 0, 0),
              platform::LB_ERR);
    EXPECT_EQ(platform::SendDlgItemMessage(window, kBuffersOutList, platform::LB_GETCURSEL, 0, 0),
              platform::LB_ERR);
    EXPECT_EQ(PlayerDeviceWords[0], 70);
    EXPECT_EQ(Preferences->BuffersOutQueueIndex, 7);
}

// ---- Clipboard ----

TEST_F(SettingsWindowGui, RightClickCopiesTheFrameToTheClipboard) {
    const HWND window = OpenPreferences();
    pt::MouseClick(window, 600, 600, pt::Button::Right);
    const platform::HBITMAP copied = platform::GetClipboardBitmap();
    EXPECT_TRUE(copied);
    if (copied) platform::DeleteObject(copied);
    ASSERT_FALSE(pt::MessageBoxLog().empty());
    EXPECT_EQ(pt::MessageBoxLog().back().text, "Screen Copied");
}

// ---- Persistence ----

TEST_F(SettingsWindowGui, SettingsSurviveARestartThroughThePreferencesAndProjectFiles) {
    const HWND window = OpenPreferences();
    pt::Click(window, 10003);
    pt::Click(window, 10027);
    pt::Click(window, kInvertMlsDataBox);
    pt::TypeText(window, kMlsDelayEdit, "480");
    pt::Select(window, kBufferSizeList, 2);
    pt::Select(window, kBuffersOutList, 4);
    pt::Select(window, kBuffersInList, 1);
    pt::Select(window, kWaveInDeviceList, 1);
    pt::Select(window, kWaveOutDeviceList, 1);
    PressBox(window, kColourEntryBoxIds[9]);  // entry 10
    pt::Scroll(window, kRedBarId, platform::SB_LEFT);
    pt::Scroll(window, kGreenBarId, platform::SB_THUMBTRACK, 123);
    pt::Select(window, kThicknessListId, 3);
    pt::Select(window, kTypeListId, 2);
    pt::Select(window, kSampleRateList, 6);
    pt::TypeText(window, kInsertOutput2Edit, "15");
    pt::TypeText(window, kArrowOutput3Edit, "9");
    const ColourEntry edited = CurveColourScheme[9];
    ASSERT_EQ(WritePreferencesFile(FrameWindow), 1);
    const std::string project = (dir_ / "settings.hif").string();
    ASSERT_EQ(WriteProjectFile(FrameWindow, project.c_str()), 1);
    platform::DestroyWindow(window);
    pt::PumpUntilIdle();

    // Restart: defaults, then the files.
    const HWND frame = FrameWindow;
    const HWND mdi_client = MdiClientWindow;
    ResetGlobals();
    FrameWindow = frame;
    MdiClientWindow = mdi_client;
    CopyTextSlot(ProgramDirectory, (dir_.string() + "/").c_str());
    InitPreferencesRecord(Preferences);
    ASSERT_EQ(InputLayout, 0);
    ASSERT_EQ(ReadPreferencesFile(FrameWindow), 1);
    ASSERT_EQ(LoadProjectFile(project.c_str()), ProjectLoadStatus::kLoaded);
    EXPECT_EQ(InputLayout, 2);
    EXPECT_EQ(OutputLayout, 1);
    EXPECT_EQ(MlsDataSign, -1);
    EXPECT_STREQ(MlsOutputDelayText, "480");
    EXPECT_EQ(Preferences->BufferSizeIndex, 2);
    EXPECT_EQ(Preferences->BuffersOutQueueIndex, 4);
    EXPECT_EQ(Preferences->BuffersInQueueIndex, 1);
    EXPECT_EQ(PlayerDeviceWords[0], 1);
    EXPECT_EQ(PlayerDeviceWords[8], 1);
    EXPECT_EQ(SelectedColourEntry(), 10);
    EXPECT_EQ(CurveColourScheme[9].Red, 0);
    EXPECT_EQ(CurveColourScheme[9].Green, 123);
    EXPECT_EQ(CurveColourScheme[9].Thickness, 4);
    EXPECT_EQ(CurveColourScheme[9].Type, 3);
    EXPECT_EQ(std::memcmp(&edited, &CurveColourScheme[9], sizeof edited), 0);
    EXPECT_EQ(Project.Settings.SampleRateIndex, 6);
    EXPECT_STREQ(Project.Settings.HotkeyOutputTexts[11], "15");
    EXPECT_STREQ(Project.Settings.HotkeyOutputTexts[2], "9");

    // The reopened page shows what was restored.
    const HWND again = OpenPreferences();
    EXPECT_TRUE(Checked(again, 10003));
    EXPECT_TRUE(Checked(again, 10027));
    EXPECT_TRUE(Checked(again, kInvertMlsDataBox));
    EXPECT_TRUE(Checked(again, kColourEntryBoxIds[9]));
    EXPECT_EQ(ScrollPos(again, kGreenBarId), 123);
    EXPECT_EQ(platform::SendDlgItemMessage(again, kSampleRateList, platform::LB_GETCURSEL, 0, 0),
              6);
    char text[16] = {};
    platform::GetDlgItemText(again, kInsertOutput2Edit, text, sizeof text);
    EXPECT_STREQ(text, "15");
}

}  // namespace
}  // namespace shell
