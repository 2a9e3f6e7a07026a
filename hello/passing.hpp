// SPDX-License-Identifier: MIT
// SIGTERM or SIGHUP (a supervisor's stop, `kill`, a hangup) while the command runs ends it and
// hello: hello passes the signal on to the command's processes, and ends by it.
#pragma once

namespace passing
{

// Before the command: SIGTERM and SIGHUP caught, unless hello's caller ignores them.
void arm();

// Whether one of them has come.
bool ending();

// After the command: the caller's dispositions back; where a signal came, the command's
// processes waited for (a second after it came, at most). Returns that signal, 0 where none.
int finish();

} // namespace passing
