// The ways a save fails, for the tests of every writer: each case set up in a folder of its own,
// the reason its message must give, and whether what was there before is still there untouched.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "shell/Globals.h"

namespace qvtest {

enum class SaveFault {
    kDiskFull,        // the disk takes no more data (the write hook fails the first byte)
    kReadOnlyFile,    // the file to replace is read-only
    kFolderInPlace,   // a folder has the file's name
    kNoFolder,        // the file's folder does not exist
    kReadOnlyFolder,  // the file's folder takes no new file (not for a process with every right)
};

struct SaveFailureCase {
    const char* name;
    SaveFault fault;
};

inline const SaveFailureCase kSaveFailureCases[] = {
    {"disk full", SaveFault::kDiskFull},
    {"read-only file", SaveFault::kReadOnlyFile},
    {"a folder in the file's place", SaveFault::kFolderInPlace},
    {"no such folder", SaveFault::kNoFolder},
    {"read-only folder", SaveFault::kReadOnlyFolder},
};

inline constexpr const char* kPreviousContents = "the previous file, to be kept whole";

// One failed save set up under `folder` (created here) for a file named `name`; the destructor
// puts back the permissions and the write hook.
class SaveFailureSetup {
  public:
    SaveFailureSetup(const std::filesystem::path& folder, const std::string& name, SaveFault fault)
        : fault_(fault), folder_(folder) {
        namespace fs = std::filesystem;
        fs::create_directories(folder_);
        target_folder_ = fault == SaveFault::kNoFolder ? folder_ / "missing" : folder_;
        target_ = (target_folder_ / name).string();
        switch (fault) {
            case SaveFault::kDiskFull:
                WritePrevious();
                shell::FileWriteFaultAfterBytes = 0;
                reason_ = "the disk refused the data";
                break;
            case SaveFault::kReadOnlyFile:
                WritePrevious();
                fs::permissions(target_, fs::perms(0444));
                reason_ = "the file is read-only";
                break;
            case SaveFault::kFolderInPlace:
                fs::create_directory(target_);
                reason_ = "it is not a regular file";
                break;
            case SaveFault::kNoFolder:
                reason_ = std::strerror(ENOENT);
                break;
            case SaveFault::kReadOnlyFolder:
                WritePrevious();
                fs::permissions(folder_, fs::perms(0555));
                reason_ = std::strerror(EACCES);
                break;
        }
        entries_ = Entries();
    }
    ~SaveFailureSetup() {
        shell::FileWriteFaultAfterBytes = -1;
        std::error_code ignored;
        std::filesystem::permissions(folder_, std::filesystem::perms(0755), ignored);
        std::filesystem::permissions(target_, std::filesystem::perms(0644), ignored);
    }
    SaveFailureSetup(const SaveFailureSetup&) = delete;
    SaveFailureSetup& operator=(const SaveFailureSetup&) = delete;

    // A process with every right writes into a read-only folder anyway: that case cannot fail.
    bool Applies() const { return fault_ != SaveFault::kReadOnlyFolder || ::geteuid() != 0; }
    const std::string& Target() const { return target_; }
    std::string TargetFolder() const { return target_folder_.string(); }
    const std::string& Reason() const { return reason_; }
    // Whether the save dialog will ask before replacing what has the file's name.
    bool TargetExists() const { return std::filesystem::exists(target_); }

    // What was there is there as it was: the previous file with its bytes, the folder in the
    // file's place empty, no file where there was none, and nothing new (no temporary) beside.
    ::testing::AssertionResult Untouched() const {
        namespace fs = std::filesystem;
        switch (fault_) {
            case SaveFault::kFolderInPlace:
                if (!fs::is_directory(target_) || !fs::is_empty(target_))
                    return ::testing::AssertionFailure()
                           << "the folder in the file's place changed";
                break;
            case SaveFault::kNoFolder:
                if (fs::exists(target_folder_))
                    return ::testing::AssertionFailure() << "the missing folder was created";
                break;
            default: {
                std::ifstream in(target_, std::ios::binary);
                const std::string kept((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
                if (kept != kPreviousContents)
                    return ::testing::AssertionFailure()
                           << "the previous file now holds " << kept.size() << " bytes";
            }
        }
        if (Entries() != entries_)
            return ::testing::AssertionFailure() << "the folder holds other files than before";
        return ::testing::AssertionSuccess();
    }

  private:
    void WritePrevious() const {
        std::ofstream out(target_, std::ios::binary | std::ios::trunc);
        out << kPreviousContents;
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(folder_, ec))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    SaveFault fault_;
    std::filesystem::path folder_;
    std::filesystem::path target_folder_;
    std::string target_;
    std::string reason_;
    std::vector<std::string> entries_;
};

// The message a failed save must show.
inline std::string SaveFailureMessage(const std::string& path, const std::string& what,
                                      const std::string& reason) {
    return path + "\n\nThe " + what + " has not been saved: " + reason + ".";
}

}  // namespace qvtest
