// The MLS capture file (*.RES): the raw stereo capture of one measurement and the two indices
// that fix how it is deconvolved. 2,108,007 bytes, no header, little-endian:
//   0          2,107,999 bytes: the capture buffer without its very last byte
//   2,107,999  sampling-rate index: digit '0'..'7', NUL, two padding bytes (written as 0)
//   2,108,003  MLS length index: digit '0'..'5', NUL, two padding bytes (written as 0)
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/Types.h"
#include "platform/ui/FileDialog.h"
#include "shell/StartupAllocation.h"

namespace measurement {

// The part of MlsCaptureBuffer a capture fills (the buffer has room for twice that).
inline constexpr std::size_t kMlsCaptureFrames = 263500;
inline constexpr std::size_t kMlsCaptureBytes = kMlsCaptureFrames * 2 * sizeof(std::int32_t);
static_assert(2 * kMlsCaptureBytes == shell::kMlsCaptureBufferBytes);
inline constexpr std::size_t kMlsCaptureFileBytes = 2108007;
inline constexpr std::size_t kMlsCaptureStoredBytes = 2107999;
inline constexpr std::size_t kMlsRateFieldOffset = 2107999;
inline constexpr std::size_t kMlsLengthFieldOffset = 2108003;

// The file dialog shared by the capture files of the acquisition page and the room equalizer,
// with its file-name and file-title buffers.
extern platform::OPENFILENAME MlsFileDialogRecord;
extern char MlsFilePath[2048];
extern char MlsFileTitle[2048];
// Forgets the file dialog and the last path and title (all start empty).
void ResetCaptureFileNames();

// Fills MlsFileDialogRecord: owner `owner`, filter "MLS Impulse (*.RES)" / "All Files (*.*)",
// no buffers yet, flags 0.
void SetupResFileName(platform::HWND owner);

// Writes MlsCaptureSave with the current MlsSampleRateIndex and MlsLengthIndex to `path`
// through a temporary file. On failure the file name is shown with "The capture has not been
// saved" and why (owner `owner`), the previous file stays and no temporary is left behind; true
// when written.
bool WriteMlsCaptureFile(platform::HWND owner, const char* path);
// The same with the sampling-rate and length indices given.
bool WriteMlsCaptureFile(platform::HWND owner, const char* path, int rate, int length);

enum class CaptureLoad {
    kLoaded,        // MlsCaptureCopy, the indices and MlsOrder now hold the file's
    kOpenFailed,    // the file name was shown; the previous capture stays to be processed
    kUnrecognized,  // "This IR File is NOT Recognized" was shown; nothing changed
    kCancelled,     // the file dialog was cancelled; nothing changed
};

// Reads `path` into a temporary, checks its size and both index fields, then takes it over:
// MlsCaptureCopy (its last byte zeroed), MlsSampleRateIndex, MlsLengthIndex, MlsOrder, and the
// sequence tables rebuilt for that order (GenerateMls16).
CaptureLoad ReadMlsCaptureFile(platform::HWND owner, const char* path);

// Save IR: only while no measurement runs. Without a held capture (MlsCaptureHeld) after a
// measurement it says "Please Generate Impulse Response First" and writes nothing; otherwise it
// asks for the name (overwrite prompt) and writes the held capture with the indices it was
// processed with. 1 when written.
int SaveMlsCaptureAs();

// The load of "Use Saved Buffer": asks for the file and reads it. A cancelled dialog or an
// unrecognised file clears AudioBusy (the caller stops).
CaptureLoad OpenMlsCaptureFile();

}  // namespace measurement
