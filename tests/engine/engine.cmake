list(APPEND QV_TEST_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ConvolutionTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TestToneTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PlayerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyHookTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MetersTest.cpp
)

# The engine's thread hand-offs are checked under ThreadSanitizer: configure a build with
# -DQV_SANITIZE=thread and run engine_tests there with
#   TSAN_OPTIONS=suppressions=<source>/tests/engine/tsan.supp
# (the file silences Qt's and GLib's own uninstrumented threads only). In other builds this test
# only reports itself as skipped, so the omission shows in every run.
if(NOT QV_SANITIZE MATCHES "thread")
    add_test(NAME EngineThreadSanitizerRun COMMAND ${CMAKE_COMMAND} -E false)
    set_tests_properties(EngineThreadSanitizerRun PROPERTIES
        SKIP_RETURN_CODE 1 LABELS audio
        ENVIRONMENT "QV_NOTE=configure with -DQV_SANITIZE=thread to run the engine tests under TSan")
endif()
