// Nodal analysis of one channel network: census, incidence matrix, ground reduction with an
// explicit map from network nodes to the rows kept, and the complex node voltages at one grid
// frequency by a pivoted linear solve.
//
// Model: the input node is a 1 V source behind 0.001 ohm; each filter or room-EQ element senses
// its terminal 1 through 1 megohm and drives its terminal 2 with H times that voltage behind
// 0.1 ohm; each output port loads its two nodes with 10 kilohm. Every element branch returns to
// ground. The nodal matrix is M = Ae Ye G AeT - Ao YL AoT, the injection J = Re(Ae Ye) s, and
// the node voltages are V = -(M^-1 J).
#pragma once

#include <complex>
#include <cstddef>
#include <cstdint>

#include "shell/NetworkTables.h"

namespace solver {

inline constexpr int kMaxElements = 64;
inline constexpr int kMaxNodes = 64;
inline constexpr int kMaxPortSlots = 16;
inline constexpr int kMaxBranches = kMaxElements * 2 + 1;

using shell::NetworkTables;

inline int ElementKindAt(const NetworkTables& net, int slot) {
    return net.ElementGeometry[slot].kind;
}

// Number of element slots in use: the scan stops at the first kind of 0 or below, or after 64.
int CountElements(const NetworkTables& net);

// The hot node of output port `element` by the pane painter's rule: the first ground sharing a
// node with the port's terminal 1 makes terminal 2 hot, otherwise one sharing terminal 2 makes
// terminal 1 hot. Returns -1 when no ground shares a node with the port.
int FindHotNode(const NetworkTables& net, int element);

// One output port as the solve walks it.
struct PortSlot {
    int element;   // element slot
    int port;      // port number (integer part), 1..16
    int hot_node;  // hot node as numbered in the network
    int hot_row;   // row of the reduced system that holds the hot node
    float delay_ms;
    int plot_flag;  // integer part of the plot flag
};

// Everything about a network that does not depend on frequency.
struct NodalLayout {
    int m;  // output ports
    int q;  // filter and room-EQ elements
    int e;  // element branches: 2q + 1
    int b;  // all branches: m + e
    int n;  // rows kept: non-ground nodes that carry a branch
    int element_count;
    int slot_count;
    PortSlot slots[kMaxPortSlots];
    int node_row[kMaxNodes];           // reduced row of each network node, -1 when removed
    int row_node[kMaxNodes];           // network node of each reduced row
    int input_element;                 // slot of the input node element
    int input_row;                     // reduced row of the input node, -1 when removed
    int branch_element[kMaxBranches];  // element slot of each element branch (input branch too)
    // Incidence: full matrix over network nodes (rows) and branches (columns), entries -1/0/+1.
    std::int8_t a[kMaxNodes][kMaxBranches];
    // The same per column, over the rows kept: at most two entries (row, sign) per branch.
    int column_entries[kMaxBranches];
    int column_row[kMaxBranches][2];
    int column_sign[kMaxBranches][2];
};

// Layout faults found while building the layout.
enum LayoutResult : int {
    kLayoutOk = 0,
    kLayoutNoNodes = 1,       // nothing left once ground nodes are removed
    kLayoutBadNode = 2,       // a terminal outside 0..matrix_order-1, or matrix_order > 64
    kLayoutNoInput = 3,       // no input node, or no ground
    kLayoutHotNode = 4,       // a port without a grounded terminal, or its hot node not solved
    kLayoutTooManyPorts = 5,  // more than 16 output ports
};

// Census, incidence, ground reduction and the node-to-row map. The hot node of every port is
// recomputed with FindHotNode.
int BuildNodalLayout(const NetworkTables& net, NodalLayout* layout);

// Per-element ramp levels of the Keele LP-N / TWE sections; cleared at the start of a solve.
void ResetKeeleRamps();

// The filter section of filter element `element` at f (Hz), with its own ramp state; stores the
// clamped R of the Keele families back into the element's parameters.
std::complex<float> ElementFilterResponse(NetworkTables& net, int element, float f);

// Solves mat x v = rhs (n x n, rows of kMaxNodes entries) by Gaussian elimination with partial
// pivoting; mat and rhs are overwritten. Returns 0, or 1 when a pivot is not finite or negligible
// against the largest entry (the matrix is singular).
int SolveComplexSystem(int n, std::complex<double> (*mat)[kMaxNodes], std::complex<double>* rhs,
                       std::complex<double>* v);

// Solves the network at grid point k (frequency f) and writes the voltage of each reduced row
// into v[0..n-1]. Returns 0, or 1 when the nodal matrix is singular (or not finite).
int SolveNodalPoint(const NodalLayout& layout, NetworkTables& net, int k, float f,
                    std::complex<double>* v);

}  // namespace solver
