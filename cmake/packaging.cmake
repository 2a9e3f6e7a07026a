# SPDX-License-Identifier: MIT
# Packages: a .deb, an .rpm and a .tar.gz on Linux, a ZIP on Windows. Each lands in
# dist/ at the top of the source tree with its .sha256, the same bytes from the same commit
# (cmake/cpack-project.cmake and cmake/dist.cmake see to that).
set(CPACK_PACKAGE_NAME ${HELLO_PACKAGE})
set(CPACK_PACKAGE_VENDOR ${HELLO_AUTHORS})
set(CPACK_PACKAGE_CONTACT "${HELLO_AUTHORS} <hello@packages.invalid>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack-project.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/dist.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/dist.cmake)
set(CPACK_HELLO_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_HELLO_DIST_DIR ${PROJECT_SOURCE_DIR}/dist)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  math(EXPR bits "${CMAKE_SIZEOF_VOID_P} * 8")
  set(CPACK_PACKAGE_FILE_NAME ${HELLO_PACKAGE}-${PROJECT_VERSION}-win${bits})
  set(HELLO_ZIP ${CPACK_HELLO_DIST_DIR}/${CPACK_PACKAGE_FILE_NAME}.zip) # include(CPack) resets the name
  # Beside hello.exe, texts as Windows users read them (CRLF): how to run and check it, and the
  # licence. The runtime DLLs' licences come with the DLLs (hello/install-runtime.cmake).
  configure_file(pkg/README.txt README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
    DESTINATION ${CMAKE_INSTALL_BINDIR})
  include(CPack)
  return()
endif()

# The licence in Debian's machine-readable form, and the Debian changelog, both beside the
# programs in /usr/share/doc/<package>.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(REGEX REPLACE "^MIT License\n\nCopyright[^\n]*\n\n" "" licence "${licence}") # title, holder
string(STRIP "${licence}" licence)
string(REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " licence " ${licence}")
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ${PROJECT_NAME}
Upstream-Contact: ${CPACK_PACKAGE_CONTACT}

Files: *
Copyright: ${HELLO_COPYRIGHT}
License: MIT
${licence}
")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
install_gzipped(pkg/changelog ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB RPM TGZ)
# The packages are named for the processor the programs are built for, not the build machine's.
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${HELLO_TARGET_DEB})
set(CPACK_RPM_PACKAGE_ARCHITECTURE ${HELLO_TARGET_RPM})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_FILE_NAME ${HELLO_PACKAGE}-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The tarball's top folder has a short README and the licence beside bin/ and share/.
configure_file(pkg/README README @ONLY)
set(CPACK_HELLO_TARBALL_FILES ${CMAKE_CURRENT_BINARY_DIR}/README ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Where another package owns /usr/bin/hello, dpkg and rpm refuse to install this one rather than
# overwrite it (CI shows both do); no Conflicts field names any.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "greeting that waits for a key")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [[
hello writes the line 'Hello world!' and has the command processor run
pause, which prompts and waits for one key on the terminal, then leaves
the terminal exactly as it found it.

pause is installed beside hello, as POSIX shells have none of their own.]])
include(cmake/rpm.cmake)
include(CPack)
