list(APPEND QV_TEST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/OutputPortCorrectionDialogTest.cpp)
# The output-port dialog, and the round trips of every element dialog's fields.
list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/OutputPortDialogTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ElementDialogRoundTripTest.cpp)
