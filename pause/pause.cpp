// SPDX-License-Identifier: MIT
// pause: prompt, wait for one key on standard input, and leave the terminal as it was found.
#include "catalogs.hpp"
#include "input.hpp"
#include "keys.hpp"
#include "language.hpp"
#include "say.hpp"
#include "signals.hpp"
#include "terminal.hpp"
#include "usage.hpp"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace
{

const char *prompt; // in the user's language

[[noreturn]] void end_by(int sig)
{
    terminal::set_back_now();
    signals::end(sig);
}

// Ctrl+Z gives the terminal back and stops pause; continued, it sets key mode again and prompts
// below whatever the shell wrote meanwhile. Where nothing can stop pause, as when a terminal
// emulator starts it, key mode comes back at once and there is no prompt.
void stop()
{
    terminal::set_back();
    const bool stopped = signals::stop();
    if (const int sig = signals::take(); signals::ends(sig)) {
        end_by(sig);
    }
    (void)terminal::set_keys();
    if (stopped) {
        (void)say(prompt);
    }
}

input::Read read_key()
{
    for (;;) {
        const input::Read read = keys::read_key(terminal::input());
        const int sig = signals::take();
        if (signals::ends(sig)) {
            end_by(sig);
        }
        if (read != input::Read::signal) {
            return read;
        }
        if (sig == SIGTSTP) {
            stop();
        } else if (sig == SIGCONT) { // after SIGSTOP: the shell may have set its own modes
            (void)terminal::set_keys();
        }
    }
}

int report(int err)
{
    (void)say(translated("pause: standard input: "), STDERR_FILENO);
    (void)say(std::strerror(err), STDERR_FILENO);
    (void)say("\n", STDERR_FILENO);
    return 1;
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
    const bool keys = terminal::save();
    int err = !keys && errno == EIO ? EIO : 0;
    if (keys) {
        signals::catch_all();
        err = terminal::set_keys();
    }

    (void)say(prompt);
    if (err == 0 && (keys ? read_key() : input::read_char(STDIN_FILENO)) == input::Read::failed) {
        err = errno;
    }

    if (keys) {
        terminal::set_back();
    }
    (void)say("\n");
    return err == 0 ? 0 : report(err);
}
