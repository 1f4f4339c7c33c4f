#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/internal/Queue.h"

namespace platform {
namespace {

TEST(MessageQueue, PostsFromAnyThreadArriveInOrder) {
    internal::ClearPosted();
    std::thread poster([] {
        for (int i = 0; i < 100; ++i) PostMessage(HWND::FromIndex(7), WM_USER + 1, i, -i);
    });
    poster.join();
    MSG m{};
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(internal::TakePosted(&m, HWND{}, 0, 0, true)) << "message " << i << " lost";
        EXPECT_EQ(m.wParam, static_cast<WPARAM>(i));
        EXPECT_EQ(m.lParam, -i);
    }
    EXPECT_FALSE(internal::TakePosted(&m, HWND{}, 0, 0, true));
}

}  // namespace
}  // namespace platform

namespace platform {
namespace {

// Several device threads post at once while the UI thread drains; more posts than the ring holds
// go through, none is lost or duplicated, and each thread's messages keep their order.
TEST(MessageQueue, ConcurrentPostersBeyondTheRingLoseNothing) {
    internal::ClearPosted();
    constexpr int kThreads = 4;
    constexpr int kPerThread = 5000;  // 20000 in all: more than the ring's slots
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([t] {
            for (int i = 0; i < kPerThread; ++i) {
                PostMessage(HWND::FromIndex(1), WM_USER + 2, static_cast<WPARAM>(t), i);
            }
        });
    }
    for (auto& p : posters) p.join();
    std::vector<int> next(kThreads, 0);
    MSG m{};
    int total = 0;
    while (internal::TakePosted(&m, HWND{}, 0, 0, true)) {
        ASSERT_LT(m.wParam, static_cast<WPARAM>(kThreads));
        EXPECT_EQ(m.lParam, next[m.wParam]) << "thread " << m.wParam << " out of order";
        next[m.wParam] = static_cast<int>(m.lParam) + 1;
        ++total;
    }
    EXPECT_EQ(total, kThreads * kPerThread);
}

TEST(MessageQueue, FilteredTakeLeavesOthersInOrder) {
    internal::ClearPosted();
    PostMessage(HWND::FromIndex(1), WM_USER + 1, 1, 0);
    PostMessage(HWND::FromIndex(2), WM_USER + 1, 2, 0);
    PostMessage(HWND::FromIndex(1), WM_USER + 3, 3, 0);
    MSG m{};
    ASSERT_TRUE(internal::TakePosted(&m, HWND::FromIndex(1), WM_USER + 3, WM_USER + 3, true));
    EXPECT_EQ(m.wParam, 3u);
    ASSERT_TRUE(internal::TakePosted(&m, HWND{}, 0, 0, true));
    EXPECT_EQ(m.wParam, 1u);
    ASSERT_TRUE(internal::TakePosted(&m, HWND{}, 0, 0, true));
    EXPECT_EQ(m.wParam, 2u);
    EXPECT_FALSE(internal::TakePosted(&m, HWND{}, 0, 0, true));
}

}  // namespace
}  // namespace platform
