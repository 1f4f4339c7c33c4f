list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/BaffleEdgesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EdgeDiffractionTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DiffractionCalculatorTest.cpp)
