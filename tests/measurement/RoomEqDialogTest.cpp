// The "Room_EQ" dialog on a loaded capture: a location processed, evaluated and auto-saved, the
// refused loads, the busy state, the edits and Done.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "MeasurementTestSupport.h"
#include "measurement/CaptureFile.h"
#include "measurement/Ids.h"
#include "measurement/MlsRun.h"
#include "measurement/MlsSequences.h"
#include "measurement/RoomEq.h"
#include "measurement/RoomEqLocation.h"
#include "measurement/RoomEqPlots.h"
#include "network/EditorState.h"
#include "platform/audio/VirtualCard.h"
#include "platform/gdi/Gdi.h"
#include "platform/testing/DrawnTexts.h"
#include "platform/testing/Input.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"
#include "resources/Resources.h"
#include "shell/GdiObjects.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"
#include "tests/shell/ShellTestSupport.h"

namespace measurement::test {
namespace {

using platform::HWND;
constexpr int kElement = 5;
constexpr int kLengthIndex = 3;  // order 16

void PutWord(std::uint8_t* capture, int word, std::int32_t value) {
    std::memcpy(capture + 4 * static_cast<std::size_t>(word), &value, 4);
}

class RoomEqDialogTest : public MeasurementTest {
  protected:
    void SetUp() override {
        MeasurementTest::SetUp();
        resources::RegisterAll();
        ASSERT_TRUE(AllocMlsCaptureCopies());
        shell::WorkingNetwork = shell::NetworkTables{};
        for (int r = 0; r < shell::kRoomEqCurveCount; ++r)
            std::memset(shell::RoomEQCurves[r], 0, sizeof(shell::CurveRecord));
        shell::WorkingNetwork.ElementGeometry[kElement].kind = shell::kElementRoomEq;
        p_ = shell::WorkingNetwork.ElementParams[kElement];
        p_[shell::kParamF1] = 10.1f;
        p_[shell::kParamF2] = 250.0f;
        p_[shell::kParamCorrectionPort] = 16.0f;
        for (auto& v : shell::WorkingNetwork.ElementTransfer[kElement]) v = {1.0f, 0.0f};
        network::SelectedElement = kElement;
        network::ActivePane = 1;
        std::snprintf(shell::ProgramDirectory, sizeof shell::ProgramDirectory, "%s/", dir_.c_str());
        shell::Mls.MlsUseSavedBuffer = 1;
        std::snprintf(shell::Mls.MlsWindowWidthText, sizeof shell::Mls.MlsWindowWidthText, "4000");
    }
    // A capture file of the sequence on the reference and a loud mode on the measured channel,
    // taken at the rate of `rate_index` (48000 Hz by default).
    std::string WriteCapture(const char* name, int rate_index = 5) {
        const int order = kLengthIndex + 13, length = (1 << order) - 1;
        EXPECT_TRUE(BuildMlsSequence(order));
        // The sequence is played once.
        auto s = [&](int i) {
            return i < 0 || i >= length ? 0 : MlsBit(shell::MlsBitBuffer, i) ? -1 : 1;
        };
        for (int f = 0; f < static_cast<int>(kMlsCaptureFrames); ++f) {
            PutWord(MlsCaptureSave, 2 * f, 10000 * s(f - 300) * 256);
            PutWord(MlsCaptureSave, 2 * f + 1, (9000 * s(f - 350) - 3000 * s(f - 351)) * 256);
        }
        shell::Mls.MlsSampleRateIndex = rate_index;
        shell::Mls.MlsLengthIndex = kLengthIndex;
        const std::string path = PathOf(name);
        EXPECT_TRUE(WriteMlsCaptureFile(HWND{}, path.c_str()));
        return path;
    }
    platform::INT_PTR Run(std::function<void(HWND)> action) {
        platform::testing::OnModalDialog("Room_EQ", std::move(action));
        return platform::DialogBox(shell::AppInstance, "Room_EQ", HWND{}, &RoomEQDlgProc);
    }
    static void Send(HWND d, int id) {
        platform::SendMessage(d, platform::WM_COMMAND, static_cast<platform::WPARAM>(id), 0);
    }
    static float* Curve(int r) { return shell::RoomEQCurves[r]->v; }
    float* p_ = nullptr;
};

TEST_F(RoomEqDialogTest, LoadedLocationIsProcessedSavedAndHandedToTheElement) {
    const std::string capture = WriteCapture("mode.res");
    platform::testing::ScriptFileDialogAnswers({capture});
    RoomEQThresholdPos = 125;  // threshold far below the room: a cut everywhere in the band
    const auto result = Run([](HWND d) {
        Send(d, kFirstLocation + 2);
        Send(d, 1);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{});
    EXPECT_EQ(Curve(kRoomEqLevel + 2)[shell::kCurveHoldsData], 1.0f);
    for (int l : {0, 1, 3, 4, 5}) EXPECT_EQ(Curve(kRoomEqLevel + l)[shell::kCurveHoldsData], 0.0f);
    const auto saved = dir_ / "Front_Left_L3.res";
    ASSERT_TRUE(std::filesystem::exists(saved));
    EXPECT_EQ(std::filesystem::file_size(saved), kMlsCaptureFileBytes);
    EXPECT_EQ(MlsOrder, kLengthIndex + 13);
    EXPECT_EQ(Curve(kRoomEqExcessMean)[0], Curve(kRoomEqExcessMean)[2]) << "the road's own ends";
    // Done wrote the cut (below 1 in the band) into the element's curve.
    const shell::ComplexPoint& at100 = shell::WorkingNetwork.ElementTransfer[kElement][700];
    EXPECT_LT(std::hypot(at100.re, at100.im), 0.99f);
    EXPECT_EQ(shell::AudioBusy, 0);
    // The location's capture is now the one Save IR writes: what the auto-save wrote.
    MlsImpulseValid = 1;
    platform::testing::ScriptFileDialogAnswers({PathOf("held.res")});
    ASSERT_EQ(SaveMlsCaptureAs(), 1);
    EXPECT_TRUE(shell::test::ReadBytes(PathOf("held.res")) == shell::test::ReadBytes(saved));
}

// A location whose capture cannot be saved says so and why; its measurement stands.
TEST_F(RoomEqDialogTest, FailedAutoSaveSaysTheCaptureWasNotSavedAndWhy) {
    const std::string capture = WriteCapture("mode.res");
    const auto saved = dir_ / "Front_Left_L3.res";
    std::filesystem::create_directory(saved);
    platform::testing::ScriptFileDialogAnswers({capture});
    Run([](HWND d) {
        Send(d, kFirstLocation + 2);
        Send(d, 2);
    });
    const std::string text = "\n\nThe capture has not been saved: it is not a regular file.";
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{saved.string() + text});
    EXPECT_TRUE(std::filesystem::is_empty(saved));
    EXPECT_EQ(Curve(kRoomEqLevel + 2)[shell::kCurveHoldsData], 1.0f);
}

TEST_F(RoomEqDialogTest, RefusedLoadsChangeNothing) {
    const std::string capture = WriteCapture("good.res");
    const std::string short_file = PathOf("short.res");
    std::filesystem::copy_file(capture, short_file);
    std::filesystem::resize_file(short_file, 1000);
    struct Case {
        std::string answer;
        std::size_t messages;  // a missing file: the create prompt, then its name
    };
    const Case cases[] = {{"", 0}, {PathOf("missing.res"), 2}, {short_file, 1}};
    for (const Case& c : cases) {
        platform::testing::ClearMessageBoxLog();
        // A capture of an earlier location is still in memory.
        std::memset(MlsCaptureCopy, 0x11, kMlsCaptureBytes);
        platform::testing::ScriptFileDialogAnswers({c.answer});
        const auto result = Run([](HWND d) {
            Send(d, kFirstLocation + 1);
            Send(d, 2);
        });
        EXPECT_EQ(result, 2);
        EXPECT_EQ(MessageTexts().size(), c.messages)
            << c.answer << ::testing::PrintToString(MessageTexts());
        EXPECT_FALSE(std::filesystem::exists(dir_ / "Front_Left_L2.res")) << c.answer;
        EXPECT_EQ(Curve(kRoomEqLevel + 1)[shell::kCurveHoldsData], 0.0f);
        EXPECT_EQ(shell::AudioBusy, 0);
        EXPECT_EQ(shell::WorkingNetwork.ElementTransfer[kElement][700].re, 1.0f);
    }
}

TEST_F(RoomEqDialogTest, LiveLocationOnTheVirtualCardWithTheLocationFrozen) {
    const double ref_tap = 1.0;
    const double room[2] = {0.5, -0.25};
    ASSERT_TRUE(platform::VirtualCardSetLoopback(0, 0, &ref_tap, 1, 100));
    ASSERT_TRUE(platform::VirtualCardSetLoopback(1, 0, room, 2, 160));
    shell::Mls.MlsUseSavedBuffer = 0;
    shell::Mls.MlsOutputLevel = 20;
    const auto result = Run([](HWND d) {
        platform::SendDlgItemMessage(d, kLengthCombo, platform::CB_SETCURSEL, 0, 0);  // order 13
        Send(d, kLengthCombo);
        Send(d, kFirstLocation + 1);
        EXPECT_EQ(shell::AudioBusy, 1);
        Send(d, kFirstLocation + 4);  // chosen while the capture runs: ignored
        // So are these settings; their boxes show them again.
        const struct {
            int id, row, setting;
        } boxes[] = {{kRateCombo, 4, shell::Mls.MlsSampleRateIndex},
                     {kLengthCombo, 3, shell::Mls.MlsLengthIndex},
                     {kCorrectionPort, 2, 16}};
        for (const auto& box : boxes) {
            platform::testing::Select(d, box.id, box.row);
            EXPECT_EQ(platform::SendDlgItemMessage(d, box.id, platform::CB_GETCURSEL, 0, 0),
                      box.setting)
                << "box " << box.id;
        }
        EXPECT_EQ(shell::Mls.MlsSampleRateIndex, boxes[0].setting);
        EXPECT_EQ(shell::Mls.MlsLengthIndex, boxes[1].setting);
        EXPECT_EQ(shell::WorkingNetwork.ElementParams[kElement][shell::kParamCorrectionPort],
                  16.0f);
        for (int i = 0; i < 100 && MlsRunActive(); ++i) {
            platform::VirtualCardStep(8192, 48000);
            platform::testing::PumpUntilIdle();
        }
        platform::testing::PumpUntilIdle();
        Send(d, 1);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{});
    EXPECT_EQ(RoomEQLocation, 1);
    EXPECT_EQ(Curve(kRoomEqLevel + 1)[shell::kCurveHoldsData], 1.0f);
    EXPECT_EQ(Curve(kRoomEqLevel + 4)[shell::kCurveHoldsData], 0.0f);
    EXPECT_EQ(std::filesystem::file_size(dir_ / "Front_Left_L2.res"), kMlsCaptureFileBytes);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Front_Left_L5.res"));
    EXPECT_EQ(shell::AudioBusy, 0);
    EXPECT_EQ(platform::OpenWaveDeviceCount(), 0);
}

TEST_F(RoomEqDialogTest, InterruptedRunChangesNothing) {
    shell::Mls.MlsUseSavedBuffer = 0;
    const auto result = Run([](HWND d) {
        Send(d, kFirstLocation + 2);
        EXPECT_TRUE(MlsRunActive());
        platform::VirtualCardStep(8192, 48000);
        platform::testing::PumpUntilIdle();
        Send(d, 2);
    });
    EXPECT_EQ(result, 2);
    EXPECT_FALSE(MlsRunActive());
    EXPECT_EQ(shell::AudioBusy, 0);
    EXPECT_EQ(platform::OpenWaveDeviceCount(), 0);
    EXPECT_EQ(Curve(kRoomEqLevel + 2)[shell::kCurveHoldsData], 0.0f);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Front_Left_L3.res"));
    EXPECT_EQ(shell::WorkingNetwork.ElementTransfer[kElement][700].re, 1.0f);
}

TEST_F(RoomEqDialogTest, ClearAllDuringACaptureEndsItAndNothingIsStored) {
    const double ref_tap = 1.0;
    const double room[2] = {0.5, -0.25};
    ASSERT_TRUE(platform::VirtualCardSetLoopback(0, 0, &ref_tap, 1, 100));
    ASSERT_TRUE(platform::VirtualCardSetLoopback(1, 0, room, 2, 160));
    shell::Mls.MlsUseSavedBuffer = 0;
    auto finish = [] {
        for (int i = 0; i < 100 && MlsRunActive(); ++i) {
            platform::VirtualCardStep(8192, 48000);
            platform::testing::PumpUntilIdle();
        }
        for (int i = 0; i < 10; ++i) platform::VirtualCardStep(8192, 48000);
        platform::testing::PumpUntilIdle();
    };
    const auto result = Run([&](HWND d) {
        platform::SendDlgItemMessage(d, kLengthCombo, platform::CB_SETCURSEL, 0, 0);  // order 13
        Send(d, kLengthCombo);
        Send(d, kFirstLocation + 1);
        platform::VirtualCardStep(8192, 48000);
        platform::testing::PumpUntilIdle();
        EXPECT_EQ(shell::AudioBusy, 1) << "both devices are open";
        EXPECT_EQ(platform::OpenWaveDeviceCount(), 2);
        Send(d, kClearAll);
        EXPECT_FALSE(MlsRunActive());
        EXPECT_EQ(platform::OpenWaveDeviceCount(), 0);
        EXPECT_EQ(shell::AudioBusy, 0);
        finish();
        EXPECT_EQ(Curve(kRoomEqLevel + 1)[shell::kCurveHoldsData], 0.0f);
        // The next location measures for itself.
        Send(d, kFirstLocation + 4);
        EXPECT_EQ(shell::AudioBusy, 1);
        finish();
        Send(d, 1);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{});
    for (int l = 0; l < 6; ++l)
        EXPECT_EQ(Curve(kRoomEqLevel + l)[shell::kCurveHoldsData], l == 4 ? 1.0f : 0.0f) << l;
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Front_Left_L2.res"));
    EXPECT_EQ(std::filesystem::file_size(dir_ / "Front_Left_L5.res"), kMlsCaptureFileBytes);
    EXPECT_EQ(shell::AudioBusy, 0);
    EXPECT_EQ(platform::OpenWaveDeviceCount(), 0);
}

TEST_F(RoomEqDialogTest, GateBelowItsSmallestIsWrittenBackToTheEdits) {
    struct Row {
        int rate_index;
        int edit;  // the width in samples or in ms
        const char* typed;
        const char* width;  // edit and setting afterwards
        const char* time;
    } rows[] = {
        {5, kWindowWidthEdit, "3", "48.0", "1.000000"},
        {5, kWindowWidthEdit, "-5", "48.0", "1.000000"},
        {5, kWindowWidthEdit, "x", "48.0", "1.000000"},
        {5, kWindowWidthEdit, "96", "96", "2.000000"},
        {5, kWindowMsEdit, "0.5", "48.00000", "1.0"},
        {5, kWindowMsEdit, "0", "48.00000", "1.0"},
        {5, kWindowMsEdit, "2", "96.00000", "2"},
        {0, kWindowMsEdit, "1", "48.0", "1"},
    };
    for (const Row& r : rows) {
        std::string width_edit, time_edit;
        Run([&](HWND d) {
            platform::SendDlgItemMessage(d, kRateCombo, platform::CB_SETCURSEL,
                                         static_cast<platform::WPARAM>(r.rate_index), 0);
            Send(d, kRateCombo);
            platform::SetDlgItemText(d, r.edit, r.typed);
            char text[32];
            platform::GetDlgItemText(d, kWindowWidthEdit, text, sizeof text);
            width_edit = text;
            platform::GetDlgItemText(d, kWindowMsEdit, text, sizeof text);
            time_edit = text;
            Send(d, 2);
        });
        const std::string trace = std::to_string(r.edit) + " " + r.typed;
        EXPECT_EQ(width_edit, r.width) << trace;
        EXPECT_EQ(std::string(shell::Mls.MlsWindowWidthText), r.width) << trace;
        EXPECT_EQ(time_edit, r.time) << trace;
        EXPECT_EQ(std::string(shell::Mls.MlsWindowMsText), r.time) << trace;
    }
}

TEST_F(RoomEqDialogTest, EditsKeepTheTypedTextAndClampWhereUsed) {
    std::string width_edit, time_edit;
    Run([&](HWND d) {
        for (const char* typed : {"3", "30", "300", "3000", "30000"})
            platform::SetDlgItemText(d, kWindowWidthEdit, typed);
        char text[32];
        platform::GetDlgItemText(d, kWindowWidthEdit, text, sizeof text);
        width_edit = text;
        platform::GetDlgItemText(d, kWindowMsEdit, text, sizeof text);
        time_edit = text;
        platform::SetDlgItemText(d, kFromEdit, "5");
        platform::SetDlgItemText(d, kToEdit, "300");
        Send(d, 2);
    });
    EXPECT_EQ(width_edit, "30000");
    EXPECT_EQ(std::string(shell::Mls.MlsWindowWidthText), "30000");
    EXPECT_EQ(std::stod(time_edit), 625.0);
    EXPECT_EQ(p_[shell::kParamF1], 10.1f);
    EXPECT_EQ(p_[shell::kParamF2], 250.0f);
}

// Texts that hold no number leave the element's value as it was; numbers beyond the edits' bounds
// are kept within them, so that every curve drawn from them is a number.
TEST_F(RoomEqDialogTest, EditsRefuseNonNumbersAndKeepNumbersWithinTheirBounds) {
    struct Edit {
        int id;
        int param;
        float kept;      // the value before the texts are typed
        double highest;  // what 65535 becomes
        double lowest;   // what -65535 becomes
    };
    const Edit edits[] = {
        {kFromEdit, shell::kParamF1, 20.0f, 250.0f, 10.1f},
        {kToEdit, shell::kParamF2, 200.0f, 250.0f, 0.0f},
        {kSlopeEdit, shell::kParamProjectedSlope, 6.0f, kRoomEqMostLevelDb, -kRoomEqMostLevelDb},
        {kPulseDelayEdit, shell::kParamDelay, 1.5f, kRoomEqMostDelayMs, -kRoomEqMostDelayMs},
        {kAddDbEdit, shell::kParamAddDb, 3.0f, kRoomEqMostLevelDb, -kRoomEqMostLevelDb},
    };
    Run([&](HWND d) {
        for (const Edit& e : edits) {
            SCOPED_TRACE(e.id);
            for (const char* typed : {"nan", "inf", "-inf", "1e39", "-1e39", "", "-", "x"}) {
                p_[e.param] = e.kept;
                platform::SetDlgItemText(d, e.id, typed);
                EXPECT_EQ(p_[e.param], e.kept) << typed;
            }
            platform::SetDlgItemText(d, e.id, "65535");
            EXPECT_EQ(p_[e.param], static_cast<float>(e.highest));
            platform::SetDlgItemText(d, e.id, "-65535");
            EXPECT_EQ(p_[e.param], static_cast<float>(e.lowest));
            platform::SetDlgItemText(d, e.id, "12.5");
            EXPECT_EQ(p_[e.param], 12.5f);
        }
        Send(d, 2);
    });
}

TEST_F(RoomEqDialogTest, MeterLightsOneSegmentPerTwoLevelUnits) {
    // Colours of segments 0 (bottom) .. 17 (top).
    static const platform::COLORREF kRamp[18] = {
        platform::RGB(0, 228, 0),   platform::RGB(64, 255, 0),  platform::RGB(96, 255, 0),
        platform::RGB(128, 255, 0), platform::RGB(164, 255, 0), platform::RGB(196, 255, 0),
        platform::RGB(228, 255, 0), platform::RGB(255, 255, 0), platform::RGB(255, 228, 0),
        platform::RGB(255, 192, 0), platform::RGB(255, 164, 0), platform::RGB(255, 128, 0),
        platform::RGB(255, 96, 0),  platform::RGB(255, 64, 0),  platform::RGB(255, 32, 0),
        platform::RGB(228, 0, 0),   platform::RGB(196, 0, 0),   platform::RGB(128, 0, 0)};
    struct Row {
        float in, ref;  // levels as the meter reads them (peak / 1200)
        int lit_in, lit_ref;
    } rows[] = {
        {0.0f, -1.0f, 1, 0},
        {2.54f, 3.39f, 2, 2},  // the default output level 10 through a loop: far from clipping
        {9.99f, 10.0f, 5, 6},
        {34.1f, 35.0f, 18, 18},
    };
    ASSERT_EQ(shell::CreateGdiObjects(), 0);
    Run([&](HWND d) {
        const HWND meter = platform::GetDlgItem(d, kMeter);
        platform::RECT r{};
        platform::GetClientRect(meter, &r);
        const int pitch = std::clamp((r.bottom - 4) / 18, 2, 10);
        for (const Row& row : rows) {
            RoomEQInPeakLevel = 1200.0f * row.in;
            RoomEQRefPeakLevel = 1200.0f * row.ref;
            platform::InvalidateRect(d, nullptr, platform::TRUE);
            platform::UpdateWindow(d);
            const platform::HDC hdc = platform::GetDC(meter);
            for (int column = 0; column < 2; ++column) {
                const int lit = column == 0 ? row.lit_in : row.lit_ref;
                for (int k = 0; k < 18; ++k) {
                    const platform::COLORREF c = platform::GetPixel(hdc, (column == 0 ? 5 : 22) + 6,
                                                                    r.bottom - 4 - pitch * k);
                    if (k < lit)
                        EXPECT_EQ(c, kRamp[k])
                            << row.in << " column " << column << " segment " << k;
                    else
                        EXPECT_EQ(c, platform::RGB(255, 255, 255))
                            << row.in << " column " << column << " segment " << k;
                }
            }
            platform::ReleaseDC(meter, hdc);
        }
        Send(d, 2);
    });
    shell::DeleteGdiObjects();
}

// Each location's mark stands beside its own "Location" button, its middle on the button's, and
// shows whole and outlined: red where the location is measured, green where not.
TEST_F(RoomEqDialogTest, EachLocationMarkStandsBesideItsButton) {
    ASSERT_EQ(shell::CreateGdiObjects(), 0);
    for (int l : {1, 3, 5}) Curve(kRoomEqLevel + l)[shell::kCurveHoldsData] = 1.0f;
    Run([](HWND d) {
        const HWND marks = platform::GetDlgItem(d, kMarks);
        platform::UpdateWindow(d);
        platform::RECT client{};
        platform::GetClientRect(marks, &client);
        const platform::HDC hdc = platform::GetDC(marks);
        for (int l = 0; l < kRoomEqLocations; ++l) {
            SCOPED_TRACE(::testing::Message() << "Location " << l + 1);
            platform::RECT button{};
            platform::GetWindowRect(platform::GetDlgItem(d, kFirstLocation + l), &button);
            platform::POINT middle{0, (button.top + button.bottom) / 2};
            platform::ScreenToClient(marks, &middle);
            const platform::COLORREF fill =
                l % 2 == 1 ? platform::RGB(228, 0, 0) : platform::RGB(0, 228, 0);
            int first = -1, last = -1;
            for (int y = std::max(0, middle.y - 12); y < middle.y + 12 && y < client.bottom; ++y) {
                if (platform::GetPixel(hdc, 5, y) != fill) continue;
                if (first < 0) first = y;
                last = y;
            }
            ASSERT_GE(first, 1) << "no mark beside the button, or one cut at the top";
            EXPECT_NEAR((first + last + 1) / 2.0, middle.y, 1.0);
            EXPECT_EQ(last - first, 7) << "the whole square";
            EXPECT_EQ(platform::GetPixel(hdc, 5, first - 1), platform::RGB(0, 0, 0));
            EXPECT_EQ(platform::GetPixel(hdc, 5, last + 1), platform::RGB(0, 0, 0));
            EXPECT_LT(last + 1, client.bottom);
        }
        platform::ReleaseDC(marks, hdc);
        Send(d, 2);
    });
    shell::DeleteGdiObjects();
}

// The impulse pane's time labels stand on the grid lines of the times they print, counted in the
// rate the shown impulse was measured at, also after another rate is chosen for the next one.
TEST_F(RoomEqDialogTest, ImpulseTimeLabelsStandOnTheirGridLinesInTheMeasuredRate) {
    ASSERT_EQ(shell::CreateGdiObjects(), 0);
    platform::testing::ScriptFileDialogAnswers({WriteCapture("mode.res")});  // at 48000 Hz
    Run([this](HWND d) {
        Send(d, kFirstLocation + 2);
        ASSERT_EQ(Curve(kRoomEqLevel + 2)[shell::kCurveHoldsData], 1.0f);
        const HWND pane = platform::GetDlgItem(d, kImpulsePane);
        const int w = kImpulsePlotW, h = PaneHeight(pane, kImpulsePlotH);
        // Grid line j lies at sample 50 j, whose time counts from sample 50.
        std::map<std::string, int> line_of;
        for (int j = -3; j <= 40; ++j) {
            char text[16];
            std::snprintf(text, sizeof text, "%.0f", (50.0 * j - 50.0) * 1000.0 / 48000.0);
            line_of[text] = static_cast<int>(60 + j * 0.025 * (w - 80));
        }
        for (const char* rate : {"48000", "96000", "44100"}) {
            SCOPED_TRACE(::testing::Message() << rate << " chosen");
            int index = 0;
            while (std::string(shell::SampleRateNames[index]) != rate) ++index;
            platform::testing::Select(d, kRateCombo, index);
            platform::testing::RecordDrawnTexts(true);
            platform::InvalidateRect(d, nullptr, platform::TRUE);
            platform::UpdateWindow(d);
            int labels = 0;
            for (const auto& t : platform::testing::DrawnTexts()) {
                if (t.window != pane || t.ink.top < h - 22 || t.ink.left <= 50 || t.text == "ms")
                    continue;
                ++labels;
                const auto line = line_of.find(t.text);
                if (line == line_of.end()) {
                    ADD_FAILURE() << t.text << " ms is the time of no grid line";
                    continue;
                }
                EXPECT_GE(t.ink.left, line->second) << t.text;
                EXPECT_LE(t.ink.left, line->second + 2) << t.text;
            }
            platform::testing::RecordDrawnTexts(false);
            EXPECT_GE(labels, 20);
        }
        // A location measured at 96000 Hz is drawn over the labels of the one before: the pane
        // holds its labels alone, each text drawn once, as a fresh paint of the dialog shows it.
        const auto shown = [&] {
            std::vector<platform::COLORREF> pixels;
            const platform::HDC hdc = platform::GetDC(pane);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) pixels.push_back(platform::GetPixel(hdc, x, y));
            platform::ReleaseDC(pane, hdc);
            return pixels;
        };
        platform::testing::ScriptFileDialogAnswers({WriteCapture("fast.res", 6)});
        Send(d, kFirstLocation + 3);
        ASSERT_EQ(RoomEQImpulseRates[3], 96000);
        const std::vector<platform::COLORREF> drawn_over = shown();
        platform::InvalidateRect(d, nullptr, platform::TRUE);
        platform::UpdateWindow(d);
        EXPECT_TRUE(drawn_over == shown()) << "the pane differs from a fresh paint";
        Send(d, 2);
    });
    shell::DeleteGdiObjects();
}

// A gate width that is refused leaves the location as it was: its impulses, the rate they were
// measured at, and its level.
TEST_F(RoomEqDialogTest, RefusedGateWidthLeavesTheLocationAsItWas) {
    platform::testing::ScriptFileDialogAnswers({WriteCapture("first.res")});
    Run([](HWND d) {
        Send(d, kFirstLocation);
        Send(d, 1);
    });
    ASSERT_EQ(Curve(kRoomEqLevel)[shell::kCurveHoldsData], 1.0f);
    const auto location = [] {
        std::vector<float> v;
        for (int r : {kRoomEqRefImpulse, kRoomEqInImpulse, kRoomEqLevel, kRoomEqPhase})
            v.insert(v.end(), Curve(r), Curve(r) + shell::kCurveRecordFloats);
        v.push_back(static_cast<float>(RoomEQImpulseRates[0]));
        return v;
    };
    const std::vector<float> kept = location();
    const std::string fast = WriteCapture("fast.res", 6);  // 96000 Hz
    for (const char* width : {"abc", "70000"}) {
        SCOPED_TRACE(width);
        std::snprintf(shell::Mls.MlsWindowWidthText, sizeof shell::Mls.MlsWindowWidthText, "%s",
                      width);  // as typed on the MLS page
        platform::testing::ClearMessageBoxLog();
        platform::testing::ScriptFileDialogAnswers({fast});
        Run([](HWND d) {
            Send(d, kFirstLocation);
            Send(d, 2);
        });
        EXPECT_EQ(MessageTexts().size(), 1u);
        EXPECT_TRUE(location() == kept) << "the refused capture replaced the location's";
    }
}

TEST_F(RoomEqDialogTest, TemplateIsRegisteredWithItsTitle) {
    const platform::DialogTemplate* t = platform::FindDialogTemplate("Room_EQ");
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(t->title, "Minimum-Phase Room Equalizer");
}

}  // namespace
}  // namespace measurement::test
