list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/CalibrationSectionsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CaptureFileTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GatingWindowsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MlsDeconvolutionTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MlsEndToEndTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MlsRunTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MlsSequencesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MlsSplTest.cpp)
