// Start-up allocation and the defaults of DriverRecord, BaffleRecord and the record layouts.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "shell/BaffleRecord.h"
#include "shell/DriverRecord.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"

namespace shell {
namespace {

// The sizes every file and block depends on (the headers assert each field offset as well).
static_assert(sizeof(DriverRecord) == 103344);
static_assert(sizeof(PreferencesRecord) == 63432);
static_assert(sizeof(ProjectImage) == 23672888);
static_assert(sizeof(ProjectSettings) == 5832);
static_assert(offsetof(ProjectImage, Settings) == 23667056);
static_assert(sizeof(ProjectChannelBlock) == 3381008);
static_assert(sizeof(NetworkTables) == 3381008);
static_assert(sizeof(BaffleRecord) == 1840);
static_assert(sizeof(CurveRecord) == 2010 * 4);
static_assert(offsetof(DriverRecord, Text1934C) + 20 == offsetof(DriverRecord, Reserved19360));

// Reads the record as the file bytes it is, by file offset.
class DriverBytes {
  public:
    explicit DriverBytes(const DriverRecord& r) : bytes_(reinterpret_cast<const char*>(&r)) {}
    std::string Text(std::size_t offset) const { return std::string(bytes_ + offset); }
    float Float(std::size_t offset) const {
        float v;
        std::memcpy(&v, bytes_ + offset, 4);
        return v;
    }
    std::int32_t Int(std::size_t offset) const {
        std::int32_t v;
        std::memcpy(&v, bytes_ + offset, 4);
        return v;
    }
    unsigned char Byte(std::size_t offset) const {
        return static_cast<unsigned char>(bytes_[offset]);
    }

  private:
    const char* bytes_;
};

// Start-up fills the records from the variables before anything resets them, so the variables
// must hold their start values from the moment the program runs (no ResetGlobals here). Tests
// run in any order and change the variables, so the values are taken once before any test runs.
struct StartValues {
    std::int32_t plot_start, plot_stop;
    std::string speed_of_sound, mls_output_delay;
    int scheme_red, scheme_thickness;
    std::int32_t item_select;
    int placement_height;
    std::string mls_window_width;
    std::int32_t mls_rate;
    std::string printout_scale, printout_colours;
    std::int32_t output_layout;
};

StartValues g_start_values;

class TakeStartValues : public ::testing::Environment {
  public:
    void SetUp() override {
        g_start_values = {PlotStartFrequencyIndex,
                          PlotStopFrequencyIndex,
                          SpeedOfSoundText,
                          MlsOutputDelayText,
                          CurveColourScheme[0].Red,
                          CurveColourScheme[18].Thickness,
                          CurveItemSelectFlags[1],
                          WindowPlacements[6].Height,
                          Mls.MlsWindowWidthText,
                          Mls.MlsSampleRateIndex,
                          PrintoutSettings.ScaleText,
                          PrintoutSettings.ColourCountText,
                          OutputLayout};
    }
};

[[maybe_unused]] ::testing::Environment* const g_take_start_values =
    ::testing::AddGlobalTestEnvironment(new TakeStartValues);

TEST(RecordDefaultsTest, VariablesHoldStartValuesBeforeAnyReset) {
    const StartValues& v = g_start_values;
    EXPECT_EQ(v.plot_start, 3);
    EXPECT_EQ(v.plot_stop, 6);
    EXPECT_EQ(v.speed_of_sound, "344.00");
    EXPECT_EQ(v.mls_output_delay, "200");
    EXPECT_EQ(v.scheme_red, 142);
    EXPECT_EQ(v.scheme_thickness, 1);
    EXPECT_EQ(v.item_select, 1);
    EXPECT_EQ(v.placement_height, 652);
    EXPECT_EQ(v.mls_window_width, "30000");
    EXPECT_EQ(v.mls_rate, 5);
    EXPECT_EQ(v.printout_scale, "80 %");
    EXPECT_EQ(v.printout_colours, "65536");
    EXPECT_EQ(v.output_layout, 1);
}

TEST(RecordDefaultsTest, DriverRecordDefaultsByFileOffset) {
    ResetGlobals();
    auto record = std::make_unique<DriverRecord>();
    std::memset(record.get(), 0xCD, sizeof(DriverRecord));
    PlotStartFrequencyIndex = 2;
    PlotStopFrequencyIndex = 5;
    ASSERT_EQ(InitDriverRecord(record.get()), 0);
    const DriverBytes b(*record);

    for (int i = 0; i < 10; ++i) EXPECT_EQ(b.Byte(i), '#') << i;
    EXPECT_EQ(b.Byte(10), 0) << "bytes the defaults do not name start at zero";
    struct TextCase {
        std::size_t offset;
        const char* text;
    };
    const TextCase texts[] = {
        {0x400, "0.0"},     {0x437, "60.0"},     {0x44D, "90.0"},     {0x458, "0.0"},
        {0x46E, "25.0"},    {0x4BB, "0.0"},      {0x4C6, "1.00"},     {0x4D1, "0.280"},
        {0x4DC, "1.280"},   {0x4E7, "0.00393"},  {0x4F2, "Alnico 5"}, {0x506, "8.0"},
        {0x511, "1.0"},     {0x548, "0.0"},      {0x553, "Woofer"},   {0x567, " "},
        {0x57B, "12.0"},    {0x586, "2000.0"},   {0x591, "12.0"},     {0x59C, "40.00"},
        {0x5A7, "-3.20"},   {0x5B2, "10000.0"},  {0x5BD, "0.0"},      {0x5C8, "5.10"},
        {0x5D3, "0.0"},     {0x5DE, "0.0"},      {0x10000, "0.00"},   {0x10064, "80.0"},
        {0x1006F, "80.0"},  {0x1007A, "22.5"},   {0x100A6, "55.0"},   {0x100C7, "55.0"},
        {0x100DC, "0.0"},   {0x10140, "80 %"},   {0x10154, "200"},    {0x1015F, "200"},
        {0x1016A, "65536"}, {0x10175, "0.00"},   {0x101DC, "90"},     {0x101E7, "5"},
        {0x101F2, "1.0"},   {0x1026B, "60.00"},  {0x1028C, "10.00"},  {0x10297, "1.0"},
        {0x102AC, "0.00"},  {0x103EC, "1000.0"}, {0x103F7, "100.0"},  {0x10402, "1000.0"},
        {0x10424, "180.0"}, {0x10471, "500.0"},  {0x1047C, "121"},    {0x104A8, "0.0"},
        {0x104B3, "0.0"},   {0x10530, "30000"},  {0x1053B, "0.0"},    {0x10546, "0.0"},
        {0x1834C, ""},      {0x18B4C, ""},       {0x1934C, "0.0"},
    };
    for (const auto& t : texts) EXPECT_EQ(b.Text(t.offset), t.text) << std::hex << t.offset;

    for (int k : {0, 999, 1999}) {
        EXPECT_EQ(b.Float(0x5EC + 4 * k), 90.0f);
        EXPECT_EQ(b.Float(0x252C + 4 * k), 0.0f);
        EXPECT_EQ(b.Float(0x446C + 4 * k), 1.0f);
        EXPECT_EQ(b.Float(0x63AC + 4 * k), 0.0f);
        EXPECT_EQ(b.Float(0x1064C + 8 * k), 0.0f);
        EXPECT_EQ(b.Float(0x144CC + 8 * k + 4), 0.0f);
    }
    EXPECT_EQ(b.Int(0xFFEC), 0);
    EXPECT_EQ(b.Float(0xFFFC), 1.0f);
    EXPECT_EQ(b.Float(0x100D4), 100.0f);
    EXPECT_EQ(b.Int(0x1014C), 80);
    EXPECT_EQ(b.Int(0x10150), 0);
    EXPECT_EQ(b.Int(0x10278), 1);
    EXPECT_EQ(b.Int(0x10284), 0);
    EXPECT_EQ(b.Int(0x102A4), 2) << "plot start index at default time";
    EXPECT_EQ(b.Int(0x102A8), 5);
    EXPECT_EQ(b.Int(0x10410), 10);
    EXPECT_EQ(b.Int(0x10414), 5);
    EXPECT_EQ(b.Int(0x10418), 2);
    EXPECT_EQ(b.Int(0x1041C), 1);
    EXPECT_EQ(b.Float(0x10420), 1.0f);
    EXPECT_EQ(b.Float(0x104C8), 12.0f);
    EXPECT_EQ(b.Float(0x104CC), 12.0f);
    EXPECT_EQ(b.Int(0x104F0), 10);
    EXPECT_EQ(b.Int(0x104F4), 50000);
    EXPECT_EQ(b.Int(0x10524), 2);
    EXPECT_EQ(b.Int(0x1052C), 1);
    const std::int32_t six[6] = {1, 0, 0, 1, 0, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(b.Int(0x10584 + 4 * i), six[i]) << i;
    // The text at 0x1934C is 20 bytes: the words after it are zero and the record ends there.
    for (std::size_t o = 0x1934C + 4; o < 0x19360; ++o) EXPECT_EQ(b.Byte(o), 0) << std::hex << o;
    for (std::size_t o = 0x19360; o < 0x193B0; o += 4) EXPECT_EQ(b.Int(o), 0) << std::hex << o;
}

TEST(RecordDefaultsTest, AllocationFillsAndRelease) {
    ASSERT_EQ(AllocMainBuffers(), 0);
    ASSERT_EQ(AllocCurveBuffers(), 0);
    ASSERT_EQ(AllocDspBuffers(), 0);
    ResetGlobals();

    for (int t = 0; t < kFirSpectrumTableCount; ++t) {
        const float want = (t == 1 || t == 3) ? 1e-7f : 0.0f;
        for (int s : {0, 16}) {
            for (int k : {0, 65535, kFirSpectrumPoints - 1}) {
                EXPECT_EQ(FirSpectrumTables[t][s][k].re, want) << t << "/" << s << "/" << k;
                EXPECT_EQ(FirSpectrumTables[t][s][k].im, 0.0f);
            }
        }
    }
    for (int r = 0; r < kSystemCurveCount; r += 13) {
        EXPECT_EQ(SystemCurveTable[r]->v[0], 0.0f);
        EXPECT_EQ(SystemCurveTable[r]->v[kCurveVisible], 0.0f);
    }
    for (int r = 0; r < kProcessBufferCount; ++r) {
        const bool flat = r % 2 == 0 && r <= 10;
        EXPECT_EQ(ProcessBufferTable[r]->v[1234], flat ? 1.0f : 0.0f) << r;
        EXPECT_EQ(ProcessBufferTable[r]->v[kCurvePenGreen], flat ? 255.0f : 0.0f) << r;
        EXPECT_EQ(ProcessBufferTable[r]->v[kCurveVisible], 0.0f) << r;
    }
    EXPECT_EQ(MlsInResponse[1999].re, 1.0f);
    EXPECT_EQ(PreampCalibrationCurve[5].Db, 0.0f);
    EXPECT_STREQ(WaveInDeviceTexts[0], "***");
    EXPECT_STREQ(WaveOutDeviceTexts[63], "***");
    EXPECT_EQ(FftBitReverseTable[0], 0);
    EXPECT_EQ(FilterSpectra[15][7][32767], 0.0f);
    EXPECT_EQ(InputSpectrumDelayLines[8][7][0], 0.0f);
    EXPECT_EQ(OutputOverlapTails[15][kOverlapTailFloats - 1], 0.0f);
    // Start-up records were defaulted by the reset.
    EXPECT_STREQ(CurrentDriverRecord->Diameter, "25.0");
    EXPECT_STREQ(ScratchDriverRecord->Efficiency, "90.0");
    EXPECT_STREQ(Preferences->SpeedOfSoundText, "344.00");

    EXPECT_EQ(FreeMainBuffers(), 0);
    EXPECT_EQ(FreeCurveBuffers(), 0);
    EXPECT_EQ(FreeDspBuffers(), 0);
    EXPECT_EQ(FirSpectrumTables[3][16], nullptr);
    EXPECT_EQ(Preferences, nullptr);
    EXPECT_EQ(FftTwiddleTable, nullptr);
    EXPECT_EQ(FilterSpectra[0][0], nullptr);
}

TEST(RecordDefaultsTest, BaffleDefaultsAreAClosedSquare) {
    if (Baffle == nullptr) {
        ASSERT_EQ(AllocCurveBuffers(), 0);
    }
    std::memset(Baffle, 0xEE, sizeof(BaffleRecord));
    ASSERT_EQ(InitBaffleRecord(), 0);
    const BaffleRecord& b = *Baffle;
    const int square[5][2] = {{0, 0}, {80, 0}, {80, 80}, {0, 80}, {0, 0}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(b.Nodes[i].x, square[i][0]) << i;
        EXPECT_EQ(b.Nodes[i].y, square[i][1]) << i;
    }
    for (int i = 5; i < kBaffleNodeSlots; ++i) ASSERT_EQ(b.Nodes[i].x, 0) << i;
    EXPECT_EQ(b.NodeCount, 4);
    EXPECT_EQ(b.ClosedFlag, 2);
    EXPECT_EQ(b.InsertAfter, 1);
    EXPECT_EQ(b.EditMode, 8);
    EXPECT_STREQ(b.RasterText, "1.0");
    EXPECT_STREQ(b.BaffleText, "1");
    struct PointCase {
        float x, y, z;
        std::int32_t flag;
    };
    const PointCase points[5] = {
        {40, 40, 0, 1}, {45, 50, 1, 0}, {40, 45, 1, 0}, {35, 40, 1, 0}, {40, 40, 0, 0}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(b.Points[i].x, points[i].x) << i;
        EXPECT_EQ(b.Points[i].y, points[i].y) << i;
        EXPECT_EQ(b.Points[i].z, points[i].z) << i;
        EXPECT_EQ(b.Points[i].flag, points[i].flag) << i;
    }
    EXPECT_EQ(EdgeElementCount, 4);
    EXPECT_EQ(BaffleSideCount, 0);
    EXPECT_EQ(b.Unwritten0[3], 0) << "words the defaults do not name are cleared";
}

TEST(RecordDefaultsTest, BlockFrames) {
    const int cases[][2] = {{0, 1024}, {1, 2048}, {2, 4096}, {3, 1024}, {-1, 1024}};
    for (const auto& c : cases) {
        SetBlockFrames(c[0]);
        EXPECT_EQ(BlockFrames, c[1]) << c[0];
        EXPECT_EQ(BlockFrames2, 2 * c[1]);
        EXPECT_EQ(BlockFrames4, 4 * c[1]);
    }
}

}  // namespace
}  // namespace shell
