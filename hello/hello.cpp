// SPDX-License-Identifier: MIT
#include <cstdlib>
#include <iostream>
#ifndef _WIN32
#include <csignal>
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
    // What became of the command is none of hello's business. The C library asks for its status
    // to be used (a cast to void does not do for GCC), so it is kept here and dropped.
    // NOLINTNEXTLINE(cert-env33-c): running the command processor is the point
    [[maybe_unused]] const int ignored = std::system("pause");
    return 0;
}
