// SPDX-License-Identifier: MIT
// What bytes mean in a character set, decided from what a decoder says of them.
#include "charset.hpp"

#include <climits>
#include <cstring>
#include <initializer_list>

namespace charset
{

namespace
{

// The length of the UTF-8 character that begins with lead, 0 where none can.
std::size_t utf8_length(unsigned char lead)
{
    return lead < 0x80   ? 1
           : lead < 0xc2 ? 0
           : lead < 0xe0 ? 2
           : lead < 0xf0 ? 3
           : lead < 0xf5 ? 4
                         : 0;
}

// Whether point, read from the first have of need bytes, is or may still become a character:
// no overlong form, surrogate, or point past U+10FFFF, told as soon as a byte shows it, as the C
// library tells it, so that no byte after it is taken into the character.
bool possible(long point, std::size_t need, std::size_t have)
{
    const long least = need == 3 ? 0x800 : need == 4 ? 0x10000 : 0;
    const auto shift = static_cast<int>(6 * (need - have));
    const long low = point << shift;
    const long high = low | ((1L << shift) - 1);
    return need != 0 && high >= least && low <= 0x10ffff && (low < 0xd800 || high >= 0xe000);
}

} // namespace

long utf8(const char *bytes, std::size_t size, std::size_t &len)
{
    const auto lead = static_cast<unsigned char>(bytes[0]);
    const std::size_t need = utf8_length(lead);
    long point = need == 1 ? lead : lead & (0x7fL >> need);
    for (len = 1; len < need; ++len) {
        if (len == size) {
            len = size + 1;
            return -1;
        }
        const auto next = static_cast<unsigned char>(bytes[len]);
        if ((next & 0xc0U) != 0x80) {
            len = 0;
            return -1;
        }
        point = point << 6 | static_cast<long>(next & 0x3fU);
        if (!possible(point, need, len + 1)) {
            len = 0;
            return -1;
        }
    }
    if (!possible(point, need, need)) {
        len = 0;
        return -1;
    }
    return point;
}

bool c1_control(int byte, Decode decode)
{
    const char c = static_cast<char>(byte);
    std::size_t len = 0;
    return byte >= 0x80 && byte <= 0x9f && decode(&c, 1, len) == byte && len == 1;
}

bool is_utf8(Decode decode)
{
    std::size_t len = 0;
    return decode("\xc3\xa9", 2, len) == 0xe9 && len == 2;
}

bool ascii(std::size_t mb_max, const char *name, Decode decode)
{
    // By name without strcmp, which costs pause a symbol lookup at every start.
    for (const char *c_name : {"C", "POSIX"}) {
        const char *n = name == nullptr ? "" : name;
        for (; *n != '\0' && *n == *c_name; ++n, ++c_name) {
        }
        if (*n == *c_name) {
            return true;
        }
    }
    if (mb_max != 1) {
        return false;
    }
    // No byte past 0x7f is a character. TIS-620 lacks 0x80 and 0xa0 too, but not 0xe0; every
    // single-byte set but ASCII has one of these four.
    for (const char byte : {'\x80', '\xa0', '\xc0', '\xe0'}) {
        std::size_t len = 0;
        if (decode(&byte, 1, len) >= 0) {
            return false;
        }
    }
    return true;
}

bool same_characters(const char *text, const char *utf8_text, Decode decode)
{
    const std::size_t text_size = std::strlen(text);
    const std::size_t utf8_size = std::strlen(utf8_text);
    std::size_t at = 0;
    std::size_t utf8_at = 0;
    while (at < text_size && utf8_at < utf8_size) {
        std::size_t len = 0;
        std::size_t utf8_len = 0;
        const long point = decode(text + at, text_size - at, len);
        if (point < 0 || point != utf8(utf8_text + utf8_at, utf8_size - utf8_at, utf8_len)) {
            return false;
        }
        at += len;
        utf8_at += utf8_len;
    }
    return at == text_size && utf8_at == utf8_size;
}

} // namespace charset
