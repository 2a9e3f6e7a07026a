// SPDX-License-Identifier: MIT
// Keys from the bytes a terminal sends: a character in the locale's character set, an escape
// sequence, a paste, each read whole; a terminal's reply to a query and a mouse report are no
// keys and are passed over.
#pragma once

#include "input.hpp"

namespace keys
{

// Reads one key from fd, a terminal in key mode. eight_bit: one byte is one character, and 0x9b
// and 0x8f are the 8-bit CSI and SS3.
input::Read read_key(int fd, bool eight_bit);

} // namespace keys
