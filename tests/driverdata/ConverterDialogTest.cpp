// The four converter dialogs run headless: their start values, the column check boxes, the
// conversion into the current driver, the refusals that keep the dialog open, and Cancel.
#include <algorithm>
#include <string>
#include <utility>
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

// A file that gives no bin a record (no numbers, NULs, frequencies outside the grid) is refused
// by every converter with a message naming it; the dialog stays and the driver keeps its curves.
TEST_F(ConverterDialogTest, BrokenFilesAreRefusedAndChangeNothing) {
    const std::string cases[] = {
        "",
        "1",
        "1 2",
        std::string(5000, '-'),
        std::string(300, 'E') + "\r\n",
        "1e 2e 3e\n.\n-\n+\n",
        std::string("\0\1\2\3", 4),
        std::string(4096, '\0'),
        "Woofer measurement, no data\r\n",
        "1.0 8.0 3.0\r\n2.0 8.5 5.0\r\n60000 80000 70000\r\n",
    };
    const std::pair<Importer, int> runs[] = {{Importer::kImp, kConvertButton},
                                             {Importer::kLms, kConvertButton},
                                             {Importer::kClio, kConvertButton},
                                             {Importer::kDaas, kConvertButton},
                                             {Importer::kDaas, kPhaseButton}};
    const char* boxes[] = {"ImportImpBox", "ImportLmsBox", "ImportClioBox", "ImportDaasBox"};
    shell::Preferences->EraseLines = 0;
    shell::DriverRecord& r = *shell::CurrentDriverRecord;
    for (int k = 0; k < shell::kGridPoints; ++k) r.Spl[k] = r.Phase[k] = 0.01f * k;
    r.ImportKind = 0;
    for (const auto& [importer, button] : runs) {
        for (const std::string& text : cases) {
            SCOPED_TRACE(std::string(boxes[static_cast<int>(importer)]) +
                         std::to_string(&text - cases));
            const std::string path = PathOf("broken.txt");
            WriteText(path, text);
            platform::testing::ClearMessageBoxLog();
            bool stayed = false;
            OnModalDialog(boxes[static_cast<int>(importer)], [&](platform::HWND dialog) {
                Click(dialog, button);
                stayed = platform::IsWindow(dialog);
                Click(dialog, platform::IDCANCEL);
            });
            EXPECT_EQ(RunImport(importer, shell::FrameWindow, path.c_str()), 0);
            EXPECT_TRUE(stayed);
            ASSERT_EQ(MessageTexts(),
                      std::vector<std::string>{ImportNoDataMessage(importer, path.c_str())});
            EXPECT_NE(MessageTexts()[0].find(path), std::string::npos);
            EXPECT_EQ(r.ImportKind, 0);
            for (int k = 0; k < shell::kGridPoints; ++k) {
                ASSERT_EQ(r.Spl[k], 0.01f * k) << k;
                ASSERT_EQ(r.Phase[k], 0.01f * k) << k;
            }
        }
    }
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
