// SPDX-License-Identifier: MIT
// A signal's disposition, set and handed back, so that what a program changes it can put back
// as it found it.
#pragma once

#include <csignal>

namespace disposition
{

// Gives sig the handler how (SIG_DFL, SIG_IGN or a function), run with mask blocked (none if
// null) and flags, and returns the disposition it had. Async-signal-safe.
struct sigaction set(int sig, void (*how)(int), int flags = 0, const sigset_t *mask = nullptr);

} // namespace disposition
