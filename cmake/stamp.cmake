# SPDX-License-Identifier: MIT
# Run by cpack between the install and the packaging: every file and folder to be packaged gets
# the same modes whatever the umask, and SOURCE_DATE_EPOCH as its time, so that rpm, which packs
# the tree as it finds it, gives the same bytes everywhere.
foreach(tree IN LISTS CPACK_TEMPORARY_INSTALL_DIRECTORY)
  execute_process(COMMAND chmod -R u=rwX,go=rX ${tree} COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND find ${tree} -exec touch -h -d @$ENV{SOURCE_DATE_EPOCH} {} +
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
