// Helpers of the frame tests: the program started headless in a fresh temporary folder (its
// program directory), wired as the program runs, and what its player dialog did.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "driverdata/Globals.h"
#include "engine/Engine.h"
#include "engine/Globals.h"
#include "engine/PlayerDialog.h"
#include "frame/Program.h"
#include "frame/ResetProgram.h"
#include "measurement/Globals.h"
#include "network/EditorState.h"
#include "network/Globals.h"
#include "network/PaneDrawing.h"
#include "network/Templates.h"
#include "network/WorkingNetwork.h"
#include "platform/audio/VirtualCard.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/WindowImage.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Resources.h"
#include "platform/ui/Window.h"
#include "shell/FrameGlobals.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "shell/PreferencesRecord.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"
#include "solver/Globals.h"
#include "tests/shell/ShellTestSupport.h"

namespace shell::test {

using namespace frame;

// ---- What the player dialog did ----

// The channel buttons and Play that the program's player dialog has acted on since the last
// Clear, in order, as their effects show them: a channel button makes its pane the active one,
// Play starts the engine. Each call looks at the effects once more and returns what it has seen,
// so a test looks at least once per pressed button (AdvanceTimeWatchingPlayer). Once Play is
// seen, channels are no longer counted: Play's own start presses Front Left and Front Right.
class PlayerEffects {
  public:
    void Clear() {
        seen_.clear();
        pane_ = network::ActivePane;
        playing_ = engine::CurrentPlayState() != engine::PlayState::Stopped;
    }
    const std::vector<int>& operator()() {
        const bool playing = engine::CurrentPlayState() != engine::PlayState::Stopped;
        const bool after_play = playing_ || playing;
        if (network::ActivePane != pane_) {
            pane_ = network::ActivePane;
            for (int button = kFrontLeftButton; button <= kSub2Button && !after_play; ++button) {
                if (pane_ != 0 && engine::PaneOfChannelButton(button) == pane_) {
                    seen_.push_back(button);
                }
            }
        }
        if (playing && !playing_) seen_.push_back(kPlayButton);
        playing_ = playing;
        return seen_;
    }

  private:
    std::vector<int> seen_;
    int pane_ = 0;
    bool playing_ = false;
};

inline PlayerEffects& PlayerEffectsSeen() {
    static PlayerEffects effects;
    return effects;
}
inline const std::vector<int>& PlayerCommands() { return PlayerEffectsSeen()(); }
inline void ClearPlayerCommands() { PlayerEffectsSeen().Clear(); }

// Advances the clock by `ms` in steps of 100 ms, looking at the player's effects after each.
inline void AdvanceTimeWatchingPlayer(std::int64_t ms) {
    for (std::int64_t done = 0; done < ms; done += 100) {
        platform::testing::AdvanceTime(std::min<std::int64_t>(100, ms - done));
        PlayerCommands();
    }
}

// ---- Files of the program directory ----

// A preferences file with the defaults and what `edit` changes.
template <class Edit>
void WritePreferencesFile(const std::filesystem::path& dir, Edit edit) {
    auto record = std::make_unique<PreferencesRecord>();
    InitPreferencesRecord(record.get());
    edit(*record);
    WriteBytes(dir / "QV_Preferences.pre", record.get(), sizeof(PreferencesRecord));
}

inline std::string MenuText(platform::HMENU menu, int id) {
    char text[kDirectorySlot + 8] = {};
    platform::GetMenuString(menu, static_cast<platform::UINT>(id), text, sizeof text,
                            platform::MF_BYCOMMAND);
    return text;
}

inline std::string WindowTitle(platform::HWND window) {
    char text[kFrameTitleSlot] = {};
    platform::GetWindowText(window, text, sizeof text);
    return text;
}

// What a window shows, pixel by pixel, top row first (0x00RRGGBB); *width its width in pixels.
inline std::vector<std::uint32_t> ShownPixels(platform::HWND window, int* width = nullptr) {
    std::vector<std::uint32_t> pixels;
    const platform::HBITMAP image = platform::CreateWindowImage(window);
    if (!image) return pixels;
    platform::BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    const int rows = platform::GetDIBits(platform::HDC{}, image, 0, 0, nullptr, &info, 0);
    info.biHeight = -rows;
    pixels.resize(static_cast<std::size_t>(info.biWidth) * rows);
    platform::GetDIBits(platform::HDC{}, image, 0, rows, pixels.data(), &info, 0);
    platform::DeleteObject(image);
    if (width != nullptr) *width = info.biWidth;
    return pixels;
}

inline int CountBoxes(const std::string& text) {
    int count = 0;
    for (const auto& entry : platform::testing::MessageBoxLog()) count += entry.text == text;
    return count;
}

// ---- The fixture ----

class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_dir_ = std::filesystem::current_path();
        dir_ = MakeTempFolder("frame");
        std::filesystem::current_path(dir_);
        platform::testing::ResetLayer();
        // Every folder of the program back to its start values, the frame's own included.
        frame::ResetProgram();
        platform::VirtualCardReset();
        ClearPlayerCommands();
        ProgramAllocators() =
            StartupAllocators{&AllocMainBuffers, &AllocCurveBuffers, &AllocDspBuffers};
    }

    void TearDown() override {
        ReleaseProgramResources();
        platform::testing::PumpUntilIdle();
        platform::testing::ResetLayer();
        std::filesystem::current_path(previous_dir_);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    int Start() {
        const int code = StartProgram(platform::HINSTANCE::FromIndex(1), platform::HINSTANCE{},
                                      platform::SW_SHOW);
        platform::testing::PumpUntilIdle();
        return code;
    }

    std::filesystem::path dir_;
    std::filesystem::path previous_dir_;
};

}  // namespace shell::test
