# Sources of platform_testing: what tests, benchmarks and fuzz targets drive the layer with
# (headless start, input, scripted dialogs, logs). The program does not link it.
set(QV_PLATFORM_TESTING_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DrawnTexts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileDialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Harness.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Input.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MessageBoxLog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintScript.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TextRoom.cpp)
