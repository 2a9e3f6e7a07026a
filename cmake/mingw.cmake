# SPDX-License-Identifier: MIT
# Cross-building for Windows with MinGW-w64, included by windows-x86.cmake and windows-x64.cmake.
# The win32 thread model, not posix: the program starts no thread, and with it the shared C++
# runtime needs no libwinpthread-1.dll to ship.
set(CMAKE_SYSTEM_NAME Windows)
find_program(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-win32)
find_program(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)
find_program(CMAKE_OBJDUMP ${MINGW_TRIPLET}-objdump)
find_program(CMAKE_STRIP ${MINGW_TRIPLET}-strip)
if(NOT CMAKE_CXX_COMPILER OR NOT CMAKE_RC_COMPILER)
  message(FATAL_ERROR "MinGW-w64 for ${MINGW_TRIPLET} not found (Debian: g++-mingw-w64-${MINGW_PACKAGE})")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
