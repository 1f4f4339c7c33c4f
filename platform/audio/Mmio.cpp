// RIFF reading over stdio. Positions and sizes are kept in 64 bits so that no declared size can
// wrap; the file size is taken once at open, and every read is cut to it.

#include "platform/audio/Mmio.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/sys/Files.h"

namespace platform {
namespace {

constexpr int kMaxFiles = 16;

struct MmioFile {
    std::FILE* file;
    std::uint32_t generation;
    std::int64_t size;
    std::int64_t position;
};

std::mutex files_mutex;
MmioFile files[kMaxFiles];

MmioFile* Find(HMMIO h) {
    const std::uint32_t slot = h.value & 0xFF;
    if (slot == 0 || slot > kMaxFiles) return nullptr;
    MmioFile& f = files[slot - 1];
    if (f.file == nullptr || ((f.generation << 8) | slot) != h.value) return nullptr;
    return &f;
}

// Reads exactly `count` bytes at `offset`; false if the file holds fewer.
bool ReadAt(MmioFile& f, std::int64_t offset, void* out, std::int64_t count) {
    if (offset < 0 || count < 0 || offset > f.size || count > f.size - offset) return false;
    if (std::fseek(f.file, static_cast<long>(offset), SEEK_SET) != 0) return false;
    return std::fread(out, 1, static_cast<std::size_t>(count), f.file) ==
           static_cast<std::size_t>(count);
}

DWORD Le32(const unsigned char* p) {
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) |
           (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[3]) << 24);
}

std::int64_t PaddedEnd(std::int64_t data_offset, DWORD size) {
    return data_offset + static_cast<std::int64_t>(size) + (size & 1);
}

}  // namespace

HMMIO mmioOpen(const char* path, void* info, DWORD flags) {
    if (path == nullptr || info != nullptr || (flags & ~MMIO_ALLOCBUF) != MMIO_READ) return HMMIO{};
    std::lock_guard lock(files_mutex);
    int slot = -1;
    for (int i = 0; i < kMaxFiles && slot < 0; ++i)
        if (files[i].file == nullptr) slot = i;
    if (slot < 0) return HMMIO{};
    std::FILE* file = OpenRegularFileForReading(path);  // never waits on a pipe
    if (file == nullptr) return HMMIO{};
    struct stat st {};
    if (fstat(fileno(file), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > 0x7FFFFFFF) {
        std::fclose(file);
        return HMMIO{};
    }
    MmioFile& f = files[slot];
    f.file = file;
    f.generation = (f.generation + 1) & 0xFFFFFF;
    if (f.generation == 0) f.generation = 1;
    f.size = st.st_size;
    f.position = 0;
    return HMMIO::FromIndex((f.generation << 8) | static_cast<std::uint32_t>(slot + 1));
}

UINT mmioClose(HMMIO h, UINT /*flags*/) {
    std::lock_guard lock(files_mutex);
    MmioFile* f = Find(h);
    if (f == nullptr) return MMIOERR_INVALIDHANDLE;
    std::fclose(f->file);
    f->file = nullptr;
    return 0;
}

LONG mmioRead(HMMIO h, char* buffer, LONG count) {
    std::lock_guard lock(files_mutex);
    MmioFile* f = Find(h);
    if (f == nullptr || buffer == nullptr || count < 0) return -1;
    const std::int64_t n =
        std::min<std::int64_t>(count, std::max<std::int64_t>(f->size - f->position, 0));
    if (n == 0) return 0;
    if (!ReadAt(*f, f->position, buffer, n)) return -1;
    f->position += n;
    return static_cast<LONG>(n);
}

LONG mmioSeek(HMMIO h, LONG offset, int origin) {
    std::lock_guard lock(files_mutex);
    MmioFile* f = Find(h);
    if (f == nullptr) return -1;
    std::int64_t base = 0;
    switch (origin) {
        case SEEK_SET_ORIGIN:
            base = 0;
            break;
        case SEEK_CUR_ORIGIN:
            base = f->position;
            break;
        case SEEK_END_ORIGIN:
            base = f->size;
            break;
        default:
            return -1;
    }
    f->position = std::clamp<std::int64_t>(base + offset, 0, f->size);
    return static_cast<LONG>(f->position);
}

UINT mmioDescend(HMMIO h, MMCKINFO* chunk, const MMCKINFO* parent, UINT flags) {
    std::lock_guard lock(files_mutex);
    MmioFile* f = Find(h);
    if (f == nullptr) return MMIOERR_INVALIDHANDLE;
    if (chunk == nullptr) return MMIOERR_INVALIDPARAM;
    std::int64_t limit = f->size;
    if (parent != nullptr)
        limit = std::min(limit, static_cast<std::int64_t>(parent->dwDataOffset) + parent->cksize);
    FOURCC want_id = chunk->ckid;
    if (flags & MMIO_FINDRIFF) want_id = FOURCC_RIFF;
    if (flags & MMIO_FINDLIST) want_id = FOURCC_LIST;
    const bool search = (flags & (MMIO_FINDCHUNK | MMIO_FINDRIFF | MMIO_FINDLIST)) != 0;
    const bool typed = (flags & (MMIO_FINDRIFF | MMIO_FINDLIST)) != 0;
    std::int64_t pos = f->position;
    for (int looked = 0;; ++looked) {
        if (search && looked >= kMmioMaxChunksSearched) return MMIOERR_CHUNKNOTFOUND;
        unsigned char header[12];
        if (pos + 8 > limit || !ReadAt(*f, pos, header, 8)) return MMIOERR_CHUNKNOTFOUND;
        const FOURCC id = Le32(header);
        const DWORD size = Le32(header + 4);
        const bool has_type = id == FOURCC_RIFF || id == FOURCC_LIST;
        FOURCC type = 0;
        if (has_type) {
            if (pos + 12 > limit || !ReadAt(*f, pos + 8, header + 8, 4))
                return MMIOERR_CHUNKNOTFOUND;
            type = Le32(header + 8);
        }
        const bool match = !search || (id == want_id && (!typed || type == chunk->fccType));
        if (match) {
            chunk->ckid = id;
            chunk->cksize = size;
            chunk->fccType = type;
            chunk->dwDataOffset = static_cast<DWORD>(pos + 8);
            chunk->dwFlags = 0;
            f->position = pos + 8 + (has_type ? 4 : 0);
            return 0;
        }
        pos = PaddedEnd(pos + 8, size);  // 64-bit: a huge size ends the search, never wraps
    }
}

UINT mmioAscend(HMMIO h, MMCKINFO* chunk, UINT /*flags*/) {
    std::lock_guard lock(files_mutex);
    MmioFile* f = Find(h);
    if (f == nullptr) return MMIOERR_INVALIDHANDLE;
    if (chunk == nullptr) return MMIOERR_INVALIDPARAM;
    f->position = std::min(PaddedEnd(chunk->dwDataOffset, chunk->cksize), f->size);
    return 0;
}

}  // namespace platform
