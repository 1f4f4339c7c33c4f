# The MLS measurement: the deconvolution of one order-18 capture and Calculate SPL.
add_executable(measurement_bench ${CMAKE_CURRENT_LIST_DIR}/measurement/MlsBench.cpp)
target_link_libraries(measurement_bench PRIVATE measurement benchmark::benchmark)
