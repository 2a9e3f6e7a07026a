# SPDX-License-Identifier: MIT
# The .rpm, for Fedora, RHEL, openSUSE and their relatives, included by packaging.cmake. rpm
# derives the dependencies itself; what would make two builds differ (build host, build time,
# file times, build-id links) is fixed.
set(CPACK_RPM_FILE_NAME RPM-DEFAULT) # <name>-<version>-<release>.<arch>.rpm
set(CPACK_RPM_PACKAGE_RELEASE 1)
set(CPACK_RPM_PACKAGE_LICENSE MIT)
set(CPACK_RPM_PACKAGE_SUMMARY "Greeting that waits for a key")
set(CPACK_RPM_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
# The file CPack writes for rpmbuild always has a Group and a Vendor line: these values say nothing.
set(CPACK_RPM_PACKAGE_GROUP Unspecified)
set(CPACK_RPM_PACKAGE_VENDOR "${HELLO_AUTHORS}")
# Relocatable (Prefix: /usr): the programs find each other and the catalogs from where they are,
# so `rpm -i --relocate /usr=/opt/hello` works, and CI tries it.
set(CPACK_RPM_PACKAGE_RELOCATABLE ON)
set(CPACK_RPM_SPEC_MORE_DEFINE "\
%define _buildhost reproducible
%define clamp_mtime_to_source_date_epoch 1
%define use_source_date_epoch_as_buildtime 1
%define _build_id_links none
%define __brp_compress true")
# The catalogs are marked with their language, so that rpm can leave out those not wanted; the
# system's folders for manual pages and catalogs are not the package's to own.
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION /usr/share/man /usr/share/man/man1 /usr/share/locale
  /usr/share/licenses)
list(APPEND CPACK_RPM_USER_FILELIST "%license /usr/share/licenses/${HELLO_PACKAGE}/LICENSE")
foreach(language IN LISTS HELLO_LANGUAGES)
  set(folder /usr/share/locale/${language}/LC_MESSAGES)
  list(APPEND CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION /usr/share/locale/${language} ${folder})
  list(APPEND CPACK_RPM_USER_FILELIST "%lang(${language}) ${folder}/${HELLO_PACKAGE}.mo")
endforeach()

# The changelog is the Debian one, rewritten in rpm's form, newest first as there:
# "* Wed Dec 09 2026 Name <address> - 1.0.0-1", then the entry's lines.
file(STRINGS ${PROJECT_SOURCE_DIR}/pkg/changelog lines)
set(changelog "")
set(entry "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[^ ].* [(]([^)]+)[)]")
    set(version ${CMAKE_MATCH_1})
  elseif(line MATCHES "^ -- (.+)  ([A-Z][a-z][a-z]), ([0-9]+) ([A-Z][a-z][a-z]) ([0-9]+) ")
    string(LENGTH "0${CMAKE_MATCH_3}" n) # the day in two digits
    math(EXPR from "${n} - 2")
    string(SUBSTRING "0${CMAKE_MATCH_3}" ${from} 2 day)
    string(APPEND changelog "* ${CMAKE_MATCH_2} ${CMAKE_MATCH_4} ${day} ${CMAKE_MATCH_5} "
      "${CMAKE_MATCH_1} - ${version}-${CPACK_RPM_PACKAGE_RELEASE}\n${entry}\n")
    set(entry "")
  elseif(line MATCHES "^  [*] (.*)")
    string(APPEND entry "- ${CMAKE_MATCH_1}\n")
  elseif(line MATCHES "^    (.*)")
    string(APPEND entry "  ${CMAKE_MATCH_1}\n")
  endif()
endforeach()
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/rpm-changelog "${changelog}")
set(CPACK_RPM_CHANGELOG_FILE ${CMAKE_CURRENT_BINARY_DIR}/rpm-changelog)
