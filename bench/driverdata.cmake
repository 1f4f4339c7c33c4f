# Import of a 20 MB measurement text through the converters' engine (parsed once).
add_executable(import_bench ${CMAKE_CURRENT_LIST_DIR}/driverdata/ImportBench.cpp)
target_link_libraries(import_bench PRIVATE driverdata benchmark::benchmark)
list(APPEND QV_BENCH_SOURCES ${CMAKE_CURRENT_LIST_DIR}/driverdata/ImportBench.cpp)
