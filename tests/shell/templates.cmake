list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/DialogTemplatesTest.cpp)
