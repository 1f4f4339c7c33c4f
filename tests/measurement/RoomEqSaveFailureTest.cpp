// The room equalizer's auto-save of a location's capture when the save fails: the message says
// that the capture has not been saved and why, the file that was there stays, and the
// measurement of the location stands.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "MeasurementTestSupport.h"
#include "measurement/CaptureFile.h"
#include "measurement/Ids.h"
#include "measurement/MlsSequences.h"
#include "measurement/RoomEq.h"
#include "measurement/RoomEqLocation.h"
#include "network/EditorState.h"
#include "platform/testing/Dialogs.h"
#include "platform/testing/FileDialogs.h"
#include "platform/testing/MessageBoxLog.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Messages.h"
#include "resources/Resources.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"
#include "tests/SaveFailures.h"

namespace measurement::test {
namespace {

using platform::HWND;
constexpr int kElement = 5;
constexpr int kLengthIndex = 3;  // order 16
constexpr int kLocation = 2;     // the third location: "Front_Left_L3.res" of pane 1

class RoomEqSaveFailureTest : public MeasurementTest {
  protected:
    void SetUp() override {
        MeasurementTest::SetUp();
        resources::RegisterAll();
        ASSERT_TRUE(AllocMlsCaptureCopies());
        shell::WorkingNetwork = shell::NetworkTables{};
        for (int r = 0; r < shell::kRoomEqCurveCount; ++r)
            std::memset(shell::RoomEQCurves[r], 0, sizeof(shell::CurveRecord));
        shell::WorkingNetwork.ElementGeometry[kElement].kind = shell::kElementRoomEq;
        float* p = shell::WorkingNetwork.ElementParams[kElement];
        p[shell::kParamF1] = 10.1f;
        p[shell::kParamF2] = 250.0f;
        p[shell::kParamCorrectionPort] = 16.0f;
        for (auto& v : shell::WorkingNetwork.ElementTransfer[kElement]) v = {1.0f, 0.0f};
        network::SelectedElement = kElement;
        network::ActivePane = 1;
        shell::Mls.MlsUseSavedBuffer = 1;
        std::snprintf(shell::Mls.MlsWindowWidthText, sizeof shell::Mls.MlsWindowWidthText, "4000");
    }
    // A capture of the sequence on the reference and a delayed copy on the measured channel.
    std::string WriteCapture() {
        const int order = kLengthIndex + 13, length = (1 << order) - 1;
        EXPECT_TRUE(BuildMlsSequence(order));
        auto s = [&](int i) {
            return i < 0 || i >= length ? 0 : MlsBit(shell::MlsBitBuffer, i) ? -1 : 1;
        };
        for (int f = 0; f < static_cast<int>(kMlsCaptureFrames); ++f) {
            const std::int32_t ref = 10000 * s(f - 300) * 256;
            const std::int32_t in = (9000 * s(f - 350) - 3000 * s(f - 351)) * 256;
            std::memcpy(MlsCaptureSave + 8 * static_cast<std::size_t>(f), &ref, 4);
            std::memcpy(MlsCaptureSave + 8 * static_cast<std::size_t>(f) + 4, &in, 4);
        }
        shell::Mls.MlsSampleRateIndex = 5;
        shell::Mls.MlsLengthIndex = kLengthIndex;
        const std::string path = PathOf("location.res");
        EXPECT_TRUE(WriteMlsCaptureFile(HWND{}, path.c_str()));
        return path;
    }
    static platform::INT_PTR RunLocation() {
        platform::testing::OnModalDialog("Room_EQ", [](HWND d) {
            platform::SendMessage(d, platform::WM_COMMAND,
                                  static_cast<platform::WPARAM>(kFirstLocation + kLocation), 0);
            platform::SendMessage(d, platform::WM_COMMAND, 2, 0);
        });
        return platform::DialogBox(shell::AppInstance, "Room_EQ", HWND{}, &RoomEQDlgProc);
    }
    static float HoldsData() {
        return shell::RoomEQCurves[kRoomEqLevel + kLocation]->v[shell::kCurveHoldsData];
    }
};

TEST_F(RoomEqSaveFailureTest, FailedAutoSaveSaysTheCaptureWasNotSavedAndWhy) {
    const std::string capture = WriteCapture();
    int run = 0;
    for (const qvtest::SaveFailureCase& c : qvtest::kSaveFailureCases) {
        SCOPED_TRACE(c.name);
        const qvtest::SaveFailureSetup setup(dir_ / ("case" + std::to_string(run++)),
                                             "Front_Left_L3.res", c.fault);
        if (!setup.Applies()) continue;
        std::snprintf(shell::ProgramDirectory, sizeof shell::ProgramDirectory, "%s/",
                      setup.TargetFolder().c_str());
        ASSERT_EQ(RoomEqAutoSavePath(1, kLocation), setup.Target());
        shell::RoomEQCurves[kRoomEqLevel + kLocation]->v[shell::kCurveHoldsData] = 0.0f;
        platform::testing::ClearMessageBoxLog();
        platform::testing::ScriptFileDialogAnswers({capture});
        RunLocation();
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{qvtest::SaveFailureMessage(
                                      setup.Target(), "capture", setup.Reason())});
        EXPECT_TRUE(setup.Untouched());
        EXPECT_EQ(HoldsData(), 1.0f) << "the measurement of the location stands";
        EXPECT_EQ(shell::AudioBusy, 0);
        shell::ProgramDirectory[0] = 0;
    }
}

}  // namespace
}  // namespace measurement::test
