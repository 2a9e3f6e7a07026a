// SPDX-License-Identifier: MIT
// The user's locale and its character set.
#include "locale.hpp"

#include <clocale>
#include <cstdlib>
#include <cwchar>
#include <langinfo.h>

namespace locale
{

void set_up()
{
    (void)std::setlocale(LC_CTYPE, "");
    (void)std::setlocale(LC_MESSAGES, "");
}

long decode(const char *bytes, std::size_t size, std::size_t &len)
{
    constexpr auto incomplete = static_cast<std::size_t>(-2);
    std::mbstate_t state = {};
    wchar_t point = 0;
    len = std::mbrtowc(&point, bytes, size, &state);
    if (len == incomplete) {
        len = size + 1;
        return -1;
    }
    if (len > size) { // no character
        len = 0;
        return -1;
    }
    len = len == 0 ? 1 : len; // the NUL character
    return static_cast<long>(point);
}

charset::Decode key_decoder()
{
    return charset::ascii(MB_CUR_MAX, std::setlocale(LC_CTYPE, nullptr), decode) ? charset::utf8
                                                                                 : decode;
}

const char *codeset()
{
    return nl_langinfo(CODESET);
}

} // namespace locale
