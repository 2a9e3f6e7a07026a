// SPDX-License-Identifier: MIT
// The user's language and character set, as the locale tells them.
#pragma once

// Sets the locale up from the environment and returns the prompt in its language and character
// set, from the catalogs installed beside the program; English where there is none.
const char *localized_prompt();

// A character set of one byte a character that is more than ASCII (Latin-1, KOI8-R, ...). The
// C locale is left out: it often runs on UTF-8 terminals.
bool eight_bit_charset();
