// SPDX-License-Identifier: MIT
// What hello hands the command and its own caller: the caller's dispositions, a PATH that finds
// the pause beside hello, and the status by which hello ends.
#pragma once

namespace handover
{

// Before the greeting: output that fails must not end hello.
void shield_greeting();

// Before the command: it gets the caller's dispositions and finds the pause beside hello, found
// from argv0.
void prepare(const char *argv0);

// After the command, which ended with status (as system() gives it, -1 where it was not
// started): hello's exit status, or its end by ended_by where that signal (non-zero) came.
int exit_status(int status, int ended_by);

} // namespace handover
