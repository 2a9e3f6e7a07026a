// SPDX-License-Identifier: MIT
// The terminal: its settings as found, key mode, foreground requests, and setting it back.
#include "terminal.hpp"

#include "disposition.hpp"
#include "output.hpp"
#include "signals.hpp"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace terminal
{
namespace
{

const Settings *faulting; // what a fault sets back

// A request made as a foreground job makes it: set mode, or (none given) tcdrain, which
// changes nothing. From the background SIGTTOU stops pause until it is brought to the
// foreground, whatever the caller did with SIGTTOU; where nothing can bring it there (a process
// group with no shell above it), the request fails with EIO. Stopped there, pause still hears
// `kill`: the caught signals are let through, and one that ends pause makes the request give up
// (EINTR).
int as_foreground(const termios *mode)
{
    const struct sigaction was = disposition::set(SIGTTOU, SIG_DFL);
    sigset_t mask;
    const sigset_t *waiting = signals::waiting_mask();
    (void)sigprocmask(waiting != nullptr ? SIG_SETMASK : SIG_BLOCK, waiting, &mask);
    sigset_t ttou;
    (void)sigemptyset(&ttou);
    (void)sigaddset(&ttou, SIGTTOU);
    (void)sigprocmask(SIG_UNBLOCK, &ttou, nullptr);
    int result = 0;
    do {
        result = mode != nullptr ? tcsetattr(STDIN_FILENO, TCSANOW, mode) : tcdrain(STDIN_FILENO);
    } while (result != 0 && errno == EINTR && !signals::ending(signals::pending().sig));
    const int err = errno;
    (void)sigprocmask(SIG_SETMASK, &mask, nullptr);
    (void)sigaction(SIGTTOU, &was, nullptr);
    errno = err;
    return result;
}

// The terminal's own device, by ioctl(), whose request C libraries give other types.
template <class Request>
unsigned int device(int (*control)(int, Request, ...), int fd, unsigned long request)
{
    unsigned int dev = 0;
    return control(fd, static_cast<Request>(request), &dev) == 0 ? dev : 0;
}

// Whether a and b are open files of one terminal. The device's number does not tell: /dev/tty and
// a pty's master side (/dev/ptmx) name a terminal by the file that opened them, so Linux tells
// the terminal's own device by TIOCGDEV. Elsewhere both must be one file.
bool same_terminal(int a, int b)
{
#ifdef TIOCGDEV
    const unsigned int dev = device(ioctl, a, TIOCGDEV);
    return dev != 0 && dev == device(ioctl, b, TIOCGDEV);
#else
    struct stat one = {};
    struct stat other = {};
    return fstat(a, &one) == 0 && fstat(b, &other) == 0 && one.st_dev == other.st_dev &&
           one.st_ino == other.st_ino && one.st_rdev == other.st_rdev;
#endif
}

// Another reader of the terminal (a parent) may take the byte between the wait and the read.
// Keys are read, then, from an open file of pause's own that does not block, so that pause never
// sleeps in read() with its signals blocked; O_NONBLOCK on standard input itself would change
// the file the shell shares. It is opened through /proc/self/fd/0, which leads to the file
// itself: the terminal's name may stand for another terminal here (a container's own /dev/pts).
// Where that cannot be opened, or opens another terminal than standard input's (a cloning device
// such as /dev/tty or /dev/ptmx gives a new one), standard input serves.
int own_input()
{
    const int fd = open("/proc/self/fd/0", O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0 && !same_terminal(fd, STDIN_FILENO)) {
        (void)close(fd);
        return STDIN_FILENO;
    }
    return fd >= 0 ? fd : STDIN_FILENO;
}

extern "C" void fault(int sig)
{
    set_back_now(*faulting);
    signals::die_by(sig);
}

} // namespace

bool save(Settings &tty)
{
    // The settings as found are those the shell hands over with the foreground, not those its
    // line editor holds meanwhile.
    if ((as_foreground(nullptr) != 0 && errno == EIO) || tcgetattr(STDIN_FILENO, &tty.found) != 0) {
        return false;
    }
    tty.group = tcgetpgrp(STDIN_FILENO);
    // Every key reaches pause: Ctrl+S and Ctrl+Q too (no flow control), and Enter where the
    // terminal ignores carriage returns.
    tty.keys = tty.found;
    tty.keys.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    tty.keys.c_iflag &= ~static_cast<tcflag_t>(IXON | IGNCR);
    tty.keys.c_cc[VMIN] = 1;
    tty.keys.c_cc[VTIME] = 0;
    tty.input = own_input();
    return true;
}

int set_keys(const Settings &tty)
{
    faulting = &tty;
    signals::on_faults(fault);
    return as_foreground(&tty.keys) == 0 ? 0 : errno; // TCSANOW: keys typed ahead stay
}

void set_back(const Settings &tty)
{
    (void)as_foreground(&tty.found);
}

void set_back_now(const Settings &tty)
{
    // From the background (killed while stopped), the terminal and its line are the shell's.
    if (tcgetpgrp(STDIN_FILENO) == tty.group) {
        (void)tcsetattr(STDIN_FILENO, TCSANOW, &tty.found);
        (void)output::say("\n", STDOUT_FILENO, 0); // the caller's next line on a line of its own
    }
}

} // namespace terminal
