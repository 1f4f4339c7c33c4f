// How many bytes the process has read from files so far, for tests that check that a reader looks
// at a few bytes of a large file rather than all of it (a count, not a time).
#pragma once

#include <cstdio>

namespace qvtest {

// The kernel's count of bytes read by this process, or -1 where it keeps none.
inline long long BytesReadSoFar() {
    std::FILE* io = std::fopen("/proc/self/io", "r");
    if (io == nullptr) return -1;
    long long bytes = -1;
    char line[128];
    while (std::fgets(line, sizeof line, io) != nullptr)
        if (std::sscanf(line, "rchar: %lld", &bytes) == 1) break;
    std::fclose(io);
    return bytes;
}

}  // namespace qvtest
