# SPDX-License-Identifier: MIT
# Run at install time: installs beside hello.exe every DLL it needs, directly or through another
# DLL. System DLLs stay out; any other DLL that cannot be found fails the install, so the
# installed folder runs on a clean Windows. Inputs: HELLO_EXE, HELLO_RUNTIME_DIRS (where the
# compiler's DLLs lie), HELLO_BINDIR, HELLO_OBJDUMP and HELLO_STRIP.
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
