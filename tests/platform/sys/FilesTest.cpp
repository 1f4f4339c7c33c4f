// Files the program reads whole: only regular files open; a named pipe, a folder or a device
// counts as a file that cannot be opened, and asking never waits.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/audio/Mmio.h"
#include "platform/sys/Files.h"

namespace platform {
namespace {

class Files : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("qv_files_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
        regular_ = (dir_ / "regular.bin").string();
        std::FILE* f = std::fopen(regular_.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("RIFF", f);
        std::fclose(f);
        pipe_ = (dir_ / "pipe.hif").string();
        ASSERT_EQ(::mkfifo(pipe_.c_str(), 0600), 0);
        link_ = (dir_ / "link.bin").string();
        std::filesystem::create_symlink(regular_, link_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path dir_;
    std::string regular_, pipe_, link_;
};

TEST_F(Files, OnlyRegularFilesOpenAndNothingWaits) {
    struct Case {
        std::string path;
        bool opens;
    };
    const Case cases[] = {{regular_, true},     {link_, true},
                          {pipe_, false},       {dir_.string(), false},
                          {"/dev/null", false}, {(dir_ / "missing").string(), false}};
    for (const Case& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        std::FILE* f = OpenRegularFileForReading(c.path.c_str());
        EXPECT_EQ(f != nullptr, c.opens) << c.path;
        if (f) {
            char text[8] = {};
            EXPECT_EQ(std::fread(text, 1, 4, f), 4u) << "reads block again after the open";
            EXPECT_STREQ(text, "RIFF");
            std::fclose(f);
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << c.path;
        EXPECT_EQ(IsNonRegularFile(c.path.c_str()),
                  !c.opens && c.path != (dir_ / "missing").string())
            << c.path;
    }
    EXPECT_EQ(OpenRegularFileForReading(nullptr), nullptr);
}

TEST_F(Files, MmioRefusesAPipeAtOnce) {
    EXPECT_FALSE(mmioOpen(pipe_.c_str(), nullptr, MMIO_READ | MMIO_ALLOCBUF));
    HMMIO h = mmioOpen(regular_.c_str(), nullptr, MMIO_READ);
    EXPECT_TRUE(h);
    if (h) mmioClose(h, 0);
}

}  // namespace
}  // namespace platform
