// SPDX-License-Identifier: MIT
// What pause writes: the prompt, the line end, the help and its errors, each message whole.
#pragma once

#include <unistd.h>

namespace output
{

// Writes text to fd whole, unless output cannot take it within wait_ms (no limit if negative),
// fails, or a signal comes first: output that fails changes nothing else, and a signal is seen
// to at once. False where not all of it was written. Async-signal-safe.
bool say(const char *text, int fd = STDOUT_FILENO, int wait_ms = -1);

} // namespace output
