# The engine's block on one thread side by side with zita-convolver, tuned and at its defaults
# (zita-convolver and FFTW are used by the benchmarks only).
find_path(QV_ZITA_CONVOLVER_INCLUDE zita-convolver.h)
find_library(QV_ZITA_CONVOLVER_LIBRARY zita-convolver)
if(QV_ZITA_CONVOLVER_INCLUDE AND QV_ZITA_CONVOLVER_LIBRARY)
    add_executable(engine_bench ${CMAKE_CURRENT_LIST_DIR}/engine/ConvolutionBench.cpp)
    target_include_directories(engine_bench PRIVATE ${QV_ZITA_CONVOLVER_INCLUDE})
    target_link_libraries(engine_bench PRIVATE engine
        ${QV_ZITA_CONVOLVER_LIBRARY} PkgConfig::FFTW3F Threads::Threads)
else()
    message(STATUS "zita-convolver not found: engine_bench is not built")
endif()
# The engine's four workers against its own single thread: wall and CPU time per block.
add_executable(engine_workers_bench ${CMAKE_CURRENT_LIST_DIR}/engine/WorkersBench.cpp)
target_link_libraries(engine_workers_bench PRIVATE engine)

# A paced play on the virtual card with the UI thread painting: late blocks and worst block time.
add_executable(engine_paced_bench ${CMAKE_CURRENT_LIST_DIR}/engine/PacedPlayBench.cpp)
target_link_libraries(engine_paced_bench PRIVATE engine resources platform_testing)
# The WAV file check's chunk search on large sparse files of zeros and on many small chunks.
add_executable(wav_check_bench ${CMAKE_CURRENT_LIST_DIR}/engine/WavCheckBench.cpp)
target_link_libraries(wav_check_bench PRIVATE platform benchmark::benchmark)
