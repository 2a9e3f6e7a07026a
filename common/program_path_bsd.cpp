// SPDX-License-Identifier: MIT
// The running program's path on FreeBSD and DragonFly, whose /proc is seldom mounted.
#include "folder.hpp"

#include <array>
#include <sys/sysctl.h>
#include <sys/types.h>

bool folder::program_path(char *path)
{
    std::array<int, 4> name = {CTL_KERN, KERN_PROC, KERN_PROC_PATHNAME, -1};
    std::size_t size = PATH_MAX;
    return sysctl(name.data(), name.size(), path, &size, nullptr, 0) == 0 && size > 1;
}
