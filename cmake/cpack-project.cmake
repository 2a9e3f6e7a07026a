# SPDX-License-Identifier: MIT
# Read by cpack before each package it makes. Every time stamp in the packages is
# SOURCE_DATE_EPOCH: the caller's, else the last commit's time, from git or, in a tree unpacked
# from the source tarball, from pkg/source-date (which git archive fills in), else a fixed date,
# so that the same commit gives the same bytes, from a checkout or from its source tarball.
execute_process(COMMAND git -C ${CPACK_HELLO_SOURCE_DIR} rev-parse --show-toplevel
  OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE no_git ERROR_QUIET)
set(CPACK_HELLO_CHECKOUT FALSE) # a git checkout of its own, as dist.cmake asks too
if(NOT no_git AND top STREQUAL CPACK_HELLO_SOURCE_DIR)
  set(CPACK_HELLO_CHECKOUT TRUE)
  # Packages built from changes that are not committed would not be those of the commit, nor
  # match its source tarball.
  execute_process(COMMAND git -C ${CPACK_HELLO_SOURCE_DIR} status --porcelain
    OUTPUT_VARIABLE changes COMMAND_ERROR_IS_FATAL ANY)
  if(changes AND NOT "$ENV{HELLO_ALLOW_DIRTY}" STREQUAL "1")
    message(FATAL_ERROR "The tree differs from its commit (git status):\n${changes}"
      "Packages made from it would not be the commit's. Commit the changes first, or, for a "
      "local try whose packages are no release, set HELLO_ALLOW_DIRTY=1.")
  endif()
endif()
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "")
  if(CPACK_HELLO_CHECKOUT)
    execute_process(COMMAND git -C ${CPACK_HELLO_SOURCE_DIR} log -1 --format=%ct
      OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE)
  elseif(EXISTS ${CPACK_HELLO_SOURCE_DIR}/pkg/source-date)
    file(STRINGS ${CPACK_HELLO_SOURCE_DIR}/pkg/source-date epoch LIMIT_COUNT 1)
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
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
