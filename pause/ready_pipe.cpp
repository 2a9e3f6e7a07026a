// SPDX-License-Identifier: MIT
// Waiting with poll() and a pipe the signal handler writes to, where there is no ppoll(): a
// signal that comes between setting the mask and poll() leaves a byte in the pipe, which ends the
// wait. poll() rather than select(), which takes no descriptor from FD_SETSIZE (1024) on: a
// caller may leave that many open.
#include "ready.hpp"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace ready
{
namespace
{
std::array<int, 2> pipe_ends = {-1, -1};
}

void prepare()
{
    if (pipe(pipe_ends.data()) == 0) {
        for (const int end : pipe_ends) {
            (void)fcntl(end, F_SETFL, fcntl(end, F_GETFL) | O_NONBLOCK);
            (void)fcntl(end, F_SETFD, FD_CLOEXEC);
        }
    }
}

void wake()
{
    const int err = errno;
    [[maybe_unused]] const ssize_t n = write(pipe_ends[1], "", 1); // full: woken already
    errno = err;
}

int until(int fd, bool for_output, int wait_ms, const sigset_t *mask)
{
    std::array<pollfd, 2> watched = {{{fd, static_cast<short>(for_output ? POLLOUT : POLLIN), 0},
                                      {pipe_ends[0], POLLIN, 0}}}; // a negative fd is left out
    sigset_t was;
    (void)sigprocmask(mask != nullptr ? SIG_SETMASK : SIG_BLOCK, mask, &was);
    int n = poll(watched.data(), watched.size(), wait_ms);
    const int err = errno;
    (void)sigprocmask(SIG_SETMASK, &was, nullptr);
    std::array<char, 64> drained{};
    bool woken = false;
    while (pipe_ends[0] >= 0 && read(pipe_ends[0], drained.data(), drained.size()) > 0) {
        woken = true;
    }
    if (n > 0 && watched[0].revents == 0) { // the pipe alone: a signal came
        n = -1;
    }
    errno = n < 0 && woken ? EINTR : err;
    return n > 0 ? 1 : n;
}

} // namespace ready
