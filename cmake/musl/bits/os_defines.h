// SPDX-License-Identifier: MIT
// libstdc++'s operating-system settings, in place of the glibc ones Debian's g++ ships, which
// test glibc's version: musl needs none of them for what pause uses.
#ifndef _GLIBCXX_OS_DEFINES
#define _GLIBCXX_OS_DEFINES 1
#endif
