// SPDX-License-Identifier: MIT
// The running program's path on macOS, which has no /proc.
#include "folder.hpp"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <mach-o/dyld.h>

bool folder::program_path(char *path)
{
    std::array<char, PATH_MAX> given{};
    auto size = static_cast<std::uint32_t>(given.size());
    return _NSGetExecutablePath(given.data(), &size) == 0 &&
           realpath(given.data(), path) != nullptr;
}
