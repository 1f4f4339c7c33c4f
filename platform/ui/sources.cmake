# Sources of platform/ui.
list(APPEND QV_PLATFORM_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/App.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ControlProc.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Controls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HostHooks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Mdi.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Menu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MessageBox.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MessageLoop.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MessageQueue.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Metrics.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Paint.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ResourceRegistry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Timer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Widgets.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowOps.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Windows.cpp)
