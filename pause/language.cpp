// SPDX-License-Identifier: MIT
#include "language.hpp"

#include <array>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <libintl.h>
#include <unistd.h>

namespace
{

// The catalogs are looked up from the program's own folder (LOCALEDIR_FROM_BINDIR, as the
// build lays the tree out), so that they are found wherever the tree is installed. Where the
// program cannot be found, the C library's own folder is searched.
void bind_catalogs()
{
    std::array<char, PATH_MAX> exe{};
    const ssize_t n = readlink("/proc/self/exe", exe.data(), exe.size() - 1);
    const char *slash = n > 0 ? std::strrchr(exe.data(), '/') : nullptr;
    if (slash == nullptr) {
        return;
    }
    std::array<char, PATH_MAX + sizeof LOCALEDIR_FROM_BINDIR> dir{};
    const int len =
        std::snprintf(dir.data(), dir.size(), "%.*s/%s", static_cast<int>(slash - exe.data()),
                      exe.data(), LOCALEDIR_FROM_BINDIR);
    if (len > 0 && static_cast<std::size_t>(len) < dir.size()) {
        (void)bindtextdomain(TEXTDOMAIN, dir.data());
    }
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
    return MB_CUR_MAX == 1 && std::strcmp(nl_langinfo(CODESET), "ANSI_X3.4-1968") != 0;
}
