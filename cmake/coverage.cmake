# SPDX-License-Identifier: MIT
# cmake -DGCOVR=gcovr -DSOURCE=dir -DBINARY=dir [-DRESET=ON] -P coverage.cmake
# Before the suite (RESET): forgets what earlier runs counted. After it: prints the line and
# branch coverage of hello and pause, and writes the HTML report to coverage/index.html.
if(RESET)
  file(GLOB_RECURSE counts ${BINARY}/*.gcda)
  if(counts)
    file(REMOVE ${counts})
  endif()
  return()
endif()
file(MAKE_DIRECTORY ${BINARY}/coverage)
execute_process(COMMAND ${GCOVR} --root ${SOURCE} --object-directory ${BINARY} --filter ${SOURCE}/hello/
  --filter ${SOURCE}/pause/ --exclude-unreachable-branches --exclude-throw-branches --print-summary
  --txt - --html-details ${BINARY}/coverage/index.html COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "The report: ${BINARY}/coverage/index.html")
