// SPDX-License-Identifier: MIT
// The processes below hello: the command processor it started and whatever that runs.
#pragma once

#include <cstddef>
#include <sys/types.h>

struct Below {
    std::size_t count;  // processes written
    std::size_t leaves; // of them, first, those that started none: the command that runs
};

// Writes into pids (room of them at most) the processes below hello, as /proc lists them where
// it is of hello's own PID namespace (none elsewhere): the leaves first, then the shells that
// wait for them. Async-signal-safe.
Below processes_below(pid_t *pids, std::size_t room);
