// The WAV file check's chunk search at its worst: a 2 GB file of zeros behind its RIFF header and
// 'fmt ' chunk (sparse, so it takes no disk; zeros read as empty chunks eight bytes apart), and a
// file with the most chunks a search looks at before its 'fmt '. Either is accepted or refused
// well within the target, a tenth of a second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "bench/GoogleBenchMain.h"
#include "platform/audio/Mmio.h"

namespace {

using namespace platform;

std::string Le32(std::uint32_t v) {
    std::string s;
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return s;
}
std::string Chunk(const char* id, const std::string& body, std::uint32_t size) {
    return std::string(id, 4) + Le32(size) + body;
}
std::string Chunk(const char* id, const std::string& body) {
    return Chunk(id, body, static_cast<std::uint32_t>(body.size()));
}

// Stereo 16-bit PCM at 48 kHz.
const std::string kFormat =
    Chunk("fmt ", Le32(1 | 2 << 16) + Le32(48000) + Le32(192000) + Le32(4 | 16 << 16));

// What the player's check does: the RIFF form at the start, then 'fmt ' and 'data' inside it.
bool Check(const std::string& path) {
    const HMMIO file = mmioOpen(path.c_str(), nullptr, MMIO_READ | MMIO_ALLOCBUF);
    if (!file) return false;
    MMCKINFO riff{};
    bool ok = mmioDescend(file, &riff, nullptr, 0) == 0 && riff.ckid == FOURCC_RIFF;
    MMCKINFO fmt{};
    fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
    ok =
        ok && mmioDescend(file, &fmt, &riff, MMIO_FINDCHUNK) == 0 && mmioAscend(file, &fmt, 0) == 0;
    MMCKINFO data{};
    data.ckid = mmioFOURCC('d', 'a', 't', 'a');
    ok = ok && mmioDescend(file, &data, &riff, MMIO_FINDCHUNK) == 0;
    mmioClose(file, 0);
    return ok;
}

// Checks a file of `start`, then zeros up to `size` bytes, which is to be `accepted` or not.
void RunCheck(benchmark::State& state, const std::string& start, long long size, bool accepted) {
    const std::string path = "/tmp/qv_wav_check_bench_" + std::to_string(getpid()) + ".wav";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    const bool made = f != nullptr && std::fwrite(start.data(), 1, start.size(), f) == start.size();
    if (f != nullptr) std::fclose(f);
    if (!made || truncate(path.c_str(), static_cast<off_t>(size)) != 0) {
        state.SkipWithError("cannot make the file");
        return;
    }
    for (auto _ : state) {
        if (Check(path) != accepted) state.SkipWithError("unexpected result");
    }
    bench::ReportTarget(state, 0.1);
    std::remove(path.c_str());
}

void BM_FormatThenZeros2GB(benchmark::State& state) {
    constexpr long long kSize = 0x7FFFFFFF;
    RunCheck(state, Chunk("RIFF", "WAVE", kSize - 8) + kFormat, kSize, false);
}
BENCHMARK(BM_FormatThenZeros2GB)->Unit(benchmark::kMillisecond);

void BM_MostChunksBeforeTheFormat(benchmark::State& state) {
    std::string body = "WAVE";
    for (int i = 0; i < kMmioMaxChunksSearched - 1; ++i) body += Chunk("JUNK", "");
    const std::string file = Chunk("RIFF", body + kFormat + Chunk("data", std::string(4096, '\1')));
    RunCheck(state, file, static_cast<long long>(file.size()), true);
}
BENCHMARK(BM_MostChunksBeforeTheFormat)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunInterleaved(argc, argv); }
