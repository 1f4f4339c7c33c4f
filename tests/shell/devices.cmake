# Sound devices the player could not close.
list(APPEND QV_TEST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/DevicesLeftOpenTest.cpp)
