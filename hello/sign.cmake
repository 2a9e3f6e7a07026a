# SPDX-License-Identifier: MIT
# Run at install time, once hello.exe is installed (and stripped, for a package): signs it with
# Authenticode (SHA-256) when the release is given a code-signing certificate through the
# environment, never the repository: HELLO_SIGN_PKCS12, the PKCS#12 file with the certificate
# and its key; HELLO_SIGN_PASSWORD, its password; HELLO_SIGN_TIMESTAMP, if set, the URL of an
# RFC 3161 time-stamp server. Without a certificate (unset, or empty as a CI system passes a
# secret it does not have) hello.exe stays unsigned. The signature is all that signing adds, so
# a signed release without it is the unsigned build, byte for byte.
if("$ENV{HELLO_SIGN_PKCS12}" STREQUAL "")
  message(STATUS "Not signed: ${HELLO_BINDIR}/hello.exe (no HELLO_SIGN_PKCS12)")
  return()
endif()
find_program(OSSLSIGNCODE osslsigncode)
if(NOT OSSLSIGNCODE)
  message(FATAL_ERROR "Signing needs osslsigncode (Debian: osslsigncode)")
endif()
set(exe $ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${HELLO_BINDIR}/hello.exe)
# The password goes to osslsigncode in a file only its owner reads, not on a command line that
# every user may see.
set(pass ${HELLO_SIGN_WORK}/password)
file(MAKE_DIRECTORY ${HELLO_SIGN_WORK})
file(TOUCH ${pass})
file(CHMOD ${pass} PERMISSIONS OWNER_READ OWNER_WRITE)
file(WRITE ${pass} "$ENV{HELLO_SIGN_PASSWORD}")
set(timestamp "")
if(NOT "$ENV{HELLO_SIGN_TIMESTAMP}" STREQUAL "")
  set(timestamp -ts $ENV{HELLO_SIGN_TIMESTAMP})
endif()
execute_process(COMMAND ${OSSLSIGNCODE} sign -pkcs12 $ENV{HELLO_SIGN_PKCS12} -readpass ${pass}
    -h sha256 -n "${HELLO_DESCRIPTION}" ${timestamp} -in ${exe} -out ${exe}.signed
  RESULT_VARIABLE failed)
# Whose certificate signed it, for the build's log.
execute_process(COMMAND openssl pkcs12 -in $ENV{HELLO_SIGN_PKCS12} -passin file:${pass} -nokeys -clcerts
  COMMAND openssl x509 -noout -subject OUTPUT_VARIABLE subject OUTPUT_STRIP_TRAILING_WHITESPACE
  ERROR_QUIET)
file(REMOVE ${pass})
if(failed)
  file(REMOVE ${exe}.signed)
  message(FATAL_ERROR "Signing ${exe} failed")
endif()
file(RENAME ${exe}.signed ${exe})
message(STATUS "Signed: ${exe}, with the certificate of ${subject}")
