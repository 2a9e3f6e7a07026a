// SPDX-License-Identifier: MIT
// Holding a process by a pidfd, on Linux 5.3 and later (ENOSYS before: no descriptor).
#include "pin.hpp"

#include <sys/syscall.h>
#include <unistd.h>

namespace pin
{

int hold(pid_t pid)
{
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

bool send(int fd, int sig)
{
    return syscall(SYS_pidfd_send_signal, fd, sig, nullptr, 0) == 0;
}

} // namespace pin
