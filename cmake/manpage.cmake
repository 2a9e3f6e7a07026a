# SPDX-License-Identifier: MIT
# install_manpage(page): installs a manual page of section 1, gzipped as Debian wants it (-9, no
# name or time stamp inside, so the same page gives the same bytes).
find_program(GZIP gzip REQUIRED)
function(install_manpage page)
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/${page}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${GZIP} -9n < ${CMAKE_CURRENT_SOURCE_DIR}/${page} > ${gz}
    DEPENDS ${page})
  add_custom_target(${page}.gz ALL DEPENDS ${gz})
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
