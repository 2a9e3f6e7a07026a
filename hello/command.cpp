// SPDX-License-Identifier: MIT
// What hello does around the command: the caller's dispositions handed on, the pause beside
// hello found, and the status by which hello ends.
#include "command.hpp"

#include "descendants.hpp"
#include "folder.hpp"
#include "search_path.hpp"

#include <algorithm>
#include <array>
#include <climits>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

struct sigaction on_pipe; // the dispositions hello's caller left, which the command gets
struct sigaction on_xfsz;
struct sigaction on_child;
struct sigaction on_term;
struct sigaction on_hup;
volatile std::sig_atomic_t ended_by; // SIGTERM or SIGHUP, come while the command ran
std::array<pid_t, 16> below;         // the processes it was passed on to
Below found;

// Gives sig the disposition how, and returns the one it had.
struct sigaction set(int sig, void (*how)(int))
{
    struct sigaction action = {};
    struct sigaction was = {};
    action.sa_handler = how;
    (void)sigaction(sig, &action, &was);
    return was;
}

// The pause installed beside hello is the command processor's last resort: hello's own folder
// goes at the end of PATH, so that a pause earlier on it still comes first.
// Static buffers and few library calls: each one imported costs a symbol lookup at every start.
void add_own_folder_to_path(const char *argv0)
{
    std::array<char, PATH_MAX> folder{};
    const std::size_t len = folder::own(folder.data(), argv0);
    static std::array<char, search_path::longest + 1> defaults;
    static std::array<char, search_path::longest + 1> path;
    const char *inherited = std::getenv("PATH");
    const std::size_t defaults_size =
        inherited != nullptr ? 0 : confstr(_CS_PATH, defaults.data(), defaults.size());
    if (search_path::compose(path.data(), inherited, defaults.data(), defaults_size,
                             std::string_view(folder.data(), len))) {
        (void)setenv("PATH", path.data(), 1);
    }
}

// SIGTERM or SIGHUP (a supervisor's stop, `kill`, a hangup) ends hello and its command, which
// is hello's: the processes below hello get it, the command that runs first; without /proc,
// where hello leads its process group (a shell's job), the group gets it. Async-signal-safe.
extern "C" void pass_on(int sig)
{
    if (ended_by != 0) { // the group's copy, come back to hello
        return;
    }
    ended_by = sig;
    found = processes_below(below.data(), below.size());
    std::for_each(below.begin(), std::next(below.begin(), static_cast<std::ptrdiff_t>(found.count)),
                  [sig](pid_t pid) { (void)kill(pid, sig); });
    if (found.count == 0 && getpgrp() == getpid()) {
        (void)kill(0, sig);
    }
}

// The shell ends at once; hello waits for the command (a second at most), so that it ends after
// the terminal is set back, and reaps it where it adopted it (as a container's first process,
// whose end would kill the command outright).
void wait_for_command()
{
    constexpr timespec tick = {0, 10'000'000};
    std::for_each(below.begin(),
                  std::next(below.begin(), static_cast<std::ptrdiff_t>(found.leaves)),
                  [&tick](pid_t pid) {
                      for (int tries = 0; tries < 100 && kill(pid, 0) == 0; ++tries) {
                          (void)waitpid(pid, nullptr, WNOHANG);
                          (void)nanosleep(&tick, nullptr);
                      }
                  });
}

// Catches sig for pass_on, unless hello's caller ignores it.
struct sigaction pass_on_while_running(int sig)
{
    struct sigaction was = set(sig, pass_on);
    if (was.sa_handler == SIG_IGN) {
        (void)sigaction(sig, &was, nullptr);
    }
    return was;
}

} // namespace

// A reader that has gone away, or a file at the caller's size limit, must not kill the greeting
// before "pause" runs: with SIGPIPE and SIGXFSZ ignored the failed write only marks std::cout bad.
void shield_greeting()
{
    on_pipe = set(SIGPIPE, SIG_IGN);
    on_xfsz = set(SIGXFSZ, SIG_IGN);
}

// The command gets SIGPIPE and SIGXFSZ as hello's caller left them, and finds the pause beside
// hello. system() can tell how the command ended only where the kernel does not reap its child
// for it, as it does with SIGCHLD ignored by hello's caller.
void prepare_command(const char *argv0)
{
    (void)sigaction(SIGPIPE, &on_pipe, nullptr);
    (void)sigaction(SIGXFSZ, &on_xfsz, nullptr);
    add_own_folder_to_path(argv0);
    on_child = set(SIGCHLD, SIG_DFL);
    on_term = pass_on_while_running(SIGTERM);
    on_hup = pass_on_while_running(SIGHUP);
}

// What became of the command is none of hello's business, but for a signal that ended hello
// meanwhile, and for the user's interrupt: system() has hello ignore Ctrl+C and Ctrl+\ while the
// command runs, yet a loop or a `&&` around hello must see them. So hello ends by the same
// signal, unless its caller ignores it.
int exit_status(int status)
{
    (void)sigaction(SIGCHLD, &on_child, nullptr);
    (void)sigaction(SIGTERM, &on_term, nullptr);
    (void)sigaction(SIGHUP, &on_hup, nullptr);
    int sig = ended_by;
    if (sig != 0) {
        wait_for_command();
    }
    struct sigaction now = {};
    if (sig == 0 && status != -1 && WIFSIGNALED(status) &&
        (WTERMSIG(status) == SIGINT || WTERMSIG(status) == SIGQUIT) &&
        sigaction(WTERMSIG(status), nullptr, &now) == 0 && now.sa_handler != SIG_IGN) {
        sig = WTERMSIG(status);
    }
    if (sig != 0) {
        (void)std::raise(sig);
        return 128 + sig; // where the kernel discards it: the first process of a container
    }
    return 0;
}
