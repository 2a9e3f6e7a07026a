// SPDX-License-Identifier: MIT
// hello: greets, then has the command processor run "pause", so that the greeting stays on
// screen until a key is pressed; a SIGTERM or SIGHUP meanwhile ends the command and hello.
#include "handover.hpp"
#include "passing.hpp"

#include <cstdlib>
#include <iostream>

int main(int /*argc*/, char *argv[])
{
    handover::shield_greeting();
    std::cout << "Hello world!" << std::endl;
    handover::prepare(argv[0]);
    passing::arm();
    // A signal come before the command is started: it is not started at all.
    // NOLINTNEXTLINE(cert-env33-c): running the command processor is the point
    const int status = passing::ending() ? -1 : std::system("pause");
    return handover::exit_status(status, passing::finish());
}
