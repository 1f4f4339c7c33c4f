#include <gtest/gtest.h>

#include <thread>

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
