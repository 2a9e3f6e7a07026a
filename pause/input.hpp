// SPDX-License-Identifier: MIT
// The file pause reads its key from, a byte at a time, waited for with the caught signals let
// through.
#pragma once

#include "charset.hpp"

namespace input
{

// How a read ended: with what was asked for, at the end of input (or of the wait), by a signal
// (see signals::take), or failed (errno tells why).
enum class Read { done, end, signal, failed };

// A file of input and the character set its characters are read in.
class File
{
  public:
    File(int file, charset::Decode decode) : fd(file), chars(decode) {}

    // One byte, or -1 where none comes within wait_ms (no limit if negative): why tells why.
    // A byte of a key (wait_ms given) is waited for until it comes or a signal that ends pause
    // does.
    int byte(int wait_ms);

    // Why byte last gave none.
    [[nodiscard]] Read why() const
    {
        return why_none;
    }

    // The character set's decoder.
    [[nodiscard]] charset::Decode decoder() const
    {
        return chars;
    }

    // Gives the last byte read back, where the file can seek; a pipe or terminal cannot.
    void give_back() const;

  private:
    int fd;
    charset::Decode chars;
    Read why_none = Read::end;
};

} // namespace input
