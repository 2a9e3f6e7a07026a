// SPDX-License-Identifier: MIT
#include "usage.hpp"

#include "language.hpp"

#include <cstddef>
#include <cstring>
#include <string_view>
#include <unistd.h>

namespace
{

// Writes every piece in turn; false once one fails, so that help that did not reach the user is
// not reported as success.
bool say(int fd, std::initializer_list<const char *> pieces)
{
    for (const char *text : pieces) {
        for (std::size_t len = std::strlen(text); len > 0;) {
            const ssize_t n = write(fd, text, len);
            if (n <= 0) {
                return false;
            }
            text += n;
            len -= static_cast<std::size_t>(n);
        }
    }
    return true;
}

int refuse(const char *what, const char *arg)
{
    (void)say(STDERR_FILENO, {"pause: ", what, " '", arg, "'\n",
                              translated("Usage: pause [-h | --help | --version] [--]\n")});
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
            return say(STDOUT_FILENO, {translated("Usage: pause [-h | --help | --version] [--]\n"),
                                       translated("Write a prompt to standard output, wait for one "
                                                  "key on standard input,\n"
                                                  "and leave the terminal as it was found.\n"
                                                  "\n"
                                                  "  -h, --help     show this help and exit\n"
                                                  "      --version  show the version and exit\n")})
                       ? 0
                       : 1;
        }
        if (options && arg == "--version") {
            return say(STDOUT_FILENO, {"pause (" TEXTDOMAIN ") " VERSION "\n"}) ? 0 : 1;
        }
        if (options && arg == "--") {
            options = false;
        } else if (options && arg.size() > 1 && arg[0] == '-') {
            return refuse(translated("unknown option"), *args);
        } else {
            return refuse(translated("extra operand"), *args);
        }
    }
    return -1;
}
