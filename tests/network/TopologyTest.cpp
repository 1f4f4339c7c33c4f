// Joint groups and node numbers: drawn networks against an independent connected-components
// count, the seven templates against the nodes they write, merges, warnings and overflow.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <utility>
#include <vector>

#include "EditorTestSupport.h"
#include "network/Topology.h"

namespace network::test {
namespace {

class TopologyTest : public ::testing::Test {
  protected:
    void SetUp() override { FreshEditor(); }
};

// Node of every wire end by an independent union-find over the wire table; nodes are numbered in
// the order in which their first wire appears.
std::map<std::pair<int, int>, int> ExpectedNodes(int* node_count) {
    std::map<std::pair<int, int>, int> parent_index;
    std::vector<int> parent;
    const auto id = [&](int x, int y) {
        auto [it, fresh] =
            parent_index.emplace(std::make_pair(x, y), static_cast<int>(parent.size()));
        if (fresh) parent.push_back(it->second);
        return it->second;
    };
    const auto root = [&](int v) {
        while (parent[v] != v) v = parent[v];
        return v;
    };
    std::vector<std::pair<int, int>> wire_ids;
    for (int w = 0; w < WorkingNetwork.WireCount; ++w) {
        const auto& wire = WorkingNetwork.Wire[w];
        const int a = id(wire.x1, wire.y1);
        const int b = id(wire.x2, wire.y2);
        parent[root(a)] = root(b);
        wire_ids.emplace_back(a, b);
    }
    std::map<int, int> number_of_root;
    for (const auto& [a, b] : wire_ids) {
        (void)b;
        number_of_root.emplace(root(a), static_cast<int>(number_of_root.size()));
    }
    std::map<std::pair<int, int>, int> nodes;
    for (const auto& [point, index] : parent_index) nodes[point] = number_of_root[root(index)];
    *node_count = static_cast<int>(number_of_root.size());
    return nodes;
}

int NodeOrMinusOne(const std::map<std::pair<int, int>, int>& nodes, int x, int y) {
    const auto it = nodes.find({x, y});
    return it == nodes.end() ? -1 : it->second;
}

void ExpectNodesMatchComponents(const char* what) {
    int count = 0;
    const auto nodes = ExpectedNodes(&count);
    EXPECT_EQ(WorkingNetwork.WMatrixOrder, count) << what;
    for (int e = 0; e < WorkingNetwork.ElementCount; ++e) {
        const auto& g = WorkingNetwork.ElementGeometry[e];
        EXPECT_EQ(g.node1, NodeOrMinusOne(nodes, g.x1, g.y1)) << what << ", element " << e;
        EXPECT_EQ(g.node2, NodeOrMinusOne(nodes, g.x2, g.y2)) << what << ", element " << e;
    }
}

TEST_F(TopologyTest, NoWiresLeavesNoNodesAndEmptyGroups) {
    PutElement(shell::kElementInputNode, 20, 20);
    WorkingNetwork.WMatrixOrder = 5;
    EXPECT_EQ(RebuildNetworkNodes(), 0);
    EXPECT_EQ(WorkingNetwork.WMatrixOrder, 0);
    for (const auto& group : WorkingNetwork.JointGroup) {
        for (const auto& point : group) ASSERT_EQ(point.x, 0);
    }
}

TEST_F(TopologyTest, OneWireFromInputNodeToFilter) {
    PutElement(shell::kElementInputNode, 20, 90);
    PutElement(shell::kElementFilter, 30, 90);
    PutWire(20, 90, 30, 90);
    EXPECT_EQ(RebuildNetworkNodes(), 0);
    EXPECT_EQ(WorkingNetwork.WMatrixOrder, 1);
    EXPECT_EQ(WorkingNetwork.JointGroup[0][0].x, 20);
    EXPECT_EQ(WorkingNetwork.JointGroup[0][1].x, 30);
    EXPECT_EQ(WorkingNetwork.JointGroup[1][0].x, 0);
    EXPECT_EQ(Geometry(WorkingNetwork, 0).node1, 0);
    EXPECT_EQ(Geometry(WorkingNetwork, 0).node2, 0);
    EXPECT_EQ(Geometry(WorkingNetwork, 1).node1, 0);
    EXPECT_EQ(Geometry(WorkingNetwork, 1).node2, -1);
}

TEST_F(TopologyTest, ThirdWireMergesTwoGroupsIntoNodeZero) {
    for (int x : {20, 60, 100, 140}) PutElement(shell::kElementJunction, x, 50);
    PutWire(20, 50, 60, 50);    // a-b
    PutWire(100, 50, 140, 50);  // c-d
    ASSERT_EQ(RebuildNetworkNodes(), 0);
    ASSERT_EQ(WorkingNetwork.WMatrixOrder, 2);
    EXPECT_EQ(Geometry(WorkingNetwork, 2).node1, 1);
    PutWire(60, 50, 100, 50);  // b-c
    EXPECT_EQ(RebuildNetworkNodes(), 0);
    EXPECT_EQ(WorkingNetwork.WMatrixOrder, 1);
    for (int e = 0; e < 4; ++e) EXPECT_EQ(Geometry(WorkingNetwork, e).node1, 0) << e;
    // The merged group holds each point once.
    int points = 0;
    for (const auto& p : WorkingNetwork.JointGroup[0]) points += p.x != 0;
    EXPECT_EQ(points, 4);
}

TEST_F(TopologyTest, MergeRenumbersLaterGroupsDown) {
    // Four separate pairs; then join pair 1 to pair 3: pair 2 becomes node 1, pair 4 node 2.
    struct Pair {
        int a, b;
    };
    const Pair pairs[4] = {{20, 40}, {80, 100}, {140, 160}, {200, 220}};
    for (const auto& p : pairs) {
        PutElement(shell::kElementJunction, p.a, 30);
        PutElement(shell::kElementJunction, p.b, 30);
        PutWire(p.a, 30, p.b, 30);
    }
    PutWire(40, 30, 140, 30);
    EXPECT_EQ(RebuildNetworkNodes(), 0);
    EXPECT_EQ(WorkingNetwork.WMatrixOrder, 3);
    const int expected[8] = {0, 0, 1, 1, 0, 0, 2, 2};
    for (int e = 0; e < 8; ++e) EXPECT_EQ(Geometry(WorkingNetwork, e).node1, expected[e]) << e;
    ExpectNodesMatchComponents("pairs joined");
}

TEST_F(TopologyTest, RandomDrawnNetworksMatchConnectedComponents) {
    std::mt19937 random(12345);
    for (int round = 0; round < 40; ++round) {
        ClearWorkingNetwork();
        // Junctions on a 6 x 5 lattice; 5 to 30 wires between random junctions.
        for (int i = 0; i < 30; ++i)
            PutElement(shell::kElementJunction, 20 + 40 * (i % 6), 20 + 40 * (i / 6));
        std::uniform_int_distribution<int> pick(0, 29);
        std::uniform_int_distribution<int> wire_count(5, 30);
        const int wires = wire_count(random);
        for (int w = 0; w < wires; ++w) {
            const int a = pick(random);
            const int b = pick(random);
            PutWire(20 + 40 * (a % 6), 20 + 40 * (a / 6), 20 + 40 * (b % 6), 20 + 40 * (b / 6));
        }
        platform::testing::ClearMessageBoxLog();
        EXPECT_EQ(RebuildNetworkNodes(), 0) << "round " << round;
        EXPECT_TRUE(platform::testing::MessageBoxLog().empty()) << "round " << round;
        ExpectNodesMatchComponents(("round " + std::to_string(round)).c_str());
    }
}

TEST_F(TopologyTest, WireEndOnAnotherWiresRunDoesNotConnect) {
    PutElement(shell::kElementJunction, 20, 50);
    PutElement(shell::kElementJunction, 120, 50);
    PutElement(shell::kElementJunction, 70, 100);
    PutElement(shell::kElementJunction, 70, 50);  // a terminal on the middle of the first run
    PutWire(20, 50, 120, 50);
    PutWire(70, 100, 70, 50);
    EXPECT_EQ(RebuildNetworkNodes(), 0);
    EXPECT_EQ(WorkingNetwork.WMatrixOrder, 2);
    EXPECT_NE(Geometry(WorkingNetwork, 0).node1, Geometry(WorkingNetwork, 2).node1);
}

TEST_F(TopologyTest, SevenTemplatesKeepTheirNodesAfterARebuild) {
    for (int ways = 2; ways <= 8; ++ways) {
        ClearWorkingNetwork();
        ASSERT_EQ(BuildWayTemplate(ways), 0);
        const int order = WorkingNetwork.WMatrixOrder;
        const int count = WorkingNetwork.ElementCount;
        std::vector<std::pair<int, int>> written;
        for (int e = 0; e < count; ++e) {
            written.emplace_back(Geometry(WorkingNetwork, e).node1,
                                 Geometry(WorkingNetwork, e).node2);
        }
        platform::testing::ClearMessageBoxLog();
        EXPECT_EQ(RebuildNetworkNodes(), 0) << ways << " ways";
        EXPECT_TRUE(platform::testing::MessageBoxLog().empty()) << ways << " ways";
        EXPECT_EQ(WorkingNetwork.WMatrixOrder, order) << ways << " ways";
        ExpectNodesMatchComponents((std::to_string(ways) + " ways").c_str());
        EXPECT_EQ(Geometry(WorkingNetwork, 0).node1, 0) << "input node of " << ways << " ways";
        // Same partition of the terminals as the template wrote: two terminals share a node
        // after the rebuild exactly when they shared one before.
        std::vector<int> before;
        std::vector<int> after;
        for (int e = 0; e < count; ++e) {
            before.push_back(written[e].first);
            before.push_back(written[e].second);
            after.push_back(Geometry(WorkingNetwork, e).node1);
            after.push_back(Geometry(WorkingNetwork, e).node2);
        }
        for (std::size_t i = 0; i < before.size(); ++i) {
            ASSERT_GE(after[i], 0) << ways << " ways, terminal " << i;
            for (std::size_t j = i + 1; j < before.size(); ++j) {
                ASSERT_EQ(before[i] == before[j], after[i] == after[j])
                    << ways << " ways, terminals " << i << " and " << j;
            }
        }
    }
}

TEST_F(TopologyTest, TwoFilterOutputsOnOneJunctionWarnOnceAndKeepTheWires) {
    PutElement(shell::kElementFilter, 20, 40);
    PutElement(shell::kElementFilter, 20, 100);
    PutElement(shell::kElementJunction, 100, 70);
    PutWire(60, 40, 100, 70);
    PutWire(60, 100, 100, 70);
    EXPECT_EQ(RebuildNetworkNodes(), 1);
    ASSERT_EQ(platform::testing::MessageBoxLog().size(), 1u);
    const auto& box = platform::testing::MessageBoxLog()[0];
    EXPECT_EQ(box.text,
              "Parallel Connection of Outputs Is NOT Permitted\nPlease Disconnect This Link");
    EXPECT_EQ(box.caption, "Splitter Window");
    EXPECT_EQ(box.type, platform::MB_OK | platform::MB_ICONEXCLAMATION);
    EXPECT_EQ(WorkingNetwork.WireCount, 2);
    EXPECT_EQ(Geometry(WorkingNetwork, 0).node2, Geometry(WorkingNetwork, 1).node2);
}

TEST_F(TopologyTest, FilterOutputBesideAPortIsNotWarned) {
    PutElement(shell::kElementFilter, 20, 40);
    PutElement(shell::kElementOutputPort, 100, 40);
    PutWire(60, 40, 100, 40);
    EXPECT_EQ(RebuildNetworkNodes(), 0);
    EXPECT_TRUE(platform::testing::MessageBoxLog().empty());
}

TEST_F(TopologyTest, WireEndsMustLieOnTerminals) {
    PutElement(shell::kElementFilter, 100, 100);
    PutElement(shell::kElementOutputPort, 200, 100);
    struct Case {
        int x1, y1, x2, y2, expected;
    };
    const Case cases[] = {
        {140, 100, 200, 100, 1},  // filter output to port top
        {100, 100, 200, 140, 1},  // filter input to port bottom
        {100, 100, 140, 100, 1},  // both ends on one element
        {140, 100, 300, 300, 0},  // second end in empty space
        {300, 300, 140, 100, 0},  // first end in empty space
        {120, 100, 200, 100, 0},  // the middle of the filter is no terminal
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WireEndsOnTerminals(c.x1, c.y1, c.x2, c.y2), c.expected)
            << c.x1 << "," << c.y1 << " - " << c.x2 << "," << c.y2;
    }
}

TEST_F(TopologyTest, GroupOverflowWarnsAndKeepsTheNodeCount) {
    // Two stars of 39 and 29 wires, then a wire joining the centres: the merge would need a 71st
    // place in the first group.
    WorkingNetwork.WMatrixOrder = 7;
    for (int i = 0; i < 39; ++i) ASSERT_EQ(AddWireToJoints(10, 10, 20 + 10 * i, 500), 0);
    for (int i = 0; i < 29; ++i) ASSERT_EQ(AddWireToJoints(10, 20, 20 + 10 * i, 600), 0);
    ASSERT_EQ(WorkingNetwork.WMatrixOrder, 2);
    EXPECT_TRUE(platform::testing::MessageBoxLog().empty());
    EXPECT_EQ(AddWireToJoints(10, 10, 10, 20), 1);
    ASSERT_EQ(platform::testing::MessageBoxLog().size(), 1u);
    EXPECT_EQ(platform::testing::MessageBoxLog()[0].text, "Unable to proceed, too many joints !");
    EXPECT_EQ(platform::testing::MessageBoxLog()[0].caption, "Splitter Window");
    EXPECT_EQ(WorkingNetwork.WMatrixOrder, 2);
}

TEST_F(TopologyTest, DedupeRemovesRepeatedPointsInsideAGroup) {
    WorkingNetwork.JointGroup[0][0] = {10, 10};
    WorkingNetwork.JointGroup[0][1] = {20, 10};
    WorkingNetwork.JointGroup[0][2] = {10, 10};
    WorkingNetwork.JointGroup[0][3] = {30, 10};
    WorkingNetwork.JointGroup[0][4] = {20, 10};
    WorkingNetwork.JointGroup[1][0] = {50, 50};
    WorkingNetwork.JointGroup[1][1] = {50, 50};
    DedupeJointGroups();
    EXPECT_EQ(WorkingNetwork.JointGroup[0][0].x, 10);
    EXPECT_EQ(WorkingNetwork.JointGroup[0][1].x, 20);
    EXPECT_EQ(WorkingNetwork.JointGroup[0][2].x, 30);
    EXPECT_EQ(WorkingNetwork.JointGroup[0][3].x, 0);
    EXPECT_EQ(WorkingNetwork.JointGroup[1][0].x, 50);
    EXPECT_EQ(WorkingNetwork.JointGroup[1][1].x, 0);
}

}  // namespace
}  // namespace network::test
