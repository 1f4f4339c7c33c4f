list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/StartValuesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ColumnParserTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ConverterDialogTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DriverFilesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ExportFilesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HbtInputTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HilbertBodeTest.cpp)
