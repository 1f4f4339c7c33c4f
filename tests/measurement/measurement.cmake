list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/StartValuesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CalibrationSectionsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CaptureFileTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GatedSpectrumTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GatingWindowsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MlsCurveRepairsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MlsDeconvolutionTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MlsEndToEndTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MlsRunTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MlsProcessTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MlsSequencesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MlsSplTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RoomEqLocationTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RoomEqDialogTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RoomEqMinimumPhaseTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RoomEqTest.cpp)
