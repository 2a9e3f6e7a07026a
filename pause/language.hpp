// SPDX-License-Identifier: MIT
// The user's language and character set, as the locale tells them.
#pragma once

#include <cstddef>
#include <cwchar>

// Sets the locale up from the environment and returns the prompt in its language and character
// set (see catalogs.hpp). A character set that is ASCII, as in the C locale, is read as UTF-8
// (see char_length).
const char *localized_prompt(const char *argv0);

// Whether byte is a C1 control in the locale's character set (U+0080 to U+009F, as in the ISO
// 8859 sets): then 0x9b is CSI, 0x9d OSC, 0x9c ST. In KOI8-R or CP1251 such bytes are letters
// and signs, and in UTF-8 no character alone.
bool c1_control(int byte);

// mbrlen for one more byte of a character typed, in the locale's character set; where that is
// ASCII, in UTF-8, whose character types are loaded for the first byte that needs them.
std::size_t char_length(char byte, std::mbstate_t &state);
