# The solver: one channel solve of the 8-way template and the FIR build of all 16 outputs.
add_executable(solver_bench ${CMAKE_CURRENT_LIST_DIR}/solver/SolverBench.cpp)
target_link_libraries(solver_bench PRIVATE solver benchmark::benchmark)
