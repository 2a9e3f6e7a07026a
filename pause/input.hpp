// SPDX-License-Identifier: MIT
// The file pause reads its key from, a byte or a character at a time, waited for with the
// caught signals let through.
#pragma once

namespace input
{

// How a read ended: with what was asked for, at the end of input (or of the wait), by a signal
// (see signals::take), or failed (errno tells why).
enum class Read { done, end, signal, failed };

// Reads fd from now on.
void use(int fd);

// One byte, or -1 where none comes within wait_ms (no limit if negative): why_none tells why.
// A byte of a key (wait_ms given) is waited for until it comes or a signal that ends pause does.
int byte(int wait_ms);

// Why byte last gave none.
Read why_none();

// The rest of the character that begins with lead, as the locale's character set (UTF-8 in the
// C locale) has it: one byte in ISO-8859-1, up to four in UTF-8 or GB18030.
void finish_char(int lead, int wait_ms);

// One character of plain input from fd, in the locale's character set; a byte that cannot
// continue it is given back where the input can seek.
Read read_char(int fd);

} // namespace input
