#include "solver/NetworkCheck.h"

#include <algorithm>

#include "shell/NetworkTables.h"
#include "shell/PreferencesRecord.h"
#include "solver/Globals.h"
#include "solver/NodalSolution.h"
#include "solver/SharedState.h"

namespace solver {

namespace {

// The output-port list holds every port of the seven stores plus one closing 0; more than 16
// ports always hold a duplicate, so the list never needs more than 17 entries.
constexpr int kPortListCapacity = kOutputPorts + 1;

int Refuse(const char* text, int code) {
    ShowSolverMessage(text);
    return code;
}

// Fills `list` with the truncated output-port numbers of all seven stores, then the closing 0.
// Returns the entry count, or -1 when there are more than 16 ports.
int CollectOutputPorts(int* list) {
    int count = 0;
    for (const shell::PaneStore& store : shell::PaneStores) {
        for (int i = 0; i < shell::kMaxElements && store.ElementGeometry[i].kind > 0; ++i) {
            if (store.ElementGeometry[i].kind != shell::kElementOutputPort) continue;
            if (count >= kOutputPorts) return -1;
            // A port number that is no integer at all matches no other port (the range check
            // of the working network names it).
            list[count] = TruncatedIndex(store.ElementParams[i][shell::kParamOutputPort], -1000,
                                         1000, -100000 - count);
            ++count;
        }
    }
    list[count++] = 0;
    return count;
}

bool HasDuplicate(const int* list, int count) {
    for (int i = 0; i < count; ++i) {
        for (int j = i + 1; j < count; ++j) {
            if (list[i] == list[j]) return true;
        }
    }
    return false;
}

void AddRoutes(const shell::PaneStore& store) {
    int input_port = -1;
    for (int i = 0; i < shell::kMaxElements && store.ElementGeometry[i].kind > 0; ++i) {
        if (store.ElementGeometry[i].kind == shell::kElementInputNode) {
            const float port = store.ElementParams[i][shell::kParamInputPort];
            input_port = (port >= 1.0f && port < 9.0f) ? static_cast<int>(port) : 0;
            break;
        }
    }
    if (input_port <= 0) return;
    for (int i = 0; i < shell::kMaxElements && store.ElementGeometry[i].kind > 0; ++i) {
        if (store.ElementGeometry[i].kind != shell::kElementOutputPort) continue;
        const float port = store.ElementParams[i][shell::kParamOutputPort];
        if (port >= 1.0f && port < 17.0f) {
            RoutingMatrix[input_port - 1][static_cast<int>(port) - 1] = 1;
        }
    }
}

}  // namespace

int CheckSystemNetwork() {
    shell::NetworkTables& net = shell::WorkingNetwork;
    if (net.WMatrixOrder <= 0 || net.WMatrixOrder > kMaxNodes) {
        return Refuse("System Not Recognized", kCheckStructure);
    }
    const int count = CountElements(net);
    int inputs = 0;
    int grounds = 0;
    for (int i = 0; i < count; ++i) {
        const shell::ElementGeometryRecord& g = net.ElementGeometry[i];
        // A terminal on no wire, or on a node the network does not have, is disjoined.
        if (g.node1 < 0 || g.node2 < 0 || g.node1 >= net.WMatrixOrder ||
            g.node2 >= net.WMatrixOrder) {
            return Refuse("Network Disjoined", kCheckStructure);
        }
        if (g.kind == shell::kElementInputNode) ++inputs;
        if (g.kind == shell::kElementGround) ++grounds;
    }
    if (inputs == 0) return Refuse("Input Terminal Not Connected", kCheckStructure);
    if (inputs > 1) return Refuse("Too Many Input Terminals", kCheckStructure);
    if (grounds == 0) return Refuse("There must be at least one GROUND node", kCheckStructure);

    // Every output port needs a grounded terminal, and its hot node must be a node the solve
    // keeps; the hot node is taken from the network itself, not from the last paint.
    for (int i = 0; i < count; ++i) {
        if (net.ElementGeometry[i].kind != shell::kElementOutputPort) continue;
        if (FindHotNode(net, i) < 0) {
            return Refuse("OUTPUT Port Has No GROUND Terminal", kCheckStructure);
        }
    }
    static NodalLayout layout;
    const int layout_result = BuildNodalLayout(net, &layout);
    if (layout_result == kLayoutNoNodes) return Refuse("System Not Recognized", kCheckStructure);
    if (layout_result == kLayoutHotNode) {
        return Refuse("OUTPUT Port Node Is Out Of Range", kCheckStructure);
    }

    for (int block = 0; block < shell::kSystemCurveCount; ++block) {
        SystemCurve(block)[shell::kCurveVisible] = 0.0f;
    }
    std::fill(&RoutingMatrix[0][0], &RoutingMatrix[0][0] + kInputPorts * kOutputPorts, 0);

    int port_list[kPortListCapacity];
    const int port_count = CollectOutputPorts(port_list);
    if (port_count < 0 || HasDuplicate(port_list, port_count) ||
        layout_result == kLayoutTooManyPorts) {
        return Refuse("Duplicate OUTPUT Ports Found", kCheckDuplicatePort);
    }

    for (int i = 0; i < count; ++i) {
        if (net.ElementGeometry[i].kind != shell::kElementInputNode) continue;
        const float port = net.ElementParams[i][shell::kParamInputPort];
        if (!(port >= 1.0f && port <= 8.0f)) {
            return Refuse("Sound Card INPUT Port Is Out Of Range (1.....6)", kCheckInputPort);
        }
    }

    struct PlotEntry {
        int port_index;
        int plot_flag;
    };
    PlotEntry plot_list[kOutputPorts];
    int plot_count = 0;
    for (int i = 0; i < count; ++i) {
        if (net.ElementGeometry[i].kind != shell::kElementOutputPort) continue;
        const float port = net.ElementParams[i][shell::kParamOutputPort];
        if (!(port >= 1.0f && port <= 16.0f)) {
            return Refuse("Sound Card OUTPUT Port Is Out Of Range (1.....16)", kCheckStructure);
        }
        if (plot_count < kOutputPorts) {
            plot_list[plot_count++] = {
                static_cast<int>(port) - 1,
                TruncatedIndex(net.ElementParams[i][shell::kParamPlotFlag], -1, 1, 0)};
        }
    }

    for (const shell::PaneStore& store : shell::PaneStores) AddRoutes(store);

    if (CurrentOutputLayout() == 0) {
        int routes = 0;
        for (const auto& row : RoutingMatrix) {
            for (std::int32_t entry : row) routes += entry == 1 ? 1 : 0;
        }
        if (routes > 8) return Refuse("Sound Card Is Selected For 8 Outputs", kCheckEightOutputs);
    }

    for (int word = 0; word < kPlotFamilies; ++word) {
        if (shell::PlotFamilyFlags[word] != 1) continue;
        if (word == kFamilySystemSpl || word == kFamilySystemPhase) {
            SystemCurve(kFamilyBlockBase[word])[shell::kCurveVisible] = 1.0f;
            continue;
        }
        for (int p = 0; p < plot_count; ++p) {
            if (plot_list[p].plot_flag == 1) {
                SystemCurve(kFamilyBlockBase[word] +
                            plot_list[p].port_index)[shell::kCurveVisible] = 1.0f;
            }
        }
    }
    return kCheckOk;
}

}  // namespace solver
