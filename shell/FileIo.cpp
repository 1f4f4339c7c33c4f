#include "shell/FileIo.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/sys/Files.h"
#include "platform/ui/MessageBox.h"
#include "shell/Globals.h"

namespace shell {

namespace {

// Largest chunk handed to one fwrite, so that a fault after k bytes can be modelled and every
// chunk's result is checked.
constexpr std::size_t kWriteChunk = 1 << 20;

// Temporary files of a save are named ".qvsave-<process>-<n>.tmp" in the target's folder: short
// whatever the target's name, and recognisable as this program's when a killed save left one.
constexpr const char* kTempPrefix = ".qvsave-";
constexpr const char* kTempSuffix = ".tmp";
// Links followed at most when a save resolves its target (the system's own limit is 40).
constexpr int kMaxLinkDepth = 40;

std::atomic<unsigned> temp_counter{0};
std::string last_save_failure;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The file a save must replace: the end of a chain of symbolic links (also a link to a file
// that does not exist yet), so that the link stays and its target is updated.
std::string SaveTarget(const char* path) {
    std::string target = path;
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
        std::vector<char> buffer(static_cast<std::size_t>(PATH_MAX) + 1);
        const ssize_t n = ::readlink(target.c_str(), buffer.data(), buffer.size() - 1);
        if (n <= 0) return target;
        const std::string link(buffer.data(), static_cast<std::size_t>(n));
        target = link[0] == '/' ? link : FolderOf(target) + "/" + link;
    }
    return target;
}

std::string TempPathIn(const std::string& folder) {
    return folder + "/" + kTempPrefix + std::to_string(::getpid()) + "-" +
           std::to_string(temp_counter.fetch_add(1)) + kTempSuffix;
}

// Removes temporaries of this program in `folder` that a save of a process no longer running
// left behind (a kill in mid-write).
void RemoveStaleTemporaries(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    const std::size_t prefix = std::strlen(kTempPrefix);
    const std::size_t suffix = std::strlen(kTempSuffix);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() <= prefix + suffix || name.compare(0, prefix, kTempPrefix) != 0 ||
            name.compare(name.size() - suffix, suffix, kTempSuffix) != 0) {
            continue;
        }
        const std::string middle = name.substr(prefix, name.size() - prefix - suffix);
        const std::size_t dash = middle.find('-');
        if (dash == std::string::npos || dash == 0 || dash > 10) continue;
        bool digits = true;
        for (char c : middle) digits = digits && ((c >= '0' && c <= '9') || c == '-');
        if (!digits) continue;
        const long pid = std::strtol(middle.substr(0, dash).c_str(), nullptr, 10);
        if (pid <= 0 || pid == ::getpid()) continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;  // still running
        ::unlink((folder + "/" + name).c_str());
    }
    ::closedir(dir);
}

FileStatus Fail(FileStatus status, const std::string& reason) {
    last_save_failure = reason;
    return status;
}

}  // namespace

const std::string& LastSaveFailure() { return last_save_failure; }

void ShowSaveFailure(platform::HWND owner, const char* path, const char* what,
                     const std::string& reason) {
    const std::string text = std::string(path != nullptr ? path : "") + "\n\nThe " + what +
                             " has not been saved: " + reason + ".";
    platform::MessageBox(owner, text.c_str(), "QV Message",
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

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
    last_save_failure.clear();
    if (path == nullptr || (data == nullptr && size > 0)) {
        return Fail(FileStatus::kOpenFailed, "no file name");
    }
    const std::string target = SaveTarget(path);
    const std::string folder = FolderOf(target);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        return Fail(FileStatus::kOpenFailed, "it is not a regular file");
    }
    // A file the user has made read-only is not replaced behind their back (also not when the
    // program runs with the rights to do so anyway).
    if (exists && ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                   ::access(target.c_str(), W_OK) != 0)) {
        return Fail(FileStatus::kReadOnly, "the file is read-only");
    }
    RemoveStaleTemporaries(folder);

    const std::string temp = TempPathIn(folder);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return Fail(FileStatus::kOpenFailed, std::strerror(errno));
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        const int error = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        return Fail(FileStatus::kOpenFailed, std::strerror(error));
    }

    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t written = 0;
    bool ok = true;
    std::string reason;
    while (ok && written < size) {
        std::size_t chunk = size - written < kWriteChunk ? size - written : kWriteChunk;
        if (FileWriteFaultAfterBytes >= 0) {
            const auto limit = static_cast<std::size_t>(FileWriteFaultAfterBytes);
            if (written >= limit) {
                ok = false;
                reason = "the disk refused the data";
                break;
            }
            if (written + chunk > limit) chunk = limit - written;
        }
        if (std::fwrite(bytes + written, 1, chunk, file) != chunk) {
            ok = false;
            reason = std::strerror(errno);
        }
        written += chunk;
    }
    if (ok && std::fflush(file) != 0) ok = false, reason = std::strerror(errno);
    // The saved file keeps the permissions the previous one had.
    if (ok && exists && ::fchmod(::fileno(file), existing.st_mode & 07777) != 0) {
        ok = false, reason = std::strerror(errno);
    }
    if (ok && ::fsync(::fileno(file)) != 0) ok = false, reason = std::strerror(errno);
    if (std::fclose(file) != 0 && ok) ok = false, reason = std::strerror(errno);
    if (ok && std::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false, reason = std::strerror(errno);
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return Fail(FileStatus::kWriteFailed, reason);
    }
    return FileStatus::kOk;
}

}  // namespace shell
