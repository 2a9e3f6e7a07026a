// SPDX-License-Identifier: MIT
#include "language.hpp"

#include <algorithm>
#include <array>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <libintl.h>
#include <unistd.h>

namespace
{

// The catalogs are looked up from the program's own folder (LOCALEDIR_FROM_BINDIR, as the
// build lays the tree out), so that they are found wherever the tree is installed. Where the
// program cannot be found, the C library's own folder is searched.
void bind_catalogs()
{
    std::array<char, PATH_MAX + sizeof LOCALEDIR_FROM_BINDIR> dir{};
    const ssize_t n = readlink("/proc/self/exe", dir.data(), PATH_MAX - 1);
    // The name after the last slash gives way to the catalogs' path, without a library call:
    // each one pause imports costs it a symbol lookup at every start.
    const auto slash = std::find(std::make_reverse_iterator(dir.begin() + std::max<ssize_t>(n, 0)),
                                 dir.rend(), '/');
    if (slash == dir.rend()) {
        return;
    }
    constexpr std::array<char, sizeof LOCALEDIR_FROM_BINDIR> tail = {LOCALEDIR_FROM_BINDIR};
    std::copy(tail.begin(), tail.end(), slash.base());
    (void)bindtextdomain(TEXTDOMAIN, dir.data());
}

// A character set in which the bytes above 0x7f are no characters at all: ASCII, as in the C
// locale.
bool ascii_only()
{
    std::mbstate_t state = {};
    return MB_CUR_MAX == 1 && std::mbrlen("\x80", 1, &state) != 1;
}

} // namespace

const char *localized_prompt()
{
    (void)std::setlocale(LC_CTYPE, "");
    (void)std::setlocale(LC_MESSAGES, "");
    bind_catalogs();
    (void)textdomain(TEXTDOMAIN);
    return gettext("Press any key to continue . . . ");
}

bool eight_bit_charset()
{
    return MB_CUR_MAX == 1 && !ascii_only();
}

std::size_t char_length(char byte, std::mbstate_t &state)
{
    static bool looked; // not loaded unless a key needs it
    if (!looked && ascii_only()) {
        (void)std::setlocale(LC_CTYPE, "C.UTF-8");
    }
    looked = true;
    return std::mbrlen(&byte, 1, &state);
}
