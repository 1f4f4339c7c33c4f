// Opening files that the program reads whole. Only a regular file is opened: a named pipe, a
// device or a folder would block the program or never end, so they count as files that cannot
// be opened. The check and the open are one step (the file is opened without waiting and then
// looked at), so nothing can swap the file in between.
#pragma once

#include <cstdio>

namespace platform {

// The file at `path` opened for binary reading when it is a regular file; nullptr otherwise
// (missing, not readable, or not a regular file).
std::FILE* OpenRegularFileForReading(const char* path);

// True when `path` names something that exists but is not a regular file (following links).
bool IsNonRegularFile(const char* path);

}  // namespace platform
