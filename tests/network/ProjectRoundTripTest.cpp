// All seven channel networks and the settings survive a project save and load byte for byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "network/Templates.h"
#include "network/WorkingNetwork.h"
#include "platform/testing/MessageBoxLog.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/ProjectImage.h"

namespace network {
namespace {

class ProjectRoundTripTest : public ::testing::Test {
  protected:
    void SetUp() override {
        shell::ResetGlobals();
        platform::testing::ClearMessageBoxLog();
        dir_ = std::filesystem::path(::testing::TempDir()) /
               ("qv_roundtrip_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

TEST_F(ProjectRoundTripTest, SevenTemplateNetworksWithDistinctPorts) {
    ClearAllPaneStores();
    int next_port = 1;
    for (int pane = 1; pane <= 7; ++pane) {
        ClearWorkingNetwork();
        BuildWayTemplate(pane + 1);  // 2 ways in pane 1 .. 8 ways in pane 7
        for (int e = 0; e < WorkingNetwork.ElementCount; ++e) {
            auto& g = WorkingNetwork.ElementGeometry[e];
            float* p = WorkingNetwork.ElementParams[e];
            if (g.kind == shell::kElementOutputPort) {
                p[shell::kParamOutputPort] = static_cast<float>((next_port++ - 1) % 16 + 1);
                p[shell::kParamDelay] = 0.25f * pane;
                shell::CopyTextSlot(WorkingNetwork.ElementFileTitles[e], shell::kFileTextSlot,
                                    "woofer.wfr");
                WorkingNetwork.ElementDriverData[e].Spl[100] = 80.0f + pane;
                WorkingNetwork.ElementTransfer[e][1500] = shell::ComplexPoint{0.5f, -0.25f};
            }
            if (g.kind == shell::kElementInputNode) p[shell::kParamInputPort] = 1.0f + pane % 2;
        }
        WorkingNetwork.JointGroup[1][2] = shell::JointPoint{100 + pane, 200};
        SavePaneStore(pane);
        shell::PaneToolModes[pane - 1] = pane % 2 ? 1 : 5;
    }
    shell::Project.Settings.SampleRateIndex = 4;
    shell::Project.Settings.SystemConfiguration = 1;
    shell::Project.Settings.BbmLevel = 0.8f;
    shell::CopyTextSlot(shell::Project.Settings.HotkeyOutputTexts[0], "7");
    shell::SubwooferMode = 1;
    shell::WideWindow = 1;
    shell::OutputLayout = 2;
    shell::InputLayout = 1;
    shell::PlayerDeviceWords[0] = 4;
    shell::PlayerDeviceWords[8] = 6;

    const std::string path = (dir_ / "seven.hif").string();
    ASSERT_EQ(shell::WriteProjectFile(platform::HWND{}, path.c_str()), 1);
    auto stores = std::make_unique<shell::PaneStore[]>(7);
    std::memcpy(stores.get(), shell::PaneStores, sizeof shell::PaneStores);
    std::vector<std::int32_t> tool_modes(shell::PaneToolModes, shell::PaneToolModes + 7);
    auto image = std::make_unique<shell::ProjectImage>(shell::Project);

    // Forget everything, then load.
    shell::ResetGlobals();
    ClearAllPaneStores();
    ASSERT_EQ(shell::ReadProjectFile(platform::HWND{}, path.c_str()), 1);
    EXPECT_TRUE(platform::testing::MessageBoxLog().empty());
    for (int k = 0; k < 7; ++k) {
        // The store's own ToolMode word is not in the file; the tool word is.
        stores[k].ToolMode = shell::PaneStores[k].ToolMode;
        EXPECT_EQ(std::memcmp(&stores[k], &shell::PaneStores[k], sizeof(shell::PaneStore)), 0)
            << "pane " << k + 1 << " differs after the round trip";
        EXPECT_EQ(shell::PaneToolModes[k], tool_modes[k]);
    }
    EXPECT_EQ(std::memcmp(image.get(), &shell::Project, sizeof(shell::ProjectImage)), 0)
        << "project image differs after the round trip";
    EXPECT_EQ(shell::SubwooferMode, 1);
    EXPECT_EQ(shell::WideWindow, 1);
    EXPECT_EQ(shell::OutputLayout, 2);
    EXPECT_EQ(shell::InputLayout, 1);
    EXPECT_EQ(shell::PlayerDeviceWords[8], 6);
    EXPECT_FLOAT_EQ(shell::Project.Settings.BbmLevel, 0.8f);

    // The channel block maps member by member: spot-check file offsets of pane 7.
    const auto& block = shell::Project.Channels[6];
    EXPECT_EQ(block.ElementCount, 44);
    EXPECT_EQ(block.NodeCount, 35);
    EXPECT_EQ(block.WireCount, 43);
    EXPECT_EQ(block.ToolWord, 1);
    EXPECT_STREQ(block.ElementFileTitles[7], "woofer.wfr");
    EXPECT_EQ(block.ElementDriverData[7].Spl[100], 87.0f);

    // Saving what was loaded gives the same file again.
    const std::string again = (dir_ / "again.hif").string();
    ASSERT_EQ(shell::WriteProjectFile(platform::HWND{}, again.c_str()), 1);
    std::ifstream a(path, std::ios::binary), b(again, std::ios::binary);
    std::vector<char> bytes_a((std::istreambuf_iterator<char>(a)), {});
    std::vector<char> bytes_b((std::istreambuf_iterator<char>(b)), {});
    ASSERT_EQ(bytes_a.size(), shell::kProjectImageBytes);
    EXPECT_TRUE(bytes_a == bytes_b) << "load then save changed the file";
}

}  // namespace
}  // namespace network
