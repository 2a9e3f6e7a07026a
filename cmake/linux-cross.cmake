# SPDX-License-Identifier: MIT
# Cross-building for Linux on another processor with Debian's cross compilers, included by
# linux-arm64.cmake and linux-armhf.cmake. Libraries and headers come from the target's tree;
# programs (msgfmt, gzip, pytest) are the build machine's.
set(CMAKE_SYSTEM_NAME Linux)
include(${CMAKE_CURRENT_LIST_DIR}/processors.cmake)
processor_row(${CMAKE_SYSTEM_PROCESSOR} target)
set(CROSS_TRIPLET ${target_TRIPLET})
find_program(CMAKE_CXX_COMPILER ${CROSS_TRIPLET}-g++)
if(NOT CMAKE_CXX_COMPILER)
  message(FATAL_ERROR "No compiler for ${CROSS_TRIPLET} (Debian: g++-${CROSS_TRIPLET})")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${CROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
