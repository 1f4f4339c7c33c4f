// What a folder's variables held when the test executable started, before any test ran: a reset
// must give exactly those bytes back, whatever the tests before it changed.
//
//   const qvtest::StartBytes& start = qvtest::KeepStartBytes({QV_STATE(MlsOrder), ...});
//   start.Scramble();
//   measurement::ResetGlobals();
//   EXPECT_EQ(start.Changed(), "");
//
// KeepStartBytes is called at static initialisation, so that it registers a GoogleTest environment
// which copies the bytes once, when the tests start (every variable has its start value then).
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace qvtest {

struct StateBlock {
    const char* name;
    void* address;
    std::size_t size;
};

// Every variable of a StateBlock list is a plain value or an array of them: never a pointer that
// a reset frees, nor anything a reset reads before it writes.
#define QV_STATE(variable) \
    ::qvtest::StateBlock { #variable, &(variable), sizeof(variable) }

class StartBytes : public ::testing::Environment {
  public:
    explicit StartBytes(std::initializer_list<StateBlock> blocks) : blocks_(blocks) {}

    void SetUp() override {
        if (kept_) return;  // --gtest_repeat sets the environments up again
        for (const StateBlock& block : blocks_) {
            const auto* bytes = static_cast<const unsigned char*>(block.address);
            start_.emplace_back(bytes, bytes + block.size);
        }
        kept_ = true;
    }

    // Every byte of every variable to a value no start value has.
    void Scramble() const {
        for (const StateBlock& block : blocks_) std::memset(block.address, 0x5A, block.size);
    }

    // The names of the variables whose bytes differ from their start bytes ("" when none).
    std::string Changed() const {
        std::string names;
        for (std::size_t i = 0; i < blocks_.size(); ++i) {
            if (std::memcmp(blocks_[i].address, start_[i].data(), blocks_[i].size) != 0)
                names += std::string(names.empty() ? "" : ", ") + blocks_[i].name;
        }
        return names;
    }

    bool Kept() const { return kept_; }

  private:
    std::vector<StateBlock> blocks_;
    std::vector<std::vector<unsigned char>> start_;
    bool kept_ = false;
};

// Registers the environment (GoogleTest owns it) and returns it.
inline const StartBytes& KeepStartBytes(std::initializer_list<StateBlock> blocks) {
    auto* start = new StartBytes(blocks);
    ::testing::AddGlobalTestEnvironment(start);
    return *start;
}

}  // namespace qvtest
