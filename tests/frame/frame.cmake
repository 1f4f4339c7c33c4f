list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/StartValuesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameStartupTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameCommandsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameDriverCommandsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameConfigWindowsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameMenuTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameProgramTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameMlsTest.cpp)
# Input the program cannot take whole: short files, failed saves, devices that will not close.
list(APPEND QV_TEST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/FrameRefusalsTest.cpp)
# The HBT editor run inside the program, opened by the frame's menu commands.
list(APPEND QV_TEST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/HbtEditorTest.cpp)
# The settings windows and the project profiles dialog.
list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PreferencesWindowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProfilesDialogTest.cpp)
