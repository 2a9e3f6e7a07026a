// SPDX-License-Identifier: MIT
// The PATH hello hands the command processor: the one it got, with hello's own folder at the end.
#pragma once

#include <cstddef>
#include <string_view>

namespace search_path
{

// The longest PATH a program can be handed: Linux takes no string into a new program's
// environment longer than 128 KiB (MAX_ARG_STRLEN), "PATH=" and the final NUL included.
constexpr std::size_t longest = std::size_t{128} * 1024 - sizeof "PATH=";

// Writes into path (longest + 1 bytes) the PATH with folder added at its end, and returns true;
// false where PATH is to stay as it is: no folder, a colon in it, which a PATH cannot hold,
// nothing to add it to, or a PATH too long to hand on. inherited: PATH as hello got it, null
// where unset; then defaults serves, where the shell looks without one, as confstr(_CS_PATH)
// wrote it into longest + 1 bytes, with the size confstr returned (0 where it failed).
bool compose(char *path, const char *inherited, const char *defaults, std::size_t defaults_size,
             std::string_view folder);

} // namespace search_path
