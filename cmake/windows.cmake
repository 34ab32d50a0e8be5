# Cross build for 32-bit Windows: Kelto.exe, the stand-in wadapi.dll, the chat-client
# simulator and the window tests, which run under Wine.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(kelto_windows_definitions UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                              _WIN32_WINNT=0x0601 WINVER=0x0601)
add_compile_definitions(${kelto_windows_definitions})
# Every build of a commit alike, wherever and whenever it is made: no build time in
# the PE header, no build folder in the code.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.)
add_link_options(-Wl,--no-insert-timestamp)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # 32-bit Windows promises a callee only a 4-byte-aligned stack, and so do the
  # libraries that call in (wadapi.dll, the system's window and COM code). GCC would
  # take 16 for granted and place aligned data wrongly. So each function that needs
  # more than 4 makes it itself, and no other keeps 16 for its callees' sake, which
  # would only cost every caller a realignment.
  add_compile_options(-mpreferred-stack-boundary=2 -mincoming-stack-boundary=2)
endif()
# The version every program and library of the project carries, from project().
configure_file(resources/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)
include_directories(${CMAKE_BINARY_DIR}/generated ${CMAKE_CURRENT_SOURCE_DIR}/resources)

# Kelto's Windows side: every _win source, and the window.
file(GLOB kelto_windows_sources CONFIGURE_DEPENDS link/*_win.cpp window/*_win.cpp)
add_library(kelto_windows STATIC ${kelto_windows_sources} window/main_window.cpp)
# The window's plumbing is built for size; the chat text's path (widening, the cut,
# the scan) stays built for speed.
target_compile_options(kelto_windows PRIVATE -Os)
set_source_files_properties(link/ansi_code_page_win.cpp PROPERTIES COMPILE_OPTIONS -O3)
set_source_files_properties(link/gem.cpp link/mod_dapi.cpp link/run_time_error.cpp
                            window/choice_commands.cpp window/click_order.cpp
                            window/std_random.cpp PROPERTIES COMPILE_OPTIONS -Os)
target_link_libraries(kelto_windows PUBLIC kelto_core comctl32 ole32 oleaut32 gdi32 user32)
kelto_strict_warnings(kelto_windows)

add_executable(Kelto WIN32 main.cpp resources/kelto.rc)
target_compile_options(Kelto PRIVATE -Os)
target_include_directories(Kelto PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/resources)
target_link_libraries(Kelto PRIVATE kelto_windows)
# Nothing but the system's own DLLs and wadapi.dll at run time; stripped, unused
# sections dropped; the whole 4 GB address space for a large chat text.
target_link_options(Kelto PRIVATE -static -municode -s -Wl,--gc-sections)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  target_link_options(Kelto PRIVATE -Wl,--large-address-aware)
endif()
kelto_strict_warnings(Kelto)

# The stand-in wadapi.dll, and the same without DapiRegister for the window test of a
# missing entry point.
set(kelto_standin_sources standin/wadapi_standin.cpp standin/scenario.cpp
                          standin/scripted_chat.cpp standin/dde_chat.cpp
                          standin/misaligned_call.cpp standin/standin.rc)
foreach(variant wadapi wadapi_partial)
  set(exports standin/${variant}.def)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    # 64-bit Windows has one calling convention and no decorated names to map from.
    # Written only when it changes, so that a configure does not relink the library.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${exports})
    file(READ ${exports} exported)
    string(REGEX REPLACE " = [A-Za-z]+@[0-9]+" "" exported "${exported}")
    set(exports ${CMAKE_BINARY_DIR}/generated/${variant}.def)
    file(WRITE ${exports}.new "${exported}")
    configure_file(${exports}.new ${exports} COPYONLY)
  endif()
  add_library(${variant} SHARED ${kelto_standin_sources} ${exports})
  set_target_properties(${variant} PROPERTIES PREFIX "" OUTPUT_NAME wadapi)
  target_include_directories(${variant} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${variant} PRIVATE oleaut32 user32)
  target_link_options(${variant} PRIVATE -static)
  kelto_strict_warnings(${variant})
endforeach()
set_target_properties(wadapi_partial PROPERTIES
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/partial
                      ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/partial)

# KeltoChat, the chat-client simulator the stand-in talks to over DDE.
add_executable(KeltoChat WIN32 simulator/main.cpp simulator/chat_room.cpp
                               simulator/chat_server.cpp simulator/chat_window.cpp
                               link/ansi_code_page_win.cpp window/window_text_win.cpp
                               simulator/simulator.rc)
target_include_directories(KeltoChat PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}
                                             ${CMAKE_CURRENT_SOURCE_DIR}/simulator)
target_link_libraries(KeltoChat PRIVATE comctl32 user32)
target_link_options(KeltoChat PRIVATE -static -municode)
kelto_strict_warnings(KeltoChat)

# The benchmark too runs under Wine, as the 32-bit program it measures.
set_target_properties(find_host_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
target_link_options(find_host_bench PRIVATE -static)
# Kelto's start-up and "Get Host" under Wine, timed against a bare window built the
# same way and against the system's own widening.
add_executable(bare_window WIN32 bench/bare_window_win.cpp bench/bare_window.rc)
target_compile_options(bare_window PRIVATE -Os)
target_link_options(bare_window PRIVATE -static -municode -s -Wl,--gc-sections)
kelto_strict_warnings(bare_window)
add_executable(window_timing bench/window_timing_win.cpp link/module_file_win.cpp
                             link/file_path.cpp)
target_include_directories(window_timing PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_options(window_timing PRIVATE -static -municode)
kelto_strict_warnings(window_timing)
add_dependencies(window_timing Kelto bare_window wadapi)

include(cmake/window_tests.cmake)
include(cmake/release.cmake)
