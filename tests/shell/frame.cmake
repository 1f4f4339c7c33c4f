list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/FrameStartupTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameCommandsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameDriverCommandsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameConfigWindowsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameMenuTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameProgramTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameMlsTest.cpp)

# The frame tests run the program wired as its entry wires it: the network editor, the solver and
# the player dialog, the driver-data tools and the measurement pages live above the shell.
function(qv_link_frame_tests)
    if(TARGET shell_tests)
        target_link_libraries(shell_tests PRIVATE engine driverdata measurement)
    endif()
endfunction()
cmake_language(DEFER CALL qv_link_frame_tests)
