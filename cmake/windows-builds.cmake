# Both Windows builds in one tree, each configured by its own preset: the product (x86) and its
# x64 twin, which runs here under Wine. Their tests run as one test each of this tree.
include(ExternalProject)
enable_testing()
set(triplet_x86 i686-w64-mingw32)
set(triplet_x64 x86_64-w64-mingw32)
foreach(arch IN ITEMS x86 x64)
  find_program(mingw_${arch} ${triplet_${arch}}-g++-win32)
  if(NOT mingw_${arch} AND NOT "$ENV{CI}" STREQUAL "true") # CI must have everything
    add_test(NAME windows-${arch} COMMAND ${CMAKE_COMMAND} -E echo "skipped: no ${triplet_${arch}}-g++-win32")
    set_tests_properties(windows-${arch} PROPERTIES SKIP_REGULAR_EXPRESSION "skipped")
    continue()
  endif()
  ExternalProject_Add(windows-${arch}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/${arch}
    CONFIGURE_COMMAND ${CMAKE_COMMAND} -S <SOURCE_DIR> -B <BINARY_DIR> --preset windows-${arch}
      -DCMAKE_COMPILE_WARNING_AS_ERROR=${CMAKE_COMPILE_WARNING_AS_ERROR}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)
  add_test(NAME windows-${arch}
    COMMAND ${CMAKE_CTEST_COMMAND} --test-dir ${CMAKE_BINARY_DIR}/${arch} --output-on-failure)
endforeach()
