# Installs beside hello.exe every DLL it needs, directly or through another DLL, taken from the
# folders the compiler itself links the runtime from. System DLLs stay out; any other DLL that
# cannot be found fails the install, so the installed folder runs on a clean Windows.
foreach(dll IN ITEMS libstdc++-6.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(IS_ABSOLUTE "${found}")
    get_filename_component(found "${found}" DIRECTORY)
    list(APPEND runtime_dirs "${found}")
  endif()
endforeach()

install(CODE "
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND [[${CMAKE_OBJDUMP}]])
  file(GET_RUNTIME_DEPENDENCIES EXECUTABLES [[$<TARGET_FILE:hello>]]
    DIRECTORIES ${runtime_dirs}
    PRE_EXCLUDE_REGEXES [[^(api-ms-|ext-ms-)]] [[^(kernel32|msvcrt|ntdll|user32|advapi32|ucrtbase)[.]dll$]]
    RESOLVED_DEPENDENCIES_VAR dlls UNRESOLVED_DEPENDENCIES_VAR missing)
  if(missing)
    message(FATAL_ERROR \"DLLs hello.exe needs and that were not found: \${missing}\")
  endif()
  foreach(dll IN LISTS dlls)
    file(INSTALL \${dll} DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    get_filename_component(name \${dll} NAME)
    # The compiler's copies carry symbols and debug information, nine tenths of their size.
    execute_process(COMMAND [[${CMAKE_STRIP}]] --strip-unneeded
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${name}\" COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
")
