// SPDX-License-Identifier: MIT
// Finding the folder the running program was installed in.
#include "folder.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace folder
{

std::size_t own(char *folder, const char *argv0)
{
    // Where the system cannot tell (no /proc in a chroot or container), the path the program was
    // started by serves where it holds a slash; one without was found on PATH, from a folder
    // that cannot be told.
    if (!program_path(folder)) {
        *folder = '\0';
        const char *argv_end = argv0 == nullptr ? nullptr : argv0 + std::strlen(argv0);
        if (argv0 == nullptr || std::find(argv0, argv_end, '/') == argv_end ||
            realpath(argv0, folder) == nullptr) {
            return 0;
        }
    }
    return cut(folder);
}

std::size_t cut(char *path)
{
    char *const end = std::find(path, path + PATH_MAX, '\0');
    const auto slash =
        std::find(std::make_reverse_iterator(end), std::make_reverse_iterator(path), '/');
    if (slash.base() == path) {
        return 0;
    }
    char *at = slash.base() - 1; // the last slash
    if (at == path) {            // "/hello" is in "/"
        ++at;
    }
    *at = '\0';
    return static_cast<std::size_t>(at - path);
}

} // namespace folder
