// Whole-file reads with length checks and saves through a temporary file.
#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
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

}  // namespace
}  // namespace shell
