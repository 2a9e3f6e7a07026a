// SPDX-License-Identifier: MIT
#include "folder.hpp"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

std::size_t own_folder(char *folder, const char *argv0)
{
    // /proc/self/exe names the program itself. Without /proc (a chroot, a container) the path it
    // was started by serves where it holds a slash; one without was found on PATH, from a folder
    // that cannot be told. Plain loops rather than library calls: each one imported costs a
    // symbol lookup at every start.
    const ssize_t n = readlink("/proc/self/exe", folder, PATH_MAX - 1);
    char *end = folder + std::max<ssize_t>(n, 0);
    *end = '\0';
    if (n <= 0 && argv0 != nullptr) {
        const char *argv_end = argv0;
        while (*argv_end != '\0') {
            ++argv_end;
        }
        if (std::find(argv0, argv_end, '/') != argv_end && realpath(argv0, folder) != nullptr) {
            end = std::find(folder, folder + PATH_MAX, '\0');
        }
    }
    const auto slash =
        std::find(std::make_reverse_iterator(end), std::make_reverse_iterator(folder), '/');
    if (slash.base() == folder) {
        return 0;
    }
    char *cut = slash.base() - 1; // the last slash
    if (cut == folder) {          // "/hello" is in "/"
        ++cut;
    }
    *cut = '\0';
    return static_cast<std::size_t>(cut - folder);
}
