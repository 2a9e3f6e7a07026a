// SPDX-License-Identifier: MIT
// Passing SIGTERM and SIGHUP on to the command, and waiting for it to end.
#include "passing.hpp"

#include "disposition.hpp"
#include "proc.hpp"
#include "reaper.hpp"
#include "tree.hpp"

#include <csignal>
#include <ctime>
#include <initializer_list>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

namespace passing
{

namespace
{

struct sigaction on_term; // as hello's caller left them
struct sigaction on_hup;
volatile std::sig_atomic_t ended_by;   // the first of them come
volatile std::sig_atomic_t group_copy; // the signal hello sent its own group, due back to it
volatile std::sig_atomic_t returned;   // system() has: what hello started has ended
volatile std::sig_atomic_t settled;    // and so has everything it passed the signal to
volatile std::sig_atomic_t ticks_left; // to the deadline, a second after the first signal
sigset_t handled;                      // each handler runs with the others held back

// The processes below hello get sig, each before the one that waits for it; again: those that
// had it already too. Without a /proc of hello's: as a PID namespace's first process, every other
// process there, all below hello; else where hello leads its group (a shell's job), the group,
// and hello its copy, which it knows for one; never the caller's group.
void pass_on(int sig, bool again)
{
    if (tree::walk()) {
        tree::signal(sig, again);
    } else if (again && getpid() == 1) {
        (void)kill(-1, sig);
    } else if (again && getpgrp() == getpid()) {
        group_copy = sig;
        (void)kill(0, sig);
    }
}

// Whether what got the signal still runs. As a namespace's first process without a /proc of its
// own, every process there comes to hello to be reaped: until none is left.
bool running()
{
    if (getpid() != 1 || proc::is_hellos()) {
        return tree::running();
    }
    pid_t reaped = 0;
    while ((reaped = waitpid(-1, nullptr, WNOHANG)) > 0) {
    }
    return reaped == 0;
}

// Every so often until all has ended: what has come to exist below hello since, such as the
// command started just after the signal, gets it too. At the deadline hello ends all the same,
// whatever still runs.
extern "C" void tick(int /*sig*/)
{
    const int sig = ended_by;
    if (--ticks_left <= 0) {
        (void)disposition::set(sig, SIG_DFL);
        sigset_t only;
        (void)sigemptyset(&only);
        (void)sigaddset(&only, sig);
        (void)sigprocmask(SIG_UNBLOCK, &only, nullptr);
        (void)raise(sig);
        _exit(128 + sig); // where the kernel discards it: the first process of a container
    }
    pass_on(sig, false);
    settled = returned != 0 && !running() ? 1 : 0; // not before: system() reaps its own
}

extern "C" void caught(int sig)
{
    if (sig == group_copy) {
        group_copy = 0;
        return;
    }
    if (ended_by == 0) {
        ended_by = sig;
        ticks_left = 50;
        reaper::adopt_orphans(); // a process whose shell the signal ends stays below hello
        (void)disposition::set(SIGALRM, tick, 0, &handled);
        const itimerval often = {{0, 20'000}, {0, 20'000}}; // 50 a second
        (void)setitimer(ITIMER_REAL, &often, nullptr);
    }
    pass_on(sig, true);
}

// Catches sig, unless hello's caller ignores it.
struct sigaction catch_unless_ignored(int sig)
{
    struct sigaction was = disposition::set(sig, caught, 0, &handled);
    if (was.sa_handler == SIG_IGN) {
        (void)sigaction(sig, &was, nullptr);
    }
    return was;
}

} // namespace

void arm()
{
    (void)sigemptyset(&handled);
    for (const int sig : {SIGTERM, SIGHUP, SIGALRM}) {
        (void)sigaddset(&handled, sig);
    }
    on_term = catch_unless_ignored(SIGTERM);
    on_hup = catch_unless_ignored(SIGHUP);
}

bool ending()
{
    return ended_by != 0;
}

int finish()
{
    // Until what got the signal has ended, the handlers stay: a second signal meanwhile is
    // passed on too, and the ticks look for what has ended.
    sigset_t was;
    (void)sigprocmask(SIG_BLOCK, &handled, &was);
    const int sig = ended_by;
    returned = 1;
    (void)sigprocmask(SIG_SETMASK, &was, nullptr);
    constexpr timespec moment = {0, 10'000'000};
    while (sig != 0 && settled == 0) {
        (void)nanosleep(&moment, nullptr);
    }
    (void)sigprocmask(SIG_BLOCK, &handled, nullptr);
    const itimerval off = {};
    (void)setitimer(ITIMER_REAL, &off, nullptr);
    if (sig != 0) {
        (void)disposition::set(SIGALRM, SIG_IGN); // and a tick already due with it
    }
    (void)sigaction(SIGTERM, &on_term, nullptr);
    (void)sigaction(SIGHUP, &on_hup, nullptr);
    const int ended = ended_by; // one come since, too
    (void)sigprocmask(SIG_SETMASK, &was, nullptr);
    return ended;
}

} // namespace passing
