# Native build: the core's unit tests and the fuzz target.
find_package(GTest REQUIRED)
include(GoogleTest)

add_executable(kelto_unit_tests
  tests/unit/link_test.cpp
  tests/unit/request_loop_test.cpp
  tests/unit/choice_commands_test.cpp
  tests/unit/host_discovery_test.cpp
  tests/unit/run_time_error_test.cpp
  tests/unit/file_path_test.cpp
  tests/unit/work_area_test.cpp
)
target_link_libraries(kelto_unit_tests PRIVATE kelto_fakes GTest::gtest_main)
kelto_strict_warnings(kelto_unit_tests)
# A hang fails in a minute, not at the default 25.
gtest_discover_tests(kelto_unit_tests DISCOVERY_TIMEOUT 30 PROPERTIES TIMEOUT 60)

# libFuzzer comes with clang only.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  add_executable(all_text_fuzzer tests/fuzz/all_text_fuzzer.cpp)
  target_link_libraries(all_text_fuzzer PRIVATE kelto_fakes)
  target_compile_options(all_text_fuzzer PRIVATE -fsanitize=fuzzer)
  target_link_options(all_text_fuzzer PRIVATE -fsanitize=fuzzer)
  kelto_strict_warnings(all_text_fuzzer)
  # A short, fixed run; the README says how to run it longer.
  add_test(NAME fuzz.all_text COMMAND all_text_fuzzer -runs=30000 -seed=1 -max_len=4096)
endif()
