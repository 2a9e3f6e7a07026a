# SPDX-License-Identifier: MIT
set(CMAKE_SYSTEM_PROCESSOR armv7l)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
