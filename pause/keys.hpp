// SPDX-License-Identifier: MIT
// Keys from the bytes a terminal sends: a character in the locale's character set, an escape
// sequence, a paste, each read whole; a terminal's reply to a query and a mouse report are no
// keys and are passed over.
#pragma once

#include "input.hpp"

namespace keys
{

// Reads one key from fd, a terminal in key mode. Where the locale's character set has C1
// controls, 0x9b and 0x8f begin sequences as CSI and SS3 do, and 0x90, 0x98, 0x9d, 0x9e and 0x9f
// replies.
input::Read read_key(int fd);

} // namespace keys
