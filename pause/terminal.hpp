// SPDX-License-Identifier: MIT
// The terminal pause reads its key from: its settings as found and key mode, requests made as a
// foreground job, a file of pause's own to read it through, and setting it all back.
#pragma once

#include <sys/types.h>
#include <termios.h>

namespace terminal
{

// The terminal as pause found it, and how pause reads it.
struct Settings {
    termios found; // set back on every way out
    termios keys;  // the same without line editing and echo
    pid_t group;   // pause's process group, in the foreground when it holds the terminal
    int input;     // the file keys are read from: pause's own on the terminal, or standard input
};

// Saves standard input's settings as found, once pause is in the foreground (started in the
// background, it waits to be brought there). False where standard input is no terminal, or is
// one that pause can never reach (errno EIO: a process group with no shell above it).
bool save(Settings &tty);

// Key mode: no line editing and no echo, so that every key reaches pause as typed. From here
// on a fault sets the terminal back before it ends pause. 0, or errno.
int set_keys(const Settings &tty);

// The settings as found, set as a foreground job (from the background, pause waits for `fg`).
void set_back(const Settings &tty);

// The settings as found at once, where pause holds the foreground, and the prompt's line ended
// if output takes it: the way out by a signal. Async-signal-safe.
void set_back_now(const Settings &tty);

} // namespace terminal
