# The diffraction calculator: one full Plot sweep (2000 frequencies) of the default baffle.
add_executable(diffraction_bench ${CMAKE_CURRENT_LIST_DIR}/driverdata/DiffractionBench.cpp)
target_link_libraries(diffraction_bench PRIVATE driverdata benchmark::benchmark)
# Import of a 20 MB measurement text through the converters' engine (parsed once).
add_executable(import_bench ${CMAKE_CURRENT_LIST_DIR}/driverdata/ImportBench.cpp)
target_link_libraries(import_bench PRIVATE driverdata benchmark::benchmark)
# The HBT editor's Hilbert-Bode calculation and the shared gain-to-phase integral (2700 x 2699).
add_executable(hilbert_bode_bench ${CMAKE_CURRENT_LIST_DIR}/driverdata/HilbertBodeBench.cpp)
target_link_libraries(hilbert_bode_bench PRIVATE driverdata benchmark::benchmark)
