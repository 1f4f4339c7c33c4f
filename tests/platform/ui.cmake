list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ui/MessageOrderTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/TimerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/DialogTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/ControlTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/MdiTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/CommonDialogTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/HostHooksTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/LocaleTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ui/WindowTest.cpp)
