# SPDX-License-Identifier: MIT
# How the programs are linked and hardened, added to project_options.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

if(WIN32)
  # What the Windows linker does by default; ASLR, DEP and high-entropy VA are this linker's
  # defaults already, and the image test holds them. No time stamp: the same source gives the
  # same bytes. Stack protector and FORTIFY would bring libssp-0.dll wherever they protect
  # anything, and protect nothing in hello. Section names of up to 8 characters leave no string
  # table at the image's end, which makes its size a multiple of 8 even when stripped, as
  # Authenticode wants it: signing then pads nothing, and the signature is all it adds.
  target_link_options(project_options INTERFACE LINKER:--tsaware LINKER:--no-insert-timestamp
    LINKER:--disable-long-section-names)
  return()
endif()

target_link_options(project_options INTERFACE LINKER:--as-needed) # load nothing unused
if(HELLO_COVERAGE)
  target_compile_options(project_options INTERFACE --coverage)
  target_link_options(project_options INTERFACE --coverage)
endif()
if(HELLO_SANITIZE)
  set(sanitize -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(project_options INTERFACE ${sanitize})
  target_link_options(project_options INTERFACE ${sanitize})
endif()

# A distribution that builds with its own hardening flags (dpkg-buildflags, %optflags) turns
# this off, so that its choices are not overridden by ours, which would come after them.
option(HELLO_HARDENING "Harden the programs with the project's own flags" ON)
if(NOT HELLO_HARDENING)
  return()
endif()
target_link_options(project_options INTERFACE LINKER:-z,relro LINKER:-z,now LINKER:-z,noexecstack)
target_compile_options(project_options INTERFACE -fstack-protector-strong -fstack-clash-protection)
# The processor's own: control-flow protection on x86-64; on arm64 return addresses signed
# (pointer authentication), with BTI emitted too, though Debian 12's start files lack its note,
# so the linked programs do not ask the kernel to enforce it.
target_compile_options(project_options INTERFACE ${HELLO_TARGET_HARDENING})
target_compile_definitions(project_options INTERFACE _GLIBCXX_ASSERTIONS)
if(NOT HELLO_SANITIZE) # FORTIFY wants optimisation, and AddressSanitizer checks the same calls
  target_compile_options(project_options INTERFACE
    $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=3>)
endif()
