// SPDX-License-Identifier: MIT
// What hello reads of /proc of the processes below it. Async-signal-safe.
#pragma once

#include "children.hpp"

#include <sys/types.h>

namespace proc
{

// Whether /proc is of hello's own PID namespace, where PIDs are hello's.
bool is_hellos();

// The state and parent of pid; both 0 where it is gone.
children::Stat stat(pid_t pid);

// /proc/PID/task/PID/children opened for reading; -1 where it cannot be.
int open_children(pid_t pid);

} // namespace proc
