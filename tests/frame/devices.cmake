# A sound device the player could not close, closed by whatever needs one next.
list(APPEND QV_TEST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/FrameDevicesLeftOpenTest.cpp)
