# Sources of platform/sys.
list(APPEND QV_PLATFORM_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Clock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Files.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Threads.cpp)
