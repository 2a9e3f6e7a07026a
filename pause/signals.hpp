// SPDX-License-Identifier: MIT
// Signals, taken as a careful reader takes them: a handler only records which signal came, the
// caught signals are blocked but while pause waits, and the code that waited decides what to do.
#pragma once

#include <csignal>

namespace signals
{

// Catches Ctrl+Z (SIGTSTP), SIGCONT and every signal that ends a process by default and can be
// caught, blocked from now on but while pause waits; a signal the caller ignored stays ignored.
void catch_all();

// Faults of pause's own (SIGSEGV, SIGABRT, ...) cannot wait to be recorded: the faulting
// instruction would run again. handler runs at once instead, with the caught signals blocked,
// and once: a fault within it takes the default action.
void on_faults(void (*handler)(int));

// Whether sig, as take gives it, ends pause: all but SIGTSTP, SIGCONT and none (0).
bool ends(int sig);

// A signal that ends pause has come and is not yet taken.
bool end_pending();

// The signal that came since the last call, 0 if none. Where several came, one that ends pause
// wins over a stop, and a stop over a continue.
int take();

// Waits until fd is ready for reading (or writing) or wait_ms have passed (no limit if
// negative), with the caught signals let through: 1 ready, 0 not, -1 failed (errno EINTR when a
// signal has come: see take). With only_ending, a signal that does not end pause (Ctrl+Z,
// SIGCONT) is left for later and the wait goes on, as while a key's bytes are still coming.
int wait_for_file(int fd, bool for_output, int wait_ms, bool only_ending = false);

// Stops pause as Ctrl+Z would, unless a continue or a signal that ends pause came since the
// last take. False where nothing stopped it (a process group with no shell above it, which the
// kernel does not stop); true once it is continued.
bool stop();

// Ends pause by sig, as though it had not been caught. Where the kernel discards it, as it does
// for the first process of a PID namespace (a container's), pause exits as a shell reports such a
// death: 128 + sig. Async-signal-safe.
[[noreturn]] void end(int sig);

// Sets the mask for a terminal request: SIGTTOU and the caught signals let through, the previous
// mask saved in was.
void let_through(sigset_t &was);

} // namespace signals
