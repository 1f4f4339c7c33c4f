#include "platform/sys/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::FILE* OpenRegularFileForReading(const char* path) {
    if (path == nullptr) return nullptr;
    // O_NONBLOCK: opening a named pipe with no writer returns at once instead of waiting.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) ::close(fd);
    return file;
}

bool IsNonRegularFile(const char* path) {
    if (path == nullptr) return false;
    struct stat st {};
    return ::stat(path, &st) == 0 && !S_ISREG(st.st_mode);
}

}  // namespace platform
