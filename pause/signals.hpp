// SPDX-License-Identifier: MIT
// Signals, taken as a careful reader takes them: a handler only records which signal came, the
// caught signals are blocked but while pause waits, and the code that waited decides what to do.
#pragma once

#include <csignal>

namespace signals
{

// What the handler recorded and nobody has taken yet.
struct Pending {
    int sig;        // a signal that ends pause, or else SIGTSTP; 0 if none
    bool continued; // SIGCONT came
};

// Catches Ctrl+Z (SIGTSTP), SIGCONT and every signal that ends a process by default and can be
// caught, blocked from now on but while pause waits; a signal the caller ignored stays ignored.
void catch_all();

// Faults of pause's own (SIGSEGV, SIGABRT, ...) cannot wait to be recorded: the faulting
// instruction would run again. handler runs at once instead, with the caught signals blocked,
// and once: a fault within it takes the default action.
void on_faults(void (*handler)(int));

// Whether sig, as take gives it, ends pause: all but SIGTSTP, SIGCONT and none (0).
constexpr bool ending(int sig)
{
    return sig != 0 && sig != SIGTSTP && sig != SIGCONT;
}

// What is recorded once incoming (not SIGCONT) comes where recorded was: the first signal that
// ends pause stays, and one that ends pause wins over a stop.
constexpr int kept(int recorded, int incoming)
{
    return ending(recorded) ? recorded : incoming;
}

// What take gives of what is pending: a signal that ends pause or a stop, else a continue.
constexpr int taken(Pending pending)
{
    return pending.sig != 0 ? pending.sig : pending.continued ? SIGCONT : 0;
}

// What is pending now.
Pending pending();

// The signal that came since the last call, 0 if none (see taken).
int take();

// The caller's mask, in force while pause waits: none before catch_all.
const sigset_t *waiting_mask();

// Stops pause as Ctrl+Z would, unless a continue or a signal that ends pause came since the
// last take. False where nothing stopped it (a process group with no shell above it, which the
// kernel does not stop); true once it is continued.
bool stop();

// Ends pause by sig, as though it had not been caught. Where the kernel discards it, as it does
// for the first process of a PID namespace (a container's), pause exits as a shell reports such a
// death: 128 + sig. Async-signal-safe.
[[noreturn]] void die_by(int sig);

} // namespace signals
