// SPDX-License-Identifier: MIT
// pause: prompt, wait for one key on standard input, and leave the terminal as it was found.
#include "keys.hpp"
#include "language.hpp"

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <termios.h>
#include <unistd.h>

namespace
{

const char *prompt;                   // in the user's language
termios saved;                        // the terminal as found, set back on every way out
termios key_mode;                     // the same without line editing and echo
volatile std::sig_atomic_t waiting;   // key_mode is in force, or should be after a stop
volatile std::sig_atomic_t continued; // SIGCONT came since the last Ctrl+Z
struct sigaction stop_action;         // on_stop, put back after each stop

void put(const char *text)
{
    std::size_t len = std::strlen(text);
    while (len > 0) {
        const ssize_t n = write(STDOUT_FILENO, text, len);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return; // output that fails changes nothing: the key is still awaited
        }
        text += n;
        len -= static_cast<std::size_t>(n);
    }
}

extern "C" void on_fatal(int sig)
{
    (void)tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    put("\n"); // the caller's next line starts on a line of its own
    (void)std::signal(sig, SIG_DFL);
    (void)std::raise(sig); // blocked in here, so it takes effect as the handler returns
}

// Stop and continue: Ctrl+Z (SIGTSTP) sets the terminal back as found, then really stops pause
// with the default action. On SIGCONT, while a key is awaited, key mode comes back, and once
// the stop has returned the prompt is written again, below whatever the shell wrote meanwhile.
// Where nothing can stop pause (a process group with no shell above it, as a terminal emulator
// starts it) the kernel discards the stop: key mode comes back at once and there is no prompt.
extern "C" void on_stop(int /*sig*/)
{
    const int saved_errno = errno;
    (void)tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    continued = 0;
    (void)std::signal(SIGTSTP, SIG_DFL);
    (void)std::raise(SIGTSTP); // not blocked (SA_NODEFER): stops here, if it can
    (void)sigaction(SIGTSTP, &stop_action, nullptr);
    if (waiting != 0 && continued != 0) {
        put(prompt);
    } else if (waiting != 0) {
        (void)tcsetattr(STDIN_FILENO, TCSANOW, &key_mode);
    }
    errno = saved_errno;
}

extern "C" void on_cont(int /*sig*/)
{
    const int saved_errno = errno;
    continued = 1;
    if (waiting != 0) {
        (void)tcsetattr(STDIN_FILENO, TCSANOW, &key_mode);
    }
    errno = saved_errno;
}

void catch_signals()
{
    struct sigaction sa = {};
    (void)sigfillset(&sa.sa_mask);
    sa.sa_handler = on_fatal;
    for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        struct sigaction was = {};
        if (sigaction(sig, nullptr, &was) == 0 && was.sa_handler != SIG_IGN) { // as nohup left it
            (void)sigaction(sig, &sa, nullptr);
        }
    }
    sa.sa_flags = SA_RESTART | SA_NODEFER;
    (void)sigemptyset(&sa.sa_mask);
    sa.sa_handler = on_stop;
    stop_action = sa;
    (void)sigaction(SIGTSTP, &sa, nullptr);
    sa.sa_handler = on_cont;
    (void)sigaction(SIGCONT, &sa, nullptr);
}

} // namespace

int main()
{
    (void)std::signal(SIGPIPE, SIG_IGN); // a reader gone away is output that fails, no more
    prompt = localized_prompt();
    // Started in the background, wait to be brought to the foreground: the terminal as found is
    // the one the shell hands over then, not the one its line editor holds meanwhile. A terminal
    // request from the background stops the job; tcdrain makes one that changes nothing.
    while (tcdrain(STDIN_FILENO) != 0 && errno == EINTR) {
    }
    const bool terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        key_mode = saved;
        key_mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
        key_mode.c_cc[VMIN] = 1;
        key_mode.c_cc[VTIME] = 0;
        catch_signals();
        waiting = 1;
        (void)tcsetattr(STDIN_FILENO, TCSANOW, &key_mode); // TCSANOW: keys typed ahead stay
    }
    put(prompt);

    const int c = terminal ? keys::read_key(eight_bit_charset()) : keys::read_char();
    if (terminal) {
        waiting = 0;
        (void)tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    }
    put("\n");
    return c == keys::read_err ? 1 : 0;
}
