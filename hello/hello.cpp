// SPDX-License-Identifier: MIT
#include <cstdlib>
#include <iostream>
#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#endif

int main()
{
#ifndef _WIN32
    // A reader that has gone away must not kill the greeting before "pause" runs: with SIGPIPE
    // ignored the failed write only marks std::cout bad. The command processor, and whatever it
    // starts, then gets SIGPIPE as hello's caller left it.
    const auto inherited = std::signal(SIGPIPE, SIG_IGN);
#endif
    std::cout << "Hello world!" << std::endl;
#ifndef _WIN32
    if (inherited != SIG_ERR) {
        (void)std::signal(SIGPIPE, inherited);
    }
#endif
    // What became of the command is none of hello's business, but for the user's interrupt:
    // system() has hello ignore Ctrl+C and Ctrl+\ while the command runs, yet a loop or a `&&`
    // around hello must see them. So hello ends by the same signal, unless its caller ignores it.
    // NOLINTNEXTLINE(cert-env33-c): running the command processor is the point
    [[maybe_unused]] const int status = std::system("pause");
#ifndef _WIN32
    if (status != -1 && WIFSIGNALED(status) &&
        (WTERMSIG(status) == SIGINT || WTERMSIG(status) == SIGQUIT)) {
        (void)std::raise(WTERMSIG(status));
    }
#endif
    return 0;
}
