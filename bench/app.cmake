# A default diffraction Plot in the program started headless, next to its computation alone.
add_executable(diffraction_program_bench ${CMAKE_CURRENT_LIST_DIR}/app/DiffractionPlotBench.cpp)
target_link_libraries(diffraction_program_bench
    PRIVATE frame platform_testing benchmark::benchmark)
