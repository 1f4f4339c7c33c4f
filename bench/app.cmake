# A default diffraction Plot in the program started headless, next to its computation alone.
add_executable(diffraction_program_bench ${CMAKE_CURRENT_LIST_DIR}/app/DiffractionPlotBench.cpp)
target_link_libraries(diffraction_program_bench
    PRIVATE frame platform_testing benchmark::benchmark)
# A long session of tool windows: a message, a control lookup and a round of windows early in the
# session and after many rounds.
add_executable(long_session_bench ${CMAKE_CURRENT_LIST_DIR}/app/LongSessionBench.cpp)
target_link_libraries(long_session_bench
    PRIVATE frame platform_testing benchmark::benchmark)
