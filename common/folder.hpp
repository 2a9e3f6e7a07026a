// SPDX-License-Identifier: MIT
// The folder the running program was installed in, which hello and pause find their neighbours
// from (pause, the catalogs) wherever the tree is put.
#pragma once

#include <climits>
#include <cstddef>

// Writes the folder's absolute path, symbolic links resolved, into folder (PATH_MAX bytes) and
// returns its length; 0 where it cannot be known. "/" stays "/".
std::size_t own_folder(char *folder, const char *argv0);
