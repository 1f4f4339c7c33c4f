// RIFF reading: generated WAV files, valid and malformed. The test build runs under
// AddressSanitizer, so a read outside a buffer fails the test.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/audio/Mmio.h"

namespace {

using namespace platform;

// Appends element by element (GCC 12 under ThreadSanitizer warns falsely on range inserts).
template <class Src>
void Append(std::vector<unsigned char>& v, const Src& first, const Src& last) {
    for (Src p = first; p != last; ++p) v.push_back(static_cast<unsigned char>(*p));
}

// Little-endian builder of RIFF files.
struct Riff {
    std::vector<unsigned char> bytes;
    void U16(unsigned v) {
        bytes.push_back(v & 0xFF);
        bytes.push_back((v >> 8) & 0xFF);
    }
    void U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back((v >> (8 * i)) & 0xFF);
    }
    void Id(const char* id) { Append(bytes, id, id + 4); }
    void Chunk(const char* id, const std::vector<unsigned char>& data, bool pad = true) {
        Id(id);
        U32(static_cast<std::uint32_t>(data.size()));
        Append(bytes, data.begin(), data.end());
        if (pad && (data.size() & 1)) bytes.push_back(0);
    }
};

std::vector<unsigned char> Fmt(unsigned channels, std::uint32_t rate, unsigned bits,
                               std::size_t size = 16) {
    Riff f;
    f.U16(1);
    f.U16(channels);
    f.U32(rate);
    f.U32(rate * channels * bits / 8);
    f.U16(channels * bits / 8);
    f.U16(bits);
    f.bytes.resize(size, 0);
    return f.bytes;
}

std::vector<unsigned char> Samples(std::size_t n) {
    std::vector<unsigned char> s(n);
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<unsigned char>(i * 7 + 3);
    return s;
}

// RIFF/WAVE around `body`; `declared` overrides the RIFF size.
std::vector<unsigned char> Wave(const std::vector<unsigned char>& body, long declared = -1) {
    Riff r;
    r.Id("RIFF");
    r.U32(declared >= 0 ? static_cast<std::uint32_t>(declared)
                        : static_cast<std::uint32_t>(body.size() + 4));
    r.Id("WAVE");
    Append(r.bytes, body.begin(), body.end());
    return r.bytes;
}

// One folder per process (several builds may run their tests at once), removed at exit.
const std::filesystem::path& TempFolder() {
    struct Folder {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() /
            ("qv_mmio_test_" + std::to_string(static_cast<long>(getpid())));
        Folder() { std::filesystem::create_directories(path); }
        ~Folder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static Folder folder;
    return folder.path;
}

std::string WriteTemp(const std::string& name, const std::vector<unsigned char>& bytes) {
    auto path = (TempFolder() / name).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    if (f != nullptr) {
        if (!bytes.empty()) {
            EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
        }
        std::fclose(f);
    }
    return path;
}

// What the WAV check of the player reads: the form, the format chunk, the data chunk.
struct Result {
    bool riff = false;
    bool fmt = false;
    DWORD fmt_size = 0;
    LONG fmt_read = -2;
    unsigned channels = 0, bits = 0;
    std::uint32_t rate = 0;
    bool data = false;
    DWORD data_size = 0;
    DWORD data_offset = 0;
    std::vector<unsigned char> rest;  // everything read from the data on to the end of the file
};

Result ReadWave(const std::string& path) {
    Result r;
    HMMIO h = mmioOpen(path.c_str(), nullptr, MMIO_READ | MMIO_ALLOCBUF);
    EXPECT_TRUE(h) << path;
    if (!h) return r;
    EXPECT_EQ(mmioSeek(h, 0, SEEK_SET_ORIGIN), 0);
    MMCKINFO riff{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioDescend(h, &riff, nullptr, MMIO_FINDRIFF) == 0) {
        r.riff = true;
        MMCKINFO fmt{};
        fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
        if (mmioDescend(h, &fmt, &riff, MMIO_FINDCHUNK) == 0) {
            r.fmt = true;
            r.fmt_size = fmt.cksize;
            // A buffer of exactly the declared size, capped so that a lying size cannot make
            // the test allocate gigabytes; the reader must still stop at the file's end.
            std::vector<char> buffer(std::min<DWORD>(fmt.cksize, 1 << 20));
            r.fmt_read = mmioRead(h, buffer.data(), static_cast<LONG>(buffer.size()));
            if (buffer.size() >= 16 && r.fmt_read >= 16) {
                auto* b = reinterpret_cast<unsigned char*>(buffer.data());
                r.channels = b[2] | (b[3] << 8);
                r.rate =
                    b[4] | (b[5] << 8) | (b[6] << 16) | (static_cast<std::uint32_t>(b[7]) << 24);
                r.bits = b[14] | (b[15] << 8);
            }
            EXPECT_EQ(mmioAscend(h, &fmt, 0), 0u);
            MMCKINFO data{};
            data.ckid = mmioFOURCC('d', 'a', 't', 'a');
            if (mmioDescend(h, &data, &riff, MMIO_FINDCHUNK) == 0) {
                r.data = true;
                r.data_size = data.cksize;
                r.data_offset = data.dwDataOffset;
                char block[7];
                LONG n;
                while ((n = mmioRead(h, block, sizeof(block))) > 0)
                    Append(r.rest, block + 0, block + n);
                EXPECT_EQ(n, 0) << "end of file";
            }
        }
    }
    EXPECT_EQ(mmioClose(h, 0), 0u);
    return r;
}

TEST(MmioTest, GeneratedValidFileReadsFormatAndData) {
    Riff body;
    body.Chunk("fmt ", Fmt(2, 44100, 16));
    const auto samples = Samples(4 * 1024);
    body.Chunk("data", samples);
    const auto file = Wave(body.bytes);
    Result r = ReadWave(WriteTemp("valid.wav", file));
    ASSERT_TRUE(r.riff && r.fmt && r.data);
    EXPECT_EQ(r.fmt_size, 16u);
    EXPECT_EQ(r.fmt_read, 16);
    EXPECT_EQ(r.channels, 2u);
    EXPECT_EQ(r.rate, 44100u);
    EXPECT_EQ(r.bits, 16u);
    EXPECT_EQ(r.data_size, samples.size());
    EXPECT_EQ(r.data_offset, 12u + 8 + 16 + 8);
    EXPECT_EQ(r.rest, samples);
}

// Files the player refuses by their format: the reader gives their true fields.
TEST(MmioTest, FormatFieldsOfFilesThePlayerRefuses) {
    struct Row {
        const char* name;
        unsigned channels;
        std::uint32_t rate;
        unsigned bits;
    } rows[] = {{"mono.wav", 1, 44100, 16}, {"24bit.wav", 2, 48000, 24}, {"96k.wav", 2, 96000, 16}};
    for (const Row& row : rows) {
        Riff body;
        body.Chunk("fmt ", Fmt(row.channels, row.rate, row.bits));
        body.Chunk("data", Samples(60));
        Result r = ReadWave(WriteTemp(row.name, Wave(body.bytes)));
        ASSERT_TRUE(r.fmt && r.data) << row.name;
        EXPECT_EQ(r.channels, row.channels) << row.name;
        EXPECT_EQ(r.rate, row.rate) << row.name;
        EXPECT_EQ(r.bits, row.bits) << row.name;
        EXPECT_EQ(r.rest, Samples(60)) << row.name;
    }
}

TEST(MmioTest, MalformedFilesGiveTheirResultInsideTheFile) {
    const auto samples = Samples(40);
    struct Row {
        const char* name;
        std::vector<unsigned char> file;
        bool riff, fmt, data;
        DWORD fmt_size;
        LONG fmt_read;
        std::vector<unsigned char> rest;
    };
    std::vector<Row> rows;
    {
        std::string text = "This is a text file, not a sound.\n";
        rows.push_back({"text.wav", {text.begin(), text.end()}, false, false, false, 0, -2, {}});
    }
    rows.push_back({"empty.wav", {}, false, false, false, 0, -2, {}});
    rows.push_back({"six-bytes.wav", {'R', 'I', 'F', 'F', 4, 0}, false, false, false, 0, -2, {}});
    {
        Riff b;
        b.Chunk("fmt ", Fmt(2, 44100, 16, 12));
        b.Chunk("data", samples);
        rows.push_back({"short-fmt.wav", Wave(b.bytes), true, true, true, 12, 12, samples});
    }
    {
        // 'fmt ' declares far more than the file holds: the read stops at the end of the file
        // and no 'data' chunk can be found after it.
        Riff b;
        b.Id("fmt ");
        b.U32(0x7FFFFFF0);
        auto fmt = Fmt(2, 44100, 16);
        Append(b.bytes, fmt.begin(), fmt.end());
        b.Chunk("data", samples);
        const LONG held = static_cast<LONG>(16 + 8 + samples.size());
        rows.push_back({"long-fmt.wav", Wave(b.bytes), true, true, false, 0x7FFFFFF0, held, {}});
    }
    {
        Riff b;
        b.Id("fmt ");
        b.U32(0xFFFFFFFF);
        rows.push_back({"huge-fmt.wav", Wave(b.bytes), true, true, false, 0xFFFFFFFF, 0, {}});
    }
    {
        Riff b;
        b.Chunk("fmt ", Fmt(2, 48000, 16));
        b.Chunk("LIST", {'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 3, 0, 0, 0, 'a', 'b', 'c', 0});
        b.Chunk("data", samples);
        rows.push_back({"list-before.wav", Wave(b.bytes), true, true, true, 16, 16, samples});
    }
    {
        // After the data, the LIST chunk's bytes follow the samples to the end of the file.
        Riff b;
        b.Chunk("fmt ", Fmt(2, 48000, 16));
        b.Chunk("data", samples);
        const std::size_t list_at = b.bytes.size();
        b.Chunk("LIST", {'I', 'N', 'F', 'O', 'I', 'C', 'M', 'T', 1, 0, 0, 0, 'z', 0});
        std::vector<unsigned char> rest = samples;
        Append(rest, b.bytes.begin() + static_cast<long>(list_at), b.bytes.end());
        rows.push_back({"list-after.wav", Wave(b.bytes), true, true, true, 16, 16, rest});
    }
    {
        // An odd-sized chunk before 'fmt ' is followed by its pad byte.
        Riff b;
        b.Chunk("junk", {1, 2, 3});
        b.Chunk("fmt ", Fmt(2, 44100, 16));
        b.Chunk("data", samples);
        rows.push_back({"odd-chunk.wav", Wave(b.bytes), true, true, true, 16, 16, samples});
    }
    {
        // An odd-sized data chunk at the very end without its pad byte.
        Riff b;
        b.Chunk("fmt ", Fmt(2, 44100, 16));
        b.Chunk("data", Samples(41), false);
        rows.push_back({"odd-data.wav", Wave(b.bytes), true, true, true, 16, 16, Samples(41)});
    }
    {
        // The RIFF size claims more than the file (a recording cut short): still readable.
        Riff b;
        b.Chunk("fmt ", Fmt(2, 44100, 16));
        b.Id("data");
        b.U32(100000);
        Append(b.bytes, samples.begin(), samples.end());
        rows.push_back({"truncated.wav", Wave(b.bytes, 200000), true, true, true, 16, 16, samples});
    }
    {
        // The RIFF size ends before 'data': the search stays inside the RIFF chunk.
        Riff b;
        b.Chunk("fmt ", Fmt(2, 44100, 16));
        b.Chunk("data", samples);
        rows.push_back(
            {"riff-short.wav", Wave(b.bytes, 4 + 8 + 16), true, true, false, 16, 16, {}});
    }
    {
        Riff b;
        b.Chunk("fmt ", Fmt(2, 44100, 16));
        rows.push_back({"no-data.wav", Wave(b.bytes), true, true, false, 16, 16, {}});
    }
    {
        Riff b;
        b.Chunk("data", samples);
        rows.push_back({"no-fmt.wav", Wave(b.bytes), true, false, false, 0, -2, {}});
    }
    {
        Riff r;
        r.Id("RIFF");
        r.U32(4);
        r.Id("AVI ");
        rows.push_back({"avi.wav", r.bytes, false, false, false, 0, -2, {}});
    }
    for (const Row& row : rows) {
        Result r = ReadWave(WriteTemp(row.name, row.file));
        EXPECT_EQ(r.riff, row.riff) << row.name;
        EXPECT_EQ(r.fmt, row.fmt) << row.name;
        EXPECT_EQ(r.data, row.data) << row.name;
        if (row.fmt) {
            EXPECT_EQ(r.fmt_size, row.fmt_size) << row.name;
            EXPECT_EQ(r.fmt_read, row.fmt_read) << row.name;
        }
        if (row.data) {
            EXPECT_EQ(r.rest, row.rest) << row.name;
        }
    }
}

// Bytes of every kind: whatever they hold, the reader ends inside the file.
TEST(MmioTest, GarbageNeverReadsOutsideTheFile) {
    std::uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int i = 0; i < 200; ++i) {
        std::vector<unsigned char> bytes(next() % 200);
        for (auto& b : bytes) b = static_cast<unsigned char>(next());
        // Make some of them look like RIFF so the chunk walk is exercised.
        if (i % 2 == 0 && bytes.size() >= 12)
            std::memcpy(bytes.data(), "RIFF\xff\xff\xff\x7fWAVE", 12);
        if (i % 4 == 0 && bytes.size() >= 16) std::memcpy(bytes.data() + 12, "fmt ", 4);
        Result r = ReadWave(WriteTemp("garbage.wav", bytes));
        EXPECT_LE(r.rest.size(), bytes.size());
        if (r.fmt && r.fmt_read >= 0) {
            EXPECT_LE(static_cast<std::size_t>(r.fmt_read), bytes.size());
        }
    }
}

// The bytes this process has read so far (the kernel's count), or -1 where it keeps none.
long long BytesReadSoFar() {
    long long bytes = -1;
    if (std::FILE* io = std::fopen("/proc/self/io", "r")) {
        if (std::fscanf(io, "rchar: %lld", &bytes) != 1) bytes = -1;
        std::fclose(io);
    }
    return bytes;
}

// A search looks at kMmioMaxChunksSearched chunk headers at most, whatever the file holds: a large
// file of zeros (empty chunks eight bytes apart) is searched by its first bytes, not all of them.
TEST(MmioTest, ASearchLooksAtABoundedNumberOfChunks) {
    struct Row {
        const char* name;
        int empty_chunks;  // before 'fmt '
        long zeros_to;     // > 0: the RIFF header, then zeros up to this size (sparse), no 'fmt '
        bool fmt;
    } rows[] = {{"most-chunks.wav", kMmioMaxChunksSearched - 1, 0, true},
                {"too-many-chunks.wav", kMmioMaxChunksSearched, 0, false},
                {"riff-zeros-2g.wav", 0, 0x7FFFFFFF, false}};
    for (const Row& row : rows) {
        Riff b;
        for (int i = 0; i < row.empty_chunks; ++i) b.Chunk("JUNK", {});
        if (row.zeros_to == 0) b.Chunk("fmt ", Fmt(2, 48000, 16));
        const std::string path = WriteTemp(row.name, Wave(b.bytes, row.zeros_to - 8));
        ASSERT_TRUE(row.zeros_to == 0 || truncate(path.c_str(), row.zeros_to) == 0);
        const long long before = BytesReadSoFar();
        const Result r = ReadWave(path);
        const long long read = BytesReadSoFar() - before;
        std::filesystem::remove(path);
        EXPECT_TRUE(r.riff) << row.name;
        EXPECT_EQ(r.fmt, row.fmt) << row.name;
        EXPECT_TRUE(before < 0 || read < (1 << 20)) << row.name << " read " << read;
    }
}

TEST(MmioTest, HandlesAndParameters) {
    EXPECT_FALSE(mmioOpen("/nonexistent/qv/file.wav", nullptr, MMIO_READ));
    EXPECT_FALSE(
        mmioOpen(std::filesystem::temp_directory_path().string().c_str(), nullptr, MMIO_READ))
        << "a folder opened as a file";
    const auto path = WriteTemp("seek.wav", Samples(100));
    HMMIO h = mmioOpen(path.c_str(), nullptr, MMIO_READ);
    ASSERT_TRUE(h);
    EXPECT_EQ(mmioSeek(h, 10, SEEK_SET_ORIGIN), 10);
    EXPECT_EQ(mmioSeek(h, 5, SEEK_CUR_ORIGIN), 15);
    EXPECT_EQ(mmioSeek(h, -4, SEEK_END_ORIGIN), 96);
    EXPECT_EQ(mmioSeek(h, 500, SEEK_SET_ORIGIN), 100) << "seek past the end";
    char b[8];
    EXPECT_EQ(mmioRead(h, b, 8), 0);
    EXPECT_EQ(mmioSeek(h, -10, SEEK_SET_ORIGIN), 0);
    EXPECT_EQ(mmioRead(h, b, 8), 8);
    EXPECT_EQ(static_cast<unsigned char>(b[1]), Samples(2)[1]);
    EXPECT_EQ(mmioRead(h, b, -1), -1);
    EXPECT_EQ(mmioClose(h, 0), 0u);
    EXPECT_EQ(mmioClose(h, 0), MMIOERR_INVALIDHANDLE);
    EXPECT_EQ(mmioRead(h, b, 8), -1);
    MMCKINFO ck{};
    EXPECT_EQ(mmioDescend(h, &ck, nullptr, 0), MMIOERR_INVALIDHANDLE);
    EXPECT_EQ(mmioAscend(HMMIO{}, &ck, 0), MMIOERR_INVALIDHANDLE);
}

}  // namespace
