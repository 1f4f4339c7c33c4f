list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ComplexFftTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileIoTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrequencyGridTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NumberTextTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PreferencesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProjectFileTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RecordDefaultsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StartValuesTest.cpp)
