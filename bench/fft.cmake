# ComplexFft side by side with FFTW (used by the benchmarks only), forward and inverse.
add_executable(fft_bench ${CMAKE_CURRENT_LIST_DIR}/FftBench.cpp)
target_link_libraries(fft_bench PRIVATE shell PkgConfig::FFTW3F)
