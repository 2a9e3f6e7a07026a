# SPDX-License-Identifier: MIT
# Run at install time: installs beside hello.exe every DLL it needs, directly or through another
# DLL. System DLLs stay out; any other DLL that cannot be found fails the install, so the
# installed folder runs on a clean Windows. Inputs: HELLO_EXE, HELLO_RUNTIME_DIRS (where the
# compiler's DLLs lie), HELLO_CRT (MinGW-w64's start-up object), HELLO_BINDIR, HELLO_OBJDUMP,
# HELLO_STRIP and HELLO_DPKG_QUERY.
set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND ${HELLO_OBJDUMP})
file(GET_RUNTIME_DEPENDENCIES EXECUTABLES ${HELLO_EXE}
  DIRECTORIES ${HELLO_RUNTIME_DIRS}
  PRE_EXCLUDE_REGEXES [[^(api-ms-|ext-ms-)]] [[^(kernel32|msvcrt|ntdll|user32|advapi32|ucrtbase)[.]dll$]]
  RESOLVED_DEPENDENCIES_VAR dlls UNRESOLVED_DEPENDENCIES_VAR missing)
if(missing)
  message(FATAL_ERROR "DLLs hello.exe needs and that were not found: ${missing}")
endif()
set(dest ${CMAKE_INSTALL_PREFIX}/${HELLO_BINDIR})
foreach(dll IN LISTS dlls)
  file(INSTALL ${dll} DESTINATION ${dest})
  get_filename_component(name ${dll} NAME)
  # The compiler's copies carry symbols and debug information, nine tenths of their size.
  execute_process(COMMAND ${HELLO_STRIP} --strip-unneeded $ENV{DESTDIR}${dest}/${name}
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# The DLLs' licence goes with them: GCC's runtime is under the GPL, version 3, with the GCC
# Runtime Library Exception. The texts come from the toolchain's own documentation, and the
# notice names the packages the DLLs came from and their source as this machine has them; where
# any of that cannot be found, the install fails rather than ship the DLLs without it.
function(query var package field)
  execute_process(COMMAND ${HELLO_DPKG_QUERY} -W -f=${field} ${package} OUTPUT_VARIABLE value
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "dpkg-query cannot tell ${field} of ${package}")
  endif()
  set(${var} "${value}" PARENT_SCOPE)
endfunction()

set(gpl /usr/share/common-licenses/GPL-3)
set(notice "")
set(exception "")
foreach(dll IN LISTS dlls)
  get_filename_component(name ${dll} NAME)
  execute_process(COMMAND ${HELLO_DPKG_QUERY} -S ${dll} OUTPUT_VARIABLE owner RESULT_VARIABLE failed)
  if(failed OR NOT EXISTS ${gpl})
    message(FATAL_ERROR "The licence of ${name} cannot be found: "
      "it must come from a Debian package, and ${gpl} must be there")
  endif()
  string(REGEX REPLACE ":.*" "" package "${owner}")
  query(version ${package} "\${Version}")
  query(source ${package} "\${source:Package} \${source:Version}")
  query(built_using ${package} "\${Built-Using}")
  file(READ /usr/share/doc/${package}/copyright copyright)
  string(REGEX MATCH "GCC RUNTIME LIBRARY EXCEPTION\n\nVersion 3[.]1,.*requirements of the license of GCC[.]\n"
    text "${copyright}")
  if(NOT text)
    message(FATAL_ERROR "/usr/share/doc/${package}/copyright has no GCC Runtime Library Exception 3.1")
  endif()
  set(exception "${text}")
  string(APPEND notice "- ${name}, from the Debian package ${package} ${version}\n")
  # Built from its own source package and, as Built-Using says, GCC's: "gcc-12 (= 12.2.0-14)".
  string(REGEX REPLACE " [(]= ([^)]*)[)]" " \\1" built_using "${built_using}")
  string(REPLACE ", " ";" built_using "${built_using}")
  list(APPEND sources "${source}" ${built_using})
endforeach()
list(REMOVE_DUPLICATES sources)
set(links "")
foreach(source IN LISTS sources)
  string(REPLACE " " "/" path "${source}")
  string(APPEND links "- ${source}: https://snapshot.debian.org/package/${path}/\n")
endforeach()
function(write_for_windows name text) # with CRLF line ends
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE $ENV{DESTDIR}${dest}/${name} "${text}")
endfunction()
# MinGW-w64's runtime, linked into hello.exe and the DLLs: the notices of the package that has
# its start-up object, whole, as that package states them.
file(REAL_PATH "${HELLO_CRT}" crt)
execute_process(COMMAND ${HELLO_DPKG_QUERY} -S ${crt} OUTPUT_VARIABLE owner RESULT_VARIABLE failed)
string(REGEX REPLACE ":.*" "" package "${owner}")
if(failed OR NOT EXISTS /usr/share/doc/${package}/copyright)
  message(FATAL_ERROR "The notices of MinGW-w64's runtime (${crt}) cannot be found")
endif()
query(version ${package} "\${Version}")
query(source ${package} "\${source:Package} \${source:Version}")
string(REPLACE " " "/" path "${source}")
file(READ /usr/share/doc/${package}/copyright copyright)
write_for_windows(MINGW-W64-LICENSE.txt "\
hello.exe and the runtime libraries beside it contain code of the MinGW-w64
runtime (its start-up code and C runtime library), as the Debian package
${package} ${version} provides it; its source is that of the Debian source
package ${source}: https://snapshot.debian.org/package/${path}/

The notices and licences of that code follow, as the package states them.

${copyright}")

if(dlls)
  write_for_windows(RUNTIME-LICENSE.txt "\
The runtime libraries beside hello.exe are part of GCC, the GNU Compiler
Collection, as Debian builds it for Windows with MinGW-w64:

${notice}
They are licensed under the GNU General Public License, version 3, whose
full text is in GPL-3.0.txt, with the GCC Runtime Library Exception,
version 3.1, whose full text follows. Their complete source code is that
of these Debian source packages, at these links (on Debian, `apt-get
source NAME=VERSION` fetches one):

${links}

${exception}")
  file(READ ${gpl} text)
  write_for_windows(GPL-3.0.txt "${text}")
endif()
