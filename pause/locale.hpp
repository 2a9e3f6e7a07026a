// SPDX-License-Identifier: MIT
// The user's locale: set up once from the environment, and its character set's decoder.
#pragma once

#include "charset.hpp"

#include <cstddef>

namespace locale
{

// Sets the character set and the language up from the environment (LC_ALL, LC_CTYPE,
// LC_MESSAGES, LANG): the one place that sets them.
void set_up();

// The locale's decoder (mbrtowc's), as charset::Decode has it.
long decode(const char *bytes, std::size_t size, std::size_t &len);

// The decoder keys are read with: the locale's, or UTF-8's where its character set is ASCII, as
// in the C locale, since most terminals send UTF-8.
charset::Decode key_decoder();

// The name of the locale's character set, as gettext converts to it.
const char *codeset();

} // namespace locale
