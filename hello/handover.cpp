// SPDX-License-Identifier: MIT
// What hello hands on around the command: the caller's dispositions, the PATH, the status.
#include "handover.hpp"

#include "disposition.hpp"
#include "folder.hpp"
#include "search_path.hpp"

#include <array>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

namespace handover
{

namespace
{

struct sigaction on_pipe; // the dispositions hello's caller left, which the command gets
struct sigaction on_xfsz;
struct sigaction on_child;

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

} // namespace

// A reader that has gone away, or a file at the caller's size limit, must not kill the greeting
// before "pause" runs: with SIGPIPE and SIGXFSZ ignored the failed write only marks std::cout bad.
void shield_greeting()
{
    on_pipe = disposition::set(SIGPIPE, SIG_IGN);
    on_xfsz = disposition::set(SIGXFSZ, SIG_IGN);
}

// The command gets SIGPIPE and SIGXFSZ as hello's caller left them, and finds the pause beside
// hello. system() can tell how the command ended only where the kernel does not reap its child
// for it, as it does with SIGCHLD ignored by hello's caller.
void prepare(const char *argv0)
{
    (void)sigaction(SIGPIPE, &on_pipe, nullptr);
    (void)sigaction(SIGXFSZ, &on_xfsz, nullptr);
    add_own_folder_to_path(argv0);
    on_child = disposition::set(SIGCHLD, SIG_DFL);
}

// What became of the command is none of hello's business, but for a signal that ended hello
// meanwhile, and for the user's interrupt: system() has hello ignore Ctrl+C and Ctrl+\ while the
// command runs, yet a loop or a `&&` around hello must see them. So hello ends by the same
// signal, unless its caller ignores it.
int exit_status(int status, int ended_by)
{
    (void)sigaction(SIGCHLD, &on_child, nullptr);
    int sig = ended_by;
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

} // namespace handover
