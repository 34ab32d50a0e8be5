# Cross-compiles for Windows with MinGW-w64. KELTO_MINGW_ARCH picks the processor:
# i686, the 32-bit build that ships, since the chat client's library is a 32-bit DLL;
# or x86_64, the same sources for machines whose kernel runs no 32-bit programs, where
# Wine can run only 64-bit Windows programs and the window tests drive that build.
# Tests run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT KELTO_MINGW_ARCH)
  set(KELTO_MINGW_ARCH i686)
endif()
# CMake's own compiler checks read the toolchain file again, in projects of their own.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KELTO_MINGW_ARCH)
if(KELTO_MINGW_ARCH STREQUAL "x86_64")
  set(CMAKE_SYSTEM_PROCESSOR AMD64)
else()
  set(CMAKE_SYSTEM_PROCESSOR x86)
endif()
set(triple ${KELTO_MINGW_ARCH}-w64-mingw32)

# The win32 thread model: Kelto starts no thread, and the posix model's winpthreads
# would import SuspendThread, GetThreadContext, OpenProcess and their kin, which
# antivirus heuristics take for an injector's.
set(CMAKE_C_COMPILER ${triple}-gcc-win32)
set(CMAKE_CXX_COMPILER ${triple}-g++-win32)
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh --tests)
