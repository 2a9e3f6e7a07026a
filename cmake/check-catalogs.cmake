# SPDX-License-Identifier: MIT
# cmake -DSOURCE=dir -DMSGCMP=msgcmp -DXGETTEXT=xgettext "-DXGETTEXT_ARGS=..." "-DLANGUAGES=..."
#   "-DLANGUAGE_NAMES=..." -P check-catalogs.cmake
# The translators' checks: every language in po/LINGUAS has a catalog, each catalog translates
# every message of the template, none fuzzy, and has none the template lacks; every catalog is
# in LINGUAS; the template is what the sources give; and README.md names the languages as the
# manual page does (LANGUAGE_NAMES). Fails naming each file that is not.
cmake_minimum_required(VERSION 3.25)
set(po ${SOURCE}/po)
set(pot ${po}/hello-greeter.pot)
set(wrong "")
set(languages ${LANGUAGES}) # as po/LINGUAS lists them
file(GLOB catalogs RELATIVE ${po} ${po}/*.po)
foreach(catalog IN LISTS catalogs)
  string(REGEX REPLACE "[.]po$" "" language ${catalog})
  if(NOT language IN_LIST languages)
    list(APPEND wrong "po/${catalog}: not in po/LINGUAS")
  endif()
endforeach()
foreach(language IN LISTS languages)
  set(catalog ${po}/${language}.po)
  if(NOT EXISTS ${catalog})
    list(APPEND wrong "po/${language}.po: missing, though po/LINGUAS names it")
    continue()
  endif()
  # Untranslated and fuzzy messages count as missing here.
  execute_process(COMMAND ${MSGCMP} ${catalog} ${pot} RESULT_VARIABLE failed ERROR_VARIABLE why)
  if(failed)
    list(APPEND wrong "po/${language}.po: not every message translated, or some fuzzy:\n${why}")
  endif()
  execute_process(COMMAND ${MSGCMP} --use-untranslated ${pot} ${catalog}
    RESULT_VARIABLE failed ERROR_VARIABLE why)
  if(failed)
    list(APPEND wrong "po/${language}.po: messages the template no longer has (msgmerge it):\n${why}")
  endif()
endforeach()
execute_process(COMMAND ${XGETTEXT} ${XGETTEXT_ARGS} --output=- WORKING_DIRECTORY ${SOURCE}
  OUTPUT_VARIABLE fresh RESULT_VARIABLE failed)
string(REGEX REPLACE "\"POT-Creation-Date:[^\n]*\n" "" fresh "${fresh}")
file(READ ${pot} current)
if(failed OR NOT fresh STREQUAL current)
  list(APPEND wrong "po/hello-greeter.pot: not what the sources give (cmake --build --target pot)")
endif()
file(READ ${SOURCE}/README.md readme)
string(REGEX REPLACE "[ \n]+" " " readme "${readme}")
string(FIND "${readme}" "${LANGUAGE_NAMES}." found)
if(found EQUAL -1)
  list(APPEND wrong "README.md: does not list the languages as \"${LANGUAGE_NAMES}.\"")
endif()
if(wrong)
  list(JOIN wrong "\n  " wrong)
  message(FATAL_ERROR "Catalogs out of order:\n  ${wrong}")
endif()
list(LENGTH languages n)
message(STATUS "${n} catalogs, complete and up to date with the sources")
