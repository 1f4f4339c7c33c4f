list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/StartValuesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FilterSectionsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FirKernelsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GainPhaseIntegralTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MinimumPhaseTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NetworkCheckTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NodalSolutionTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PlotControlDialogTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PortResponsesTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SplPlotTest.cpp
)
