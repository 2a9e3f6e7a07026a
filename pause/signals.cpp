// SPDX-License-Identifier: MIT
// Catching, recording and taking signals; stopping and ending pause by one.
#include "signals.hpp"

#include "disposition.hpp"
#include "ready.hpp"

#include <array>
#include <unistd.h>

namespace signals
{
namespace
{

volatile std::sig_atomic_t got;       // as Pending has them
volatile std::sig_atomic_t continued; // as Pending has them
sigset_t caught;                      // blocked but while waiting
sigset_t inherited;                   // the caller's mask, in force while waiting
bool catching;

// Recorded for the code that waited; not SIGXFSZ: output over the size limit only fails.
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
    } else {
        got = kept(got, sig);
    }
    ready::wake();
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

// Catches sig, unless the caller ignored it (as nohup or `trap '' TSTP` leave it).
void install(int sig, void (*handler)(int), int flags = 0)
{
    const struct sigaction was = disposition::set(sig, handler, flags, &caught);
    if (was.sa_handler == SIG_IGN && sig != SIGCONT) {
        (void)sigaction(sig, &was, nullptr);
    }
}

// Sends sig to pause with its default action and lets it take effect.
void raise_default(int sig)
{
    const struct sigaction was = disposition::set(sig, SIG_DFL);
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
    ready::prepare();
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

Pending pending()
{
    return {got, continued != 0};
}

int take()
{
    const int sig = taken(pending());
    got = 0;
    continued = 0;
    return sig;
}

const sigset_t *waiting_mask()
{
    return catching ? &inherited : nullptr;
}

// Ctrl+Z is taken, the terminal set back meanwhile. The shell may have taken the terminal back
// first (hello or sh stop at once): setting it back was then stopped by SIGTTOU and `fg` continued
// it, and pause must not stop again after that continue. So what came meanwhile is let through.
bool stop()
{
    sigset_t was;
    (void)sigprocmask(SIG_SETMASK, &inherited, &was);
    if (continued == 0 && !ending(got)) {
        got = 0;
        raise_default(SIGTSTP); // the kernel discards it where nothing may stop pause
    }
    (void)sigprocmask(SIG_SETMASK, &was, nullptr);
    const bool stopped = continued != 0;
    continued = 0;
    return stopped;
}

void die_by(int sig)
{
    raise_default(sig);
    _exit(128 + sig);
}

} // namespace signals
