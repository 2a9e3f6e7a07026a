// SPDX-License-Identifier: MIT
// Waiting for a file until it is ready, or a signal breaks the wait off.
#include "waiting.hpp"

#include "ready.hpp"

#include <cerrno>

namespace waiting
{

int for_file(int fd, bool for_output, int wait_ms, bool within_key)
{
    for (;;) {
        if (broken_off(signals::pending(), within_key)) {
            errno = EINTR;
            return -1;
        }
        const int n = ready::until(fd, for_output, wait_ms, signals::waiting_mask());
        if (n >= 0 || errno != EINTR || !within_key) {
            return n;
        }
    }
}

} // namespace waiting
