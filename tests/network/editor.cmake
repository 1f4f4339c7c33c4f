list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/TopologyTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EditorFlowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PaneDrawingTest.cpp
)
