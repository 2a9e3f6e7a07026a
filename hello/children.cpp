// SPDX-License-Identifier: MIT
// Reading what /proc says of a process's children and parent.
#include "children.hpp"

#include <algorithm>
#include <iterator>
#include <limits>

namespace children
{

namespace
{

bool digit(char c)
{
    return c >= '0' && c <= '9';
}

// Adds a digit to the number in partial, which a number past any pid_t spoils.
void add_digit(Partial &partial, char c)
{
    const int value = c - '0';
    if (partial.pid > (std::numeric_limits<pid_t>::max() - value) / 10) {
        partial.spoilt = true;
        return;
    }
    partial.pid = partial.pid * 10 + value;
}

} // namespace

std::size_t parse(const char *bytes, std::size_t n, Partial &partial, pid_t *pids)
{
    std::size_t count = 0;
    for (const char *c = bytes; c != bytes + n; ++c) {
        if (*c == ' ' || *c == '\n') {
            if (!partial.spoilt && partial.pid > 0) {
                pids[count++] = partial.pid;
            }
            partial = Partial{};
        } else if (digit(*c)) {
            add_digit(partial, *c);
        } else {
            partial.spoilt = true;
        }
    }
    return count;
}

Stat stat(const char *text, std::size_t n)
{
    // The name may hold anything, ")" and spaces too, but what follows it holds no ")".
    const char *const end = text + n;
    const auto close =
        std::find(std::make_reverse_iterator(end), std::make_reverse_iterator(text), ')');
    const char *at = close.base();
    if (at == text || end - at < 4 || at[0] != ' ' || at[2] != ' ') {
        return {0, 0};
    }
    const char state = at[1];
    Partial ppid;
    const char *const digits = at + 3;
    for (at = digits; at != end && digit(*at); ++at) {
        add_digit(ppid, *at);
    }
    if (at == digits || at == end || *at != ' ' || ppid.spoilt) {
        return {0, 0};
    }
    return {state, ppid.pid};
}

} // namespace children
