// PreferencesRecord: defaults, reading and writing "QV_Preferences.pre", damaged files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <initializer_list>
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
    EXPECT_EQ(MessageBoxLog().size(), 1u) << "the short file is told";
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

// Indices that would select no table entry get their defaults; what the users of a setting test
// for the values they act on is kept as stored (a queue index the player takes, 0..8, or one it
// passes over; a sign of 0; a flag or switch of 2).
TEST_F(PreferencesTest, OutOfRangeIndicesBecomeDefaultsAndTestedValuesAreKept) {
    const BadValueCase cases[] = {
        {"buffer size 3", offsetof(PreferencesRecord, BufferSizeIndex), 3,
         &PreferencesRecord::BufferSizeIndex, 0},
        {"buffer size 2 kept", offsetof(PreferencesRecord, BufferSizeIndex), 2,
         &PreferencesRecord::BufferSizeIndex, 2},
        {"out queue 7 kept", offsetof(PreferencesRecord, BuffersOutQueueIndex), 7,
         &PreferencesRecord::BuffersOutQueueIndex, 7},
        {"out queue 5 kept", offsetof(PreferencesRecord, BuffersOutQueueIndex), 5,
         &PreferencesRecord::BuffersOutQueueIndex, 5},
        {"in queue -1 kept", offsetof(PreferencesRecord, BuffersInQueueIndex), -1,
         &PreferencesRecord::BuffersInQueueIndex, -1},
        {"no start windows 2 kept", offsetof(PreferencesRecord, NoStartWindows), 2,
         &PreferencesRecord::NoStartWindows, 2},
        {"auto-load 2 kept", offsetof(PreferencesRecord, AutoLoadProject), 2,
         &PreferencesRecord::AutoLoadProject, 2},
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
        {"data sign 0 kept", 596, 0, &MlsDataSign, 0},
        {"reference sign 5 kept", 600, 5, &MlsRefSign, 5},
        {"plot family flag 2 kept", 6424 + 4, 2, &PlotFamilyFlags[1], 2},
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

// The layout of the file, field by field, at the offsets the file has always had: a file from
// another installation lands each value in its own variable. Fields with room for it all hold
// distinct values at once; fields of a few values (flags, indices) are marked one at a time while
// the others keep a different value.
TEST_F(PreferencesTest, EveryFieldOfTheFileLandsInItsOwnVariable) {
    auto base = std::make_unique<PreferencesRecord>();
    InitPreferencesRecord(base.get());
    std::vector<std::uint8_t> bytes(sizeof(PreferencesRecord));
    const auto put = [&bytes](std::size_t offset, std::int32_t value) {
        std::memcpy(bytes.data() + offset, &value, 4);
    };
    const auto put_float = [&bytes](std::size_t offset, float value) {
        std::memcpy(bytes.data() + offset, &value, 4);
    };
    const auto read = [&] {
        test::WriteBytes(PrefsPath(), bytes.data(), bytes.size());
        ClearMessageBoxLog();
        ASSERT_EQ(ReadPreferencesFile(platform::HWND{}), 1);
        EXPECT_TRUE(MessageBoxLog().empty()) << MessageBoxLog()[0].text;
    };

    // All at once: distinct values wherever a field has room for them.
    std::memcpy(bytes.data(), base.get(), bytes.size());
    put(0, 5);  // plot start index
    put(4, 2);  // plot stop index
    for (int i = 0; i < 4; ++i) {
        put(6424 + 4 * i, 1000 + i);  // plot-family flags 0-3
        put(6408 + 4 * i, 1004 + i);  // 4-7
        put(6392 + 4 * i, 1008 + i);  // 8-11
        put(6376 + 4 * i, 100 + i);   // device words 0-3
        put(6360 + 4 * i, 104 + i);   // 4-7
        put(6344 + 4 * i, 108 + i);   // 8-11
        put(6328 + 4 * i, 112 + i);   // 12-15
    }
    for (int e = 0; e < kColourEntryCount; ++e) {
        put(76 + 20 * e, e);
        put(76 + 20 * e + 4, 20 + e);
        put(76 + 20 * e + 8, 40 + e);
    }
    put(596, 7);  // MLS data sign
    put(600, 8);  // MLS reference sign
    put(604, 2);  // output layout
    put(608, 1);  // input layout
    const char* const texts[5] = {"t620", "t631", "t642", "t653", "t664"};
    for (int t = 0; t < 5; ++t) std::memcpy(bytes.data() + 620 + 11 * t, texts[t], 5);
    for (int k = 0; k < kWindowPlacementCount; ++k) {
        put(4872 + 16 * k, k);
        put(4872 + 16 * k + 4, 100 + k);
        put(4872 + 16 * k + 8, 200 + k);
        put(4872 + 16 * k + 12, 300 + k);
    }
    for (int k = 0; k < kGridPoints; ++k) {
        put_float(6472 + 8 * k, 0.1f * static_cast<float>(k));
        put_float(6472 + 8 * k + 4, -0.25f * static_cast<float>(k));
        put_float(22472 + 8 * k, -150.0f + 0.125f * static_cast<float>(k));
        put_float(22472 + 8 * k + 4, 2000.0f + static_cast<float>(k));
    }
    put(42612, 42);  // MLS output level
    put(42824, 9);   // MLS delay read
    read();
    EXPECT_EQ(PlotStartFrequencyIndex, 5);
    EXPECT_EQ(PlotStopFrequencyIndex, 2);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(PlotFamilyFlags[i], 1000 + i) << "family flag " << i;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(PlayerDeviceWords[i], 100 + i) << "device word " << i;
    for (int e = 0; e < kColourEntryCount; ++e) {
        EXPECT_EQ(CurveColourScheme[e].Red, e) << "entry " << e + 1;
        EXPECT_EQ(CurveColourScheme[e].Green, 20 + e) << "entry " << e + 1;
        EXPECT_EQ(CurveColourScheme[e].Blue, 40 + e) << "entry " << e + 1;
    }
    EXPECT_EQ(MlsDataSign, 7);
    EXPECT_EQ(MlsRefSign, 8);
    EXPECT_EQ(OutputLayout, 2);
    EXPECT_EQ(InputLayout, 1);
    EXPECT_STREQ(ReservedTexts026C[0], "t620");
    EXPECT_STREQ(ReservedTexts026C[1], "t631");
    EXPECT_STREQ(MlsOutputDelayText, "t642");
    EXPECT_STREQ(SpeedOfSoundText, "t653");
    EXPECT_STREQ(ReservedText0298, "t664");
    for (int k = 0; k < kWindowPlacementCount; ++k) {
        EXPECT_EQ(WindowPlacements[k].X, k) << "slot " << k;
        EXPECT_EQ(WindowPlacements[k].Y, 100 + k) << "slot " << k;
        EXPECT_EQ(WindowPlacements[k].Width, 200 + k) << "slot " << k;
        EXPECT_EQ(WindowPlacements[k].Height, 300 + k) << "slot " << k;
    }
    for (int k : {0, 1, 999, 1999}) {
        EXPECT_EQ(MikeCalibrationCurve[k].Db, 0.1f * static_cast<float>(k)) << k;
        EXPECT_EQ(MikeCalibrationCurve[k].Degrees, -0.25f * static_cast<float>(k)) << k;
        EXPECT_EQ(PreampCalibrationCurve[k].Db, -150.0f + 0.125f * static_cast<float>(k)) << k;
        EXPECT_EQ(PreampCalibrationCurve[k].Degrees, 2000.0f + static_cast<float>(k)) << k;
    }
    EXPECT_EQ(Mls.MlsOutputLevel, 42);
    EXPECT_EQ(Mls.MlsDelayRead, 9);

    // One at a time: fields of a few values.
    struct Marked {
        std::size_t offset;
        std::int32_t* variable;
        std::int32_t marker;
    };
    std::vector<Marked> marked;
    for (int i = 0; i < kStoredItemSelectCount; ++i) {
        marked.push_back({16u + 4u * i, &CurveItemSelectFlags[i], 1});
    }
    for (int e = 0; e < kColourEntryCount; ++e) {
        marked.push_back({76u + 20u * e + 12u, &CurveColourScheme[e].Thickness, 3});
        marked.push_back({76u + 20u * e + 16u, &CurveColourScheme[e].Type, 2});
    }
    for (const Marked& m : std::initializer_list<Marked>{{42620, &Mls.MlsSampleRateIndex, 3},
                                                         {42796, &Mls.MlsUseSavedBuffer, 1},
                                                         {42800, &Mls.MlsUseMikeCal, 1},
                                                         {42804, &Mls.MlsUsePreampCal, 1},
                                                         {42808, &Mls.MlsLengthIndex, 4},
                                                         {42812, &Mls.MlsSmoothingIndex, 4},
                                                         {42816, &Mls.MlsWindowType, 4},
                                                         {42820, &Mls.MlsBothChannels, 1},
                                                         {42884, &Mls.MlsAmplitudeZoomIndex, 3},
                                                         {42888, &Mls.MlsTimeZoomIndex, 3},
                                                         {42892, &Mls.MlsShowWindow, 1},
                                                         {42896, &Mls.MlsShowPhase, 1}}) {
        marked.push_back(m);
    }
    for (const Marked& m : marked) {
        std::memcpy(bytes.data(), base.get(), bytes.size());
        for (const Marked& other : marked) {
            put(other.offset, other.marker == 1 ? 0 : 1);  // never the marker
        }
        put(m.offset, m.marker);
        read();
        for (const Marked& other : marked) {
            EXPECT_EQ(*other.variable, &other == &m ? m.marker : (other.marker == 1 ? 0 : 1))
                << "offset " << other.offset << " with offset " << m.offset << " marked";
        }
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
        {{-5, -7, 100, 100}, {0, 0, 100, 100}},
        {{10, 10, -1, -30}, {10, 10, 50, 50}},
        {{1201, 901, 10, 10}, {0, 0, 10, 10}},
        {{1200, 900, 5000, 4000}, {1200, 900, 1200, 900}},
        {{30, 40, 500, 600}, {30, 40, 500, 600}},
        {{100, 50, 2400, 800}, {100, 50, 1200, 800}},  // too wide: only the width is cut
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
    // A negative width read from a file stays until the next exit writes the preferences.
    Preferences->WindowRects[3].Width = -10;
    ApplyPreferencesRecord();
    EXPECT_EQ(WindowPlacements[3].Width, -10);
    CollectPreferencesRecord();
    EXPECT_EQ(Preferences->WindowRects[3].Width, 50);
    EXPECT_EQ(Preferences->Reserved0264[0], 0);
}

}  // namespace
}  // namespace shell

namespace shell {
namespace {

// Window rectangles from the file: what no window could show is mended before any window is made
// from them (positions past the client to 0, values that would overflow by the exit rule);
// negative positions and sizes and sizes beyond the client wait for the exit rule.
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
        {"from a larger screen: fitted as it opens", {100, 50, 2400, 1800}, {100, 50, 2400, 1800}},
        {"position past the client", {1300, 950, 300, 200}, {0, 0, 300, 200}},
        {"negative width kept until exit", {10, 20, -5, 300}, {10, 20, -5, 300}},
        {"negative position kept until exit", {-30, -40, 300, 200}, {-30, -40, 300, 200}},
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
    put(offsetof(PreferencesRecord, DeviceWords8to11), -9);        // the output device
    put(offsetof(PreferencesRecord, DeviceWords0to3), 70000);      // the input device
    put(offsetof(PreferencesRecord, PlotFamilyFlags0to3) + 4, 5);  // kept
    put(offsetof(PreferencesRecord, OutputLayout), 7);
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
    EXPECT_EQ(PlotFamilyFlags[1], 5);
    EXPECT_EQ(OutputLayout, 1);
    EXPECT_EQ(Mls.MlsOutputLevel, 10);
    EXPECT_EQ(MikeCalibrationCurve[10].Db, 0.0f);
    EXPECT_EQ(PreampCalibrationCurve[3].Db, 0.0f);
    EXPECT_STREQ(Mls.MlsAddDbText, "0.0");
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    const std::string& text = MessageBoxLog()[0].text;
    for (const char* named : {"sound device (2 values)", "output layout", "microphone calibration",
                              "MLS output level", "preamplifier calibration", "Add dB To SPL"}) {
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
