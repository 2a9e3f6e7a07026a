// SPDX-License-Identifier: MIT
// What /proc says of the processes below hello, read from its text alone: a process's children
// and its parent.
#pragma once

#include <cstddef>
#include <sys/types.h>

namespace children
{

// Where a list read in pieces stands between two of them: the digits of an entry not yet ended.
struct Partial {
    pid_t pid = 0;
    bool spoilt = false; // a byte that is no digit, or a number past any PID, came in it
};

// A list of children as /proc/PID/task/TID/children gives it ("12 345 6789 "), each entry ended
// by a space, read in pieces of any size: writes into pids (room for n) the entries that
// [bytes, bytes + n) ends, and returns their count. An entry the piece cuts goes on in partial;
// one that the end of the list cuts is never taken for a PID.
std::size_t parse(const char *bytes, std::size_t n, Partial &partial, pid_t *pids);

// What the start of /proc/PID/stat ("PID (name) S PPID ...") tells of a process: its state and
// its parent; both 0 where the text does not tell them whole.
struct Stat {
    char state;
    pid_t parent;
};
Stat stat(const char *text, std::size_t n);

} // namespace children
