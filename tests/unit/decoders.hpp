// SPDX-License-Identifier: MIT
// Character sets for the tables, as decoders: UTF-8, and two sets of a byte a character whose
// bytes 0x80 to 0x9f differ: ISO-8859-1 (C1 controls) and KOI8-R (box drawing and signs).
#pragma once

#include "charset.hpp"

#include <cstddef>

namespace decoders
{

// ASCII, as glibc's C locale has it: no byte past 0x7f is a character.
inline long ascii(const char *bytes, std::size_t /*size*/, std::size_t &len)
{
    const auto byte = static_cast<unsigned char>(*bytes);
    len = byte < 0x80 ? 1 : 0;
    return byte < 0x80 ? byte : -1;
}

inline long latin1(const char *bytes, std::size_t /*size*/, std::size_t &len)
{
    len = 1;
    return static_cast<unsigned char>(*bytes);
}

// KOI8-R from 0x80 to 0x9f, then Cyrillic letters (near enough: only their count matters here).
inline long koi8_r(const char *bytes, std::size_t /*size*/, std::size_t &len)
{
    const auto byte = static_cast<unsigned char>(*bytes);
    len = 1;
    return byte < 0x80 ? byte : byte < 0xa0 ? 0x2500 + byte : 0x400 + byte;
}

// A set of two bytes a character past ASCII, as EUC-KR, Big5 and GB18030 have: é's UTF-8 bytes,
// 0xc3 0xa9, are a Hangul syllable there.
inline long double_byte(const char *bytes, std::size_t size, std::size_t &len)
{
    const auto lead = static_cast<unsigned char>(*bytes);
    if (lead < 0x80) {
        len = 1;
        return lead;
    }
    if (size < 2) {
        len = size + 1;
        return -1;
    }
    len = 2;
    return 0xac00 + (lead << 8 | static_cast<unsigned char>(bytes[1])) % 11172;
}

} // namespace decoders
