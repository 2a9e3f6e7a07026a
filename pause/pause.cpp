// SPDX-License-Identifier: MIT
// pause: prompt, wait for one key on standard input, and leave the terminal as it was found.
// One session, straight through: save the terminal's settings, change only what keys need, read
// one key, set the settings back on every way out, then let a signal that came take its course.
#include "catalogs.hpp"
#include "character.hpp"
#include "disposition.hpp"
#include "input.hpp"
#include "keys.hpp"
#include "locale.hpp"
#include "output.hpp"
#include "signals.hpp"
#include "terminal.hpp"
#include "usage.hpp"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace
{

// What a run of pause holds, passed along: the terminal as found, the file read, the prompt.
struct Session {
    terminal::Settings tty;
    input::File in;
    const char *prompt;
};

[[noreturn]] void end_by(const Session &run, int sig)
{
    terminal::set_back_now(run.tty);
    signals::die_by(sig);
}

// Ctrl+Z gives the terminal back and stops pause; continued, it sets key mode again and prompts
// below whatever the shell wrote meanwhile. Where nothing can stop pause, as when a terminal
// emulator starts it, key mode comes back at once and there is no prompt.
void suspend(const Session &run)
{
    terminal::set_back(run.tty);
    const bool stopped = signals::stop();
    if (const int sig = signals::take(); signals::ending(sig)) {
        end_by(run, sig);
    }
    (void)terminal::set_keys(run.tty);
    // After bg, setting key mode waited for the foreground; the continue of fg that ended that
    // wait is no reason to leave the prompt out.
    if (signals::taken(signals::pending()) == SIGCONT) {
        (void)signals::take();
    }
    if (stopped) {
        (void)output::say(run.prompt);
    }
}

input::Read one_key(Session &run)
{
    for (;;) {
        const input::Read read = keys::read_key(run.in);
        const int sig = signals::take();
        if (signals::ending(sig)) {
            end_by(run, sig);
        }
        if (read != input::Read::signal) {
            return read;
        }
        if (sig == SIGTSTP) {
            suspend(run);
        } else if (sig == SIGCONT) { // after SIGSTOP: the shell may have set its own modes
            (void)terminal::set_keys(run.tty);
        }
    }
}

int report(int err)
{
    (void)output::say(catalogs::translated("pause: standard input: "), STDERR_FILENO);
    (void)output::say(std::strerror(err), STDERR_FILENO);
    (void)output::say("\n", STDERR_FILENO);
    return 1;
}

} // namespace

int main(int /*argc*/, char *argv[])
{
    // A reader gone away, or a file at the size limit, is output that fails, no more.
    (void)disposition::set(SIGPIPE, SIG_IGN);
    (void)disposition::set(SIGXFSZ, SIG_IGN);
    locale::set_up();
    catalogs::bind(argv[0]);
    Session run = {{},
                   {STDIN_FILENO, locale::key_decoder()},
                   catalogs::translated("Press any key to continue . . . ")};
    if (const int status = usage::command_line(argv + 1); status >= 0) {
        return status;
    }

    const bool keys = terminal::save(run.tty);
    int err = !keys && errno == EIO ? EIO : 0;
    if (keys) {
        signals::catch_all();
        err = terminal::set_keys(run.tty);
        run.in = input::File(run.tty.input, run.in.decoder());
    }
    (void)output::say(run.prompt);
    if (err == 0 && (keys ? one_key(run) : character::read_char(run.in)) == input::Read::failed) {
        err = errno;
    }
    if (keys) {
        terminal::set_back(run.tty);
    }
    (void)output::say("\n");
    return err == 0 ? 0 : report(err);
}
