# Sources of platform/gdi.
list(APPEND QV_PLATFORM_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Globals.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Objects.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Raster.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Primitives.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SurfaceDC.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowImage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Print.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Clipboard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Help.cpp)
