// SPDX-License-Identifier: MIT
// Signals, taken as a careful reader takes them: a handler only records which signal came, the
// caught signals are blocked but while pause waits, and the waiting code decides what to do.
#pragma once

#include <cerrno>
#include <csignal>

namespace signals
{

// Catches Ctrl+Z (SIGTSTP), SIGCONT and every signal that ends a process by default and can be
// caught without being a fault of pause's own; a signal the caller ignored stays ignored.
void catch_all();

// Waits until fd is ready for reading (or writing) or wait_ms have passed (no limit if negative),
// with the signals caught let through and the caller's mask in force: 1 ready, 0 not, -1 failed
// (errno EINTR when a signal has come: see take).
int wait(int fd, bool for_output, int wait_ms);

// The signal that came since the last call, 0 if none. Where several came, one that ends pause
// wins over a stop, and a stop over a continue.
int take();

// Gives the terminal back with restore(), then stops pause as Ctrl+Z would have. False where
// nothing may stop it (a process group with no shell above it); true once it is continued. A
// signal that ends pause, come meanwhile, is left for take.
bool suspend(void (*restore)());

// Sends sig to pause with its default action, as though it had not been caught.
void raise_default(int sig);

// A terminal request made as a foreground job makes it: from the background SIGTTOU stops pause
// until it is brought to the foreground, whatever the caller did with SIGTTOU; where nothing can
// bring it there (a process group with no shell above it), the request fails with EIO.
template <class Request> int as_foreground(Request request)
{
    struct sigaction stop = {};
    struct sigaction was = {};
    stop.sa_handler = SIG_DFL;
    (void)sigaction(SIGTTOU, &stop, &was);
    sigset_t ttou;
    sigset_t mask;
    (void)sigemptyset(&ttou);
    (void)sigaddset(&ttou, SIGTTOU);
    (void)sigprocmask(SIG_UNBLOCK, &ttou, &mask);
    int result = 0;
    while ((result = request()) != 0 && errno == EINTR) {
    }
    const int err = errno;
    (void)sigprocmask(SIG_SETMASK, &mask, nullptr);
    (void)sigaction(SIGTTOU, &was, nullptr);
    errno = err;
    return result;
}

} // namespace signals
