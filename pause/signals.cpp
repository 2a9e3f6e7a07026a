// SPDX-License-Identifier: MIT
#include "signals.hpp"

#include "ready.hpp"

#include <array>
#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace signals
{
namespace
{

volatile std::sig_atomic_t got;       // a signal that ends pause, or else SIGTSTP; 0 if none
volatile std::sig_atomic_t continued; // SIGCONT came
sigset_t caught;                      // blocked but while waiting
sigset_t inherited;                   // the caller's mask, in force while waiting
bool catching;
void (*restore_terminal)();

// SIGXFSZ is not here: output over the file-size limit is output that fails (see main).
constexpr std::array fatal = {
    SIGHUP,    SIGINT, SIGQUIT, SIGTERM, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU, SIGVTALRM, SIGPROF,
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
// Faults of pause's own are never blocked (the kernel would kill pause outright) nor merely
// recorded (the faulting instruction would run again): their handler sets the terminal back and
// ends pause at once, whether the fault was real or sent by kill.
constexpr std::array faults = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS, SIGABRT};

extern "C" void record(int sig)
{
    if (sig == SIGCONT) {
        continued = 1;
    } else if (got == 0 || got == SIGTSTP) {
        got = sig;
    }
    ready::wake();
}

extern "C" void fault(int sig)
{
    restore_terminal();
    end(sig);
}

template <class Action> void each_caught(Action action)
{
    for (const int sig : fatal) {
        action(sig);
    }
#ifdef SIGRTMIN
#if defined(__linux__) && defined(NSIG)
    constexpr int last_rt = NSIG - 1; // SIGRTMAX, without the library call glibc makes of it
#else
    const int last_rt = SIGRTMAX; // FreeBSD's NSIG lies below SIGRTMIN
#endif
    for (int sig = SIGRTMIN; sig <= last_rt; ++sig) {
        action(sig);
    }
#endif
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

void catch_all(void (*restore)())
{
    restore_terminal = restore;
    ready::prepare();
    (void)sigemptyset(&caught);
    each_caught([](int sig) { (void)sigaddset(&caught, sig); });
    (void)sigprocmask(SIG_BLOCK, &caught, &inherited);
    struct sigaction action = {};
    action.sa_handler = record;
    action.sa_mask = caught;
    each_caught([&action](int sig) { install(sig, action); });
    action.sa_handler = fault;
    for (const int sig : faults) {
        install(sig, action);
    }
    catching = true;
}

int wait(int fd, bool for_output, int wait_ms, bool within_key)
{
    for (;;) {
        if (within_key ? ending() : got != 0 || continued != 0) {
            errno = EINTR;
            return -1;
        }
        // Within a key, a signal that does not end pause starts the wait for the next byte anew.
        const int n = ready::wait(fd, for_output, wait_ms, catching ? &inherited : nullptr);
        if (n >= 0 || errno != EINTR || !within_key) {
            return n;
        }
    }
}

bool ending()
{
    return got != 0 && got != SIGTSTP;
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

void end(int sig)
{
    raise_default(sig);
    _exit(128 + sig);
}

void let_through(sigset_t &was)
{
    sigset_t ttou;
    (void)sigemptyset(&ttou);
    (void)sigaddset(&ttou, SIGTTOU);
    (void)sigprocmask(catching ? SIG_SETMASK : SIG_BLOCK, &inherited, &was);
    (void)sigprocmask(SIG_UNBLOCK, &ttou, nullptr);
}

} // namespace signals
