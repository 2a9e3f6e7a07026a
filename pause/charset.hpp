// SPDX-License-Identifier: MIT
// What bytes mean in a character set: the decisions pause takes from the locale's, made from what
// a decoder says of the bytes, so that they hold for any character set the locale may have.
#pragma once

#include <cstddef>

namespace charset
{

// Decodes the character that bytes (size of them) begin with: its code point, and in len its
// length; -1 where they begin none, len then 0 where no byte can follow and size + 1 where more
// may complete it. The locale's (see locale.hpp) or UTF-8's.
using Decode = long (*)(const char *bytes, std::size_t size, std::size_t &len);

// UTF-8's decoder, whatever the locale.
long utf8(const char *bytes, std::size_t size, std::size_t &len);

// Whether byte is a C1 control of the character set (U+0080 to U+009F, as in the ISO 8859 sets):
// then 0x9b is CSI, 0x9d OSC, 0x9c ST. In KOI8-R or CP1251 such bytes are letters and signs, in
// UTF-8 no character alone, and in EUC-JP or GB18030 the start of one.
bool c1_control(int byte, Decode decode);

// Whether the character set is UTF-8, which holds every translation as it is.
bool is_utf8(Decode decode);

// Whether the character set is ASCII, as the C locale's is (or a locale of that name, whose
// character set may take every byte for one): then keys are read as UTF-8, as most terminals
// send them. mb_max is MB_CUR_MAX, name the locale's.
bool ascii(std::size_t mb_max, const char *name, Decode decode);

// Whether text, in the character set, has exactly the characters of utf8_text.
bool same_characters(const char *text, const char *utf8_text, Decode decode);

} // namespace charset
