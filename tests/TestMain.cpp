// main() of every test executable: the layer starts headless, then GoogleTest runs.
#include <gtest/gtest.h>

#include "platform/testing/Harness.h"

int main(int argc, char** argv) {
    platform::testing::StartHeadless(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
