// SPDX-License-Identifier: MIT
// hello: greets, then has the command processor run "pause", so that the greeting stays on
// screen until a key is pressed.
#include <cstdlib>
#include <iostream>

#ifndef _WIN32
#include "folder.hpp"

#include <algorithm>
#include <array>
#include <climits>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

struct sigaction on_pipe; // the dispositions hello's caller left, which the command gets
struct sigaction on_xfsz;
struct sigaction on_child;

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
// goes at the end of PATH, so that a pause earlier on it still comes first. Where the folder
// cannot be known, or cannot be written into a PATH (a colon in its name), or the longer PATH
// could not be handed on, PATH stays as it is.
// Fixed buffers and few library calls: each one imported costs a symbol lookup at every start.
void add_own_folder_to_path(const char *argv0)
{
    std::array<char, PATH_MAX> folder{};
    const std::size_t len = own_folder(folder.data(), argv0);
    if (len == 0 || std::find(folder.data(), folder.data() + len, ':') != folder.data() + len) {
        return;
    }
    std::array<char, 256> defaults{}; // where the shell looks without a PATH
    const char *inherited = std::getenv("PATH");
    if (inherited == nullptr &&
        confstr(_CS_PATH, defaults.data(), defaults.size()) <= defaults.size()) {
        inherited = defaults.data();
    }
    // Linux takes no string into a new program's environment longer than 128 KiB
    // (MAX_ARG_STRLEN), "PATH=" and the final NUL included.
    static std::array<char, std::size_t{128} * 1024 - (sizeof "PATH=" - 1)> path;
    const int n = std::snprintf(path.data(), path.size(), "%s:%s", inherited, folder.data());
    if (n > 0 && static_cast<std::size_t>(n) < path.size()) {
        (void)setenv("PATH", path.data(), 1);
    }
}

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
}

// What became of the command is none of hello's business, but for the user's interrupt:
// system() has hello ignore Ctrl+C and Ctrl+\ while the command runs, yet a loop or a `&&`
// around hello must see them. So hello ends by the same signal, unless its caller ignores it.
int exit_status(int status)
{
    (void)sigaction(SIGCHLD, &on_child, nullptr);
    if (status != -1 && WIFSIGNALED(status) &&
        (WTERMSIG(status) == SIGINT || WTERMSIG(status) == SIGQUIT)) {
        const int sig = WTERMSIG(status);
        struct sigaction now = {};
        if (sigaction(sig, nullptr, &now) == 0 && now.sa_handler != SIG_IGN) {
            (void)std::raise(sig);
            return 128 + sig; // where the kernel discards it: the first process of a container
        }
    }
    return 0;
}

} // namespace
#else
namespace
{
void shield_greeting() {}
void prepare_command(const char * /*argv0*/) {}
int exit_status(int /*status*/)
{
    return 0;
}
} // namespace
#endif

int main(int /*argc*/, char *argv[])
{
    shield_greeting();
    std::cout << "Hello world!" << std::endl;
    prepare_command(argv[0]);
    // NOLINTNEXTLINE(cert-env33-c): running the command processor is the point
    return exit_status(std::system("pause"));
}
