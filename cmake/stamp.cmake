# SPDX-License-Identifier: MIT
# Run by cpack between the install and the packaging: every file and folder to be packaged gets
# the same modes whatever the umask, and SOURCE_DATE_EPOCH as its time, so that rpm, which packs
# the tree as it finds it, gives the same bytes everywhere.
# The .rpm carries the licence where rpm keeps licences (marked %license in cmake/rpm.cmake, so
# that an install without documentation still has it), not Debian's copyright file, and no
# Debian changelog: its own %changelog holds that.
foreach(tree IN LISTS CPACK_TEMPORARY_INSTALL_DIRECTORY)
  if(CPACK_GENERATOR STREQUAL "RPM")
    set(doc ${tree}${CPACK_PACKAGING_INSTALL_PREFIX}/share/doc/${CPACK_PACKAGE_NAME})
    file(REMOVE_RECURSE ${doc})
    file(COPY ${CPACK_RESOURCE_FILE_LICENSE}
      DESTINATION ${tree}${CPACK_PACKAGING_INSTALL_PREFIX}/share/licenses/${CPACK_PACKAGE_NAME})
  endif()
  execute_process(COMMAND chmod -R u=rwX,go=rX ${tree} COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND find ${tree} -exec touch -h -d @$ENV{SOURCE_DATE_EPOCH} {} +
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
