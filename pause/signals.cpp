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

volatile std::sig_atomic_t got; // the signal recorded, 0 if none
sigset_t caught;                // blocked but while waiting
sigset_t inherited;             // the caller's mask, in force while waiting
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

int rank(int sig)
{
    return sig == 0 ? 0 : sig == SIGCONT ? 1 : sig == SIGTSTP ? 2 : 3;
}

extern "C" void record(int sig)
{
    if (rank(sig) >= rank(got)) {
        got = sig;
    }
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
    for (const int sig : fatal) {
        (void)sigaddset(&caught, sig);
    }
    for (int sig = SIGRTMIN; sig < NSIG; ++sig) {
        (void)sigaddset(&caught, sig);
    }
    (void)sigaddset(&caught, SIGTSTP);
    (void)sigaddset(&caught, SIGCONT);
    (void)sigprocmask(SIG_BLOCK, &caught, &inherited);
    struct sigaction action = {};
    action.sa_handler = record;
    action.sa_mask = caught;
    for (const int sig : fatal) {
        install(sig, action);
    }
    for (int sig = SIGRTMIN; sig < NSIG; ++sig) {
        install(sig, action);
    }
    install(SIGTSTP, action);
    install(SIGCONT, action);
    catching = true;
}

int wait(int fd, bool for_output, int wait_ms)
{
    if (got != 0) {
        errno = EINTR;
        return -1;
    }
    pollfd watched = {fd, static_cast<short>(for_output ? POLLOUT : POLLIN), 0};
    const timespec limit = {wait_ms / 1000, (wait_ms % 1000) * 1000000L};
    return ppoll(&watched, 1, wait_ms < 0 ? nullptr : &limit, catching ? &inherited : nullptr);
}

int take()
{
    const int sig = got;
    got = 0;
    return sig;
}

// Between restore() and the stop, the shell may take the terminal back: the job's other processes
// (hello, sh) stop at once. restore() is then stopped by SIGTTOU and `fg` continues it; pause
// must not stop again after that continue, or nothing would wake it.
bool suspend(void (*restore)())
{
    sigset_t cont;
    (void)sigemptyset(&cont);
    (void)sigaddset(&cont, SIGCONT);
    (void)sigprocmask(SIG_UNBLOCK, &cont, nullptr);
    restore();
    if (got != SIGCONT) {
        raise_default(SIGTSTP); // the kernel discards it where nothing may stop pause
    }
    (void)sigprocmask(SIG_BLOCK, &cont, nullptr);
    return take() == SIGCONT;
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
