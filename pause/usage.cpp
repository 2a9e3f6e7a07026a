// SPDX-License-Identifier: MIT
// pause's command line: nothing, or --help or --version; anything else refused.
#include "usage.hpp"

#include "catalogs.hpp"
#include "output.hpp"

#include <initializer_list>
#include <string_view>
#include <unistd.h>

namespace usage
{
namespace
{

const char *line()
{
    return catalogs::translated("Usage: pause [-h | --help | --version] [--]\n");
}

int refuse(const char *what, const char *arg)
{
    for (const char *piece : {"pause: ", what, " '", arg, "'\n", line()}) {
        (void)output::say(piece, STDERR_FILENO);
    }
    return 2;
}

} // namespace

int command_line(char *const *args)
{
    // Operands are refused rather than ignored: pause takes none, and one given (a time to wait,
    // say) would otherwise be a wait for ever that the user did not ask for.
    bool options = true;
    for (; *args != nullptr; ++args) {
        const std::string_view arg = *args;
        if (options && (arg == "--help" || arg == "-h")) {
            return output::say(line()) && output::say(catalogs::translated(
                                              "Write a prompt to standard output, wait for one "
                                              "key on standard input,\n"
                                              "and leave the terminal as it was found.\n"
                                              "\n"
                                              "  -h, --help     show this help and exit\n"
                                              "      --version  show the version and exit\n"))
                       ? 0
                       : 1;
        }
        if (options && arg == "--version") {
            return output::say("pause (" TEXTDOMAIN ") " VERSION "\n") ? 0 : 1;
        }
        if (options && arg == "--") {
            options = false;
        } else if (options && arg.size() > 1 && arg[0] == '-') {
            return refuse(catalogs::translated("unknown option"), *args);
        } else {
            return refuse(catalogs::translated("extra operand"), *args);
        }
    }
    return -1;
}

} // namespace usage
