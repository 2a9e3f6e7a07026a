// SPDX-License-Identifier: MIT
// The user's language and character set, as the locale tells them.
#pragma once

#include <cstddef>
#include <cwchar>

// Sets the locale up from the environment and returns the prompt in its language and character
// set, from the catalogs installed beside the program (started as argv0); English where there is
// none. A character set that is ASCII, as in the C locale, is read as UTF-8 (see char_length).
const char *localized_prompt(const char *argv0);

// msgid in the user's language, where the locale's character set can hold its translation.
const char *translated(const char *msgid);

// A character set of one byte a character that is more than ASCII (Latin-1, KOI8-R, ...). ASCII
// itself, as in the C locale, is left out: it often runs on UTF-8 terminals.
bool eight_bit_charset();

// mbrlen for one more byte of a character typed, in the locale's character set; where that is
// ASCII, in UTF-8, whose character types are loaded for the first byte that needs them.
std::size_t char_length(char byte, std::mbstate_t &state);
