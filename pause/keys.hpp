// SPDX-License-Identifier: MIT
// Reading standard input one key, or one character, at a time.
#pragma once

namespace keys
{

// read_byte's results that are not a byte
constexpr int no_byte = -1;     // end of input, or no byte within the wait
constexpr int read_err = -2;    // input that cannot be read (errno tells why)
constexpr int interrupted = -3; // a signal came first (signals::take tells which)

// One byte; no_byte at the end of input or when none comes within wait_ms (if >= 0), read_err or
// interrupted.
int read_byte(int wait_ms);

// One key from a terminal, read whole; returns its first byte or what read_byte returned for it.
// Mouse reports are read and passed over. eight_bit: one byte is one character, and 0x9b and
// 0x8f are the 8-bit CSI and SS3.
int read_key(bool eight_bit);

// One character of plain input, in the locale's character set; a byte that cannot continue it
// is given back where the input can seek.
int read_char();

} // namespace keys
