// SPDX-License-Identifier: MIT
// Waiting for a file with the caught signals let through, and what a signal that comes
// meanwhile breaks off.
#pragma once

#include "signals.hpp"

namespace waiting
{

// Whether what is pending ends a wait: any signal, or within a key (whose bytes are still
// coming) only one that ends pause, Ctrl+Z and SIGCONT left for after the key.
constexpr bool broken_off(signals::Pending pending, bool within_key)
{
    return within_key ? signals::ending(pending.sig) : pending.sig != 0 || pending.continued;
}

// Waits until fd is ready for reading (or writing) or wait_ms have passed (no limit if
// negative), with the caught signals let through: 1 ready, 0 not, -1 failed (errno EINTR when a
// signal that breaks the wait off has come: see signals::take).
int for_file(int fd, bool for_output, int wait_ms, bool within_key = false);

} // namespace waiting
