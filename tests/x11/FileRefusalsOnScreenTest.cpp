// Files that hold less than their reader needs, on a real screen: a preferences file cut short
// is told in one box as the program starts, and an import of an empty measurement file is refused
// in a box over its converter dialog, which stays for the user to cancel.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "driverdata/ConverterDialogs.h"
#include "platform/testing/OnScreen.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "shell/DriverRecord.h"
#include "shell/FrameGlobals.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"
#include "tests/x11/ProgramOnScreen.h"

namespace x11test {
namespace {

namespace screen = platform::testing;

class FileRefusalsOnScreen : public ProgramOnScreen {};

TEST_F(FileRefusalsOnScreen, ShortPreferencesFileIsToldOnceAtStart) {
    // A file that ends after the microphone calibration curve.
    constexpr std::size_t kLength = offsetof(shell::PreferencesRecord, PreampCalibration);
    auto record = std::make_unique<shell::PreferencesRecord>();
    shell::InitPreferencesRecord(record.get());
    std::ofstream("QV_Preferences.pre", std::ios::binary)
        .write(reinterpret_cast<const char*>(record.get()), kLength);
    const std::string path = (std::filesystem::current_path() / "QV_Preferences.pre").string();
    const std::string text = shell::ShortPreferencesText(path.c_str(), kLength);
    RunProgram([&](Driver& d) {
        ASSERT_TRUE(d.WaitForBox(text)) << d.DescribeModal();
        d.WaitFor([] {
            screen::QtModal modal;
            return screen::ActiveQtModal(&modal) && modal.active;
        });
        screen::QtModal box;
        ASSERT_TRUE(OnUi([&] { return screen::ActiveQtModal(&box); }));
        EXPECT_EQ(box.title, "QV Message");
        d.Screenshot("short_preferences_box");
        ASSERT_TRUE(d.ClickQtModalButton("OK"));
        ASSERT_TRUE(d.WaitFor([] { return shell::ComponentCADSelectionDialog != 0; }))
            << "the start windows did not open";
        ASSERT_TRUE(d.WaitNoModal()) << "a second box came up: " << d.DescribeModal();
    });
}

TEST_F(FileRefusalsOnScreen, ImportOfAnEmptyFileIsRefusedOverItsDialog) {
    const std::string path = (std::filesystem::current_path() / "empty measurement.txt").string();
    std::ofstream(path, std::ios::binary).flush();
    RunProgram([&](Driver& d) {
        PassFirstStartBox(d);
        const HWND frame = OnUi([] { return shell::FrameWindow; });
        const float before = OnUi([] { return shell::CurrentDriverRecord->Spl[500]; });
        ASSERT_TRUE(d.ChooseMenu(frame, 3, shell::kCmdImportLms));
        ASSERT_TRUE(d.AnswerFileChooser(path)) << d.DescribeModal();
        const HWND dialog = d.WaitForDialog("ImportLmsBox");
        ASSERT_TRUE(dialog) << d.DescribeModal();
        d.ClickControl(dialog, driverdata::kConvertButton);
        const std::string text = OnUi([&] {
            return driverdata::ImportNoDataMessage(driverdata::Importer::kLms, path.c_str());
        });
        ASSERT_TRUE(d.WaitForBox(text)) << d.DescribeModal();
        d.Screenshot("import_without_data_box");
        ASSERT_TRUE(d.ClickQtModalButton("OK"));
        ASSERT_TRUE(d.WaitFor([&] {
            screen::QtModal modal;
            return !screen::ActiveQtModal(&modal) && platform::IsWindowVisible(dialog);
        })) << "the converter dialog did not stay";
        d.ClickControl(dialog, platform::IDCANCEL);
        ASSERT_TRUE(d.WaitNoModal()) << d.DescribeModal();
        EXPECT_EQ(OnUi([] { return shell::CurrentDriverRecord->Spl[500]; }), before);
        EXPECT_FALSE(OnUi([] { return shell::EditorChildWindow != 0; }))
            << "the HBT editor opened on a curve the file did not give";
    });
}

}  // namespace
}  // namespace x11test
