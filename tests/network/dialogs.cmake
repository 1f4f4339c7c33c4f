list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/InputPortDialogTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FilterDialogTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CopySpeakerDialogTest.cpp
)
