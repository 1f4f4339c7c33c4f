// SPL/phase and calibration export, and the calibration readers on good and bad files.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>

#include "driverdata/ExportFiles.h"
#include "shell/NumberText.h"
#include "tests/driverdata/DriverDataTestSupport.h"

namespace driverdata::test {
namespace {

using shell::kGridPoints;

std::vector<std::string> Lines(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    std::vector<std::string> lines;
    std::string line;
    for (std::uint8_t b : bytes) {
        line += static_cast<char>(b);
        if (b == '\n') {
            lines.push_back(line);
            line.clear();
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::string Expected(double f, double level, double phase) {
    char text[128];
    std::snprintf(text, sizeof text, "%.2f    %.2f    %.2f  \r\n", f, level, phase);
    return text;
}

class ExportFilesTest : public DriverDataTest {};

TEST_F(ExportFilesTest, SplPhaseExportWritesOneLinePerGridPoint) {
    shell::DriverRecord& r = *shell::CurrentDriverRecord;
    for (int k = 0; k < kGridPoints; ++k) {
        r.HbtReal[k] = std::cos(0.003f * static_cast<float>(k)) * (0.5f + 0.0004f * k);
        r.HbtImag[k] = std::sin(0.003f * static_cast<float>(k)) * (0.5f + 0.0004f * k);
    }
    r.HbtReal[7] = 0.0f;
    r.HbtImag[7] = -0.5f;
    const std::string path = PathOf("out.trg");
    ASSERT_EQ(ExportSplPhase(shell::FrameWindow, path.c_str()), 1);
    const std::vector<std::string> lines = Lines(path);
    ASSERT_EQ(lines.size(), 2000u);
    for (int k = 0; k < kGridPoints; ++k) {
        const double re = r.HbtReal[k];
        const double im = r.HbtImag[k];
        const double level = 10.0 * std::log10(re * re + im * im + 1e-16);
        const double phase = std::atan2(im, re == 0.0 ? 1e-12 : re) * 180.0 / M_PI;
        ASSERT_EQ(lines[k], Expected(shell::FrequencyGrid[k], static_cast<float>(level),
                                     static_cast<float>(phase)))
            << k;
    }
    EXPECT_NE(lines[7].find("-90.00  \r\n"), std::string::npos);
}

TEST_F(ExportFilesTest, CalibrationExportChecksTheSelectionBeforeCreating) {
    const std::string path = PathOf("cal.txt");
    for (int both : {0, 1}) {
        shell::Mls.MlsUseMikeCal = both;
        shell::Mls.MlsUsePreampCal = both;
        platform::testing::ClearMessageBoxLog();
        EXPECT_EQ(ExportCalFile(shell::FrameWindow, path.c_str()), 0);
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{path});
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

// An export the reader would refuse (a level beyond the bounds once taken relative to 1 kHz)
// is not written; the same curve a little less far out is, and reads back.
TEST_F(ExportFilesTest, CalibrationExportIsWrittenOnlyWhenItReadsBack) {
    const std::string path = PathOf("cal.txt");
    shell::Mls.MlsUseMikeCal = 1;
    shell::Mls.MlsUsePreampCal = 0;
    shell::DriverRecord& r = *shell::CurrentDriverRecord;
    struct Case {
        float low;   // bin 0
        float high;  // every other bin, the 1 kHz reference among them
        int written;
    };
    for (const Case& c : {Case{-200.0f, 50.0f, 0}, Case{200.0f, -100.0f, 0},
                          Case{-150.0f, 50.0f, 1}, Case{250.0f, 0.0f, 1}}) {
        SCOPED_TRACE(c.low);
        for (int k = 0; k < kGridPoints; ++k) r.MikeCalibration[k] = {k == 0 ? c.low : c.high, 0};
        std::filesystem::remove(path);
        platform::testing::ClearMessageBoxLog();
        EXPECT_EQ(ExportCalFile(shell::FrameWindow, path.c_str()), c.written);
        EXPECT_EQ(std::filesystem::exists(path), c.written == 1);
        if (c.written == 0) {
            EXPECT_EQ(MessageTexts(), std::vector<std::string>{kCalibrationFileOutOfRange});
        } else {
            EXPECT_EQ(ReadMikeCalFile(shell::FrameWindow, path.c_str()), 1);
            EXPECT_FLOAT_EQ(shell::MikeCalibrationCurve[0].Db, c.low - c.high);
        }
    }
}

TEST_F(ExportFilesTest, CalibrationExportReadsBackShiftedToZeroAboveOneKilohertz) {
    shell::DriverRecord& r = *shell::CurrentDriverRecord;
    for (int k = 0; k < kGridPoints; ++k) {
        r.PreampCalibration[k] = {3.0f + 0.001f * k, -200.0f + 0.2f * k};
    }
    shell::Mls.MlsUseMikeCal = 0;
    shell::Mls.MlsUsePreampCal = 1;
    const std::string path = PathOf("pre.trg");
    ASSERT_EQ(ExportCalFile(shell::FrameWindow, path.c_str()), 1);
    ASSERT_EQ(Lines(path).size(), 2000u);
    ASSERT_EQ(ReadPreampCalFile(shell::FrameWindow, path.c_str()), 1);
    int reference = 0;
    while (shell::FrequencyGrid[reference] <= 1000.0f) ++reference;
    // What "%.2f" wrote, read back.
    auto two_decimals = [](float value) {
        char text[64];
        std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
        return static_cast<float>(std::strtod(text, nullptr));
    };
    const float base = two_decimals(r.PreampCalibration[reference].Db);
    for (int k = 0; k < kGridPoints - 1; ++k) {
        const float written = two_decimals(r.PreampCalibration[k].Db);
        ASSERT_NEAR(shell::PreampCalibrationCurve[k].Db, written - base, 2e-3f) << k;
        const float phase = two_decimals(r.PreampCalibration[k].Degrees);
        const float clamped = phase < -180.0f ? -179.9f : (phase > 180.0f ? 179.9f : phase);
        ASSERT_NEAR(shell::PreampCalibrationCurve[k].Degrees, clamped, 2e-3f) << k;
    }
    EXPECT_EQ(shell::PreampCalibrationCurve[1999].Db, shell::PreampCalibrationCurve[1998].Db);
    EXPECT_EQ(shell::PreampCalibrationCurve[reference].Db, 0.0f);
}

struct ReaderCase {
    const char* name;
    std::string text;
    float db0;  // levels of pairs 0 and 1 (the reference bin reads 0 dB, so no shift)
    float db1;
    float degrees0;  // phase of pair 0
};

// Triplets on the grid's frequencies, the level and phase of pair 0 and pair 1 as given and every
// other pair 0 dB and 0 degrees: the file holds all 2000 points.
std::string Triplets(const std::string& first, const std::string& second) {
    std::string text;
    for (int k = 0; k < kGridPoints; ++k) {
        char frequency[32];
        std::snprintf(frequency, sizeof frequency, "%.2f ", shell::FrequencyGrid[k]);
        text += frequency + (k == 0 ? first : k == 1 ? second : "0 0") + "\n";
    }
    return text;
}

TEST_F(ExportFilesTest, CalibrationReaderTokens) {
    // Levels are normalised at the reference bin, which reads 0 here; pair values come through.
    const ReaderCase cases[] = {
        {"plain", Triplets("1.5 20", "2.5 30"), 1.5f, 2.5f, 20.0f},
        {"capital exponent", Triplets("1.5E1 20", "2.5 30"), 15.0f, 2.5f, 20.0f},
        {"header words", "Freq Level Phase\n" + Triplets("1.5 20", "2.5 30"), 1.5f, 2.5f, 20.0f},
        {"phase 200", Triplets("0 200", "2.5 30"), 0.0f, 2.5f, 179.9f},
        {"phase -180", Triplets("0 -180", "2.5 30"), 0.0f, 2.5f, -180.0f},
        {"phase -181", Triplets("0 -181", "2.5 30"), 0.0f, 2.5f, -179.9f},
        {"signs", Triplets("+1 -20", "-2.5 30"), 1.0f, -2.5f, -20.0f},
    };
    for (const ReaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = PathOf("cal.txt");
        WriteText(path, c.text);
        ASSERT_EQ(ReadMikeCalFile(shell::FrameWindow, path.c_str()), 1);
        EXPECT_FLOAT_EQ(shell::MikeCalibrationCurve[0].Db, c.db0);
        EXPECT_FLOAT_EQ(shell::MikeCalibrationCurve[1].Db, c.db1);
        EXPECT_FLOAT_EQ(shell::MikeCalibrationCurve[0].Degrees, c.degrees0);
        EXPECT_EQ(shell::MikeCalibrationCurve[1500].Db, 0.0f);
    }
}

TEST_F(ExportFilesTest, CalibrationLevelsNoDriverCarriesAreRefused) {
    // Line 1 holds the level under test; every other line 0 dB, so the reference bin is 0.
    for (const char* level : {"700", "-300", "1000000", "251"}) {
        SCOPED_TRACE(level);
        const std::string path = PathOf("loud.frd");
        WriteText(path, Triplets(std::string(level) + " 0", "0 0"));
        for (int k = 0; k < kGridPoints; ++k) shell::MikeCalibrationCurve[k] = {1.5f, 2.5f};
        platform::testing::ClearMessageBoxLog();
        EXPECT_EQ(ReadMikeCalFile(shell::FrameWindow, path.c_str()), 0);
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{kCalibrationFileOutOfRange});
        for (int k = 0; k < kGridPoints; ++k) {
            ASSERT_EQ(shell::MikeCalibrationCurve[k].Db, 1.5f) << k;
            ASSERT_EQ(shell::MikeCalibrationCurve[k].Degrees, 2.5f) << k;
        }
    }
    const std::string path = PathOf("edge.frd");
    WriteText(path, Triplets("250 0", "0 0"));
    EXPECT_EQ(ReadMikeCalFile(shell::FrameWindow, path.c_str()), 1);
    EXPECT_EQ(shell::MikeCalibrationCurve[0].Db, 250.0f);
}

TEST_F(ExportFilesTest, CalibrationReaderSurvivesBinaryAndHugeFiles) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> bytes(200000);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    const std::string path = PathOf("bin.trg");
    WriteBytes(path, bytes.data(), bytes.size());
    // Noise reads as numbers of any size: taken within the bounds, or refused (levels, points).
    if (ReadMikeCalFile(shell::FrameWindow, path.c_str()) == 0) {
        ASSERT_EQ(MessageTexts().size(), 1u);
        const std::string text = MessageTexts()[0];
        EXPECT_TRUE(text == kCalibrationFileOutOfRange ||
                    text.rfind("Calibration File Incomplete", 0) == 0 ||
                    text == CalibrationFileLayoutMessage(path.c_str()) ||
                    text == CalibrationFileOrderMessage(path.c_str()));
    }
    for (int k = 0; k < kGridPoints; ++k) {
        ASSERT_TRUE(std::isfinite(shell::MikeCalibrationCurve[k].Db)) << k;
        ASSERT_LE(std::fabs(shell::MikeCalibrationCurve[k].Degrees), 180.0f) << k;
    }
    // A long run of digits is one token beyond 40 characters: refused as a number. In the place
    // of a level it leaves that one point without its value.
    platform::testing::ClearMessageBoxLog();
    std::string huge(6u << 20, '7');
    WriteText(path, Triplets(huge + " 6", "8 9"));
    EXPECT_EQ(ReadMikeCalFile(shell::FrameWindow, path.c_str()), 0);
    EXPECT_EQ(MessageTexts(),
              std::vector<std::string>{CalibrationFileShortMessage(path.c_str(), kGridPoints - 1)});
}

TEST_F(ExportFilesTest, ReferenceBinIsTheLastBinWhenTheGridEndsAtOneKilohertz) {
    shell::BuildFrequencyGrids(3, 1);  // 10 Hz .. 1000 Hz
    std::string text;
    for (int k = 0; k < kGridPoints; ++k) {
        char line[64];
        std::snprintf(line, sizeof line, "%.2f %d 0\n", shell::FrequencyGrid[k], k % 7);
        text += line;
    }
    const std::string path = PathOf("low.trg");
    WriteText(path, text);
    ASSERT_EQ(ReadMikeCalFile(shell::FrameWindow, path.c_str()), 1);
    // Pair 1999 took pair 1998's level (1998 % 7 = 3), which is the reference.
    EXPECT_EQ(shell::MikeCalibrationCurve[1999].Db, 0.0f);
    EXPECT_EQ(shell::MikeCalibrationCurve[0].Db, -3.0f);
    EXPECT_EQ(shell::MikeCalibrationCurve[4].Db, 1.0f);
}

TEST_F(ExportFilesTest, MissingCalibrationFileKeepsTheCurve) {
    shell::PreampCalibrationCurve[3] = {4.0f, 5.0f};
    const std::string path = PathOf("none.trg");
    EXPECT_EQ(ReadPreampCalFile(shell::FrameWindow, path.c_str()), 0);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{path});
    EXPECT_EQ(shell::PreampCalibrationCurve[3].Db, 4.0f);
}

TEST_F(ExportFilesTest, DialogsCarryTheirFilters) {
    char path[shell::kDirectorySlot] = {};
    char title[256] = {};
    InitMikeCalFileDlg(shell::FrameWindow);
    const std::string file = PathOf("m.trg");
    WriteText(file, Triplets("2 3", "2 3"));
    platform::testing::ScriptFileDialogAnswers({file});
    EXPECT_EQ(OpenMikeCalFile(shell::FrameWindow, path, title), 1);
    InitExportDlg(shell::FrameWindow);
    platform::testing::ScriptFileDialogAnswers({PathOf("export")});
    EXPECT_EQ(ExportSplPhaseAs(shell::FrameWindow, path, title), 1);
    EXPECT_TRUE(std::filesystem::exists(PathOf("export.trg"))) << "the filter's extension";
    const auto& log = platform::testing::FileDialogLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].filters,
              (std::vector<std::string>{"Target Files (*.TRG)|*.trg", "Text Files (*.TXT)|*.txt",
                                        "All Files (*.*)|*.*"}));
    EXPECT_EQ(log[1].filters,
              (std::vector<std::string>{"Export SPL/Phase (*.TRG)|*.trg",
                                        "Export SPL/Phase (*.TXT)|*.txt", "All Files (*.*)|*.*"}));
}

}  // namespace
}  // namespace driverdata::test
