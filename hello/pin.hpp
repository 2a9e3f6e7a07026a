// SPDX-License-Identifier: MIT
// A process held by a descriptor (a pidfd), so that what is signalled through it is that process
// and no other that came to bear its PID. Each system has its own way, in a file of its own.
#pragma once

#include <sys/types.h>

namespace pin
{

// A descriptor that holds pid (close-on-exec); -1 where the system gives none.
int hold(pid_t pid);

// Sends sig to the process fd holds; false where it has ended.
bool send(int fd, int sig);

} // namespace pin
