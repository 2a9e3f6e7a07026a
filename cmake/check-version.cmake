# SPDX-License-Identifier: MIT
# cmake -DPACKAGE=name -DVERSION=x.y.z -DSOURCE=dir -DBINARY=dir -P check-version.cmake
# The version is declared once, in project(). What cannot take it from there at build time
# (the changelog's latest entry, the catalogs' headers) must agree with it, and so must the
# manual pages as built. Fails naming each file that does not.
set(wrong "")
file(STRINGS ${SOURCE}/pkg/changelog latest LIMIT_COUNT 1)
if(NOT latest MATCHES "^${PACKAGE} \\(${VERSION}(-[0-9]+)?\\) ")
  list(APPEND wrong "pkg/changelog: ${latest}")
endif()
# The line of each file that matches pattern must be the one expected.
function(expect files pattern expected)
  foreach(file IN LISTS files)
    file(STRINGS ${file} line REGEX "${pattern}")
    if(NOT line STREQUAL expected)
      list(APPEND wrong "${file}: ${line}")
    endif()
  endforeach()
  set(wrong "${wrong}" PARENT_SCOPE)
endfunction()
file(GLOB catalogs ${SOURCE}/po/*.po ${SOURCE}/po/*.pot)
expect("${catalogs}" "^\"Project-Id-Version: " "\"Project-Id-Version: ${PACKAGE} ${VERSION}\\n\"")
file(GLOB_RECURSE pages ${BINARY}/*.1)
expect("${pages}" "^[.]Os" ".Os ${PACKAGE} ${VERSION}")
if(wrong)
  list(JOIN wrong "\n  " wrong)
  message(FATAL_ERROR "Not at version ${VERSION}:\n  ${wrong}")
endif()
message(STATUS "${PACKAGE} ${VERSION}: changelog, catalogs and manual pages agree")
