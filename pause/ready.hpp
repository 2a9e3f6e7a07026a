// SPDX-License-Identifier: MIT
// Waiting for a file to be ready with some signals let through, so that no signal that comes just
// before the wait goes unseen: ppoll() where the system has it (ready_ppoll.cpp). Elsewhere
// poll() waits on the file and on a pipe that the signal handler writes to (ready_pipe.cpp);
// pselect() would not do, as some systems emulate it with sigprocmask() and select(), which loses
// a signal that comes between the two, and it takes no descriptor past FD_SETSIZE.
#pragma once

#include <csignal>

namespace ready
{

// Prepares the pipe, where there is to be one. Before any handler that calls wake is installed.
void prepare();

// From a signal handler: wakes the wait, where it needs that. Async-signal-safe.
void wake();

// Waits until fd is ready for reading (or writing) or wait_ms have passed (no limit if negative),
// with mask in force meanwhile (none given: the mask as it is): 1 ready, 0 not, -1 failed (EINTR:
// a signal came).
int until(int fd, bool for_output, int wait_ms, const sigset_t *mask);

} // namespace ready
