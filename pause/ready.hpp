// SPDX-License-Identifier: MIT
// Waiting for a file to be ready with some signals let through: ppoll() where the system has it,
// else select() and a pipe that the signal handler writes to, so that no signal that comes just
// before the wait goes unseen.
#pragma once

#include <csignal>

namespace ready
{

// Prepares the pipe, where there is to be one. Before any handler that calls wake is installed.
void prepare();

// From a signal handler: wakes the wait, where it needs that.
void wake();

// Waits until fd is ready for reading (or writing) or wait_ms have passed (no limit if negative),
// with mask in force meanwhile (none given: the mask as it is): 1 ready, 0 not, -1 failed (EINTR:
// a signal came).
int wait(int fd, bool for_output, int wait_ms, const sigset_t *mask);

} // namespace ready
