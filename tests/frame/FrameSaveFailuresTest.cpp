// Saves that fail in the running program, for every writer: on a full disk and with a folder in
// the file's place, each says which file was not saved and why, and leaves what was there.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "measurement/Globals.h"
#include "measurement/Ids.h"
#include "measurement/MlsRun.h"
#include "measurement/MlsWindows.h"
#include "platform/audio/VirtualCard.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "shell/Ids.h"
#include "tests/frame/FrameTestSupport.h"

namespace shell::test {
namespace {

namespace input = platform::testing;

struct Writer {
    const char* file;  // the name chosen in the save dialog
    const char* what;  // the file in the message's words
    int menu, button;  // the frame's menu command, or else the MLS page's button
};

const Writer kWriters[] = {
    {"design.HIF", "project", kCmdSaveProjectAs, 0},
    {"woofer.wfr", "driver", kCmdSaveDriverAs, 0},
    {"response.trg", "SPL/phase export", kCmdExportSplPhase, 0},
    {"capture.res", "capture", 0, measurement::kSaveIrButton},
    {"mike.trg", "calibration curve", 0, measurement::kExportCalButton},
};

using FrameSaveFailures = FrameTest;

// The MLS tool with one measurement taken and only the microphone calibration ticked, so that
// every writer has something to save.
TEST_F(FrameSaveFailures, EveryFailedSaveSaysWhatWasNotSavedAndWhyGui) {
    const double one = 1.0;
    ASSERT_TRUE(platform::VirtualCardSetLoopback(0, 0, &one, 1, 100));
    ASSERT_TRUE(platform::VirtualCardSetLoopback(1, 1, &one, 1, 150));
    ASSERT_EQ(Start(), kStarted);
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdDigitalMls));
    input::Select(measurement::MlsControlPage, measurement::kLengthCombo, 0);
    input::Click(measurement::MlsControlPage, measurement::kRunButton);
    for (int i = 0; i < 100 && measurement::MlsRunActive(); ++i) {
        platform::VirtualCardStep(8192, 48000);
        input::PumpUntilIdle();
    }
    ASSERT_EQ(measurement::MlsImpulseValid, 1);
    input::Click(measurement::MlsControlPage, measurement::kUsePreampBox);
    ASSERT_EQ(Mls.MlsUseMikeCal + Mls.MlsUsePreampCal, 1);

    for (const Writer& w : kWriters) {
        for (const bool full_disk : {true, false}) {
            const std::filesystem::path path =
                dir_ / ((full_disk ? "full " : "folder ") + std::string(w.file));
            SCOPED_TRACE(path.string());
            const std::vector<std::uint8_t> previous = {'o', 'l', 'd'};
            if (full_disk)
                WriteBytes(path, previous.data(), previous.size());
            else
                std::filesystem::create_directory(path);
            const std::string title = WindowTitle(FrameWindow);
            input::ClearMessageBoxLog();
            input::ScriptFileDialogAnswers({path.string()});
            input::ScriptMessageBoxAnswers({platform::IDYES});  // replace what has the name
            FileWriteFaultAfterBytes = full_disk ? 0 : -1;
            if (w.menu != 0)
                input::ChooseMenuItem(FrameWindow, w.menu);
            else
                input::Click(measurement::MlsControlPage, w.button);
            FileWriteFaultAfterBytes = -1;
            ASSERT_EQ(input::MessageBoxLog().size(), 2u);
            EXPECT_EQ(input::MessageBoxLog()[1].text,
                      path.string() + "\n\nThe " + w.what + " has not been saved: " +
                          (full_disk ? "the disk refused the data." : "it is not a regular file."));
            EXPECT_EQ(input::MessageBoxLog()[1].caption, "QV Message");
            EXPECT_TRUE(full_disk ? ReadBytes(path) == previous : std::filesystem::is_empty(path))
                << "what had the file's name changed";
            EXPECT_EQ(WindowTitle(FrameWindow), title) << "a save that failed was announced";
        }
    }
}

}  // namespace
}  // namespace shell::test
