// SPDX-License-Identifier: MIT
// The translations of pause's messages, from the catalogs beside the program.
#include "catalogs.hpp"

#include "folder.hpp"

#include <algorithm>
#include <array>
#include <climits>
#include <clocale>
#include <cstddef>
#include <cstring>
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

namespace
{

// Where the character set has no room for a character of a translation, gettext puts a near
// letter or '?' in its place ("drucken" for "drücken" in KOI8-R, nothing but '?' for Japanese in
// Latin-1): the English is better than that. Where wchar_t holds Unicode, as on glibc and musl,
// the translation is held against the one gettext gives in C.UTF-8, character by character.
#ifdef __STDC_ISO_10646__
// The code point of the UTF-8 character text starts with, its length in len; -1 where invalid.
long decode(const char *text, std::size_t &len)
{
    const auto lead = static_cast<unsigned char>(*text);
    len = lead < 0x80    ? 1
          : lead >= 0xf8 ? 0
          : lead >= 0xf0 ? 4
          : lead >= 0xe0 ? 3
          : lead >= 0xc0 ? 2
                         : 0;
    if (len == 0) {
        return -1;
    }
    long point = len == 1 ? lead : lead & (0x3fU >> (len - 1));
    for (std::size_t i = 1; i < len; ++i) {
        const auto next =
            static_cast<unsigned char>(*std::next(text, static_cast<std::ptrdiff_t>(i)));
        if ((next & 0xc0U) != 0x80) {
            return -1;
        }
        point = point << 6 | static_cast<long>(next & 0x3fU);
    }
    return point;
}

// Whether text, in the locale's character set, has the characters of exact, in UTF-8.
bool same_characters(const char *text, const char *exact)
{
    std::mbstate_t state = {};
    for (;;) {
        std::size_t len = 0;
        const long point = decode(exact, len);
        wchar_t character = 0;
        const std::size_t n = std::mbrtowc(&character, text, MB_LEN_MAX, &state);
        if (point < 0 || n > MB_LEN_MAX || static_cast<long>(character) != point) {
            return false;
        }
        if (point == 0) {
            return true;
        }
        text = std::next(text, static_cast<std::ptrdiff_t>(n));
        exact = std::next(exact, static_cast<std::ptrdiff_t>(len));
    }
}

// The translation gettext gives in C.UTF-8, the locale's character set taken from the
// environment again after, as where the locale was set up; none where C.UTF-8 cannot be had.
const char *in_utf8(const char *msgid)
{
    const char *exact = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr ? gettext(msgid) : nullptr;
    (void)std::setlocale(LC_CTYPE, "");
    return exact;
}

// A UTF-8 character set holds every translation as it is.
bool utf8_charset()
{
    wchar_t character = 0;
    std::mbstate_t state = {};
    return std::mbrtowc(&character, "\xc3\xa9", 2, &state) == 2 && character == L'\u00e9';
}
#endif

} // namespace

void bind_catalogs(const char *argv0)
{
    // LOCALEDIR_FROM_BINDIR is where the build lays the catalogs out from the programs.
    constexpr std::array<char, sizeof LOCALEDIR_FROM_BINDIR> tail = {LOCALEDIR_FROM_BINDIR};
    std::array<char, PATH_MAX + 1 + tail.size()> dir{};
    const std::size_t len = own_folder(dir.data(), argv0);
    if (len != 0) {
        // Iterators, not a checked index: that would bring in the C++ library.
        auto *const end = std::next(dir.begin(), static_cast<std::ptrdiff_t>(len));
        *end = '/';
        std::copy(tail.begin(), tail.end(), std::next(end));
        (void)bindtextdomain(TEXTDOMAIN, dir.data());
    }
    (void)textdomain(TEXTDOMAIN);
}

const char *translated(const char *msgid)
{
    const char *text = gettext(msgid);
    if (text == msgid) {
        return msgid;
    }
#ifdef __STDC_ISO_10646__
    if (utf8_charset()) {
        return text;
    }
    if (const char *exact = in_utf8(msgid); exact != nullptr) {
        return same_characters(text, exact) ? text : msgid;
    }
#endif
    const char *end = std::next(text, static_cast<std::ptrdiff_t>(std::strlen(text)));
    return std::find(text, end, '?') == end ? text : msgid;
}
