// SPDX-License-Identifier: MIT
// The processes below hello, found in /proc where it is of hello's own PID namespace, and the
// signals passed on to them. Async-signal-safe: memory comes from pages, not malloc.
#pragma once

namespace tree
{

// Adds to the processes known those below hello not yet known, each confirmed a child of the
// one it was listed under; false where there is no /proc of hello's to look in.
bool walk();

// Sends sig to the processes known not yet sent one (again: to all of them), each found last
// first, so that every process gets it before the one that waits for it; each is still the
// process that was found below hello.
void signal(int sig, bool again);

// Whether any process sent a signal still runs; those that hello adopted are reaped.
bool running();

} // namespace tree
