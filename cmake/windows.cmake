# Cross build for 32-bit Windows: Kelto.exe, the stand-in wadapi.dll and the
# window tests, which run under Wine.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(kelto_windows_definitions UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                              _WIN32_WINNT=0x0601 WINVER=0x0601)

add_library(kelto_windows STATIC
  link/wadapi_library.cpp
  link/windows_platform.cpp
  window/avatar_list_box.cpp
  window/dpi.cpp
  window/gem.cpp
  window/layout.cpp
  window/main_window.cpp
  window/message_wait.cpp
  window/windows_platform.cpp
  window/window_text.cpp
)
target_compile_definitions(kelto_windows PUBLIC ${kelto_windows_definitions})
target_link_libraries(kelto_windows PUBLIC kelto_core comctl32 oleaut32 gdi32 user32)
kelto_strict_warnings(kelto_windows)

add_executable(Kelto WIN32 main.cpp resources/kelto.rc)
target_include_directories(Kelto PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/resources)
target_link_libraries(Kelto PRIVATE kelto_windows)
# Nothing but the system's own DLLs and wadapi.dll at run time.
target_link_options(Kelto PRIVATE -static -municode)
kelto_strict_warnings(Kelto)

set(kelto_standin_sources standin/wadapi_standin.cpp standin/scenario.cpp
                          standin/scripted_chat.cpp standin/dde_chat.cpp)
add_library(wadapi SHARED ${kelto_standin_sources} standin/wadapi.def)
set_target_properties(wadapi PROPERTIES PREFIX "" OUTPUT_NAME wadapi)
target_compile_definitions(wadapi PRIVATE ${kelto_windows_definitions})
target_include_directories(wadapi PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(wadapi PRIVATE oleaut32 user32)
target_link_options(wadapi PRIVATE -static)
kelto_strict_warnings(wadapi)

# The same stand-in without DapiRegister, for the window test of a missing entry point.
add_library(wadapi_partial SHARED ${kelto_standin_sources} standin/wadapi_partial.def)
set_target_properties(wadapi_partial PROPERTIES PREFIX "" OUTPUT_NAME wadapi
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/partial
                      ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/partial)
target_compile_definitions(wadapi_partial PRIVATE ${kelto_windows_definitions})
target_include_directories(wadapi_partial PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(wadapi_partial PRIVATE oleaut32 user32)
target_link_options(wadapi_partial PRIVATE -static)

# KeltoChat, the chat-client simulator the stand-in talks to over DDE.
add_executable(KeltoChat WIN32 simulator/main.cpp simulator/chat_room.cpp simulator/chat_server.cpp
                               simulator/chat_window.cpp simulator/simulator.rc)
target_include_directories(KeltoChat PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/simulator)
target_link_libraries(KeltoChat PRIVATE kelto_windows)
target_link_options(KeltoChat PRIVATE -static -municode)
kelto_strict_warnings(KeltoChat)

include(cmake/window_tests.cmake)
include(cmake/release.cmake)
