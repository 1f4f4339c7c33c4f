// The frame's driver-data commands: driver load and save, "Last Driver File", the imports, the
// SPL/phase export, the HBT editor's windows and the diffraction and MLS tools.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "driverdata/ConverterDialogs.h"
#include "driverdata/DriverFiles.h"
#include "driverdata/ExportFiles.h"
#include "driverdata/Globals.h"
#include "driverdata/HbtInput.h"
#include "driverdata/Ids.h"
#include "frame/FrameCommands.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"
#include "shell/FrequencyGrid.h"
#include "shell/NumberText.h"
#include "tests/frame/FrameTestSupport.h"

namespace shell::test {
using namespace frame;
namespace {

using platform::testing::ChooseMenuItem;
using platform::testing::MessageBoxLog;

constexpr const char* kDriverQuestion =
    "Last chance to save current data !\n\nDO YOU WISH TO LOAD NEW DRIVER ?";

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// A mark typed into the HBT editor dialog's high-pass stop field; the dialog loading its fields
// from the driver record again replaces it with the record's text.
constexpr const char* kEditorMark = "7777";

void MarkEditorField() {
    platform::SetDlgItemText(TransferFunctionDialog, driverdata::kHbtHighPassStop, kEditorMark);
}

std::string EditorField() {
    char text[64] = {};
    platform::GetDlgItemText(TransferFunctionDialog, driverdata::kHbtHighPassStop, text,
                             sizeof text);
    return text;
}

class FrameDriverTest : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        driverdata::ResetGlobals();
    }

    // A native driver file whose SPL has a gap that the HBT preparation fills.
    std::string WriteDriver(const std::string& name) {
        auto record = std::make_unique<DriverRecord>();
        InitDriverRecord(record.get());
        for (int k = 0; k < 100; ++k) record->Spl[k] = 0.0f;
        const std::string path = (dir_ / name).string();
        WriteBytes(path, record.get(), sizeof *record);
        return path;
    }
};

TEST_F(FrameDriverTest, OpenDriverFileAsksThenLoadsAndOpensTheEditorGui) {
    ASSERT_EQ(Start(), kStarted);
    const std::string path = WriteDriver("bass.wfr");

    platform::testing::ClearMessageBoxLog();
    platform::testing::ScriptMessageBoxAnswers({platform::IDNO});
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdOpenDriverFile));
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, kDriverQuestion);
    EXPECT_EQ(MessageBoxLog()[0].caption, "QV MEssage");
    EXPECT_EQ(MessageBoxLog()[0].type, platform::MB_YESNO | platform::MB_ICONQUESTION);
    EXPECT_TRUE(platform::testing::FileDialogLog().empty());

    platform::testing::ClearMessageBoxLog();
    platform::testing::ScriptMessageBoxAnswers({platform::IDYES});
    platform::testing::ScriptFileDialogAnswers({path});
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdOpenDriverFile));
    EXPECT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(CurrentDriverRecord->Spl[0], 90.0f) << "gap filled before the editor opens";
    EXPECT_EQ(WindowTitle(FrameWindow), std::string(kBaseTitle) + " - " + path);
    EXPECT_STREQ(Preferences->LastDriverPath, path.c_str());
    EXPECT_EQ(MenuText(MainMenu, kCmdLastDriverFile), path);
    EXPECT_TRUE(platform::IsWindow(EditorChildWindow));
    EXPECT_TRUE(platform::IsWindow(TransferFunctionDialog));
    EXPECT_EQ(EditorField(), CurrentDriverRecord->HighPassStop) << "the dialog shows the driver";
    EXPECT_EQ(ModalDialogOpen, 0);

    // A second load keeps the editor's windows and tells the dialog to reload.
    const platform::HWND editor = EditorChildWindow;
    MarkEditorField();
    platform::testing::ScriptFileDialogAnswers({path});
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdOpenDriverFile));
    EXPECT_EQ(EditorChildWindow, editor);
    EXPECT_NE(EditorField(), kEditorMark) << "the dialog loads its fields again";
    EXPECT_EQ(EditorField(), CurrentDriverRecord->HighPassStop);
}

TEST_F(FrameDriverTest, RefusedDriverFileChangesNothingGui) {
    ASSERT_EQ(Start(), kStarted);
    const std::string path = (dir_ / "short.wfr").string();
    WriteText(path, "not a driver");
    platform::testing::ClearMessageBoxLog();
    platform::testing::ScriptFileDialogAnswers({path});
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdOpenDriverFile));
    EXPECT_EQ(CountBoxes("This Driver File is NOT Recognized"), 1);
    EXPECT_FALSE(EditorChildWindow);
    EXPECT_STRNE(Preferences->LastDriverPath, path.c_str());
}

TEST_F(FrameDriverTest, LastDriverFileStartsTheDialogOnThatPathGui) {
    ASSERT_EQ(Start(), kStarted);
    const std::string path = WriteDriver("mid.mrd");
    CopyTextSlot(Preferences->LastDriverPath, path.c_str());
    platform::testing::ScriptFileDialogAnswers({path});
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdLastDriverFile));
    ASSERT_EQ(platform::testing::FileDialogLog().size(), 1u);
    EXPECT_EQ(platform::testing::FileDialogLog()[0].initial_path, path);
    EXPECT_EQ(WindowTitle(FrameWindow), std::string(kBaseTitle) + " - " + path);
}

TEST_F(FrameDriverTest, SaveDriverAsWritesAndNamesTheFileGui) {
    ASSERT_EQ(Start(), kStarted);
    const std::string path = (dir_ / "tweeter.twe").string();
    platform::testing::ScriptFileDialogAnswers({path});
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdSaveDriverAs));
    EXPECT_EQ(std::filesystem::file_size(path), kDriverRecordBytes);
    EXPECT_EQ(WindowTitle(FrameWindow), std::string(kBaseTitle) + " - " + path);
    EXPECT_EQ(ModalDialogOpen, 0);
}

TEST_F(FrameDriverTest, ImportConvertsThenOpensTheEditorGui) {
    ASSERT_EQ(Start(), kStarted);
    const std::string path = (dir_ / "woofer.frd").string();
    std::string text = "Freq  dB  deg\r\n";
    for (float f = 100.0f; f < 1000.0f; f += 2.0f) {
        text += std::to_string(f) + " -3.0 10.0\r\n";
    }
    WriteText(path, text);
    BuildFrequencyGrids();  // the player dialog builds them in the program
    Preferences->EraseLines = 1;
    Preferences->ImportOption = 3;
    for (int c = 0; c < 5; ++c) Preferences->ImportColumnFlags[c] = c < 3 ? 1 : 0;
    platform::testing::ScriptFileDialogAnswers({path});
    platform::testing::OnModalDialog("ImportImpBox", [](platform::HWND dialog) {
        platform::testing::TypeText(dialog, driverdata::kEfficiencyEdit, "88");
        platform::testing::Click(dialog, driverdata::kConvertButton);
    });
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdImportImp));
    EXPECT_EQ(CurrentDriverRecord->ImportKind, 1);
    EXPECT_NEAR(CurrentDriverRecord->Spl[0], 85.0f, 1e-3f) << "the low bins were filled";
    EXPECT_TRUE(platform::IsWindow(TransferFunctionDialog));
    EXPECT_FALSE(ComponentCADSelectionDialog);

    // A cancelled import only repaints.
    platform::testing::ScriptFileDialogAnswers({""});
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdImportDaas));
    EXPECT_TRUE(platform::IsWindow(TransferFunctionDialog));
}

TEST_F(FrameDriverTest, ExportWritesTwoThousandLinesGui) {
    ASSERT_EQ(Start(), kStarted);
    const std::string path = (dir_ / "out.trg").string();
    platform::testing::ScriptFileDialogAnswers({path});
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdExportSplPhase));
    std::ifstream in(path, std::ios::binary);
    int lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    EXPECT_EQ(lines, 2000);
    EXPECT_EQ(ModalDialogOpen, 0);
}

TEST_F(FrameDriverTest, DriverCommandsWaitWhileAudioIsBusyGui) {
    ASSERT_EQ(Start(), kStarted);
    platform::testing::ClearMessageBoxLog();
    AudioBusy = 1;
    for (int command : {kCmdOpenDriverFile, kCmdSaveDriverAs, kCmdLastDriverFile, kCmdImportImp,
                        kCmdImportLaud, kCmdExportSplPhase, kCmdFileEditor}) {
        ASSERT_TRUE(ChooseMenuItem(FrameWindow, static_cast<platform::UINT>(command)));
    }
    EXPECT_TRUE(MessageBoxLog().empty());
    EXPECT_TRUE(platform::testing::FileDialogLog().empty());
    EXPECT_FALSE(TransferFunctionDialog);
    AudioBusy = 0;
}

TEST_F(FrameDriverTest, FileEditorOpensBothWindowsWithoutPreparingGui) {
    ASSERT_EQ(Start(), kStarted);
    CurrentDriverRecord->Spl[0] = 0.0f;
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdFileEditor));
    EXPECT_TRUE(platform::IsWindow(EditorChildWindow));
    EXPECT_TRUE(platform::IsWindow(TransferFunctionDialog));
    EXPECT_EQ(CurrentDriverRecord->Spl[0], 0.0f);
    EXPECT_FALSE(ComponentCADSelectionDialog);
}

// Chosen again, File Editor closes both editor windows and makes them again, so the
// TransferFunction dialog loads its fields afresh.
TEST_F(FrameDriverTest, FileEditorChosenAgainMakesBothWindowsAfreshGui) {
    ASSERT_EQ(Start(), kStarted);
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdFileEditor));
    ASSERT_TRUE(platform::IsWindow(TransferFunctionDialog));
    EXPECT_EQ(EditorField(), CurrentDriverRecord->HighPassStop);
    const platform::HWND editor = EditorChildWindow;
    const platform::HWND transfer = TransferFunctionDialog;
    MarkEditorField();
    CopyTextSlot(CurrentDriverRecord->HighPassStop, "123");
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdFileEditor));
    EXPECT_FALSE(platform::IsWindow(editor)) << "both windows are closed first";
    EXPECT_FALSE(platform::IsWindow(transfer));
    EXPECT_TRUE(platform::IsWindow(EditorChildWindow));
    EXPECT_TRUE(platform::IsWindow(TransferFunctionDialog));
    EXPECT_EQ(EditorField(), "123") << "the dialog loads its fields again";
}

TEST_F(FrameDriverTest, DiffractionAndMlsCommandsOpenTheirToolsGui) {
    ASSERT_EQ(Start(), kStarted);

    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdFileEditor));
    ASSERT_TRUE(platform::IsWindow(TransferFunctionDialog));
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdDigitalMls));
    EXPECT_TRUE(platform::IsWindow(MlsControlDialog));
    EXPECT_FALSE(TransferFunctionDialog) << "the HBT editor makes way for the MLS tool";
    EXPECT_FALSE(EditorChildWindow);

    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdDiffractionModel));
    EXPECT_FALSE(MlsControlDialog);
    EXPECT_TRUE(platform::IsWindow(DiffractionCalculatorDialog));
    EXPECT_TRUE(platform::IsWindow(DiffractionChildWindow));
    EXPECT_EQ(WindowTitle(DiffractionChildWindow), "Enclosure Diffraction Modeling")
        << "the class runs the tool's own procedure, which names the window";
    ASSERT_TRUE(ChooseMenuItem(FrameWindow, kCmdDiffractionModel));  // closed, then made again
    EXPECT_TRUE(platform::IsWindow(DiffractionCalculatorDialog));
}

}  // namespace
}  // namespace shell::test
