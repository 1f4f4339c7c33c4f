// The test-tone generator: levels, channel placement by layout, phase continuity across blocks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <vector>

#include "engine/TestTones.h"
#include "tests/ReadableNames.h"

namespace {

TEST(TestTone, QuarterRateOnPortOneAtUnityVolume) {
    const int f = 1024, channels = 8;
    std::vector<std::int32_t> block(f * channels, 77);
    double phase = 0.0;
    engine::GenerateToneBlock(12000.0f, f, channels, 1, 51, 48000.0, phase, block.data());
    const int pattern[4] = {0, 356000000, 0, -356000000};
    for (int n = 0; n < f; ++n) {
        ASSERT_NEAR(block[n * channels], pattern[n % 4], 64) << "frame " << n;
        for (int c = 1; c < channels; ++c) ASSERT_EQ(block[n * channels + c], 0) << n << "," << c;
    }
}

struct LevelCase {
    int volume;
};
void PrintTo(const LevelCase& c, std::ostream* os) { *os << "volume " << c.volume; }
class ToneLevel : public ::testing::TestWithParam<LevelCase> {};
TEST_P(ToneLevel, PeakFollowsTheVolumePositionNotTheMasterGain) {
    const int volume = GetParam().volume;
    const double want =
        3560000.0 * double(static_cast<float>(std::pow(10.0, (volume - 51) * 0.05) * 100.0));
    const int f = 4096, channels = 16;
    std::vector<std::int32_t> block(f * channels);
    double phase = 0.0;
    // 100 Hz at 48 kHz: the peak frame lands within 0.0002 of the crest.
    engine::GenerateToneBlock(100.0f, f, channels, 17, volume, 48000.0, phase, block.data());
    std::int32_t peak = 0;
    for (int n = 0; n < f; ++n) peak = std::max(peak, block[n * channels + 5]);
    EXPECT_NEAR(peak, want, want * 1e-4) << "volume " << volume;
    EXPECT_LT(peak, 2147483647);
}
INSTANTIATE_TEST_SUITE_P(Table, ToneLevel,
                         ::testing::Values(LevelCase{0}, LevelCase{9}, LevelCase{51},
                                           LevelCase{66}),
                         qvtest::ReadableName());

TEST(TestTone, UnityVolumePeakIs356Million) {
    std::vector<std::int32_t> block(4096 * 8);
    double phase = 0.0;
    engine::GenerateToneBlock(1000.0f, 4096, 8, 1, 51, 48000.0, phase, block.data());
    std::int32_t peak = 0;
    for (int n = 0; n < 4096; ++n) peak = std::max(peak, block[n * 8]);
    EXPECT_NEAR(peak, 356000000, 40000);
}

struct PlacementCase {
    int channels;
    int selector;
    int written;  // channel that carries the tone, -1 none, 99 all
};
void PrintTo(const PlacementCase& c, std::ostream* os) {
    *os << c.channels << " channels, selector " << c.selector << ", tone on ";
    if (c.written == -1)
        *os << "none";
    else if (c.written == 99)
        *os << "all";
    else
        *os << "channel " << c.written;
}
class TonePlacement : public ::testing::TestWithParam<PlacementCase> {};
TEST_P(TonePlacement, SelectorChoosesTheChannelsOfTheLayout) {
    const PlacementCase c = GetParam();
    const int f = 1024;
    std::vector<std::int32_t> block(f * c.channels, -5);
    double phase = 0.3;
    engine::GenerateToneBlock(440.0f, f, c.channels, c.selector, 51, 44100.0, phase, block.data());
    for (int n = 0; n < f; ++n) {
        const std::int32_t first = block[n * c.channels];
        for (int ch = 0; ch < c.channels; ++ch) {
            const std::int32_t w = block[n * c.channels + ch];
            if (c.written == 99) {
                ASSERT_EQ(w, first) << "all channels carry the same word";
            } else if (ch != c.written) {
                ASSERT_EQ(w, 0) << "frame " << n << " channel " << ch;
            }
        }
    }
    if (c.written >= 0 && c.written != 99) {
        std::int32_t peak = 0;
        for (int n = 0; n < f; ++n) peak = std::max(peak, block[n * c.channels + c.written]);
        EXPECT_GT(peak, 300000000);
    }
}
INSTANTIATE_TEST_SUITE_P(Table, TonePlacement,
                         ::testing::Values(PlacementCase{8, 12, -1}, PlacementCase{8, 0, -1},
                                           PlacementCase{8, 8, 7}, PlacementCase{16, 12, 11},
                                           PlacementCase{16, 17, 99}, PlacementCase{10, 17, 99},
                                           PlacementCase{10, 10, 9}, PlacementCase{10, 11, -1}),
                         qvtest::ReadableName());

TEST(TestTone, PhaseContinuesAcrossBlocks) {
    const int f = 1024;
    double phase_a = 0.0, phase_b = 0.0;
    std::vector<std::int32_t> a(f), b(f), w(2 * f);
    engine::GenerateToneBlock(997.0f, f, 1, 1, 51, 48000.0, phase_a, a.data());
    engine::GenerateToneBlock(997.0f, f, 1, 1, 51, 48000.0, phase_a, b.data());
    engine::GenerateToneBlock(997.0f, 2 * f, 1, 1, 51, 48000.0, phase_b, w.data());
    for (int n = 0; n < f; ++n) {
        ASSERT_EQ(a[n], w[n]);
        ASSERT_EQ(b[n], w[f + n]) << "frame " << f + n;
    }
    EXPECT_DOUBLE_EQ(phase_a, phase_b);
    // Against the closed form: sample n is sin(2 pi f n / rate) with the wrap folded in.
    for (int n = 0; n < 2 * f; n += 37) {
        const double want = std::sin(6.283185307179586 * 997.0 * n / 48000.0) * 356000000.0;
        ASSERT_NEAR(w[n], want, 300.0) << n;
    }
    EXPECT_LE(phase_b, 6.283185307179586);
    EXPECT_GE(phase_b, 0.0);
}

TEST(TestTone, ZeroFrequencyHoldsThePhase) {
    std::vector<std::int32_t> block(256 * 8);
    double phase = 1.0;
    engine::GenerateToneBlock(0.0f, 256, 8, 2, 51, 48000.0, phase, block.data());
    const std::int32_t want = static_cast<std::int32_t>(std::sin(1.0) * 356000000.0);
    for (int n = 0; n < 256; ++n) ASSERT_NEAR(block[n * 8 + 1], want, 64);
    EXPECT_EQ(phase, 1.0);
}

}  // namespace

// ---- The Test Tones dialog ---------------------------------------------------------------------

#include "engine/Engine.h"
#include "engine/Globals.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/Harness.h"
#include "platform/testing/Input.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"
#include "shell/Globals.h"
#include "tests/engine/EngineTestSupport.h"

namespace {

using namespace platform;
namespace pt = platform::testing;

class TestTonesDialog : public ::testing::Test {
  protected:
    HWND owner{};
    void SetUp() override {
        pt::ResetLayer();
        resources::RegisterAll();
        engine::test::ResetFolders();
        WNDCLASS wc{};
        wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) {
            return DefWindowProc(h, m, w, l);
        };
        wc.lpszClassName = "EngineToneOwner";
        RegisterClass(&wc);
        owner = CreateWindow("EngineToneOwner", "", WS_VISIBLE, 0, 0, 100, 100, HWND{}, HMENU{},
                             HINSTANCE{}, nullptr);
    }
    void TearDown() override { DestroyWindow(owner); }
};

TEST_F(TestTonesDialog, ChoicesTakeEffectAtOnceAndCancelKeepsThem) {
    int modal_seen = -1;
    pt::OnModalDialog("QUORVEX_LINEARIZER_TEST_TONES", [&](HWND dialog) {
        modal_seen = shell::ModalDialogOpen;
        char text[16] = {};
        GetDlgItemText(dialog, 5038, text, sizeof text);
        EXPECT_STREQ(text, "1000.0");
        EXPECT_EQ(SendDlgItemMessage(dialog, 5037, CB_GETCOUNT, 0, 0), 18);
        EXPECT_EQ(SendDlgItemMessage(dialog, 5037, CB_GETCURSEL, 0, 0), 0);
        pt::TypeText(dialog, 5038, "440.5");
        pt::Select(dialog, 5037, 3);
        pt::Click(dialog, 2);  // Cancel
    });
    EXPECT_EQ(engine::TestTonesCommand(owner), 0);
    EXPECT_EQ(modal_seen, 1);
    EXPECT_EQ(shell::ModalDialogOpen, 0);
    EXPECT_EQ(engine::TestToneSelector, 3);
    EXPECT_FLOAT_EQ(engine::TestToneFrequency, 440.5f);
    EXPECT_STREQ(engine::TestToneText, "440.5");

    pt::OnModalDialog("QUORVEX_LINEARIZER_TEST_TONES", [&](HWND dialog) {
        EXPECT_EQ(SendDlgItemMessage(dialog, 5037, CB_GETCURSEL, 0, 0), 3);
        pt::TypeText(dialog, 5038, "abc");
        pt::Select(dialog, 5037, 17);
        pt::Click(dialog, 1);  // Done
    });
    EXPECT_EQ(engine::TestTonesCommand(owner), 1);
    EXPECT_EQ(engine::TestToneSelector, 17);
    EXPECT_FLOAT_EQ(engine::TestToneFrequency, 0.0f);
}

TEST_F(TestTonesDialog, TheFrequencyIsTheTextsLeadingNumber) {
    struct Case {
        const char* text;
        float hz;
    };
    const Case cases[] = {{"1000 Hz", 1000.0f}, {"250.5Hz", 250.5f}, {"2e3", 2000.0f},
                          {"nan", 0.0f},        {"inf", 0.0f},       {"0x100", 0.0f},
                          {"1e39", 0.0f}};
    for (const Case& c : cases) {
        pt::OnModalDialog("QUORVEX_LINEARIZER_TEST_TONES", [&](HWND dialog) {
            pt::TypeText(dialog, 5038, c.text);
            pt::Click(dialog, 1);
        });
        engine::TestToneFrequency = -1.0f;
        EXPECT_EQ(engine::TestTonesCommand(owner), 1) << c.text;
        EXPECT_FLOAT_EQ(engine::TestToneFrequency, c.hz) << c.text;
        EXPECT_STREQ(engine::TestToneText, c.text);
    }
}

TEST_F(TestTonesDialog, RefusedWhileAudioIsBusy) {
    shell::AudioBusy = 1;
    EXPECT_EQ(engine::TestTonesCommand(owner), 0);
    EXPECT_EQ(pt::PendingModalActions(), 0u);
    shell::AudioBusy = 0;
}

}  // namespace

TEST(TestTone, VolumeOutsideTheScrollBarCountsAsItsEnds) {
    const int f = 1024, channels = 8;
    for (const int volume :
         {1000, std::numeric_limits<int>::max(), -1, std::numeric_limits<int>::min()}) {
        std::vector<std::int32_t> got(f * channels), want(f * channels);
        double phase_got = 0.0, phase_want = 0.0;
        engine::GenerateToneBlock(100.0f, f, channels, 1, volume, 48000.0, phase_got, got.data());
        engine::GenerateToneBlock(100.0f, f, channels, 1, volume > 0 ? 66 : 0, 48000.0, phase_want,
                                  want.data());
        EXPECT_EQ(got, want) << "volume " << volume;
    }
}
