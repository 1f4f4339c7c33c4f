list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/StartValuesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProjectRoundTripTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TemplatesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WorkingNetworkTest.cpp)
