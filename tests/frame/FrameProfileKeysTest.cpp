// The remote's digit keys on profiles that cannot be loaded, while music plays: the message
// says why, and nothing else changes: the play goes on, the configuration window stays open,
// the project and the last project's path (opened again at the next start) stay as they were.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/Ids.h"
#include "platform/audio/VirtualCard.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Window.h"
#include "shell/NumberText.h"
#include "tests/frame/FrameTestSupport.h"

namespace shell::test {
using namespace frame;
namespace {

namespace input = platform::testing;
using platform::HWND;

class FrameProfileKeysTest : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        platform::VirtualCardReset();
        platform::VirtualCardFollowLayerClock(true);
    }
    void TearDown() override {
        platform::VirtualCardFollowLayerClock(false);
        FrameTest::TearDown();
    }
    void Play() {
        if (engine::CurrentPlayState() == engine::PlayState::Playing) return;
        input::Click(ComponentCADSelectionDialog, kPlayButton);
        input::AdvanceTime(2000);
        input::PumpUntilIdle(ComponentCADSelectionDialog);
    }
};

struct Profile {
    const char* name;
    char key;          // the digit pressed: '1'..'9' load profiles 1..9, '0' profile 10
    const char* file;  // the profile's file in the test folder ("" when not assigned)
    enum { kNone, kShort, kLong, kDamaged } content;
    const char* message;
};

const Profile kProfiles[] = {
    {"not assigned", '1', "", Profile::kNone, "Requested Profile Not Found"},
    {"no such file", '2', "gone.HIF", Profile::kNone, "Requested Profile Not Found"},
    {"a short file", '3', "short.HIF", Profile::kShort, "This Project File Is Not recognized"},
    {"one byte too long", '4', "long.HIF", Profile::kLong, "This Project File Is Not recognized"},
    {"the right size, not a project", '0', "damaged.HIF", Profile::kDamaged,
     "This Project File Is Not recognized"},
};

TEST_F(FrameProfileKeysTest, ProfileThatCannotBeLoadedChangesNothingButTheMessageGui) {
    ASSERT_EQ(Start(), kStarted);
    // The project that plays, saved: its path is the last project's.
    const std::string playing = (dir_ / "playing.HIF").string();
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdStereo3Way));
    input::ScriptFileDialogAnswers({playing});
    ASSERT_TRUE(input::ChooseMenuItem(FrameWindow, kCmdSaveProjectAs));
    CopyTextSlot(Preferences->LastProjectPath, playing.c_str());
    const std::vector<std::uint8_t> image = ReadBytes(playing);
    ASSERT_EQ(image.size(), kProjectImageBytes);

    for (const Profile& p : kProfiles) {
        SCOPED_TRACE(p.name);
        const std::string path = *p.file ? (dir_ / p.file).string() : std::string();
        std::vector<std::uint8_t> bytes = image;
        switch (p.content) {
            case Profile::kNone:
                break;
            case Profile::kShort:
                bytes.resize(bytes.size() - 1);
                break;
            case Profile::kLong:
                bytes.push_back(0);
                break;
            case Profile::kDamaged: {
                // Front-Left with 65 elements: more than a pane holds.
                const std::int32_t count = 65;
                std::memcpy(bytes.data() + offsetof(ProjectChannelBlock, ElementCount), &count,
                            sizeof count);
                break;
            }
        }
        if (p.content != Profile::kNone) WriteBytes(path, bytes.data(), bytes.size());
        const int index = p.key == '0' ? 9 : p.key - '1';
        CopyTextSlot(Preferences->ProfilePaths[index], path.c_str());

        Play();
        ASSERT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing);
        const HWND configuration = Splitter1Window;
        ASSERT_TRUE(platform::IsWindow(configuration));
        const std::string frame_title = WindowTitle(FrameWindow);
        const std::string player_title = WindowTitle(ComponentCADSelectionDialog);
        const auto panes = std::make_unique<PaneStore>(PaneStores[0]);
        input::ClearMessageBoxLog();

        input::PressKey(ComponentCADSelectionDialog, p.key, ComponentCADSelectionDialog);
        input::AdvanceTime(1000);
        input::PumpUntilIdle(ComponentCADSelectionDialog);

        ASSERT_EQ(input::MessageBoxLog().size(), 1u);
        EXPECT_EQ(input::MessageBoxLog()[0].text, p.message);
        EXPECT_EQ(input::MessageBoxLog()[0].caption, "QV Message");
        EXPECT_EQ(input::MessageBoxLog()[0].owner, FrameWindow);
        EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Playing) << "the play stopped";
        EXPECT_TRUE(platform::IsWindow(configuration)) << "the configuration window was closed";
        EXPECT_EQ(Splitter1Window, configuration);
        EXPECT_STREQ(Preferences->LastProjectPath, playing.c_str())
            << "the last project's path was replaced";
        EXPECT_EQ(WindowTitle(FrameWindow), frame_title);
        EXPECT_EQ(WindowTitle(ComponentCADSelectionDialog), player_title);
        EXPECT_EQ(std::memcmp(&PaneStores[0], panes.get(), sizeof(PaneStore)), 0)
            << "the project changed";
        EXPECT_EQ(platform::GetFocus(), ComponentCADSelectionDialog)
            << "the player did not get the keyboard back";
    }
    input::Click(ComponentCADSelectionDialog, engine::kStopCommand);
    input::PumpUntilIdle(ComponentCADSelectionDialog);
    EXPECT_EQ(engine::CurrentPlayState(), engine::PlayState::Stopped);
}

}  // namespace
}  // namespace shell::test
