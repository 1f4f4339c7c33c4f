list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/StartValuesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameStartupTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameCommandsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameDriverCommandsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameConfigWindowsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameMenuTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameProgramTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameMlsTest.cpp)
# Files that hold less than their reader needs, through the menus and pages.
list(APPEND QV_TEST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/FrameFileRefusalsTest.cpp)
# Saves that fail, through the program's menus and buttons.
list(APPEND QV_TEST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/FrameSaveFailuresTest.cpp)
# The HBT editor run inside the program, opened by the frame's menu commands.
list(APPEND QV_TEST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/HbtEditorTest.cpp)
# The settings windows and the project profiles dialog.
list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PreferencesWindowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProfilesDialogTest.cpp)
