// Files that hold less than their reader needs, run through the program's menus and pages: the
// measurement-file imports on a file that gives the driver no data, "Import Cal. Mike File" and
// "Import Cal. Preamp File" on a calibration text that lacks points, and a preferences file cut
// short at start-up. Each is refused or told with one message, and what it would have replaced
// keeps its values.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "driverdata/ConverterDialogs.h"
#include "driverdata/ExportFiles.h"
#include "driverdata/Ids.h"
#include "frame/FrameCommands.h"
#include "measurement/Ids.h"
#include "measurement/MlsWindows.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "shell/FrequencyGrid.h"
#include "shell/NumberText.h"
#include "tests/frame/FrameTestSupport.h"

namespace shell::test {
using namespace frame;
namespace {

namespace input = platform::testing;
using platform::testing::MessageBoxLog;

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::vector<std::string> MessageTexts() {
    std::vector<std::string> texts;
    for (const auto& entry : MessageBoxLog()) texts.push_back(entry.text);
    return texts;
}

// A file of each kind that holds no data for a reader.
struct EmptyFile {
    const char* name;
    std::string text;
};
const EmptyFile kFilesWithoutData[] = {
    {"empty", ""},
    {"text without numbers", "Woofer measurement\r\nsee the other file for the data\r\n"},
    {"NUL-filled", std::string(8192, '\0')},
    {"cut inside its header", "Freq(Hz) SPL(dB) Pha"},
};

// ---- The measurement-file imports ----

class FrameImportTest : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        driverdata::ResetGlobals();
        ASSERT_EQ(Start(), kStarted);
        BuildFrequencyGrids();  // the player dialog builds them in the program
        // A driver with a measured curve is open in the HBT editor.
        auto record = std::make_unique<DriverRecord>();
        InitDriverRecord(record.get());
        for (int k = 0; k < kGridPoints; ++k) {
            record->Spl[k] = 70.0f + 0.01f * static_cast<float>(k);
            record->Phase[k] = -45.0f + 0.02f * static_cast<float>(k);
        }
        driver_ = (dir_ / "woofer.wfr").string();
        WriteBytes(driver_, record.get(), sizeof *record);
        input::ScriptMessageBoxAnswers({platform::IDYES});
        input::ScriptFileDialogAnswers({driver_});
        ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdOpenDriverFile));
        ASSERT_TRUE(platform::IsWindow(TransferFunctionDialog));
        std::memcpy(spl_, CurrentDriverRecord->Spl, sizeof spl_);
        std::memcpy(phase_, CurrentDriverRecord->Phase, sizeof phase_);
        input::ClearMessageBoxLog();
    }

    bool CurvesAsLoaded() const {
        return std::memcmp(spl_, CurrentDriverRecord->Spl, sizeof spl_) == 0 &&
               std::memcmp(phase_, CurrentDriverRecord->Phase, sizeof phase_) == 0;
    }

    std::string driver_;
    float spl_[kGridPoints] = {};
    float phase_[kGridPoints] = {};
};

struct ImportRun {
    const char* name;
    int command;
    const char* box;
    driverdata::Importer importer;
    int button;
};
const ImportRun kImportRuns[] = {
    {"IMP", kCmdImportImp, "ImportImpBox", driverdata::Importer::kImp, driverdata::kConvertButton},
    {"LMS", kCmdImportLms, "ImportLmsBox", driverdata::Importer::kLms, driverdata::kConvertButton},
    {"LAUD", kCmdImportLaud, "ImportLmsBox", driverdata::Importer::kLms,
     driverdata::kConvertButton},
    {"CLIO", kCmdImportClio, "ImportClioBox", driverdata::Importer::kClio,
     driverdata::kConvertButton},
    {"MLSSA", kCmdImportMlssa, "ImportClioBox", driverdata::Importer::kClio,
     driverdata::kConvertButton},
    {"DAAS Magnitude", kCmdImportDaas, "ImportDaasBox", driverdata::Importer::kDaas,
     driverdata::kConvertButton},
    {"DAAS Phase", kCmdImportDaas, "ImportDaasBox", driverdata::Importer::kDaas,
     driverdata::kPhaseButton},
};

// Every import on a file that gives no bin a record: one message naming the file, the dialog stays
// until cancelled, the driver's curves stay as they were and the editor is not opened on them.
TEST_F(FrameImportTest, ImportOfAFileWithoutDataLeavesTheDriverAsItWasGui) {
    for (const ImportRun& run : kImportRuns) {
        for (const EmptyFile& file : kFilesWithoutData) {
            SCOPED_TRACE(std::string(run.name) + " on a file " + file.name);
            const std::string path = (dir_ / "measurement.txt").string();
            WriteText(path, file.text);
            // Window handles are never reused: the same handles mean the editor stayed as it was.
            const platform::HWND editor = EditorChildWindow;
            const platform::HWND editor_dialog = TransferFunctionDialog;
            input::ClearMessageBoxLog();
            bool stayed = false;
            input::ScriptFileDialogAnswers({path});
            input::OnModalDialog(run.box, [&](platform::HWND dialog) {
                input::Click(dialog, run.button);
                stayed = platform::IsWindow(dialog);
                input::Click(dialog, platform::IDCANCEL);
            });
            ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, run.command));
            EXPECT_EQ(input::PendingModalActions(), 0u);
            EXPECT_TRUE(stayed);
            EXPECT_EQ(MessageTexts(), std::vector<std::string>{driverdata::ImportNoDataMessage(
                                          run.importer, path.c_str())});
            EXPECT_EQ(MessageBoxLog().at(0).caption, "QV Message");
            EXPECT_EQ(MessageBoxLog().at(0).type, platform::MB_OK | platform::MB_ICONEXCLAMATION);
            EXPECT_TRUE(CurvesAsLoaded());
            EXPECT_EQ(EditorChildWindow, editor) << "the editor was opened on a new curve";
            EXPECT_EQ(TransferFunctionDialog, editor_dialog);
            EXPECT_TRUE(platform::IsWindow(editor_dialog));
            EXPECT_EQ(ModalDialogOpen, 0);
        }
    }
    // Saving the driver afterwards writes the curves it was loaded with.
    const std::string saved = (dir_ / "saved.wfr").string();
    input::ScriptFileDialogAnswers({saved});
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdSaveDriverAs));
    auto record = std::make_unique<DriverRecord>();
    const std::vector<std::uint8_t> bytes = ReadBytes(saved);
    ASSERT_EQ(bytes.size(), sizeof *record);
    std::memcpy(record.get(), bytes.data(), bytes.size());
    EXPECT_EQ(std::memcmp(record->Spl, spl_, sizeof spl_), 0);
}

// A measurement cut after some of its lines converts what it holds, and the editor opens on the
// new curve (whose preparation then fills the bins the file did not reach).
TEST_F(FrameImportTest, ImportOfACutFileConvertsWhatItHoldsGui) {
    std::string text = "Freq(Hz) SPL(dB) Phase(deg)\r\n";
    std::size_t cut = 0;  // the end of the last line below 200 Hz
    for (double f = 20.0; f < 20000.0; f *= 1.002) {
        char line[96];
        std::snprintf(line, sizeof line, "%.3f %.2f %.1f\r\n", f, 84.0, 30.0);
        text += line;
        if (f < 200.0) cut = text.size();
    }
    const std::string path = (dir_ / "cut.txt").string();
    WriteText(path, text.substr(0, cut));
    Preferences->EraseLines = 1;
    const platform::HWND editor = EditorChildWindow;
    input::ScriptFileDialogAnswers({path});
    input::OnModalDialog("ImportLmsBox", [](platform::HWND dialog) {
        input::Click(dialog, driverdata::kConvertButton);
    });
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdImportLms));
    EXPECT_TRUE(MessageTexts().empty());
    EXPECT_EQ(CurrentDriverRecord->ImportKind, 2);
    int k = 0;
    while (FrequencyGrid[k] < 100.0f) ++k;
    EXPECT_FLOAT_EQ(CurrentDriverRecord->Spl[k], 84.0f);
    EXPECT_TRUE(platform::IsWindow(TransferFunctionDialog));
    EXPECT_TRUE(platform::IsWindow(EditorChildWindow));
    EXPECT_NE(EditorChildWindow, editor) << "the editor opened afresh on the converted curve";
}

// ---- "Import Cal. Mike File" and "Import Cal. Preamp File" ----

class FrameCalibrationImportTest : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        ASSERT_EQ(Start(), kStarted);
        ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdDigitalMls));
        input::PumpUntilIdle();
        ASSERT_TRUE(platform::IsWindow(measurement::MlsControlPage));
    }
};

// The calibration a microphone maker supplies: flat, and 9.9 dB up above 5 kHz.
float MakerLevel(int k) { return FrequencyGrid[k] > 5000.0f ? 9.9f : 0.0f; }

std::string CalibrationText(int points) {
    std::string text;
    for (int k = 0; k < points; ++k) {
        text += driverdata::CurveLine(FrequencyGrid[k], MakerLevel(k), -2.5f);
    }
    return text;
}

// A calibration text that lacks points is refused with one message naming it; the live curve,
// its plot and the file name the page shows keep what the last good import gave them.
TEST_F(FrameCalibrationImportTest, IncompleteCalibrationFileChangesNothingGui) {
    const std::string whole = CalibrationText(kGridPoints);
    struct Case {
        const char* name;
        std::string text;
        int held;  // -1: counted by the message only
    };
    std::vector<Case> cases;
    for (const EmptyFile& file : kFilesWithoutData) cases.push_back({file.name, file.text, 0});
    cases.push_back({"first 20,000 bytes of a whole file", whole.substr(0, 20000), -1});
    cases.push_back({"1999 lines", CalibrationText(kGridPoints - 1), kGridPoints - 1});
    for (const bool mike : {true, false}) {
        // A good file first: this is the calibration in use.
        const std::string good = (dir_ / (mike ? "mike.trg" : "preamp.trg")).string();
        WriteText(good, whole);
        const int button = mike ? measurement::kImportMikeButton : measurement::kImportPreampButton;
        input::ScriptFileDialogAnswers({good});
        input::Click(measurement::MlsControlPage, button);
        CalibrationPoint* live = mike ? MikeCalibrationCurve : PreampCalibrationCurve;
        ASSERT_EQ(live[kGridPoints - 2].Db, 9.9f);
        const char* setting = mike ? Preferences->MikeCalFilePath : Preferences->PreampCalFilePath;
        ASSERT_EQ(std::string(setting), good);
        std::vector<CalibrationPoint> before(live, live + kGridPoints);
        const CurveRecord* plot = MeasuredCurveTable[mike ? 25 : 27];
        std::vector<float> plotted(plot->v, plot->v + kGridPoints);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(mike ? "microphone, " : "preamplifier, ") + c.name);
            const std::string path = (dir_ / "short.trg").string();
            WriteText(path, c.text);
            input::ClearMessageBoxLog();
            input::ScriptFileDialogAnswers({path});
            input::Click(measurement::MlsControlPage, button);
            ASSERT_EQ(MessageBoxLog().size(), 1u);
            if (c.held >= 0) {
                EXPECT_EQ(MessageBoxLog()[0].text,
                          driverdata::CalibrationFileShortMessage(path.c_str(), c.held));
            } else {
                EXPECT_EQ(MessageBoxLog()[0].text.rfind(
                              "Calibration File Incomplete: Calibration NOT Changed\n\n" + path, 0),
                          0u)
                    << MessageBoxLog()[0].text;
            }
            EXPECT_EQ(MessageBoxLog()[0].caption, "QV Message");
            EXPECT_EQ(MessageBoxLog()[0].type, platform::MB_OK | platform::MB_ICONEXCLAMATION);
            for (int k = 0; k < kGridPoints; ++k) {
                ASSERT_EQ(live[k].Db, before[static_cast<std::size_t>(k)].Db) << k;
                ASSERT_EQ(live[k].Degrees, before[static_cast<std::size_t>(k)].Degrees) << k;
                ASSERT_EQ(plot->v[k], plotted[static_cast<std::size_t>(k)]) << k;
            }
            EXPECT_EQ(std::string(setting), good) << "the page still names the file in use";
        }
    }
}

// ---- A preferences file cut short at start-up ----

struct CutCase {
    std::size_t length;
    std::vector<std::string> first_named;  // the first lines naming missing settings
    bool mike_from_file;                   // the microphone calibration came from the file
};

// The program starts on a preferences file cut anywhere, applies what it holds and says once,
// naming the file, which settings it lacked and now have their defaults.
TEST_F(FrameTest, ShortPreferencesFileSaysWhichSettingsTookTheirDefaultsGui) {
    auto full = std::make_unique<PreferencesRecord>();
    InitPreferencesRecord(full.get());
    full->PlotStopFrequencyIndex = 5;
    for (int k = 0; k < kGridPoints; ++k) full->MikeCalibration[k] = {k > 1500 ? 9.9f : 0.0f, 1.0f};
    const CutCase cases[] = {
        {0, {"plot frequency range", "graph colour scheme"}, false},
        {8, {"graph colour scheme", "measurement-file import options"}, false},
        {10000,
         {"microphone calibration curve (in part)", "preamplifier calibration curve"},
         false},
        {22472, {"preamplifier calibration curve", "microphone calibration file"}, true},
        {50000, {"project profiles (in part)"}, true},
    };
    for (const CutCase& c : cases) {
        SCOPED_TRACE(c.length);
        TearDown();
        SetUp();
        WriteBytes(dir_ / "QV_Preferences.pre", full.get(), c.length);
        ASSERT_EQ(Start(), kStarted);
        const std::string path = (dir_ / "QV_Preferences.pre").string();
        ASSERT_EQ(MessageBoxLog().size(), 1u);
        const std::string& text = MessageBoxLog()[0].text;
        EXPECT_EQ(text, ShortPreferencesText(path.c_str(), c.length));
        EXPECT_EQ(MessageBoxLog()[0].caption, "QV Message");
        EXPECT_EQ(MessageBoxLog()[0].type, platform::MB_OK | platform::MB_ICONEXCLAMATION);
        EXPECT_NE(text.find(path), std::string::npos);
        EXPECT_NE(text.find("ends after " + std::to_string(c.length) + " of its 63432 bytes"),
                  std::string::npos);
        const std::size_t list = text.find("have their defaults:\n\n");
        ASSERT_NE(list, std::string::npos);
        std::string expected_start;
        for (const std::string& name : c.first_named) expected_start += "\n" + name;
        EXPECT_EQ(text.substr(list + 21, expected_start.size()), expected_start);
        EXPECT_EQ(PlotStopFrequencyIndex, c.length >= 8 ? 5 : 6);
        EXPECT_EQ(MikeCalibrationCurve[1800].Db, c.mike_from_file ? 9.9f : 0.0f);
        EXPECT_TRUE(platform::IsWindow(Splitter1Window)) << "the start windows opened";
    }
}

}  // namespace
}  // namespace shell::test
