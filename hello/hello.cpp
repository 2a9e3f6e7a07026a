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
    // starts, gets SIGPIPE back at its default.
    (void)std::signal(SIGPIPE, SIG_IGN);
#endif
    std::cout << "Hello world!" << std::endl;
#ifndef _WIN32
    (void)std::signal(SIGPIPE, SIG_DFL);
#endif
    std::system("pause"); // NOLINT(cert-env33-c): running the command processor is the point
    return 0;
}
