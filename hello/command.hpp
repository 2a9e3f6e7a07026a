// SPDX-License-Identifier: MIT
// What hello does around the command processor's run of "pause".
#pragma once

// Before the greeting: output that fails must not end hello.
void shield_greeting();

// Before the command: it gets the caller's dispositions and finds the pause beside hello, found
// from argv0; a signal that ends hello meanwhile ends the command too.
void prepare_command(const char *argv0);

// After the command, which ended with status (as system() gives it): hello's exit status.
int exit_status(int status);
