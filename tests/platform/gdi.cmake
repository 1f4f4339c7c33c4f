list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/gdi/DrawingTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gdi/ShapesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gdi/TextTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gdi/OutputTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gdi/WindowPaintTest.cpp)
