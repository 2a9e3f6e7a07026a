// SPDX-License-Identifier: MIT
// The folder the running program was installed in, which hello and pause find their neighbours
// from (pause, the catalogs) wherever the tree is put.
#pragma once

#include <climits>
#include <cstddef>

namespace folder
{

// Writes the folder's absolute path, symbolic links resolved, into folder (PATH_MAX bytes) and
// returns its length; 0 where it cannot be known. "/" stays "/".
std::size_t own(char *folder, const char *argv0);

// Cuts path, an absolute path ending in a NUL within PATH_MAX bytes, to its folder and returns
// the folder's length: "/usr/bin/hello" is "/usr/bin", "/hello" is "/"; 0 where path holds no
// slash.
std::size_t cut(char *path);

// The running program's path as the system tells it, into path (PATH_MAX bytes); false where it
// cannot. Each system has its own way, in a file of its own.
bool program_path(char *path);

} // namespace folder
