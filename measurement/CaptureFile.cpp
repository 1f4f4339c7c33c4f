#include "measurement/CaptureFile.h"

#include <cstring>
#include <vector>

#include "measurement/Globals.h"
#include "measurement/MlsSequences.h"
#include "platform/ui/MessageBox.h"
#include "shell/FileChooser.h"
#include "shell/FileIo.h"
#include "shell/Globals.h"
#include "shell/PreferencesRecord.h"

namespace measurement {

platform::OPENFILENAME MlsFileDialogRecord{};
char MlsFilePath[2048] = {};
char MlsFileTitle[2048] = {};

namespace {

constexpr const char* kNotRecognized = "This IR File is NOT Recognized";
constexpr char kFilter[] = "MLS Impulse (*.RES)\0*.res\0All Files (*.*)\0*.*\0";

void Exclaim(platform::HWND owner, const char* text) {
    platform::MessageBox(owner, text, "QV Message", platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

// The index of a field "d\0xx" when d is a digit within 0..highest, otherwise -1.
int IndexField(const std::uint8_t* field, int highest) {
    if (field[0] < '0' || field[0] > '0' + highest || field[1] != 0) return -1;
    return field[0] - '0';
}

}  // namespace

void ResetCaptureFileNames() {
    MlsFileDialogRecord = platform::OPENFILENAME{};
    std::memset(MlsFilePath, 0, sizeof MlsFilePath);
    std::memset(MlsFileTitle, 0, sizeof MlsFileTitle);
}

void SetupResFileName(platform::HWND owner) {
    MlsFileDialogRecord = platform::OPENFILENAME{};
    MlsFileDialogRecord.lStructSize = 88;
    MlsFileDialogRecord.hwndOwner = owner;
    MlsFileDialogRecord.lpstrFilter = kFilter;
    MlsFileDialogRecord.nFilterIndex = 0;
    MlsFileDialogRecord.lpstrFile = nullptr;
    MlsFileDialogRecord.nMaxFile = 256;
    MlsFileDialogRecord.lpstrFileTitle = nullptr;
    MlsFileDialogRecord.nMaxFileTitle = 256;
    MlsFileDialogRecord.Flags = 0;
    MlsFileDialogRecord.lpstrDefExt = "*.*";
}

bool WriteMlsCaptureFile(platform::HWND owner, const char* path, int rate, int length) {
    if (path == nullptr || MlsCaptureSave == nullptr) return false;
    if (rate < 0 || rate > 7 || length < 0 || length >= kMlsLengthCount) {
        // Cannot be stored as one digit each (the page and the reader keep them in range).
        Exclaim(owner, "The Sampling Rate Or MLS Length Setting Is Out Of Range");
        return false;
    }
    std::vector<std::uint8_t> image(kMlsCaptureFileBytes, 0);
    std::memcpy(image.data(), MlsCaptureSave, kMlsCaptureStoredBytes);
    image[kMlsRateFieldOffset] = static_cast<std::uint8_t>('0' + rate);
    image[kMlsLengthFieldOffset] = static_cast<std::uint8_t>('0' + length);
    if (shell::WriteFileAtomic(path, image.data(), image.size()) != shell::FileStatus::kOk) {
        shell::ShowSaveFailure(owner, path, "capture");
        return false;
    }
    return true;
}

bool WriteMlsCaptureFile(platform::HWND owner, const char* path) {
    return WriteMlsCaptureFile(owner, path, shell::Mls.MlsSampleRateIndex,
                               shell::Mls.MlsLengthIndex);
}

CaptureLoad ReadMlsCaptureFile(platform::HWND owner, const char* path) {
    if (path == nullptr || MlsCaptureCopy == nullptr) return CaptureLoad::kOpenFailed;
    std::vector<std::uint8_t> image;
    const shell::FileStatus status = shell::ReadFileExact(path, kMlsCaptureFileBytes, image);
    if (status == shell::FileStatus::kWrongSize) {
        Exclaim(owner, kNotRecognized);
        return CaptureLoad::kUnrecognized;
    }
    if (status != shell::FileStatus::kOk || image.size() != kMlsCaptureFileBytes) {
        Exclaim(owner, path);
        return CaptureLoad::kOpenFailed;
    }
    const int rate = IndexField(&image[kMlsRateFieldOffset], 7);
    const int length = IndexField(&image[kMlsLengthFieldOffset], kMlsLengthCount - 1);
    if (rate < 0 || length < 0) {
        Exclaim(owner, kNotRecognized);
        return CaptureLoad::kUnrecognized;
    }
    std::memcpy(MlsCaptureCopy, image.data(), kMlsCaptureStoredBytes);
    MlsCaptureCopy[kMlsCaptureBytes - 1] = 0;  // not stored in the file
    shell::Mls.MlsSampleRateIndex = rate;
    shell::Mls.MlsLengthIndex = length;
    MlsOrder = length + kMlsMinOrder;
    GenerateMls16(MlsOrder);
    return CaptureLoad::kLoaded;
}

int SaveMlsCaptureAs() {
    if (shell::AudioBusy != 0) return 0;
    if (MlsImpulseValid != 1 || MlsCaptureHeld != 1 || MlsCaptureSave == nullptr) {
        // Without a held capture a file of zeros would pass for a measurement.
        Exclaim(shell::FrameWindow, "Please Generate Impulse Response First");
        return 0;
    }
    SetupResFileName(shell::FrameWindow);
    if (shell::ChooseFile(MlsFileDialogRecord, shell::FrameWindow, MlsFilePath, MlsFileTitle,
                          shell::Chooser::kSave) != 1)
        return 0;
    return WriteMlsCaptureFile(shell::FrameWindow, MlsFilePath, MlsCaptureRateIndex,
                               MlsCaptureLengthIndex)
               ? 1
               : 0;
}

CaptureLoad OpenMlsCaptureFile() {
    SetupResFileName(shell::FrameWindow);
    if (shell::ChooseFile(MlsFileDialogRecord, shell::FrameWindow, MlsFilePath, MlsFileTitle,
                          shell::Chooser::kOpen) != 1)
        return CaptureLoad::kCancelled;
    // The busy word is the caller's: whoever set it for this road clears it.
    return ReadMlsCaptureFile(shell::FrameWindow, MlsFilePath);
}

}  // namespace measurement
