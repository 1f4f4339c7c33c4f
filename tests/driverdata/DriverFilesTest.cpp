// Driver files: the native round trip, the refused sizes, random content, the mending of bad
// fields, the two foreign layouts with their resampling, the baffle copy and failed saves.
#include <cmath>
#include <cstring>
#include <memory>
#include <random>

#include "driverdata/BaffleEdges.h"
#include "driverdata/DriverFiles.h"
#include "driverdata/NumberTokens.h"
#include "shell/BaffleRecord.h"
#include "shell/NumberText.h"
#include "tests/driverdata/DriverDataTestSupport.h"

namespace driverdata::test {
namespace {

using shell::DriverRecord;
using shell::kGridPoints;

std::vector<std::uint8_t> RecordBytes(const DriverRecord& record) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
    return std::vector<std::uint8_t>(bytes, bytes + sizeof record);
}

bool SlotTerminated(const char* slot, std::size_t size) {
    return std::memchr(slot, '\0', size) != nullptr;
}

// A record with every curve and the named fields set to values of their own.
void FillDistinct(DriverRecord& r) {
    for (int k = 0; k < kGridPoints; ++k) {
        r.Spl[k] = 60.0f + 0.01f * static_cast<float>(k);
        r.Phase[k] = -170.0f + 0.17f * static_cast<float>(k);
        r.HbtReal[k] = 0.5f + 0.0001f * static_cast<float>(k);
        r.HbtImag[k] = -0.25f + 0.0002f * static_cast<float>(k);
        r.MikeCalibration[k] = {0.001f * static_cast<float>(k), 0.002f * static_cast<float>(k)};
        r.PreampCalibration[k] = {-0.001f * static_cast<float>(k), 1.0f};
    }
    shell::CopyTextSlot(r.Efficiency, "87.5");
    r.Distance = 2.5f;
    r.DriversMode = 1;
}

class DriverFilesTest : public DriverDataTest {};

TEST_F(DriverFilesTest, NativeFileRoundTripsByteForByte) {
    FillDistinct(*shell::CurrentDriverRecord);
    const std::string first = PathOf("a.wfr");
    const std::string second = PathOf("b.wfr");
    ASSERT_EQ(WriteDriverFile(shell::FrameWindow, first.c_str()), 1);
    const std::vector<std::uint8_t> written = ReadBytes(first);
    ASSERT_EQ(written.size(), shell::kDriverRecordBytes);
    EXPECT_EQ(written, RecordBytes(*shell::CurrentDriverRecord));

    shell::InitDriverRecord(shell::CurrentDriverRecord);
    ASSERT_EQ(ReadDriverFile(shell::FrameWindow, first.c_str()), 1);
    EXPECT_EQ(RecordBytes(*shell::CurrentDriverRecord), written);
    ASSERT_EQ(WriteDriverFile(shell::FrameWindow, second.c_str()), 1);
    EXPECT_EQ(ReadBytes(second), written);
    EXPECT_TRUE(platform::testing::MessageBoxLog().empty());
}

TEST_F(DriverFilesTest, SizesOneByteOffAreRefusedAndChangeNothing) {
    FillDistinct(*shell::CurrentDriverRecord);
    const std::vector<std::uint8_t> before = RecordBytes(*shell::CurrentDriverRecord);
    for (std::size_t size :
         {shell::kDriverRecordBytes - 1, shell::kDriverRecordBytes + 1, kDravenicFileBytes - 1,
          kDravenicFileBytes + 1, kSonvexaFileBytes - 1, kSonvexaFileBytes + 1, std::size_t{0}}) {
        SCOPED_TRACE(size);
        platform::testing::ClearMessageBoxLog();
        const std::string path = PathOf("odd.wfr");
        std::vector<std::uint8_t> bytes(size, 0);
        WriteBytes(path, bytes.data(), bytes.size());
        EXPECT_EQ(ReadDriverFile(shell::FrameWindow, path.c_str()), 0);
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{"This Driver File is NOT Recognized"});
        EXPECT_EQ(RecordBytes(*shell::CurrentDriverRecord), before);
    }
}

TEST_F(DriverFilesTest, MissingFileShowsItsPath) {
    const std::string path = PathOf("none.wfr");
    EXPECT_EQ(ReadDriverFile(shell::FrameWindow, path.c_str()), 0);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{path});
}

// Any content of the right size either loads into a sound record or is refused untouched.
TEST_F(DriverFilesTest, RandomContentLoadsSanelyOrIsRefused) {
    std::mt19937 random(1234);
    int loaded = 0;
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        std::vector<std::uint8_t> bytes(shell::kDriverRecordBytes);
        for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
        if (round % 2 == 1) {
            // Finite curves, random everything else: must load and be mended.
            auto* record = reinterpret_cast<DriverRecord*>(bytes.data());
            for (int k = 0; k < kGridPoints; ++k) {
                record->Spl[k] = record->Phase[k] = record->HbtReal[k] = record->HbtImag[k] = 1.0f;
                record->MikeCalibration[k] = record->PreampCalibration[k] = {0.0f, 0.0f};
            }
        }
        const std::string path = PathOf("random.wfr");
        WriteBytes(path, bytes.data(), bytes.size());
        const std::vector<std::uint8_t> before = RecordBytes(*shell::CurrentDriverRecord);
        const int result = ReadDriverFile(shell::FrameWindow, path.c_str());
        const DriverRecord& r = *shell::CurrentDriverRecord;
        if (result == 0) {
            EXPECT_EQ(RecordBytes(r), before);
            continue;
        }
        ++loaded;
        EXPECT_TRUE(SlotTerminated(r.Efficiency, sizeof r.Efficiency));
        EXPECT_TRUE(SlotTerminated(r.Text1834C, sizeof r.Text1834C));
        double value = 0.0;
        EXPECT_TRUE(SlotNumber(r.DiffractionPlotStep, 11, &value));
        EXPECT_TRUE(std::isfinite(r.Distance) && r.Distance > 0.0f);
        EXPECT_TRUE(r.DriversMode >= 0 && r.DriversMode <= 3);
        EXPECT_GE(r.PlotStartFrequencyIndex, 0);
        EXPECT_LE(r.PlotStopFrequencyIndex, 7);
        EXPECT_GE(r.BaffleNodeCount, 0);
        EXPECT_LT(r.BaffleNodeCount, shell::kBaffleNodeSlots);
        EXPECT_GE(shell::EdgeElementCount, 0);
        EXPECT_LE(shell::EdgeElementCount, shell::kEdgePointSlots);
        EXPECT_GE(shell::BaffleSideCount, 0);
        EXPECT_LE(shell::BaffleSideCount, shell::kEdgePointSlots);
    }
    EXPECT_GE(loaded, 6);
}

struct MendCase {
    const char* name;
    void (*spoil)(DriverRecord&);
    bool (*check)(const DriverRecord&);
    const char* named;  // the line the message names the replaced value with; null: no message
};

bool TextIs(const char* slot, const char* text) { return std::strcmp(slot, text) == 0; }

const MendCase kMendCases[] = {
    {"distance nan", [](DriverRecord& r) { r.Distance = std::nanf(""); },
     [](const DriverRecord& r) { return r.Distance == 1.0f; }, "Distance"},
    {"distance 0", [](DriverRecord& r) { r.Distance = 0.0f; },
     [](const DriverRecord& r) { return r.Distance == 1.0f; }, "Distance"},
    {"distance negative", [](DriverRecord& r) { r.Distance = -3.0f; },
     [](const DriverRecord& r) { return r.Distance == 1.0f; }, "Distance"},
    {"efficiency nan", [](DriverRecord& r) { shell::CopyTextSlot(r.Efficiency, "nan"); },
     [](const DriverRecord& r) { return TextIs(r.Efficiency, "90.0"); }, "Efficiency"},
    {"efficiency inf", [](DriverRecord& r) { shell::CopyTextSlot(r.Efficiency, "inf"); },
     [](const DriverRecord& r) { return TextIs(r.Efficiency, "90.0"); }, "Efficiency"},
    {"efficiency text", [](DriverRecord& r) { shell::CopyTextSlot(r.Efficiency, "dB"); },
     [](const DriverRecord& r) { return TextIs(r.Efficiency, "90.0"); }, "Efficiency"},
    {"efficiency beyond single", [](DriverRecord& r) { shell::CopyTextSlot(r.Efficiency, "1E39"); },
     [](const DriverRecord& r) { return TextIs(r.Efficiency, "90.0"); }, "Efficiency"},
    {"pin text", [](DriverRecord& r) { shell::CopyTextSlot(r.InputPower, "W"); },
     [](const DriverRecord& r) { return TextIs(r.InputPower, "1.0"); }, "Input power (Pin)"},
    {"efficiency unterminated",
     [](DriverRecord& r) { std::memset(r.Efficiency, '9', sizeof r.Efficiency); },
     [](const DriverRecord& r) { return TextIs(r.Efficiency, "9999999999"); }, nullptr},
    // Numbers stay as the file has them, zero and negative ones too: the tools that use them
    // say what is wrong ("Input Power Error", "Driver's Dia Data Error", ...).
    {"plot step 0", [](DriverRecord& r) { shell::CopyTextSlot(r.DiffractionPlotStep, "0"); },
     [](const DriverRecord& r) { return TextIs(r.DiffractionPlotStep, "0"); }, nullptr},
    {"diameter negative", [](DriverRecord& r) { shell::CopyTextSlot(r.Diameter, "-2"); },
     [](const DriverRecord& r) { return TextIs(r.Diameter, "-2"); }, nullptr},
    {"pin 0", [](DriverRecord& r) { shell::CopyTextSlot(r.InputPower, "0"); },
     [](const DriverRecord& r) { return TextIs(r.InputPower, "0"); }, nullptr},
    {"high-pass stop 0", [](DriverRecord& r) { shell::CopyTextSlot(r.HighPassStop, "0"); },
     [](const DriverRecord& r) { return TextIs(r.HighPassStop, "0"); }, nullptr},
    {"low-pass start 0", [](DriverRecord& r) { shell::CopyTextSlot(r.LowPassStart, "0"); },
     [](const DriverRecord& r) { return TextIs(r.LowPassStart, "0"); }, nullptr},
    {"width 0", [](DriverRecord& r) { shell::CopyTextSlot(r.EnclosureWidth, "0.0"); },
     [](const DriverRecord& r) { return TextIs(r.EnclosureWidth, "0.0"); }, nullptr},
    {"drivers mode 2", [](DriverRecord& r) { r.DriversMode = 2; },
     [](const DriverRecord& r) { return r.DriversMode == 2; }, nullptr},
    {"drivers mode 3", [](DriverRecord& r) { r.DriversMode = 3; },
     [](const DriverRecord& r) { return r.DriversMode == 3; }, nullptr},
    {"drivers mode 7", [](DriverRecord& r) { r.DriversMode = 7; },
     [](const DriverRecord& r) { return r.DriversMode == 0; }, "Drivers mode"},
    {"plot start index", [](DriverRecord& r) { r.PlotStartFrequencyIndex = 12; },
     [](const DriverRecord& r) {
         return r.PlotStartFrequencyIndex == shell::kDefaultPlotStartIndex;
     },
     "Plot start frequency"},
    {"node count", [](DriverRecord& r) { r.BaffleNodeCount = 1000; },
     [](const DriverRecord& r) { return r.BaffleNodeCount == 4; }, "Baffle node count"},
    {"edge count -1", [](DriverRecord& r) { r.EdgeElementCount = -1; },
     [](const DriverRecord& r) { return r.EdgeElementCount == 4; }, "Edge element count"},
    {"edge count 301", [](DriverRecord& r) { r.EdgeElementCount = 301; },
     [](const DriverRecord& r) { return r.EdgeElementCount == 4; }, "Edge element count"},
    {"edge counts 300", [](DriverRecord& r) { r.EdgeElementCount = r.BaffleSideCount = 300; },
     [](const DriverRecord& r) { return r.EdgeElementCount == 300 && r.BaffleSideCount == 300; },
     nullptr},
    {"closed flag", [](DriverRecord& r) { r.BaffleClosed = std::nanf(""); },
     [](const DriverRecord& r) { return r.BaffleClosed == 0.0f; }, nullptr},
    {"node beyond int", [](DriverRecord& r) { r.BaffleNodes[1][0] = 1e30f; },
     [](const DriverRecord& r) { return r.BaffleNodes[1][0] == 1e6f; }, nullptr},
    {"import kind", [](DriverRecord& r) { r.ImportKind = 4; },
     [](const DriverRecord& r) { return r.ImportKind == 0; }, "Import kind"},
};

TEST_F(DriverFilesTest, BadFieldsAreMendedOnReading) {
    for (const MendCase& c : kMendCases) {
        SCOPED_TRACE(c.name);
        auto record = std::make_unique<DriverRecord>();
        shell::InitDriverRecord(record.get());
        c.spoil(*record);
        const std::string path = PathOf("mend.wfr");
        WriteBytes(path, record.get(), sizeof *record);
        platform::testing::ClearMessageBoxLog();
        ASSERT_EQ(ReadDriverFile(shell::FrameWindow, path.c_str()), 1);
        EXPECT_TRUE(c.check(*shell::CurrentDriverRecord));
        const std::vector<std::string> texts = MessageTexts();
        if (c.named == nullptr) {
            EXPECT_TRUE(texts.empty());
        } else {
            // One message, naming what was replaced.
            ASSERT_EQ(texts.size(), 1u);
            EXPECT_NE(texts[0].find("replaced by their defaults"), std::string::npos);
            EXPECT_NE(texts[0].find(std::string("\n") + c.named), std::string::npos) << texts[0];
        }
    }
}

struct CurveCase {
    const char* name;
    void (*spoil)(DriverRecord&);
};

// Curves no driver has: the reader refuses them, and so the writer never writes them.
const CurveCase kBadCurves[] = {
    {"spl nan", [](DriverRecord& r) { r.Spl[1000] = std::nanf(""); }},
    {"spl 1000 dB", [](DriverRecord& r) { r.Spl[700] = 1000.0f; }},
    {"spl -1e30 dB", [](DriverRecord& r) { r.Spl[0] = -1e30f; }},
    {"phase 1e7", [](DriverRecord& r) { r.Phase[5] = 1e7f; }},
    {"hbt imag inf", [](DriverRecord& r) { r.HbtImag[3] = INFINITY; }},
    {"hbt real 1e13", [](DriverRecord& r) { r.HbtReal[1999] = -1e13f; }},
    {"mike cal 700 dB", [](DriverRecord& r) { r.MikeCalibration[12].Db = 700.0f; }},
    {"mike cal inf dB", [](DriverRecord& r) { r.MikeCalibration[0].Db = INFINITY; }},
    {"preamp cal -inf degrees",
     [](DriverRecord& r) { r.PreampCalibration[1999].Degrees = -INFINITY; }},
};

TEST_F(DriverFilesTest, CurvesOutOfRangeAreRefusedAndNeverSaved) {
    const std::string kept = PathOf("kept.wfr");
    FillDistinct(*shell::CurrentDriverRecord);
    ASSERT_EQ(WriteDriverFile(shell::FrameWindow, kept.c_str()), 1);
    const std::vector<std::uint8_t> saved = ReadBytes(kept);
    for (const CurveCase& c : kBadCurves) {
        SCOPED_TRACE(c.name);
        auto record = std::make_unique<DriverRecord>();
        shell::InitDriverRecord(record.get());
        c.spoil(*record);
        EXPECT_FALSE(shell::DriverCurvesInRange(*record));

        // Reading such a file changes nothing.
        const std::vector<std::uint8_t> before = RecordBytes(*shell::CurrentDriverRecord);
        const std::string path = PathOf("bad.wfr");
        WriteBytes(path, record.get(), sizeof *record);
        platform::testing::ClearMessageBoxLog();
        EXPECT_EQ(ReadDriverFile(shell::FrameWindow, path.c_str()), 0);
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{"This Driver File is NOT Recognized"});
        EXPECT_EQ(RecordBytes(*shell::CurrentDriverRecord), before);

        // Saving such curves (the calibrations come from the live ones) keeps the old file.
        const auto good = std::make_unique<DriverRecord>(*shell::CurrentDriverRecord);
        *shell::CurrentDriverRecord = *record;
        std::memcpy(shell::MikeCalibrationCurve, record->MikeCalibration,
                    sizeof record->MikeCalibration);
        std::memcpy(shell::PreampCalibrationCurve, record->PreampCalibration,
                    sizeof record->PreampCalibration);
        const std::vector<std::uint8_t> spoiled = RecordBytes(*shell::CurrentDriverRecord);
        platform::testing::ClearMessageBoxLog();
        EXPECT_EQ(WriteDriverFile(shell::FrameWindow, kept.c_str()), 0);
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{kDriverNotSaved});
        EXPECT_EQ(ReadBytes(kept), saved);
        EXPECT_EQ(RecordBytes(*shell::CurrentDriverRecord), spoiled);
        *shell::CurrentDriverRecord = *good;
        std::memset(shell::MikeCalibrationCurve, 0, sizeof(shell::CalibrationCurve));
        std::memset(shell::PreampCalibrationCurve, 0, sizeof(shell::CalibrationCurve));
    }

    // The bounds themselves are a driver: saved and read back unchanged.
    DriverRecord& r = *shell::CurrentDriverRecord;
    r.Spl[0] = shell::kDriverLevelHighDb;
    r.Spl[1] = shell::kDriverLevelLowDb;
    r.Phase[2] = -shell::kDriverPhaseLimit;
    r.HbtReal[3] = shell::kDriverFileResponseLimit;
    shell::MikeCalibrationCurve[4] = {shell::kDriverLevelLowDb, 180.0f};
    platform::testing::ClearMessageBoxLog();
    ASSERT_EQ(WriteDriverFile(shell::FrameWindow, kept.c_str()), 1);
    const std::vector<std::uint8_t> written = ReadBytes(kept);
    shell::InitDriverRecord(shell::CurrentDriverRecord);
    ASSERT_EQ(ReadDriverFile(shell::FrameWindow, kept.c_str()), 1);
    EXPECT_EQ(RecordBytes(*shell::CurrentDriverRecord), written);
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(DriverFilesTest, NativeReadKeepsPlotRangeAndLiveCalibration) {
    auto record = std::make_unique<DriverRecord>();
    shell::InitDriverRecord(record.get());
    FillDistinct(*record);
    record->PlotStartFrequencyIndex = 0;
    record->PlotStopFrequencyIndex = 1;
    const std::string path = PathOf("n.wfr");
    WriteBytes(path, record.get(), sizeof *record);
    shell::MikeCalibrationCurve[5] = {3.0f, 4.0f};
    shell::PlotStartFrequencyIndex = 3;
    ASSERT_EQ(ReadDriverFile(shell::FrameWindow, path.c_str()), 1);
    EXPECT_EQ(shell::PlotStartFrequencyIndex, 3);
    EXPECT_EQ(shell::MikeCalibrationCurve[5].Db, 3.0f);
    EXPECT_EQ(shell::CurrentDriverRecord->PlotStartFrequencyIndex, 0);
    EXPECT_EQ(shell::CurrentDriverRecord->MikeCalibration[5].Db, record->MikeCalibration[5].Db);
}

TEST_F(DriverFilesTest, BaffleTravelsThroughTheRecord) {
    shell::Baffle->Nodes[2].x = 17;
    shell::Baffle->Nodes[2].y = -5;
    shell::Baffle->Nodes[7].x = 99;
    shell::Baffle->Points[1].x = 12.75f;
    shell::Baffle->Points[1].y = 0.25f;  // below 1: comes back as 1
    shell::Baffle->Points[0].x = 0.5f;   // driver 1 is not raised
    const std::string path = PathOf("baffle.wfr");
    ASSERT_EQ(WriteDriverFile(shell::FrameWindow, path.c_str()), 1);
    EXPECT_EQ(shell::Baffle->Points[0].flag, 1);
    EXPECT_EQ(shell::Baffle->Points[shell::kBaffleMicrophone].flag, 0);
    shell::InitBaffleRecord();
    shell::Baffle->Nodes[7].x = 55;
    ASSERT_EQ(ReadDriverFile(shell::FrameWindow, path.c_str()), 1);
    EXPECT_EQ(shell::Baffle->Nodes[2].x, 17);
    EXPECT_EQ(shell::Baffle->Nodes[2].y, -5);
    EXPECT_EQ(shell::Baffle->Nodes[7].x, 55);
    EXPECT_EQ(shell::Baffle->Points[1].x, 12.0f);
    EXPECT_EQ(shell::Baffle->Points[1].y, 1.0f);
    EXPECT_EQ(shell::Baffle->Points[0].x, 0.0f);
    EXPECT_EQ(shell::Baffle->EditMode, 8);
    EXPECT_EQ(shell::Baffle->InsertAfter, 1);
    EXPECT_EQ(shell::Baffle->Points[1].flag, 0);
}

TEST_F(DriverFilesTest, EdgeCountersComeBackFromTheFile) {
    // The default 80 x 80 square builds 160 edge elements; a save and a load keep both counters.
    ASSERT_EQ(BuildBaffleEdges(), 0);
    ASSERT_EQ(shell::EdgeElementCount, 160);
    ASSERT_EQ(shell::BaffleSideCount, 160);
    const std::string path = PathOf("edges.wfr");
    ASSERT_EQ(WriteDriverFile(shell::FrameWindow, path.c_str()), 1);
    shell::EdgeElementCount = shell::BaffleSideCount = 0;
    ASSERT_EQ(ReadDriverFile(shell::FrameWindow, path.c_str()), 1);
    EXPECT_EQ(shell::EdgeElementCount, 160);
    EXPECT_EQ(shell::BaffleSideCount, 160);
    EXPECT_TRUE(platform::testing::MessageBoxLog().empty());
}

TEST_F(DriverFilesTest, FailedSaveReportsAndKeepsThePreviousFile) {
    const std::string path = PathOf("keep.wfr");
    WriteText(path, "previous");
    // What a save copies into the record differs from what the record holds.
    shell::PlotStartFrequencyIndex = 0;
    shell::MikeCalibrationCurve[7] = {1.5f, 2.5f};
    shell::Baffle->Nodes[1].x = 33;
    shell::Baffle->Points[shell::kBaffleMicrophone].flag = 1;
    const std::vector<std::uint8_t> before = RecordBytes(*shell::CurrentDriverRecord);
    shell::FileWriteFaultAfterBytes = 1000;
    EXPECT_EQ(WriteDriverFile(shell::FrameWindow, path.c_str()), 0);
    EXPECT_EQ(MessageTexts(),
              std::vector<std::string>{
                  path + "\n\nThe driver has not been saved: the disk refused the data."});
    const std::vector<std::uint8_t> kept = ReadBytes(path);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "previous");
    EXPECT_EQ(RecordBytes(*shell::CurrentDriverRecord), before) << "the record is unchanged";
    EXPECT_EQ(shell::Baffle->Points[shell::kBaffleMicrophone].flag, 1);

    // The same save that succeeds takes everything into the record.
    shell::FileWriteFaultAfterBytes = -1;
    ASSERT_EQ(WriteDriverFile(shell::FrameWindow, path.c_str()), 1);
    EXPECT_EQ(shell::CurrentDriverRecord->PlotStartFrequencyIndex, 0);
    EXPECT_EQ(shell::CurrentDriverRecord->MikeCalibration[7].Db, 1.5f);
    EXPECT_EQ(shell::CurrentDriverRecord->BaffleNodes[1][0], 33.0f);
    EXPECT_EQ(shell::Baffle->Points[shell::kBaffleMicrophone].flag, 0);
}

// ---- Foreign files ----

// f_i of the foreign layouts.
double SourceFrequency(int i, double start, double stop) {
    return start * std::pow(10.0, i * std::log10(stop / start) / kForeignPoints);
}

// The expected bin value: the first source point strictly above the bin's frequency (the last
// point when none is, and for the last three bins), then the three-bin mean.
std::vector<float> ExpectedCurve(const float* source, double start, double stop, bool smooth) {
    std::vector<float> resampled(kGridPoints);
    for (int k = 0; k < kGridPoints; ++k) {
        int pick = kForeignPoints - 1;
        for (int i = 0; i < kForeignPoints; ++i) {
            if (SourceFrequency(i, start, stop) > shell::FrequencyGrid[k]) {
                pick = i;
                break;
            }
        }
        if (k >= kGridPoints - 3) pick = kForeignPoints - 1;
        resampled[k] = source[pick];
    }
    if (!smooth) return resampled;
    std::vector<float> smoothed = resampled;
    for (int k = 0; k < kGridPoints - 2; ++k) {
        smoothed[k] = (resampled[k] + resampled[k + 1] + resampled[k + 2]) / 3.0f;
    }
    return smoothed;
}

struct ForeignCurves {
    float spl[kForeignPoints];
    float phase[kForeignPoints];
    float re[kForeignPoints];
    float im[kForeignPoints];
};

ForeignCurves MakeCurves() {
    ForeignCurves c{};
    for (int i = 0; i < kForeignPoints; ++i) {
        c.spl[i] = 70.0f + 0.03f * static_cast<float>(i);
        c.phase[i] = 100.0f - 0.4f * static_cast<float>(i);
        c.re[i] = 1.0f - 0.001f * static_cast<float>(i);
        c.im[i] = 0.002f * static_cast<float>(i);
    }
    return c;
}

std::vector<std::uint8_t> ForeignImage(std::size_t size, const ForeignCurves& c) {
    std::vector<std::uint8_t> image(size, 0);
    std::memcpy(&image[kForeignSpl], c.spl, sizeof c.spl);
    std::memcpy(&image[kForeignPhase], c.phase, sizeof c.phase);
    std::memcpy(&image[kForeignReal], c.re, sizeof c.re);
    std::memcpy(&image[kForeignImag], c.im, sizeof c.im);
    // An efficiency text longer than its field and without a terminator.
    std::memset(&image[kForeignEfficiency], '8', 30);
    const float distance = 0.75f;
    std::memcpy(&image[kForeignDistance], &distance, 4);
    const std::int32_t one = 1;
    std::memcpy(&image[kForeignDistanceInPhase], &one, 4);
    return image;
}

void ExpectCurve(const float* got, const std::vector<float>& want) {
    for (int k = 0; k < kGridPoints; ++k) {
        ASSERT_NEAR(got[k], want[k], 1e-3f * (1.0f + std::fabs(want[k]))) << "bin " << k;
    }
}

TEST_F(DriverFilesTest, DravenicFileIsResampledAndSmoothed) {
    const ForeignCurves c = MakeCurves();
    const std::vector<std::uint8_t> image = ForeignImage(kDravenicFileBytes, c);
    const std::string path = PathOf("old.wfr");
    WriteBytes(path, image.data(), image.size());
    FillDistinct(*shell::CurrentDriverRecord);
    ASSERT_EQ(ReadDriverFile(shell::FrameWindow, path.c_str()), 1);
    EXPECT_EQ(MessageTexts(),
              std::vector<std::string>{
                  "Attempting To Import SPL Data From Dravenic Equalizer V1.0 File"});
    const DriverRecord& r = *shell::CurrentDriverRecord;
    ExpectCurve(r.Spl, ExpectedCurve(c.spl, 10.0, 50000.0, true));
    ExpectCurve(r.Phase, ExpectedCurve(c.phase, 10.0, 50000.0, true));
    ExpectCurve(r.HbtReal, ExpectedCurve(c.re, 10.0, 50000.0, false));
    ExpectCurve(r.HbtImag, ExpectedCurve(c.im, 10.0, 50000.0, false));
    EXPECT_STREQ(r.Efficiency, "8888888888");
    EXPECT_EQ(r.Distance, 0.75f);
    EXPECT_EQ(r.DistanceInPhase, 1);
    EXPECT_EQ(r.DistanceInAmplitude, 0);
    EXPECT_EQ(r.DriversMode, 1);  // fields the layout lacks keep their values
}

TEST_F(DriverFilesTest, StepResampleTakesTheFirstPointAboveEachBin) {
    float source[kForeignPoints];
    for (int i = 0; i < kForeignPoints; ++i) source[i] = static_cast<float>(i);
    float target[kGridPoints];
    ResampleForeignCurve(source, 10.0f, 50000.0f, target);
    for (int k = 0; k < kGridPoints - 3; ++k) {
        const int i = static_cast<int>(target[k]);
        ASSERT_GT(SourceFrequency(i, 10.0, 50000.0), shell::FrequencyGrid[k]) << k;
        if (i > 0) {
            ASSERT_LE(SourceFrequency(i - 1, 10.0, 50000.0), shell::FrequencyGrid[k]) << k;
        }
    }
    for (int k = kGridPoints - 3; k < kGridPoints; ++k) EXPECT_EQ(target[k], 749.0f);
}

TEST_F(DriverFilesTest, BinsAboveTheLastSourcePointTakeTheLastPoint) {
    // A Sonvexa file reaching 20 kHz on a grid up to 50 kHz.
    ForeignCurves c = MakeCurves();
    std::vector<std::uint8_t> image = ForeignImage(kSonvexaFileBytes, c);
    const std::int32_t start_index = 3;
    const std::int32_t stop_index = 5;
    std::memcpy(&image[kForeignStartIndex], &start_index, 4);
    std::memcpy(&image[kForeignStopIndex], &stop_index, 4);
    const std::string path = PathOf("new.wfr");
    WriteBytes(path, image.data(), image.size());
    FillDistinct(*shell::CurrentDriverRecord);
    ASSERT_EQ(ReadDriverFile(shell::FrameWindow, path.c_str()), 1);
    EXPECT_EQ(MessageTexts(),
              std::vector<std::string>{
                  "Attempting To Import SPL Data From Sonvexa V18 File: 10Hz - 20000Hz"});
    const DriverRecord& r = *shell::CurrentDriverRecord;
    ExpectCurve(r.Spl, ExpectedCurve(c.spl, 10.0, 20000.0, true));
    ExpectCurve(r.HbtReal, ExpectedCurve(c.re, 10.0, 20000.0, true));
    for (int k = 0; k < kGridPoints; ++k) {
        if (shell::FrequencyGrid[k] > 20001.0f) {
            ASSERT_NEAR(r.Spl[k], c.spl[kForeignPoints - 1], 1e-4f) << k;
        }
    }
}

TEST_F(DriverFilesTest, ForeignCalibrationReachesTheLiveCurvesOnlyWithData) {
    // Dravenic after no native driver: the copies are empty, the user's curves stay.
    shell::MikeCalibrationCurve[10] = {1.5f, 2.5f};
    const ForeignCurves c = MakeCurves();
    std::vector<std::uint8_t> image = ForeignImage(kDravenicFileBytes, c);
    const std::string path = PathOf("old.wfr");
    WriteBytes(path, image.data(), image.size());
    ASSERT_EQ(ReadDriverFile(shell::FrameWindow, path.c_str()), 1);
    EXPECT_EQ(shell::MikeCalibrationCurve[10].Db, 1.5f);

    // After a native driver with calibration copies, they become the live curves.
    FillDistinct(*shell::CurrentDriverRecord);
    ASSERT_EQ(ReadDriverFile(shell::FrameWindow, path.c_str()), 1);
    EXPECT_EQ(shell::MikeCalibrationCurve[10].Db,
              shell::CurrentDriverRecord->MikeCalibration[10].Db);
    EXPECT_EQ(shell::PreampCalibrationCurve[10].Degrees, 1.0f);

    // Sonvexa: its own tables, resampled and smoothed.
    float db[kForeignPoints];
    for (int i = 0; i < kForeignPoints; ++i) {
        db[i] = -0.01f * static_cast<float>(i);
        std::memcpy(&image[kForeignMikeCal + 8 * i], &db[i], 4);
    }
    image.resize(kSonvexaFileBytes);
    image = ForeignImage(kSonvexaFileBytes, c);
    for (int i = 0; i < kForeignPoints; ++i)
        std::memcpy(&image[kForeignMikeCal + 8 * i], &db[i], 4);
    const std::int32_t bad_index = 9;  // outside 0..7: 10 Hz and 50 kHz
    std::memcpy(&image[kForeignStartIndex], &bad_index, 4);
    std::memcpy(&image[kForeignStopIndex], &bad_index, 4);
    WriteBytes(path, image.data(), image.size());
    ASSERT_EQ(ReadDriverFile(shell::FrameWindow, path.c_str()), 1);
    const std::vector<float> want = ExpectedCurve(db, 10.0, 50000.0, true);
    for (int k = 0; k < kGridPoints; ++k) {
        ASSERT_NEAR(shell::MikeCalibrationCurve[k].Db, want[k], 1e-4f) << k;
    }
}

TEST_F(DriverFilesTest, ForeignCurvesThatAreNotNumbersAreRefused) {
    ForeignCurves c = MakeCurves();
    c.phase[300] = std::nanf("");
    const std::vector<std::uint8_t> image = ForeignImage(kDravenicFileBytes, c);
    const std::string path = PathOf("old.wfr");
    WriteBytes(path, image.data(), image.size());
    const std::vector<std::uint8_t> before = RecordBytes(*shell::CurrentDriverRecord);
    EXPECT_EQ(ReadDriverFile(shell::FrameWindow, path.c_str()), 0);
    EXPECT_EQ(MessageTexts().back(), "This Driver File is NOT Recognized");
    EXPECT_EQ(RecordBytes(*shell::CurrentDriverRecord), before);
}

// ---- Dialogs ----

// A name typed without extension is saved with the selected filter's (Woofer Files: ".wfr"),
// never with the wildcard default extension, so that the Open chooser lists it.
TEST_F(DriverFilesTest, SaveDialogAppendsTheFiltersExtension) {
    char path[shell::kDirectorySlot] = {};
    char title[256] = {};
    InitDriverFileDlg(shell::FrameWindow);
    const std::string chosen = PathOf("woofer.wfr");
    platform::testing::ScriptFileDialogAnswers({PathOf("woofer")});
    ASSERT_EQ(SaveDriverFileAs(shell::FrameWindow, path, title), 1);
    EXPECT_EQ(std::string(path), chosen);
    EXPECT_STREQ(title, "woofer.wfr");
    EXPECT_EQ(ReadBytes(chosen).size(), shell::kDriverRecordBytes);
    const auto& log = platform::testing::FileDialogLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_TRUE(log[0].save);
    EXPECT_EQ(log[0].filters.size(), 6u);
    EXPECT_EQ(log[0].filters[5],
              "All Drivers (*.WFR;*.UBA;*.MRD;*.TWE;*.STW;)|*.wfr;*.uba;*.mrd;*.twe;*.stw;");

    platform::testing::ScriptFileDialogAnswers({chosen});
    InitDriverFileDlg(shell::FrameWindow);
    EXPECT_EQ(OpenDriverFile(shell::FrameWindow, path, title), 1);
    platform::testing::ScriptFileDialogAnswers({""});
    EXPECT_EQ(OpenDriverFile(shell::FrameWindow, path, title), 0);
}

}  // namespace
}  // namespace driverdata::test
