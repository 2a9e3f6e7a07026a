// SPDX-License-Identifier: MIT
// The terminal: its settings as found, key mode, foreground requests, and setting it back.
#include "terminal.hpp"

#include "say.hpp"
#include "signals.hpp"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace terminal
{
namespace
{

termios saved;          // the terminal as found, set back on every way out
termios key_mode;       // the same without line editing and echo
pid_t own_group;        // pause's process group, in the foreground when it holds the terminal
int own = STDIN_FILENO; // the file keys are read from

// A request made as a foreground job makes it: set mode, or (none given) tcdrain, which
// changes nothing. From the background SIGTTOU stops pause until it is brought to the
// foreground, whatever the caller did with SIGTTOU; where nothing can bring it there (a process
// group with no shell above it), the request fails with EIO. Stopped there, pause still hears
// `kill`: a signal that ends it makes the request give up (EINTR).
int as_foreground(const termios *mode)
{
    struct sigaction stop = {};
    struct sigaction was = {};
    stop.sa_handler = SIG_DFL;
    (void)sigaction(SIGTTOU, &stop, &was);
    sigset_t mask;
    signals::let_through(mask);
    int result = 0;
    do {
        result = mode != nullptr ? tcsetattr(STDIN_FILENO, TCSANOW, mode) : tcdrain(STDIN_FILENO);
    } while (result != 0 && errno == EINTR && !signals::end_pending());
    const int err = errno;
    (void)sigprocmask(SIG_SETMASK, &mask, nullptr);
    (void)sigaction(SIGTTOU, &was, nullptr);
    errno = err;
    return result;
}

// Another reader of the terminal (a parent) may take the byte between the wait and the read.
// Keys are read, then, from an open file of pause's own that does not block, so that pause never
// sleeps in read() with its signals blocked; O_NONBLOCK on standard input itself would change
// the file the shell shares. It is opened through /proc/self/fd/0, which leads to the file
// itself: the terminal's name may stand for another terminal here (a container's own /dev/pts).
// Where that cannot be opened, standard input serves.
void open_own()
{
    const int fd = open("/proc/self/fd/0", O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    own = fd >= 0 ? fd : own;
}

extern "C" void fault(int sig)
{
    set_back_now();
    signals::end(sig);
}

} // namespace

bool save()
{
    // The settings as found are those the shell hands over with the foreground, not those its
    // line editor holds meanwhile.
    if (as_foreground(nullptr) != 0 && errno == EIO) {
        return false;
    }
    if (tcgetattr(STDIN_FILENO, &saved) != 0) {
        return false;
    }
    own_group = tcgetpgrp(STDIN_FILENO);
    // Every key reaches pause: Ctrl+S and Ctrl+Q too (no flow control), and Enter where the
    // terminal ignores carriage returns.
    key_mode = saved;
    key_mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    key_mode.c_iflag &= ~static_cast<tcflag_t>(IXON | IGNCR);
    key_mode.c_cc[VMIN] = 1;
    key_mode.c_cc[VTIME] = 0;
    open_own();
    return true;
}

int set_keys()
{
    signals::on_faults(fault);
    return as_foreground(&key_mode) == 0 ? 0 : errno; // TCSANOW: keys typed ahead stay
}

void set_back()
{
    (void)as_foreground(&saved);
}

void set_back_now()
{
    // From the background (killed while stopped), the terminal and its line are the shell's.
    if (tcgetpgrp(STDIN_FILENO) == own_group) {
        (void)tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        (void)say("\n", STDOUT_FILENO, 0); // the caller's next line on a line of its own
    }
}

int input()
{
    return own;
}

} // namespace terminal
