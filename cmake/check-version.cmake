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
file(GLOB catalogs ${SOURCE}/po/*.po ${SOURCE}/po/*.pot)
foreach(catalog IN LISTS catalogs)
  file(STRINGS ${catalog} id REGEX "^\"Project-Id-Version: ")
  if(NOT id STREQUAL "\"Project-Id-Version: ${PACKAGE} ${VERSION}\\n\"")
    list(APPEND wrong "${catalog}: ${id}")
  endif()
endforeach()
file(GLOB_RECURSE pages ${BINARY}/*.1)
foreach(page IN LISTS pages)
  file(STRINGS ${page} os REGEX "^[.]Os")
  if(NOT os STREQUAL ".Os ${PACKAGE} ${VERSION}")
    list(APPEND wrong "${page}: ${os}")
  endif()
endforeach()
if(wrong)
  list(JOIN wrong "\n  " wrong)
  message(FATAL_ERROR "Not at version ${VERSION}:\n  ${wrong}")
endif()
message(STATUS "${PACKAGE} ${VERSION}: changelog, catalogs and manual pages agree")
