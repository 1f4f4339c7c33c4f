// The player's refusals as a person meets them on a real X server, on the virtual card: a WAV file
// at another sampling rate than the project's is refused with both rates named; a file of zeros
// is refused at once; a sound device the player could not close is closed at the next STOP, and
// when it still will not close the player says so once.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "engine/Engine.h"
#include "engine/Globals.h"
#include "engine/Ids.h"
#include "platform/audio/VirtualCard.h"
#include "platform/ui/Dialog.h"
#include "shell/DevicesLeftOpen.h"
#include "shell/FrameGlobals.h"
#include "shell/Globals.h"
#include "shell/Ids.h"
#include "tests/x11/ProgramOnScreen.h"

namespace x11test {
namespace {

namespace screen = platform::testing;

void Put32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A stereo 16-bit file of half a second of silence at `rate`.
std::string WriteWav(const std::string& name, std::uint32_t rate) {
    std::string fmt;
    for (std::uint32_t v : {1u | (2u << 16), rate, 4 * rate, 4u | (16u << 16)}) Put32(fmt, v);
    const std::string data(2 * rate, '\0');
    std::string body = "WAVEfmt ";
    Put32(body, static_cast<std::uint32_t>(fmt.size()));
    body += fmt + "data";
    Put32(body, static_cast<std::uint32_t>(data.size()));
    body += data;
    std::string file = "RIFF";
    Put32(file, static_cast<std::uint32_t>(body.size()));
    file += body;
    const std::string path = (std::filesystem::current_path() / name).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    if (f != nullptr) {
        EXPECT_EQ(std::fwrite(file.data(), 1, file.size(), f), file.size());
        std::fclose(f);
    }
    return path;
}

// Answers the message box of this text with OK, once it has the focus.
void AnswerBox(Driver& d, const std::string& text, const char* picture) {
    ASSERT_TRUE(d.WaitForBox(text)) << "no box \"" << text << "\"; up: " << d.DescribeModal();
    d.WaitFor([] {
        screen::QtModal modal;
        return screen::ActiveQtModal(&modal) && modal.active;
    });
    if (picture != nullptr) d.Screenshot(picture);
    ASSERT_TRUE(d.ClickQtModalButton("OK"));
    ASSERT_TRUE(d.WaitNoModal()) << d.DescribeModal();
}

class PlayerRefusals : public ProgramOnScreen {};

TEST_F(PlayerRefusals, WavFilesAtAnotherRateOrOfZerosAreRefusedWithTheirMessage) {
    const std::string other_rate = WriteWav("tone 44100.wav", 44100);
    const std::string zeros = (std::filesystem::current_path() / "zeros.wav").string();
    {
        std::FILE* f = std::fopen(zeros.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
        std::filesystem::resize_file(zeros, 256u << 20);  // sparse: no disk
    }
    RunProgram([&](Driver& d) {
        PassFirstStartBox(d);
        const HWND player = OnUi([] { return shell::ComponentCADSelectionDialog; });
        d.ClickControl(player, engine::kPlayWavFileCheck);
        ASSERT_TRUE(d.WaitFor([] { return engine::PlayWavMode == 1; }));

        d.ClickControl(player, shell::kPlayButton);
        ASSERT_TRUE(d.AnswerFileChooser(other_rate)) << d.DescribeModal();
        AnswerBox(d,
                  "The WAV file is sampled at 44100 Hz, but the project's sampling rate is 48000 "
                  "Hz.\nPlease choose a WAV file sampled at 48000 Hz.",
                  "wav_rate_refused");
        EXPECT_EQ(OnUi([] { return engine::CurrentPlayState(); }), engine::PlayState::Stopped);

        d.ClickControl(player, shell::kPlayButton);
        ASSERT_TRUE(d.AnswerFileChooser(zeros)) << d.DescribeModal();
        AnswerBox(d, "Not a WAV-audio file", nullptr);
        EXPECT_EQ(OnUi([] { return engine::CurrentPlayState(); }), engine::PlayState::Stopped);

        d.ClickControl(player, engine::kPlayWavFileCheck);
        EXPECT_TRUE(d.WaitFor([] { return engine::PlayWavMode == 0; }));
    });
    std::filesystem::remove(zeros);
}

TEST_F(PlayerRefusals, ADeviceLeftOpenIsClosedAtTheNextStop) {
    RunProgram([](Driver& d) {
        PassFirstStartBox(d);
        const HWND player = OnUi([] { return shell::ComponentCADSelectionDialog; });
        d.ClickControl(player, shell::kPlayButton);
        ASSERT_TRUE(d.WaitFor(
            [] { return engine::CurrentPlayState() == engine::PlayState::Playing; }, 15000))
            << d.DescribeModal();
        // The card refuses the reset and the close of the input four times: twice at STOP, twice
        // at the next STOP's try.
        OnUi([] {
            platform::VirtualCardFailCall(platform::WaveCall::InReset, platform::MMSYSERR_ERROR, 0,
                                          4);
            platform::VirtualCardFailCall(platform::WaveCall::InClose, platform::MMSYSERR_ERROR, 0,
                                          4);
        });
        d.ClickControl(player, engine::kStopCommand);
        DismissBoxes(d);  // the failed steps of the close
        ASSERT_TRUE(d.WaitFor([] {
            return engine::CurrentPlayState() == engine::PlayState::Stopped &&
                   shell::DevicesLeftOpen() == 1;
        }));

        d.ClickControl(player, engine::kStopCommand);
        AnswerBox(d, shell::kDeviceLeftOpenText, "device_left_open");
        EXPECT_EQ(OnUi([] { return platform::OpenWaveDeviceCount(); }), 1);

        // The card no longer refuses: the next STOP closes the device and says nothing.
        d.ClickControl(player, engine::kStopCommand);
        EXPECT_TRUE(d.WaitFor([] { return platform::OpenWaveDeviceCount() == 0; }));
        screen::QtModal modal;
        EXPECT_FALSE(d.WaitFor([&] { return screen::ActiveQtModal(&modal); }, 1500))
            << "a box came up: " << modal.text;
    });
}

}  // namespace
}  // namespace x11test
