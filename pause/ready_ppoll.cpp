// SPDX-License-Identifier: MIT
// Waiting with ppoll(), which sets the mask and waits in one step: nothing to wake.
#include "ready.hpp"

#include <ctime>
#include <poll.h>

namespace ready
{

void prepare() {}

void wake() {}

int until(int fd, bool for_output, int wait_ms, const sigset_t *mask)
{
    pollfd watched = {fd, static_cast<short>(for_output ? POLLOUT : POLLIN), 0};
    const timespec limit = {wait_ms / 1000, (wait_ms % 1000) * 1000000L};
    return ppoll(&watched, 1, wait_ms < 0 ? nullptr : &limit, mask);
}

} // namespace ready
