# SPDX-License-Identifier: MIT
# pause against musl (Debian: musl-dev musl-tools), linked statically: g++ run with the flags that
# Debian's musl-gcc hands gcc, which put musl's headers and start files in place of glibc's. pause
# links nothing of the C++ library, but its headers come along, all but their glibc-only
# configuration (os_defines.h, c++locale.h), for which cmake/musl/ stands in. hello needs the C++
# library itself, which Debian does not build for musl: the musl preset leaves it out.
execute_process(COMMAND g++ -print-multiarch OUTPUT_VARIABLE multiarch OUTPUT_STRIP_TRAILING_WHITESPACE)
string(REPLACE "-gnu" "-musl" musl ${multiarch})
set(wrapper /usr/bin/${musl}-gcc)
if(EXISTS ${wrapper})
  file(STRINGS ${wrapper} line REGEX "^exec ")
endif()
if(NOT line MATCHES "\"\\$@\" (.+)$") # exec gcc "$@" <musl's flags>
  message(FATAL_ERROR "No musl-gcc at ${wrapper} to take musl's flags from (Debian: musl-dev musl-tools)")
endif()
string(REPLACE "\"" "" musl_flags "${CMAKE_MATCH_1}")
execute_process(COMMAND g++ -dumpversion OUTPUT_VARIABLE version OUTPUT_STRIP_TRAILING_WHITESPACE)
find_program(CMAKE_CXX_COMPILER g++)
set(HELLO_MUSL ON) # the tests mark what cannot hold on musl
set(CMAKE_CXX_FLAGS_INIT "${musl_flags} -isystem ${CMAKE_CURRENT_LIST_DIR}/musl \
-isystem /usr/include/c++/${version} -isystem /usr/include/${multiarch}/c++/${version}")
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_FIND_ROOT_PATH /usr/lib/${musl} /usr/include/${musl})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
