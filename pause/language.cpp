// SPDX-License-Identifier: MIT
// The user's language and character set, as the locale tells them.
#include "language.hpp"

#include "catalogs.hpp"

#include <clocale>
#include <cstdlib>
#include <cwchar>
#include <initializer_list>
#ifndef __GLIBC__
#include <cstring>
#include <langinfo.h>
#endif

namespace
{

// The character set is ASCII, as in the C locale: keys are read as UTF-8 then, as most
// terminals send them.
bool ascii;
bool utf8_loaded; // C.UTF-8's character types, loaded for the first byte that needs them

#ifdef __GLIBC__
// Whether name is the C locale's, whose character set is ASCII.
bool c_locale(const char *name)
{
    for (const char *c : {"C", "POSIX"}) {
        const char *n = name;
        for (; *n != '\0' && *n == *c; ++n, ++c) {
        }
        if (*n == *c) {
            return true;
        }
    }
    return false;
}
#endif

// Other C libraries than glibc tell ASCII by name only: musl's C locale takes every byte as a
// character.
bool ascii_only()
{
#ifdef __GLIBC__ // without importing nl_langinfo: no byte past 0x7f is a character
    if (MB_CUR_MAX != 1) {
        return false;
    }
    if (const char *name = std::setlocale(LC_CTYPE, nullptr); name != nullptr && c_locale(name)) {
        return true;
    }
    // TIS-620 lacks 0x80 and 0xa0 too, but not 0xe0; every such set has one of these four.
    for (const char *byte : {"\x80", "\xa0", "\xc0", "\xe0"}) {
        std::mbstate_t state = {};
        if (std::mbrlen(byte, 1, &state) == 1) {
            return false;
        }
    }
    return true;
#else
    const char *codeset = nl_langinfo(CODESET);
    for (const char *name : {"ANSI_X3.4-1968", "ASCII", "US-ASCII", "646", "POSIX"}) {
        if (std::strcmp(codeset, name) == 0) {
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
    return translated("Press any key to continue . . . ");
}

bool c1_control(int byte)
{
    // A lone byte is no character in UTF-8 or ASCII, and begins one in EUC-JP or GB18030.
    wchar_t point = 0;
    std::mbstate_t state = {};
    const char c = static_cast<char>(byte);
    return byte >= 0x80 && byte <= 0x9f && std::mbrtowc(&point, &c, 1, &state) == 1 &&
           static_cast<int>(point) == byte;
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
