# Sources of platform/gdi.
list(APPEND QV_PLATFORM_SOURCES ${CMAKE_CURRENT_LIST_DIR}/SurfaceDC.cpp)
