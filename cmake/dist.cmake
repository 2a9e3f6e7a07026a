# SPDX-License-Identifier: MIT
# Run by cpack for each package format twice: before it packs the installed tree, and once it
# has made the package. What cpack leaves to the file system (modes from the umask, file times,
# the order of entries, owners, a .deb's Installed-Size summed from sizes that differ between
# file systems) is made the same everywhere, so that the same commit gives the same bytes. Each
# package goes into dist/ with a <file>.sha256 beside it.
set(epoch $ENV{SOURCE_DATE_EPOCH}) # set by cpack-project.cmake

function(run)
  execute_process(COMMAND ${ARGN} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# Every file and folder in tree gets the same modes whatever the umask, and SOURCE_DATE_EPOCH as
# its time.
function(normalise tree)
  run(chmod -R u=rwX,go=rX ${tree})
  run(find ${tree} -exec touch -h -d @${epoch} {} +)
endfunction()

# Debian's measure: each file in KiB, rounded up, and one for each directory.
function(installed_size tree var)
  file(GLOB_RECURSE entries LIST_DIRECTORIES true ${tree}/*)
  set(kib 0)
  foreach(entry IN LISTS entries)
    if(IS_DIRECTORY ${entry})
      math(EXPR kib "${kib} + 1")
    else()
      file(SIZE ${entry} size)
      math(EXPR kib "${kib} + (${size} + 1023) / 1024")
    endif()
  endforeach()
  set(${var} ${kib} PARENT_SCOPE)
endfunction()

# Writes <file>.sha256 beside file, as `sha256sum -c` reads it in that folder.
function(checksum file)
  get_filename_component(name ${file} NAME)
  file(SHA256 ${file} sum)
  file(WRITE ${file}.sha256 "${sum}  ${name}\n")
  message(STATUS "Package: ${file}")
endfunction()

# Before packing: the installed tree, which rpm packs as it finds it. The .rpm carries the
# licence where rpm keeps licences (marked %license in rpm.cmake, so that an install without
# documentation still has it), not Debian's copyright file, and no Debian changelog: its own
# %changelog holds that.
if(NOT CPACK_PACKAGE_FILES)
  foreach(tree IN LISTS CPACK_TEMPORARY_INSTALL_DIRECTORY)
    if(CPACK_GENERATOR STREQUAL "RPM")
      set(prefix ${tree}${CPACK_PACKAGING_INSTALL_PREFIX})
      file(REMOVE_RECURSE ${prefix}/share/doc/${CPACK_PACKAGE_NAME})
      file(COPY ${CPACK_RESOURCE_FILE_LICENSE} DESTINATION ${prefix}/share/licenses/${CPACK_PACKAGE_NAME})
    endif()
    normalise(${tree})
  endforeach()
  return()
endif()

# The source tarball goes with the Linux tarball: what git tracks at HEAD, nothing else, with
# the commit's time on every file (git archive's own) and in pkg/source-date, files 0644 and
# folders 0755 whatever git's umask, so the same commit gives the same bytes.
if(CPACK_GENERATOR STREQUAL "TGZ")
  set(source ${CPACK_HELLO_DIST_DIR}/${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION})
  if(NOT CPACK_HELLO_CHECKOUT) # set by cpack-project.cmake
    message(STATUS "Not a git checkout: no source tarball")
  else()
    file(MAKE_DIRECTORY ${CPACK_HELLO_DIST_DIR})
    execute_process(COMMAND git -C ${CPACK_HELLO_SOURCE_DIR} -c tar.umask=0022 archive --format=tar
        --prefix=${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}/ HEAD
      COMMAND gzip -9n OUTPUT_FILE ${source}.tar.gz COMMAND_ERROR_IS_FATAL ANY)
    checksum(${source}.tar.gz)
  endif()
endif()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name ${package} NAME)
  set(tree ${package}.tree)
  set(out ${CPACK_HELLO_DIST_DIR}/${name})
  file(REMOVE_RECURSE ${tree} ${out})
  file(MAKE_DIRECTORY ${tree} ${CPACK_HELLO_DIST_DIR})
  if(name MATCHES "[.]rpm$") # made from the tree above, with rpm's own settings (rpm.cmake)
    file(COPY_FILE ${package} ${out})
    checksum(${out})
    continue()
  endif()
  if(name MATCHES "[.]deb$")
    run(dpkg-deb --raw-extract ${package} ${tree})
    file(RENAME ${tree}/DEBIAN ${package}.control) # out of the way while the tree is measured
    installed_size(${tree} kib)
    file(RENAME ${package}.control ${tree}/DEBIAN)
    file(READ ${tree}/DEBIAN/control control)
    string(REGEX REPLACE "Installed-Size: [0-9]+" "Installed-Size: ${kib}" control "${control}")
    file(WRITE ${tree}/DEBIAN/control "${control}")
  else()
    run(${CMAKE_COMMAND} -E chdir ${tree} ${CMAKE_COMMAND} -E tar xf ${package})
    if(name MATCHES "[.]tar[.]gz$")
      file(COPY ${CPACK_HELLO_TARBALL_FILES} DESTINATION ${tree}/${CPACK_PACKAGE_FILE_NAME})
    endif()
  endif()
  normalise(${tree})
  if(name MATCHES "[.]deb$")
    run(dpkg-deb --root-owner-group -Zgzip --build ${tree} ${out})
  elseif(name MATCHES "[.]tar[.]gz$")
    file(GLOB top RELATIVE ${tree} ${tree}/*)
    execute_process(COMMAND tar -C ${tree} --sort=name --owner=0 --group=0 --numeric-owner
        --format=gnu -cf - ${top}
      COMMAND gzip -9n OUTPUT_FILE ${out} COMMAND_ERROR_IS_FATAL ANY)
  elseif(name MATCHES "[.]zip$")
    file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${tree} ${tree}/*)
    list(SORT entries)
    list(JOIN entries "\n" entries)
    file(WRITE ${package}.list "${entries}\n")
    # -X: no owners or extra times; DOS times are local, so the zone is fixed
    run(${CMAKE_COMMAND} -E chdir ${tree} ${CMAKE_COMMAND} -E env TZ=UTC0
      zip -X -9 -q ${out} -@ INPUT_FILE ${package}.list)
  endif()
  checksum(${out})
endforeach()
