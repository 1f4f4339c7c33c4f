// Whole-file reads with length checks and saves through a temporary file.
#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "shell/FileIo.h"
#include "shell/Globals.h"
#include "tests/shell/ShellTestSupport.h"

namespace shell {
namespace {

class FileIoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetGlobals();
        dir_ = test::MakeTempFolder("fileio");
    }
    void TearDown() override {
        FileWriteFaultAfterBytes = -1;
        std::filesystem::remove_all(dir_);
    }
    std::filesystem::path dir_;
};

TEST_F(FileIoTest, ReadFileExactChecksTheLength) {
    std::vector<std::uint8_t> data(1000);
    std::iota(data.begin(), data.end(), 0);
    const auto path = dir_ / "a.bin";
    test::WriteBytes(path, data.data(), data.size());
    std::vector<std::uint8_t> out;
    EXPECT_EQ(ReadFileExact(path.c_str(), 1000, out), FileStatus::kOk);
    EXPECT_EQ(out, data);
    EXPECT_EQ(ReadFileExact(path.c_str(), 999, out), FileStatus::kWrongSize);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(ReadFileExact(path.c_str(), 1001, out), FileStatus::kWrongSize);
    EXPECT_EQ(ReadFileExact((dir_ / "missing").c_str(), 10, out), FileStatus::kOpenFailed);
    EXPECT_EQ(FileLength(path.c_str()), 1000);
    EXPECT_EQ(FileLength((dir_ / "missing").c_str()), -1);
}

TEST_F(FileIoTest, ReadFileHeadReadsAtMostTheCapacity) {
    std::vector<std::uint8_t> data(100, 7);
    const auto path = dir_ / "b.bin";
    test::WriteBytes(path, data.data(), data.size());
    std::vector<std::uint8_t> out;
    ASSERT_EQ(ReadFileHead(path.c_str(), 40, out), FileStatus::kOk);
    EXPECT_EQ(out.size(), 40u);
    ASSERT_EQ(ReadFileHead(path.c_str(), 400, out), FileStatus::kOk);
    EXPECT_EQ(out.size(), 100u);
}

TEST_F(FileIoTest, AtomicWriteReplacesTheFileWhole) {
    const auto path = dir_ / "c.bin";
    std::vector<std::uint8_t> first(3 << 20, 1);
    std::vector<std::uint8_t> second(5000, 2);
    ASSERT_EQ(WriteFileAtomic(path.c_str(), first.data(), first.size()), FileStatus::kOk);
    ASSERT_EQ(WriteFileAtomic(path.c_str(), second.data(), second.size()), FileStatus::kOk);
    EXPECT_EQ(test::ReadBytes(path), second);
    EXPECT_EQ(test::CountFiles(dir_), 1) << "a temporary file was left behind";
}

TEST_F(FileIoTest, FailedWriteKeepsThePreviousFile) {
    const auto path = dir_ / "d.bin";
    std::vector<std::uint8_t> good(2 << 20, 0x11);
    ASSERT_EQ(WriteFileAtomic(path.c_str(), good.data(), good.size()), FileStatus::kOk);
    std::vector<std::uint8_t> next(3 << 20, 0x22);
    for (std::int64_t fault : {0LL, 1LL, 1048576LL, 3000000LL}) {
        FileWriteFaultAfterBytes = fault;
        EXPECT_EQ(WriteFileAtomic(path.c_str(), next.data(), next.size()), FileStatus::kWriteFailed)
            << "fault after " << fault;
        EXPECT_EQ(test::ReadBytes(path), good) << "previous file damaged, fault after " << fault;
        EXPECT_EQ(test::CountFiles(dir_), 1) << "temporary file left, fault after " << fault;
    }
    // A fault beyond the size does not trigger.
    FileWriteFaultAfterBytes = static_cast<std::int64_t>(next.size());
    EXPECT_EQ(WriteFileAtomic(path.c_str(), next.data(), next.size()), FileStatus::kOk);
    EXPECT_EQ(test::ReadBytes(path), next);
}

TEST_F(FileIoTest, WriteIntoMissingFolderFails) {
    std::vector<std::uint8_t> data(10, 1);
    EXPECT_EQ(WriteFileAtomic((dir_ / "no" / "such.bin").c_str(), data.data(), data.size()),
              FileStatus::kOpenFailed);
}

// A save through a symbolic link updates the file the link names and keeps the link.
TEST_F(FileIoTest, SaveThroughALinkReplacesItsTarget) {
    const auto real = dir_ / "real.hif";
    std::vector<std::uint8_t> old_data(100, 1), new_data(200, 2);
    test::WriteBytes(real, old_data.data(), old_data.size());
    const auto link = dir_ / "link.hif";
    std::filesystem::create_symlink("real.hif", link);  // relative, as users make them
    const auto chain = dir_ / "chain.hif";
    std::filesystem::create_symlink(link, chain);
    for (const auto& via : {link, chain}) {
        ASSERT_EQ(WriteFileAtomic(via.c_str(), new_data.data(), new_data.size()), FileStatus::kOk);
        EXPECT_TRUE(std::filesystem::is_symlink(via)) << via;
        EXPECT_EQ(test::ReadBytes(real), new_data) << via;
        new_data.assign(300, 3);
    }
    // A link to a file that does not exist yet creates that file.
    const auto dangling = dir_ / "dangling.hif";
    std::filesystem::create_symlink("later.hif", dangling);
    ASSERT_EQ(WriteFileAtomic(dangling.c_str(), old_data.data(), old_data.size()), FileStatus::kOk);
    EXPECT_TRUE(std::filesystem::is_symlink(dangling));
    EXPECT_EQ(test::ReadBytes(dir_ / "later.hif"), old_data);
    EXPECT_EQ(test::CountFiles(dir_), 5) << "real, link, chain, dangling, later";
}

TEST_F(FileIoTest, SaveKeepsThePermissionsAndRefusesAReadOnlyFile) {
    namespace fs = std::filesystem;
    const auto path = dir_ / "kept.hif";
    std::vector<std::uint8_t> data(50, 5), next(60, 6);
    for (const fs::perms mode : {fs::perms(0600), fs::perms(0640), fs::perms(0664)}) {
        test::WriteBytes(path, data.data(), data.size());
        fs::permissions(path, mode);
        ASSERT_EQ(WriteFileAtomic(path.c_str(), next.data(), next.size()), FileStatus::kOk);
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, mode);
    }
    fs::permissions(path, fs::perms(0444));
    const auto before = test::ReadBytes(path);
    EXPECT_EQ(WriteFileAtomic(path.c_str(), data.data(), data.size()), FileStatus::kReadOnly);
    EXPECT_EQ(test::ReadBytes(path), before);
    EXPECT_NE(LastSaveFailure().find("read-only"), std::string::npos) << LastSaveFailure();
    EXPECT_EQ(test::CountFiles(dir_), 1);
    fs::permissions(path, fs::perms(0644));
}

// The temporary name does not grow with the target's: the longest legal name saves.
TEST_F(FileIoTest, LongestLegalNameSaves) {
    const auto path = dir_ / (std::string(250, 'n') + ".hif");
    std::vector<std::uint8_t> data(10, 9);
    ASSERT_EQ(WriteFileAtomic(path.c_str(), data.data(), data.size()), FileStatus::kOk)
        << LastSaveFailure();
    EXPECT_EQ(test::ReadBytes(path), data);
}

// A save killed in mid-write leaves its temporary; the next save in that folder removes it, and
// touches nothing else.
TEST_F(FileIoTest, StaleTemporariesOfThisProgramAreRemoved) {
    const std::vector<std::uint8_t> data(10, 4);
    const char* const stale[] = {".qvsave-999999999-0.tmp", ".qvsave-2147483646-12.tmp"};
    const char* const kept[] = {"notes.tmp", ".qvsave-x-1.tmp", ".qvsave-1-2.tmpx"};
    for (const char* name : stale) test::WriteBytes(dir_ / name, data.data(), data.size());
    for (const char* name : kept) test::WriteBytes(dir_ / name, data.data(), data.size());
    ASSERT_EQ(WriteFileAtomic((dir_ / "p.hif").c_str(), data.data(), data.size()), FileStatus::kOk);
    for (const char* name : stale) EXPECT_FALSE(std::filesystem::exists(dir_ / name)) << name;
    for (const char* name : kept) EXPECT_TRUE(std::filesystem::exists(dir_ / name)) << name;
    EXPECT_EQ(test::CountFiles(dir_), 4);
}

}  // namespace
}  // namespace shell
