# Sources of platform/testing (the Print* files are listed by the drawing layer).
list(APPEND QV_PLATFORM_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Harness.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Headless.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Input.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TextRoom.cpp)
