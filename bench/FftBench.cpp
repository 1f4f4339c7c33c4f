// ComplexFft for N = 2F and 8F points (F = 1024, 2048, 4096), next to FFTW's single-precision
// complex transform (measured plan) of the same size, and the ratio of the two in one run.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cstdio>
#include <map>
#include <random>
#include <vector>

#include "shell/ComplexFft.h"

namespace {

std::vector<float> RandomData(int points) {
    std::mt19937 rng(static_cast<unsigned>(points));
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    std::vector<float> a(2 * static_cast<std::size_t>(points));
    for (auto& v : a) v = dist(rng);
    return a;
}

std::map<int, double>& QvTimes() {
    static std::map<int, double> times;
    return times;
}
std::map<int, double>& FftwTimes() {
    static std::map<int, double> times;
    return times;
}

// Forward then inverse, so the data stays bounded over many iterations.
void BM_ComplexFft(benchmark::State& state) {
    const int points = static_cast<int>(state.range(0));
    std::vector<float> a = RandomData(points);
    std::vector<int> ip(shell::FftWorkAreaInts(2 * points), 0);
    std::vector<float> w(static_cast<std::size_t>(points) / 2 + 2, 0.0f);
    shell::BuildFftTable(2 * points, ip.data(), w.data());
    for (auto _ : state) {
        shell::ComplexFft(2 * points, -1, a.data(), ip.data(), w.data());
        shell::ComplexFft(2 * points, +1, a.data(), ip.data(), w.data());
        benchmark::DoNotOptimize(a.data());
    }
    state.SetItemsProcessed(2 * state.iterations());
    state.counters["ns_per_transform"] =
        benchmark::Counter(2.0 * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Fftw(benchmark::State& state) {
    const int points = static_cast<int>(state.range(0));
    auto* data = static_cast<fftwf_complex*>(fftwf_malloc(sizeof(fftwf_complex) * points));
    fftwf_plan forward = fftwf_plan_dft_1d(points, data, data, FFTW_FORWARD, FFTW_MEASURE);
    fftwf_plan inverse = fftwf_plan_dft_1d(points, data, data, FFTW_BACKWARD, FFTW_MEASURE);
    const std::vector<float> init = RandomData(points);
    for (int k = 0; k < points; ++k) {
        data[k][0] = init[2 * k];
        data[k][1] = init[2 * k + 1];
    }
    const float scale = 1.0f / static_cast<float>(points);
    for (auto _ : state) {
        fftwf_execute(forward);
        fftwf_execute(inverse);
        // ComplexFft scales its inverse; do the same here for a fair comparison.
        for (int k = 0; k < points; ++k) {
            data[k][0] *= scale;
            data[k][1] *= scale;
        }
        benchmark::DoNotOptimize(data);
    }
    state.SetItemsProcessed(2 * state.iterations());
    state.counters["ns_per_transform"] =
        benchmark::Counter(2.0 * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    fftwf_destroy_plan(forward);
    fftwf_destroy_plan(inverse);
    fftwf_free(data);
}

// Each size runs ComplexFft and FFTW back to back, so that a change in the machine's load
// between the two runs of one ratio stays small.
void RegisterSizes() {
    for (int points : {2048, 4096, 8192, 16384, 32768}) {
        benchmark::RegisterBenchmark("BM_ComplexFft", BM_ComplexFft)
            ->Arg(points)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("BM_Fftw", BM_Fftw)
            ->Arg(points)
            ->Unit(benchmark::kMicrosecond);
    }
}

// Collects the time per transform of each run and prints the ratios after the table.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            const auto slash = name.find('/');
            if (slash == std::string::npos || run.iterations == 0) continue;
            // With --benchmark_repetitions the median stands for the size; other aggregates
            // (mean, deviation) are not times per transform.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            const int points = std::stoi(name.substr(slash + 1));
            const double seconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) / 2.0;
            if (name.rfind("BM_ComplexFft", 0) == 0) QvTimes()[points] = seconds;
            if (name.rfind("BM_Fftw", 0) == 0) FftwTimes()[points] = seconds;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%10s %16s %16s %8s\n", "N points", "ComplexFft [us]", "FFTW [us]", "ratio");
        for (const auto& [points, qv] : QvTimes()) {
            const auto it = FftwTimes().find(points);
            if (it == FftwTimes().end()) continue;
            std::printf("%10d %16.2f %16.2f %8.2f\n", points, qv * 1e6, it->second * 1e6,
                        qv / it->second);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RegisterSizes();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
