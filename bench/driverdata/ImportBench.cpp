// Import of a 20 MB measurement text: the file is parsed once into records and binned onto the
// 2000-point grid (the converters' "Amplitude"), and the DAAS pair walk on the same size.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driverdata/ColumnParser.h"
#include "shell/Curves.h"
#include "shell/FrequencyGrid.h"

namespace {

constexpr std::size_t kFileBytes = 20u << 20;

// Frequency, level, phase lines from 10 Hz upward until the text reaches 20 MB.
const std::string& MeasurementText() {
    static std::string text;
    if (!text.empty()) return text;
    shell::BuildFrequencyGrids(3, 6);
    text = "Freq(Hz) SPL(dB) Phase(deg)\r\n";
    text.reserve(kFileBytes + 64);
    double f = 10.0;
    const double step = 1.0 + 1e-5;
    while (text.size() < kFileBytes) {
        char line[96];
        std::snprintf(line, sizeof line, "%.4f  %.3f  %.2f\r\n", f, 85.0 + (f > 1000 ? 1 : 0),
                      -45.0);
        text += line;
        f = f * step < 49000.0 ? f * step : 10.0;
    }
    return text;
}

void BM_ColumnImport20MB(benchmark::State& state) {
    const std::string& text = MeasurementText();
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    std::vector<float> spl(shell::kGridPoints);
    std::vector<float> phase(shell::kGridPoints);
    for (auto _ : state) {
        const std::size_t start = driverdata::SkipLines(data, text.size(), 1);
        const auto records = driverdata::ReadColumnRecords(data, text.size(), start, 3, {1, 2, 3});
        driverdata::BinColumnRecords(records, shell::FrequencyGrid, {}, spl.data(), phase.data());
        benchmark::DoNotOptimize(spl.data());
        state.counters["records"] = static_cast<double>(records.size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ColumnImport20MB)->Unit(benchmark::kMillisecond);

void BM_DaasImport20MB(benchmark::State& state) {
    const std::string& text = MeasurementText();
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    std::vector<float> spl(shell::kGridPoints);
    for (auto _ : state) {
        const auto pairs = driverdata::ReadDaasPairs(data, text.size());
        driverdata::BinDaasMagnitude(pairs, shell::FrequencyGrid, 0.0f, spl.data());
        benchmark::DoNotOptimize(spl.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_DaasImport20MB)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
