// SPDX-License-Identifier: MIT
// The translations of pause's messages, from the catalogs beside the program.
#include "catalogs.hpp"

#include "charset.hpp"
#include "folder.hpp"
#include "locale.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
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
const char *bind_textdomain_codeset(const char * /*domain*/, const char *codeset)
{
    return codeset;
}
const char *textdomain(const char *domain)
{
    return domain;
}
} // namespace
#endif

namespace catalogs
{

void bind(const char *argv0)
{
    // LOCALEDIR_FROM_BINDIR is where the build lays the catalogs out from the programs.
    constexpr std::array<char, sizeof LOCALEDIR_FROM_BINDIR> tail = {LOCALEDIR_FROM_BINDIR};
    std::array<char, PATH_MAX + 1 + tail.size()> dir{};
    const std::size_t len = folder::own(dir.data(), argv0);
    if (len != 0) {
        // Iterators, not a checked index: that would bring in the C++ library.
        auto *const end = std::next(dir.begin(), static_cast<std::ptrdiff_t>(len));
        *end = '/';
        std::copy(tail.begin(), tail.end(), std::next(end));
        (void)bindtextdomain(TEXTDOMAIN, dir.data());
    }
    (void)textdomain(TEXTDOMAIN);
}

// Where the character set has no room for a character of a translation, gettext puts a near
// letter or '?' in its place ("drucken" for "drücken" in KOI8-R, nothing but '?' for Japanese in
// Latin-1): the English is better than that. So the translation is held against the one gettext
// gives in UTF-8, character by character.
const char *translated(const char *msgid)
{
    const char *text = gettext(msgid);
    if (text == msgid || charset::is_utf8(locale::decode)) {
        return text;
    }
    const char *codeset = locale::codeset();
    (void)bind_textdomain_codeset(TEXTDOMAIN, "UTF-8");
    const char *exact = gettext(msgid);
    (void)bind_textdomain_codeset(TEXTDOMAIN, codeset);
    return charset::same_characters(text, exact, locale::decode) ? text : msgid;
}

} // namespace catalogs
