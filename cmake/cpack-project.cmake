# SPDX-License-Identifier: MIT
# Read by cpack before each package it makes. Every time stamp in the packages is
# SOURCE_DATE_EPOCH: the caller's, else the last commit's time, else a fixed date (a tree
# without git), so that the same commit gives the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C ${CPACK_HELLO_SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
  if(failed OR NOT epoch MATCHES "^[0-9]+$")
    set(epoch 1796774400) # 2026-12-09, the first release
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()
# The tarball holds one folder named after it, with bin/ and share/ in it, to run from where it
# is unpacked; the .deb keeps its /usr tree.
if(CPACK_GENERATOR STREQUAL "TGZ")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_PACKAGING_INSTALL_PREFIX "")
endif()
