list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/audio/WaveProtocolTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/audio/VirtualLoopbackTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/audio/AlsaNullTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/audio/MmioTest.cpp)
