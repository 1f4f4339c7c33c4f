// The four converter dialogs run headless: their start values, the column check boxes, the
// conversion into the current driver, the refusals that keep the dialog open, and Cancel.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "driverdata/ConverterDialogs.h"
#include "platform/testing/DrawnTexts.h"
#include "platform/testing/Input.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "shell/NumberText.h"
#include "tests/driverdata/DriverDataTestSupport.h"

namespace driverdata::test {
namespace {

using platform::testing::Click;
using platform::testing::OnModalDialog;
using platform::testing::TypeText;

std::string Text(platform::HWND dialog, int id) {
    char buffer[2048] = {};
    platform::GetDlgItemText(dialog, id, buffer, sizeof buffer);
    return buffer;
}

class ConverterDialogTest : public DriverDataTest {
  protected:
    void SetUp() override {
        DriverDataTest::SetUp();
        shell::PreferencesRecord& prefs = *shell::Preferences;
        prefs.EraseLines = 1;
        prefs.ImportOption = 3;
        for (int c = 0; c < 5; ++c) prefs.ImportColumnFlags[c] = c < 3 ? 1 : 0;
    }

    // A measurement file: a header line, then frequency, level, phase from 20 Hz to 20 kHz.
    std::string WriteMeasurement(const std::string& name, const char* line_end) {
        std::string text = std::string("Freq(Hz) SPL(dB) Phase(deg)") + line_end;
        for (double f = 20.0; f < 20000.0; f *= 1.002) {
            char line[96];
            std::snprintf(line, sizeof line, "%.3f %.2f %.1f%s", f, 84.0, 30.0, line_end);
            text += line;
        }
        const std::string path = PathOf(name);
        WriteText(path, text);
        return path;
    }
};

TEST_F(ConverterDialogTest, ImpConversionFillsTheDriverCurve) {
    const std::string path = WriteMeasurement("w.frd", "\r\n");
    shell::CopyTextSlot(shell::CurrentDriverRecord->ImportScale, "1.5");
    std::string length;
    std::string caption;
    OnModalDialog("ImportImpBox", [&](platform::HWND dialog) {
        length = Text(dialog, kLengthReadout);
        char title[2048] = {};
        platform::GetWindowText(dialog, title, sizeof title);
        caption = title;
        EXPECT_EQ(Text(dialog, kEraseLinesEdit), "1");
        EXPECT_EQ(Text(dialog, kColumnCountEdit), "3");
        EXPECT_EQ(Text(dialog, kScaleEdit), "1.5");
        EXPECT_EQ(platform::IsDlgButtonChecked(dialog, kIncludeColumn1 + 3),
                  platform::BST_UNCHECKED);
        TypeText(dialog, kEfficiencyEdit, "2");
        Click(dialog, kConvertButton);
    });
    ASSERT_EQ(RunImport(Importer::kImp, shell::FrameWindow, path.c_str()), 1);
    EXPECT_EQ(length, std::to_string(std::filesystem::file_size(path)).substr(0, 6));
    EXPECT_EQ(caption, path);
    const shell::DriverRecord& r = *shell::CurrentDriverRecord;
    EXPECT_EQ(r.ImportKind, 1);
    EXPECT_EQ(r.CurveKind, 0);
    EXPECT_STREQ(r.Efficiency, "2");
    int k = 0;
    while (shell::FrequencyGrid[k] < 1000.0f) ++k;
    EXPECT_FLOAT_EQ(r.Spl[k], 84.0f + 1.5f + 2.0f);
    EXPECT_NEAR(r.Phase[k], 30.0f, 0.05f);
    EXPECT_EQ(r.Spl[0], 1.0f) << "below the file's first frequency";
    EXPECT_EQ(r.Spl[1999], 1.0f);
}

TEST_F(ConverterDialogTest, ImpWithoutEfficiencyAsksAndStaysOpen) {
    const std::string path = WriteMeasurement("w.frd", "\n");
    const float before = shell::CurrentDriverRecord->Spl[500];
    OnModalDialog("ImportImpBox", [](platform::HWND dialog) {
        TypeText(dialog, kEfficiencyEdit, "0");
        Click(dialog, kConvertButton);
        EXPECT_TRUE(platform::IsWindow(dialog));
        TypeText(dialog, kDelayEdit, "1.25");
        Click(dialog, platform::IDCANCEL);
    });
    EXPECT_EQ(RunImport(Importer::kImp, shell::FrameWindow, path.c_str()), 0);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Enter Reference Efficiency"});
    EXPECT_EQ(shell::CurrentDriverRecord->Spl[500], before);
    EXPECT_STREQ(shell::CurrentDriverRecord->ImportDelay, "1.25") << "Cancel keeps the edits";
}

TEST_F(ConverterDialogTest, ColumnChoiceWithoutLevelIsRefused) {
    const std::string path = WriteMeasurement("m.txt", "\n");
    const float before = shell::CurrentDriverRecord->Spl[500];
    OnModalDialog("ImportLmsBox", [](platform::HWND dialog) {
        Click(dialog, kIncludeColumn1 + 1);  // column 2 off: no level column
        EXPECT_EQ(shell::Preferences->ImportColumnFlags[1], 0);
        Click(dialog, kConvertButton);
        TypeText(dialog, kColumnCountEdit, "0");
        Click(dialog, kIncludeColumn1 + 1);
        Click(dialog, kConvertButton);
        Click(dialog, platform::IDCANCEL);
    });
    EXPECT_EQ(RunImport(Importer::kLms, shell::FrameWindow, path.c_str()), 0);
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{kColumnChoiceMessage, kColumnChoiceMessage}));
    EXPECT_EQ(shell::CurrentDriverRecord->Spl[500], before);
    EXPECT_EQ(shell::Preferences->ImportOption, 0);
    EXPECT_EQ(shell::Preferences->ImportColumnFlags[1], 1);
}

TEST_F(ConverterDialogTest, LfOnlyFileSkipsItsHeaderLine) {
    const std::string path = WriteMeasurement("c.txt", "\n");
    OnModalDialog("ImportClioBox", [](platform::HWND dialog) { Click(dialog, kConvertButton); });
    ASSERT_EQ(RunImport(Importer::kClio, shell::FrameWindow, path.c_str()), 1);
    int k = 0;
    while (shell::FrequencyGrid[k] < 100.0f) ++k;
    EXPECT_FLOAT_EQ(shell::CurrentDriverRecord->Spl[k], 84.0f);
    EXPECT_EQ(shell::CurrentDriverRecord->ImportKind, 3);
}

TEST_F(ConverterDialogTest, TwoColumnsWithTheDefaultFlagsConvertTheLevel) {
    // A header, an empty line, then frequency and level only. Erase Lines 1 skips the header
    // and the empty line with it; the phase role (column 3) lies beyond the two columns.
    std::string text = "Freq SPL\r\n\r\n";
    for (double f = 20.0; f < 20000.0; f *= 1.002) {
        char line[64];
        std::snprintf(line, sizeof line, "%.3f %.2f\r\n", f, 77.0);
        text += line;
    }
    const std::string path = PathOf("two.txt");
    WriteText(path, text);
    OnModalDialog("ImportLmsBox", [](platform::HWND dialog) {
        TypeText(dialog, kColumnCountEdit, "2");
        Click(dialog, kConvertButton);
    });
    ASSERT_EQ(RunImport(Importer::kLms, shell::FrameWindow, path.c_str()), 1);
    EXPECT_TRUE(MessageTexts().empty());
    int k = 0;
    while (shell::FrequencyGrid[k] < 1000.0f) ++k;
    EXPECT_FLOAT_EQ(shell::CurrentDriverRecord->Spl[k], 77.0f);
    EXPECT_EQ(shell::CurrentDriverRecord->Phase[k], 0.0f);
    EXPECT_EQ(shell::Preferences->ImportOption, 2);
}

TEST_F(ConverterDialogTest, DaasConvertsMagnitudeAndPhaseInTwoRuns) {
    std::string text;
    for (double f = 20.0; f < 20000.0; f *= 1.002) {
        char line[64];
        std::snprintf(line, sizeof line, "%.3f\t%.2f\r\n", f, 91.0);
        text += line;
    }
    const std::string path = PathOf("d.amp");
    WriteText(path, text);
    OnModalDialog("ImportDaasBox", [](platform::HWND dialog) { Click(dialog, kConvertButton); });
    ASSERT_EQ(RunImport(Importer::kDaas, shell::FrameWindow, path.c_str()), 1);
    int k = 0;
    while (shell::FrequencyGrid[k] < 1000.0f) ++k;
    EXPECT_FLOAT_EQ(shell::CurrentDriverRecord->Spl[k], 91.0f);
    EXPECT_EQ(shell::CurrentDriverRecord->ImportKind, 5);
    OnModalDialog("ImportDaasBox", [](platform::HWND dialog) { Click(dialog, kPhaseButton); });
    ASSERT_EQ(RunImport(Importer::kDaas, shell::FrameWindow, path.c_str()), 1);
    EXPECT_NEAR(shell::CurrentDriverRecord->Phase[k], 91.0f, 0.05f);
    EXPECT_EQ(shell::CurrentDriverRecord->ImportKind, 6);
    EXPECT_FLOAT_EQ(shell::CurrentDriverRecord->Spl[k], 91.0f) << "magnitude kept";
}

// Corrections typed so far out that no driver level comes of them are refused with a message;
// the dialog stays open and the driver's curves keep their values.
TEST_F(ConverterDialogTest, CorrectionsOutOfRangeAreRefusedAndChangeNothing) {
    const std::string columns = WriteMeasurement("m.txt", "\n");
    std::string text;
    for (double f = 20.0; f < 20000.0; f *= 1.002) {
        char line[64];
        std::snprintf(line, sizeof line, "%.3f\t%.2f\r\n", f, 91.0);
        text += line;
    }
    const std::string pairs = PathOf("d.amp");
    WriteText(pairs, text);
    struct Case {
        Importer importer;
        const char* box;
        int edit;
        const char* typed;
        int button;
    };
    const Case cases[] = {
        {Importer::kLms, "ImportLmsBox", kScaleEdit, "3.4e38", kConvertButton},
        {Importer::kLms, "ImportLmsBox", kScaleEdit, "700", kConvertButton},
        {Importer::kLms, "ImportLmsBox", kDelayEdit, "-1e7", kConvertButton},
        {Importer::kClio, "ImportClioBox", kScaleEdit, "-1e30", kConvertButton},
        {Importer::kImp, "ImportImpBox", kEfficiencyEdit, "3.4e38", kConvertButton},
        {Importer::kDaas, "ImportDaasBox", kScaleEdit, "700", kConvertButton},
        {Importer::kDaas, "ImportDaasBox", kDelayEdit, "2e30", kPhaseButton},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " " + c.typed);
        shell::DriverRecord& r = *shell::CurrentDriverRecord;
        shell::InitDriverRecord(&r);
        for (int k = 0; k < shell::kGridPoints; ++k) {
            r.Spl[k] = 77.0f;
            r.Phase[k] = -12.0f;
        }
        platform::testing::ClearMessageBoxLog();
        bool stayed = false;
        OnModalDialog(c.box, [&](platform::HWND dialog) {
            TypeText(dialog, c.edit, c.typed);
            Click(dialog, c.button);
            stayed = platform::IsWindow(dialog);
            Click(dialog, platform::IDCANCEL);
        });
        const std::string& path = c.importer == Importer::kDaas ? pairs : columns;
        EXPECT_EQ(RunImport(c.importer, shell::FrameWindow, path.c_str()), 0);
        EXPECT_TRUE(stayed);
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{kImportOutOfRange});
        for (int k = 0; k < shell::kGridPoints; ++k) {
            ASSERT_EQ(r.Spl[k], 77.0f) << k;
            ASSERT_EQ(r.Phase[k], -12.0f) << k;
        }
    }
}

TEST_F(ConverterDialogTest, MissingFileNamesItsPath) {
    const std::string path = PathOf("gone.frd");
    EXPECT_EQ(RunImport(Importer::kImp, shell::FrameWindow, path.c_str()), 0);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{path});
}

// A file that gives no bin a record (empty, without numbers, NULs, frequencies outside the grid,
// records of fewer columns than set) is refused by every converter with a message naming it: the
// dialog stays open, and the driver's curves and import kind keep their values.
TEST_F(ConverterDialogTest, ConversionWithoutDataIsRefusedAndChangesNothing) {
    const std::string files[] = {
        "",
        "1",
        "1 2",
        std::string(5000, '-'),
        std::string(300, 'E') + "\r\n",
        "1e 2e 3e\n.\n-\n+\n",
        std::string("\0\1\2\3", 4),
        std::string(4096, '\0'),
        "Woofer measurement, no data\r\nsee the other file\r\n",
        "Freq(Hz) SPL(dB) Ph",  // a measurement cut inside its header
        // Every number below the grid, or above it, whichever of them a converter takes for the
        // frequency.
        "1.0 8.0 3.0\r\n2.0 8.5 5.0\r\n5.0 9.0 9.5\r\n",
        "60000.0 80000.0 70000.0\r\n90000.0 60001.0 60002.0\r\n",
    };
    struct Run {
        Importer importer;
        const char* box;
        int button;
    };
    const Run runs[] = {
        {Importer::kImp, "ImportImpBox", kConvertButton},
        {Importer::kLms, "ImportLmsBox", kConvertButton},
        {Importer::kClio, "ImportClioBox", kConvertButton},
        {Importer::kDaas, "ImportDaasBox", kConvertButton},
        {Importer::kDaas, "ImportDaasBox", kPhaseButton},
    };
    shell::Preferences->EraseLines = 0;
    for (const Run& run : runs) {
        for (std::size_t f = 0; f < std::size(files); ++f) {
            SCOPED_TRACE(std::string(run.box) + (run.button == kPhaseButton ? " phase" : "") +
                         ", file " + std::to_string(f));
            const std::string path = PathOf("broken" + std::to_string(f) + ".txt");
            WriteText(path, files[f]);
            shell::DriverRecord& r = *shell::CurrentDriverRecord;
            for (int k = 0; k < shell::kGridPoints; ++k) {
                r.Spl[k] = 60.0f + 0.01f * static_cast<float>(k);
                r.Phase[k] = -12.0f;
            }
            r.ImportKind = 0;
            platform::testing::ClearMessageBoxLog();
            bool stayed = false;
            OnModalDialog(run.box, [&](platform::HWND dialog) {
                Click(dialog, run.button);
                stayed = platform::IsWindow(dialog);
                Click(dialog, platform::IDCANCEL);
            });
            EXPECT_EQ(RunImport(run.importer, shell::FrameWindow, path.c_str()), 0);
            EXPECT_TRUE(stayed);
            EXPECT_EQ(MessageTexts(),
                      std::vector<std::string>{ImportNoDataMessage(run.importer, path.c_str())});
            EXPECT_EQ(r.ImportKind, 0);
            for (int k = 0; k < shell::kGridPoints; ++k) {
                ASSERT_EQ(r.Spl[k], 60.0f + 0.01f * static_cast<float>(k)) << k;
                ASSERT_EQ(r.Phase[k], -12.0f) << k;
            }
        }
    }
}

// The refusal names the file and the frequencies a record can fall into.
TEST_F(ConverterDialogTest, NoDataMessageNamesTheFileAndTheRange) {
    const std::string columns = ImportNoDataMessage(Importer::kLms, "/m/w.txt");
    EXPECT_EQ(columns,
              "No Data Converted: Driver NOT Changed\n\n/m/w.txt\n\nholds no record with a "
              "frequency from 10 Hz to " +
                  std::to_string(static_cast<int>(std::lround(shell::FrequencyGrid[1999]))) +
                  " Hz. Check Erase Lines, Total Number of Columns and Include Column.");
    const std::string pairs = ImportNoDataMessage(Importer::kDaas, "/m/d.amp");
    EXPECT_EQ(pairs,
              "No Data Converted: Driver NOT Changed\n\n/m/d.amp\n\nholds no frequency/value "
              "pair with a frequency from 10 Hz to " +
                  std::to_string(static_cast<int>(std::lround(shell::FrequencyGrid[1998]))) +
                  " Hz.");
}

// A file whose records cover only part of the grid converts that part; the bins without data
// keep 1.0 dB and 0 degrees.
TEST_F(ConverterDialogTest, PartlyCoveredGridConvertsWhatTheFileHolds) {
    std::string text;
    for (double f = 100.0; f < 200.0; f *= 1.002) {
        char line[96];
        std::snprintf(line, sizeof line, "%.3f %.2f %.1f\n", f, 84.0, 30.0);
        text += line;
    }
    const std::string path = PathOf("part.txt");
    WriteText(path, text);
    shell::Preferences->EraseLines = 0;
    OnModalDialog("ImportLmsBox", [](platform::HWND dialog) { Click(dialog, kConvertButton); });
    ASSERT_EQ(RunImport(Importer::kLms, shell::FrameWindow, path.c_str()), 1);
    EXPECT_TRUE(MessageTexts().empty());
    const shell::DriverRecord& r = *shell::CurrentDriverRecord;
    int inside = 0;
    for (int k = 0; k < shell::kGridPoints - 1; ++k) {
        const bool covered =
            shell::FrequencyGrid[k + 1] > 100.2f && shell::FrequencyGrid[k] < 199.0f;
        const bool outside =
            shell::FrequencyGrid[k + 1] < 100.0f || shell::FrequencyGrid[k] > 200.0f;
        if (covered) {
            ASSERT_FLOAT_EQ(r.Spl[k], 84.0f) << k;
            ++inside;
        }
        if (outside) {
            ASSERT_EQ(r.Spl[k], 1.0f) << k;
            ASSERT_EQ(r.Phase[k], 0.0f) << k;
        }
    }
    EXPECT_GT(inside, 100);
}

// The preview shows only whole lines inside its area: a short file shows every line, a long one
// as many as fit and then "[.......]" on the last line that fits.
TEST_F(ConverterDialogTest, PreviewShowsWholeLinesInsideItsArea) {
    struct Case {
        int lines;
        bool more;  // "[.......]" expected
    };
    for (const Case c : {Case{3, false}, Case{40, true}}) {
        std::string text;
        for (int i = 0; i < c.lines; ++i) text += std::to_string(100 + i) + " 84.0 30.0\r\n";
        const std::string path = PathOf("p" + std::to_string(c.lines) + ".txt");
        WriteText(path, text);
        std::vector<platform::testing::DrawnText> drawn;
        platform::HWND area{};
        OnModalDialog("ImportImpBox", [&](platform::HWND dialog) {
            area = platform::GetDlgItem(dialog, kPreviewArea);
            platform::testing::RecordDrawnTexts(true);
            platform::InvalidateRect(dialog, nullptr, platform::TRUE);
            platform::UpdateWindow(dialog);
            platform::testing::RecordDrawnTexts(false);
            drawn = platform::testing::DrawnTexts();
            Click(dialog, 2);
        });
        RunImport(Importer::kImp, shell::FrameWindow, path.c_str());
        int in_area = 0, bottom = 0;
        std::string last;
        for (const auto& t : drawn) {
            if (t.window != area) continue;
            ++in_area;
            EXPECT_GE(t.ink.top, 0) << c.lines << " lines: " << t.text;
            EXPECT_LE(t.ink.bottom, t.client.bottom) << c.lines << " lines: " << t.text;
            EXPECT_LE(t.ink.right, t.client.right) << c.lines << " lines: " << t.text;
            bottom = std::max(bottom, static_cast<int>(t.ink.bottom));
            last = t.text;
        }
        EXPECT_GT(in_area, 0) << c.lines << " lines: nothing drawn in the preview";
        EXPECT_EQ(last == "[.......]", c.more) << c.lines << " lines, last text " << last;
        if (c.more) {
            EXPECT_GT(bottom, 100) << "the area's lines are used";
        }
    }
}

}  // namespace
}  // namespace driverdata::test
