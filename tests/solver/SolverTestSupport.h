// Shared set-up of the solver tests: a known start state with the start-up blocks allocated,
// the default grids built, and small helpers to draw networks straight into the tables.
#pragma once

#include <complex>

#include "network/EditorState.h"
#include "network/Globals.h"
#include "network/Templates.h"
#include "network/WorkingNetwork.h"
#include "platform/testing/MessageBoxLog.h"
#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"
#include "shell/StartupAllocation.h"
#include "solver/Globals.h"
#include "solver/SolveNetwork.h"

namespace solver::test {

// The state of the shell, the network editor and the solver back to their start values.
inline void ResetFolders() {
    shell::ResetGlobals();
    network::ResetGlobals();
    solver::ResetGlobals();
}

inline void ResetSolverWorld() {
    static bool allocated = false;
    if (!allocated) {
        shell::AllocMainBuffers();
        shell::AllocCurveBuffers();
        shell::AllocDspBuffers();
        allocated = true;
    }
    ResetFolders();
    solver::ClearSolverPlots();        // curves a previous test drew stay in the start-up blocks
    shell::BuildFrequencyGrids(3, 6);  // 10 Hz .. 50 kHz
    shell::SetBlockFrames(0);          // F = 1024
    platform::testing::ClearMessageBoxLog();
}

// Appends an element to the working network with the given kind and terminal nodes; returns
// its slot. Positions are arbitrary (the solver reads only kinds and nodes).
inline int AddElement(int kind, int node1, int node2) {
    shell::NetworkTables& net = shell::WorkingNetwork;
    const int slot = net.ElementCount++;
    shell::ElementGeometryRecord& g = net.ElementGeometry[slot];
    g.x1 = 10 + 50 * slot;
    g.y1 = 10;
    g.x2 = g.x1 + (kind == shell::kElementFilter || kind == shell::kElementRoomEq ? 40 : 0);
    g.y2 = g.y1 + (kind == shell::kElementOutputPort ? 40 : 0);
    g.kind = kind;
    g.node1 = node1;
    g.node2 = node2;
    return slot;
}

inline int AddFilter(int node1, int node2, float family, float slope, float fo) {
    const int slot = AddElement(shell::kElementFilter, node1, node2);
    float* p = shell::WorkingNetwork.ElementParams[slot];
    p[shell::kParamFamily] = family;
    p[shell::kParamSlope] = slope;
    p[shell::kParamFo] = fo;
    p[shell::kParamBypass] = 0.0f;
    return slot;
}

inline int AddPort(int hot, int cold, float port) {
    const int slot = AddElement(shell::kElementOutputPort, hot, cold);
    shell::WorkingNetwork.ElementParams[slot][shell::kParamOutputPort] = port;
    return slot;
}

inline int AddInput(int node, float port) {
    const int slot = AddElement(shell::kElementInputNode, node, node);
    shell::WorkingNetwork.ElementParams[slot][shell::kParamInputPort] = port;
    return slot;
}

inline int AddGround(int node) { return AddElement(shell::kElementGround, node, node); }

// Empties the working network with the template defaults and sets its node count.
inline void NewNetwork(int nodes) {
    network::ClearWorkingNetwork();
    shell::WorkingNetwork.WMatrixOrder = nodes;
}

// A valid one-way channel: input port `in` through a Butterworth low pass at 1 kHz to output
// `out`, saved into pane `pane`.
inline void OneWayChannel(int pane, float in, float out) {
    NewNetwork(3);
    AddInput(0, in);
    AddFilter(0, 1, 1.0f, 1.0f, 1000.0f);
    AddPort(1, 2, out);
    AddGround(2);
    network::SavePaneStore(pane);
}

inline std::complex<double> ToComplex(shell::ComplexPoint p) { return {p.re, p.im}; }

}  // namespace solver::test
