// SPDX-License-Identifier: MIT
// hello: greets, then has the command processor run "pause", so that the greeting stays on
// screen until a key is pressed; a SIGTERM or SIGHUP meanwhile ends the command and hello.
#include "command.hpp"

#include <cstdlib>
#include <iostream>

int main(int /*argc*/, char *argv[])
{
    shield_greeting();
    std::cout << "Hello world!" << std::endl;
    prepare_command(argv[0]);
    // NOLINTNEXTLINE(cert-env33-c): running the command processor is the point
    return exit_status(std::system("pause"));
}
