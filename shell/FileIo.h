// Whole-file reading and writing. Reads check the length; a save goes to a temporary file in
// the same folder, every write is checked, the file is flushed and closed, and only then renamed
// over the target, so a failed save keeps the previous file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace shell {

enum class FileStatus {
    kOk,
    kOpenFailed,  // the file could not be opened / created
    kWrongSize,   // length outside what the caller accepts
    kReadFailed,
    kWriteFailed,  // a write, flush, close or rename failed
};

// Length of a file in bytes, or -1 when it cannot be opened.
std::int64_t FileLength(const char* path);

// Reads the whole file into `out` when its length is exactly `expected` bytes.
FileStatus ReadFileExact(const char* path, std::size_t expected, std::vector<std::uint8_t>& out);

// Reads at most `capacity` bytes from the start of the file into `out` (resized to what was read).
FileStatus ReadFileHead(const char* path, std::size_t capacity, std::vector<std::uint8_t>& out);

// Writes `size` bytes to `path` through a temporary file in the same folder.
FileStatus WriteFileAtomic(const char* path, const void* data, std::size_t size);

}  // namespace shell
