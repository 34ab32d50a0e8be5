# The window tests: a Windows GoogleTest program, run under Wine, that starts the
# real Kelto.exe with the stand-in library and drives it as a user would.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# The win32 thread model has no std::mutex before GCC 13, which GoogleTest's
# Notification takes; it gets one on a Win32 event instead.
target_compile_options(gtest PUBLIC -include ${CMAKE_SOURCE_DIR}/tests/window/gtest_notification.h)

add_executable(window_tests
  tests/window/kelto_session.cpp
  tests/window/platform_test.cpp
  tests/window/start_up_test.cpp
  tests/window/choice_test.cpp
  tests/window/get_host_test.cpp
  tests/window/accessibility_test.cpp
  tests/window/stack_alignment_test.cpp
  tests/window/window_picture.cpp
  tests/window/window_tests.rc
)
target_link_libraries(window_tests PRIVATE kelto_windows gtest_main oleacc version windowscodecs)
target_link_options(window_tests PRIVATE -static)
kelto_strict_warnings(window_tests)

# Odd libraries to stand beside Kelto as its wadapi.dll (see the source): each in a
# folder of its own, and kelto_absent.dll, which one of them needs, outside every folder
# the loader searches.
foreach(variant absent needy quiet)
  add_library(odd_${variant} SHARED tests/window/odd_libraries.cpp)
  string(TOUPPER ${variant} define)
  target_compile_definitions(odd_${variant} PRIVATE KELTO_${define})
  set_target_properties(odd_${variant} PROPERTIES PREFIX "" OUTPUT_NAME wadapi
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/${variant}
                        ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/odd/${variant})
  # Plain export names, as the real library's.
  target_link_options(odd_${variant} PRIVATE -static -Wl,--kill-at)
  kelto_strict_warnings(odd_${variant})
endforeach()
set_target_properties(odd_absent PROPERTIES OUTPUT_NAME kelto_absent
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/odd/absent)
target_link_libraries(odd_needy PRIVATE odd_absent)
add_dependencies(window_tests Kelto KeltoChat wadapi wadapi_partial odd_needy odd_quiet)

# One CTest entry a suite; they share one display and one cursor, so they run one at a time.
set(window_suites Platform InProcessWindow StartUp MissingLibrary Choices GetHost
                  Dpi Accessibility AccessibleIdentity StackAlignment)
foreach(suite ${window_suites})
  add_test(NAME window.${suite} COMMAND window_tests --gtest_filter=${suite}.*
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  set_tests_properties(window.${suite} PROPERTIES RUN_SERIAL TRUE TIMEOUT 600)
endforeach()
# The Dpi suite runs again in Wine prefixes whose displays have 120 and 144 dots per inch.
foreach(dpi 120 144)
  add_test(NAME window.Dpi${dpi} COMMAND window_tests --gtest_filter=Dpi.*
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  set_tests_properties(window.Dpi${dpi} PROPERTIES RUN_SERIAL TRUE TIMEOUT 600
                                                   ENVIRONMENT KELTO_TEST_DPI=${dpi})
endforeach()
# A suite written but left out of the list above fails the run.
add_test(NAME window.SuiteList
         COMMAND ${CMAKE_COMMAND} -DSOURCES=${CMAKE_SOURCE_DIR}/tests/window
                 "-DLISTED=${window_suites}" -P ${CMAKE_SOURCE_DIR}/tests/window/suite_list.cmake)
