// SPDX-License-Identifier: MIT
// The user's language and character set, as the locale tells them, and the prompt's catalogs.
#include "language.hpp"

#include "folder.hpp"

#include <algorithm>
#include <array>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <cwchar>
#include <iterator>
#ifdef HELLO_HAVE_GETTEXT
#include <libintl.h>
#else // no catalogs: English
namespace
{
const char *gettext(const char *msgid)
{
    return msgid;
}
const char *bindtextdomain(const char * /*domain*/, const char *dir)
{
    return dir;
}
const char *textdomain(const char *domain)
{
    return domain;
}
} // namespace
#endif
#include <cstring>
#ifndef __GLIBC__
#include <langinfo.h>
#endif

namespace
{

// The character set is ASCII, as in the C locale: keys are read as UTF-8 then, as most
// terminals send them.
bool ascii;
bool utf8_loaded; // C.UTF-8's character types, loaded for the first byte that needs them

// The catalogs are looked up from the program's own folder (LOCALEDIR_FROM_BINDIR, as the
// build lays the tree out), so that they are found wherever the tree is installed. Where the
// program cannot be found, the C library's own folder is searched.
void bind_catalogs(const char *argv0)
{
    constexpr std::array<char, sizeof LOCALEDIR_FROM_BINDIR> tail = {LOCALEDIR_FROM_BINDIR};
    std::array<char, PATH_MAX + 1 + tail.size()> dir{};
    const std::size_t len = own_folder(dir.data(), argv0);
    if (len == 0) {
        return;
    }
    // Iterators, not a checked index: that would bring in the C++ library.
    auto *const end = std::next(dir.begin(), static_cast<std::ptrdiff_t>(len));
    *end = '/';
    std::copy(tail.begin(), tail.end(), std::next(end));
    (void)bindtextdomain(TEXTDOMAIN, dir.data());
}

// Other C libraries than glibc tell ASCII by name only: musl's C locale takes every byte as a
// character.
bool ascii_only()
{
#ifdef __GLIBC__ // the same answer, without importing nl_langinfo for it
    std::mbstate_t state = {};
    return MB_CUR_MAX == 1 && std::mbrlen("\x80", 1, &state) != 1;
#else
    const char *codeset = nl_langinfo(CODESET);
    for (const char *ascii : {"ANSI_X3.4-1968", "ASCII", "US-ASCII", "646", "POSIX"}) {
        if (std::strcmp(codeset, ascii) == 0) {
            return true;
        }
    }
    return false;
#endif
}

} // namespace

const char *localized_prompt(const char *argv0)
{
    (void)std::setlocale(LC_CTYPE, "");
    (void)std::setlocale(LC_MESSAGES, "");
    ascii = ascii_only();
    bind_catalogs(argv0);
    (void)textdomain(TEXTDOMAIN);
    return translated("Press any key to continue . . . ");
}

const char *translated(const char *msgid)
{
    // Where the locale's character set lacks a character of the translation, gettext writes '?'
    // in its place (a Japanese catalog in a Latin-1 locale gives nothing but '?'). No message
    // has one of its own: the English is better than that.
    const char *text = gettext(msgid);
    const char *end = text + std::strlen(text);
    return std::find(text, end, '?') == end ? text : msgid;
}

bool eight_bit_charset()
{
    return MB_CUR_MAX == 1 && !ascii;
}

std::size_t char_length(char byte, std::mbstate_t &state)
{
    if (ascii && !utf8_loaded) { // a run that reads no such byte does not pay for it
        utf8_loaded = true;
#ifdef __APPLE__
        (void)std::setlocale(LC_CTYPE, "UTF-8"); // macOS has no C.UTF-8
#else
        (void)std::setlocale(LC_CTYPE, "C.UTF-8");
#endif
    }
    return std::mbrlen(&byte, 1, &state);
}
