# SPDX-License-Identifier: MIT
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(CROSS_TRIPLET arm-linux-gnueabihf)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
