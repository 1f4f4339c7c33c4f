// System Design templates: counts, slots, and node numbers against the wires' connectivity.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "network/Templates.h"
#include "network/WorkingNetwork.h"
#include "shell/Globals.h"

namespace network {
namespace {

struct TemplateCase {
    int ways;
    int elements;
    int wires;
    int nodes;
    std::vector<int> port_slots;  // output ports, row by row from the top
};
void PrintTo(const TemplateCase& c, std::ostream* os) { *os << c.ways << " ways"; }

// Union-find over pane points: wires join their two ends, a point element's terminals share a
// point, and every terminal belongs to the point it sits on.
class Connectivity {
  public:
    int Find(std::pair<int, int> p) {
        auto it = index_.find(p);
        if (it == index_.end()) {
            it = index_.emplace(p, static_cast<int>(parent_.size())).first;
            parent_.push_back(it->second);
        }
        int i = it->second;
        while (parent_[i] != i) i = parent_[i] = parent_[parent_[i]];
        return i;
    }
    void Join(std::pair<int, int> a, std::pair<int, int> b) {
        const int ra = Find(a);
        const int rb = Find(b);
        if (ra != rb) parent_[ra] = rb;
    }

  private:
    std::map<std::pair<int, int>, int> index_;
    std::vector<int> parent_;
};

class TemplatesTest : public ::testing::TestWithParam<TemplateCase> {
  protected:
    void SetUp() override { shell::ResetGlobals(); }
};

TEST_P(TemplatesTest, CountsSlotsAndNodesAgreeWithTheWires) {
    const TemplateCase c = GetParam();
    ClearWorkingNetwork();
    ASSERT_EQ(BuildWayTemplate(c.ways), 0);
    const NetworkTables& t = WorkingNetwork;
    EXPECT_EQ(t.ElementCount, c.elements);
    EXPECT_EQ(t.WireCount, c.wires);
    EXPECT_EQ(t.WMatrixOrder, c.nodes);
    EXPECT_EQ(t.ToolMode, 1);

    // Every slot in use has a kind, every slot beyond is still cleared.
    int inputs = 0, ports = 0, grounds = 0, junctions = 0;
    for (int e = 0; e < shell::kMaxElements; ++e) {
        const auto& g = t.ElementGeometry[e];
        if (e >= c.elements) {
            ASSERT_EQ(g.kind, 0) << "slot " << e;
            continue;
        }
        ASSERT_GE(g.kind, 1) << "slot " << e;
        ASSERT_LE(g.kind, 6) << "slot " << e;
        inputs += g.kind == shell::kElementInputNode;
        ports += g.kind == shell::kElementOutputPort;
        grounds += g.kind == shell::kElementGround;
        junctions += g.kind == shell::kElementJunction;
        EXPECT_EQ(g.node3, -1);
        EXPECT_EQ(g.x3, 0);
        // No template writes a parameter.
        EXPECT_EQ(t.ElementParams[e][shell::kParamF1], 20.0f);
        EXPECT_EQ(t.ElementParams[e][shell::kParamOutputPort], 0.0f);
    }
    EXPECT_EQ(inputs, 1);
    EXPECT_EQ(ports, c.ways);
    EXPECT_EQ(grounds, c.ways);
    EXPECT_EQ(junctions, 1);
    EXPECT_EQ(t.ElementGeometry[0].kind, shell::kElementInputNode);
    EXPECT_EQ(t.ElementGeometry[0].node1, 0) << "the input node is node 0";
    std::vector<int> port_slots;
    for (int e = 0; e < c.elements; ++e) {
        if (t.ElementGeometry[e].kind == shell::kElementOutputPort) port_slots.push_back(e);
    }
    std::vector<int> want = c.port_slots;
    std::sort(want.begin(), want.end());
    EXPECT_EQ(port_slots, want);

    // Shapes: ports vertical 40 px, filters and room EQ horizontal 40 px, points coincide.
    for (int e = 0; e < c.elements; ++e) {
        const auto& g = t.ElementGeometry[e];
        switch (g.kind) {
            case shell::kElementOutputPort:
                EXPECT_TRUE(g.x2 == g.x1 && g.y2 == g.y1 + 40) << "slot " << e;
                break;
            case shell::kElementFilter:
            case shell::kElementRoomEq:
                EXPECT_TRUE(g.y2 == g.y1 && g.x2 == g.x1 + 40) << "slot " << e;
                break;
            default:
                EXPECT_TRUE(g.x2 == g.x1 && g.y2 == g.y1 && g.node1 == g.node2) << "slot " << e;
        }
    }

    // Independent connectivity from the wires and the terminal points.
    Connectivity net;
    for (int w = 0; w < c.wires; ++w) {
        const auto& wire = t.Wire[w];
        net.Join({wire.x1, wire.y1}, {wire.x2, wire.y2});
    }
    for (int w = c.wires; w < shell::kMaxWires; ++w) ASSERT_EQ(t.Wire[w].x1, 0);
    std::map<int, int> class_to_node;
    std::map<int, int> node_to_class;
    std::set<int> used_nodes;
    for (int e = 0; e < c.elements; ++e) {
        const auto& g = t.ElementGeometry[e];
        const std::pair<int, int> terminals[2] = {{g.x1, g.y1}, {g.x2, g.y2}};
        const int nodes[2] = {g.node1, g.node2};
        for (int k = 0; k < 2; ++k) {
            const int cls = net.Find(terminals[k]);
            const int node = nodes[k];
            ASSERT_GE(node, 0) << "slot " << e;
            ASSERT_LT(node, c.nodes) << "slot " << e;
            used_nodes.insert(node);
            auto [it, inserted] = class_to_node.emplace(cls, node);
            EXPECT_EQ(it->second, node) << "slot " << e << " terminal " << k + 1
                                        << ": joined terminals carry different nodes";
            auto [it2, inserted2] = node_to_class.emplace(node, cls);
            EXPECT_EQ(it2->second, cls) << "slot " << e << " terminal " << k + 1 << ": node "
                                        << node << " names unjoined terminals";
        }
    }
    EXPECT_EQ(static_cast<int>(used_nodes.size()), c.nodes) << "node numbers have gaps";
}

INSTANTIATE_TEST_SUITE_P(
    AllWays, TemplatesTest,
    ::testing::Values(TemplateCase{2, 12, 11, 9, {8, 9}}, TemplateCase{3, 16, 15, 12, {12, 6, 9}},
                      TemplateCase{4, 20, 19, 15, {12, 6, 9, 18}},
                      TemplateCase{5, 29, 28, 23, {23, 15, 11, 7, 19}},
                      TemplateCase{6, 34, 33, 27, {23, 15, 11, 7, 19, 32}},
                      TemplateCase{7, 39, 38, 31, {27, 15, 11, 7, 19, 23, 31}},
                      TemplateCase{8, 44, 43, 35, {27, 15, 11, 7, 19, 23, 31, 35}}),
    [](const ::testing::TestParamInfo<TemplateCase>& param_info) {
        return std::to_string(param_info.param.ways) + "Way";
    });

TEST(TemplatesSpotChecks, RowsAndWireOrder) {
    shell::ResetGlobals();
    ClearWorkingNetwork();
    Build4WayTemplate();
    const NetworkTables& t = WorkingNetwork;
    // Row 340: filter A 16 (2, 10), filter B 17 (10, 14), port 18 (14, 11), ground 19 (11).
    EXPECT_EQ(t.ElementGeometry[16].x1, 180);
    EXPECT_EQ(t.ElementGeometry[16].y1, 340);
    EXPECT_EQ(t.ElementGeometry[17].node1, 10);
    EXPECT_EQ(t.ElementGeometry[18].node2, 11);
    EXPECT_EQ(t.ElementGeometry[19].y1, 400);
    // Wire 3 joins the junction to row 140; wire 8 is the B-port link of row 240.
    EXPECT_EQ(t.Wire[3].x1, 170);
    EXPECT_EQ(t.Wire[3].x2, 180);
    EXPECT_EQ(t.Wire[7].x1, 290);
    EXPECT_EQ(t.Wire[7].y1, 240);
    EXPECT_EQ(t.Wire[12].y2, 340);

    ClearWorkingNetwork();
    Build8WayTemplate();
    // Slots 4 to 7: row 360 (filter A, filter B, room EQ, output port); grounds 36 to 43.
    EXPECT_EQ(t.ElementGeometry[6].kind, shell::kElementRoomEq);
    EXPECT_EQ(t.ElementGeometry[6].x1, 340);
    EXPECT_EQ(t.ElementGeometry[7].y1, 360);
    EXPECT_EQ(t.ElementGeometry[43].y1, 900);
    EXPECT_EQ(t.ElementGeometry[35].node1, 33);
    EXPECT_EQ(t.Wire[3].x2, 190);
    EXPECT_EQ(t.Wire[42].y1, 880) << "last wire: port-ground link of row 840";
    EXPECT_EQ(BuildWayTemplate(9), 1);
}

}  // namespace
}  // namespace network
