list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PreferencesWindowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProfilesDialogTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintoutTest.cpp)
