# SPDX-License-Identifier: MIT
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MINGW_TRIPLET i686-w64-mingw32)
set(MINGW_PACKAGE i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
