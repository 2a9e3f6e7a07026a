# SPDX-License-Identifier: MIT
# install_gzipped(file destination [CONFIGURE]): installs file gzipped as Debian wants it (-9, no
# name or time stamp inside, so the same file gives the same bytes). CONFIGURE first replaces
# @VARIABLE@ in it, as manual pages name the package and version.
find_program(GZIP gzip REQUIRED)
function(install_gzipped file destination)
  get_filename_component(name ${file} NAME)
  set(source ${CMAKE_CURRENT_SOURCE_DIR}/${file})
  if(ARGV2 STREQUAL "CONFIGURE")
    configure_file(${file} ${name} @ONLY)
    set(source ${CMAKE_CURRENT_BINARY_DIR}/${name})
  endif()
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
  add_custom_command(OUTPUT ${gz} COMMAND ${GZIP} -9n < ${source} > ${gz} DEPENDS ${source})
  # A target named as its file would depend on itself in make.
  add_custom_target(gzip-${name} ALL DEPENDS ${gz})
  install(FILES ${gz} DESTINATION ${destination})
endfunction()
