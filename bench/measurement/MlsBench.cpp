// Time of the MLS measurement's processing at order 18: the fast Hadamard transform alone, one
// MLS correlation (input permutation, transform, output permutation), the deconvolution of a
// whole capture (both channels: two correlations each, with the scaling and the alignment), and
// Calculate SPL (two FFTs of 262,144 points and the mapping onto the grid; target 3 ms, its
// "of_target" counter is the time over the target). Repetitions interleave; medians and spread.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "bench/GoogleBenchMain.h"
#include "measurement/CaptureFile.h"
#include "measurement/Globals.h"
#include "measurement/MlsDeconvolution.h"
#include "measurement/MlsSequences.h"
#include "measurement/MlsSpl.h"
#include "shell/FrequencyGrid.h"
#include "shell/Globals.h"
#include "shell/NumberText.h"
#include "shell/PreferencesRecord.h"
#include "shell/StartupAllocation.h"

namespace {

constexpr int kOrder = 18;

// The buffers, the sequence and a capture: Ref = the played signal 120 frames later, In = the
// same through a short response 500 frames later.
void StartUp() {
    static bool done = false;
    if (done) return;
    if (shell::AllocMainBuffers() != 0 || shell::AllocCurveBuffers() != 0 ||
        shell::AllocDspBuffers() != 0 || !measurement::AllocMlsCaptureCopies()) {
        std::fprintf(stderr, "allocation failed\n");
    }
    shell::ResetGlobals();
    measurement::ResetGlobals();
    measurement::AllocMlsCaptureCopies();
    shell::BuildFrequencyGrids(3, 6);
    shell::Mls.MlsWindowType = 2;
    shell::Mls.MlsSmoothingIndex = 2;
    measurement::UpdateSmoothingPasses();
    measurement::MlsOrder = kOrder;
    measurement::GenerateMls32(kOrder, {});
    const int frames = static_cast<int>(measurement::kMlsCaptureFrames);
    const std::int32_t* played = shell::MlsPlaybackBuffer;
    auto at = [&](int frame) -> double {
        return (frame >= 0 && frame < measurement::kMlsPlayedWords / 2) ? (played[2 * frame] >> 8)
                                                                        : 0.0;
    };
    for (int f = 0; f < frames; ++f) {
        const std::int32_t ref = static_cast<std::int32_t>(at(f - 20)) * 256;
        const double in = 0.5 * at(f - 400) + 0.3 * at(f - 401) - 0.1 * at(f - 403);
        const std::int32_t in_word = static_cast<std::int32_t>(in) * 256;
        std::memcpy(measurement::MlsCaptureCopy + 8 * static_cast<std::size_t>(f), &ref, 4);
        std::memcpy(measurement::MlsCaptureCopy + 8 * static_cast<std::size_t>(f) + 4, &in_word, 4);
    }
    measurement::MlsImpulseValid = 1;
    done = true;
}

void BM_FastHadamardTransform(benchmark::State& state) {
    StartUp();
    for (auto _ : state) {
        benchmark::DoNotOptimize(measurement::FastHadamardTransform(1 << kOrder));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FastHadamardTransform)->Unit(benchmark::kMillisecond);

void BM_MlsCorrelation(benchmark::State& state) {
    StartUp();
    const int length = (1 << kOrder) - 1;
    for (auto _ : state) {
        measurement::MlsCorrelate(shell::MlsRefSamples, shell::FftWorkBuffer, length);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MlsCorrelation)->Unit(benchmark::kMillisecond);

void BM_DeconvolveCapture(benchmark::State& state) {
    StartUp();
    for (auto _ : state) {
        benchmark::DoNotOptimize(measurement::ProcessMlsCapture());
    }
}
BENCHMARK(BM_DeconvolveCapture)->Unit(benchmark::kMillisecond);

void BM_CalculateSpl(benchmark::State& state) {
    StartUp();
    measurement::ProcessMlsCapture();
    measurement::MlsImpulseStart = 50 + 380;
    if (measurement::CalculateMlsSpl({}) != 0) {
        state.SkipWithError("Calculate SPL refused the capture");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(measurement::CalculateMlsSpl({}));
    }
    bench::ReportTarget(state, 3e-3);
}
BENCHMARK(BM_CalculateSpl)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunInterleaved(argc, argv); }
