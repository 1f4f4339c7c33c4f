list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/StartValuesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ConvolutionTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ConvolutionPathsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DamagedProjectTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RoomEqSolveTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TestToneTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PlayerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WorkersTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyHookTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MetersTest.cpp
)

# The engine's thread hand-offs are checked under ThreadSanitizer by scripts/test, which builds
# engine_tests with -DQV_SANITIZE=thread and runs it with
#   TSAN_OPTIONS=suppressions=<source>/tests/engine/tsan.supp
# (the file silences Qt's and GLib's own uninstrumented threads only).
