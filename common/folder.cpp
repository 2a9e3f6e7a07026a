// SPDX-License-Identifier: MIT
// Finding the folder the running program was installed in.
#include "folder.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <unistd.h>
#if defined(__APPLE__)
#include <cstdint>
#include <mach-o/dyld.h>
#elif defined(__FreeBSD__) || defined(__DragonFly__)
#include <sys/sysctl.h>
#include <sys/types.h>
#endif

namespace
{

// The running program's path as the system tells it, into path (PATH_MAX bytes); false where it
// cannot. Linux (and others with /proc) names it in /proc/self/exe; macOS and FreeBSD have calls.
bool program_path(char *path)
{
#if defined(__APPLE__)
    std::array<char, PATH_MAX> given{};
    auto size = static_cast<std::uint32_t>(given.size());
    return _NSGetExecutablePath(given.data(), &size) == 0 &&
           realpath(given.data(), path) != nullptr;
#elif defined(__FreeBSD__) || defined(__DragonFly__)
    std::array<int, 4> name = {CTL_KERN, KERN_PROC, KERN_PROC_PATHNAME, -1};
    std::size_t size = PATH_MAX;
    return sysctl(name.data(), name.size(), path, &size, nullptr, 0) == 0 && size > 1;
#else
    const ssize_t n = readlink("/proc/self/exe", path, PATH_MAX - 1);
    *std::next(path, std::max<ssize_t>(n, 0)) = '\0';
    return n > 0;
#endif
}

} // namespace

std::size_t own_folder(char *folder, const char *argv0)
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
    char *const end = std::find(folder, folder + PATH_MAX, '\0');
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
