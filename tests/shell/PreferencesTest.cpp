// PreferencesRecord: defaults, reading and writing "QV_Preferences.pre", damaged files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"
#include "tests/shell/ShellTestSupport.h"

namespace shell {
namespace {

using platform::testing::ClearMessageBoxLog;
using platform::testing::MessageBoxLog;

class PreferencesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::EnsureCurveBuffers();
        ResetGlobals();
        dir_ = test::MakeTempFolder("prefs");
        CopyTextSlot(ProgramDirectory, (dir_.string() + "/").c_str());
        FrameClientWidth = 1200;
        FrameClientHeight = 900;
        InitPreferencesRecord(Preferences);
        ClearMessageBoxLog();
    }
    void TearDown() override {
        FileWriteFaultAfterBytes = -1;
        std::filesystem::remove_all(dir_);
    }
    std::filesystem::path PrefsPath() const { return dir_ / "QV_Preferences.pre"; }

    // A defaults record made the same way start-up makes it, for comparisons.
    static std::unique_ptr<PreferencesRecord> Defaults() {
        auto record = std::make_unique<PreferencesRecord>();
        InitPreferencesRecord(record.get());
        return record;
    }

    std::filesystem::path dir_;
};

TEST_F(PreferencesTest, DefaultsMatchTheTables) {
    const PreferencesRecord& p = *Preferences;
    EXPECT_EQ(p.PlotStartFrequencyIndex, 3);
    EXPECT_EQ(p.PlotStopFrequencyIndex, 6);
    EXPECT_EQ(p.CurveItemSelect[0], 0);
    EXPECT_EQ(p.CurveItemSelect[1], 1);
    const int colours[19][3] = {{142, 185, 210}, {196, 0, 0},     {0, 164, 0},     {0, 0, 196},
                                {196, 0, 196},   {96, 0, 0},      {128, 128, 0},   {0, 196, 255},
                                {228, 128, 0},   {0, 128, 128},   {128, 128, 128}, {128, 228, 0},
                                {76, 154, 255},  {196, 196, 196}, {0, 0, 0},       {0, 164, 0},
                                {164, 0, 0},     {0, 0, 164},     {128, 128, 128}};
    for (int i = 0; i < 19; ++i) {
        EXPECT_EQ(p.CurveColours[i].Red, colours[i][0]) << "entry " << i + 1;
        EXPECT_EQ(p.CurveColours[i].Green, colours[i][1]) << "entry " << i + 1;
        EXPECT_EQ(p.CurveColours[i].Blue, colours[i][2]) << "entry " << i + 1;
        EXPECT_EQ(p.CurveColours[i].Thickness, 1) << "entry " << i + 1;
        EXPECT_EQ(p.CurveColours[i].Type, 1) << "entry " << i + 1;
    }
    EXPECT_EQ(p.ImportColumnFlags[2], 1);
    EXPECT_EQ(p.ImportColumnFlags[3], 0);
    EXPECT_EQ(p.ImportOption, 3);
    EXPECT_EQ(p.OutputLayout, 1);
    EXPECT_STREQ(p.MlsOutputDelayText, "200");
    EXPECT_STREQ(p.SpeedOfSoundText, "344.00");
    EXPECT_STREQ(p.Text0298, "10");
    EXPECT_STREQ(p.LastDriverPath, "**");
    EXPECT_STREQ(p.LastProjectPath, "**");
    EXPECT_EQ(p.BuffersOutQueueIndex, 2);
    EXPECT_EQ(p.BufferSizeIndex, 0);
    EXPECT_EQ(p.BuffersInQueueIndex, 2);
    struct Rect {
        int slot, x, y, w, h;
    };
    for (const Rect r :
         {Rect{0, 0, 0, 900, 500}, Rect{6, 660, 60, 355, 652}, Rect{9, 450, 440, 900, 20},
          Rect{24, 650, 300, 600, 300}, Rect{35, 700, 50, 500, 300}, Rect{70, 400, 350, 300, 250},
          Rect{77, 400, 350, 300, 250}, Rect{78, 0, 0, 0, 0}, Rect{89, 0, 0, 0, 0}}) {
        EXPECT_EQ(p.WindowRects[r.slot].X, r.x) << "slot " << r.slot;
        EXPECT_EQ(p.WindowRects[r.slot].Y, r.y) << "slot " << r.slot;
        EXPECT_EQ(p.WindowRects[r.slot].Width, r.w) << "slot " << r.slot;
        EXPECT_EQ(p.WindowRects[r.slot].Height, r.h) << "slot " << r.slot;
        EXPECT_EQ(WindowPlacements[r.slot].X, r.x) << "live slot " << r.slot;
    }
    EXPECT_STREQ(p.MlsTextsA648[1], "4000.0");
    EXPECT_EQ(p.MlsSampleRateIndex, 5);
    EXPECT_FLOAT_EQ(p.MlsReservedA688, 1.0f);
    EXPECT_STREQ(p.MlsWindowWidthText, "30000");
    EXPECT_STREQ(p.MlsProcessText6, "0.00");
    EXPECT_STREQ(p.MlsProcessTexts9to12[1], "4");
    EXPECT_EQ(p.ProfilePaths[9][0], '\0');
    // Never-set areas are zero, not left over from memory.
    for (std::uint8_t b : p.Reserved192C) ASSERT_EQ(b, 0);
}

TEST_F(PreferencesTest, NoFileKeepsDefaultsAndSaysSo) {
    PlotStartFrequencyIndex = 3;
    EXPECT_EQ(ReadPreferencesFile(platform::HWND{}), 0);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, "Unable To OPEN Preferences File");
    EXPECT_EQ(MessageBoxLog()[0].caption, "QV Message");
    EXPECT_EQ(PlotStartFrequencyIndex, 3);
    EXPECT_EQ(PlotStopFrequencyIndex, 6);
    auto defaults = Defaults();
    EXPECT_EQ(std::memcmp(Preferences, defaults.get(), sizeof(PreferencesRecord)), 0);

    // The first exit creates the file with all 19 colour entries.
    ASSERT_EQ(WritePreferencesFile(platform::HWND{}), 1);
    const auto bytes = test::ReadBytes(PrefsPath());
    ASSERT_EQ(bytes.size(), kPreferencesRecordBytes);
    PreferencesRecord written;
    std::memcpy(&written, bytes.data(), sizeof written);
    for (int i = 0; i < kColourEntryCount; ++i) {
        EXPECT_EQ(written.CurveColours[i].Red, kDefaultColourScheme[i].Red) << i + 1;
        EXPECT_EQ(written.CurveColours[i].Thickness, 1) << i + 1;
    }
}

TEST_F(PreferencesTest, ShortFileOverwritesOnlyItsOwnBytes) {
    const std::int32_t head[2] = {1, 2};
    test::WriteBytes(PrefsPath(), head, sizeof head);
    ASSERT_EQ(ReadPreferencesFile(platform::HWND{}), 1);
    EXPECT_TRUE(MessageBoxLog().empty());
    EXPECT_EQ(PlotStartFrequencyIndex, 1);
    EXPECT_EQ(PlotStopFrequencyIndex, 2);
    auto expected = Defaults();
    expected->PlotStartFrequencyIndex = 1;
    expected->PlotStopFrequencyIndex = 2;
    EXPECT_EQ(std::memcmp(Preferences, expected.get(), sizeof(PreferencesRecord)), 0)
        << "bytes beyond the short file must keep their defaults";
    EXPECT_STREQ(SpeedOfSoundText, "344.00");
}

struct BadValueCase {
    const char* what;
    std::size_t offset;
    std::int32_t stored;
    std::int32_t PreferencesRecord::*field;  // null: check a variable instead
    std::int32_t expected;
};

TEST_F(PreferencesTest, OutOfRangeIndicesBecomeDefaults) {
    const BadValueCase cases[] = {
        {"buffer size 3", offsetof(PreferencesRecord, BufferSizeIndex), 3,
         &PreferencesRecord::BufferSizeIndex, 0},
        {"buffer size 2 kept", offsetof(PreferencesRecord, BufferSizeIndex), 2,
         &PreferencesRecord::BufferSizeIndex, 2},
        {"out queue 6", offsetof(PreferencesRecord, BuffersOutQueueIndex), 6,
         &PreferencesRecord::BuffersOutQueueIndex, 2},
        {"out queue 5 kept", offsetof(PreferencesRecord, BuffersOutQueueIndex), 5,
         &PreferencesRecord::BuffersOutQueueIndex, 5},
        {"in queue -1", offsetof(PreferencesRecord, BuffersInQueueIndex), -1,
         &PreferencesRecord::BuffersInQueueIndex, 2},
        {"import option 9", offsetof(PreferencesRecord, ImportOption), 9,
         &PreferencesRecord::ImportOption, 3},
    };
    for (const auto& c : cases) {
        InitPreferencesRecord(Preferences);
        std::vector<std::uint8_t> bytes(sizeof(PreferencesRecord));
        std::memcpy(bytes.data(), Preferences, bytes.size());
        std::memcpy(bytes.data() + c.offset, &c.stored, 4);
        test::WriteBytes(PrefsPath(), bytes.data(), bytes.size());
        ASSERT_EQ(ReadPreferencesFile(platform::HWND{}), 1) << c.what;
        EXPECT_EQ(Preferences->*c.field, c.expected) << c.what;
    }

    struct VariableCase {
        const char* what;
        std::size_t offset;
        std::int32_t stored;
        const std::int32_t* variable;
        std::int32_t expected;
    };
    const VariableCase variables[] = {
        {"plot start 8", 0, 8, &PlotStartFrequencyIndex, 3},
        {"plot start -1", 0, -1, &PlotStartFrequencyIndex, 3},
        {"plot start 7 kept", 0, 7, &PlotStartFrequencyIndex, 7},
        {"plot stop 99", 4, 99, &PlotStopFrequencyIndex, 6},
        {"plot stop 0 kept", 4, 0, &PlotStopFrequencyIndex, 0},
        {"colour 2 red 256", 76 + 20 + 0, 256, &CurveColourScheme[1].Red, 196},
        {"colour 2 red 255 kept", 76 + 20 + 0, 255, &CurveColourScheme[1].Red, 255},
        {"colour 3 blue -1", 76 + 40 + 8, -1, &CurveColourScheme[2].Blue, 0},
        {"colour 5 thickness 0", 76 + 80 + 12, 0, &CurveColourScheme[4].Thickness, 1},
        {"colour 5 thickness 4 kept", 76 + 80 + 12, 4, &CurveColourScheme[4].Thickness, 4},
        {"colour 19 thickness 5", 76 + 360 + 12, 5, &CurveColourScheme[18].Thickness, 1},
        {"colour 17 type 4", 76 + 320 + 16, 4, &CurveColourScheme[16].Type, 1},
        {"colour 17 type 3 kept", 76 + 320 + 16, 3, &CurveColourScheme[16].Type, 3},
        {"output layout 3", 604, 3, &OutputLayout, 1},
        {"input layout -2", 608, -2, &InputLayout, 0},
        {"data sign 0", 596, 0, &MlsDataSign, 1},
        {"mls rate 8", 42620, 8, &Mls.MlsSampleRateIndex, 5},
        {"mls window type 10", 42816, 10, &Mls.MlsWindowType, 1},
        {"mls time zoom 4", 42888, 4, &Mls.MlsTimeZoomIndex, 0},
    };
    for (const auto& c : variables) {
        ResetGlobals();
        CopyTextSlot(ProgramDirectory, (dir_.string() + "/").c_str());
        std::vector<std::uint8_t> bytes(sizeof(PreferencesRecord));
        std::memcpy(bytes.data(), Preferences, bytes.size());
        std::memcpy(bytes.data() + c.offset, &c.stored, 4);
        test::WriteBytes(PrefsPath(), bytes.data(), bytes.size());
        ASSERT_EQ(ReadPreferencesFile(platform::HWND{}), 1) << c.what;
        EXPECT_EQ(*c.variable, c.expected) << c.what;
    }
}

TEST_F(PreferencesTest, GarbageFileGivesTerminatedTextsAndValidIndices) {
    std::mt19937 rng(12345);
    for (int round = 0; round < 8; ++round) {
        std::vector<std::uint8_t> bytes(kPreferencesRecordBytes + 100);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
        test::WriteBytes(PrefsPath(), bytes.data(), bytes.size());
        ASSERT_EQ(ReadPreferencesFile(platform::HWND{}), 1);
        const PreferencesRecord& p = *Preferences;
        EXPECT_GE(PlotStartFrequencyIndex, 0);
        EXPECT_LE(PlotStartFrequencyIndex, 7);
        EXPECT_GE(PlotStopFrequencyIndex, 0);
        EXPECT_LE(PlotStopFrequencyIndex, 7);
        EXPECT_EQ(p.PlotStartFrequencyIndex, PlotStartFrequencyIndex);
        EXPECT_LE(static_cast<unsigned>(p.BufferSizeIndex), 2u);
        EXPECT_LE(static_cast<unsigned>(p.BuffersOutQueueIndex), 5u);
        EXPECT_LE(static_cast<unsigned>(p.BuffersInQueueIndex), 5u);
        for (const auto& e : CurveColourScheme) {
            EXPECT_LE(static_cast<unsigned>(e.Red), 255u);
            EXPECT_LE(static_cast<unsigned>(e.Green), 255u);
            EXPECT_LE(static_cast<unsigned>(e.Blue), 255u);
            EXPECT_TRUE(e.Thickness >= 1 && e.Thickness <= 4);
            EXPECT_TRUE(e.Type >= 1 && e.Type <= 3);
        }
        EXPECT_LT(std::strlen(p.LastDriverPath), sizeof p.LastDriverPath);
        EXPECT_LT(std::strlen(p.LastProjectPath), sizeof p.LastProjectPath);
        for (const auto& path : p.ProfilePaths) EXPECT_LT(std::strlen(path), sizeof path);
        EXPECT_LT(std::strlen(SpeedOfSoundText), sizeof SpeedOfSoundText);
        EXPECT_LT(std::strlen(Mls.MlsProcessText6), sizeof Mls.MlsProcessText6);
        // The grid builds from whatever was applied.
        BuildFrequencyGrids();
        EXPECT_GT(FrequencyGrid[1999], FrequencyGrid[0]);
    }
}

TEST_F(PreferencesTest, WriteThenReadReturnsTheSameBytes) {
    PlotStartFrequencyIndex = 5;
    PlotStopFrequencyIndex = 7;
    PlotFamilyFlags[0] = 1;
    PlotFamilyFlags[11] = 1;
    PlayerDeviceWords[0] = 3;
    PlayerDeviceWords[8] = 2;
    PlayerDeviceWords[15] = 9;
    CurveColourScheme[18] = ColourEntry{1, 2, 3, 4, 3};
    WindowPlacements[7] = WindowPlacement{10, 20, 300, 400};
    CopyTextSlot(SpeedOfSoundText, "343.5");
    Mls.MlsLengthIndex = 4;
    CopyTextSlot(Mls.MlsPulseDelayText, "1.25");
    CopyTextSlot(Preferences->LastProjectPath, "/home/user/a.hif");
    CopyTextSlot(Preferences->ProfilePaths[3], "/home/user/profile4.hif");
    MikeCalibrationCurve[10] = CalibrationPoint{1.5f, -20.0f};
    ASSERT_EQ(WritePreferencesFile(platform::HWND{}), 1);
    const auto written = test::ReadBytes(PrefsPath());
    ASSERT_EQ(written.size(), kPreferencesRecordBytes);
    EXPECT_EQ(std::memcmp(written.data(), Preferences, written.size()), 0);

    ResetGlobals();
    CopyTextSlot(ProgramDirectory, (dir_.string() + "/").c_str());
    ASSERT_EQ(ReadPreferencesFile(platform::HWND{}), 1);
    EXPECT_EQ(std::memcmp(written.data(), Preferences, written.size()), 0)
        << "read record differs from the written bytes";
    EXPECT_EQ(PlotStartFrequencyIndex, 5);
    EXPECT_EQ(PlotStopFrequencyIndex, 7);
    EXPECT_EQ(PlotFamilyFlags[11], 1);
    EXPECT_EQ(PlayerDeviceWords[8], 2);
    EXPECT_EQ(PlayerDeviceWords[15], 9);
    EXPECT_EQ(CurveColourScheme[18].Thickness, 4);
    EXPECT_EQ(WindowPlacements[7].Height, 400);
    EXPECT_STREQ(SpeedOfSoundText, "343.5");
    EXPECT_EQ(Mls.MlsLengthIndex, 4);
    EXPECT_STREQ(Mls.MlsPulseDelayText, "1.25");
    EXPECT_FLOAT_EQ(MikeCalibrationCurve[10].Degrees, -20.0f);
    EXPECT_STREQ(Preferences->ProfilePaths[3], "/home/user/profile4.hif");
}

TEST_F(PreferencesTest, FailedWriteKeepsTheOldFile) {
    ASSERT_EQ(WritePreferencesFile(platform::HWND{}), 1);
    const auto old_bytes = test::ReadBytes(PrefsPath());
    PlotStartFrequencyIndex = 0;
    FileWriteFaultAfterBytes = 1000;
    ClearMessageBoxLog();
    EXPECT_EQ(WritePreferencesFile(platform::HWND{}), 0);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text.rfind("Unable To SAVE Preferences File\n\n", 0), 0u)
        << "the message, then the reason: " << MessageBoxLog()[0].text;
    EXPECT_EQ(MessageBoxLog()[0].caption, "QV Message");
    EXPECT_EQ(test::ReadBytes(PrefsPath()), old_bytes);
    EXPECT_EQ(test::CountFiles(dir_), 1) << "temporary file left behind";
    FileWriteFaultAfterBytes = -1;

    // A preferences file the user made read-only stays as it is, and the message says why.
    std::filesystem::permissions(PrefsPath(), std::filesystem::perms(0444));
    ClearMessageBoxLog();
    EXPECT_EQ(WritePreferencesFile(platform::HWND{}), 0);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("read-only"), std::string::npos);
    EXPECT_EQ(test::ReadBytes(PrefsPath()), old_bytes);
    std::filesystem::permissions(PrefsPath(), std::filesystem::perms(0644));
}

TEST_F(PreferencesTest, CollectClampsWindowPlacements) {
    struct Case {
        WindowPlacement in;
        WindowPlacement out;
    };
    const Case cases[] = {
        {{-5, -7, 100, 100}, {0, 0, 100, 100}},   {{10, 10, -1, -30}, {10, 10, 50, 50}},
        {{1201, 901, 10, 10}, {0, 0, 10, 10}},    {{1200, 900, 5000, 4000}, {1200, 900, 1200, 900}},
        {{30, 40, 500, 600}, {30, 40, 500, 600}},
    };
    for (const auto& c : cases) {
        WindowPlacements[12] = c.in;
        CollectPreferencesRecord();
        const WindowPlacement& stored = Preferences->WindowRects[12];
        EXPECT_EQ(stored.X, c.out.X);
        EXPECT_EQ(stored.Y, c.out.Y);
        EXPECT_EQ(stored.Width, c.out.Width);
        EXPECT_EQ(stored.Height, c.out.Height);
        EXPECT_EQ(WindowPlacements[12].Width, c.out.Width) << "the clamp stays in the variable";
    }
    // A negative width read from a file is fixed as it is applied, before any window is made.
    Preferences->WindowRects[3].Width = -10;
    ApplyPreferencesRecord();
    EXPECT_EQ(WindowPlacements[3].Width, 50);
    CollectPreferencesRecord();
    EXPECT_EQ(Preferences->WindowRects[3].Width, 50);
    EXPECT_EQ(Preferences->Reserved0264[0], 0);
}

}  // namespace
}  // namespace shell

namespace shell {
namespace {

// Window rectangles from the file are clamped into the frame's client before any window is made
// from them; the rectangles that no window could show are never handed to the layer.
TEST_F(PreferencesTest, WindowRectanglesAreClampedWhenRead) {
    struct Case {
        const char* what;
        WindowPlacement stored;
        WindowPlacement applied;
    };
    const Case cases[] = {
        {"huge SPL window height", {0, 0, 900, 2000000000}, {0, 0, 900, 900}},
        {"x + width overflows", {2147483000, 10, 2147483000, 300}, {0, 10, 1200, 300}},
        {"everything INT_MIN", {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN}, {0, 0, 50, 50}},
        {"fits", {30, 40, 500, 600}, {30, 40, 500, 600}},
        {"from a larger screen", {100, 50, 2400, 1800}, {100, 50, 1200, 900}},
    };
    for (const auto& c : cases) {
        InitPreferencesRecord(Preferences);
        Preferences->WindowRects[7] = c.stored;  // the SPL plot window's slot
        test::WriteBytes(PrefsPath(), Preferences, sizeof(PreferencesRecord));
        InitPreferencesRecord(Preferences);
        ClearMessageBoxLog();
        ASSERT_EQ(ReadPreferencesFile(platform::HWND{}), 1) << c.what;
        const WindowPlacement& w = WindowPlacements[7];
        EXPECT_EQ(w.X, c.applied.X) << c.what;
        EXPECT_EQ(w.Y, c.applied.Y) << c.what;
        EXPECT_EQ(w.Width, c.applied.Width) << c.what;
        EXPECT_EQ(w.Height, c.applied.Height) << c.what;
        EXPECT_TRUE(MessageBoxLog().empty()) << c.what << ": windows are moved without a word";
    }
    // Before the frame is measured, the limit is the largest client the program allows.
    FrameClientWidth = 0;
    FrameClientHeight = 0;
    WindowPlacement slot{5, 5, 2000000000, 700};
    EXPECT_TRUE(ClampWindowPlacement(slot, kLargestClientSize, kLargestClientSize));
    EXPECT_EQ(slot.Width, kLargestClientSize);
    EXPECT_EQ(slot.Height, 700);
}

TEST_F(PreferencesTest, ReplacedSettingsAreNamedOnceAfterReading) {
    std::vector<std::uint8_t> bytes(sizeof(PreferencesRecord));
    std::memcpy(bytes.data(), Preferences, bytes.size());
    auto put = [&bytes](std::size_t offset, std::int32_t value) {
        std::memcpy(bytes.data() + offset, &value, 4);
    };
    put(offsetof(PreferencesRecord, DeviceWords8to11), -9);    // the output device
    put(offsetof(PreferencesRecord, DeviceWords0to3), 70000);  // the input device
    put(offsetof(PreferencesRecord, PlotFamilyFlags0to3) + 4, 5);
    put(offsetof(PreferencesRecord, AutoLoadProject), 2);
    put(offsetof(PreferencesRecord, MlsOutputLevel), 100000);  // percent of full scale
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::memcpy(bytes.data() + offsetof(PreferencesRecord, MikeCalibration) + 8 * 10, &nan, 4);
    // A calibration level no driver file carries, and an Add dB that overflows the levels.
    const float loud = 700.0f;
    std::memcpy(bytes.data() + offsetof(PreferencesRecord, PreampCalibration) + 8 * 3, &loud, 4);
    std::memcpy(bytes.data() + offsetof(PreferencesRecord, MlsAddDbText), "65535", 6);
    test::WriteBytes(PrefsPath(), bytes.data(), bytes.size());
    ClearMessageBoxLog();
    ASSERT_EQ(ReadPreferencesFile(platform::HWND{}), 1);
    EXPECT_EQ(PlayerDeviceWords[8], 0);
    EXPECT_EQ(PlayerDeviceWords[0], 0);
    EXPECT_EQ(PlotFamilyFlags[1], 0);
    EXPECT_EQ(Preferences->AutoLoadProject, 0);
    EXPECT_EQ(Mls.MlsOutputLevel, 10);
    EXPECT_EQ(MikeCalibrationCurve[10].Db, 0.0f);
    EXPECT_EQ(PreampCalibrationCurve[3].Db, 0.0f);
    EXPECT_STREQ(Mls.MlsAddDbText, "0.0");
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    const std::string& text = MessageBoxLog()[0].text;
    for (const char* named : {"sound device (2 values)", "plotted curve families", "auto-load",
                              "microphone calibration", "MLS output level",
                              "preamplifier calibration", "Add dB To SPL"}) {
        EXPECT_NE(text.find(named), std::string::npos) << named << " in " << text;
    }
    EXPECT_EQ(MessageBoxLog()[0].caption, "QV Message");

    // A sound file: no word.
    InitPreferencesRecord(Preferences);
    test::WriteBytes(PrefsPath(), Preferences, sizeof(PreferencesRecord));
    ClearMessageBoxLog();
    ASSERT_EQ(ReadPreferencesFile(platform::HWND{}), 1);
    EXPECT_TRUE(MessageBoxLog().empty());
}

}  // namespace
}  // namespace shell

namespace shell {
namespace {

TEST_F(PreferencesTest, APipeInPlaceOfTheFileCannotBeOpened) {
    ASSERT_EQ(::mkfifo(PrefsPath().c_str(), 0600), 0);
    const auto defaults = Defaults();
    ClearMessageBoxLog();
    EXPECT_EQ(ReadPreferencesFile(platform::HWND{}), 0);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, "Unable To OPEN Preferences File");
    EXPECT_EQ(std::memcmp(Preferences, defaults.get(), sizeof(PreferencesRecord)), 0);
}

}  // namespace
}  // namespace shell
