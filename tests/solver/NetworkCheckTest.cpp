// The network check: every rule with its message and code, in the order the rules run, the
// routing matrix over all seven stores, and the visible flags.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "platform/ui/MessageBox.h"
#include "shell/PreferencesRecord.h"
#include "solver/NetworkCheck.h"
#include "tests/solver/SolverTestSupport.h"

namespace {

using namespace solver::test;

class NetworkCheck : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetSolverWorld();
        network::ClearAllPaneStores();
        shell::OutputLayout = 1;
    }
};

// Panes 2..5 each route input port 1 to outputs 2 * pane and 2 * pane + 1: eight routes.
void EightRoutesInPanesTwoToFive() {
    for (int pane = 2; pane <= 5; ++pane) {
        NewNetwork(4);
        AddInput(0, 1.0f);
        AddPort(0, 1, static_cast<float>(2 * pane));
        AddPort(0, 1, static_cast<float>(2 * pane + 1));
        AddGround(1);
        network::SavePaneStore(pane);
    }
}

std::string LastMessage() {
    const auto& log = platform::testing::MessageBoxLog();
    return log.empty() ? std::string() : log.back().text;
}

int RoutesInMatrix() {
    int routes = 0;
    for (const auto& row : solver::RoutingMatrix) {
        for (int entry : row) routes += entry;
    }
    return routes;
}

struct Rule {
    const char* name;
    std::function<void()> setup;  // leaves the network to check in the working network
    int code;
    const char* message;
};

TEST_F(NetworkCheck, EveryRuleGivesItsMessageAndCode) {
    const Rule rules[] = {
        {"no nodes",
         [] {
             OneWayChannel(1, 1, 1);
             shell::WorkingNetwork.WMatrixOrder = 0;
         },
         1, "System Not Recognized"},
        {"unconnected terminal",
         [] {
             OneWayChannel(1, 1, 1);
             shell::WorkingNetwork.ElementGeometry[1].node2 = -1;
             // A second input node comes after the disjoined element: disjoined is found first.
             AddInput(0, 2.0f);
         },
         1, "Network Disjoined"},
        {"node beyond the node count",
         [] {
             OneWayChannel(1, 1, 1);
             shell::WorkingNetwork.ElementGeometry[2].node1 = 3;
         },
         1, "Network Disjoined"},
        {"more nodes than the tables hold",
         [] {
             OneWayChannel(1, 1, 1);
             shell::WorkingNetwork.WMatrixOrder = 65;
         },
         1, "System Not Recognized"},
        {"no input",
         [] {
             OneWayChannel(1, 1, 1);
             shell::WorkingNetwork.ElementGeometry[0].kind = 4;
         },
         1, "Input Terminal Not Connected"},
        {"two inputs",
         [] {
             OneWayChannel(1, 1, 1);
             AddInput(0, 2.0f);
         },
         1, "Too Many Input Terminals"},
        {"no ground",
         [] {
             OneWayChannel(1, 1, 1);
             shell::WorkingNetwork.ElementGeometry[3].kind = 4;
         },
         1, "There must be at least one GROUND node"},
        {"port without ground",
         [] {
             OneWayChannel(1, 1, 1);
             AddPort(1, 0, 2.0f);
         },
         1, "OUTPUT Port Has No GROUND Terminal"},
        {"port never numbered in another pane",
         [] {
             OneWayChannel(2, 1, 0);
             OneWayChannel(1, 1, 1);
         },
         4, "Duplicate OUTPUT Ports Found"},
        {"one port in two panes",
         [] {
             OneWayChannel(3, 2, 1);
             OneWayChannel(1, 1, 1);
         },
         4, "Duplicate OUTPUT Ports Found"},
        {"input port 0", [] { OneWayChannel(1, 0, 1); }, 2,
         "Sound Card INPUT Port Is Out Of Range (1.....6)"},
        {"input port 9", [] { OneWayChannel(1, 9, 1); }, 2,
         "Sound Card INPUT Port Is Out Of Range (1.....6)"},
        {"input port 8.5", [] { OneWayChannel(1, 8.5f, 1); }, 2,
         "Sound Card INPUT Port Is Out Of Range (1.....6)"},
        {"output port 17", [] { OneWayChannel(1, 1, 17); }, 1,
         "Sound Card OUTPUT Port Is Out Of Range (1.....16)"},
        {"nine routes on eight outputs",
         [] {
             shell::OutputLayout = 0;
             EightRoutesInPanesTwoToFive();
             OneWayChannel(1, 2, 1);
         },
         5, "Sound Card Is Selected For 8 Outputs"},
        // Rules meet in one network: the earlier rule speaks.
        {"duplicate before input range",
         [] {
             OneWayChannel(2, 1, 1);
             OneWayChannel(1, 0, 1);
         },
         4, "Duplicate OUTPUT Ports Found"},
        {"input range before output range", [] { OneWayChannel(1, 9, 17); }, 2,
         "Sound Card INPUT Port Is Out Of Range (1.....6)"},
        {"output range before eight outputs",
         [] {
             shell::OutputLayout = 0;
             EightRoutesInPanesTwoToFive();
             OneWayChannel(1, 2, 16.5f);
         },
         1, "Sound Card OUTPUT Port Is Out Of Range (1.....16)"},
    };
    for (const Rule& rule : rules) {
        SetUp();
        rule.setup();
        platform::testing::ClearMessageBoxLog();
        EXPECT_EQ(solver::CheckSystemNetwork(), rule.code) << rule.name;
        ASSERT_EQ(platform::testing::MessageBoxLog().size(), 1u) << rule.name;
        EXPECT_EQ(LastMessage(), rule.message) << rule.name;
        EXPECT_EQ(platform::testing::MessageBoxLog()[0].caption, "QV Message");
        EXPECT_EQ(platform::testing::MessageBoxLog()[0].type,
                  platform::MB_OK | platform::MB_ICONEXCLAMATION);
    }
}

TEST_F(NetworkCheck, GoodNetworksPassAndRouteOverAllPanes) {
    OneWayChannel(3, 2, 2);
    OneWayChannel(4, 7, 12);
    OneWayChannel(5, 8, 16);
    OneWayChannel(1, 1, 1);
    platform::testing::ClearMessageBoxLog();
    EXPECT_EQ(solver::CheckSystemNetwork(), 0);
    EXPECT_TRUE(platform::testing::MessageBoxLog().empty());
    EXPECT_EQ(solver::RoutingMatrix[0][0], 1);
    EXPECT_EQ(solver::RoutingMatrix[1][1], 1);
    EXPECT_EQ(solver::RoutingMatrix[6][11], 1);
    EXPECT_EQ(solver::RoutingMatrix[7][15], 1);
    EXPECT_EQ(RoutesInMatrix(), 4);
}

TEST_F(NetworkCheck, EightRoutesPassOnEightOutputsEvenToOutputTwelve) {
    shell::OutputLayout = 0;
    for (int pane = 2; pane <= 4; ++pane) {
        NewNetwork(4);
        AddInput(0, 1.0f);
        AddPort(0, 1, static_cast<float>(2 * pane));
        AddPort(0, 1, static_cast<float>(pane == 4 ? 12 : 2 * pane + 1));
        AddGround(1);
        network::SavePaneStore(pane);
    }
    OneWayChannel(5, 1, 13);
    // A pane without an input node adds no routes.
    NewNetwork(2);
    AddPort(0, 1, 14.0f);
    AddGround(1);
    network::SavePaneStore(6);
    OneWayChannel(1, 1, 1);
    EXPECT_EQ(solver::CheckSystemNetwork(), 0);
    EXPECT_EQ(RoutesInMatrix(), 8);
    EXPECT_EQ(solver::RoutingMatrix[0][13], 0);
    EXPECT_EQ(solver::RoutingMatrix[0][11], 1);
}

TEST_F(NetworkCheck, FailedDuplicateTestLeavesNothingVisibleAndNoRoutes) {
    OneWayChannel(1, 1, 1);
    shell::PlotFamilyFlags[3] = 1;
    ASSERT_EQ(solver::CheckSystemNetwork(), 0);
    ASSERT_EQ(shell::SystemCurveTable[48]->v[2000], 1.0f);
    ASSERT_EQ(RoutesInMatrix(), 1);
    OneWayChannel(2, 1, 1);
    OneWayChannel(1, 1, 1);
    EXPECT_EQ(solver::CheckSystemNetwork(), 4);
    for (int block = 0; block < 170; ++block) {
        ASSERT_EQ(shell::SystemCurveTable[block]->v[2000], 0.0f) << block;
    }
    EXPECT_EQ(RoutesInMatrix(), 0);
}

TEST_F(NetworkCheck, VisibleFlagsFollowFamiliesAndPlotFlags) {
    NewNetwork(4);
    AddInput(0, 1.0f);
    AddPort(0, 1, 3.0f);
    const int second = AddPort(0, 1, 5.0f);
    AddGround(1);
    shell::WorkingNetwork.ElementParams[second][shell::kParamPlotFlag] = 0.0f;
    network::SavePaneStore(1);
    for (int& flag : shell::PlotFamilyFlags) flag = 0;
    shell::PlotFamilyFlags[3] = 1;  // Final SPL
    shell::PlotFamilyFlags[9] = 1;  // System Phase
    ASSERT_EQ(solver::CheckSystemNetwork(), 0);
    for (int block = 0; block < 170; ++block) {
        const float want = (block == 50 || block == 130) ? 1.0f : 0.0f;
        EXPECT_EQ(shell::SystemCurveTable[block]->v[2000], want) << "block " << block;
    }
}

TEST_F(NetworkCheck, MoreThanSixteenPortsAreRefusedAsDuplicates) {
    NewNetwork(2);
    AddInput(0, 1.0f);
    for (int i = 0; i < 17; ++i) AddPort(0, 1, static_cast<float>(i % 16 + 1));
    AddGround(1);
    network::SavePaneStore(1);
    EXPECT_EQ(solver::CheckSystemNetwork(), 4);
    EXPECT_EQ(LastMessage(), "Duplicate OUTPUT Ports Found");
}

}  // namespace

namespace {

// A port number or plot flag that is no number, or far beyond int, in any store: the check reads
// it without an undefined conversion (the sanitizer build aborts on one) and neither counts it as
// a duplicate nor routes it.
TEST_F(NetworkCheck, PortWordsThatAreNoNumbersAreReadSafely) {
    const float wild[] = {std::nanf(""), INFINITY, -INFINITY, 3e9f, -3e38f};
    for (const float value : wild) {
        SetUp();
        OneWayChannel(3, 2, 2);
        OneWayChannel(5, 1, 5);
        // The port of pane 5 (slot 2) holds the wild value; two such ports never match.
        shell::PaneStores[4].ElementParams[2][shell::kParamOutputPort] = value;
        OneWayChannel(6, 1, 6);
        shell::PaneStores[5].ElementParams[2][shell::kParamOutputPort] = value;
        OneWayChannel(1, 1, 1);
        shell::WorkingNetwork.ElementParams[2][shell::kParamPlotFlag] = value;
        platform::testing::ClearMessageBoxLog();
        EXPECT_EQ(solver::CheckSystemNetwork(), 0) << value;
        EXPECT_EQ(LastMessage(), "") << value;
        EXPECT_EQ(RoutesInMatrix(), 2) << value << ": only the two sound ports are routed";
    }
}

}  // namespace
