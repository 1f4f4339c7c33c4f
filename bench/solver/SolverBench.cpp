// Time of a channel solve (the 8-way template: 24 sections, a room EQ per way, 8 ports) and of
// the FIR build of 16 outputs at F = 1024 and 4096.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "network/EditorState.h"
#include "network/Templates.h"
#include "network/WorkingNetwork.h"
#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/ProjectImage.h"
#include "shell/StartupAllocation.h"
#include "solver/FirKernels.h"
#include "solver/Globals.h"
#include "solver/SolveNetwork.h"

namespace {

void StartUp() {
    static bool done = false;
    if (done) return;
    if (shell::AllocMainBuffers() != 0 || shell::AllocCurveBuffers() != 0 ||
        shell::AllocDspBuffers() != 0) {
        std::fprintf(stderr, "allocation failed\n");
    }
    shell::ResetGlobals();
    solver::ResetGlobals();
    shell::BuildFrequencyGrids(3, 6);
    shell::Project.Settings.SampleRateIndex = 5;
    done = true;
}

void EightWayChannel() {
    network::ClearWorkingNetwork();
    network::Build8WayTemplate();
    shell::NetworkTables& net = shell::WorkingNetwork;
    int port = 0;
    int section = 0;
    for (int i = 0; i < net.ElementCount; ++i) {
        float* p = net.ElementParams[i];
        if (net.ElementGeometry[i].kind == shell::kElementFilter) {
            p[shell::kParamFamily] = 2.0f;                        // Linkwitz
            p[shell::kParamSlope] = (section % 2) ? 3.0f : 8.0f;  // LP / HP -24 dB
            p[shell::kParamFo] = 40.0f * static_cast<float>(section + 1);
            ++section;
        } else if (net.ElementGeometry[i].kind == shell::kElementOutputPort) {
            p[shell::kParamOutputPort] = static_cast<float>(++port);
        }
    }
}

void BM_SolveEightWayChannel(benchmark::State& state) {
    StartUp();
    shell::SetBlockFrames(1);
    EightWayChannel();
    network::ActivePane = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(solver::SolveNetwork());
    }
    state.SetLabel("2 x 8-way template, one channel");
}
BENCHMARK(BM_SolveEightWayChannel)->Unit(benchmark::kMillisecond);

void BM_BuildFirKernels(benchmark::State& state) {
    StartUp();
    const int index = state.range(0) == 1024 ? 0 : 2;
    shell::SetBlockFrames(index);
    const int frames = shell::BlockFrames;
    for (int o = 0; o < 16; ++o) {
        for (int b = 0; b <= 4 * frames; ++b) {
            shell::FirSpectrumTables[0][o][b] = {1.0f / (1.0f + 0.001f * b), 0.0f};
            shell::FirSpectrumTables[1][o][b] = {1.0f, 0.001f * b};
        }
        solver::OutputPhasing[o] = 1;
        solver::OutputDelay[o] = 0.1f * static_cast<float>(o);
        solver::FirSpectrumStamps[o] = {48000, frames, 1};
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(solver::BuildFirKernels());
    }
    state.SetLabel("16 outputs, F = " + std::to_string(frames));
}
BENCHMARK(BM_BuildFirKernels)->Arg(1024)->Arg(4096)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
