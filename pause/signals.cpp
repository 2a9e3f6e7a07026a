// SPDX-License-Identifier: MIT
// Catching, recording and taking signals; stopping and ending pause by one.
#include "signals.hpp"

#include "waiting.hpp"

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

// Recorded for the code that waited. SIGXFSZ is not here: output over the file-size limit is
// output that fails, no more.
constexpr std::array ending_by_default = {
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
// Never blocked (the kernel would kill pause outright) nor recorded: handled at once, whether
// the fault was real or sent by kill.
constexpr std::array faults = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS, SIGABRT};

extern "C" void record(int sig)
{
    if (sig == SIGCONT) {
        continued = 1;
    } else if (!ends(got)) {
        got = sig;
    }
    waiting::wake();
}

template <class Action> void each_caught(Action action)
{
    for (const int sig : ending_by_default) {
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

void install(int sig, void (*handler)(int), int flags = 0)
{
    struct sigaction action = {};
    struct sigaction was = {};
    action.sa_handler = handler;
    action.sa_mask = caught;
    action.sa_flags = flags;
    if (sigaction(sig, &action, &was) == 0 && was.sa_handler == SIG_IGN && sig != SIGCONT) {
        (void)sigaction(sig, &was, nullptr); // as nohup or `trap '' TSTP` left it
    }
}

// Sends sig to pause with its default action, and lets it take effect.
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

} // namespace

void catch_all()
{
    waiting::prepare();
    (void)sigemptyset(&caught);
    each_caught([](int sig) { (void)sigaddset(&caught, sig); });
    (void)sigprocmask(SIG_BLOCK, &caught, &inherited);
    each_caught([](int sig) { install(sig, record); });
    catching = true;
}

void on_faults(void (*handler)(int))
{
    for (const int sig : faults) {
        install(sig, handler, static_cast<int>(SA_RESETHAND)); // a fault in it: the default
    }
}

bool ends(int sig)
{
    return sig != 0 && sig != SIGTSTP && sig != SIGCONT;
}

bool end_pending()
{
    return ends(got);
}

int take()
{
    const int sig = got != 0 ? got : continued != 0 ? SIGCONT : 0;
    got = 0;
    continued = 0;
    return sig;
}

int wait_for_file(int fd, bool for_output, int wait_ms, bool only_ending)
{
    for (;;) {
        if (only_ending ? end_pending() : got != 0 || continued != 0) {
            errno = EINTR;
            return -1;
        }
        const int n =
            waiting::until_ready(fd, for_output, wait_ms, catching ? &inherited : nullptr);
        if (n >= 0 || errno != EINTR || !only_ending) {
            return n;
        }
    }
}

// Ctrl+Z is taken, the terminal set back meanwhile. The shell may have taken the terminal back
// before that (the job's other processes, hello or sh, stop at once): setting it back was then
// stopped by SIGTTOU and `fg` continued it, and pause must not stop again after that continue,
// or nothing would wake it. So what came meanwhile is let through first, so that `kill %1`
// (SIGTERM, then SIGCONT) is seen too.
bool stop()
{
    sigset_t was;
    (void)sigprocmask(SIG_SETMASK, &inherited, &was);
    if (continued == 0 && !end_pending()) {
        got = 0;
        raise_default(SIGTSTP); // the kernel discards it where nothing may stop pause
    }
    (void)sigprocmask(SIG_SETMASK, &was, nullptr);
    const bool stopped = continued != 0;
    continued = 0;
    return stopped;
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
