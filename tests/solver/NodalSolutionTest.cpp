// Nodal solution against circuit arithmetic worked out by hand and against the product of the
// filter transfers along each port's path.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "solver/FilterSections.h"
#include "solver/NodalSolution.h"
#include "solver/SolveNetwork.h"
#include "tests/solver/SolverTestSupport.h"

namespace {

using Complex = std::complex<double>;
using namespace solver::test;

class NodalSolution : public ::testing::Test {
  protected:
    void SetUp() override { ResetSolverWorld(); }
};

Complex SectionAt(int slot, float f) {
    const float* p = shell::WorkingNetwork.ElementParams[slot];
    solver::FilterSectionFields fields{p[shell::kParamFamily], p[shell::kParamSlope],
                                       p[shell::kParamFo],     p[shell::kParamBypass],
                                       p[shell::kParamRQ],     p[shell::kParamGain]};
    const std::complex<float> h = solver::EvaluateFilterSection(fields, f, nullptr, nullptr);
    return {h.real(), h.imag()};
}

void ExpectRelNear(Complex got, Complex want, double tol, const std::string& what) {
    EXPECT_LE(std::abs(got - want), tol * std::abs(want) + 1e-12)
        << what << ": got " << got << " want " << want;
}

TEST_F(NodalSolution, ReducedIncidenceOfTheSingleFilterChain) {
    // Input on node 1, filter 1 -> 2, port on (2, 0), ground on node 0.
    NewNetwork(3);
    AddInput(1, 1.0f);
    AddFilter(1, 2, 1.0f, 3.0f, 1000.0f);
    AddPort(2, 0, 1.0f);
    AddGround(0);
    static solver::NodalLayout layout;
    ASSERT_EQ(solver::BuildNodalLayout(shell::WorkingNetwork, &layout), solver::kLayoutOk);
    EXPECT_EQ(layout.m, 1);
    EXPECT_EQ(layout.e, 3);
    EXPECT_EQ(layout.b, 4);
    EXPECT_EQ(layout.n, 2);
    const int want[2][4] = {{0, -1, 0, -1}, {-1, 0, -1, 0}};
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(layout.a[layout.row_node[r]][c], want[r][c]) << "row " << r << " col " << c;
        }
    }
    EXPECT_EQ(layout.slots[0].hot_row, 1);
}

TEST_F(NodalSolution, OneFilterGivesHTimesTenOverTenPointZeroZeroZeroOne) {
    NewNetwork(3);
    AddInput(0, 1.0f);
    const int filter = AddFilter(0, 1, 1.0f, 3.0f, 1000.0f);
    AddPort(1, 2, 1.0f);
    AddGround(2);
    static solver::NodalLayout layout;
    ASSERT_EQ(solver::BuildNodalLayout(shell::WorkingNetwork, &layout), solver::kLayoutOk);
    for (int k : {0, 500, 1000, 1500, 1999}) {
        const float f = shell::FrequencyGrid[k];
        Complex v[solver::kMaxNodes];
        ASSERT_EQ(solver::SolveNodalPoint(layout, shell::WorkingNetwork, k, f, v), 0);
        const Complex h = SectionAt(filter, f);
        ExpectRelNear(v[layout.slots[0].hot_row], h * (10.0 / 10.0001), 1e-6, "hot node");
        ExpectRelNear(v[layout.input_row], Complex(1.0, 0.0), 1e-6, "input node");
    }
}

TEST_F(NodalSolution, TwoFiltersInSeries) {
    // Input node 0 -> filter -> node 1 -> filter -> node 2, port on (2, 3), ground on 3.
    NewNetwork(4);
    AddInput(0, 1.0f);
    const int f1 = AddFilter(0, 1, 1.0f, 6.0f, 200.0f);
    const int f2 = AddFilter(1, 2, 0.0f, 3.0f, 3000.0f);
    AddPort(2, 3, 1.0f);
    AddGround(3);
    static solver::NodalLayout layout;
    ASSERT_EQ(solver::BuildNodalLayout(shell::WorkingNetwork, &layout), solver::kLayoutOk);
    for (int k : {0, 700, 1400, 1999}) {
        const float f = shell::FrequencyGrid[k];
        Complex v[solver::kMaxNodes];
        ASSERT_EQ(solver::SolveNodalPoint(layout, shell::WorkingNetwork, k, f, v), 0);
        // Each node by hand: the source divides against the 1 Mohm sense branch, each drive of
        // 0.1 ohm against the next sense branch, the last one against the 10 kohm load.
        const double v0 = 1000.0 / (1000.0 + 1e-6);
        const Complex v1 = SectionAt(f1, f) * v0 * (10.0 / (10.0 + 1e-6));
        const Complex v2 = SectionAt(f2, f) * v1 * (10.0 / 10.0001);
        ExpectRelNear(v[layout.node_row[1]], v1, 1e-6, "middle node");
        ExpectRelNear(v[layout.node_row[2]], v2, 1e-6, "port node");
    }
}

// Walks from a port's hot node back to the input node through the filter and room-EQ elements
// whose terminal 2 sits on the current node, multiplying their transfers.
Complex PathProduct(int hot, int k, float f) {
    const shell::NetworkTables& net = shell::WorkingNetwork;
    int input_node = -1;
    for (int i = 0; i < net.ElementCount; ++i) {
        if (net.ElementGeometry[i].kind == shell::kElementInputNode) {
            input_node = net.ElementGeometry[i].node1;
        }
    }
    Complex product(1.0, 0.0);
    int node = hot;
    for (int guard = 0; node != input_node && guard < 64; ++guard) {
        int found = -1;
        for (int i = 0; i < net.ElementCount; ++i) {
            const int kind = net.ElementGeometry[i].kind;
            if ((kind == shell::kElementFilter || kind == shell::kElementRoomEq) &&
                net.ElementGeometry[i].node2 == node) {
                found = i;
            }
        }
        if (found < 0) return Complex(0.0, 0.0);
        if (net.ElementGeometry[found].kind == shell::kElementFilter) {
            product *= SectionAt(found, f);
        } else {
            product *= ToComplex(net.ElementTransfer[found][k]);
        }
        node = net.ElementGeometry[found].node1;
    }
    return product;
}

TEST_F(NodalSolution, EveryTemplateMatchesThePathProducts) {
    for (int ways = 2; ways <= 8; ++ways) {
        network::ClearWorkingNetwork();
        ASSERT_EQ(network::BuildWayTemplate(ways), 0);
        shell::NetworkTables& net = shell::WorkingNetwork;
        // Distinct sections per filter, distinct room-EQ curves, port numbers 1..N.
        int port = 0;
        int filter_index = 0;
        for (int i = 0; i < net.ElementCount; ++i) {
            float* p = net.ElementParams[i];
            switch (net.ElementGeometry[i].kind) {
                case shell::kElementFilter:
                    p[shell::kParamFamily] = static_cast<float>(filter_index % 3);
                    p[shell::kParamSlope] = static_cast<float>((filter_index * 3) % 10);
                    p[shell::kParamFo] = 80.0f * static_cast<float>(filter_index + 1);
                    ++filter_index;
                    break;
                case shell::kElementRoomEq:
                    for (int k = 0; k < 2000; ++k) {
                        net.ElementTransfer[i][k] = {1.0f + 0.0001f * k, -0.0002f * i};
                    }
                    break;
                case shell::kElementOutputPort:
                    p[shell::kParamOutputPort] = static_cast<float>(++port);
                    break;
                default:
                    break;
            }
        }
        ASSERT_EQ(port, ways);
        static solver::NodalLayout layout;
        ASSERT_EQ(solver::BuildNodalLayout(net, &layout), solver::kLayoutOk) << ways << " ways";
        for (int k : {0, 999, 1999}) {
            const float f = shell::FrequencyGrid[k];
            Complex v[solver::kMaxNodes];
            ASSERT_EQ(solver::SolveNodalPoint(layout, net, k, f, v), 0);
            for (int s = 0; s < layout.slot_count; ++s) {
                const Complex want = PathProduct(layout.slots[s].hot_node, k, f);
                ASSERT_GT(std::abs(want), 0.0);
                // Every stage loses at most 1e-5 to the loading of the next branch.
                ExpectRelNear(v[layout.slots[s].hot_row], want, 1e-4,
                              std::to_string(ways) + " ways, port " + std::to_string(s + 1));
            }
        }
    }
}

TEST_F(NodalSolution, HotNodeMapsThroughSharedGroundsAndBranchlessNodes) {
    // Two grounds on node 1, an unused node 2, the port's hot node 4: rows are mapped, not
    // counted, so the port still reads its own node.
    NewNetwork(5);
    AddInput(0, 1.0f);
    AddGround(1);
    AddGround(1);
    const int filter = AddFilter(0, 4, 1.0f, 1.0f, 500.0f);
    AddElement(shell::kElementJunction, 2, 2);
    AddPort(4, 1, 1.0f);
    AddFilter(0, 3, 1.0f, 6.0f, 500.0f);
    AddPort(3, 1, 2.0f);
    static solver::NodalLayout layout;
    ASSERT_EQ(solver::BuildNodalLayout(shell::WorkingNetwork, &layout), solver::kLayoutOk);
    EXPECT_EQ(layout.n, 3);  // nodes 0, 3, 4
    EXPECT_EQ(layout.node_row[1], -1);
    EXPECT_EQ(layout.node_row[2], -1);
    EXPECT_EQ(layout.slots[0].hot_row, layout.node_row[4]);
    const float f = shell::FrequencyGrid[800];
    Complex v[solver::kMaxNodes];
    ASSERT_EQ(solver::SolveNodalPoint(layout, shell::WorkingNetwork, 800, f, v), 0);
    ExpectRelNear(v[layout.slots[0].hot_row], SectionAt(filter, f) * (10.0 / 10.0001), 1e-5,
                  "port on node 4");
}

TEST_F(NodalSolution, SectionOfAnElementStoresItsClampedR) {
    NewNetwork(2);
    const int slot = AddFilter(0, 1, 8.0f, 0.0f, 1000.0f);  // Keele LP-W
    shell::WorkingNetwork.ElementParams[slot][shell::kParamRQ] = 5.0f;
    std::complex<float> h;
    EXPECT_EQ(solver::ComputeFilterSectionResponse(&h, 4500.0f, slot), &h);
    EXPECT_EQ(h, std::complex<float>(1e-9f, 0.0f));
    EXPECT_EQ(shell::WorkingNetwork.ElementParams[slot][shell::kParamRQ], 4.0f);
    shell::WorkingNetwork.ElementParams[slot][shell::kParamBypass] = 1.0f;
    solver::ComputeFilterSectionResponse(&h, 4500.0f, slot);
    EXPECT_EQ(h, std::complex<float>(1.0f, 0.0f));
}

TEST_F(NodalSolution, PivotingSolvesAZeroLeadingDiagonal) {
    // [[0, 2], [3, 1]] v = [4, 5]: v = (1, 2); without row exchange the first pivot is 0.
    static Complex mat[solver::kMaxNodes][solver::kMaxNodes];
    mat[0][0] = 0.0;
    mat[0][1] = 2.0;
    mat[1][0] = 3.0;
    mat[1][1] = 1.0;
    Complex rhs[2] = {4.0, 5.0};
    Complex v[2];
    ASSERT_EQ(solver::SolveComplexSystem(2, mat, rhs, v), 0);
    EXPECT_NEAR(std::abs(v[0] - 1.0), 0.0, 1e-12);
    EXPECT_NEAR(std::abs(v[1] - 2.0), 0.0, 1e-12);
    // A singular matrix is reported.
    mat[0][0] = 1.0;
    mat[0][1] = 2.0;
    mat[1][0] = 2.0;
    mat[1][1] = 4.0;
    Complex rhs2[2] = {1.0, 2.0};
    EXPECT_EQ(solver::SolveComplexSystem(2, mat, rhs2, v), 1);
}

TEST_F(NodalSolution, AFailedSolveShowsItsMessageAndChangesNothing) {
    NewNetwork(4);
    AddInput(0, 1.0f);
    const int eq = AddElement(shell::kElementRoomEq, 0, 1);
    AddFilter(1, 2, 1.0f, 1.0f, 1000.0f);
    AddPort(2, 3, 5.0f);
    AddGround(3);
    // A first, good solve fills port 5's tables.
    network::ActivePane = 1;
    ASSERT_EQ(solver::SolveNetwork(), 0);
    std::vector<shell::ComplexPoint> port_before(shell::PortResponseTable[4],
                                                 shell::PortResponseTable[4] + 2049);
    std::vector<float> curve_before(shell::SystemCurveTable[4]->v,
                                    shell::SystemCurveTable[4]->v + 2010);
    std::vector<shell::ComplexPoint> spectrum_before(shell::FirSpectrumTables[0][4],
                                                     shell::FirSpectrumTables[0][4] + 65536);
    // A room-EQ correction that is not a number half way up the grid cannot be solved.
    shell::WorkingNetwork.ElementTransfer[eq][1000] = {std::nanf(""), 0.0f};
    shell::WorkingNetwork.ElementParams[3][shell::kParamOutputGain] = 6.0f;
    platform::testing::ClearMessageBoxLog();
    EXPECT_EQ(solver::SolveNetwork(), 1);
    ASSERT_EQ(platform::testing::MessageBoxLog().size(), 1u);
    EXPECT_EQ(platform::testing::MessageBoxLog()[0].caption, "QV Message");
    for (int k = 0; k < 2049; ++k) {
        ASSERT_EQ(port_before[k].re, shell::PortResponseTable[4][k].re) << k;
        ASSERT_EQ(port_before[k].im, shell::PortResponseTable[4][k].im) << k;
    }
    for (int k = 0; k < 2010; ++k) ASSERT_EQ(curve_before[k], shell::SystemCurveTable[4]->v[k]);
    for (int b = 0; b < 65536; ++b) {
        ASSERT_EQ(spectrum_before[b].re, shell::FirSpectrumTables[0][4][b].re) << b;
    }
}

}  // namespace
