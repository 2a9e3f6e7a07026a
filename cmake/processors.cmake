# SPDX-License-Identifier: MIT
# processor_row(processor prefix): sets <prefix>_DEB, _RPM, _QEMU, _TRIPLET and _HARDENING from
# the row of processors.txt that names the CMake processor given; none where no row does.
function(processor_row processor prefix)
  file(STRINGS ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/processors.txt rows REGEX "^${processor} ")
  if(NOT rows)
    return()
  endif()
  string(REGEX MATCHALL "[^ ]+" fields "${rows}")
  set(i 1)
  foreach(column IN ITEMS DEB RPM QEMU TRIPLET HARDENING)
    list(GET fields ${i} value)
    if(value STREQUAL "-")
      set(value "")
    endif()
    set(${prefix}_${column} ${value} PARENT_SCOPE)
    math(EXPR i "${i} + 1")
  endforeach()
endfunction()
