// SPDX-License-Identifier: MIT
// A character's bytes, read whole in the source's character set (see keys.hpp for the source).
#pragma once

#include "input.hpp"

#include <array>
#include <climits>
#include <cstddef>
#include <iterator>

namespace character
{

// The rest of the character that begins with lead (none past ASCII: a character of its own in
// every character set a locale may have); a byte that cannot continue it is given back.
template <class Source> void finish(Source &in, int lead, int wait_ms)
{
    std::array<char, MB_LEN_MAX> bytes = {static_cast<char>(lead)};
    std::size_t n = 1;
    std::size_t len = 0;
    while (lead >= 0x80 && in.decoder()(bytes.data(), n, len) < 0 && len == n + 1 &&
           n < bytes.size()) {
        const int c = in.byte(wait_ms);
        if (c < 0) {
            return;
        }
        *std::next(bytes.begin(), static_cast<std::ptrdiff_t>(n++)) = static_cast<char>(c);
    }
    if (len == 0 && n > 1) {
        in.give_back();
    }
}

// One character of plain input, as long as it takes to come.
template <class Source> input::Read read_char(Source &in)
{
    const int c = in.byte(-1);
    if (c < 0) {
        return in.why();
    }
    finish(in, c, -1);
    return input::Read::done;
}

} // namespace character
