# SPDX-License-Identifier: MIT
# install_gzipped(file destination): installs file gzipped as Debian wants it (-9, no name or
# time stamp inside, so the same file gives the same bytes).
find_program(GZIP gzip REQUIRED)
function(install_gzipped file destination)
  get_filename_component(name ${file} NAME)
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${GZIP} -9n < ${CMAKE_CURRENT_SOURCE_DIR}/${file} > ${gz}
    DEPENDS ${file})
  # A target named as its file would depend on itself in make.
  add_custom_target(gzip-${name} ALL DEPENDS ${gz})
  install(FILES ${gz} DESTINATION ${destination})
endfunction()
