// SPDX-License-Identifier: MIT
// Waiting for a file to be ready with the caught signals let through.
#include "waiting.hpp"

#include <cerrno>
#include <ctime>
#ifdef HELLO_HAVE_PPOLL
#include <poll.h>
#else
#include <algorithm>
#include <array>
#include <fcntl.h>
#include <sys/select.h>
#include <unistd.h>
#endif

namespace waiting
{

#ifdef HELLO_HAVE_PPOLL

void prepare() {}

void wake() {}

int until_ready(int fd, bool for_output, int wait_ms, const sigset_t *mask)
{
    pollfd watched = {fd, static_cast<short>(for_output ? POLLOUT : POLLIN), 0};
    const timespec limit = {wait_ms / 1000, (wait_ms % 1000) * 1000000L};
    return ppoll(&watched, 1, wait_ms < 0 ? nullptr : &limit, mask);
}

#else

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

int until_ready(int fd, bool for_output, int wait_ms, const sigset_t *mask)
{
    const int woken_by = pipe_ends[0];
    fd_set in;
    fd_set out;
    FD_ZERO(&in);
    FD_ZERO(&out);
    FD_SET(fd, for_output ? &out : &in);
    if (woken_by >= 0) {
        FD_SET(woken_by, &in);
    }
    timeval limit = {wait_ms / 1000, (wait_ms % 1000) * 1000};
    sigset_t was;
    (void)sigprocmask(mask != nullptr ? SIG_SETMASK : SIG_BLOCK, mask, &was);
    int n = select(std::max(fd, woken_by) + 1, &in, &out, nullptr, wait_ms < 0 ? nullptr : &limit);
    const int err = errno;
    (void)sigprocmask(SIG_SETMASK, &was, nullptr);
    std::array<char, 64> drained{};
    bool woken = false;
    while (woken_by >= 0 && read(woken_by, drained.data(), drained.size()) > 0) {
        woken = true;
    }
    if (n > 0 && !FD_ISSET(fd, for_output ? &out : &in)) { // the pipe alone: a signal came
        n = -1;
    }
    errno = n < 0 && woken ? EINTR : err;
    return n > 0 ? 1 : n;
}

#endif

} // namespace waiting
