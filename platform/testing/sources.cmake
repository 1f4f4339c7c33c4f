# Sources of platform/testing.
list(APPEND QV_PLATFORM_SOURCES ${CMAKE_CURRENT_LIST_DIR}/Harness.cpp)
list(APPEND QV_PLATFORM_SOURCES ${CMAKE_CURRENT_LIST_DIR}/Headless.cpp)
