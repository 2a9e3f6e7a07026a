// SPDX-License-Identifier: MIT
// Signals, taken as a careful reader takes them: a handler only records which signal came, the
// caught signals are blocked but while pause waits, and the waiting code decides what to do.
#pragma once

#include <cerrno>
#include <csignal>

namespace signals
{

// Catches Ctrl+Z (SIGTSTP), SIGCONT and every signal that ends a process by default and can be
// caught; a signal the caller ignored stays ignored. A fault (SIGSEGV, SIGABRT, ...) cannot wait
// to be recorded: its handler calls restore(), which must be async-signal-safe, then ends pause.
void catch_all(void (*restore)());

// Waits until fd is ready for reading (or writing) or wait_ms have passed (no limit if negative),
// with the signals caught let through and the caller's mask in force: 1 ready, 0 not, -1 when
// failed (errno EINTR when a signal has come: see take). Within a key only a signal that ends pause
// cuts the wait short; others wait until the key is read.
int wait(int fd, bool for_output, int wait_ms, bool within_key = false);

// A signal that ends pause has come and is not yet taken.
bool ending();

// The signal that came since the last call, 0 if none. Where several came, one that ends pause
// wins over a stop, and a stop over a continue.
int take();

// Gives the terminal back with restore(), then stops pause as Ctrl+Z would have. False where
// nothing may stop it (a process group with no shell above it); true once it is continued. A
// signal that ends pause, come meanwhile, is left for take.
bool suspend(void (*restore)());

// Sends sig to pause with its default action, as though it had not been caught.
void raise_default(int sig);

// Ends pause by sig. Where the kernel discards it, as it does for the first process of a PID
// namespace (a container's), pause exits as a shell reports such a death: 128 + sig.
[[noreturn]] void end(int sig);

// Sets the mask for a terminal request: SIGTTOU and the caught signals let through, the previous
// mask saved in was.
void let_through(sigset_t &was);

// A terminal request made as a foreground job makes it: from the background SIGTTOU stops pause
// until it is brought to the foreground, whatever the caller did with SIGTTOU; where nothing can
// bring it there (a process group with no shell above it), the request fails with EIO. Stopped
// there, pause still hears `kill`: a signal that ends it makes the request give up (EINTR).
template <class Request> int as_foreground(Request request)
{
    struct sigaction stop = {};
    struct sigaction was = {};
    stop.sa_handler = SIG_DFL;
    (void)sigaction(SIGTTOU, &stop, &was);
    sigset_t mask;
    let_through(mask);
    int result = 0;
    while ((result = request()) != 0 && errno == EINTR && !ending()) {
    }
    const int err = errno;
    (void)sigprocmask(SIG_SETMASK, &mask, nullptr);
    (void)sigaction(SIGTTOU, &was, nullptr);
    errno = err;
    return result;
}

} // namespace signals
