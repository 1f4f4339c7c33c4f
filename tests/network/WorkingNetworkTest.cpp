// Pane stores: save/restore identity, cleared defaults, and the bounded element/wire tables.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>

#include "network/Templates.h"
#include "network/WorkingNetwork.h"
#include "platform/testing/MessageBoxLog.h"
#include "shell/Globals.h"

namespace network {
namespace {

using platform::testing::ClearMessageBoxLog;
using platform::testing::MessageBoxLog;

void FillRandom(NetworkTables& t, unsigned seed) {
    std::mt19937 rng(seed);
    auto* bytes = reinterpret_cast<std::uint8_t*>(&t);
    for (std::size_t i = 0; i < sizeof t; ++i) bytes[i] = static_cast<std::uint8_t>(rng());
}

class WorkingNetworkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        shell::ResetGlobals();
        ClearMessageBoxLog();
    }
};

TEST_F(WorkingNetworkTest, SaveThenRestoreIsBitIdenticalForEveryPane) {
    auto copy = std::make_unique<NetworkTables>();
    for (int pane = 1; pane <= 7; ++pane) {
        FillRandom(WorkingNetwork, static_cast<unsigned>(pane));
        std::memcpy(copy.get(), &WorkingNetwork, sizeof(NetworkTables));
        ASSERT_EQ(SavePaneStore(pane), 0);
        std::memset(&WorkingNetwork, 0, sizeof(NetworkTables));
        ASSERT_EQ(RestorePaneStore(pane), 0);
        EXPECT_EQ(std::memcmp(copy.get(), &WorkingNetwork, sizeof(NetworkTables)), 0)
            << "pane " << pane;
        EXPECT_EQ(std::memcmp(copy.get(), &PaneStores[pane - 1], sizeof(NetworkTables)), 0);
    }
    // The named entry points address their own store.
    FillRandom(WorkingNetwork, 99);
    SavePane6Store();
    EXPECT_EQ(std::memcmp(&PaneStores[5], &WorkingNetwork, sizeof(NetworkTables)), 0);
    EXPECT_NE(std::memcmp(&PaneStores[4], &WorkingNetwork, sizeof(NetworkTables)), 0);
    EXPECT_EQ(SavePaneStore(8), 1);
    EXPECT_EQ(RestorePaneStore(0), 1);
}

TEST_F(WorkingNetworkTest, ClearedStoreRestoresToTheStoreDefaults) {
    for (int pane = 1; pane <= 7; ++pane) {
        FillRandom(PaneStores[pane - 1], 7u * static_cast<unsigned>(pane));
    }
    ClearAllPaneStores();
    for (int pane = 1; pane <= 7; ++pane) {
        FillRandom(WorkingNetwork, 3);
        RestorePaneStore(pane);
        const NetworkTables& t = WorkingNetwork;
        EXPECT_EQ(t.ElementCount, 0);
        EXPECT_EQ(t.WireCount, 0);
        EXPECT_EQ(t.WMatrixOrder, 0);
        EXPECT_EQ(t.ToolMode, 0);
        const char* title = pane == 4 ? "No  File Loaded" : "No File Loaded";
        for (int e = 0; e < shell::kMaxElements; ++e) {
            ASSERT_EQ(t.ElementGeometry[e].node1, -1);
            ASSERT_EQ(t.ElementGeometry[e].node2, -1);
            ASSERT_EQ(t.ElementGeometry[e].node3, -1);
            ASSERT_EQ(t.ElementGeometry[e].kind, 0);
            ASSERT_STREQ(t.ElementFileTitles[e], title) << "pane " << pane;
            ASSERT_EQ(t.ElementFilePaths[e][2047], 0);
            ASSERT_EQ(t.ElementParams[e][shell::kParamF1], 100.0f);
            ASSERT_EQ(t.ElementParams[e][shell::kParamF2], 10000.0f);
            ASSERT_EQ(t.ElementParams[e][shell::kParamFo], 1000.0f);
            ASSERT_EQ(t.ElementParams[e][shell::kParamPlotFlag], 1.0f);
            ASSERT_EQ(t.ElementParams[e][shell::kParamPolarity], 1.0f);
            ASSERT_EQ(t.ElementParams[e][shell::kParamGain], 0.0f);
            ASSERT_EQ(t.ElementTransfer[e][1999].re, 1.0f);
            ASSERT_EQ(t.ElementTransfer[e][0].im, 0.0f);
            ASSERT_EQ(t.ElementDriverData[e].Spl[5], 90.0f);
            ASSERT_EQ(t.ElementDriverData[e].Real[5], 1.0f);
            ASSERT_EQ(t.ElementDriverData[e].Imag[5], 0.0f);
            ASSERT_EQ(t.ElementDriverData[e].Efficiency, 90.0f);
        }
        for (int w = 0; w < shell::kMaxWires; ++w) ASSERT_EQ(t.Wire[w].x2, 0);
        EXPECT_EQ(t.JointGroup[63][63].y, 0);
    }
}

TEST_F(WorkingNetworkTest, ClearWorkingNetworkUsesTheTemplateDefaults) {
    FillRandom(WorkingNetwork, 11);
    ClearWorkingNetwork();
    const NetworkTables& t = WorkingNetwork;
    EXPECT_EQ(t.ElementCount, 0);
    EXPECT_EQ(t.ToolMode, 0);
    for (int e = 0; e < shell::kMaxElements; ++e) {
        const float* p = t.ElementParams[e];
        ASSERT_EQ(p[shell::kParamF1], 20.0f);
        ASSERT_EQ(p[shell::kParamF2], 200.0f);
        ASSERT_EQ(p[shell::kParamGain], 10.0f);
        ASSERT_EQ(p[shell::kParamBypass], 0.0f);
        ASSERT_EQ(p[shell::kParamOutputPort], 0.0f);
        ASSERT_STREQ(t.ElementFileTitles[e], "No File Loaded");
        ASSERT_EQ(t.ElementGeometry[e].node3, -1);
        ASSERT_EQ(t.ElementDriverData[e].Phase[1999], 0.0f);
    }
}

TEST_F(WorkingNetworkTest, The65thElementAndWireAreRefused) {
    ClearWorkingNetwork();
    for (int e = 0; e < 64; ++e) {
        ASSERT_EQ(AppendElement(WorkingNetwork, platform::HWND{}, shell::kElementJunction,
                                10 * e + 10, 20, 10 * e + 10, 20),
                  e);
        ASSERT_EQ(AppendWire(WorkingNetwork, platform::HWND{}, e, 1, e, 2), e);
    }
    EXPECT_TRUE(MessageBoxLog().empty());
    auto before = std::make_unique<NetworkTables>(WorkingNetwork);
    EXPECT_EQ(AppendElement(WorkingNetwork, platform::HWND{}, shell::kElementFilter, 5, 5, 45, 5),
              -1);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_EQ(MessageBoxLog()[0].text, kElementTableFullText);
    EXPECT_EQ(AppendWire(WorkingNetwork, platform::HWND{}, 1, 1, 2, 2), -1);
    ASSERT_EQ(MessageBoxLog().size(), 2u);
    EXPECT_EQ(MessageBoxLog()[1].text, kWireTableFullText);
    EXPECT_EQ(std::memcmp(before.get(), &WorkingNetwork, sizeof(NetworkTables)), 0)
        << "a refused append changed the tables";
}

TEST_F(WorkingNetworkTest, RemovalFromAFullTableLeavesNoGhostInTheLastSlot) {
    ClearWorkingNetwork();
    for (int e = 0; e < 64; ++e) {
        AppendElement(WorkingNetwork, platform::HWND{}, shell::kElementFilter, e, e, e + 40, e);
        WorkingNetwork.ElementParams[e][shell::kParamFo] = 100.0f + e;
        std::snprintf(WorkingNetwork.ElementFileTitles[e], 2048, "driver %d", e);
        AppendWire(WorkingNetwork, platform::HWND{}, e, 0, e, 10);
    }
    ASSERT_EQ(RemoveElement(WorkingNetwork, 10, SlotDefaults::kWorkingNetwork, "No File Loaded"),
              0);
    EXPECT_EQ(WorkingNetwork.ElementCount, 63);
    EXPECT_EQ(WorkingNetwork.ElementParams[10][shell::kParamFo], 111.0f) << "slots moved down";
    EXPECT_STREQ(WorkingNetwork.ElementFileTitles[62], "driver 63");
    EXPECT_EQ(WorkingNetwork.ElementGeometry[63].kind, 0) << "ghost copy in slot 63";
    EXPECT_EQ(WorkingNetwork.ElementParams[63][shell::kParamFo], 1000.0f);
    EXPECT_EQ(WorkingNetwork.ElementParams[63][shell::kParamF1], 20.0f);
    EXPECT_STREQ(WorkingNetwork.ElementFileTitles[63], "No File Loaded");
    EXPECT_EQ(WorkingNetwork.ElementGeometry[63].node1, -1);

    ASSERT_EQ(RemoveWire(WorkingNetwork, 0), 0);
    EXPECT_EQ(WorkingNetwork.WireCount, 63);
    EXPECT_EQ(WorkingNetwork.Wire[0].x1, 1);
    EXPECT_EQ(WorkingNetwork.Wire[62].x1, 63);
    EXPECT_EQ(WorkingNetwork.Wire[63].y2, 0) << "ghost wire in slot 63";
    EXPECT_EQ(RemoveWire(WorkingNetwork, 63), 1) << "slot 63 is no longer in use";
    EXPECT_EQ(RemoveElement(WorkingNetwork, -1, SlotDefaults::kWorkingNetwork, nullptr), 1);
}

TEST_F(WorkingNetworkTest, RemovingTheLastElementOfAClearedChannelRestoresItsDefaults) {
    ClearAllPaneStores();
    RestorePaneStore(4);
    const int e = AppendElement(WorkingNetwork, platform::HWND{}, shell::kElementOutputPort, 100,
                                100, 100, 140);
    ASSERT_EQ(e, 0);
    WorkingNetwork.ElementParams[0][shell::kParamOutputPort] = 3.0f;
    ASSERT_EQ(RemoveElement(WorkingNetwork, 0, SlotDefaults::kPaneStore, ClearedTitleForPane(4)),
              0);
    SavePaneStore(4);
    // Slot 0 equals a freshly cleared slot of the same pane.
    ClearPaneStore(4);
    EXPECT_EQ(std::memcmp(&PaneStores[3], &WorkingNetwork, sizeof(NetworkTables)), 0);
}

}  // namespace
}  // namespace network
