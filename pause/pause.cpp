// SPDX-License-Identifier: MIT
// pause: prompt, wait for one key on standard input, and leave the terminal as it was found.
#include "keys.hpp"
#include "language.hpp"
#include "signals.hpp"
#include "usage.hpp"

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <termios.h>
#include <unistd.h>

namespace
{

const char *prompt; // in the user's language
termios saved;      // the terminal as found, set back on every way out
termios key_mode;   // the same without line editing and echo
pid_t own_group;    // pause's process group, in the foreground when it holds the terminal

// Writes text, unless output cannot take it within wait_ms (no limit if negative), fails, or a
// signal comes first: output that fails changes nothing, and a signal is seen to at once.
void put(const char *text, int wait_ms = -1, int fd = STDOUT_FILENO)
{
    std::size_t len = std::strlen(text);
    while (len > 0 && signals::wait(fd, true, wait_ms) > 0) {
        const ssize_t n = write(fd, text, len);
        if (n > 0) {
            text += n;
            len -= static_cast<std::size_t>(n);
        } else if (errno != EAGAIN) {
            return;
        }
    }
}

int set_terminal(const termios &mode)
{
    return signals::as_foreground([&mode] { return tcsetattr(STDIN_FILENO, TCSANOW, &mode); });
}

// Called from a fault's handler too: only async-signal-safe calls.
void restore()
{
    // From the background (killed while stopped), the terminal and its line are the shell's.
    if (tcgetpgrp(STDIN_FILENO) == own_group) {
        (void)tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        put("\n", 0); // the caller's next line starts on a line of its own, if that can be at once
    }
}

[[noreturn]] void end_by(int sig)
{
    restore();
    signals::end(sig);
}

bool ends(int sig)
{
    return sig != 0 && sig != SIGTSTP && sig != SIGCONT;
}

// Ctrl+Z gives the terminal back and stops pause; continued, it sets key mode again and prompts
// below whatever the shell wrote meanwhile. Where nothing can stop pause, as when a terminal
// emulator starts it, key mode comes back at once and there is no prompt.
void stop()
{
    const bool stopped = signals::suspend([] { (void)set_terminal(saved); });
    if (const int sig = signals::take(); ends(sig)) {
        end_by(sig);
    }
    (void)set_terminal(key_mode);
    if (stopped) {
        put(prompt);
    }
}

int read_key()
{
    for (;;) {
        const int c = keys::read_key(eight_bit_charset());
        const int sig = signals::take();
        if (ends(sig)) {
            end_by(sig);
        }
        if (c != keys::interrupted) {
            return c;
        }
        if (sig == SIGTSTP) {
            stop();
        } else if (sig == SIGCONT) { // after SIGSTOP: the shell may have set its own modes
            (void)set_terminal(key_mode);
        }
    }
}

} // namespace

int main(int /*argc*/, char *argv[])
{
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    // A reader gone away, or a file at the size limit, is output that fails, no more.
    (void)sigaction(SIGPIPE, &ignore, nullptr);
    (void)sigaction(SIGXFSZ, &ignore, nullptr);
    prompt = localized_prompt(argv[0]);
    if (const int status = command_line(argv + 1); status >= 0) {
        return status;
    }
    // Started in the background, wait to be brought to the foreground: the terminal as found is
    // the one the shell hands over then, not the one its line editor holds meanwhile. tcdrain
    // is a terminal request that changes nothing.
    int err =
        signals::as_foreground([] { return tcdrain(STDIN_FILENO); }) != 0 && errno == EIO ? EIO : 0;
    const bool terminal = err == 0 && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        own_group = tcgetpgrp(STDIN_FILENO);
        // Every key reaches pause: Ctrl+S and Ctrl+Q too (no flow control), and Enter where the
        // terminal ignores carriage returns.
        key_mode = saved;
        key_mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
        key_mode.c_iflag &= ~static_cast<tcflag_t>(IXON | IGNCR);
        key_mode.c_cc[VMIN] = 1;
        key_mode.c_cc[VTIME] = 0;
        signals::catch_all(restore);
        if (set_terminal(key_mode) != 0) { // TCSANOW: keys typed ahead stay
            err = errno;
        }
    }
    put(prompt);

    if (err == 0 && (terminal ? read_key() : keys::read_char()) == keys::read_err) {
        err = errno;
    }
    if (terminal) {
        (void)set_terminal(saved);
    }
    put("\n");
    if (err == 0) {
        return 0;
    }
    put("pause: standard input: ", -1, STDERR_FILENO);
    put(std::strerror(err), -1, STDERR_FILENO);
    put("\n", -1, STDERR_FILENO);
    return 1;
}
