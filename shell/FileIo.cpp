#include "shell/FileIo.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "platform/sys/Files.h"
#include "shell/Globals.h"

namespace shell {

namespace {

// Largest chunk handed to one fwrite, so that a fault after k bytes can be modelled and every
// chunk's result is checked.
constexpr std::size_t kWriteChunk = 1 << 20;

std::atomic<unsigned> temp_counter{0};

std::string TempPathFor(const char* path) {
    return std::string(path) + ".tmp" + std::to_string(::getpid()) + "_" +
           std::to_string(temp_counter.fetch_add(1));
}

}  // namespace

std::int64_t FileLength(const char* path) {
    if (path == nullptr) return -1;
    std::FILE* file = platform::OpenRegularFileForReading(path);
    if (file == nullptr) return -1;
    std::int64_t length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long position = std::ftell(file);
        if (position >= 0) length = position;
    }
    std::fclose(file);
    return length;
}

FileStatus ReadFileExact(const char* path, std::size_t expected, std::vector<std::uint8_t>& out) {
    if (path == nullptr) return FileStatus::kOpenFailed;
    std::FILE* file = platform::OpenRegularFileForReading(path);
    if (file == nullptr) return FileStatus::kOpenFailed;
    FileStatus status = FileStatus::kOk;
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) != 0 || (length = std::ftell(file)) < 0 ||
        std::fseek(file, 0, SEEK_SET) != 0) {
        status = FileStatus::kReadFailed;
    } else if (static_cast<std::size_t>(length) != expected) {
        status = FileStatus::kWrongSize;
    } else {
        out.resize(expected);
        if (expected > 0 && std::fread(out.data(), 1, expected, file) != expected) {
            status = FileStatus::kReadFailed;
        }
    }
    std::fclose(file);
    if (status != FileStatus::kOk) out.clear();
    return status;
}

FileStatus ReadFileHead(const char* path, std::size_t capacity, std::vector<std::uint8_t>& out) {
    if (path == nullptr) return FileStatus::kOpenFailed;
    std::FILE* file = platform::OpenRegularFileForReading(path);
    if (file == nullptr) return FileStatus::kOpenFailed;
    out.resize(capacity);
    const std::size_t got = capacity > 0 ? std::fread(out.data(), 1, capacity, file) : 0;
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        out.clear();
        return FileStatus::kReadFailed;
    }
    out.resize(got);
    return FileStatus::kOk;
}

FileStatus WriteFileAtomic(const char* path, const void* data, std::size_t size) {
    if (path == nullptr || (data == nullptr && size > 0)) return FileStatus::kOpenFailed;
    const std::string temp = TempPathFor(path);
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (file == nullptr) return FileStatus::kOpenFailed;

    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t written = 0;
    bool ok = true;
    while (ok && written < size) {
        std::size_t chunk = size - written < kWriteChunk ? size - written : kWriteChunk;
        if (FileWriteFaultAfterBytes >= 0) {
            const auto limit = static_cast<std::size_t>(FileWriteFaultAfterBytes);
            if (written >= limit) {
                ok = false;
                break;
            }
            if (written + chunk > limit) chunk = limit - written;
        }
        if (std::fwrite(bytes + written, 1, chunk, file) != chunk) ok = false;
        written += chunk;
    }
    if (ok && std::fflush(file) != 0) ok = false;
    if (ok && ::fsync(::fileno(file)) != 0) ok = false;
    if (std::fclose(file) != 0) ok = false;
    if (ok && std::rename(temp.c_str(), path) != 0) ok = false;
    if (!ok) {
        std::remove(temp.c_str());
        return FileStatus::kWriteFailed;
    }
    return FileStatus::kOk;
}

}  // namespace shell
