# ComplexFft side by side with FFTW's single-precision complex transform.
add_executable(fft_bench ${CMAKE_CURRENT_LIST_DIR}/FftBench.cpp)
target_link_libraries(fft_bench PRIVATE shell benchmark::benchmark PkgConfig::FFTW3F)
list(APPEND QV_BENCH_SOURCES ${CMAKE_CURRENT_LIST_DIR}/FftBench.cpp)
