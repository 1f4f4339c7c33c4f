// Saves that fail in the running program: Save Project As, Save Driver As, Export SPL/Phase,
// Save IR and the calibration export, each on a full disk, a read-only file, a folder in the file's
// place, a folder that does not exist and a read-only folder. Each says which file was not saved
// and why, and leaves what was there as it was.
#include <gtest/gtest.h>

#include <string>

#include "frame/FrameCommands.h"
#include "measurement/Globals.h"
#include "measurement/Ids.h"
#include "measurement/MlsAcquire.h"
#include "measurement/MlsRun.h"
#include "measurement/MlsWindows.h"
#include "platform/audio/VirtualCard.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Window.h"
#include "shell/Ids.h"
#include "tests/SaveFailures.h"
#include "tests/frame/FrameTestSupport.h"

namespace shell::test {
namespace {

namespace input = platform::testing;
using platform::HWND;

// The MLS tool open on the virtual card (output 0 loops to input 0, output 1 to input 1), one
// measurement taken, and only the microphone calibration ticked: every writer can save.
class FrameSaveFailuresTest : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        platform::VirtualCardReset();
        const double one = 1.0;
        ASSERT_TRUE(platform::VirtualCardSetLoopback(0, 0, &one, 1, 100));
        ASSERT_TRUE(platform::VirtualCardSetLoopback(1, 1, &one, 1, 150));
        ASSERT_EQ(Start(), kStarted);
        ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdDigitalMls));
        input::PumpUntilIdle();
        ASSERT_TRUE(platform::IsWindow(measurement::MlsControlPage));
        input::Select(Page(), measurement::kLengthCombo, 0);  // the shortest sequence
        input::Click(Page(), measurement::kRunButton);
        ASSERT_TRUE(measurement::MlsRunActive());
        for (int i = 0; i < 100 && measurement::MlsRunActive(); ++i) {
            platform::VirtualCardStep(8192, 48000);
            input::PumpUntilIdle();
        }
        ASSERT_FALSE(measurement::MlsRunActive());
        ASSERT_EQ(measurement::MlsImpulseValid, 1);
        input::Click(Page(), measurement::kUsePreampBox);
        ASSERT_EQ(Mls.MlsUseMikeCal, 1);
        ASSERT_EQ(Mls.MlsUsePreampCal, 0);
    }
    void TearDown() override {
        measurement::StopMlsRun();
        FileWriteFaultAfterBytes = -1;
        FrameTest::TearDown();
    }
    static HWND Page() { return measurement::MlsControlPage; }
};

struct Writer {
    const char* name;  // what the user does
    const char* file;  // the name chosen in the save dialog
    const char* what;  // the file in the message's words
    void (*save)();
};

const Writer kWriters[] = {
    {"Save Project As", "design.HIF", "project",
     [] { ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdSaveProjectAs)); }},
    {"Save Driver As", "woofer.wfr", "driver",
     [] { ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdSaveDriverAs)); }},
    {"Export SPL/Phase", "response.trg", "SPL/phase export",
     [] { ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdExportSplPhase)); }},
    {"Save IR", "capture.res", "capture",
     [] { input::Click(measurement::MlsControlPage, measurement::kSaveIrButton); }},
    {"Export Cal. Files", "mike.trg", "calibration curve",
     [] { input::Click(measurement::MlsControlPage, measurement::kExportCalButton); }},
};

TEST_F(FrameSaveFailuresTest, EveryFailedSaveSaysWhatWasNotSavedAndWhyGui) {
    int runs = 0;
    for (const Writer& writer : kWriters) {
        for (const qvtest::SaveFailureCase& c : qvtest::kSaveFailureCases) {
            SCOPED_TRACE(std::string(writer.name) + ", " + c.name);
            const qvtest::SaveFailureSetup setup(dir_ / ("case" + std::to_string(runs++)),
                                                 writer.file, c.fault);
            if (!setup.Applies()) continue;
            const std::string title = WindowTitle(FrameWindow);
            input::ClearMessageBoxLog();
            input::ClearFileDialogLog();
            input::ScriptFileDialogAnswers({setup.Target()});
            // The save dialog asks before it replaces what has the file's name.
            if (setup.TargetExists()) input::ScriptMessageBoxAnswers({platform::IDYES});
            writer.save();
            ASSERT_EQ(input::FileDialogLog().size(), 1u);
            ASSERT_TRUE(input::FileDialogLog()[0].chosen);
            ASSERT_FALSE(input::MessageBoxLog().empty());
            const auto& box = input::MessageBoxLog().back();
            EXPECT_EQ(box.text,
                      qvtest::SaveFailureMessage(setup.Target(), writer.what, setup.Reason()));
            EXPECT_EQ(box.caption, "QV Message");
            EXPECT_EQ(box.type, platform::MB_OK | platform::MB_ICONEXCLAMATION);
            EXPECT_EQ(input::MessageBoxLog().size(), setup.TargetExists() ? 2u : 1u)
                << "one message about the failure";
            EXPECT_TRUE(setup.Untouched());
            // Nothing announces a save that did not happen.
            EXPECT_EQ(WindowTitle(FrameWindow), title);
            EXPECT_EQ(ModalDialogOpen, 0);
        }
    }
}

}  // namespace
}  // namespace shell::test
