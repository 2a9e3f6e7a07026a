// SPDX-License-Identifier: MIT
#include "signals.hpp"

#include <array>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <poll.h>

namespace signals
{
namespace
{

volatile std::sig_atomic_t got;       // a signal that ends pause, or else SIGTSTP; 0 if none
volatile std::sig_atomic_t continued; // SIGCONT came
sigset_t caught;                      // blocked but while waiting
sigset_t inherited;                   // the caller's mask, in force while waiting
bool catching;

// Faults of pause's own (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS) are left to their
// default action: a handler that only records them would return to the faulting instruction.
constexpr std::array fatal = {
    SIGHUP,    SIGINT,  SIGQUIT, SIGABRT,   SIGTERM, SIGALRM,
    SIGUSR1,   SIGUSR2, SIGXCPU, SIGVTALRM, SIGPROF, SIGXFSZ,
#ifdef SIGPOLL
    SIGPOLL,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
};

extern "C" void record(int sig)
{
    if (sig == SIGCONT) {
        continued = 1;
    } else if (got == 0 || got == SIGTSTP) {
        got = sig;
    }
}

template <class Action> void each_caught(Action action)
{
    for (const int sig : fatal) {
        action(sig);
    }
    for (int sig = SIGRTMIN; sig < NSIG; ++sig) {
        action(sig);
    }
    action(SIGTSTP);
    action(SIGCONT);
}

void install(int sig, const struct sigaction &action)
{
    struct sigaction was = {};
    if (sigaction(sig, &action, &was) == 0 && was.sa_handler == SIG_IGN && sig != SIGCONT) {
        (void)sigaction(sig, &was, nullptr); // as nohup or `trap '' TSTP` left it
    }
}

} // namespace

void catch_all()
{
    (void)sigemptyset(&caught);
    each_caught([](int sig) { (void)sigaddset(&caught, sig); });
    (void)sigprocmask(SIG_BLOCK, &caught, &inherited);
    struct sigaction action = {};
    action.sa_handler = record;
    action.sa_mask = caught;
    each_caught([&action](int sig) { install(sig, action); });
    catching = true;
}

int wait(int fd, bool for_output, int wait_ms)
{
    if (got != 0 || continued != 0) {
        errno = EINTR;
        return -1;
    }
    pollfd watched = {fd, static_cast<short>(for_output ? POLLOUT : POLLIN), 0};
    const timespec limit = {wait_ms / 1000, (wait_ms % 1000) * 1000000L};
    return ppoll(&watched, 1, wait_ms < 0 ? nullptr : &limit, catching ? &inherited : nullptr);
}

int take()
{
    const int sig = got != 0 ? got : continued != 0 ? SIGCONT : 0;
    got = 0;
    continued = 0;
    return sig;
}

// Between restore() and the stop, the shell may take the terminal back: the job's other processes
// (hello, sh) stop at once. restore() is then stopped by SIGTTOU and `fg` continues it; pause
// must not stop again after that continue, or nothing would wake it. Signals come through
// meanwhile, so that `kill %1` (SIGTERM, then SIGCONT) is seen before pause asks for the
// terminal again.
bool suspend(void (*restore)())
{
    continued = 0;
    sigset_t was;
    (void)sigprocmask(SIG_SETMASK, &inherited, &was);
    restore();
    if (continued == 0 && (got == 0 || got == SIGTSTP)) {
        got = 0;
        raise_default(SIGTSTP); // the kernel discards it where nothing may stop pause
    }
    (void)sigprocmask(SIG_SETMASK, &was, nullptr);
    const bool stopped = continued != 0;
    continued = 0;
    return stopped;
}

void raise_default(int sig)
{
    struct sigaction action = {};
    struct sigaction was = {};
    action.sa_handler = SIG_DFL;
    (void)sigaction(sig, &action, &was);
    sigset_t only;
    (void)sigemptyset(&only);
    (void)sigaddset(&only, sig);
    (void)std::raise(sig);
    (void)sigprocmask(SIG_UNBLOCK, &only, nullptr); // it takes effect here
    (void)sigprocmask(SIG_BLOCK, &only, nullptr);
    (void)sigaction(sig, &was, nullptr);
}

} // namespace signals
