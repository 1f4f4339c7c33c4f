list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/sys/ThreadsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sys/TestEnvironmentTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sys/FilesTest.cpp)
