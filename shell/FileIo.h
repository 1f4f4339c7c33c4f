// Whole-file reading and writing. Reads open regular files only and check the length; a save
// goes to a temporary file in the target's folder, every write is checked, the file is flushed
// and closed, and only then renamed over the target, so a failed save keeps the previous file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace shell {

enum class FileStatus {
    kOk,
    kOpenFailed,  // the file could not be opened / created
    kWrongSize,   // length outside what the caller accepts
    kReadFailed,
    kWriteFailed,  // a write, flush, close or rename failed
    kReadOnly,     // the file to replace is read-only
};

// Length of a file in bytes, or -1 when it cannot be opened.
std::int64_t FileLength(const char* path);

// Reads the whole file into `out` when its length is exactly `expected` bytes.
FileStatus ReadFileExact(const char* path, std::size_t expected, std::vector<std::uint8_t>& out);

// Reads at most `capacity` bytes from the start of the file into `out` (resized to what was read).
FileStatus ReadFileHead(const char* path, std::size_t capacity, std::vector<std::uint8_t>& out);

// Writes `size` bytes to `path` through a temporary file in the same folder. A symbolic link is
// followed: its target is replaced and the link stays. The new file keeps the previous file's
// permissions; a read-only file is not replaced (kReadOnly). Temporaries that a killed save of
// this program left in the folder are removed first.
FileStatus WriteFileAtomic(const char* path, const void* data, std::size_t size);

// Why the last WriteFileAtomic failed, in words for the user ("" after a success).
const std::string& LastSaveFailure();

// Shows "<path>\n\nThe <what> has not been saved: <reason>." in a message box owned by
// `owner` (caption "QV Message", exclamation icon); `what` in the user's words ("project",
// "driver", "capture", ...), `reason` by default why the last WriteFileAtomic failed. Every
// writer reports a failed save through it, so that each says the same: nothing was saved, and why.
void ShowSaveFailure(platform::HWND owner, const char* path, const char* what,
                     const std::string& reason = LastSaveFailure());

}  // namespace shell
