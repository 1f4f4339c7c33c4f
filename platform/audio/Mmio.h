// Buffered reading of RIFF files (WAV): open, descend into chunks, read, ascend, close.
//
// Chunk sizes are reported as the file declares them, but nothing is ever read from outside the
// file: a search for a chunk stops at the end of its parent or of the file, whichever comes
// first; a read returns only the bytes the file holds; an ascent stops at the end of the file.
// Chunks of odd size are followed by one pad byte, which searches and ascents skip. A search
// moves from chunk to chunk by each chunk's size, reading only the chunk headers, and gives up
// after kMmioMaxChunksSearched headers: whatever a file holds (a file of zeros reads as empty
// chunks eight bytes apart), a search ends after a bounded number of small reads.
// UI thread (or any single thread per handle).
#pragma once

#include <cstdint>

#include "platform/Types.h"

namespace platform {

using FOURCC = DWORD;
using LONG = std::int32_t;

constexpr FOURCC mmioFOURCC(char a, char b, char c, char d) {
    return static_cast<FOURCC>(static_cast<BYTE>(a)) |
           (static_cast<FOURCC>(static_cast<BYTE>(b)) << 8) |
           (static_cast<FOURCC>(static_cast<BYTE>(c)) << 16) |
           (static_cast<FOURCC>(static_cast<BYTE>(d)) << 24);
}

inline constexpr FOURCC FOURCC_RIFF = mmioFOURCC('R', 'I', 'F', 'F');
inline constexpr FOURCC FOURCC_LIST = mmioFOURCC('L', 'I', 'S', 'T');

// Open flags.
inline constexpr DWORD MMIO_READ = 0x00000000;
inline constexpr DWORD MMIO_ALLOCBUF = 0x00010000;  // accepted; reading is always buffered

// Descend flags.
inline constexpr UINT MMIO_FINDCHUNK = 0x0010;  // next chunk with ckid
inline constexpr UINT MMIO_FINDRIFF = 0x0020;   // next "RIFF" chunk with fccType
inline constexpr UINT MMIO_FINDLIST = 0x0040;   // next "LIST" chunk with fccType

// Chunk headers a search looks at, at most (a WAV file has a handful of chunks before its data).
inline constexpr int kMmioMaxChunksSearched = 65536;

// Results (0 = success).
inline constexpr UINT MMIOERR_CHUNKNOTFOUND = 301;
inline constexpr UINT MMIOERR_CANNOTREAD = 302;
inline constexpr UINT MMIOERR_CANNOTSEEK = 303;
inline constexpr UINT MMIOERR_INVALIDHANDLE = 304;
inline constexpr UINT MMIOERR_INVALIDPARAM = 305;

struct MMCKINFO {
    FOURCC ckid;         // chunk identifier
    DWORD cksize;        // data size as the file declares it (may run past the file's end)
    FOURCC fccType;      // form or list type of "RIFF" and "LIST" chunks
    DWORD dwDataOffset;  // file offset of the data (of the form type for RIFF and LIST)
    DWORD dwFlags;       // unused, 0
};

// Seek origins.
inline constexpr int SEEK_SET_ORIGIN = 0;
inline constexpr int SEEK_CUR_ORIGIN = 1;
inline constexpr int SEEK_END_ORIGIN = 2;

// Opens `path` for reading. Returns 0 when the file cannot be opened. `info` must be null.
HMMIO mmioOpen(const char* path, void* info, DWORD flags);
// Closes the file; 0 on success.
UINT mmioClose(HMMIO file, UINT flags);
// Reads up to `count` bytes at the current position; returns the bytes read (0 at the end of the
// file) or -1 on error.
LONG mmioRead(HMMIO file, char* buffer, LONG count);
// Moves the position (origin SEEK_SET_ORIGIN, SEEK_CUR_ORIGIN or SEEK_END_ORIGIN, clamped to
// 0 .. file size); returns the new position or -1.
LONG mmioSeek(HMMIO file, LONG offset, int origin);
// Reads the chunk header at the current position (flags 0) or searches forward for the chunk
// that `chunk` names (ckid, or fccType with FINDRIFF/FINDLIST) inside `parent` (or the file),
// within the limits above. Found: fills `chunk` and stands at its data (after the form type of
// RIFF/LIST). Not found: MMIOERR_CHUNKNOTFOUND, position unspecified.
UINT mmioDescend(HMMIO file, MMCKINFO* chunk, const MMCKINFO* parent, UINT flags);
// Stands after the chunk (and its pad byte), at most at the end of the file.
UINT mmioAscend(HMMIO file, MMCKINFO* chunk, UINT flags);

}  // namespace platform
