// SPDX-License-Identifier: MIT
// The running program's path where /proc names it (Linux and others): /proc/self/exe.
#include "folder.hpp"

#include <algorithm>
#include <iterator>
#include <unistd.h>

bool folder::program_path(char *path)
{
    const ssize_t n = readlink("/proc/self/exe", path, PATH_MAX - 1);
    *std::next(path, std::max<ssize_t>(n, 0)) = '\0';
    return n > 0;
}
