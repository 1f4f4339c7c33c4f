#include "solver/SolveNetwork.h"

#include <complex>
#include <cstdio>
#include <cstring>

#include "network/EditorState.h"
#include "network/WorkingNetwork.h"
#include "shell/Globals.h"
#include "shell/NetworkTables.h"
#include "shell/StartupAllocation.h"
#include "solver/Globals.h"
#include "solver/NetworkCheck.h"
#include "solver/NodalSolution.h"
#include "solver/PortResponses.h"
#include "solver/SharedState.h"
#include "solver/SplPlot.h"

namespace solver {

namespace {

// Scratch of one solve: the layout and the hot-node voltage of every port slot at every grid
// point. Nothing else is written until all 2000 points have been solved.
NodalLayout SolveLayout;
std::complex<double> HotVoltages[shell::kGridPoints][kMaxPortSlots];

int Solve(bool show_messages) {
    shell::NetworkTables& net = shell::WorkingNetwork;
    if (BuildNodalLayout(net, &SolveLayout) != kLayoutOk) {
        if (show_messages) ShowSolverMessage("Network Cannot Be Solved\nCheck The Connections");
        return 1;
    }
    ResetKeeleRamps();
    const float* grid = FrequencyGridData();
    std::complex<double> v[kMaxNodes];
    for (int k = 0; k < shell::kGridPoints; ++k) {
        if (SolveNodalPoint(SolveLayout, net, k, grid[k], v) != 0) {
            if (show_messages) {
                ShowSolverMessage("Network Cannot Be Solved\nCheck For Floating Or Shorted Nodes");
            }
            return 1;
        }
        for (int s = 0; s < SolveLayout.slot_count; ++s) {
            HotVoltages[k][s] = v[SolveLayout.slots[s].hot_row];
        }
    }

    // Commit.
    RecordPortCensus(SolveLayout, net);
    ClearPortResponses();
    for (int k = 0; k < shell::kGridPoints; ++k)
        ComputePortStep(SolveLayout, net, k, HotVoltages[k]);
    ComputeSystemSum(SolveLayout, net);
    PlottedPane = network::ActivePane;
    ResampleSpectra(SolveLayout, network::ActivePane);
    return 0;
}

}  // namespace

int SolveNetwork() { return Solve(true); }

int SolveNetworkQuietly() { return Solve(false); }

int RefreshStaleSpectra() {
    const int rate = SelectedSampleRate();
    const int frames = shell::BlockFrames;
    int resolved = 0;
    bool touched = false;
    // The checks below only gate the re-solves: the routing and the plotted curves stay as the
    // channel checks before the build left them.
    static std::int32_t saved_routing[kInputPorts][kOutputPorts];
    static float saved_visible[shell::kSystemCurveCount];
    std::memcpy(saved_routing, RoutingMatrix, sizeof saved_routing);
    for (int r = 0; r < shell::kSystemCurveCount; ++r)
        saved_visible[r] =
            shell::SystemCurveTable[r] ? shell::SystemCurveTable[r]->v[shell::kCurveVisible] : 0.0f;
    for (int pane = 1; pane <= shell::kPaneCount; ++pane) {
        // A pane is stale when one of its ports' spectra was built for another rate or F.
        const shell::PaneStore& store = shell::PaneStores[pane - 1];
        bool stale = false;
        for (int i = 0; i < shell::kMaxElements && store.ElementGeometry[i].kind > 0; ++i) {
            if (store.ElementGeometry[i].kind != shell::kElementOutputPort) continue;
            const float port = store.ElementParams[i][shell::kParamOutputPort];
            if (!(port >= 1.0f && port < 17.0f)) continue;
            const SpectrumStamp& stamp = FirSpectrumStamps[static_cast<int>(port) - 1];
            if (stamp.pane != 0 && (stamp.sample_rate != rate || stamp.block_frames != frames)) {
                stale = true;
            }
        }
        if (!stale) continue;
        network::RestorePaneStore(pane);
        touched = true;
        const int saved_pane = network::ActivePane;
        network::ActivePane = pane;
        // A network the check refuses (it says why) is never solved, so never played: its
        // outputs keep spectra of another rate or F, which the build makes silent.
        if (CheckSystemNetwork() == kCheckOk && SolveNetworkQuietly() == 0) {
            ++resolved;
        } else {
            char text[128];
            std::snprintf(text, sizeof text,
                          "The %s Network Is Not Accepted\nIts Outputs Will Be Silent",
                          ChannelName(pane));
            ShowSolverMessage(text);
        }
        network::ActivePane = saved_pane;
    }
    if (touched) {
        // The working network goes back to the active pane's network (its store equals it).
        network::RestorePaneStore(network::ActivePane);
        std::memcpy(RoutingMatrix, saved_routing, sizeof saved_routing);
        for (int r = 0; r < shell::kSystemCurveCount; ++r)
            if (shell::SystemCurveTable[r])
                shell::SystemCurveTable[r]->v[shell::kCurveVisible] = saved_visible[r];
    }
    return resolved;
}

void ClearSolverPlots() {
    for (shell::CurveRecord* record : shell::SystemCurveTable) {
        for (int i = 0; i <= shell::kCurveVisible; ++i) record->v[i] = 0.0f;
    }
    constexpr int kClearedPoints = 131072;
    for (int p = 0; p < kOutputPorts; ++p) {
        for (int b = 0; b < kClearedPoints; ++b) {
            shell::FirSpectrumTables[0][p][b] = {0.0f, 0.0f};
            shell::FirSpectrumTables[1][p][b] = {1e-7f, 0.0f};
        }
        FirSpectrumStamps[p] = {0, 0, 0};
    }
}

}  // namespace solver
