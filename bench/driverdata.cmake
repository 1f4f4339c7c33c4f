# The diffraction calculator: one full Plot sweep (2000 frequencies) of the default baffle.
add_executable(diffraction_bench ${CMAKE_CURRENT_LIST_DIR}/driverdata/DiffractionBench.cpp)
target_link_libraries(diffraction_bench PRIVATE driverdata benchmark::benchmark)
list(APPEND QV_BENCH_SOURCES ${CMAKE_CURRENT_LIST_DIR}/driverdata/DiffractionBench.cpp)
