// The WAV file check's chunk search on large files that hold little but zeros (sparse, so they
// take no disk): a file chosen for playback is accepted or refused well within the target, here
// a tenth of a second, whatever its size; a well-formed file and one with the most chunks a
// search looks at are measured beside them.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "bench/GoogleBenchMain.h"
#include "platform/audio/Mmio.h"

namespace {

using namespace platform;

void Put32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::string Chunk(const char* id, const std::string& body) {
    std::string s(id, 4);
    Put32(s, static_cast<std::uint32_t>(body.size()));
    return s + body;
}

std::string Format() {
    std::string f;
    for (std::uint32_t v : {1u | (2u << 16), 48000u, 192000u, 4u | (16u << 16)}) Put32(f, v);
    return Chunk("fmt ", f);
}

// `start`, then zeros up to `size` bytes.
std::string MakeFile(const char* name, const std::string& start, long long size) {
    const std::string path = "/tmp/qv_wav_check_bench_" + std::to_string(getpid()) + "_" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return "";
    const bool written = std::fwrite(start.data(), 1, start.size(), f) == start.size();
    std::fclose(f);
    if (!written || truncate(path.c_str(), static_cast<off_t>(size)) != 0) return "";
    return path;
}

std::string RiffHeader(long long size) {
    std::string s = "RIFF";
    Put32(s, static_cast<std::uint32_t>(size - 8));
    return s + "WAVE";
}

// What the player's check does: the RIFF form at the start, then 'fmt ' and 'data' inside it.
bool Check(const std::string& path) {
    const HMMIO file = mmioOpen(path.c_str(), nullptr, MMIO_READ | MMIO_ALLOCBUF);
    if (!file) return false;
    MMCKINFO riff{};
    bool ok = mmioDescend(file, &riff, nullptr, 0) == 0 && riff.ckid == FOURCC_RIFF;
    MMCKINFO fmt{};
    fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
    ok = ok && mmioDescend(file, &fmt, &riff, MMIO_FINDCHUNK) == 0;
    ok = ok && mmioAscend(file, &fmt, 0) == 0;
    MMCKINFO data{};
    data.ckid = mmioFOURCC('d', 'a', 't', 'a');
    ok = ok && mmioDescend(file, &data, &riff, MMIO_FINDCHUNK) == 0;
    mmioClose(file, 0);
    return ok;
}

void RunCheck(benchmark::State& state, const char* name, const std::string& start, long long size,
              bool accepted) {
    const std::string path = MakeFile(name, start, size);
    if (path.empty()) {
        state.SkipWithError("cannot make the file");
        return;
    }
    for (auto _ : state) {
        if (Check(path) != accepted) state.SkipWithError("unexpected result");
    }
    bench::ReportTarget(state, 0.1);
    std::remove(path.c_str());
}

void BM_RiffThenZeros256MB(benchmark::State& state) {
    RunCheck(state, "riff_256m.wav", RiffHeader(256LL << 20), 256LL << 20, false);
}
BENCHMARK(BM_RiffThenZeros256MB)->Unit(benchmark::kMillisecond);

void BM_FormatThenZeros2GB(benchmark::State& state) {
    RunCheck(state, "fmt_2g.wav", RiffHeader(0x7FFFFFFFLL) + Format(), 0x7FFFFFFFLL, false);
}
BENCHMARK(BM_FormatThenZeros2GB)->Unit(benchmark::kMillisecond);

void BM_Zeros2GB(benchmark::State& state) {
    RunCheck(state, "zeros_2g.wav", "", 0x7FFFFFFFLL, false);
}
BENCHMARK(BM_Zeros2GB)->Unit(benchmark::kMillisecond);

void BM_MostChunksBeforeTheFormat(benchmark::State& state) {
    std::string body = "WAVE";
    for (int i = 0; i < kMmioMaxChunksSearched - 2; ++i) body += Chunk("JUNK", "");
    body += Format() + Chunk("data", std::string(4096, '\1'));
    const std::string file = Chunk("RIFF", body);
    RunCheck(state, "many_chunks.wav", file, static_cast<long long>(file.size()), true);
}
BENCHMARK(BM_MostChunksBeforeTheFormat)->Unit(benchmark::kMillisecond);

void BM_WellFormed(benchmark::State& state) {
    const std::string file =
        Chunk("RIFF", "WAVE" + Format() + Chunk("data", std::string(1 << 20, '\1')));
    RunCheck(state, "well_formed.wav", file, static_cast<long long>(file.size()), true);
}
BENCHMARK(BM_WellFormed)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunInterleaved(argc, argv); }
