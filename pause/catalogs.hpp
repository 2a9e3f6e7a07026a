// SPDX-License-Identifier: MIT
// The translations of pause's messages: the catalogs installed beside the program, and their
// text in the locale's character set.
#pragma once

namespace catalogs
{

// Binds the catalogs installed beside the program, started as argv0; where the program's folder
// cannot be found, the C library's own folder is searched. After locale::set_up.
void bind(const char *argv0);

// msgid in the user's language, exactly as translated, in the locale's character set; English
// where the character set cannot hold a character of the translation.
const char *translated(const char *msgid);

} // namespace catalogs
