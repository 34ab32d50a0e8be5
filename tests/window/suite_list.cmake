# A CTest entry of the window tests: fails when a suite in their sources has no entry of
# its own in the list window_tests.cmake runs, since such a suite would never run.
#   cmake -DSOURCES=<folder> -DLISTED=<suite;suite;...> -P suite_list.cmake
cmake_minimum_required(VERSION 3.21)
file(GLOB sources ${SOURCES}/*.cpp)
set(missing)
foreach(source ${sources})
  file(STRINGS ${source} lines REGEX "^TEST(_F)?\\([A-Za-z0-9_]+,")
  foreach(line ${lines})
    string(REGEX REPLACE "^TEST(_F)?\\(([A-Za-z0-9_]+),.*" "\\2" suite "${line}")
    if(NOT suite IN_LIST LISTED AND NOT suite IN_LIST missing)
      list(APPEND missing ${suite})
    endif()
  endforeach()
endforeach()
if(missing)
  message(FATAL_ERROR "window suites with no CTest entry, so they never run: ${missing}")
endif()
message(STATUS "every window suite has its CTest entry")
